// The program window: steps made from the grid, saved and opened, and run
// on a serial bridge, whole, from a chosen step, step by step, or stopped.
#include "core/fichiers.h"
#include "fenetre_essai.h"
#include "journal_essai.h"
#include "pont_socat.h"
#include "run/journal.h"
#include "window/case_grille.h"
#include "window/fenetre_programme.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

namespace {

// A grid whose axis A moves `pas` steps: each step of a program its own.
Grille grilleDe(int pas)
{
    QStringList lignes = lignesInitiales();
    lignes[0] = QStringLiteral("A+%1:002").arg(pas, 5, 10, QChar(u'0'));
    return *AnalyserSequence(surLeFil(lignes)).grille;
}

// Three steps, A at 1, 2 and 3 steps, the waits after them in tenths.
Programme troisEtapes(int attente1, int attente2)
{
    return {{{QStringLiteral("prise"), grilleDe(1), attente1},
             {{}, grilleDe(2), attente2},
             {QStringLiteral("dépose"), grilleDe(3), 0}},
            1};
}

FenetreProgramme *ouvrirFenetre(Panneau &panneau)
{
    panneau.show();
    controle<QAction>(panneau, QStringLiteral("Programme"))->trigger();
    auto *fenetre = panneau.fenetreProgramme();
    return fenetre && QTest::qWaitForWindowExposed(fenetre) ? fenetre : nullptr;
}

// The panel on a pseudo-terminal with its program window open, and a
// folder of the test's own for the journal and the files.
struct BancProgramme {
    Banc<> banc;
    JournalEssai dossier;
    FenetreProgramme *fenetre = banc.pret() ? ouvrirFenetre(banc.fenetre) : nullptr;
};

void cliquer(const FenetreProgramme &fenetre, const char *nom)
{
    controle<QPushButton>(fenetre, QLatin1String(nom))->click();
}

// Opens `programme` in the window from the file `nom`, as the operator would.
bool charger(FenetreProgramme &fenetre, const JournalEssai &dossier, const Programme &programme,
             const QString &nom = QStringLiteral("x.prog"))
{
    ChoixImpose choix;
    choix.reponse = dossier.chemin(nom);
    if (!ecrireFichier(choix.reponse, FormerProgramme(programme)))
        return false;
    cliquer(fenetre, "ouvrirProgramme");
    return fenetre.programme() == programme;
}

QByteArray octetsDe(const Programme &programme, int de, int a)
{
    QByteArray octets;
    for (int k = de; k <= a; ++k)
        octets += FormerSequence(programme.etapes[k].grille);
    return octets;
}

// What a second sender, as tarvik-envoyer would be, finds on `port`.
QString autreEnvoyeur(const QString &port)
{
    LienSerie autre;
    autre.setPeripherique(port);
    const ResultatEnvoi ouverture = OuvrirPourEnvoyer(autre);
    autre.fermer();
    return !ouverture.echec                                         ? QStringLiteral("libre")
           : ouverture.echec->genre == EchecLien::Genre::PortOccupe ? QStringLiteral("occupé")
                                                                    : ouverture.echec->message;
}

int rangees(const FenetreProgramme &fenetre)
{
    return controle<QTreeWidget>(fenetre, QStringLiteral("listeEtapes"))->topLevelItemCount();
}

} // namespace

class TestFenetreProgramme : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void surLePont_data();
    void surLePont();
    void ajoutRefuse_data();
    void ajoutRefuse();
    void allerRetour();
    void depuisLEtapeChoisie_data();
    void depuisLEtapeChoisie();
    void pasAPas();
};

void TestFenetreProgramme::surLePont_data()
{
    QTest::addColumn<int>("arret"); // Stop at this wait; 0: never
    QTest::addColumn<int>("envoyees");
    QTest::addColumn<QString>("dit"); // the end's message; empty: none
    QTest::newRow("entier") << 0 << 3 << QString();
    QTest::newRow("arrêt à la 1re attente")
        << 1 << 1
        << "Programme arrêté\u00a0: étape 1 envoyée, l'étape 2 ne l'a pas été.\n"
           "Une ligne remise au port ne peut pas être rappelée\u00a0: pour arrêter la machine "
           "elle-même, utilisez son arrêt d'urgence.";
    QTest::newRow("arrêt à la 2e attente") << 2 << 2 << "étapes 1 à 2 envoyées, l'étape 3 (dépose)";
}

