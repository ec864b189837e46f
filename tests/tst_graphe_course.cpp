// The chart of where a run takes the axes: what a screen reader hears of
// it, one line per axis, however long the run.
#include "course_essai.h"
#include "window/graphe_course.h"

#include <QApplication>
#include <QTest>

class TestGrapheCourse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resume_data();
    void resume();
};

void TestGrapheCourse::resume_data()
{
    QTest::addColumn<QString>("etapes"); // as programme() reads them; empty: none shown
    QTest::addColumn<int>("cycles");
    QTest::addColumn<QByteArray>("limites");
    QTest::addColumn<QStringList>("lignes"); // axes A and B; the others do not move
    const QString pince = QStringLiteral("Pince (A) : ne bouge pas.");
    // clang-format off
    QTest::newRow("sort de sa course") << "va: B+30|vient: B-10" << 10 << QByteArray("B.course=100")
        << QStringList{pince, "Axe 02 (B) : de 0 à +210 pas, +200 à la fin, +20 à chaque parcours ; sort de sa course de ±100 à l'étape 1 (va) du parcours 5, à +110."};
    QTest::newRow("reste dedans")      << "A-5|B+50|A+5 B-50" << 2 << QByteArray("A.course=5\nB.course=50")
        << QStringList{"Pince (A) : de -5 à 0 pas, 0 à la fin ; reste dans sa course de ±5.", "Axe 02 (B) : de 0 à +50 pas, 0 à la fin ; reste dans sa course de ±50."};
    QTest::newRow("inconnue")          << "B+10|Bx0" << 1 << QByteArray()
        << QStringList{pince, "Axe 02 (B) : position inconnue dès l'étape 2 du parcours 1 ; jusque-là, de 0 à +10 pas."};
    QTest::newRow("inconnue, limitée") << "B_0" << 1 << QByteArray("B.course=5")
        << QStringList{pince, "Axe 02 (B) : position inconnue dès cet envoi ; jusque-là, de 0 à 0 pas ; course de ±5 : ne peut pas être vérifiée."};
    QTest::newRow("dix millions d'étapes") << QStringList(500, QStringLiteral("B+3|B-2")).join(u'|') << 10000 << QByteArray("B.course=4000000")
        << QStringList{pince, "Axe 02 (B) : de 0 à +5000002 pas, +5000000 à la fin, +500 à chaque parcours ; sort de sa course de ±4000000 à l'étape 997 du parcours 8000, à +4000001."};
    QTest::newRow("rien")              << "" << 1 << QByteArray() << QStringList{"Aucun programme à tracer."};
    // clang-format on
}

// One line per axis, from the same figures as the chart, for a screen
// reader.
void TestGrapheCourse::resume()
{
    QFETCH(QString, etapes);
    QFETCH(int, cycles);
    QFETCH(QByteArray, limites);
    QFETCH(QStringList, lignes);
    GrapheCourse graphe;
    graphe.resize(640, 320);
    if (!etapes.isEmpty()) {
        NomsAxes noms;
        noms[0] = QStringLiteral("Pince");
        graphe.montrer(programme(etapes), 0, cycles,
                       AnalyserLimites(limites, NiveauLimite::Machine).limites, noms);
    }
    QStringList attendues = lignes;
    for (int numero = 3; numero <= NombreAxes && lignes.size() > 1; ++numero)
        attendues
            << QStringLiteral("Axe 0%1 (%2) : ne bouge pas.").arg(numero).arg(LettreAxe(numero));
    QCOMPARE(espaces(graphe.accessibleDescription()).split(u'\n'), attendues);
    QCOMPARE(graphe.accessibleName(), QStringLiteral("Course des axes"));
}

QTEST_MAIN(TestGrapheCourse)
#include "tst_graphe_course.moc"
