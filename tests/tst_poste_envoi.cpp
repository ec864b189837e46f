// The send station, on the test's driver and clock, as its front ends use
// it: what it makes of a grid as typed, for each way the grid leaves; what
// it tells of each run, every signal naming its run, TEST's queue against a
// program, a Stop and a signal included; what the journal it is heard by
// keeps of each kind of run; and the port's state it tells the status line.
#include "app/consignation.h"
#include "app/formulation.h"
#include "app/poste_envoi.h"
#include "execution_essai.h"
#include "journal_essai.h"
#include "surveillance_essai.h"

using namespace tarvik::app;

namespace {

// The limits an operator's file holding `contenu` sets.
LimitesLues limitesDe(const QByteArray &contenu)
{
    LimitesLues lues;
    lues.effectives = AnalyserLimites(contenu, NiveauLimite::Operateur).limites;
    return lues;
}

// A limits file that cannot be trusted: no send may leave.
LimitesDouteuses limitesDouteuses()
{
    return {{{QStringLiteral("limites.conf"),
              EchecLecture{.genre = EchecLecture::Genre::PasOrdinaire}}}};
}

// The initial grid, with the boxes `saisies` names typed over ("A.pas=1O0",
// "C.direction=x", "B.vitesse=300").
TextesGrille saisie(const QStringList &saisies = {})
{
    TextesGrille textes;
    textes.fill({QStringLiteral("00000"), QStringLiteral("+"), QStringLiteral("002")});
    for (const QString &case_ : saisies) {
        TextesRangee &rangee = textes[std::size_t(case_.at(0).unicode() - u'A')];
        const QString champ = case_.section(u'=', 0, 0).mid(2), texte = case_.section(u'=', 1);
        (champ == u"pas"         ? rangee.pas
         : champ == u"direction" ? rangee.direction
                                 : rangee.vitesse) = texte;
    }
    return textes;
}

// A station on the test's driver and clock, its sends where they are asked,
// heard by its journal first, as each front end makes it.
struct BancPoste {
    BancPoste() { poste.setPort(PortImpose(QStringLiteral("/dev/ttyESSAI"))); }
    // Sounds the waits until the station is free.
    void finir()
    {
        for (int tour = 0; poste.occupe() && tour < 10; ++tour)
            horloge.sonner();
    }
    JournalEssai journal;
    EtatPilote pilote;
    Substituable<std::function<std::unique_ptr<PiloteLigne>()>>::Remplacement nouveauPilote{
        NouveauPilote.remplacer([this] { return std::make_unique<PiloteEssai>(pilote); })};
    Substituable<bool>::Remplacement ici{EnvoisEnFond.remplacer(false)};
    HorlogeEssai horloge;
    PosteEnvoi poste{QStringLiteral("tarvik"), &horloge};
    ConsignationEnvois *consignation = new ConsignationEnvois(poste);
    QSignalSpy termine{&poste, &PosteEnvoi::termine};
};

// "x.prog:2 arrêtée": each record by its source and outcome.
QStringList resume(const QList<EnregistrementEnvoi> &lus)
{
    QStringList vus;
    for (const EnregistrementEnvoi &lu : lus)
        vus << QStringLiteral("%1 %2").arg(lu.source, NomIssue(lu.issue)).trimmed();
    return vus;
}

// The station's signals, each with the run it names.
struct Ecoute {
    explicit Ecoute(PosteEnvoi &poste)
    {
        const auto ecouter = [this](const char *signal) {
            return [this, signal](const QString &execution) {
                vus << std::pair(signal, execution);
            };
        };
        QObject::connect(&poste, &PosteEnvoi::commence, [this](const DeroulementEnvoi &d) {
            vus << std::pair("commence", d.execution);
        });
        QObject::connect(&poste, &PosteEnvoi::etapeCommencee, ecouter("étape"));
        QObject::connect(&poste, &PosteEnvoi::ligneRemise, ecouter("ligne"));
        QObject::connect(&poste, &PosteEnvoi::etapeTerminee, ecouter("fin"));
        QObject::connect(&poste, &PosteEnvoi::attente, ecouter("attente"));
        QObject::connect(&poste, &PosteEnvoi::pause, ecouter("pause"));
        QObject::connect(&poste, &PosteEnvoi::refuse, ecouter("refusé"));
        QObject::connect(&poste, &PosteEnvoi::termine, [this](const DeroulementEnvoi &d) {
            vus << std::pair("termine", d.execution);
        });
    }
    // Each run's signals in order, the runs by their first signal, seven
    // lines as "ligne×7": "commence étape ligne×7 fin termine".
    QStringList deroulements() const
    {
        QStringList ordre;
        QMap<QString, QStringList> parRun;
        for (const auto &[signal, execution] : vus) {
            if (!ordre.contains(execution))
                ordre << execution;
            QStringList &suite = parRun[execution];
            const QString nom = QString::fromUtf8(signal);
            if (nom == u"ligne" && !suite.isEmpty() && suite.last().startsWith(u"ligne"))
                suite.last() = QStringLiteral("ligne×%1").arg(suite.last().mid(6).toInt() + 1);
            else
                suite << (nom == u"ligne" ? QStringLiteral("ligne×1") : nom);
        }
        QStringList traces;
        for (const QString &execution : ordre)
            traces << parRun[execution].join(u' ');
        return traces;
    }
    QList<std::pair<const char *, QString>> vus;
};

// What a grid as typed is examined for, and what the station answers.
struct CasExamen {
    QStringList saisies; // over the initial grid: "A.pas=1O0"
    QByteArray limites;  // the operator's; "douteux": a doubtful file
    DestinationGrille destination;
    bool grille;                            // a grid may go out
    QStringList lues;                       // the boxes asked about, by their message
    std::optional<RefusEnvoi::Genre> refus; // the refusal's kind
    QStringList refusees;                   // each value refused: "C vitesse", "A course"
    QStringList horsDuBanc = {};            // a file's: what TEST would refuse here
};

// A scenario of runs: what the front end asks, and when.
enum class Scenario {
    Test,
    Programme,
    PasAPas,
    TestPendantUnProgramme,   // TEST during the program's first wait
    ProgrammePendantUnTest,   // Lancer as TEST's first line goes
    DeuxTests,                // TEST again as the first one's first line goes
    LimitesChangeesEnAttente, // likewise, then limits that refuse the second
    SignalPendantUnTest,      // likewise, then a signal
    ArretDansUneAttente,
    DepuisLEtape3, // with A.course=3: from step 1, A would go to +6
};
struct CasDeroulement {
    Scenario scenario;
    std::optional<RefusEnvoi::Genre> refus; // the answer to the second request
    QStringList deroulements;               // each run's signals, in order
    QStringList journal;                    // each record's source and outcome
};

enum class Geste {
    Aucun,
    Occupe,
    Limite,
    Course,
    Douteux,
    Grille,
    ArretAttente,
    ArretEnvoi,
    ArretOuverture,
    Signal,
    Echec,
    Mille
};

} // namespace

