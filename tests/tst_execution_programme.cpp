// A program's run with a clock and a driver of the test's own, no real
// wait: the steps in order, the waits asked, repetition, a start further
// on, step by step, a failure, and Stop during a wait and a stalled send.
#include "app/formulation.h"
#include "execution_essai.h"

using namespace tarvik::app;

namespace {

// A run on the test's driver and clock, its sends where they are asked
// unless `enFond`.
struct Banc {
    explicit Banc(bool enFond = false)
        : ici(EnvoisEnFond.remplacer(enFond))
    {
        lien.setPeripherique(QStringLiteral("/dev/ttyESSAI"));
    }
    EtatPilote etat;
    Substituable<std::function<std::unique_ptr<PiloteLigne>()>>::Remplacement pilote{
        NouveauPilote.remplacer([this] { return std::make_unique<PiloteEssai>(etat); })};
    Substituable<bool>::Remplacement ici;
    LienSerie lien;
    HorlogeEssai horloge;
    ExecutionProgramme execution{lien, &horloge};
    QSignalSpy termine{&execution, &ExecutionProgramme::termine};
};

} // namespace

class TestExecutionProgramme : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deroulement_data();
    void deroulement();
    void arretPendantUneAttente();
    void arretPendantUnEnvoiBloque();
};

void TestExecutionProgramme::deroulement_data()
{
    QTest::addColumn<int>("depuis");
    QTest::addColumn<int>("repetitions");
    QTest::addColumn<bool>("pasAPas");
    QTest::addColumn<int>("echouerA");   // the failing write; -1: none
    QTest::addColumn<int>("arretA");     // the step, from 1, whose drain a Stop follows; 0: none
    QTest::addColumn<QString>("etapes"); // those handed to the driver, whole or not
    QTest::addColumn<QList<qint64>>("attentes");
    QTest::addColumn<int>("fin"); // ResultatProgramme::Fin
    // What the operator reads of it: the steps sent, and the first one not
    // sent, "étape 2, cycle 1" (empty when none was left).
    QTest::addColumn<QString>("envoyees");
    QTest::addColumn<QString>("suivante");
    const int terminee = int(ResultatProgramme::Fin::Terminee),
              echec = int(ResultatProgramme::Fin::Echec),
              arretee = int(ResultatProgramme::Fin::Arretee);
    // clang-format off
    QTest::newRow("en ordre")         << 0 << 1 << false << -1 << 0 << "123" << QList<qint64>{1000, 2500} << terminee
                                      << "étapes 1 à 3 envoyées" << "";
    QTest::newRow("répété")           << 0 << 2 << false << -1 << 0 << "123123" << QList<qint64>{1000, 2500, 0, 1000, 2500} << terminee
                                      << "étapes 1 à 3 envoyées au parcours 2 sur 2" << "";
    QTest::newRow("depuis l'étape 2") << 1 << 2 << false << -1 << 0 << "23123" << QList<qint64>{2500, 0, 1000, 2500} << terminee
                                      << "étapes 1 à 3 envoyées au parcours 2 sur 2" << "";
    QTest::newRow("pas à pas")        << 0 << 1 << true << -1 << 0 << "123" << QList<qint64>{} << terminee
                                      << "étapes 1 à 3 envoyées" << "";
    // The eighth write is step 2's first line: nothing of step 2 or 3 goes.
    QTest::newRow("échec à l'étape 2") << 0 << 1 << false << 7 << 0 << "1" << QList<qint64>{1000} << echec
                                       << "étape 1 envoyée" << "étape 2, cycle 1";
    // Stop once step 2 has drained, before the step is over: nothing more, no wait.
    QTest::newRow("arrêt après le vidage") << 0 << 1 << false << -1 << 2 << "12" << QList<qint64>{1000} << arretee
                                           << "étapes 1 et 2 envoyées" << "étape 3, cycle 1";
    // The 29th write is step 2's first line in the second cycle.
    QTest::newRow("échec au cycle 2") << 0 << 3 << false << 28 << 0 << "1231" << QList<qint64>{1000, 2500, 0, 1000} << echec
                                      << "étape 1 envoyée au parcours 2 sur 3" << "étape 2, cycle 2";
    QTest::newRow("arrêt au cycle 2, depuis l'étape 3") << 2 << 2 << false << -1 << 2 << "31" << QList<qint64>{0} << arretee
                                                        << "étape 1 envoyée au parcours 2 sur 2" << "étape 2, cycle 2";
    // clang-format on
}

