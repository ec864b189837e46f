// The program window: steps made from the grid, saved and opened, and run
// on a serial bridge, whole, from a chosen step, step by step, or stopped.
#include "app/formulation.h"
#include "app/langue.h"
#include "core/fichiers.h"
#include "fenetre_essai.h"
#include "journal_essai.h"
#include "pont_socat.h"
#include "programme_essai.h"
#include "run/journal.h"
#include "system/fichier_reglages.h"
#include "window/case_grille.h"
#include "window/dialogue_journal.h"
#include "window/dialogue_limites.h"
#include "window/disposition.h"
#include "window/fenetre_programme.h"
#include "window/graphe_course.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

using namespace tarvik::window;

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
    return !ouverture.echec ? QStringLiteral("libre")
           : ouverture.echec->genre() == EchecLien::Genre::PortOccupe
               ? QStringLiteral("occupé")
               : tarvik::app::TexteEchec(ouverture);
}

int rangees(const FenetreProgramme &fenetre)
{
    return controle<QTreeWidget>(fenetre, QStringLiteral("listeEtapes"))->topLevelItemCount();
}

QString etat(const FenetreProgramme &fenetre)
{
    return controle<QLabel>(fenetre, QStringLiteral("etatProgramme"))->text();
}

// Answers the next question of `fenetre` on its own box, as the operator:
// "Entrée" and "Échap" are pressed on the box, any other answer is the
// button of that name clicked. `question` receives the box's text.
void repondre(QWidget *fenetre, const QString &reponse, QString &question)
{
    auDialogue<QMessageBox>(*fenetre, [reponse, &question](QMessageBox *boite) {
        question = boite->text();
        if (reponse == QStringLiteral("Entrée") || reponse == QStringLiteral("Échap"))
            return QTest::keyClick(boite, reponse == QStringLiteral("Entrée") ? Qt::Key_Return
                                                                              : Qt::Key_Escape);
        for (QAbstractButton *bouton : boite->buttons())
            if (bouton->text() == reponse)
                return bouton->click();
    });
}

// Waits until the panel's status lines have the height their words need
// at their width, 20 s at most: the window grows with them.
bool panneauPose(const Form1 &panneau)
{
    return QTest::qWaitFor(
        [&] {
            for (const char *nom : {"etatPort", "etatEnvoi"}) {
                const auto *ligne = controle<QLabel>(panneau, QLatin1String(nom));
                if (ligne->heightForWidth(ligne->width()) != ligne->height())
                    return false;
            }
            return true;
        },
        20000);
}

// The panel's grid, in the screen's coordinates.
QRect placeDeLaGrille(const Form1 &panneau)
{
    QRect grille;
    for (const CaseGrille *c : panneau.findChildren<CaseGrille *>())
        grille |= QRect(c->mapToGlobal(QPoint(0, 0)), c->size());
    return grille;
}

// The screens the windows are tried on, as the benches have them: their
// pixels and their scale.
struct EcranEssai {
    const char *nom;
    int largeur, hauteur, echelle;
};
constexpr EcranEssai Ecrans[] = {
    {"800×600", 800, 600, 1},
    {"1024×768", 1024, 768, 1},
    {"1280×1024", 1280, 1024, 1},
    {"1920×1080", 1920, 1080, 1},
    {"1280×1024 à l'échelle 2", 1280, 1024, 2},
};

// The offscreen screen main() named `nom`.
QScreen *ecranNomme(const QString &nom)
{
    for (QScreen *ecran : QGuiApplication::screens())
        if (ecran->name() == nom)
            return ecran;
    return nullptr;
}

