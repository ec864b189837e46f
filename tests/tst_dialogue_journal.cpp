// The journal read back into records, and the dialog that shows them.
#include "app/langue.h"
#include "fenetre_essai.h"
#include "run/journal.h"
#include "sequences_essai.h"
#include "window/dialogue_journal.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QScopeGuard>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace tarvik::window;

namespace {

// A sent run and a refused one, as the writers leave them.
const QByteArray Envoyee = "2026-12-07T23:16:47.134+01:00\ttarvik-envoyer\t-\t/tmp/a\t/dev/pts/0\t"
                           "envoyée\t\tA+00100:010\tB-00100:010\tC+00000:002\tD+00250:002\t"
                           "E+00000:002\tF+00000:002\tG+00000:002\n";
const QByteArray Refusee = "2026-12-07T23:16:48.002-05:30\ttarvik-envoyer\t+x.seq\t@p\t\t"
                           "port refusé\t=1+2 \"cité\"\n";
// A port named by its device's serial number, as the journal holds it.
const QString ParId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
// GrilleVariee's lines, as the journal holds them.
const QStringList LignesVariees{"A+00001:001", "B-00100:010", "C€99999:255", "D 00250:000",
                                "Eé12345:128", "F<00000:002", "G>54321:099"};

QByteArray enregistrement(const QString &source, IssueEnvoi issue, const QString &executable,
                          const QDateTime &debut, const QStringList &lignes = {},
                          const QString &port = "/tmp/a")
{
    return FormerEnregistrement({debut,
                                 executable,
                                 source,
                                 port,
                                 "/dev/pts/0",
                                 issue,
                                 issue == IssueEnvoi::Envoyee ? "" : "non",
                                 lignes,
                                 {}});
}

// Replaces the journal at once: an open dialog never reads it half written.
bool ecrireJournal(const QByteArray &octets)
{
    QSaveFile journal(CheminJournal());
    return QDir().mkpath(QFileInfo(CheminJournal()).path()) && journal.open(QIODevice::WriteOnly) &&
           journal.write(octets) == octets.size() && journal.commit();
}

QStringList colonne(const QTableWidget *table, int numero)
{
    QStringList textes;
    for (int rangee = 0; rangee < table->rowCount(); ++rangee)
        textes << table->item(rangee, numero)->text();
    return textes;
}

QStringList grille(const Form1 &fenetre) // Text1_k, Text3_k, Text2_k
{
    QStringList textes;
    for (int k = 1; k <= 7; ++k)
        for (const char *tableau : {"Text1", "Text3", "Text2"})
            textes << controle<QLineEdit>(fenetre, nomElement(tableau, k))->text();
    return textes;
}

DialogueJournal *ouvrir(Form1 &fenetre)
{
    controle<QAction>(fenetre, QStringLiteral("JournalEnvois"))->trigger();
    return fenetre.findChild<DialogueJournal *>();
}

} // namespace

class TestDialogueJournal : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void analyser_data();
    void analyser();
    void tableau_data();
    void tableau();
    void charger_data();
    void charger();
    void exporter_data();
    void exporter();
    void relecture_data();
    void relecture();
    void portLong_data();
    void portLong();
};

void TestDialogueJournal::analyser_data()
{
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QByteArrayList>("gardes");
    const auto sauf = [](QByteArray ligne, const char *avant, const char *apres) {
        return ligne.replace(avant, apres);
    };
    QTest::newRow("deux") << Envoyee + Refusee << QByteArrayList{Envoyee, Refusee};
    QTest::newRow("déchiré") << Envoyee + Refusee.chopped(1) << QByteArrayList{Envoyee};
    QTest::newRow("étrangères") << "\nbonjour\n\t\t\t\t\t\t\n" + Refusee << QByteArrayList{Refusee};
    for (const char *issue : {"échec", "interrompue"})
        QTest::newRow(issue) << sauf(Refusee, "port refusé", issue)
                             << QByteArrayList{sauf(Refusee, "port refusé", issue)};
    QTest::newRow("issue inconnue") << sauf(Refusee, "port refusé", "sent") << QByteArrayList{};
    QTest::newRow("huit lignes") << sauf(Envoyee, "\n", "\tH+00000:002\n") << QByteArrayList{};
    QTest::newRow("heure lâche") << sauf(Envoyee, ".134+01:00", "") << QByteArrayList{};
    QTest::newRow("pas UTF-8") << sauf(Refusee, "+x.seq", "\xff") << QByteArrayList{};
}