Q_DECLARE_METATYPE(CasExamen)
Q_DECLARE_METATYPE(CasDeroulement)
Q_DECLARE_METATYPE(Geste)

class TestPosteEnvoi : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void examen_data();
    void examen();
    void deroulement_data();
    void deroulement();
    void consignation_data();
    void consignation();
    void etatPendantUnProgramme();
    void rebranchement();
};

void TestPosteEnvoi::examen_data()
{
    QTest::addColumn<CasExamen>("cas");
    using D = DestinationGrille;
    using G = RefusEnvoi::Genre;
    const QString a1 = QStringLiteral("Axe 01 (A), Pas : « 1O0 » partira comme « 00001 »");
    const QByteArray course("A.course=3\n");
    // clang-format off
    const std::pair<const char *, CasExamen> cas[] = {
        {"propre",                       {{}, {}, D::Envoi, true, {}, {}, {}}},
        {"1O0, TEST",                    {{"A.pas=1O0"}, {}, D::Envoi, true, {a1}, {}, {}}},
        // Ctrl+S asks as TEST does: the file holds what the question shows.
        {"1O0, fichier",                 {{"A.pas=1O0"}, {}, D::Fichier, true, {a1}, {}, {}}},
        {"1O0, lecture stricte, TEST",   {{"A.pas=1O0"}, "lecture=stricte\n", D::Envoi, false, {}, G::HorsLimites, {"A pas"}}},
        {"1O0, lecture stricte, fichier", {{"A.pas=1O0"}, "lecture=stricte\n", D::Fichier, true, {a1}, {}, {}}},
        // Every refusal in one: the travel beside a value the line refuses, and beside the limit its own steps pass.
        {"course et vitesse 300",        {{"A.pas=5", "C.vitesse=300"}, course, D::Envoi, false, {}, G::ValeurRefusee, {"C vitesse", "A course"}}},
        {"course et pas au-delà",        {{"A.pas=6000"}, "A.pas=5000\nA.course=3000\n", D::Envoi, false, {}, G::HorsLimites, {"A pas", "A course"}}},
        {"course seule",                 {{"A.pas=5"}, course, D::Envoi, false, {}, G::HorsLimites, {"A course"}}},
        // A row whose move the line refuses takes its axis nowhere that can be told.
        {"direction refusée, sa course non dite", {{"A.pas=5", "A.direction=\t"}, course, D::Envoi, false, {}, G::ValeurRefusee, {"A direction"}}},
        {"deux refus dans une rangée",   {{"B.direction=\t", "B.vitesse=300"}, {}, D::Envoi, false, {}, G::ValeurRefusee, {"B direction", "B vitesse"}}},
        // A step's travel is its program's, examined as it starts.
        {"course, étape",                {{"A.pas=5"}, course, D::Etape, true, {}, {}, {}}},
        {"pas au-delà, étape",           {{"A.pas=6"}, "A.pas=5\n", D::Etape, false, {}, G::HorsLimites, {"A pas"}}},
        {"pas au-delà, fichier",         {{"A.pas=6"}, "A.pas=5\nA.course=3\n", D::Fichier, true, {}, {}, {}, {"A pas", "A course"}}},
        {"vitesse 300 et pas au-delà, fichier", {{"A.pas=6", "C.vitesse=300"}, "A.pas=5\n", D::Fichier, false, {}, G::ValeurRefusee, {"C vitesse"}}},
        {"limites douteuses, TEST",      {{"A.pas=1O0"}, "douteux", D::Envoi, false, {}, G::LimitesDouteuses, {}}},
        {"limites douteuses, étape",     {{}, "douteux", D::Etape, true, {}, {}, {}}},
    };
    // clang-format on
    for (const auto &[nom, c] : cas)
        QTest::newRow(nom) << c;
}