// The scale this process runs at: QT_SCALE_FACTOR's, else 1.
int echelleDuProcessus()
{
    const int echelle = qRound(qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    return echelle > 0 ? echelle : 1;
}

// The panel on `place` (a screen's available geometry) and each of the
// other windows as the operator meets them, handed to `voir` one after the
// other: the program's during a run of a program never saved, waiting
// after its first step (a drift said), then with its chart shown; the
// journal's; the limits dialog, once the run is stopped.
void parcourirFenetres(const QRect &place,
                       const std::function<void(QWidget &fenetre, const Panneau &panneau)> &voir)
{
    // The journal in a folder of a short name: the journal window names
    // its file, whose path's length is not the layout's to answer for.
    JournalEssai dossier(QStringLiteral("/tmp/j-XXXXXX"));
    PseudoTerminal pty;
    CaptureMessages messages;
    Panneau panneau;
    panneau.imposerPort(pty.chemin());
    panneau.move(place.topLeft());
    panneau.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panneau));
    QVERIFY(panneauPose(panneau));
    FenetreProgramme *fenetre = ouvrirFenetre(panneau);
    QVERIFY(fenetre);
    controle<CaseGrille>(panneau, QStringLiteral("Text1_1"))->setText(QStringLiteral("00100"));
    cliquer(*fenetre, "ajouterGrille");
    cliquer(*fenetre, "ajouterGrille");
    auto *liste = controle<QTreeWidget>(*fenetre, QStringLiteral("listeEtapes"));
    liste->setCurrentItem(liste->topLevelItem(0));
    controle<QDoubleSpinBox>(*fenetre, QStringLiteral("attenteEtape"))->setValue(600);
    controle<QSpinBox>(*fenetre, QStringLiteral("repetitions"))->setValue(3);
    bool enAttente = false;
    QObject::connect(&panneau.poste(), &PosteEnvoi::attente, fenetre, [&] { enAttente = true; });
    cliquer(*fenetre, "lancerProgramme");
    QTRY_VERIFY_WITH_TIMEOUT(enAttente, 20000);
    voir(panneau, panneau);
    voir(*fenetre, panneau);
    controle<QTabWidget>(*fenetre, QStringLiteral("pagesProgramme"))->setCurrentIndex(1);
    voir(*fenetre, panneau);
    controle<QAction>(panneau, QStringLiteral("JournalEnvois"))->trigger();
    auto *journal = panneau.findChild<DialogueJournal *>();
    QVERIFY(journal && QTest::qWaitForWindowExposed(journal));
    voir(*journal, panneau);
    frapper(*fenetre, QKeySequence(Qt::Key_Escape)); // Arrêter
    QVERIFY(envoisFinis(panneau));
    bool vue = false;
    auDialogue<DialogueLimites>(panneau, [&](DialogueLimites *limites) {
        vue = true;
        voir(*limites, panneau);
        limites->reject();
    });
    controle<QAction>(panneau, QStringLiteral("LimitesAxes"))->trigger();
    QVERIFY2(vue, "la boîte des limites ne s'est pas ouverte");
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
    void attentes();
    void attenteTapee_data();
    void attenteTapee();
    void aCoteDuPanneau_data();
    void retrecie();
    void aCoteDuPanneau();
    void dossierRetenu();
    void pasAPas();
    void entieres_data();
    void entieres();
    void nomsAccessibles();
};

void TestFenetreProgramme::surLePont_data()
{
    QTest::addColumn<int>("arret"); // Stop at this wait; 0: never
    QTest::addColumn<int>("envoyees");
    QTest::addColumn<QString>("dit"); // the end's message; empty: none
    QTest::addColumn<bool>("fermer"); // the window closed instead of Échap
    QTest::newRow("entier") << 0 << 3 << QString() << false;
    QTest::newRow("arrêt à la 1re attente")
        << 1 << 1
        << "Programme arrêté\u00a0: étape 1 envoyée, l'étape 2 ne l'a pas été.\n"
           "Une ligne remise au port ne peut pas être rappelée\u00a0: pour arrêter la machine "
           "elle-même, utilisez son arrêt d'urgence."
        << false;
    QTest::newRow("arrêt à la 2e attente")
        << 2 << 2 << "étapes 1 et 2 envoyées, l'étape 3 (dépose)" << false;
    // Its Stop goes with it: asked, then stopped, and no end to tell.
    QTest::newRow("fenêtre fermée à la 1re attente")
        << 1 << 1 << "Un programme est en cours, et cette fenêtre porte son" << true;
}

