// The journal of the runs: its bytes read back into records, and the dialog
// that shows them (columns, filter, loading into the grid, export, keys,
// reading again while open).
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
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

enum { ColHeure, ColProgramme, ColSource, ColPort, ColIssue, ColRaison };

// A sent run, and a refused one, as the journal's writers leave them.
const QByteArray Envoyee = "2026-12-07T23:16:47.134+01:00\ttarvik-envoyer\t-\t/tmp/a\t/dev/pts/"
                           "0\tenvoy\xc3\xa9"
                           "e\t\tA+00100:010\tB-00100:010\tC+00000:002\tD+00250:002\tE+00000:"
                           "002\tF+00000:002\tG+00000:002\n";
const QByteArray Refusee = "2026-12-07T23:16:48.002-05:30\ttarvik-envoyer\t+x.seq\t@p\t\tport "
                           "refus\xc3\xa9\t=1+2 \"cit\xc3\xa9\"\n";

// GrilleVariee's lines, as the journal holds them (UTF-8).
const QStringList LignesVariees = {QStringLiteral("A+00001:001"), QStringLiteral("B-00100:010"),
                                   QStringLiteral("C€99999:255"), QStringLiteral("D 00250:000"),
                                   QStringLiteral("Eé12345:128"), QStringLiteral("F<00000:002"),
                                   QStringLiteral("G>54321:099")};

QByteArray enregistrement(const QDateTime &debut, const QString &programme, const QString &source,
                          IssueEnvoi issue, const QStringList &lignes = {})
{
    return FormerEnregistrement(
        {debut, programme, source, QStringLiteral("/tmp/a"), QStringLiteral("/dev/pts/0"), issue,
         issue == IssueEnvoi::Envoyee ? QString() : QStringLiteral("non"), lignes});
}

// Replaces the journal at once: the open dialog never reads it half written.
bool ecrireJournal(const QByteArray &octets)
{
    QSaveFile journal(CheminJournal());
    return QDir().mkpath(QFileInfo(CheminJournal()).path()) && journal.open(QIODevice::WriteOnly) &&
           journal.write(octets) == octets.size() && journal.commit();
}

QString cellule(const QTableWidget *table, int rangee, int colonne)
{
    const QTableWidgetItem *element = table->item(rangee, colonne);
    return element ? element->text() : QStringLiteral("(rien)");
}

QStringList colonne(const QTableWidget *table, int numero)
{
    QStringList textes;
    for (int rangee = 0; rangee < table->rowCount(); ++rangee)
        textes << cellule(table, rangee, numero);
    return textes;
}

QStringList textesGrille(const Form1 &fenetre)
{
    QStringList textes;
    for (int k = 1; k <= 7; ++k)
        for (const char *tableau : {"Text1", "Text3", "Text2"})
            textes << controle<QLineEdit>(fenetre, nomElement(tableau, k))->text();
    return textes;
}

QStringList grilleInitiale()
{
    QStringList textes;
    for (int k = 1; k <= 7; ++k)
        textes << QStringLiteral("00000") << QStringLiteral("+") << QStringLiteral("002");
    return textes;
}

// The panel's journal dialog, opened from its menu.
DialogueJournal *ouvrirJournal(Form1 &fenetre)
{
    controle<QAction>(fenetre, QStringLiteral("JournalEnvois"))->trigger();
    return fenetre.findChild<DialogueJournal *>();
}

} // namespace

class TestDialogueJournal : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void analyserJournal_data();
    void analyserJournal();
    void colonnes_data();
    void colonnes();
    void filtre_data();
    void filtre();
    void charger_data();
    void charger();
    void exporter_data();
    void exporter();
    void clavier_data();
    void clavier();
    void relecture();
};

