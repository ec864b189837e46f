// The chart of where a run takes the axes: what a screen reader hears of
// it, one line per axis, however long the run.
#include "course_essai.h"
#include "window/graphe_course.h"

#include <QApplication>
#include <QImage>
#include <QTest>

using namespace tarvik::window;

namespace {

// Whether `pas` is 1, 2 or 5 times a power of ten.
bool pasRond(qint64 pas)
{
    while (pas >= 10 && pas % 10 == 0)
        pas /= 10;
    return pas == 1 || pas == 2 || pas == 5;
}

// The middle of `graphe` drawn, each pixel inked or left blank, whatever
// its colour: what is left of a line in grey, or on paper.
QImage encreDe(GrapheCourse &graphe)
{
    const QImage image = graphe.grab().toImage();
    const QRect milieu(image.width() / 4, image.height() / 4, image.width() / 2,
                       image.height() / 2);
    QImage encre(milieu.size(), QImage::Format_Mono);
    for (int y = 0; y < milieu.height(); ++y)
        for (int x = 0; x < milieu.width(); ++x)
            encre.setPixel(x, y, qGray(image.pixel(milieu.topLeft() + QPoint(x, y))) < 245);
    return encre;
}

} // namespace

class TestGrapheCourse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resume_data();
    void resume();
    void graduations_data();
    void graduations();
    void sansCouleur();
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

void TestGrapheCourse::graduations_data()
{
    QTest::addColumn<QString>("etapes");
    QTest::addColumn<int>("cycles");
    QTest::addColumn<QByteArray>("limites");
    QTest::addColumn<QSize>("taille");
    // clang-format off
    QTest::newRow("sort de sa course")  << "va: B+30|vient: B-10" << 10 << QByteArray("B.course=100") << QSize(640, 320);
    QTest::newRow("bornes de travers")  << "A+118|A-186" << 1 << QByteArray() << QSize(640, 320);
    QTest::newRow("petit")              << "A+118|A-186 C+7" << 3 << QByteArray("C.course=5") << QSize(220, 150);
    QTest::newRow("une étape")          << "D+1" << 1 << QByteArray() << QSize(640, 320);
    QTest::newRow("dix millions d'étapes") << QStringList(500, QStringLiteral("B+3|B-2")).join(u'|') << 10000 << QByteArray("B.course=4000000") << QSize(640, 320);
    // clang-format on
}

// The positions go between round bounds that hold every axis's, by a
// round step, 0 among them; the steps sent are numbered below by a round
// step, up to the last or near it.
void TestGrapheCourse::graduations()
{
    QFETCH(QString, etapes);
    QFETCH(int, cycles);
    QFETCH(QByteArray, limites);
    QFETCH(QSize, taille);
    GrapheCourse graphe;
    graphe.resize(taille);
    graphe.montrer(programme(etapes), 0, cycles,
                   AnalyserLimites(limites, NiveauLimite::Machine).limites);
    const Course &course = *graphe.course();
    const Graduation g = graphe.positions();
    QVERIFY2(pasRond(g.pas) && g.bas % g.pas == 0 && g.haut % g.pas == 0,
             qPrintable(QStringLiteral("%1 à %2 par %3").arg(g.bas).arg(g.haut).arg(g.pas)));
    QVERIFY(g.valeurs().contains(0) && g.valeurs().size() >= 3);
    for (int numero = 1; numero <= NombreAxes; ++numero)
        QVERIFY(g.bas <= course.axe(numero).plusBas && course.axe(numero).plusHaut <= g.haut);
    const QList<qint64> numeros = graphe.numerosDEtapes();
    QVERIFY(!numeros.isEmpty());
    const qint64 pas = numeros.first(), points = course.points();
    QVERIFY2(pasRond(pas), qPrintable(QString::number(pas)));
    for (qsizetype k = 1; k < numeros.size(); ++k)
        QVERIFY(numeros[k] > numeros[k - 1] &&
                (numeros[k] % pas == 0 || (k + 1 == numeros.size() && numeros[k] == points)));
    QVERIFY(numeros.last() <= points && numeros.last() + pas > points);
}

// Each axis's line is its own without its colour: the same moves drawn
// for each axis alone leave seven different inks in grey.
void TestGrapheCourse::sansCouleur()
{
    QList<QImage> encres;
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        const QString axe(LettreAxe(numero));
        GrapheCourse graphe;
        graphe.resize(640, 320);
        graphe.montrer(programme(QStringLiteral("%1+100|%1-50|%1+80|%1-130|%1+40").arg(axe)), 0, 4,
                       {});
        const QImage encre = encreDe(graphe);
        // A twentieth of its ink (grid included) elsewhere at least: a
        // colour's shading alone moves some edge pixels (2 %), another line
        // more than 10 %.
        for (qsizetype autre = 0; autre < encres.size(); ++autre) {
            int differents = 0, encrees = 0;
            for (int y = 0; y < encre.height(); ++y)
                for (int x = 0; x < encre.width(); ++x) {
                    differents += encre.pixelIndex(x, y) != encres[autre].pixelIndex(x, y);
                    encrees += encre.pixelIndex(x, y);
                }
            QVERIFY2(differents * 20 > encrees,
                     qPrintable(QStringLiteral("%1 comme %2 : %3 pixels sur %4")
                                    .arg(axe, QString(LettreAxe(int(autre) + 1)))
                                    .arg(differents)
                                    .arg(encrees)));
        }
        encres << encre;
    }
    for (int a = 1; a <= NombreAxes; ++a)
        for (int b = a + 1; b <= NombreAxes; ++b)
            QVERIFY(TraitDeLAxe(a).tirets != TraitDeLAxe(b).tirets &&
                    TraitDeLAxe(a).marque != TraitDeLAxe(b).marque);
}

QTEST_MAIN(TestGrapheCourse)
#include "tst_graphe_course.moc"