// On a socat bridge, as an operator's bench: each step arrives whole, in
// order; the port stays the program's during its waits, and TEST waits for
// nothing behind it; after its end or a Stop (Échap, or the window closed)
// nothing more arrives and the port is free. One record per step, named by
// the file and the step.
void TestFenetreProgramme::surLePont()
{
    QFETCH(int, arret);
    QFETCH(int, envoyees);
    QFETCH(QString, dit);
    QFETCH(bool, fermer);
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
    connect(&panneau.poste(), &PosteEnvoi::attente, fenetre, [&](const QString &, qint64 ms) {
        pendant << autreEnvoyeur(pont.panneau());
        if (pendant.size() != arret)
            return;
        controle<QPushButton>(panneau, QStringLiteral("Command1"))->click();
        messages.reponses = {0}; // « Arrêter le programme »
        if (fermer)
            fenetre->close();
        else
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
    // TEST refused during the wait, then the end's message or the question
    // closing asks, if any.
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
    QTest::addColumn<QString>("reponse"); // a key pressed, or the button clicked
    QTest::addColumn<int>("premiere");    // the first step sent; -1: none
    QTest::addColumn<QString>("dit");     // the window's status at the end
    QTest::newRow("Entrée") << "Entrée" << 0 << "Programme terminé à";
    QTest::newRow("depuis l'étape 2")
        << "Depuis l'étape 2" << 1 << " · depuis l'étape 2, étape 1 non envoyée";
    QTest::newRow("Échap") << "Échap" << -1 << "Programme à l'arrêt";
}

// Two grids added, the second stays selected: "Lancer" asks from where,
// and Entrée or Échap never leave a step out. A later start is said at
// the end.
void TestFenetreProgramme::depuisLEtapeChoisie()
{
    QFETCH(QString, reponse);
    QFETCH(int, premiere);
    QFETCH(QString, dit);
    BancProgramme b;
    auto &[banc, dossier, fenetre] = b;
    QVERIFY(fenetre);
    auto &[pty, messages, panneau] = banc;
    const auto boites = Question.remplacer({}); // the real question, answered on its box
    cliquer(*fenetre, "ajouterGrille");
    controle<CaseGrille>(panneau, QStringLiteral("Text1_1"))->setText(QStringLiteral("00002"));
    cliquer(*fenetre, "ajouterGrille");
    QString question;
    repondre(fenetre, reponse, question);
    cliquer(*fenetre, "lancerProgramme");
    QVERIFY(envoisFinis(panneau));
    QVERIFY2(question.startsWith(QStringLiteral(
                 "Lancer le programme depuis le début, ou depuis l'étape 2, choisie dans la "
                 "liste\u00a0?\nDepuis elle, l'étape 1 ne sera pas envoyée")),
             qPrintable(question));
    const Programme programme = fenetre->programme();
    const QByteArray attendus = premiere < 0 ? QByteArray() : octetsDe(programme, premiere, 1);
    QCOMPARE(pty.lire(attendus.size()), attendus);
    QVERIFY2(etat(*fenetre).contains(dit), qPrintable(etat(*fenetre)));
    QCOMPARE(etat(*fenetre).contains(QStringLiteral("non envoyée")), premiere > 0);
}

// The last step's wait is set as any other, and counts once a step
// follows it; the window's total of the waits is tarvik-envoyer's.
void TestFenetreProgramme::attentes()
{
    BancProgramme b;
    auto &[banc, dossier, fenetre] = b;
    QVERIFY(fenetre);
    cliquer(*fenetre, "ajouterGrille");
    auto *attente = controle<QDoubleSpinBox>(*fenetre, QStringLiteral("attenteEtape"));
    for (int k = 0; k < 3; ++k)
        QTest::keyClick(attente, Qt::Key_Up); // 0.5 s a press
    QTest::keyClick(controle<QSpinBox>(*fenetre, QStringLiteral("repetitions")), Qt::Key_Up);
    // The list is made anew as a step is added: its first row is read each time.
    const auto *liste = controle<QTreeWidget>(*fenetre, QStringLiteral("listeEtapes"));
    QCOMPARE(liste->topLevelItem(0)->text(2), QStringLiteral("(1,5 s si une étape suit)"));
    cliquer(*fenetre, "ajouterGrille");
    QCOMPARE(liste->topLevelItem(0)->text(2), QStringLiteral("1,5 s"));
    ChoixImpose choix;
    choix.reponse = dossier.chemin(QStringLiteral("x.prog"));
    cliquer(*fenetre, "enregistrerProgramme");
    const Sortie envoyeur =
        lancer(QStringLiteral(TARVIK_ENVOYER), {QStringLiteral("--verifier"), choix.reponse,
                                                QStringLiteral("--port"), banc.pty.chemin()});
    const QRegularExpression total(QStringLiteral("attentes en tout\u00a0: ([^.]*)\\."));
    const QString attendu = total.match(QString::fromUtf8(envoyeur.erreurs)).captured(1);
    QCOMPARE(attendu, QStringLiteral("3 s")); // 1.5 s in each of 2 cycles
    const QString dit = controle<QLabel>(*fenetre, QStringLiteral("progression"))->text();
    QVERIFY2(dit.endsWith(QStringLiteral("attentes en tout\u00a0: ") + attendu), qPrintable(dit));
}

void TestFenetreProgramme::attenteTapee_data()
{
    QTest::addColumn<QString>("langue");
    QTest::addColumn<QString>("tape");
    QTest::addColumn<int>("dixiemes"); // the first step's wait after; 0: as it was
    QTest::addColumn<QString>("vu");   // what the box shows then
    // clang-format off
    QTest::newRow("fr 2.5")   << "fr" << "2.5"  << 25    << "2,5 s";
    QTest::newRow("fr 2,5")   << "fr" << "2,5"  << 25    << "2,5 s";
    QTest::newRow("en 2.5")   << "en" << "2.5"  << 25    << "2.5 s";
    QTest::newRow("en 2,5")   << "en" << "2,5"  << 25    << "2.5 s";
    QTest::newRow("fr 3600")  << "fr" << "3600" << 36000 << "3600 s";
    QTest::newRow("fr 3601")  << "fr" << "3601" << 0     << "0 s";
    QTest::newRow("en 3601")  << "en" << "3601" << 0     << "0 s";
    QTest::newRow("fr 2.55")  << "fr" << "2.55" << 0     << "0 s";
    QTest::newRow("fr ,5")    << "fr" << ",5"   << 5     << "0,5 s";
    QTest::newRow("fr 2x")    << "fr" << "2x"   << 0     << "0 s";
    // clang-format on
}

// A wait typed reads alike in both languages, with either decimal mark,
// and is read whole or refused and said: never one of the numbers met on
// the way to it (3601 is not 360).
void TestFenetreProgramme::attenteTapee()
{
    QFETCH(QString, langue);
    QFETCH(QString, tape);
    QFETCH(int, dixiemes);
    QFETCH(QString, vu);
    InstallerLangue(langue);
    const auto retablir = qScopeGuard([] { InstallerLangue(QStringLiteral("fr")); });
    BancProgramme b;
    auto &[banc, dossier, fenetre] = b;
    QVERIFY(fenetre);
    // The bar's count agrees with its total, in either language.
    const auto *barre = controle<QProgressBar>(*fenetre, QStringLiteral("barreProgression"));
    const bool fr = langue == QStringLiteral("fr");
    cliquer(*fenetre, "ajouterGrille");
    QCOMPARE(barre->text(),
             fr ? QStringLiteral("0/1 étape envoyée") : QStringLiteral("0/1 step sent"));
    cliquer(*fenetre, "ajouterGrille");
    QCOMPARE(barre->text(),
             fr ? QStringLiteral("0/2 étapes envoyées") : QStringLiteral("0/2 steps sent"));
    auto *liste = controle<QTreeWidget>(*fenetre, QStringLiteral("listeEtapes"));
    liste->setCurrentItem(liste->topLevelItem(0));
    auto *attente = controle<QDoubleSpinBox>(*fenetre, QStringLiteral("attenteEtape"));
    auto *refus = controle<QLabel>(*fenetre, QStringLiteral("attenteRefusee"));
    attente->selectAll();
    QTest::keyClicks(attente, tape);
    QTest::keyClick(attente, Qt::Key_Return);
    QCOMPARE(fenetre->programme().etapes[0].attenteDixiemes, dixiemes);
    QCOMPARE(attente->text(), vu);
    QVERIFY(refus);
    QCOMPARE(refus->text().isEmpty(), dixiemes != 0);
    if (dixiemes == 0)
        QVERIFY2(refus->text().contains(tape), qPrintable(refus->text()));
    // The repetitions, entered with their word selected too, read what is typed.
    auto *fois = controle<QSpinBox>(*fenetre, QStringLiteral("repetitions"));
    donnerFocus(fois, Qt::TabFocusReason);
    QTRY_VERIFY(fois->findChild<QLineEdit *>()->selectedText() == fois->text());
    QTest::keyClicks(fois, QStringLiteral("12"));
    QTest::keyClick(fois, Qt::Key_Return);
    QCOMPARE(fois->value(), 12);
}

void TestFenetreProgramme::aCoteDuPanneau_data()
{
    QTest::addColumn<QString>("ecran"); // the offscreen screens main() sets up
    QTest::addColumn<QString>("cote");  // where the window stands
    QTest::newRow("1024×768") << "a"
                              << "à droite";
    QTest::newRow("1280×1024") << "b"
                               << "dessous";
    // Narrower than the grid and the window: whole on the screen, over the grid.
    QTest::newRow("1024×768 à l'échelle 2") << "c"
                                            << "sur la grille";
}

// The program's window opens beside the panel, on its screen, never over
// its grid unless the screen leaves no other room, with room for its steps
// and its run's commands.
void TestFenetreProgramme::aCoteDuPanneau()
{
    QFETCH(QString, ecran);
    QFETCH(QString, cote);
    if (echelleDuProcessus() != 1)
        QSKIP("des écrans mis à l'échelle 1");
    const QScreen *surface = ecranNomme(ecran);
    QVERIFY(surface);
    const QRect place = surface->availableGeometry();
    CaptureMessages messages;
    Panneau panneau;
    panneau.move(place.topLeft());
    panneau.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panneau));
    QVERIFY(panneauPose(panneau));
    controle<QAction>(panneau, QStringLiteral("Programme"))->trigger();
    FenetreProgramme *fenetre = panneau.fenetreProgramme();
    QVERIFY(QTest::qWaitForWindowExposed(fenetre));
    const QRect fenetreLa = fenetre->frameGeometry(), grille = placeDeLaGrille(panneau);
    QVERIFY2(place.contains(fenetreLa), qPrintable(QDebug::toString(fenetreLa)));
    QCOMPARE(fenetreLa.intersects(grille), cote == QStringLiteral("sur la grille"));
    const QRect panneauLa = panneau.frameGeometry();
    const QString vu = fenetreLa.top() > panneauLa.bottom()   ? QStringLiteral("dessous")
                       : fenetreLa.left() > panneauLa.right() ? QStringLiteral("à droite")
                       : fenetreLa.left() > grille.right() ? QStringLiteral("à droite de la grille")
                       : fenetreLa.intersects(grille)      ? QStringLiteral("sur la grille")
                                                           : QDebug::toString(fenetreLa);
    QCOMPARE(vu, cote);
    QCOMPARE(horsDeVue(*fenetre, place), QStringList());
    if (cote == QStringLiteral("sur la grille"))
        return; // the steps' page scrolls, as its list does
    // The list in view: three rows, and a step's name.
    const auto *liste = controle<QTreeWidget>(*fenetre, QStringLiteral("listeEtapes"));
    const QRect lignes = liste->viewport()->visibleRegion().boundingRect();
    QVERIFY2(lignes.height() >= 3 * liste->fontMetrics().height() &&
                 lignes.width() >=
                     liste->fontMetrics().horizontalAdvance(QStringLiteral("Étape 1 (prise)")),
             qPrintable(QDebug::toString(lignes)));
    QCOMPARE(controle<QProgressBar>(*fenetre, QStringLiteral("barreProgression"))->text(),
             QStringLiteral("Aucune étape à envoyer"));
}

