// The file formats, from bytes: sequence files (the seven lines a run
// sends), axis-name files and programs.
#include "core/fichiers.h"
#include "core/programme.h"
#include "sequences_essai.h"

#include <QTest>
#include <numeric>

using namespace tarvik::core;

Q_DECLARE_METATYPE(EchecSequence)
Q_DECLARE_METATYPE(EchecNomsAxes)
Q_DECLARE_METATYPE(EchecProgramme)

namespace {

// Why a sequence file is refused: at line `ligne`, the axis's own letter
// when the line is an axis's.
EchecSequence refus(qsizetype ligne, EchecSequence::Genre genre, const QString &champ = {},
                    qsizetype longueur = 0, quint8 octet = 0)
{
    using G = EchecSequence::Genre;
    const bool axe =
        genre != G::LigneManquante && genre != G::SautFinalManquant && genre != G::RienApresG;
    return {genre, ligne,    axe ? LettreAxe(int(ligne - 1) % NombreAxes + 1) : QChar(),
            champ, longueur, octet};
}

// The same at line `ligne` of a program, its step's lines starting at `debut`.
EchecSequence refusDansEtape(qsizetype ligne, qsizetype debut, EchecSequence::Genre genre,
                             const QString &champ = {}, qsizetype longueur = 0)
{
    EchecSequence echec = refus(ligne - debut + 1, genre, champ, longueur);
    echec.ligne = ligne;
    return echec;
}

} // namespace

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
    QVERIFY(!analysee.echec);
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
    QTest::addColumn<EchecSequence>("echec"); // its line, and why (words: tst_formulation)

    const auto avecLigne = [](int k, const QByteArray &ligne) {
        QList<QByteArray> lignes = SequenceVariee.split('\n');
        lignes[k - 1] = ligne;
        return lignes.join('\n');
    };
    const QByteArray sansFin = SequenceVariee.chopped(1);
    using G = EchecSequence::Genre;
    // clang-format off
    const QList<std::tuple<const char *, QByteArray, EchecSequence>> cas = {
        {"vide",               "",                                     refus(1, G::LigneManquante)},
        {"six lignes",         SequenceVariee.left(72),                refus(7, G::LigneManquante)},
        {"ordre",              avecLigne(1, "B+00000:002"),            refus(1, G::LettreAttendue)},
        {"minuscule",          avecLigne(2, "b+00000:002"),            refus(2, G::LettreAttendue)},
        {"BOM",                "\xEF\xBB\xBF" + SequenceVariee,        refus(1, G::LettreAttendue)},
        {"pas de 4 chiffres",  avecLigne(3, "C+0000:002"),             refus(3, G::ChiffresPas, "0000", 4)},
        {"pas de 6 chiffres",  avecLigne(3, "C+000000:002"),           refus(3, G::ChiffresPas, "000000", 6)},
        {"direction oubliée",  avecLigne(3, "C00100:002"),             refus(3, G::ChiffresPasSansDirection, "0100", 4)},
        {"vitesse de 4 chiffres", avecLigne(6, "F+00000:0020"),        refus(6, G::ChiffresVitesse, "0020", 4)},
        {"vitesse de 2 chiffres", avecLigne(6, "F+00000:02"),          refus(6, G::ChiffresVitesse, "02", 2)},
        {"blanc après",        avecLigne(3, "C+00000:002 "),           refus(3, G::Longueur, {}, 12)},
        {"pas non chiffre",    avecLigne(4, "D+0a000:002"),            refus(4, G::PasNonChiffres, "0a000")},
        {"pas négatif",        avecLigne(4, "D+-0001:002"),            refus(4, G::PasNonChiffres, "-0001")},
        {"deux-points",        avecLigne(5, "E+00000;002"),            refus(5, G::SeparateurAttendu, ";")},
        {"vitesse non chiffre", avecLigne(6, "F+00000:0x2"),           refus(6, G::VitesseNonChiffres, "0x2")},
        {"vitesse 256",        avecLigne(4, "D+00000:256"),            refus(4, G::VitesseTropGrande, "256")},
        {"direction tabulation", avecLigne(7, "G\t00000:002"),         refus(7, G::DirectionIllisible, {}, 0, 0x09)},
        {"direction 0x81",     avecLigne(7, "G\x81" "00000:002"),      refus(7, G::DirectionIllisible, {}, 0, 0x81)},
        {"direction DEL",      avecLigne(1, "A\x7f" "00000:002"),      refus(1, G::DirectionIllisible, {}, 0, 0x7f)},
        {"CR isolé",           avecLigne(2, "B+00\r00:002"),           refus(2, G::PasNonChiffres, "00U+000D00")},
        {"huitième ligne",     SequenceVariee + "H+00000:002\n",       refus(8, G::RienApresG)},
        {"texte après blanc",  SequenceVariee + "\nfin\n",             refus(9, G::RienApresG)},
        {"saut final manquant", sansFin,                               refus(7, G::SautFinalManquant)},
    };
    // clang-format on
    for (const auto &[nom, contenu, echec] : cas)
        QTest::newRow(nom) << contenu << echec;
}