// On a socat bridge, as an operator's bench: each step arrives whole, in
// order; the port stays the program's during its waits, and TEST waits for
// nothing behind it; after its end or a Stop nothing more arrives and the
// port is free. One record per step, named by the file and the step.
void TestFenetreProgramme::surLePont()
{
    QFETCH(int, arret);
    QFETCH(int, envoyees);
    QFETCH(QString, dit);
    if (QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty())
        QSKIP("socat n'est pas installé");
    PontSocat pont;
    QVERIFY(pont.valide());
    JournalEssai journal;
    CaptureMessages messages;
    Panneau panneau;
    panneau.imposerPort(pont.panneau());
    FenetreProgramme *fenetre = ouvrirFenetre(panneau);
    QVERIFY(fenetre);
    const Programme programme = troisEtapes(1, 1); // waits of 0.1 s
    QVERIFY(charger(*fenetre, journal, programme));
    QStringList pendant, sources;               // the port during each wait; the journal's sources
    QDeadlineTimer du(QDeadlineTimer::Forever); // when a step planned after the Stop would go
    connect(&panneau.poste(), &PosteEnvoi::attente, fenetre, [&](qint64 ms) {
        pendant << autreEnvoyeur(pont.panneau());
        if (pendant.size() != arret)
            return;
        controle<QPushButton>(panneau, QStringLiteral("Command1"))->click();
        frapper(*fenetre, QKeySequence(Qt::Key_Escape)); // Arrêter, at once
        QTimer::singleShot(0, fenetre, [&du, ms] { du.setRemainingTime(ms); });
    });
    cliquer(*fenetre, "lancerProgramme");
    QVERIFY(envoisFinis(panneau));
    if (arret) { // a step still planned after the Stop would be due by now, and go
        QVERIFY(QTest::qWaitFor([&] { return du.hasExpired(); }, 20000));
        QCoreApplication::processEvents();
    }
    QCOMPARE(pont.lire(84 * envoyees), octetsDe(programme, 0, envoyees - 1));
    QCOMPARE(pendant, QStringList(arret ? arret : 2, QStringLiteral("occupé")));
    QCOMPARE(autreEnvoyeur(pont.panneau()), QStringLiteral("libre"));
    const QList<EnregistrementEnvoi> lus = journal.lus();
    for (const EnregistrementEnvoi &lu : lus)
        sources << lu.source;
    // A Stop leaves a record of its own, named after the step not sent.
    QCOMPARE(sources,
             QStringList({"x.prog:1", "x.prog:2", "x.prog:3"}).mid(0, envoyees + (arret > 0)));
    QCOMPARE(lus.last().issue, arret ? IssueEnvoi::Arretee : IssueEnvoi::Envoyee);
    QCOMPARE(lus.first().execution, lus.last().execution);
    QCOMPARE(lignesListe(panneau), programme.etapes[envoyees - 1].grille.lignes());
    // TEST refused during the wait, then the end's message, if any.
    QCOMPARE(messages.vus.size(), arret ? 2 : 0);
    QVERIFY(!arret ||
            (messages.vus[0].texte.contains(QStringLiteral("Un programme est en cours")) &&
             messages.vus[1].texte.contains(dit)));
    QVERIFY(controle<QLabel>(*fenetre, QStringLiteral("etatProgramme"))
                ->text()
                .startsWith(arret ? QStringLiteral("Programme arrêté à")
                                  : QStringLiteral("Programme terminé à")));
}

void TestFenetreProgramme::ajoutRefuse_data()
{
    QTest::addColumn<QString>("boite");
    QTest::addColumn<QString>("tape");
    QTest::addColumn<QString>("dit");
    QTest::newRow("au-delà des limites") << "Text1_1"
                                         << "5001"
                                         << "5000 pas au plus";
    QTest::newRow("vitesse refusée") << "Text2_3"
                                     << "300"
                                     << "Axe 03";
}

// "Ajouter la grille" checks the grid as TEST does: a refused value is
// said, its box takes the focus, and the program stays as it was.
void TestFenetreProgramme::ajoutRefuse()
{
    QFETCH(QString, boite);
    QFETCH(QString, tape);
    QFETCH(QString, dit);
    Banc banc;
    QVERIFY(banc.pret());
    auto &[pty, messages, panneau] = banc;
    panneau.poste().setLimites(limitesOperateur("A.pas=5000\n"));
    FenetreProgramme *fenetre = ouvrirFenetre(panneau);
    QVERIFY(fenetre);
    cliquer(*fenetre, "ajouterGrille"); // the initial grid goes in
    QCOMPARE(rangees(*fenetre), 1);
    auto *c = controle<CaseGrille>(panneau, boite);
    c->setText(tape);
    controle<QWidget>(panneau, QStringLiteral("Command1"))
        ->setFocus(); // the panel's focus elsewhere
    cliquer(*fenetre, "ajouterGrille");
    QCOMPARE(rangees(*fenetre), 1);
    QCOMPARE(messages.vus.size(), 1);
    QCOMPARE(messages.vus[0].titre, QStringLiteral("Étape non ajoutée"));
    QVERIFY2(messages.vus[0].texte.contains(dit), qPrintable(messages.vus[0].texte));
    QCOMPARE(panneau.focusWidget(), c);
}

