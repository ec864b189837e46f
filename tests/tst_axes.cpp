// Command line rules: field formatting, number reading, rounding, ranges,
// the direction character and the bytes of a line.
#include "core/grille.h"

#include <QStringEncoder>
#include <QTest>
#include <cmath>
#include <limits>

using namespace tarvik::core;

Q_DECLARE_METATYPE(Colonne)
Q_DECLARE_METATYPE(LectureCase::Genre)

class TestAxes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textePas_data();
    void textePas();
    void texteVitesse_data();
    void texteVitesse();
    void nombreDepuisTexte_data();
    void nombreDepuisTexte();
    void rangee_data();
    void rangee();
    void rangeeRefusee_data();
    void rangeeRefusee();
    void lettres();
    void pageDeCode();
    void lectureDesCases_data();
    void lectureDesCases();
};

void TestAxes::textePas_data()
{
    QTest::addColumn<int>("pas");
    QTest::addColumn<QString>("attendu");
    // clang-format off
    const QList<std::pair<int, const char *>> cas = {
        {0, "00000"}, {9, "00009"}, {10, "00010"}, {99, "00099"},
        {100, "00100"}, {999, "00999"}, {1000, "01000"}, {9999, "09999"},
        {10000, "10000"}, {99999, "99999"}, {100000, "100000"}, {-1, "0000-1"},
        {-250, "0000-250"}, {2147483647, "2147483647"}, {-2147483647 - 1, "0000-2147483648"},
    };
    // clang-format on
    for (const auto &[pas, attendu] : cas)
        QTest::addRow("%d", pas) << pas << QString::fromLatin1(attendu);
}

void TestAxes::textePas()
{
    QFETCH(int, pas);
    QFETCH(QString, attendu);
    QCOMPARE(TextePas(pas), attendu);
}

void TestAxes::texteVitesse_data()
{
    QTest::addColumn<int>("vitesse");
    QTest::addColumn<QString>("attendu");
    // clang-format off
    const QList<std::pair<int, const char *>> cas = {
        {0, "000"}, {9, "009"}, {10, "010"}, {99, "099"},
        {100, "100"}, {255, "255"},
    };
    // clang-format on
    for (const auto &[vitesse, attendu] : cas)
        QTest::addRow("%d", vitesse) << vitesse << QString::fromLatin1(attendu);
}

void TestAxes::texteVitesse()
{
    QFETCH(int, vitesse);
    QFETCH(QString, attendu);
    QCOMPARE(TexteVitesse(std::uint8_t(vitesse)), attendu);
}

void TestAxes::nombreDepuisTexte_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<double>("attendu");
    const double infini = std::numeric_limits<double>::infinity();
    // clang-format off
    const QList<std::pair<const char16_t *, double>> cas = {
        {u"00000", 0}, {u"002", 2}, {u" 1 2 ", 12},
        {u"12abc", 12}, {u"abc", 0}, {u"", 0},
        {u"1.5", 1.5}, {u"1,5", 1}, {u"2E3", 2000},
        {u"-7", -7}, {u"\t3\n4", 34}, {u"2D3", 2000},
        {u"2e-1", 0.2}, {u"2d+2", 200}, {u"2E", 2},
        {u"2E+", 2}, {u"2Ex", 2}, {u"+5", 5},
        {u"--5", 0}, {u"-", 0}, {u".5", 0.5},
        {u"5.", 5}, {u"1.2.3", 1.2}, {u"1 000", 1000},
        {u"5\r", 5}, {u"\r5", 0}, {u"\u00a05", 0},
        {u"\uff11", 0}, {u"&HFF", 255}, {u"&hff", 255},
        {u"&O17", 15}, {u"&o8", 0}, {u"&H", 0},
        {u"&12", 0}, {u"& H1A", 26}, {u"1E999", infini},
        {u"-1E999", -infini}, {u"1E-999", 0}, {u"0.0001E400", infini},
        {u"99999999999999999999", 1e20}, {u"1E99999999999999999999", infini},
        {u"1.E2", 100}, {u"1.", 1}, {u"-2.e1", -20},
        {u".E2", 0}, {u"1.x", 1}, {u"1.D-1", 0.1},
    };
    // clang-format on
    for (const auto &[texte, attendu] : cas) {
        const QString t = QString::fromUtf16(texte);
        QTest::newRow(qPrintable(QStringLiteral("«%1»").arg(t).toUtf8().toPercentEncoding(" «»")))
            << t << attendu;
    }
}