// A grid as typed is examined once for the way it leaves: the grid, the
// boxes read otherwise than typed, and every refusal in one answer, the
// travel of the axes whose move is read included.
void TestPosteEnvoi::examen()
{
    QFETCH(CasExamen, cas);
    BancPoste banc;
    LimitesLues limites = limitesDe(cas.limites == "douteux" ? QByteArray() : cas.limites);
    if (cas.limites == "douteux")
        limites.echec = limitesDouteuses();
    banc.poste.setLimites(limites);
    const ExamenGrille examen = banc.poste.examiner(saisie(cas.saisies), cas.destination);
    const auto resumer = [](const std::optional<RefusEnvoi> &refus) {
        QStringList vus;
        for (const ValeurRefusee &valeur : refus ? refus->valeurs : QList<ValeurRefusee>())
            vus << QStringLiteral("%1 %2").arg(
                LettreAxe(valeur.axe),
                valeur.course ? QStringLiteral("course") : NomColonne(valeur.colonne).toLower());
        return vus;
    };
    QStringList lues;
    for (const CaseLue &lue : examen.lues)
        lues << Formuler(lue);
    QCOMPARE(examen.grille.has_value(), cas.grille);
    QCOMPARE(lues, cas.lues);
    QCOMPARE(examen.refus ? std::optional(examen.refus->genre) : std::nullopt, cas.refus);
    QCOMPARE(resumer(examen.refus), cas.refusees);
    QCOMPARE(resumer(examen.horsDuBanc), cas.horsDuBanc);
    QVERIFY(banc.journal.lus().isEmpty()); // examining journals nothing
}

