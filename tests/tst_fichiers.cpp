// The file formats, from bytes: sequence files (the seven lines a run
// sends), axis-name files and programs.
#include "core/fichiers.h"
#include "core/programme.h"
#include "sequences_essai.h"

#include <QTest>
#include <numeric>

using namespace tarvik::core;

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
    void programmeAccepte_data();
    void programmeAccepte();
    void programmeRefuse_data();
    void programmeRefuse();
    void programmeForme();
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
        {"pas de 4 chiffres",  avecLigne(3, "C+0000:002"),             "Ligne 3 : le nombre de pas doit compter 5 chiffres, et « 0000 » en a 4"},
        {"pas de 6 chiffres",  avecLigne(3, "C+000000:002"),           "Ligne 3 : le nombre de pas doit compter 5 chiffres, et « 000000 » en a 6"},
        {"direction oubliée",  avecLigne(3, "C00100:002"),             "Ligne 3 : le nombre de pas doit compter 5 chiffres, et « 0100 » en a 4 (ou la direction manque"},
        {"vitesse de 4 chiffres", avecLigne(6, "F+00000:0020"),        "Ligne 6 : la vitesse doit compter 3 chiffres, et « 0020 » en a 4"},
        {"vitesse de 2 chiffres", avecLigne(6, "F+00000:02"),          "Ligne 6 : la vitesse doit compter 3 chiffres, et « 02 » en a 2"},
        {"blanc après",        avecLigne(3, "C+00000:002 "),           "Ligne 3 : la ligne doit compter 11 caractères, comme C+00100:010, et elle en compte 12"},
        {"pas non chiffre",    avecLigne(4, "D+0a000:002"),            "Ligne 4 : le nombre de pas doit compter 5 chiffres de 0 à 9, et non « 0a000 »"},
        {"pas négatif",        avecLigne(4, "D+-0001:002"),            "Ligne 4 : le nombre de pas"},
        {"deux-points",        avecLigne(5, "E+00000;002"),            "Ligne 5 : « : » est attendu après le nombre de pas, et non « ; »"},
        {"vitesse non chiffre", avecLigne(6, "F+00000:0x2"),           "Ligne 6 : la vitesse doit compter 3 chiffres de 0 à 9, et non « 0x2 »"},
        {"vitesse 256",        avecLigne(4, "D+00000:256"),            "Ligne 4 : la vitesse 256 dépasse 255"},
        {"direction tabulation", avecLigne(7, "G\t00000:002"),         "Ligne 7 : la direction (octet 0x09)"},
        {"direction 0x81",     avecLigne(7, "G\x81" "00000:002"),      "Ligne 7 : la direction (octet 0x81)"},
        {"direction DEL",      avecLigne(1, "A\x7f" "00000:002"),      "Ligne 1 : la direction (octet 0x7f)"},
        {"CR isolé",           avecLigne(2, "B+00\r00:002"),           "Ligne 2 : le nombre de pas doit compter 5 chiffres de 0 à 9, et non « 00U+000D00 »"},
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

namespace {

const QByteArray Initiale = "A+00000:002\nB+00000:002\nC+00000:002\nD+00000:002\nE+00000:002\n"
                            "F+00000:002\nG+00000:002\n";

// A program as FormerProgramme forms it, and the same with comments.
const QByteArray ProgrammeForme = "programme tarvik 1\nrepeter 3\n\netape prise\n" + Initiale +
                                  "attendre 2.5\n\netape dépose\n" + SequenceVariee;
const QByteArray ProgrammeCommente = QByteArray(ProgrammeForme)
                                         .replace("\netape d", "\n# la pince s'ouvre\n\netape d")
                                         .prepend("# Prise et dépose d'une pièce\n\n");

// A header, then steps each with no name and the initial grid, and `waits`
// between them.
QByteArray etapes(const QList<QByteArray> &attentes)
{
    QByteArray octets = "programme tarvik 1\n";
    for (const QByteArray &attente : attentes)
        octets += "etape\n" + Initiale + "attendre " + attente + "\n";
    return octets + "etape\n" + Initiale;
}

} // namespace