// The steps go in order, each whole, the port held from the first to the
// end; each wait is the program's; after a failure or a Stop nothing more
// is sent.
void TestExecutionProgramme::deroulement()
{
    QFETCH(int, depuis);
    QFETCH(int, repetitions);
    QFETCH(bool, pasAPas);
    QFETCH(int, echouerA);
    QFETCH(int, arretA);
    QFETCH(QString, etapes);
    QFETCH(QList<qint64>, attentes);
    QFETCH(int, fin);
    QFETCH(QString, envoyees);
    QFETCH(QString, suivante);
    Banc banc;
    auto &[etat, pilote, ici, lien, horloge, execution, termine] = banc;
    etat.echouerA = echouerA;
    etat.apresVider = [&, vidages = 0]() mutable {
        if (++vidages == arretA)
            banc.execution.arreter(); // the member: clang 14 captures no structured binding
    };
    QSignalSpy pauses(&execution, &ExecutionProgramme::pause);
    execution.demarrer(troisEtapes(), depuis, repetitions,
                       pasAPas ? ExecutionProgramme::Mode::PasAPas
                               : ExecutionProgramme::Mode::Continu);
    for (int tour = 0; execution.enCours() && tour < 20; ++tour)
        execution.enPause() ? execution.continuer() : void(horloge.sonner());
    QCOMPARE(termine.size(), 1);
    const auto resultat = termine[0][0].value<ResultatProgramme>();
    QCOMPARE(int(resultat.fin), fin);
    QCOMPARE(etapesEcrites(etat.actes), etapes);
    QCOMPARE(horloge.attentes, attentes);
    QCOMPARE(pauses.size(), pasAPas ? 2 : 0);
    QCOMPARE(etat.actes.count(QStringLiteral("ouvrir")), 1);
    QCOMPARE(etat.actes.last(), QStringLiteral("fermer"));
    QCOMPARE(resultat.etapes.size(), etapes.size() + (echouerA >= 0 ? 1 : 0)); // the failed one too
    QCOMPARE(resultat.etapes.last().envoi.echec.has_value(), echouerA >= 0);
    QCOMPARE(EtapesEnvoyees(resultat, repetitions), envoyees);
    const auto premiere = PremiereNonEnvoyee(resultat, troisEtapes(), depuis, repetitions);
    QCOMPARE(premiere ? QStringLiteral("étape %1, cycle %2")
                            .arg(premiere->first + 1)
                            .arg(premiere->second + 1)
                      : QString(),
             suivante);
}

// Stop during a wait ends the program at once: the next step never goes,
// the port is given back.
void TestExecutionProgramme::arretPendantUneAttente()
{
    Banc banc;
    auto &[etat, pilote, ici, lien, horloge, execution, termine] = banc;
    execution.demarrer(troisEtapes());
    QCOMPARE(horloge.attentes, QList<qint64>{1000});
    execution.arreter();
    QCOMPARE(termine.size(), 1);
    QCOMPARE(termine[0][0].value<ResultatProgramme>().fin, ResultatProgramme::Fin::Arretee);
    QVERIFY(!horloge.sonner()); // the wait was called off
    QCOMPARE(etapesEcrites(etat.actes), QStringLiteral("1"));
    QCOMPARE(etat.actes.last(), QStringLiteral("fermer"));
    QVERIFY(!execution.enCours());
}

// Stop while a send is stalled on its own thread: the send gives up, what
// waited is thrown away, and the program ends with the port given back.
void TestExecutionProgramme::arretPendantUnEnvoiBloque()
{
    Banc banc(true);
    auto &[etat, pilote, ici, lien, horloge, execution, termine] = banc;
    etat.bloquer = true;
    execution.demarrer(troisEtapes());
    QTRY_VERIFY(etat.bloque);
    execution.arreter();
    QTRY_COMPARE_WITH_TIMEOUT(termine.size(), 1, 2000);
    const auto resultat = termine[0][0].value<ResultatProgramme>();
    QCOMPARE(resultat.fin, ResultatProgramme::Fin::Arretee);
    QCOMPARE(resultat.etapes.size(), 1);
    QVERIFY(!lien.estOuvert());
    QVERIFY(etat.actes.contains(QStringLiteral("jeter")));
    QCOMPARE(etat.actes.last(), QStringLiteral("fermer"));
}

QTEST_GUILESS_MAIN(TestExecutionProgramme)
#include "tst_execution_programme.moc"