void TestPosteEnvoi::deroulement_data()
{
    QTest::addColumn<CasDeroulement>("cas");
    using S = Scenario;
    using G = RefusEnvoi::Genre;
    const QString etape = QStringLiteral("étape ligne×7 fin");
    const QString test = QStringLiteral("commence %1 termine").arg(etape);
    const QString programme =
        QStringList{"commence", etape, "attente", etape, "attente", etape, "termine"}.join(u' ');
    const QStringList prog{"x.prog:1 envoyée", "x.prog:2 envoyée", "x.prog:3 envoyée"};
    // clang-format off
    const std::pair<const char *, CasDeroulement> cas[] = {
        {"TEST",                          {S::Test, {}, {test}, {"envoyée"}}},
        {"programme",                     {S::Programme, {}, {programme}, prog}},
        {"pas à pas",                     {S::PasAPas, {}, {QStringList{"commence", etape, "pause", etape, "pause", etape, "termine"}.join(u' ')}, prog}},
        // TEST never waits behind a program, to go when no one chose.
        {"TEST pendant un programme",     {S::TestPendantUnProgramme, G::ProgrammeEnCours, {programme}, prog}},
        {"programme pendant un TEST",     {S::ProgrammePendantUnTest, G::EnvoiEnCours, {test}, {"envoyée"}}},
        {"deux TEST, l'un après l'autre", {S::DeuxTests, {}, {test, test}, {"envoyée", "envoyée"}}},
        {"limites changées en attente",   {S::LimitesChangeesEnAttente, {}, {test, "refusé termine"}, {"envoyée", "hors limites"}}},
        {"signal pendant un TEST",        {S::SignalPendantUnTest, {}, {"commence étape ligne×1 fin termine"}, {"interrompue"}}},
        // A program's travel is examined from the step it starts from.
        {"depuis l'étape 3, dans sa course", {S::DepuisLEtape3, {}, {"commence " + etape + " termine"}, {"x.prog:3 envoyée"}}},
        {"arrêt dans une attente",        {S::ArretDansUneAttente, {}, {"commence " + etape + " attente termine"}, {"x.prog:1 envoyée", "x.prog:2 arrêtée"}}},
    };
    // clang-format on
    for (const auto &[nom, c] : cas)
        QTest::newRow(nom) << c;
}

