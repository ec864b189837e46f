// The send station, on the test's driver and clock, heard by its journal:
// what each kind of run leaves in the journal (a TEST, a program, a Stop in
// a wait or in a send, a signal, a failure, a refused opening, a refusal by
// the limits), and what the status line is told while a program holds the
// port.
#include "app/consignation.h"
#include "app/poste_envoi.h"
#include "execution_essai.h"
#include "journal_essai.h"

using namespace tarvik::app;

namespace {

// The limits an operator's file holding `contenu` sets.
LimitesLues limitesDe(const QByteArray &contenu)
{
    LimitesLues lues;
    lues.effectives = AnalyserLimites(contenu, NiveauLimite::Operateur).limites;
    return lues;
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

Q_DECLARE_METATYPE(Geste)

class TestPosteEnvoi : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void consignation_data();
    void consignation();
    void etatPendantUnProgramme();
};

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
        poste.setLimites({{}, {}, {}, {}, Echec{QStringLiteral("limites.conf est douteux")}});
    if (geste == G::Occupe)
        banc.pilote.refusOuverture =
            Refus(EchecLien::Genre::PortOccupe, QStringLiteral("occupé par minicom"));
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

QTEST_GUILESS_MAIN(TestPosteEnvoi)
#include "tst_poste_envoi.moc"