void TestFichiers::programmeAccepte_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<int>("repetitions");
    QTest::addColumn<QStringList>("noms");
    QTest::addColumn<QList<int>>("attentes"); // tenths, each step's
    QTest::addColumn<QByteArray>("lignes");   // the steps' sequences, one after the other
    QTest::addColumn<bool>("forme");          // FormerProgramme gives these very bytes
    const QStringList deux = {QStringLiteral("prise"), QStringLiteral("dépose")};
    const QByteArray quarante = QString(40, u'é').toUtf8();
    const QByteArray i3 = Initiale.repeated(3);
    // clang-format off
    QTest::newRow("formé")         << ProgrammeForme << 3 << deux << QList<int>{25, 0} << Initiale + SequenceVariee << true;
    QTest::newRow("commenté")      << ProgrammeCommente << 3 << deux << QList<int>{25, 0} << Initiale + SequenceVariee << false;
    QTest::newRow("CRLF")          << QByteArray(ProgrammeCommente).replace("\n", "\r\n") << 3 << deux << QList<int>{25, 0} << Initiale + SequenceVariee << false;
    QTest::newRow("attentes bornes") << etapes({"0", "3600"}) << 1 << QStringList(3) << QList<int>{0, 36000, 0} << i3 << false;
    QTest::newRow("attentes formées") << etapes({"0.0", "3600.0"}).replace("etape", "\netape") << 1 << QStringList(3) << QList<int>{0, 36000, 0} << i3 << true;
    QTest::newRow("repeter 10000") << "programme tarvik 1\n\n# x\nrepeter 10000\netape\n" + SequenceVariee << 10000 << QStringList(1) << QList<int>{0} << SequenceVariee << false;
    QTest::newRow("noms bornes")   << "programme tarvik 1\netape   " + quarante + " \n#\n" + Initiale + "attendre 0.1\netape \xC2\xA0 \n" + Initiale << 1 << QStringList{QString(40, u'é'), {}} << QList<int>{1, 0} << Initiale.repeated(2) << false;
    QTest::newRow("séquence")      << SequenceVariee << 1 << QStringList(1) << QList<int>{0} << SequenceVariee << false;
    QTest::newRow("séquence CRLF") << QByteArray(Initiale).replace("\n", "\r\n") + "\n" << 1 << QStringList(1) << QList<int>{0} << Initiale << false;
    // clang-format on
}

// An accepted program gives its steps, and forms back to bytes that give it again.
void TestFichiers::programmeAccepte()
{
    QFETCH(QByteArray, contenu);
    QFETCH(int, repetitions);
    QFETCH(QStringList, noms);
    QFETCH(QList<int>, attentes);
    QFETCH(QByteArray, lignes);
    QFETCH(bool, forme);
    const ProgrammeAnalyse lu = AnalyserProgramme(contenu);
    QVERIFY2(lu.programme, qPrintable(lu.echec.value_or(Echec{}).message));
    QCOMPARE(lu.programme->repetitions, repetitions);
    QStringList nomsLus;
    QList<int> attentesLues;
    QByteArray lignesLues;
    for (const EtapeProgramme &etape : lu.programme->etapes) {
        nomsLus << etape.nom;
        attentesLues << etape.attenteDixiemes;
        lignesLues += FormerSequence(etape.grille);
    }
    QCOMPARE(nomsLus, noms);
    QCOMPARE(attentesLues, attentes);
    QCOMPARE(lignesLues, lignes);
    QCOMPARE(AttenteTotaleDixiemes(*lu.programme),
             std::accumulate(attentes.begin(), attentes.end(), 0));
    const QByteArray octets = FormerProgramme(*lu.programme);
    QCOMPARE(AnalyserProgramme(octets).programme, lu.programme);
    if (forme)
        QCOMPARE(octets, contenu);
}