void TestAxes::nombreDepuisTexte()
{
    QFETCH(QString, texte);
    QFETCH(double, attendu);
    QCOMPARE(NombreDepuisTexte(texte), attendu);
}

// Accepted rows: the line shown, and the bytes sent (12 of them).
void TestAxes::rangee_data()
{
    QTest::addColumn<int>("axe");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("pas");
    QTest::addColumn<QString>("vitesse");
    QTest::addColumn<QString>("ligne");
    QTest::addColumn<QByteArray>("octets");

    struct Cas {
        const char *nom;
        int axe;
        const char16_t *direction, *pas, *vitesse, *ligne;
        const char *octets;
    };
    // clang-format off
    const Cas cas[] = {
        {"grille initiale",   1, u"+",      u"00000",   u"002",   u"A+00000:002",      "A+00000:002\n"},
        {"axe 2",             2, u"-",      u"00100",   u"010",   u"B-00100:010",      "B-00100:010\n"},
        {"axe 7",             7, u"+",      u"250",     u"2",     u"G+00250:002",      "G+00250:002\n"},
        {"direction vide",    1, u"",       u"00000",   u"002",   u"A 00000:002",      "A 00000:002\n"},
        {"direction coupée",  1, u"12",     u"00000",   u"002",   u"A100000:002",      "A100000:002\n"},
        {"2.5 pair",          1, u"+",      u"2.5",     u"2.5",   u"A+00002:002",      "A+00002:002\n"},
        {"3.5 pair",          1, u"+",      u"3.5",     u"3.5",   u"A+00004:004",      "A+00004:004\n"},
        {"0.5 pair",          1, u"+",      u"0.5",     u"0.5",   u"A+00000:000",      "A+00000:000\n"},
        {"1.5 pair",          1, u"+",      u"1.5",     u"1.5",   u"A+00002:002",      "A+00002:002\n"},
        {"maxima",            1, u"+",      u"99999",   u"255",   u"A+99999:255",      "A+99999:255\n"},
        {"sous les maxima",   1, u"+",      u"99999.4", u"255.4", u"A+99999:255",      "A+99999:255\n"},
        {"moins zéro",        1, u"+",      u"-0.4",    u"-0.5",  u"A+00000:000",      "A+00000:000\n"},
        {"texte sans nombre", 1, u"+",      u"abc",     u"",      u"A+00000:000",      "A+00000:000\n"},
        {"hexa et octal",     1, u"+",      u"&H1F",    u"&o17",  u"A+00031:015",      "A+00031:015\n"},
        {"euro",              1, u"\u20ac", u"1",       u"1",     u"A\u20ac00001:001", "A\x80" "00001:001\n"},
        {"e accent",          1, u"\u00e9", u"1",       u"1",     u"A\u00e900001:001", "A\xe9" "00001:001\n"},
        {"espace insécable",  1, u"\u00a0", u"1",       u"1",     u"A\u00a000001:001", "A\xa0" "00001:001\n"},
    };
    // clang-format on
    for (const Cas &c : cas)
        QTest::newRow(c.nom) << c.axe << QString::fromUtf16(c.direction)
                             << QString::fromUtf16(c.pas) << QString::fromUtf16(c.vitesse)
                             << QString::fromUtf16(c.ligne) << QByteArray(c.octets);
}

void TestAxes::rangee()
{
    QFETCH(int, axe);
    QFETCH(QString, direction);
    QFETCH(QString, pas);
    QFETCH(QString, vitesse);
    QFETCH(QString, ligne);
    QFETCH(QByteArray, octets);

    const RangeeVerifiee verifiee = VerifierRangee(axe, {pas, direction, vitesse});
    QVERIFY(!verifiee.echec);
    QCOMPARE(verifiee.axe.Lettre, LettreAxe(axe));
    QCOMPARE(LigneAxe(verifiee.axe), ligne);
    QCOMPARE(FormerLigne(ligne), octets);
    QCOMPARE(FormerLigne(ligne).size(), 12);
}