// What the front ends hear of each run, in order, every signal naming its
// run, as its records do; TEST's queue against a program: a TEST waits for
// a TEST, never for a program, and a program for nothing.
void TestPosteEnvoi::deroulement()
{
    QFETCH(CasDeroulement, cas);
    using S = Scenario;
    BancPoste banc;
    Ecoute ecoute(banc.poste);
    PosteEnvoi &poste = banc.poste;
    const Programme programme = troisEtapes();
    std::optional<RefusEnvoi> second;
    // The second request, as the first run's first line goes.
    const bool pendantUnTest =
        cas.scenario == S::ProgrammePendantUnTest || cas.scenario == S::DeuxTests ||
        cas.scenario == S::LimitesChangeesEnAttente || cas.scenario == S::SignalPendantUnTest;
    QObject::connect(&poste, &PosteEnvoi::ligneRemise, [&, fait = false]() mutable {
        if (!pendantUnTest || std::exchange(fait, true))
            return;
        if (cas.scenario == S::ProgrammePendantUnTest) {
            second = poste.lancer(programme, QStringLiteral("x.prog"));
            return;
        }
        second = poste.envoyer(poste.examiner(saisie({QStringLiteral("A.pas=5")})));
        if (cas.scenario == S::LimitesChangeesEnAttente)
            poste.setLimites(limitesDe("A.pas=2\n"));
        if (cas.scenario == S::SignalPendantUnTest)
            poste.interrompre();
    });
    if (cas.scenario == S::DepuisLEtape3)
        poste.setLimites(limitesDe("A.course=3\n"));
    if (cas.scenario == S::Programme || cas.scenario == S::TestPendantUnProgramme ||
        cas.scenario == S::ArretDansUneAttente || cas.scenario == S::PasAPas ||
        cas.scenario == S::DepuisLEtape3)
        QVERIFY(!poste.lancer(
            programme, QStringLiteral("x.prog"), cas.scenario == S::DepuisLEtape3 ? 2 : 0,
            cas.scenario == S::PasAPas ? PosteEnvoi::Mode::PasAPas : PosteEnvoi::Mode::Continu));
    else
        QVERIFY(!poste.envoyer(poste.examiner(saisie())));
    if (cas.scenario == S::TestPendantUnProgramme)
        second = poste.envoyer(poste.examiner(saisie()));
    if (cas.scenario == S::ArretDansUneAttente)
        poste.arreter();
    for (int tour = 0; cas.scenario == S::PasAPas && poste.enPause() && tour < 5; ++tour)
        poste.continuer();
    banc.finir();
    QVERIFY(!poste.occupe());
    QCOMPARE(second ? std::optional(second->genre) : std::nullopt, cas.refus);
    QCOMPARE(ecoute.deroulements(), cas.deroulements);
    QCOMPARE(resume(banc.journal.lus()), cas.journal);
    // Each run's records carry the id its signals name, one run's only.
    QStringList executions;
    for (const auto &[signal, execution] : ecoute.vus)
        if (!executions.contains(execution))
            executions << execution;
    QCOMPARE(executions.size(), cas.deroulements.size());
    for (const EnregistrementEnvoi &lu : banc.journal.lus())
        QVERIFY2(executions.contains(lu.execution), qPrintable(lu.execution));
}