void TestDialogueJournal::analyserJournal_data()
{
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QByteArrayList>("gardes"); // the records kept, as the journal holds them
    const auto remplacer = [](QByteArray ligne, const char *avant, const char *apres) {
        return ligne.replace(avant, apres);
    };
    QTest::newRow("deux") << Envoyee + Refusee << QByteArrayList{Envoyee, Refusee};
    QTest::newRow("vide") << QByteArray() << QByteArrayList{};
    QTest::newRow("déchiré") << Envoyee + Refusee.chopped(1) << QByteArrayList{Envoyee};
    QTest::newRow("déchiré tôt") << Envoyee + Refusee.left(20) << QByteArrayList{Envoyee};
    QTest::newRow("étrangères") << "\nbonjour\n\t\t\t\t\t\t\n" + Refusee << QByteArrayList{Refusee};
    for (const char *issue : {"\xc3\xa9"
                              "chec",
                              "interrompue"}) {
        const QByteArray ligne = remplacer(Refusee, "port refus\xc3\xa9", issue);
        QTest::newRow(issue) << ligne << QByteArrayList{ligne};
    }
    QTest::newRow("issue inconnue") << remplacer(Envoyee,
                                                 "envoy\xc3\xa9"
                                                 "e",
                                                 "sent")
                                    << QByteArrayList{};
    QTest::newRow("six champs") << remplacer(Refusee, "\t=1+2 \"cit\xc3\xa9\"", "")
                                << QByteArrayList{};
    QTest::newRow("huit lignes") << remplacer(Envoyee, "\n", "\tH+00000:002\n") << QByteArrayList{};
    QTest::newRow("sans millisecondes")
        << remplacer(Envoyee, "47.134+01:00", "47+01:00") << QByteArrayList{};
    QTest::newRow("date seule") << remplacer(Envoyee, "T23:16:47.134+01:00", "")
                                << QByteArrayList{};
    QTest::newRow("pas de l'UTF-8") << remplacer(Refusee, "+x.seq", "\xff") << QByteArrayList{};
}

// What a writer wrote reads back into the same record: every field in its
// place, the time with its offset; anything else is left out.
void TestDialogueJournal::analyserJournal()
{
    QFETCH(QByteArray, octets);
    QFETCH(QByteArrayList, gardes);
    const QList<EnregistrementEnvoi> lus = AnalyserJournal(octets);
    QByteArrayList formes;
    for (const EnregistrementEnvoi &envoi : lus)
        formes << FormerEnregistrement(envoi);
    QCOMPARE(formes, gardes);
}

void TestDialogueJournal::colonnes_data()
{
    QTest::addColumn<QString>("langue");
    QTest::addColumn<QStringList>("titres");
    QTest::addColumn<QStringList>("cellules"); // the failed record's
    QTest::addColumn<QString>("envoyee");      // the sent record's outcome
    QTest::newRow("fr") << "fr"
                        << QStringList{"Heure", "Programme", "Source", "Port", "Issue", "Raison"}
                        << QStringList{"2026-12-07 23:16:48",     "tarvik-envoyer", "+x.seq",
                                       "/dev/ttyS9 → /dev/pts/4", "✗ échec",        "=1+2"}
                        << "envoyée";
    QTest::newRow("en") << "en"
                        << QStringList{"Time", "Program", "Source", "Port", "Outcome", "Reason"}
                        << QStringList{"2026-12-07 23:16:48",     "tarvik-envoyer", "+x.seq",
                                       "/dev/ttyS9 → /dev/pts/4", "✗ failed",       "=1+2"}
                        << "sent";
}