// What a writer wrote reads back to the same record, each field in its
// place, the time with its offset; anything else is left out.
void TestDialogueJournal::analyser()
{
    QFETCH(QByteArray, octets);
    QFETCH(QByteArrayList, gardes);
    QByteArrayList formes;
    for (const EnregistrementEnvoi &envoi : AnalyserJournal(octets))
        formes << FormerEnregistrement(envoi);
    QCOMPARE(formes, gardes);
}

void TestDialogueJournal::tableau_data()
{
    QTest::addColumn<QString>("langue");
    QTest::addColumn<QList<int>>("filtre");  // failures only, today, program (0: all)
    QTest::addColumn<QStringList>("textes"); // the headings, then the outcomes shown
    QTest::addColumn<QString>("raison");     // the last one's detail, first line
    const QStringList t{"Heure", "Programme", "Source", "Port", "Issue", "Raison"};
    const QStringList fr{"envoyée", "✗ échec",       "✗ port refusé",
                         "envoyée", "✗ interrompue", "■ arrêtée"};
    // As toPlainText() gives it: its no-break space a plain one.
    const QString non = "Raison, dans la langue où l'envoi l'a écrite : non";
    QTest::newRow("fr") << "fr" << QList<int>{0, 0, 0} << t + fr << non;
    QTest::newRow("en") << "en" << QList<int>{0, 0, 0}
                        << QStringList{"Time",           "Program", "Source",        "Port",
                                       "Outcome",        "Reason",  "sent",          "✗ failed",
                                       "✗ port refused", "sent",    "✗ interrupted", "■ stopped"}
                        << "Reason, in the language the send wrote it in: non";
    QTest::newRow("échecs") << "fr" << QList<int>{1, 0, 0} << t + fr.mid(1, 2) + fr.mid(4, 1)
                            << non;
    QTest::newRow("aujourd'hui") << "fr" << QList<int>{0, 1, 0} << t + fr.mid(0, 2) + fr.mid(4)
                                 << non;
    QTest::newRow("tarvik") << "fr" << QList<int>{0, 0, 1} << t + QStringList{fr[0], fr[2], fr[5]}
                            << non;
    QTest::newRow("envoyer") << "fr" << QList<int>{0, 0, 2} << t + fr.mid(1, 1) + fr.mid(3, 2)
                             << non;
    QTest::newRow("les trois") << "fr" << QList<int>{1, 1, 2} << t + fr.mid(1, 1) + fr.mid(4, 1)
                               << non;
}

// The columns and the outcomes in the panel's language, a failure marked by
// more than a colour, an operator's stop by a mark of its own and not taken
// for a failure, the port and its device read whole, and the filters set
// from the keyboard; a reason as it was written, said to be so.
void TestDialogueJournal::tableau()
{
    QFETCH(QString, langue);
    QFETCH(QList<int>, filtre);
    QFETCH(QStringList, textes);
    QFETCH(QString, raison);
    InstallerLangue(langue);
    const auto retablir = qScopeGuard([] { InstallerLangue(QStringLiteral("fr")); });
    const QDateTime maintenant = QDateTime::currentDateTime(), avant(QDate(2020, 1, 2), {});
    QVERIFY(
        ecrireJournal(enregistrement("r1", IssueEnvoi::Envoyee, "tarvik", maintenant) +
                      enregistrement("r2", IssueEnvoi::Echec, "tarvik-envoyer", maintenant) +
                      enregistrement("r3", IssueEnvoi::PortRefuse, "tarvik", avant, {}, ParId) +
                      enregistrement("r4", IssueEnvoi::Envoyee, "tarvik-envoyer", avant) +
                      enregistrement("r5", IssueEnvoi::Interrompue, "tarvik-envoyer", maintenant) +
                      enregistrement("r6", IssueEnvoi::Arretee, "tarvik", maintenant)));
    DialogueJournal dialogue;
    if (filtre[0])
        QTest::keyClick(controle<QCheckBox>(dialogue, QStringLiteral("echecsSeulement")),
                        Qt::Key_Space);
    if (filtre[1])
        QTest::keyClick(controle<QCheckBox>(dialogue, QStringLiteral("aujourdhui")), Qt::Key_Space);
    for (int k = 0; k < filtre[2]; ++k)
        QTest::keyClick(controle<QComboBox>(dialogue, QStringLiteral("executable")), Qt::Key_Down);
    auto *table = controle<QTableWidget>(dialogue, QStringLiteral("tableJournal"));
    QStringList vus;
    for (int k = 0; k < table->columnCount(); ++k)
        vus << table->horizontalHeaderItem(k)->text();
    QCOMPARE(vus + colonne(table, 4), textes);
    QCOMPARE(table->item(0, 3)->text(), QStringLiteral("/tmp/a → /dev/pts/0"));
    if (filtre[0] == 0 && filtre[2] == 0)
        QVERIFY(table->item(0, 4)->foreground() != table->item(1, 4)->foreground());
    const QFontMetrics mesure = table->fontMetrics();
    for (int rangee = 0; rangee < table->rowCount(); ++rangee)
        for (int k = 0; k < table->columnCount() - 1; ++k) // all but the reason, stretched
            QVERIFY2(mesure.horizontalAdvance(table->item(rangee, k)->text()) <
                         table->columnWidth(k),
                     qPrintable(table->item(rangee, k)->text()));
    QTest::keyClick(table, Qt::Key_PageDown); // on to the last record
    const auto *detail = controle<QPlainTextEdit>(dialogue, QStringLiteral("detailJournal"));
    QCOMPARE(detail->toPlainText().section(u'\n', 0, 0), raison);
}