// A refused file says which line and why.
void TestFichiers::sequenceRefusee()
{
    QFETCH(QByteArray, contenu);
    QFETCH(EchecSequence, echec);
    const SequenceAnalysee analysee = AnalyserSequence(contenu);
    QVERIFY(analysee.echec && !analysee.grille);
    QCOMPARE(*analysee.echec, echec);
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
    QTest::addColumn<EchecNomsAxes>("echec"); // its line, and why (words: tst_formulation)
    using G = RefusNom::Genre;
    const auto nom = [](qsizetype ligne, G genre, char32_t point = 0, qsizetype longueur = 0) {
        return EchecNomsAxes{ligne, RefusNom{genre, point, longueur}};
    };
    // clang-format off
    QTest::newRow("huit noms")        << QByteArray("a\nb\nc\nd\ne\nf\ng\nh\n") << EchecNomsAxes{8, {}};
    QTest::newRow("nom en ligne 9")   << QByteArray("a\n\n\n\n\n\n\n\ni\n")     << EchecNomsAxes{9, {}};
    QTest::newRow("41 caractères")    << "\n" + QByteArray(41, 'x')             << nom(2, G::TropLong, 0, 41);
    QTest::newRow("41 avec accents")  << QString(41, u'é').toUtf8()             << nom(1, G::TropLong, 0, 41);
    QTest::newRow("tabulation")       << QByteArray("a\nb\tc\n")                << nom(2, G::CaractereControle, 0x09);
    QTest::newRow("contrôle C1")      << QByteArray("\xC2\x85")                 << nom(1, G::CaractereControle, 0x85);
    QTest::newRow("UTF-8 invalide")   << QByteArray("a\nb\n\xff\n")             << nom(3, G::Utf8Invalide);
    QTest::newRow("UTF-8 tronqué")    << QByteArray("a\n\xC3\n")                << nom(2, G::Utf8Invalide);
    QTest::newRow("41 hors du plan")  << QString::fromUcs4(U"\U0001D400").repeated(41).toUtf8() << nom(1, G::TropLong, 0, 41);
    QTest::newRow("retournement")     << QByteArray("Pince\n\xE2\x80\xAE" "ecnip\n")    << nom(2, G::CaractereInvisible, 0x202E);
    QTest::newRow("espace nul seul")  << QByteArray("\xE2\x80\x8B\n")                 << nom(1, G::CaractereInvisible, 0x200B);
    QTest::newRow("séparateur ligne") << QByteArray("Bras\xE2\x80\xA8" "gauche\n")     << nom(1, G::SeparateurLigne, 0x2028);
    QTest::newRow("séparateur parag") << QByteArray("a\xE2\x80\xA9")                   << nom(1, G::SeparateurLigne, 0x2029);
    // clang-format on
}