void TestPosteEnvoi::consignation_data()
{
    QTest::addColumn<bool>("programme"); // three steps from x.prog; else a TEST
    QTest::addColumn<Geste>("geste");
    QTest::addColumn<QStringList>("journal");
    QTest::addColumn<QString>("raison"); // in the last record
    QTest::addColumn<int>("fin");        // ResultatProgramme::Fin; -1: refused, never started
    using F = ResultatProgramme::Fin;
    using G = Geste;
    const QString reste =
        QStringLiteral("l'étape 2 (levée) et les suivantes n'ont pas été envoyées");
    // clang-format off
    QTest::newRow("TEST")              << false << G::Aucun << QStringList{"envoyée"} << "" << int(F::Terminee);
    QTest::newRow("TEST, ouverture refusée") << false << G::Occupe << QStringList{"port refusé"} << "occupé" << int(F::Echec);
    QTest::newRow("TEST hors limites") << false << G::Limite << QStringList{"hors limites"} << "Axe 01" << -1;
    QTest::newRow("TEST au-delà de la course") << false << G::Course << QStringList{"hors limites"} << "cet envoi l'amène à +3 pas" << -1;
    QTest::newRow("limites douteuses") << false << G::Douteux << QStringList{"hors limites"} << "Aucune valeur n'a été comparée aux limites :" << -1;
    // Every value of the grid refused at once; those beyond the limits journaled once.
    QTest::newRow("grille : deux au-delà, une fautive") << false << G::Grille << QStringList{"hors limites"} << "Ces 2 valeurs ne peuvent pas partir : – Axe 01 (A), Pas" << -1;
    QTest::newRow("programme")         << true << G::Aucun << QStringList{"x.prog:1 envoyée", "x.prog:2 envoyée", "x.prog:3 envoyée"} << "" << int(F::Terminee);
    QTest::newRow("arrêt pendant une attente") << true << G::ArretAttente << QStringList{"x.prog:1 envoyée", "x.prog:2 arrêtée"} << reste << int(F::Arretee);
    QTest::newRow("arrêt pendant un envoi")    << true << G::ArretEnvoi << QStringList{"x.prog:1 envoyée", "x.prog:2 arrêtée"} << reste << int(F::Arretee);
    // Stop while the opening waits to send its lone line feed: stopped, not interrupted.
    QTest::newRow("arrêt sur le saut de ligne seul") << true << G::ArretOuverture << QStringList{"x.prog:1 arrêtée"} << "saut de ligne seul" << int(F::Arretee);
    QTest::newRow("signal pendant une attente") << true << G::Signal << QStringList{"x.prog:1 envoyée", "x.prog:2 interrompue"} << reste << int(F::Interrompue);
    QTest::newRow("échec à l'étape 2") << true << G::Echec << QStringList{"x.prog:1 envoyée", "x.prog:2 échec"} << reste << int(F::Echec);
    QTest::newRow("programme hors limites") << true << G::Limite << QStringList{"x.prog hors limites"} << "Étape 3 (pose)" << -1;
    // A thousand steps refused: the record names the first ones and counts the rest.
    QTest::newRow("mille étapes hors limites") << true << G::Mille << QStringList{"x.prog hors limites"} << "autres valeurs refusées" << -1;
    // clang-format on
}

// Every run ends in the journal, with an outcome of its own, the steps that
// went and those that did not; its records share one id.
void TestPosteEnvoi::consignation()
{
    QFETCH(bool, programme);
    QFETCH(Geste, geste);
    QFETCH(QStringList, journal);
    QFETCH(QString, raison);
    QFETCH(int, fin);
    using G = Geste;
    BancPoste banc;
    PosteEnvoi &poste = banc.poste;
    if (geste == G::Limite || geste == G::Course || geste == G::Grille || geste == G::Mille)
        poste.setLimites(limitesDe(geste == G::Course   ? "A.course=2\n"
                                   : geste == G::Grille ? "A.pas=2\nB.vitesse=2\n"
                                                        : "A.pas=2\n"));
    if (geste == G::Douteux)
        poste.setLimites({{}, {}, {}, {}, limitesDouteuses()});
    if (geste == G::Occupe)
        banc.pilote.refusOuverture =
            Refus(EchecLien::Genre::PortOccupe, {RaisonPort::Genre::OccupeAutreProgramme});
    if (geste == G::Echec)
        banc.pilote.echouerA = 8; // step 2's second line
    if (geste == G::ArretOuverture)
        banc.pilote.coupee = true;
    if (geste == G::ArretOuverture || geste == G::ArretEnvoi)
        banc.pilote.avantEcriture = [&poste, a = geste == G::ArretEnvoi ? 9 : 0](int ecriture) {
            if (ecriture == a) // the lone line feed, or step 2's third line
                poste.arreter();
        };
    Programme lance = troisEtapes();
    if (geste == G::Mille)
        lance.etapes = QList<EtapeProgramme>(EtapesMax, lance.etapes[2]);
    // Step 3 alone as TEST, or every box of the grid as typed.
    const TextesGrille textes =
        geste == G::Grille ? saisie({"A.pas=00005", "B.vitesse=003", "C.vitesse=300", "D.pas=1O0"})
                           : saisie({"A.pas=3"});
    const auto refus = programme ? poste.lancer(lance, QStringLiteral("x.prog"))
                                 : poste.envoyer(poste.examiner(textes));
    QCOMPARE(refus.has_value(), fin < 0);
    if (geste == G::Grille)
        QCOMPARE(refus->valeurs.size(), 3);
    if (geste == G::ArretAttente || geste == G::Signal) {
        QCOMPARE(banc.horloge.attentes.size(), 1);
        geste == G::Signal ? poste.interrompre() : poste.arreter();
    }
    banc.finir();
    QCOMPARE(banc.termine.size(), fin < 0 ? 0 : 1);
    if (fin >= 0)
        QCOMPARE(int(banc.termine[0][0].value<DeroulementEnvoi>().resultat.fin), fin);
    const QList<EnregistrementEnvoi> consignes = banc.journal.lus();
    QCOMPARE(resume(consignes), journal);
    const QString derniere = consignes.last().raison;
    QVERIFY2(derniere.contains(raison) && !derniere.contains(QStringLiteral("300")),
             qPrintable(derniere)); // 300 is no limit's: not journalled
    for (const EnregistrementEnvoi &consigne : consignes) {
        QVERIFY(!consigne.execution.isEmpty() && consigne.execution == consignes[0].execution);
        QVERIFY(FormerEnregistrement(consigne).size() < 8192); // a bounded record
    }
    if (fin < 0)
        QVERIFY(banc.pilote.actes.isEmpty()); // refused: the port was never opened
}