void TestDialogueJournal::charger_data()
{
    QTest::addColumn<QStringList>("lignes");
    QTest::addColumn<QString>("objet"); // given the focus, then `touche`; none: a click on load
    QTest::addColumn<int>("touche");
    QTest::addColumn<bool>("possible"); // the load button is enabled
    QTest::addColumn<bool>("chargee");
    QTest::newRow("sept lignes") << LignesVariees << "" << 0 << true << true;
    QTest::newRow("six lignes") << LignesVariees.mid(0, 6) << "" << 0 << false << false;
    QTest::newRow("vitesse 256") << QStringList(LignesVariees).replaceInStrings(":000", ":256")
                                 << "" << 0 << true << false;
    // Entrée and Échap close the dialog wherever the focus is, and do nothing else.
    for (const char *objet : {"tableJournal", "detailJournal", "echecsSeulement", "executable",
                              "chargerJournal", "exporterJournal"})
        QTest::newRow(objet) << LignesVariees << objet << int(Qt::Key_Return) << true << false;
    QTest::newRow("Échap") << LignesVariees << "chargerJournal" << int(Qt::Key_Escape) << true
                           << false;
}

// "Charger dans la grille" fills the boxes from a record's seven lines and
// sends nothing; a refused line is said, and the grid stays. One dialog,
// never modal.
void TestDialogueJournal::charger()
{
    QFETCH(QStringList, lignes);
    QFETCH(QString, objet);
    QFETCH(int, touche);
    QFETCH(bool, possible);
    QFETCH(bool, chargee);
    QVERIFY(ecrireJournal(
        enregistrement("", IssueEnvoi::Envoyee, "tarvik", QDateTime::currentDateTime(), lignes)));
    Banc banc;
    QVERIFY(banc.pret());
    ChoixImpose choix;
    const QStringList avant = grille(banc.fenetre);
    DialogueJournal *dialogue = ouvrir(banc.fenetre);
    QVERIFY(dialogue && QTest::qWaitForWindowExposed(dialogue) && !dialogue->isModal());
    ouvrir(banc.fenetre);
    QCOMPARE(banc.fenetre.findChildren<DialogueJournal *>(), {dialogue});
    auto *bouton = controle<QPushButton>(*dialogue, QStringLiteral("chargerJournal"));
    QCOMPARE(bouton->isEnabled(), possible);
    if (touche) {
        auto *cible = controle<QWidget>(*dialogue, objet);
        cible->setFocus();
        QTest::keyClick(cible, Qt::Key(touche));
        QVERIFY(!dialogue->isVisible());
    } else {
        bouton->click();
    }
    QCOMPARE(grille(banc.fenetre), chargee ? GrilleVariee : avant);
    QCOMPARE(banc.messages.vus.size(), possible && !chargee && !touche ? 1 : 0);
    QVERIFY(choix.questions.isEmpty());
    QCOMPARE(banc.pty.lire(), QByteArray());
}

