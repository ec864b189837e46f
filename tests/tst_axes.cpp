// Command line rules: field formatting, number reading, rounding, ranges,
// the direction character and the bytes of a line.
#include "sequence/axes.h"

#include <QTest>
#include <cmath>
#include <limits>

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
    void tableAuDemarrage();
};

void TestAxes::textePas_data() {
    QTest::addColumn<int>("pas");
    QTest::addColumn<QString>("attendu");
    const QList<std::pair<int, const char *>> cas = {
        {0, "00000"},
        {9, "00009"},
        {10, "00010"},
        {99, "00099"},
        {100, "00100"},
        {999, "00999"},
        {1000, "01000"},
        {9999, "09999"},
        {10000, "10000"},
        {99999, "99999"},
        {100000, "100000"},
        {-1, "0000-1"},
        {-250, "0000-250"},
        {2147483647, "2147483647"},
        {-2147483647 - 1, "0000-2147483648"},
    };
    for (const auto &[pas, attendu] : cas)
        QTest::addRow("%d", pas) << pas << QString::fromLatin1(attendu);
}

void TestAxes::textePas() {
    QFETCH(int, pas);
    QFETCH(QString, attendu);
    QCOMPARE(TextePas(pas), attendu);
}

void TestAxes::texteVitesse_data() {
    QTest::addColumn<int>("vitesse");
    QTest::addColumn<QString>("attendu");
    const QList<std::pair<int, const char *>> cas = {
        {0, "000"}, {9, "009"}, {10, "010"}, {99, "099"}, {100, "100"}, {255, "255"},
    };
    for (const auto &[vitesse, attendu] : cas)
        QTest::addRow("%d", vitesse) << vitesse << QString::fromLatin1(attendu);
}

void TestAxes::texteVitesse() {
    QFETCH(int, vitesse);
    QFETCH(QString, attendu);
    QCOMPARE(TexteVitesse(std::uint8_t(vitesse)), attendu);
}

void TestAxes::nombreDepuisTexte_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<double>("attendu");
    const double infini = std::numeric_limits<double>::infinity();
    const QList<std::pair<const char16_t *, double>> cas = {
        {u"00000", 0},
        {u"002", 2},
        {u" 1 2 ", 12},
        {u"12abc", 12},
        {u"abc", 0},
        {u"", 0},
        {u"1.5", 1.5},
        {u"1,5", 1},
        {u"2E3", 2000},
        {u"-7", -7},
        {u"\t3\n4", 34},
        {u"2D3", 2000},
        {u"2e-1", 0.2},
        {u"2d+2", 200},
        {u"2E", 2},
        {u"2E+", 2},
        {u"2Ex", 2},
        {u"+5", 5},
        {u"--5", 0},
        {u"-", 0},
        {u".5", 0.5},
        {u"5.", 5},
        {u"1.2.3", 1.2},
        {u"1 000", 1000},
        {u"5\r", 5},
        {u"\r5", 0},
        {u"\u00a05", 0},
        {u"\uff11", 0},
        {u"&HFF", 255},
        {u"&hff", 255},
        {u"&O17", 15},
        {u"&o8", 0},
        {u"&H", 0},
        {u"&12", 0},
        {u"& H1A", 26},
        {u"1E999", infini},
        {u"-1E999", -infini},
        {u"1E-999", 0},
        {u"0.0001E400", infini},
        {u"99999999999999999999", 1e20},
        {u"1E99999999999999999999", infini},
    };
    for (const auto &[texte, attendu] : cas) {
        const QString t = QString::fromUtf16(texte);
        QTest::newRow(qPrintable(QStringLiteral("«%1»").arg(t).toUtf8().toPercentEncoding(" «»")))
            << t << attendu;
    }
}

void TestAxes::nombreDepuisTexte() {
    QFETCH(QString, texte);
    QFETCH(double, attendu);
    QCOMPARE(NombreDepuisTexte(texte), attendu);
}