// Refused rows: the column, the axis and the text as a message shows it
// (their words: tst_formulation).
void TestAxes::rangeeRefusee_data()
{
    QTest::addColumn<int>("axe");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("pas");
    QTest::addColumn<QString>("vitesse");
    QTest::addColumn<Colonne>("colonne");
    QTest::addColumn<QString>("montre"); // the text as the message shows it

    struct Cas {
        const char *nom;
        int axe;
        const char16_t *direction, *pas, *vitesse;
        Colonne colonne;
        const char16_t *montre;
    };
    constexpr Colonne P = Colonne::Pas, D = Colonne::Direction, V = Colonne::Vitesse;
    // clang-format off
    const Cas cas[] = {
        {"vitesse 256",       3, u"+",      u"0",       u"256",   V, u"256"},
        {"vitesse 300",       3, u"+",      u"0",       u"300",   V, u"300"},
        {"vitesse 255.5",     3, u"+",      u"0",       u"255.5", V, u"255.5"},
        {"vitesse négative",  4, u"+",      u"0",       u"-1",    V, u"-1"},
        {"vitesse infinie",   4, u"+",      u"0",       u"1E999", V, u"1E999"},
        {"pas négatif",       1, u"+",      u"-250",    u"2",     P, u"-250"},
        {"pas -0.6",          1, u"+",      u"-0.6",    u"2",     P, u"-0.6"},
        {"pas 100000",        2, u"+",      u"100000",  u"2",     P, u"100000"},
        {"pas 99999.5",       2, u"+",      u"99999.5", u"2",     P, u"99999.5"},
        {"pas hors 32 bits",  5, u"+",      u"3E9",     u"2",     P, u"3E9"},
        {"tabulation",        5, u"\t",     u"0",       u"2",     D, u"U+0009"},
        {"saut de ligne",     6, u"\n+",    u"0",       u"2",     D, u"U+000A+"},
        {"retour chariot",    6, u"\r",     u"0",       u"2",     D, u"U+000D"},
        {"DEL",               6, u"\u007f", u"0",       u"2",     D, u"U+007F"},
        {"contrôle C1",       6, u"\u0081", u"0",       u"2",     D, u"U+0081"},
        {"oméga",             7, u"\u03a9", u"0",       u"2",     D, u"\u03a9"},
        {"émoji",             7, u"\U0001F600", u"0",   u"2",     D, u"\U0001F600"},
        // The direction is checked first, then the steps, then the speed.
        {"direction d'abord", 2, u"\t",     u"-1",      u"300",   D, u"U+0009"},
        {"pas avant vitesse", 2, u"+",      u"-1",      u"300",   P, u"-1"},
    };
    // clang-format on
    for (const Cas &c : cas)
        QTest::newRow(c.nom) << c.axe << QString::fromUtf16(c.direction)
                             << QString::fromUtf16(c.pas) << QString::fromUtf16(c.vitesse)
                             << c.colonne << QString::fromUtf16(c.montre);
}

void TestAxes::rangeeRefusee()
{
    QFETCH(int, axe);
    QFETCH(QString, direction);
    QFETCH(QString, pas);
    QFETCH(QString, vitesse);
    QFETCH(Colonne, colonne);
    QFETCH(QString, montre);

    const RangeeVerifiee verifiee = VerifierRangee(axe, {pas, direction, vitesse});
    QVERIFY(verifiee.echec);
    QCOMPARE(verifiee.echec->axe, axe);
    QCOMPARE(verifiee.echec->colonne, colonne);
    QCOMPARE(TexteLisible(verifiee.echec->texte), montre);
    using G = RefusCase::Genre;
    QCOMPARE(verifiee.echec->raison.genre, colonne == Colonne::Pas       ? G::PasHorsPlage
                                           : colonne == Colonne::Vitesse ? G::VitesseHorsPlage
                                                                         : G::DirectionInvalide);
}

void TestAxes::lettres()
{
    const QString lettres = QStringLiteral("ABCDEFG");
    for (int i = 1; i <= NombreAxes; ++i)
        QCOMPARE(LettreAxe(i), lettres[i - 1]);
}

// The board's code page is Windows-1252 as the system's converter has it,
// for every character: the byte a line carries (NUL for one without), and
// a direction only where that byte is a printable character's own.
void TestAxes::pageDeCode()
{
    QStringEncoder systeme("windows-1252", QStringConverter::Flag::Stateless |
                                               QStringConverter::Flag::ConvertInvalidToNull);
    QVERIFY(systeme.isValid());
    for (char32_t u = 0; u < 0x10000; ++u) {
        const QChar c{char16_t(u)};
        if (c.isSurrogate()) {
            QVERIFY(!DirectionValide(c));
            continue;
        }
        const QByteArray octet = systeme.encode(QStringView(&c, 1));
        const bool direction = c.isPrint() && octet.size() == 1 && octet[0] != '\0';
        QVERIFY2(FormerLigne(QString(c)) == octet + '\n', qPrintable(CodePoint(u)));
        QVERIFY2(DirectionValide(c) == direction, qPrintable(CodePoint(u)));
    }
}