void TestDialogueJournal::exporter_data()
{
    QTest::addColumn<bool>("echecs");
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("csv"); // empty: nothing written
    QTest::addColumn<QString>("dit");    // in the message, with the file's name
    QTest::addColumn<QString>("langue");
    const QByteArray titres = "\"Heure\",\"Programme\",\"Source\",\"Port\",\"Périphérique\","
                              "\"Issue\",\"Raison\",\"A\",\"B\",\"C\",\"D\",\"E\",\"F\",\"G\"\r\n";
    const QByteArray envoyee = "\"2026-12-07 23:16:47.134\",\"tarvik-envoyer\",\"'-\",\"/tmp/a\","
                               "\"/dev/pts/0\",\"envoyée\",\"\",\"A+00100:010\",\"B-00100:010\","
                               "\"C+00000:002\",\"D+00250:002\",\"E+00000:002\",\"F+00000:002\","
                               "\"G+00000:002\"\r\n";
    const QByteArray refusee =
        "\"2026-12-07 23:16:48.002\",\"tarvik-envoyer\",\"'+x.seq\",\"'@p\","
        "\"\",\"port refusé\",\"'=1+2 \"\"cité\"\"\",\"\",\"\",\"\",\"\",\"\","
        "\"\",\"\"\r\n";
    QTest::newRow("deux") << false << "journal.csv" << titres + envoyee + refusee
                          << "2 enregistrements écrits"
                          << "fr";
    QTest::newRow("filtré") << true << "journal.csv" << titres + refusee << "1 enregistrement écrit"
                            << "fr";
    QTest::newRow("dossier absent")
        << false << "absent/journal.csv" << QByteArray() << "n'a pas pu être écrit"
        << "fr";
    const QByteArray titresEn =
        "\"Time\",\"Program\",\"Source\",\"Port\",\"Device\","
        "\"Outcome\",\"Reason\",\"A\",\"B\",\"C\",\"D\",\"E\",\"F\",\"G\"\r\n";
    QTest::newRow("one, English") << true << "journal.csv"
                                  << titresEn +
                                         QByteArray(refusee).replace("port refusé", "port refused")
                                  << "1 record written to"
                                  << "en";
}

// The records shown, as CSV: every field quoted, a formula's first sign
// defused, CRLF; where they went and how many is said, and so is a file that
// cannot be written.
void TestDialogueJournal::exporter()
{
    QFETCH(bool, echecs);
    QFETCH(QString, nom);
    QFETCH(QByteArray, csv);
    QFETCH(QString, dit);
    QFETCH(QString, langue);
    InstallerLangue(langue);
    const auto retablir = qScopeGuard([] { InstallerLangue(QStringLiteral("fr")); });
    QVERIFY(ecrireJournal(Envoyee + Refusee));
    QTemporaryDir dossier;
    CaptureMessages messages;
    ChoixImpose choix;
    choix.reponse = dossier.filePath(nom);
    DialogueJournal dialogue;
    if (echecs)
        QTest::keyClick(controle<QCheckBox>(dialogue, QStringLiteral("echecsSeulement")),
                        Qt::Key_Space);
    QTest::keyClick(controle<QPushButton>(dialogue, QStringLiteral("exporterJournal")),
                    Qt::Key_Space);
    QCOMPARE(choix.questions.size(), 1);
    QCOMPARE(choix.questions[0].mode, ModeFichier::Enregistrer);
    QCOMPARE(choix.questions[0].suffixe, QStringLiteral("csv"));
    QCOMPARE(lireFichier(choix.reponse), csv);
    QCOMPARE(messages.vus.size(), 1);
    QCOMPARE(messages.vus[0].genre,
             csv.isEmpty() ? GenreMessage::Erreur : GenreMessage::Information);
    QVERIFY2(messages.vus[0].texte.contains(dit) && messages.vus[0].texte.contains(choix.reponse),
             qPrintable(messages.vus[0].texte));
}

// Open, the dialog fits the screen and reads the journal again: a torn
// record waits for its end, the selected record stays selected while it is
// there.
void TestDialogueJournal::relecture_data()
{
    QTest::addColumn<int>("dossier"); // the length of a folder's name on the journal's path
    QTest::newRow("chemin court") << 0;
    // A clone at a long path: the window keeps within the screen all the same.
    QTest::newRow("chemin long") << 250;
}