// Accepted rows: the line shown, and the bytes sent (12 of them).
void TestAxes::rangee_data() {
    QTest::addColumn<int>("axe");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("pas");
    QTest::addColumn<QString>("vitesse");
    QTest::addColumn<QString>("ligne");
    QTest::addColumn<QByteArray>("octets");

    QTest::newRow("grille initiale") << 1 << "+"
                                     << "00000"
                                     << "002"
                                     << "A+00000:002" << QByteArray("A+00000:002\n");
    QTest::newRow("axe 2") << 2 << "-"
                           << "00100"
                           << "010"
                           << "B-00100:010" << QByteArray("B-00100:010\n");
    QTest::newRow("axe 7") << 7 << "+"
                           << "250"
                           << "2"
                           << "G+00250:002" << QByteArray("G+00250:002\n");
    QTest::newRow("direction vide") << 1 << ""
                                    << "00000"
                                    << "002"
                                    << "A 00000:002" << QByteArray("A 00000:002\n");
    QTest::newRow("direction coupée") << 1 << "12"
                                      << "00000"
                                      << "002"
                                      << "A100000:002" << QByteArray("A100000:002\n");
    QTest::newRow("2.5 pair") << 1 << "+"
                              << "2.5"
                              << "2.5"
                              << "A+00002:002" << QByteArray("A+00002:002\n");
    QTest::newRow("3.5 pair") << 1 << "+"
                              << "3.5"
                              << "3.5"
                              << "A+00004:004" << QByteArray("A+00004:004\n");
    QTest::newRow("0.5 pair") << 1 << "+"
                              << "0.5"
                              << "0.5"
                              << "A+00000:000" << QByteArray("A+00000:000\n");
    QTest::newRow("1.5 pair") << 1 << "+"
                              << "1.5"
                              << "1.5"
                              << "A+00002:002" << QByteArray("A+00002:002\n");
    QTest::newRow("maxima") << 1 << "+"
                            << "99999"
                            << "255"
                            << "A+99999:255" << QByteArray("A+99999:255\n");
    QTest::newRow("sous les maxima") << 1 << "+"
                                     << "99999.4"
                                     << "255.4"
                                     << "A+99999:255" << QByteArray("A+99999:255\n");
    QTest::newRow("moins zéro") << 1 << "+"
                                << "-0.4"
                                << "-0.5"
                                << "A+00000:000" << QByteArray("A+00000:000\n");
    QTest::newRow("texte sans nombre") << 1 << "+"
                                       << "abc"
                                       << ""
                                       << "A+00000:000" << QByteArray("A+00000:000\n");
    QTest::newRow("hexadécimal") << 1 << "+"
                                 << "&H1F"
                                 << "&o17"
                                 << "A+00031:015" << QByteArray("A+00031:015\n");
    QTest::newRow("euro") << 1 << "\u20ac"
                          << "1"
                          << "1"
                          << "A\u20ac00001:001"
                          << QByteArray("A\x80"
                                        "00001:001\n");
    QTest::newRow("e accent") << 1 << "\u00e9"
                              << "1"
                              << "1"
                              << "A\u00e900001:001"
                              << QByteArray("A\xe9"
                                            "00001:001\n");
    QTest::newRow("espace insécable") << 1 << "\u00a0"
                                      << "1"
                                      << "1"
                                      << "A\u00a000001:001"
                                      << QByteArray("A\xa0"
                                                    "00001:001\n");
}

void TestAxes::rangee() {
    QFETCH(int, axe);
    QFETCH(QString, direction);
    QFETCH(QString, pas);
    QFETCH(QString, vitesse);
    QFETCH(QString, ligne);
    QFETCH(QByteArray, octets);

    const RangeeLue lue = LireRangee(axe, direction, pas, vitesse);
    QVERIFY2(!lue.refus, qPrintable(lue.refus ? lue.refus->message : QString()));
    QCOMPARE(lue.axe.Lettre, LettreAxe(axe));
    QCOMPARE(LigneAxe(lue.axe), ligne);
    QCOMPARE(OctetsLigne(lue.axe), octets);
    QCOMPARE(OctetsLigne(lue.axe).size(), 12);
}