void TestFichiers::programmeRefuse_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("motif");
    const QByteArray entete = "programme tarvik 1\n";
    // clang-format off
    QTest::newRow("vide")             << QByteArray()                               << "Ligne 1 : « programme tarvik 1 » est attendu";
    QTest::newRow("en-tête manquant") << "# x\netape\n" + Initiale                  << "Ligne 2 : « programme tarvik 1 » est attendu";
    QTest::newRow("BOM")              << "\xEF\xBB\xBF" + ProgrammeForme            << "Ligne 1 : « programme tarvik 1 » est attendu";
    QTest::newRow("version 2")        << QByteArray("#\nprogramme tarvik 2\n") << "Ligne 2 : version du format inconnue";
    QTest::newRow("aucune étape")     << entete + "\n"                              << "Ligne 3 : le fichier s'arrête là où « etape NOM » est attendu : un programme a au moins une étape";
    QTest::newRow("etap")             << entete + "etap prise\n" + Initiale      << "Ligne 2 : « etap » est lu là où « etape NOM » est attendu (ou « repeter N », juste après « programme tarvik 1 »)";
    QTest::newRow("lignes sans etape") << entete + Initiale                      << "Ligne 2 : « A+00000:002 » est lu là où « etape NOM »";
    QTest::newRow("après une attente") << etapes({}) + "attendre 1\nA+00000:002\n" << "Ligne 11 : « A+00000:002 » est lu là où « etape NOM » est attendu : une attente est toujours suivie d'une étape";
    QTest::newRow("répéter accentué") << entete + "répéter 3\netape\n" + Initiale  << "Ligne 2 : « répéter » s'écrit « repeter » : les mots-clés d'un programme n'ont ni accent ni majuscule";
    QTest::newRow("Étape")            << entete + "Étape prise\n" + Initiale       << "Ligne 2 : « Étape » s'écrit « etape »";
    QTest::newRow("Attendre")         << etapes({"1"}).replace("attendre", "Attendre") << "Ligne 10 : « Attendre » s'écrit « attendre »";
    QTest::newRow("repeter après une étape") << etapes({"1"}).replace("attendre 1", "repeter 2") << "Ligne 10 : « repeter » n'a sa place qu'une fois, juste après « programme tarvik 1 »";
    QTest::newRow("en-tête deux fois") << entete + entete                           << "Ligne 2 : « programme tarvik 1 » n'a sa place qu'une fois";
    QTest::newRow("pas de 4 chiffres") << entete + "etape\nA+0100:010\n" + Initiale.mid(12) << "Ligne 3 : le nombre de pas doit compter 5 chiffres, et « 0100 » en a 4";
    QTest::newRow("six lignes")       << entete + "etape\n" + Initiale.left(72) + "attendre 1\netape\n" + Initiale << "Ligne 9 : la ligne doit commencer par la lettre G";
    QTest::newRow("ligne fautive")    << QByteArray(ProgrammeCommente).replace("D 00250:000", "D 00250:256") << "Ligne 22 : la vitesse 256 dépasse 255";
    QTest::newRow("saut final")       << ProgrammeForme.chopped(1)                  << "Ligne 21 : le saut de ligne final manque";
    QTest::newRow("attente finale")   << etapes({"1"}) + "# fin\nattendre 1\n\n"    << "Ligne 20 : aucune étape ne suit cette attente";
    QTest::newRow("attente manquante") << etapes({}) + "etape\n" + Initiale         << "Ligne 10 : « attendre SECONDES » manque";
    QTest::newRow("3600.1")           << etapes({"3600.1"})                          << "Ligne 10 : l'attente de 3600.1 s dépasse 3600 s, le plus long permis";
    QTest::newRow("-1")               << etapes({"-1"})                              << "Ligne 10 : l'attente s'écrit en secondes, au dixième près, comme « attendre 2.5 » ou « attendre 10 », et non « -1 »";
    QTest::newRow("2,5")              << etapes({"2,5"})                             << "Ligne 10 : l'attente s'écrit en secondes";
    QTest::newRow("1.25")             << etapes({"1.25"})                            << "Ligne 10 : l'attente s'écrit en secondes, au dixième près, comme « attendre 2.5 » ou « attendre 10 », et non « 1.25 »";
    QTest::newRow("2 s")              << etapes({"2 s"})                             << "Ligne 10 : l'attente s'écrit en secondes";
    QTest::newRow("repeter 0")        << entete + "repeter 0\n"                     << "Ligne 2 : « repeter » prend un nombre entier de 1 à 10000, et non « 0 »";
    QTest::newRow("repeter 10001")    << entete + "repeter 10001\n"                 << "Ligne 2 : « repeter » prend un nombre entier de 1 à 10000, et non « 10001 »";
    QTest::newRow("nom de 41")        << entete + "etape " + QByteArray(41, 'x') + "\n" + Initiale << "Ligne 2 : le nom compte 41 caractères";
    QTest::newRow("nom tabulation")   << entete + "etape a\tb\n" + Initiale         << "Ligne 2 : caractère de contrôle (U+0009)";
    QTest::newRow("1001 étapes")      << etapes(QList<QByteArray>(EtapesMax, "0")) << "Ligne 9002 : un programme a au plus 1000 étapes";
    QTest::newRow("texte après")      << ProgrammeForme + "\nfin\n"                 << "Ligne 23 : « fin » est lu là où « attendre SECONDES » (puis l'étape suivante) ou la fin du fichier est attendu";
    QTest::newRow("séquence refusée") << Initiale.left(12)                          << "Ligne 2 : ligne manquante";
    QTest::newRow("plus de 1 Mio")    << QByteArray(TailleMaxProgramme + 1, '#')    << "le fichier dépasse 1 Mio";
    // clang-format on
}