// The columns, the outcome in the panel's language, a failure marked by
// more than its colour, the port and the device it led to.
void TestDialogueJournal::colonnes()
{
    QFETCH(QString, langue);
    QFETCH(QStringList, titres);
    QFETCH(QStringList, cellules);
    QFETCH(QString, envoyee);
    InstallerLangue(langue);
    const auto retablir = qScopeGuard([] { InstallerLangue(QStringLiteral("fr")); });
    QByteArray echec = Refusee;
    echec
        .replace("port refus\xc3\xa9", "\xc3\xa9"
                                       "chec")
        .replace("\t@p\t\t", "\t/dev/ttyS9\t/dev/pts/4\t")
        .replace(" \"cit\xc3\xa9\"", "");
    QVERIFY(ecrireJournal(Envoyee + echec));
    DialogueJournal dialogue;
    const auto *table = controle<QTableWidget>(dialogue, QStringLiteral("tableJournal"));
    QStringList vus;
    for (int k = 0; k < table->columnCount(); ++k)
        vus << table->horizontalHeaderItem(k)->text();
    QCOMPARE(vus, titres);
    QCOMPARE(table->rowCount(), 2);
    vus.clear();
    for (int k = 0; k < table->columnCount(); ++k)
        vus << cellule(table, 1, k);
    QCOMPARE(vus, cellules);
    QCOMPARE(cellule(table, 0, ColPort), QStringLiteral("/tmp/a → /dev/pts/0"));
    QCOMPARE(cellule(table, 0, ColIssue), envoyee);
    QVERIFY(table->item(1, ColIssue)->foreground() != table->item(0, ColIssue)->foreground());
}

void TestDialogueJournal::filtre_data()
{
    QTest::addColumn<bool>("echecs");
    QTest::addColumn<bool>("aujourdhui");
    QTest::addColumn<int>("programme"); // 0: all, 1: tarvik, 2: tarvik-envoyer
    QTest::addColumn<QStringList>("sources");
    QTest::newRow("tout") << false << false << 0 << QStringList{"r1", "r2", "r3", "r4", "r5"};
    QTest::newRow("échecs") << true << false << 0 << QStringList{"r2", "r3", "r5"};
    QTest::newRow("aujourd'hui") << false << true << 0 << QStringList{"r1", "r2", "r5"};
    QTest::newRow("tarvik") << false << false << 1 << QStringList{"r1", "r3"};
    QTest::newRow("tarvik-envoyer") << false << false << 2 << QStringList{"r2", "r4", "r5"};
    QTest::newRow("les trois") << true << true << 2 << QStringList{"r2", "r5"};
}

void TestDialogueJournal::filtre()
{
    QFETCH(bool, echecs);
    QFETCH(bool, aujourdhui);
    QFETCH(int, programme);
    QFETCH(QStringList, sources);
    const QDateTime maintenant = QDateTime::currentDateTime();
    const QDateTime avant(QDate(2020, 1, 2), QTime(12, 0));
    const QString tarvik = QStringLiteral("tarvik"), envoyeur = QStringLiteral("tarvik-envoyer");
    QVERIFY(ecrireJournal(enregistrement(maintenant, tarvik, "r1", IssueEnvoi::Envoyee) +
                          enregistrement(maintenant, envoyeur, "r2", IssueEnvoi::Echec) +
                          enregistrement(avant, tarvik, "r3", IssueEnvoi::PortRefuse) +
                          enregistrement(avant, envoyeur, "r4", IssueEnvoi::Envoyee) +
                          enregistrement(maintenant, envoyeur, "r5", IssueEnvoi::Interrompue)));
    DialogueJournal dialogue;
    controle<QCheckBox>(dialogue, QStringLiteral("echecsSeulement"))->setChecked(echecs);
    controle<QCheckBox>(dialogue, QStringLiteral("aujourdhui"))->setChecked(aujourdhui);
    controle<QComboBox>(dialogue, QStringLiteral("programme"))->setCurrentIndex(programme);
    QCOMPARE(colonne(controle<QTableWidget>(dialogue, QStringLiteral("tableJournal")), ColSource),
             sources);
}

void TestDialogueJournal::charger_data()
{
    QTest::addColumn<QStringList>("lignes");
    QTest::addColumn<bool>("possible"); // the button is enabled
    QTest::addColumn<QStringList>("grille");
    QTest::addColumn<int>("messages");
    QTest::newRow("sept lignes") << LignesVariees << true << GrilleVariee << 0;
    QTest::newRow("six lignes") << LignesVariees.mid(0, 6) << false << grilleInitiale() << 0;
    QStringList refusees = LignesVariees;
    refusees[3] = QStringLiteral("D 00250:256");
    QTest::newRow("vitesse 256") << refusees << true << grilleInitiale() << 1;
}