// Refused rows: the column named, the axis and the text in the message.
void TestAxes::rangeeRefusee_data() {
    QTest::addColumn<int>("axe");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("pas");
    QTest::addColumn<QString>("vitesse");
    QTest::addColumn<int>("colonne");
    QTest::addColumn<QString>("montre"); // the text as the message shows it

    const int P = int(Colonne::Pas), D = int(Colonne::Direction), V = int(Colonne::Vitesse);
    QTest::newRow("vitesse 256") << 3 << "+"
                                 << "0"
                                 << "256" << V << "256";
    QTest::newRow("vitesse 300") << 3 << "+"
                                 << "0"
                                 << "300" << V << "300";
    QTest::newRow("vitesse 255.5") << 3 << "+"
                                   << "0"
                                   << "255.5" << V << "255.5";
    QTest::newRow("vitesse négative") << 4 << "+"
                                      << "0"
                                      << "-1" << V << "-1";
    QTest::newRow("vitesse infinie") << 4 << "+"
                                     << "0"
                                     << "1E999" << V << "1E999";
    QTest::newRow("pas négatif") << 1 << "+"
                                 << "-250"
                                 << "2" << P << "-250";
    QTest::newRow("pas -0.6") << 1 << "+"
                              << "-0.6"
                              << "2" << P << "-0.6";
    QTest::newRow("pas 100000") << 2 << "+"
                                << "100000"
                                << "2" << P << "100000";
    QTest::newRow("pas 99999.5") << 2 << "+"
                                 << "99999.5"
                                 << "2" << P << "99999.5";
    QTest::newRow("pas hors 32 bits") << 5 << "+"
                                      << "3E9"
                                      << "2" << P << "3E9";
    QTest::newRow("tabulation") << 5 << "\t"
                                << "0"
                                << "2" << D << "U+0009";
    QTest::newRow("saut de ligne") << 6 << "\n+"
                                   << "0"
                                   << "2" << D << "U+000A+";
    QTest::newRow("retour chariot") << 6 << "\r"
                                    << "0"
                                    << "2" << D << "U+000D";
    QTest::newRow("DEL") << 6 << "\u007f"
                         << "0"
                         << "2" << D << "U+007F";
    QTest::newRow("contrôle C1") << 6 << "\u0081"
                                 << "0"
                                 << "2" << D << "U+0081";
    QTest::newRow("oméga") << 7 << "\u03a9"
                           << "0"
                           << "2" << D << "\u03a9";
    QTest::newRow("émoji") << 7 << QString::fromUtf8("\xf0\x9f\x98\x80") << "0"
                           << "2" << D << "U+D83DU+DE00";
    // The direction is checked first, then the steps, then the speed.
    QTest::newRow("ordre de lecture") << 2 << "\t"
                                      << "-1"
                                      << "300" << D << "U+0009";
    QTest::newRow("pas avant vitesse") << 2 << "+"
                                       << "-1"
                                       << "300" << P << "-1";
}

void TestAxes::rangeeRefusee() {
    QFETCH(int, axe);
    QFETCH(QString, direction);
    QFETCH(QString, pas);
    QFETCH(QString, vitesse);
    QFETCH(int, colonne);
    QFETCH(QString, montre);

    const RangeeLue lue = LireRangee(axe, direction, pas, vitesse);
    QVERIFY(lue.refus);
    QCOMPARE(lue.refus->axe, axe);
    QCOMPARE(int(lue.refus->colonne), colonne);
    const QString nomAxe = QStringLiteral("Axe 0%1").arg(axe);
    const QString &message = lue.refus->message;
    QVERIFY2(message.contains(nomAxe), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("« %1 »").arg(NomColonne(Colonne(colonne)))),
             qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("« %1 »").arg(montre)), qPrintable(message));
}

void TestAxes::tableAuDemarrage() {
    QCOMPARE(Axes.size(), std::size_t(8));
    for (const Axe &axe : Axes) {
        QCOMPARE(axe.Lettre.unicode(), 0);
        QCOMPARE(axe.Direction.unicode(), 0);
        QCOMPARE(axe.Pas, 0);
        QCOMPARE(axe.Vitesse, 0);
    }
    const QString lettres = QStringLiteral("ABCDEFG");
    for (int i = 1; i <= NombreAxes; ++i)
        QCOMPARE(LettreAxe(i), lettres[i - 1]);
}

QTEST_APPLESS_MAIN(TestAxes)
#include "tst_axes.moc"
