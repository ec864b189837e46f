// The send station, on the test's driver and clock: what each kind of run
// leaves in the journal (a TEST, a program, a Stop in a wait or in a send,
// a signal, a failure, a refused opening, a refusal by the limits), and
// what the status line is told while a program holds the port.
#include "app/poste_envoi.h"
#include "execution_essai.h"
#include "journal_essai.h"

using namespace tarvik::app;

namespace {

// A station on the test's driver and clock, its sends where they are asked.
struct BancPoste {
    BancPoste() { poste.setPort(PortImpose(QStringLiteral("/dev/ttyESSAI"))); }
    JournalEssai journal;
    EtatPilote etat;
    Substituable<std::function<std::unique_ptr<PiloteLigne>()>>::Remplacement pilote{
        NouveauPilote.remplacer([this] { return std::make_unique<PiloteEssai>(etat); })};
    Substituable<bool>::Remplacement ici{EnvoisEnFond.remplacer(false)};
    HorlogeEssai horloge;
    PosteEnvoi poste{QStringLiteral("tarvik"), &horloge};
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

} // namespace

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
    QTest::addColumn<QString>("geste");
    QTest::addColumn<QStringList>("journal");
    QTest::addColumn<QString>("raison"); // in the last record
    QTest::addColumn<int>("fin");        // ResultatProgramme::Fin; -1: refused, never started
    using F = ResultatProgramme::Fin;
    const QString reste =
        QStringLiteral("l'étape 2 (levée) et les suivantes n'ont pas été envoyées");
    // clang-format off
    QTest::newRow("TEST")              << false << "" << QStringList{"envoyée"} << "" << int(F::Terminee);
    QTest::newRow("TEST, ouverture refusée") << false << "occupé" << QStringList{"port refusé"} << "occupé" << int(F::Echec);
    QTest::newRow("TEST hors limites") << false << "limite" << QStringList{"hors limites"} << "Axe 01" << -1;
    QTest::newRow("TEST au-delà de la course") << false << "course" << QStringList{"hors limites"} << "cet envoi l'amène à +3 pas" << -1;
    QTest::newRow("limites douteuses") << false << "douteux" << QStringList{"hors limites"} << "Aucune valeur n'a été comparée aux limites :" << -1;
    // Every value of the grid refused at once; those beyond the limits journaled once.
    QTest::newRow("grille : deux au-delà, une fautive") << false << "grille" << QStringList{"hors limites"} << "Ces 2 valeurs ne peuvent pas partir : – Axe 01 (A), Pas" << -1;
    QTest::newRow("programme")         << true << "" << QStringList{"x.prog:1 envoyée", "x.prog:2 envoyée", "x.prog:3 envoyée"} << "" << int(F::Terminee);
    QTest::newRow("arrêt pendant une attente") << true << "arrêt attente" << QStringList{"x.prog:1 envoyée", "x.prog:2 arrêtée"} << reste << int(F::Arretee);
    QTest::newRow("arrêt pendant un envoi")    << true << "arrêt envoi" << QStringList{"x.prog:1 envoyée", "x.prog:2 arrêtée"} << reste << int(F::Arretee);
    // Stop while the opening waits to send its lone line feed: stopped, not interrupted.
    QTest::newRow("arrêt sur le saut de ligne seul") << true << "arrêt ouverture" << QStringList{"x.prog:1 arrêtée"} << "saut de ligne seul" << int(F::Arretee);
    QTest::newRow("signal pendant une attente") << true << "signal" << QStringList{"x.prog:1 envoyée", "x.prog:2 interrompue"} << reste << int(F::Interrompue);
    QTest::newRow("échec à l'étape 2") << true << "échec" << QStringList{"x.prog:1 envoyée", "x.prog:2 échec"} << reste << int(F::Echec);
    QTest::newRow("programme hors limites") << true << "limite" << QStringList{"x.prog hors limites"} << "Étape 3 (pose)" << -1;
    // A thousand steps refused: the record names the first ones and counts the rest.
    QTest::newRow("mille étapes hors limites") << true << "mille" << QStringList{"x.prog hors limites"} << "autres valeurs refusées" << -1;
    // clang-format on
}