// Saved, the program is FormerProgramme's bytes, and opens back as it was;
// a refused file names its line and changes nothing.
void TestFenetreProgramme::allerRetour()
{
    BancProgramme b;
    auto &[banc, dossier, fenetre] = b;
    QVERIFY(fenetre);
    auto &[pty, messages, panneau] = banc;
    cliquer(*fenetre, "ajouterGrille");
    controle<CaseGrille>(panneau, QStringLiteral("Text1_2"))->setText(QStringLiteral("00042"));
    cliquer(*fenetre, "ajouterGrille");
    auto *liste = controle<QTreeWidget>(*fenetre, QStringLiteral("listeEtapes"));
    liste->setCurrentItem(liste->topLevelItem(0));
    QTest::keyClicks(controle<QLineEdit>(*fenetre, QStringLiteral("nomEtape")), "prise");
    controle<QDoubleSpinBox>(*fenetre, QStringLiteral("attenteEtape"))->setValue(2.5);
    controle<QSpinBox>(*fenetre, QStringLiteral("repetitions"))->setValue(3);
    QCOMPARE(liste->topLevelItem(0)->text(2), QStringLiteral("2,5 s"));
    QVERIFY(liste->topLevelItem(1)->toolTip(1).contains(QStringLiteral("B+00042:002")));
    const Programme fait = fenetre->programme();
    QCOMPARE(fait.etapes[0].nom, QStringLiteral("prise"));
    QCOMPARE(fait.repetitions, 3);

    ChoixImpose choix;
    choix.reponse = dossier.chemin(QStringLiteral("p.prog"));
    cliquer(*fenetre, "enregistrerProgramme");
    QCOMPARE(lireFichier(choix.reponse), FormerProgramme(fait));
    cliquer(*fenetre, "retirerEtape");
    QCOMPARE(rangees(*fenetre), 1);
    cliquer(*fenetre, "ouvrirProgramme");
    QCOMPARE(fenetre->programme(), fait);
    QCOMPARE(fenetre->source(), QStringLiteral("p.prog"));

    QVERIFY(ecrireFichier(choix.reponse, "programme tarvik 1\n\netape\nA+00000:002\n"));
    cliquer(*fenetre, "ouvrirProgramme");
    QCOMPARE(fenetre->programme(), fait);
    QCOMPARE(messages.vus.size(), 1);
    QVERIFY2(messages.vus[0].texte.contains(QStringLiteral("Ligne 5")),
             qPrintable(messages.vus[0].texte));
}

void TestFenetreProgramme::depuisLEtapeChoisie_data()
{
    QTest::addColumn<int>("reponse");
    QTest::addColumn<int>("premiere"); // the first step sent; -1: none
    QTest::newRow("depuis l'étape 2") << 0 << 1;
    QTest::newRow("depuis le début") << 1 << 0;
    QTest::newRow("annuler") << 2 << -1;
}

// With a step other than the first selected, "Lancer" asks from where, and
// names the step; the answer decides what goes.
void TestFenetreProgramme::depuisLEtapeChoisie()
{
    QFETCH(int, reponse);
    QFETCH(int, premiere);
    BancProgramme b;
    auto &[banc, dossier, fenetre] = b;
    QVERIFY(fenetre);
    auto &[pty, messages, panneau] = banc;
    const Programme programme = troisEtapes(0, 0);
    QVERIFY(charger(*fenetre, dossier, programme));
    auto *liste = controle<QTreeWidget>(*fenetre, QStringLiteral("listeEtapes"));
    liste->setCurrentItem(liste->topLevelItem(1));
    messages.reponses = {reponse};
    cliquer(*fenetre, "lancerProgramme");
    QVERIFY(envoisFinis(panneau));
    QCOMPARE(messages.boutons,
             (QStringList{QStringLiteral("Depuis l'étape 2"), QStringLiteral("Depuis le début"),
                          QStringLiteral("Annuler")}));
    QVERIFY(messages.vus[0].texte.startsWith(QStringLiteral("Étape 2 est choisie")));
    const QByteArray attendus = premiere < 0 ? QByteArray() : octetsDe(programme, premiere, 2);
    QCOMPARE(pty.lire(attendus.size()), attendus);
}

// "Pas à pas" sends one step per press, and stops after it.
void TestFenetreProgramme::pasAPas()
{
    BancProgramme b;
    auto &[banc, dossier, fenetre] = b;
    QVERIFY(fenetre);
    auto &[pty, messages, panneau] = banc;
    const Programme programme = troisEtapes(0, 0); // nothing but the presses holds it
    QVERIFY(charger(*fenetre, dossier, programme));
    for (int k = 0; k < 3; ++k) {
        cliquer(*fenetre, "pasAPas");
        QTRY_VERIFY(panneau.poste().enPause() || !panneau.poste().occupe());
        QCOMPARE(pty.lire(84), octetsDe(programme, k, k));
    }
    QVERIFY(!panneau.poste().occupe());
    QCOMPARE(dossier.lus().size(), 3);
    QVERIFY(messages.vus.isEmpty());
}

QTEST_MAIN(TestFenetreProgramme)
#include "tst_fenetre_programme.moc"