void TestDialogueJournal::relecture()
{
    QFETCH(int, dossier);
    QTemporaryDir racine;
    const QByteArray avant = qgetenv("XDG_STATE_HOME");
    const auto remettre = qScopeGuard([&] { qputenv("XDG_STATE_HOME", avant); });
    if (dossier > 0)
        qputenv("XDG_STATE_HOME", QFile::encodeName(racine.filePath(QString(dossier, u'd'))));
    QVERIFY(ecrireJournal(Envoyee + Refusee));
    Panneau fenetre;
    DialogueJournal *dialogue = ouvrir(fenetre);
    QVERIFY(QTest::qWaitForWindowExposed(dialogue));
    // Its frame as the window system placed it: waited for, not taken from
    // the first exposure.
    QTRY_VERIFY2(dialogue->screen()->availableGeometry().contains(dialogue->frameGeometry()),
                 qPrintable(QDebug::toString(dialogue->frameGeometry())));
    auto *table = controle<QTableWidget>(*dialogue, QStringLiteral("tableJournal"));
    const auto *detail = controle<QPlainTextEdit>(*dialogue, QStringLiteral("detailJournal"));
    table->selectRow(0);
    const QByteArray suivante = QByteArray(Refusee).replace("48.002", "49.000");
    QVERIFY(ecrireJournal(Envoyee + Refusee + suivante.chopped(1)));
    dialogue->relire();
    QCOMPARE(table->rowCount(), 2);
    QVERIFY(ecrireJournal(Envoyee + Refusee + suivante));
    QTRY_COMPARE_WITH_TIMEOUT(table->rowCount(), 3, 10000); // read again without being asked
    QCOMPARE(table->selectionModel()->selectedRows().value(0).row(), 0);
    QVERIFY(detail->toPlainText().startsWith(QStringLiteral("A+00100:010\nB-00100:010\n")));
    QVERIFY(ecrireJournal(Refusee + suivante)); // the selected record is gone
    dialogue->relire();
    QStringList premiere; // the time as written, each field in its column
    for (int k = 0; k < table->columnCount(); ++k)
        premiere << table->item(0, k)->text();
    QCOMPARE(premiere, (QStringList{"2026-12-07 23:16:48", "tarvik-envoyer", "+x.seq", "@p",
                                    "✗ port refusé", "=1+2 \"cité\""}));
    QCOMPARE(table->rowCount(), 2);
    QVERIFY(table->selectionModel()->selectedRows().isEmpty() && detail->toPlainText().isEmpty());
}

void TestDialogueJournal::portLong_data()
{
    QTest::addColumn<int>("largeur"); // the dialog's
    QTest::addColumn<bool>("entier"); // the port column shows its longest text whole
    QTest::newRow("étroite") << 480 << false;
    QTest::newRow("large") << 1400 << true;
}

// A port named by its device's serial number never pushes the outcome and
// the reason out of view: narrowed, it is shortened in its middle, and its
// tooltip says it whole; where there is room, it is shown whole.
void TestDialogueJournal::portLong()
{
    QFETCH(int, largeur);
    QFETCH(bool, entier);
    const QDateTime maintenant = QDateTime::currentDateTime();
    QVERIFY(ecrireJournal(
        enregistrement("r1", IssueEnvoi::Envoyee, "tarvik", maintenant) +
        enregistrement("r2", IssueEnvoi::PortRefuse, "tarvik", maintenant, {}, ParId)));
    DialogueJournal dialogue;
    dialogue.resize(largeur, 400);
    dialogue.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialogue));
    auto *table = controle<QTableWidget>(dialogue, QStringLiteral("tableJournal"));
    QCOMPARE(dialogue.width(), largeur);
    const int vue = table->viewport()->width();
    QVERIFY2(table->columnViewportPosition(4) + table->columnWidth(4) <= vue, "« Issue » coupée");
    QVERIFY2(table->columnViewportPosition(5) < vue - 10 * table->fontMetrics().averageCharWidth(),
             "« Raison » hors de vue");
    const QString port = table->item(1, 3)->text();
    QCOMPARE(port, ParId + QStringLiteral(" → /dev/pts/0"));
    QVERIFY(table->item(1, 3)->toolTip().contains(ParId));
    QCOMPARE(table->fontMetrics().horizontalAdvance(port) < table->columnWidth(3), entier);
}

QTEST_MAIN(TestDialogueJournal)
#include "tst_dialogue_journal.moc"