// A refused name file says which line and why.
void TestFichiers::nomsRefuses()
{
    QFETCH(QByteArray, contenu);
    QFETCH(EchecNomsAxes, echec);
    const NomsAnalyses analyses = AnalyserNomsAxes(contenu);
    QVERIFY(analyses.echec);
    QCOMPARE(*analyses.echec, echec);
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
    QVERIFY(lu.programme);
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
    QTest::addColumn<EchecProgramme>("echec"); // its line, and why (words: tst_formulation)
    const QByteArray entete = "programme tarvik 1\n";
    using G = EchecProgramme::Genre;
    using S = EchecSequence::Genre;
    const auto p = [](G genre, qsizetype ligne = 0, const QString &mot = {},
                      const QString &cle = {}) {
        return EchecProgramme{genre, ligne, mot, cle, {}, {}};
    };
    const auto s = [](const EchecSequence &sequence) {
        return EchecProgramme{G::Sequence, 0, {}, {}, sequence, {}};
    };
    const auto n = [](qsizetype ligne, RefusNom nom) {
        return EchecProgramme{G::NomEtape, ligne, {}, {}, {}, nom};
    };
    // clang-format off
    QTest::newRow("vide")             << QByteArray()                               << p(G::EnteteAttendu, 1);
    QTest::newRow("en-tête manquant") << "# x\netape\n" + Initiale                  << p(G::EnteteAttendu, 2);
    QTest::newRow("BOM")              << "\xEF\xBB\xBF" + ProgrammeForme            << p(G::EnteteAttendu, 1);
    QTest::newRow("version 2")        << QByteArray("#\nprogramme tarvik 2\n") << p(G::VersionInconnue, 2);
    QTest::newRow("aucune étape")     << entete + "\n"                              << p(G::FinAuLieuDEtape, 3);
    QTest::newRow("etap")             << entete + "etap prise\n" + Initiale      << p(G::PremiereEtapeAttendue, 2, "etap");
    QTest::newRow("lignes sans etape") << entete + Initiale                      << p(G::PremiereEtapeAttendue, 2, "A+00000:002");
    QTest::newRow("après une attente") << etapes({}) + "attendre 1\nA+00000:002\n" << p(G::EtapeApresAttente, 11, "A+00000:002");
    QTest::newRow("répéter accentué") << entete + "répéter 3\netape\n" + Initiale  << p(G::MotCleMalEcrit, 2, "répéter", "repeter");
    QTest::newRow("Étape")            << entete + "Étape prise\n" + Initiale       << p(G::MotCleMalEcrit, 2, "Étape", "etape");
    QTest::newRow("Attendre")         << etapes({"1"}).replace("attendre", "Attendre") << p(G::MotCleMalEcrit, 10, "Attendre", "attendre");
    QTest::newRow("repeter après une étape") << etapes({"1"}).replace("attendre 1", "repeter 2") << p(G::RepeterDeplace, 10);
    QTest::newRow("en-tête deux fois") << entete + entete                           << p(G::EnteteDeplace, 2);
    QTest::newRow("pas de 4 chiffres") << entete + "etape\nA+0100:010\n" + Initiale.mid(12) << s(refusDansEtape(3, 3, S::ChiffresPas, "0100", 4));
    QTest::newRow("six lignes")       << entete + "etape\n" + Initiale.left(72) + "attendre 1\netape\n" + Initiale << s(refusDansEtape(9, 3, S::LettreAttendue));
    QTest::newRow("ligne fautive")    << QByteArray(ProgrammeCommente).replace("D 00250:000", "D 00250:256") << s(refusDansEtape(22, 19, S::VitesseTropGrande, "256"));
    QTest::newRow("saut final")       << ProgrammeForme.chopped(1)                  << s(refusDansEtape(21, 15, S::SautFinalManquant));
    QTest::newRow("attente finale")   << etapes({"1"}) + "# fin\nattendre 1\n\n"    << p(G::AttenteSansEtape, 20);
    QTest::newRow("attente manquante") << etapes({}) + "etape\n" + Initiale         << p(G::AttenteManquante, 10);
    QTest::newRow("3600.1")           << etapes({"3600.1"})                          << p(G::AttenteTropLongue, 10, "3600.1");
    QTest::newRow("-1")               << etapes({"-1"})                              << p(G::AttenteIllisible, 10, "-1");
    QTest::newRow("2,5")              << etapes({"2,5"})                             << p(G::AttenteIllisible, 10, "2,5");
    QTest::newRow("1.25")             << etapes({"1.25"})                            << p(G::AttenteIllisible, 10, "1.25");
    QTest::newRow("2 s")              << etapes({"2 s"})                             << p(G::AttenteIllisible, 10, "2 s");
    QTest::newRow("repeter 0")        << entete + "repeter 0\n"                     << p(G::Repetitions, 2, "0");
    QTest::newRow("repeter 10001")    << entete + "repeter 10001\n"                 << p(G::Repetitions, 2, "10001");
    QTest::newRow("nom de 41")        << entete + "etape " + QByteArray(41, 'x') + "\n" + Initiale << n(2, {RefusNom::Genre::TropLong, 0, 41});
    QTest::newRow("nom tabulation")   << entete + "etape a\tb\n" + Initiale         << n(2, {RefusNom::Genre::CaractereControle, 0x09, 0});
    QTest::newRow("1001 étapes")      << etapes(QList<QByteArray>(EtapesMax, "0")) << p(G::TropDEtapes, 9002);
    QTest::newRow("texte après")      << ProgrammeForme + "\nfin\n"                 << p(G::AttenteAttendue, 23, "fin");
    QTest::newRow("séquence refusée") << Initiale.left(12)                          << s(refus(2, S::LigneManquante));
    QTest::newRow("plus de 1¤Mio")    << QByteArray(TailleMaxProgramme + 1, '#')    << p(G::TropGros);
    // clang-format on
}

// A refused program says which line and why.
void TestFichiers::programmeRefuse()
{
    QFETCH(QByteArray, contenu);
    QFETCH(EchecProgramme, echec);
    const ProgrammeAnalyse lu = AnalyserProgramme(contenu);
    QVERIFY(lu.echec && !lu.programme);
    QCOMPARE(*lu.echec, echec);
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
    QVERIFY(lu.programme);
    QCOMPARE(lu.programme->repetitions, 2);
    QCOMPARE(lu.programme->etapes.size(), 2);
    QCOMPARE(lu.programme->etapes[0].nom, QStringLiteral("priserepeter 9"));
    QCOMPARE(lu.programme->etapes[1].attenteDixiemes, 0);
}

QTEST_GUILESS_MAIN(TestFichiers)
#include "tst_fichiers.moc"