// "Charger dans la grille" fills the boxes from a record's seven lines, and
// never sends them; a record without its seven lines cannot be loaded.
void TestDialogueJournal::charger()
{
    QFETCH(QStringList, lignes);
    QFETCH(bool, possible);
    QFETCH(QStringList, grille);
    QFETCH(int, messages);
    QVERIFY(ecrireJournal(
        enregistrement(QDateTime::currentDateTime(), "tarvik", {}, IssueEnvoi::Envoyee, lignes)));
    Banc banc;
    QVERIFY(banc.pret());
    DialogueJournal *dialogue = ouvrirJournal(banc.fenetre);
    QVERIFY(dialogue && dialogue->isVisible() && !dialogue->isModal());
    QCOMPARE(ouvrirJournal(banc.fenetre), dialogue); // one dialog, shown again
    QCOMPARE(banc.fenetre.findChildren<DialogueJournal *>().size(), 1);
    auto *bouton = controle<QPushButton>(*dialogue, QStringLiteral("chargerJournal"));
    QCOMPARE(bouton->isEnabled(), possible);
    bouton->click();
    QCOMPARE(textesGrille(banc.fenetre), grille);
    QCOMPARE(banc.messages.vus.size(), messages);
    QCOMPARE(banc.pty.lire(), QByteArray());
}

void TestDialogueJournal::exporter_data()
{
    QTest::addColumn<bool>("echecs");
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("csv"); // empty: nothing written, a message
    const QByteArray titres = "\"Heure\",\"Programme\",\"Source\",\"Port\",\"P\xc3\xa9riph\xc3\xa9"
                              "rique\",\"Issue\",\"Raison\",\"A\",\"B\",\"C\",\"D\",\"E\",\"F\","
                              "\"G\"\r\n";
    const QByteArray envoyee = "\"2026-12-07 23:16:47.134\",\"tarvik-envoyer\",\"'-\",\"/tmp/a\","
                               "\"/dev/pts/0\",\"envoy\xc3\xa9"
                               "e\",\"\",\"A+00100:010\",\"B-00100:010\",\"C+00000:002\","
                               "\"D+00250:002\",\"E+00000:002\",\"F+00000:002\",\"G+00000:002\""
                               "\r\n";
    const QByteArray refusee =
        "\"2026-12-07 23:16:48.002\",\"tarvik-envoyer\",\"'+x.seq\",\"'@p\","
        "\"\",\"port refus\xc3\xa9\",\"'=1+2 \"\"cit\xc3\xa9\"\"\",\"\",\"\","
        "\"\",\"\",\"\",\"\",\"\"\r\n";
    QTest::newRow("deux") << false << "journal.csv" << titres + envoyee + refusee;
    QTest::newRow("filtré") << true << "journal.csv" << titres + refusee;
    QTest::newRow("dossier absent") << false << "absent/journal.csv" << QByteArray();
}

// The records shown, as CSV: every field quoted, a formula's first sign
// defused, CRLF; a file that cannot be written is said.
void TestDialogueJournal::exporter()
{
    QFETCH(bool, echecs);
    QFETCH(QString, nom);
    QFETCH(QByteArray, csv);
    QVERIFY(ecrireJournal(Envoyee + Refusee));
    QTemporaryDir dossier;
    CaptureMessages messages;
    ChoixImpose choix;
    choix.reponse = dossier.filePath(nom);
    DialogueJournal dialogue;
    controle<QCheckBox>(dialogue, QStringLiteral("echecsSeulement"))->setChecked(echecs);
    controle<QPushButton>(dialogue, QStringLiteral("exporterJournal"))->click();
    QCOMPARE(choix.questions.size(), 1);
    QCOMPARE(choix.questions[0].mode, ModeFichier::Enregistrer);
    QCOMPARE(choix.questions[0].suffixe, QStringLiteral("csv"));
    QCOMPARE(lireFichier(choix.reponse), csv);
    QCOMPARE(messages.vus.size(), csv.isEmpty() ? 1 : 0);
}