// Every run ends in the journal, with an outcome of its own, the steps that
// went and those that did not; its records share one id.
void TestPosteEnvoi::consignation()
{
    QFETCH(bool, programme);
    QFETCH(QString, geste);
    QFETCH(QStringList, journal);
    QFETCH(QString, raison);
    QFETCH(int, fin);
    BancPoste banc;
    auto &[lus, etat, pilote, ici, horloge, poste, termine] = banc;
    const bool textes = geste == QStringLiteral("grille");
    const bool mille = geste == QStringLiteral("mille");
    if (geste == QStringLiteral("limite") || geste == QStringLiteral("course") || textes || mille)
        poste.setLimites([&] {
            LimitesLues lues;
            lues.effectives = AnalyserLimites(geste == QStringLiteral("course") ? "A.course=2\n"
                                              : textes ? "A.pas=2\nB.vitesse=2\n"
                                                       : "A.pas=2\n",
                                              NiveauLimite::Operateur)
                                  .limites;
            return lues;
        }());
    TextesGrille saisie;
    saisie.fill({QStringLiteral("00000"), QStringLiteral("+"), QStringLiteral("002")});
    saisie[0].pas = QStringLiteral("00005");
    saisie[1].vitesse = QStringLiteral("003");
    saisie[2].vitesse = QStringLiteral("300"); // never within the line's range
    saisie[3].pas = QStringLiteral("1O0");     // read as 00001: not refused
    if (geste == QStringLiteral("douteux"))
        poste.setLimites(
            {{},
             {},
             {},
             {},
             LimitesDouteuses{{{QStringLiteral("limites.conf"),
                                EchecLecture{.genre = EchecLecture::Genre::PasOrdinaire}}}}});
    if (geste == QStringLiteral("occupé"))
        etat.refusOuverture =
            Refus(EchecLien::Genre::PortOccupe, QStringLiteral("occupé par minicom"));
    if (geste == QStringLiteral("échec"))
        etat.echouerA = 8; // step 2's second line
    if (geste == QStringLiteral("arrêt ouverture")) {
        etat.coupee = true;
        etat.avantEcriture = [&station = poste](int ecriture) {
            if (ecriture == 0) // the lone line feed
                station.arreter();
        };
    }
    if (geste == QStringLiteral("arrêt envoi"))
        etat.avantEcriture = [&station = poste](int ecriture) {
            if (ecriture == 9) // step 2's third line
                station.arreter();
        };
    Programme lance = troisEtapes();
    if (mille)
        lance.etapes = QList<EtapeProgramme>(EtapesMax, lance.etapes[2]);
    const auto refus = programme ? poste.lancer(lance, QStringLiteral("x.prog"))
                       : textes  ? poste.tester(saisie)
                                 : poste.envoyer(grille(3));
    QCOMPARE(refus.has_value(), fin < 0);
    if (textes)
        QCOMPARE(refus->valeurs.size(), 3);
    if (geste == QStringLiteral("arrêt attente") || geste == QStringLiteral("signal")) {
        QCOMPARE(horloge.attentes.size(), 1);
        geste == QStringLiteral("signal") ? poste.interrompre() : poste.arreter();
    }
    for (int tour = 0; poste.occupe() && tour < 5; ++tour)
        horloge.sonner();
    QCOMPARE(termine.size(), fin < 0 ? 0 : 1);
    if (fin >= 0)
        QCOMPARE(int(termine[0][0].value<DeroulementEnvoi>().resultat.fin), fin);
    const QList<EnregistrementEnvoi> consignes = lus.lus();
    QCOMPARE(resume(consignes), journal);
    const QString derniere = consignes.last().raison;
    QVERIFY2(derniere.contains(raison) && !derniere.contains(QStringLiteral("300")),
             qPrintable(derniere)); // 300 is no limit's: not journalled
    for (const EnregistrementEnvoi &consigne : consignes) {
        QVERIFY(!consigne.execution.isEmpty() && consigne.execution == consignes[0].execution);
        QVERIFY(FormerEnregistrement(consigne).size() < 8192); // a bounded record
    }
    if (fin < 0)
        QVERIFY(etat.actes.isEmpty()); // refused: the port was never opened
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
             std::tuple(1, 3, 0, 2)); // from 0, as steps
    while (banc.horloge.sonner())
        ;
    QCOMPARE(banc.termine.size(), 1);
    QCOMPARE(banc.poste.etat().usage, EtatPoste::Usage::Aucun);
    QVERIFY(std::any_of(vus.begin(), vus.end(), [](const EtatPoste &e) {
        return e.usage == EtatPoste::Usage::Programme && e.etape == 2 && e.cycle == 1;
    }));
}

QTEST_GUILESS_MAIN(TestPosteEnvoi)
#include "tst_poste_envoi.moc"