// Narrowed by the operator, it grows as its rows wrap: never lower than
// they need at its width.
void TestFenetreProgramme::retrecie()
{
    CaptureMessages messages;
    Panneau panneau;
    panneau.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panneau));
    controle<QAction>(panneau, QStringLiteral("Programme"))->trigger();
    FenetreProgramme *fenetre = panneau.fenetreProgramme();
    QVERIFY(QTest::qWaitForWindowExposed(fenetre));
    const int large = HauteurMinimaleDe(*fenetre, fenetre->width());
    fenetre->resize(fenetre->minimumWidth(), fenetre->height());
    const int etroite = HauteurMinimaleDe(*fenetre, fenetre->width());
    QVERIFY2(etroite > large, "ses rangées tiennent sur une ligne, même étroite");
    QTRY_COMPARE(fenetre->minimumHeight(), etroite);
    QVERIFY(fenetre->height() >= etroite);
}

// A file dialog opens in the folder of the file chosen last, and so does
// the first one of the next start: the settings keep it.
void TestFenetreProgramme::dossierRetenu()
{
    QFile::remove(CheminReglages());
    const auto sansReglages = qScopeGuard([] { QFile::remove(CheminReglages()); });
    BancProgramme b;
    QVERIFY(b.fenetre);
    ChoixImpose choix;
    choix.reponse = b.dossier.chemin(QStringLiteral("p.prog"));
    const QString utilise = QFileInfo(choix.reponse).absolutePath();
    cliquer(*b.fenetre, "ajouterGrille");
    cliquer(*b.fenetre, "enregistrerProgramme");
    cliquer(*b.fenetre, "ouvrirProgramme");
    const ReglagesLus lus = LireReglages();
    QCOMPARE(lus.reglages.dossier, utilise);
    Panneau suivant(lus); // the next start
    controle<QAction>(suivant, QStringLiteral("OuvrirSequence"))->trigger();
    QCOMPARE(choix.questions.size(), 3);
    QCOMPARE(choix.questions[0].dossier, QString());
    QCOMPARE(choix.questions[1].dossier, utilise);
    QCOMPARE(choix.questions[2].dossier, utilise);
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

void TestFenetreProgramme::entieres_data()
{
    QTest::addColumn<QString>("ecran"); // the name of an offscreen screen main() sets up
    QTest::addColumn<int>("echelle");
    QTest::addColumn<QSize>("taille"); // in the pixels the scale leaves
    for (int k = 0; k < int(std::size(Ecrans)); ++k)
        QTest::newRow(Ecrans[k].nom)
            << QStringLiteral("e%1").arg(k) << Ecrans[k].echelle
            << QSize(Ecrans[k].largeur, Ecrans[k].hauteur) / Ecrans[k].echelle;
}

// Every window whole on every screen and at scale 2: within the screen,
// every control in view (what a scroll area holds may scroll, the run's
// commands never do), no button's text cut, the status lines whole during
// a program, which they name without saying "programme" twice; the panel's
// other windows beside it, never over its grid, the chart at its readable
// size. Run again at QT_SCALE_FACTOR=2 (tst_fenetre_programme_echelle_2).
void TestFenetreProgramme::entieres()
{
    QFETCH(QString, ecran);
    QFETCH(int, echelle);
    QFETCH(QSize, taille);
    if (echelle % echelleDuProcessus() != 0)
        QSKIP("un écran d'une autre échelle que celle du processus");
    const QScreen *surface = ecranNomme(ecran);
    QVERIFY(surface);
    const QRect place = surface->availableGeometry();
    QCOMPARE(place.size(), taille);
    QStringList vus;
    QRect grille;
    parcourirFenetres(place, [&](QWidget &fenetre, const Panneau &panneau) {
        if (grille.isNull())
            grille = placeDeLaGrille(panneau);
        const QString qui = fenetre.objectName() + QStringLiteral(" : ");
        for (const QString &vu : horsDeVue(fenetre, place))
            vus << qui + vu;
        if (&fenetre != &panneau && !qobject_cast<DialogueLimites *>(&fenetre) &&
            fenetre.frameGeometry().intersects(grille))
            vus << qui + QStringLiteral("sur la grille");
        if (&fenetre == &panneau) {
            const QString etat = controle<QLabel>(panneau, QStringLiteral("etatPort"))->text();
            if (!etat.contains(QStringLiteral("programme non enregistré, étape 1/2")) ||
                etat.contains(QStringLiteral("programme programme")))
                vus << qui + etat;
        }
        // The run's commands and what it does, never scrolled out of view.
        if (qobject_cast<FenetreProgramme *>(&fenetre))
            for (const char *nom : {"lancerProgramme", "pasAPas", "arreterProgramme", "progression",
                                    "barreProgression", "etatProgramme"})
                if (!enVue(*controle<QWidget>(fenetre, QLatin1String(nom))))
                    vus << qui + QLatin1String(nom) + QStringLiteral(" hors de vue");
        if (const auto *graphe = fenetre.findChild<GrapheCourse *>();
            graphe && graphe->isVisible()) {
            const QSize vu = graphe->visibleRegion().boundingRect().size();
            if (vu.width() < graphe->minimumSizeHint().width() ||
                vu.height() < graphe->minimumSizeHint().height())
                vus << qui + QStringLiteral("graphe ") + QDebug::toString(vu);
        }
    });
    QVERIFY2(!grille.isNull(), "les fenêtres ne se sont pas ouvertes");
    QVERIFY2(vus.isEmpty(), qPrintable(vus.join(u'\n')));
}

// A screen reader meets each window as a window, named, and each Tab stop
// named, in words without markup.
void TestFenetreProgramme::nomsAccessibles()
{
    QStringList vus;
    int fenetres = 0;
    parcourirFenetres(QGuiApplication::primaryScreen()->availableGeometry(), [&](QWidget &fenetre,
                                                                                 const Panneau &) {
        ++fenetres;
        QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(&fenetre);
        const QString qui = fenetre.objectName() + QStringLiteral(" : ");
        if (!interface ||
            (interface->role() != QAccessible::Window &&
             interface->role() != QAccessible::Dialog) ||
            interface->text(QAccessible::Name).isEmpty())
            vus << qui + QStringLiteral("pas une fenêtre nommée");
        for (const QString &vu : sansNomAccessible(fenetre))
            vus << qui + vu;
    });
    QCOMPARE(fenetres, 5);
    QVERIFY2(vus.isEmpty(), qPrintable(vus.join(u'\n')));
}

// Three screens side by side, as the operators' benches have them (the
// last is a 1024×768 screen at scale 2, as the windows lay it out), then
// those the windows are tried on, in the pixels this process's scale
// leaves them.
int main(int argc, char **argv)
{
    QTemporaryDir dossier;
    const QString configuration = dossier.filePath(QStringLiteral("ecrans.json"));
    QStringList ecrans{R"({"name": "a", "x": 0, "y": 0, "width": 1024, "height": 768})",
                       R"({"name": "b", "x": 1024, "y": 0, "width": 1280, "height": 1024})",
                       R"({"name": "c", "x": 2304, "y": 0, "width": 512, "height": 384})"};
    int x = 2816;
    for (const EcranEssai &ecran : Ecrans) {
        const int largeur = ecran.largeur * echelleDuProcessus() / ecran.echelle;
        ecrans << QStringLiteral(R"({"name": "e%1", "x": %2, "y": 0, "width": %3, "height": %4})")
                      .arg(QString::number(ecrans.size() - 3), QString::number(x),
                           QString::number(largeur),
                           QString::number(ecran.hauteur * echelleDuProcessus() / ecran.echelle));
        x += largeur;
    }
    if (!ecrireFichier(
            configuration,
            QStringLiteral(R"({"screens": [%1]})").arg(ecrans.join(QStringLiteral(", "))).toUtf8()))
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + configuration.toUtf8());
    QApplication application(argc, argv);
    TestFenetreProgramme test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_fenetre_programme.moc"