// While a program holds the port, the status line says so, step and
// cycle; once it ends, the port's own state again.
void TestPosteEnvoi::etatPendantUnProgramme()
{
    BancPoste banc;
    QList<EtatPoste> vus;
    connect(&banc.poste, &PosteEnvoi::etatChange, this, [&](const EtatPoste &e) { vus << e; });
    Programme programme = troisEtapes();
    programme.repetitions = 2;
    QVERIFY(!banc.poste.lancer(programme, QStringLiteral("x.prog"), 1));
    const EtatPoste pendant = banc.poste.etat();
    QCOMPARE(pendant.usage, EtatPoste::Usage::Programme);
    QCOMPARE(pendant.source, QStringLiteral("x.prog"));
    QCOMPARE(std::tuple(pendant.etape, pendant.etapes, pendant.cycle, pendant.cycles),
             std::tuple(1, 3, 0, 2));      // from 0, as steps
    QVERIFY(pendant.finAttente.isValid()); // its wait after step 2
    banc.finir();
    QCOMPARE(banc.termine.size(), 1);
    QCOMPARE(banc.poste.etat().usage, EtatPoste::Usage::Aucun);
    QVERIFY(std::any_of(vus.begin(), vus.end(), [](const EtatPoste &e) {
        return e.usage == EtatPoste::Usage::Programme && e.etape == 2 && e.cycle == 1;
    }));
}

// A device that came back is journaled, with where the port leads now, and
// said until the next run starts.
void TestPosteEnvoi::rebranchement()
{
    BancPoste banc;
    SurveillanceEssai surveillance;
    banc.poste.brancherSurveillance(&surveillance);
    const QDateTime quand = QDateTime::currentDateTime();
    surveillance.annoncer({EtatPort::Etat::Pret, QStringLiteral("/dev/ttyUSB1"), 0, {}}, quand);
    QCOMPARE(banc.poste.etat().rebrancheA, quand);
    QCOMPARE(banc.poste.etat().port.peripherique, QStringLiteral("/dev/ttyUSB1"));
    QVERIFY(!banc.poste.envoyer(banc.poste.examiner(saisie())));
    QVERIFY(!banc.poste.etat().rebrancheA.isValid());
    const QList<EnregistrementEnvoi> lus = banc.journal.lus();
    QCOMPARE(resume(lus), QStringList({"rebranché", "envoyée"}));
    QCOMPARE(lus[0].peripherique, QStringLiteral("/dev/ttyUSB1"));
    QVERIFY(!lus[0].execution.isEmpty());
}

QTEST_GUILESS_MAIN(TestPosteEnvoi)
#include "tst_poste_envoi.moc"