void TestDialogueJournal::clavier_data()
{
    QTest::addColumn<QString>("objet"); // the widget with the focus
    QTest::addColumn<int>("touche");
    for (const char *objet : {"tableJournal", "detailJournal", "echecsSeulement", "programme",
                              "chargerJournal", "exporterJournal", "fermerJournal"})
        QTest::newRow(objet) << objet << int(Qt::Key_Return);
    QTest::newRow("Entrée du pavé") << "tableJournal" << int(Qt::Key_Enter);
    QTest::newRow("Échap") << "chargerJournal" << int(Qt::Key_Escape);
}

// Entrée and Échap close the dialog wherever the focus is, and do nothing
// else: no load, no export.
void TestDialogueJournal::clavier()
{
    QFETCH(QString, objet);
    QFETCH(int, touche);
    QVERIFY(ecrireJournal(enregistrement(QDateTime::currentDateTime(), "tarvik", {},
                                         IssueEnvoi::Envoyee, LignesVariees)));
    Banc banc;
    QVERIFY(banc.pret());
    ChoixImpose choix;
    DialogueJournal *dialogue = ouvrirJournal(banc.fenetre);
    QVERIFY(QTest::qWaitForWindowActive(dialogue));
    auto *cible = controle<QWidget>(*dialogue, objet);
    cible->setFocus();
    QTest::keyClick(cible, Qt::Key(touche));
    QVERIFY(!dialogue->isVisible());
    QCOMPARE(textesGrille(banc.fenetre), grilleInitiale());
    QVERIFY(choix.questions.isEmpty());
}

// Open, the dialog reads the journal again: new records appear, a torn one
// waits for its end, the selected record stays selected while it is there.
// It fits the screen.
void TestDialogueJournal::relecture()
{
    QVERIFY(ecrireJournal(Envoyee + Refusee));
    Form1 fenetre;
    DialogueJournal *dialogue = ouvrirJournal(fenetre);
    QVERIFY(QTest::qWaitForWindowExposed(dialogue));
    QVERIFY(dialogue->screen()->availableGeometry().contains(dialogue->frameGeometry()));
    auto *table = controle<QTableWidget>(*dialogue, QStringLiteral("tableJournal"));
    const auto *detail = controle<QPlainTextEdit>(*dialogue, QStringLiteral("detailJournal"));
    table->selectRow(0);
    QVERIFY(detail->toPlainText().startsWith(QStringLiteral("A+00100:010\nB-00100:010\n")));

    const QByteArray suivante = QByteArray(Refusee).replace("48.002", "49.000");
    QVERIFY(ecrireJournal(Envoyee + Refusee + suivante.chopped(1)));
    dialogue->relire();
    QCOMPARE(table->rowCount(), 2);
    QVERIFY(ecrireJournal(Envoyee + Refusee + suivante));
    QTRY_COMPARE(table->rowCount(), 3); // read again without being asked
    QCOMPARE(table->selectionModel()->selectedRows().value(0).row(), 0);
    QVERIFY(detail->toPlainText().startsWith(QStringLiteral("A+00100:010\n")));

    QVERIFY(ecrireJournal(Refusee + suivante)); // the first record is gone
    dialogue->relire();
    QCOMPARE(colonne(table, ColHeure), (QStringList{"2026-12-07 23:16:48", "2026-12-07 23:16:49"}));
    QVERIFY(table->selectionModel()->selectedRows().isEmpty());
    QCOMPARE(detail->toPlainText(), QString());
}

QTEST_MAIN(TestDialogueJournal)
#include "tst_dialogue_journal.moc"
