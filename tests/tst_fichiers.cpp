// The two file formats, from bytes: sequence files (the seven lines a run
// sends) and axis-name files.
#include "core/fichiers.h"
#include "sequences_essai.h"

#include <QTest>

class TestFichiers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sequenceAcceptee_data();
    void sequenceAcceptee();
    void sequenceRefusee_data();
    void sequenceRefusee();
    void nomsLus_data();
    void nomsLus();
    void nomsRefuses_data();
    void nomsRefuses();
};

void TestFichiers::sequenceAcceptee_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("premiereDirection");
    QByteArray crlf = SequenceVariee;
    crlf.replace("\n", "\r\n");
    QTest::newRow("LF") << SequenceVariee << "+";
    QTest::newRow("CRLF") << crlf << "+";
    QTest::newRow("lignes vides après") << SequenceVariee + "\n  \r\n\t\n"
                                        << "+";
    QTest::newRow("direction espace") << QByteArray(SequenceVariee).replace(1, 1, " ") << " ";
}

void TestFichiers::sequenceAcceptee()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, premiereDirection);
    const SequenceAnalysee analysee = AnalyserSequence(contenu);
    QVERIFY2(!analysee.echec, qPrintable(analysee.echec.value_or(Echec{}).message));
    QStringList textes;
    for (int k = 1; k <= NombreAxes; ++k) {
        const Axe &axe = analysee.grille->axe(k);
        textes << TextePas(axe.Pas) << QString(axe.Direction) << TexteVitesse(axe.Vitesse);
    }
    QStringList attendu = GrilleVariee;
    attendu[1] = premiereDirection;
    QCOMPARE(textes, attendu);
    QByteArray octets = SequenceVariee; // and back to the bytes, whatever the line ends
    octets[1] = premiereDirection.toLatin1()[0];
    QCOMPARE(FormerSequence(*analysee.grille), octets);
}

void TestFichiers::sequenceRefusee_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("motif"); // what the message must say

    const auto avecLigne = [](int k, const QByteArray &ligne) {
        QList<QByteArray> lignes = SequenceVariee.split('\n');
        lignes[k - 1] = ligne;
        return lignes.join('\n');
    };
    const QByteArray sansFin = SequenceVariee.chopped(1);
    // clang-format off
    const QList<std::tuple<const char *, QByteArray, const char *>> cas = {
        {"vide",               "",                                     "Ligne 1 : ligne manquante"},
        {"six lignes",         SequenceVariee.left(72),                "Ligne 7 : ligne manquante"},
        {"ordre",              avecLigne(1, "B+00000:002"),            "Ligne 1 : la ligne doit commencer par la lettre A"},
        {"minuscule",          avecLigne(2, "b+00000:002"),            "Ligne 2 : la ligne doit commencer par la lettre B"},
        {"BOM",                "\xEF\xBB\xBF" + SequenceVariee,        "Ligne 1 : la ligne doit commencer"},
        {"trop courte",        avecLigne(3, "C+0000:002"),             "Ligne 3 : la ligne doit compter 11 caractères"},
        {"trop longue",        avecLigne(3, "C+000000:002"),           "Ligne 3 : la ligne doit compter 11 caractères"},
        {"pas non chiffre",    avecLigne(4, "D+0a000:002"),            "Ligne 4 : le nombre de pas doit compter cinq chiffres"},
        {"pas négatif",        avecLigne(4, "D+-0001:002"),            "Ligne 4 : le nombre de pas"},
        {"deux-points",        avecLigne(5, "E+00000;002"),            "Ligne 5 : « : » est attendu"},
        {"vitesse non chiffre", avecLigne(6, "F+00000:0x2"),           "Ligne 6 : la vitesse doit compter trois chiffres"},
        {"vitesse 256",        avecLigne(4, "D+00000:256"),            "Ligne 4 : la vitesse 256 dépasse 255"},
        {"direction tabulation", avecLigne(7, "G\t00000:002"),         "Ligne 7 : la direction (octet 0x09)"},
        {"direction 0x81",     avecLigne(7, "G\x81" "00000:002"),      "Ligne 7 : la direction (octet 0x81)"},
        {"direction DEL",      avecLigne(1, "A\x7f" "00000:002"),      "Ligne 1 : la direction (octet 0x7f)"},
        {"CR isolé",           avecLigne(2, "B+00\r00:002"),           "Ligne 2 : le nombre de pas"},
        {"huitième ligne",     SequenceVariee + "H+00000:002\n",       "Ligne 8 : rien ne doit suivre"},
        {"texte après blanc",  SequenceVariee + "\nfin\n",             "Ligne 9 : rien ne doit suivre"},
        {"saut final manquant", sansFin,                               "Ligne 7 : le saut de ligne final manque"},
    };
    // clang-format on
    for (const auto &[nom, contenu, motif] : cas)
        QTest::newRow(nom) << contenu << QString::fromUtf8(motif);
}