void TestAxes::lectureDesCases_data()
{
    QTest::addColumn<Colonne>("colonne");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("champ"); // what goes in the line; empty: refused
    QTest::addColumn<bool>("telleQuelle");
    QTest::addColumn<LectureCase::Genre>("lecture"); // why it is read so (words: tst_formulation)
    QTest::addColumn<QString>("detail");             // the prefix typed, or the text with a point
    constexpr Colonne P = Colonne::Pas, D = Colonne::Direction, V = Colonne::Vitesse;
    using G = LectureCase::Genre;
    constexpr G T = G::NombreDuDebut; // as typed, or refused: no reading
    // clang-format off
    const QList<std::tuple<const char *, Colonne, const char16_t *, const char16_t *, bool, G, const char16_t *>> cas = {
        {"cinq chiffres",        P, u"00100",  u"00100", true,  T,                     u""},
        {"trois chiffres",       P, u"100",    u"00100", true,  T,                     u""},
        {"lettres",              P, u"abc",    u"00000", false, G::AucunChiffre,       u""},
        {"lettres, vitesse",     V, u"x",      u"000",   false, G::AucunChiffre,       u""},
        {"lettre d'abord",       P, u"a1",     u"00000", false, G::PasUnNombreAuDebut, u""},
        {"lettre O pour zéro",   P, u"1O0",    u"00001", false, G::NombreDuDebut,      u""},
        {"virgule",              P, u"12,7",   u"00012", false, G::VirguleDecimale,    u"12.7"},
        {"hexadécimal",          P, u"&H10",   u"00016", false, G::Prefixe,            u""},
        {"&H sans chiffre",      P, u"&Hz",    u"00000", false, G::PrefixeSansChiffre, u"&H"},
        {"&O sans chiffre",      P, u"&o9",    u"00000", false, G::PrefixeSansChiffre, u"&o"},
        {"blancs",               P, u" 1 2 ",  u"00012", false, G::BlancsIgnores,      u""},
        {"vide",                 P, u"",       u"00000", false, G::Vide,               u""},
        {"arrondi",              P, u"2.5",    u"00002", false, G::NombreDuDebut,      u""},
        {"pas trop grand",       P, u"100000", u"",      false, T,                     u""},
        {"vitesse 255",          V, u"255",    u"255",   true,  T,                     u""},
        {"vitesse 7",            V, u"7",      u"007",   true,  T,                     u""},
        {"vitesse 300",          V, u"300",    u"",      false, T,                     u""},
        {"un caractère",         D, u"+",      u"+",     true,  T,                     u""},
        {"direction vide",       D, u"",       u" ",     false, G::DirectionVide,      u""},
        {"deux caractères",      D, u"+-",     u"+",     false, G::PremierCaractere,   u""},
        {"tabulation",           D, u"\t",     u"",      false, T,                     u""},
    };
    // clang-format on
    for (const auto &[nom, colonne, texte, champ, telleQuelle, lecture, detail] : cas)
        QTest::newRow(nom) << colonne << QString::fromUtf16(texte) << QString::fromUtf16(champ)
                           << telleQuelle << lecture << QString::fromUtf16(detail);
}

// What each box gives the line, and whether that is what was typed: the
// operator is told how any other text is read before TEST, and why.
void TestAxes::lectureDesCases()
{
    QFETCH(Colonne, colonne);
    QFETCH(QString, texte);
    QFETCH(QString, champ);
    QFETCH(bool, telleQuelle);
    QFETCH(LectureCase::Genre, lecture);
    QFETCH(QString, detail);
    const CaseVerifiee lue = VerifierCase(colonne, texte);
    QCOMPARE(lue.champ, champ);
    QCOMPARE(lue.echec.has_value(), champ.isEmpty());
    if (champ.isEmpty())
        return;
    QCOMPARE(lue.telleQuelle, telleQuelle);
    QCOMPARE(lue.lecture.has_value(), !telleQuelle);
    if (telleQuelle)
        return;
    QCOMPARE(lue.lecture->genre, lecture);
    QCOMPARE(lue.lecture->champ, champ);
    QCOMPARE(lue.lecture->prefixe + lue.lecture->avecPoint, detail);
}

QTEST_APPLESS_MAIN(TestAxes)
#include "tst_axes.moc"