// A refused program says which line and why.
void TestFichiers::programmeRefuse()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, motif);
    const ProgrammeAnalyse lu = AnalyserProgramme(contenu);
    QVERIFY(lu.echec && !lu.programme);
    QVERIFY2(lu.echec->message.startsWith(motif), qPrintable(lu.echec->message));
}

// A name cannot break its line; the last step's wait is never written nor
// counted, and the waits left count from any step of any cycle.
void TestFichiers::programmeForme()
{
    const Grille grille = *AnalyserSequence(SequenceVariee).grille;
    const Programme programme{{{QStringLiteral("prise\nrepeter 9"), grille, 25}, {{}, grille, 70}},
                              2};
    QCOMPARE(AttenteTotaleDixiemes(programme), 25);
    // The waits still to come from each step of each cycle, both numbered
    // here from 1 as the operator reads them: that step's own, the rest of
    // its cycle, then the whole cycles left.
    const std::pair<int, int> points[] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}};
    const qint64 restes[] = {50, 25, 25, 0};
    for (int k = 0; k < 4; ++k)
        QCOMPARE(AttentesDepuis(programme, points[k].first - 1, points[k].second - 1), restes[k]);
    const ProgrammeAnalyse lu = AnalyserProgramme(FormerProgramme(programme));
    QVERIFY2(lu.programme, qPrintable(lu.echec.value_or(Echec{}).message));
    QCOMPARE(lu.programme->repetitions, 2);
    QCOMPARE(lu.programme->etapes.size(), 2);
    QCOMPARE(lu.programme->etapes[0].nom, QStringLiteral("priserepeter 9"));
    QCOMPARE(lu.programme->etapes[1].attenteDixiemes, 0);
}

QTEST_GUILESS_MAIN(TestFichiers)
#include "tst_fichiers.moc"