// A refused file says which line and why.
void TestFichiers::sequenceRefusee()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, motif);
    const SequenceAnalysee analysee = AnalyserSequence(contenu);
    QVERIFY(analysee.echec && !analysee.grille);
    QVERIFY2(analysee.echec->message.contains(motif), qPrintable(analysee.echec->message));
}

void TestFichiers::nomsLus_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("premier"); // axis 1's name, empty: "Axe 01"
    const QString hors = QString::fromUcs4(U"\U0001D400");
    QTest::newRow("40 hors du plan de base") << hors.repeated(40).toUtf8() << hors.repeated(40);
    QTest::newRow("marques seules") << QByteArray("\xCC\x81\xCC\x81\n") << QString();
    QTest::newRow("espaces insécables") << QByteArray("\xC2\xA0\xE3\x80\x80\n") << QString();
    QTest::newRow("nom accentué") << QByteArray("  Épaule\n") << QStringLiteral("Épaule");
}

// Names count characters, not UTF-16 units; a name that leaves no visible
// mark counts as blank.
void TestFichiers::nomsLus()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, premier);
    const NomsAnalyses analyses = AnalyserNomsAxes(contenu);
    QVERIFY(!analyses.echec);
    QCOMPARE(analyses.noms[0], premier);
}

void TestFichiers::nomsRefuses_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("motif");
    // clang-format off
    QTest::newRow("huit noms")        << QByteArray("a\nb\nc\nd\ne\nf\ng\nh\n") << "Ligne 8 : il n'y a que sept axes";
    QTest::newRow("nom en ligne 9")   << QByteArray("a\n\n\n\n\n\n\n\ni\n")     << "Ligne 9 : il n'y a que sept axes";
    QTest::newRow("41 caractères")    << "\n" + QByteArray(41, 'x')             << "Ligne 2 : le nom compte 41 caractères";
    QTest::newRow("41 avec accents")  << QString(41, u'é').toUtf8()             << "Ligne 1 : le nom compte 41 caractères";
    QTest::newRow("tabulation")       << QByteArray("a\nb\tc\n")                << "Ligne 2 : caractère de contrôle (U+0009)";
    QTest::newRow("contrôle C1")      << QByteArray("\xC2\x85")                 << "Ligne 1 : caractère de contrôle (U+0085)";
    QTest::newRow("UTF-8 invalide")   << QByteArray("a\nb\n\xff\n")             << "Ligne 3 : texte UTF-8 invalide";
    QTest::newRow("UTF-8 tronqué")    << QByteArray("a\n\xC3\n")                << "Ligne 2 : texte UTF-8 invalide";
    QTest::newRow("41 hors du plan")  << QString::fromUcs4(U"\U0001D400").repeated(41).toUtf8() << "Ligne 1 : le nom compte 41 caractères";
    QTest::newRow("retournement")     << QByteArray("Pince\n\xE2\x80\xAE" "ecnip\n")    << "Ligne 2 : caractère de mise en forme invisible (U+202E)";
    QTest::newRow("espace nul seul")  << QByteArray("\xE2\x80\x8B\n")                 << "Ligne 1 : caractère de mise en forme invisible (U+200B)";
    QTest::newRow("séparateur ligne") << QByteArray("Bras\xE2\x80\xA8" "gauche\n")     << "Ligne 1 : séparateur de ligne ou de paragraphe (U+2028)";
    QTest::newRow("séparateur parag") << QByteArray("a\xE2\x80\xA9")                   << "Ligne 1 : séparateur de ligne ou de paragraphe (U+2029)";
    // clang-format on
}

// A refused name file says which line and why.
void TestFichiers::nomsRefuses()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, motif);
    const NomsAnalyses analyses = AnalyserNomsAxes(contenu);
    QVERIFY(analyses.echec);
    QVERIFY2(analyses.echec->message.contains(motif), qPrintable(analyses.echec->message));
}

QTEST_GUILESS_MAIN(TestFichiers)
#include "tst_fichiers.moc"
