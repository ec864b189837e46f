// The axes' limits: the file's strict reading, the stricter of the machine's
// and the operator's, rewriting that keeps comments, and where the machine's
// files are and how they must be protected.
#include "course_essai.h"
#include "octets_essai.h"
#include "system/fichier_limites.h"

#include <QDir>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarvik::system;

// Why a limits file is refused, its key file's shape aside.
struct RefusCles {
    EchecCles::Genre genre = EchecCles::Genre::Bom;
    int ligne = 0;
    QString texte, cle;
    std::optional<RefusValeur> valeur;
};
using RaisonDouteuse = std::variant<EchecLecture, RefusCles, EchecProtection>;
// Why a row's file is doubtful; none: it is not.
struct Doute {
    std::optional<RaisonDouteuse> raison;
};
Q_DECLARE_METATYPE(std::optional<RefusCles>)
Q_DECLARE_METATYPE(Doute)

namespace {

// The fields of a refusal that a row names.
RefusCles champs(const EchecCles &echec)
{
    return {echec.genre, echec.ligne, echec.texte, echec.cle, echec.valeur};
}

bool memesChamps(const RefusCles &a, const RefusCles &b)
{
    return a.genre == b.genre && a.ligne == b.ligne && a.texte == b.texte && a.cle == b.cle &&
           a.valeur == b.valeur;
}

// A limit's value refused: its kind, the limit, the text quoted, the most.
RefusValeur valeur(RefusValeur::Genre genre, ChampLimite champ, QStringView texte, qint64 max = 0,
                   char32_t point = 0)
{
    RefusValeur refus{.genre = genre, .champ = champ, .texte = texte.toString(), .point = point};
    refus.max = max;
    return refus;
}

// Why the file `fichier` is doubtful, as a row says it: its paths spelled
// %F (the file), %D (its folder) and %A (a folder elsewhere).
RaisonDouteuse situer(RaisonDouteuse raison, const QString &fichier, const QString &dossier,
                      const QString &ailleurs)
{
    if (auto *protection = std::get_if<EchecProtection>(&raison))
        for (QString *texte : {&protection->chemin, &protection->commandes})
            texte->replace(QStringLiteral("%F"), fichier)
                .replace(QStringLiteral("%D"), dossier)
                .replace(QStringLiteral("%A"), ailleurs);
    return raison;
}

bool memeRaison(const FichierLimitesDouteux &douteux, const RaisonDouteuse &attendue)
{
    if (const auto *cles = std::get_if<EchecCles>(&douteux.raison))
        return std::holds_alternative<RefusCles>(attendue) &&
               memesChamps(champs(*cles), std::get<RefusCles>(attendue));
    if (const auto *lecture = std::get_if<EchecLecture>(&douteux.raison))
        return std::holds_alternative<EchecLecture>(attendue) &&
               *lecture == std::get<EchecLecture>(attendue);
    return std::holds_alternative<EchecProtection>(attendue) &&
           std::get<EchecProtection>(douteux.raison) == std::get<EchecProtection>(attendue);
}

EchecProtection protection(EchecProtection::Genre genre, const QString &chemin,
                           quint32 proprietaire = 0, quint32 mode = 0,
                           const QString &commandes = {})
{
    return {.genre = genre,
            .chemin = chemin,
            .proprietaire = proprietaire,
            .mode = mode,
            .commandes = commandes};
}

// Where a run takes an axis, as a row writes it: its travel per cycle, its
// lowest and highest, where it ends, and from which step it is unknown
// ("? 0..10 ? inconnue 2/1 [x]"); empty when it does not move.
QString faits(const CourseAxe &axe)
{
    if (!axe.bouge)
        return {};
    const auto ou = [](const std::optional<qint64> &v) {
        return v ? QString::number(*v) : QStringLiteral("?");
    };
    QString texte = QStringLiteral("%1 %2..%3 %4")
                        .arg(ou(axe.parCycle))
                        .arg(axe.plusBas)
                        .arg(axe.plusHaut)
                        .arg(ou(axe.arrivee));
    if (axe.inconnue)
        texte += QStringLiteral(" inconnue %1/%2 [%3]")
                     .arg(axe.inconnue->etape + 1)
                     .arg(axe.inconnue->cycle + 1)
                     .arg(axe.direction);
    return texte;
}

// The limits as a new file holds them, without its group line.
QByteArray canon(const Limites &limites)
{
    return FormerLimites(limites).mid(qstrlen("[Limites]\n"));
}

// Those of `limites` the operator set, as a new file holds them.
QByteArray parVous(Limites limites)
{
    for (LimitesAxe &a : limites.axes) {
        if (a.niveauPas == NiveauLimite::Machine)
            a.pas.reset();
        if (a.niveauVitesse == NiveauLimite::Machine)
            a.vitesse.reset();
        if (a.niveauDirections == NiveauLimite::Machine)
            a.directions.reset();
        if (a.niveauCourse == NiveauLimite::Machine)
            a.course.reset();
    }
    limites.stricte = limites.stricte && limites.niveauStricte == NiveauLimite::Operateur;
    return canon(limites);
}

// Sets an environment variable until the object returned is destroyed.
auto poser(const char *variable, const QByteArray &valeur)
{
    const QByteArray avant = qgetenv(variable);
    const bool existait = qEnvironmentVariableIsSet(variable);
    qputenv(variable, valeur);
    return qScopeGuard([=] { existait ? qputenv(variable, avant) : qunsetenv(variable); });
}

// A machine folder: `dossier`/Tarvik/limites.conf holding `contenu`, owned
// by root and writable by it alone.
bool installer(const QString &dossier, const QByteArray &contenu)
{
    return QDir().mkpath(dossier + QStringLiteral("/Tarvik")) &&
           ::chmod(QFile::encodeName(dossier + QStringLiteral("/Tarvik")), 0755) == 0 &&
           ecrireFichier(dossier + QStringLiteral("/Tarvik/limites.conf"), contenu) &&
           ::chmod(QFile::encodeName(dossier + QStringLiteral("/Tarvik/limites.conf")), 0644) == 0;
}

// Puts in place what a row of the machine file's table describes, in the
// machine folder `machine` (its Tarvik folder and file already there) and
// elsewhere, in `ailleurs`.
bool placer(const QByteArray &contenu, const QString &machine, const QString &ailleurs)
{
    const QString dossier = machine + QStringLiteral("/Tarvik");
    const QString fichier = dossier + QStringLiteral("/limites.conf");
    const QString parent = ailleurs + QStringLiteral("/parent"),
                  sous = parent + QStringLiteral("/sous");
    if (contenu == "<lien ailleurs>")
        return ::chmod(QFile::encodeName(ailleurs), 0777) == 0 &&
               QFile::rename(fichier, ailleurs + QStringLiteral("/l.conf")) &&
               QFile::link(ailleurs + QStringLiteral("/l.conf"), fichier);
    if (contenu == "<lien cassé>")
        return QFile::remove(fichier) && QFile::link(QStringLiteral("disparu.conf"), fichier);
    if (contenu == "<absent>")
        return QFile::remove(fichier);
    // The folder moved where another user owns the folder above it.
    if (contenu == "<dossier lié>")
        return QDir().mkpath(sous) && ::chmod(QFile::encodeName(sous), 0755) == 0 &&
               QFile::rename(dossier, sous + QStringLiteral("/Tarvik")) &&
               QFile::link(sous + QStringLiteral("/Tarvik"), dossier) &&
               ::chown(QFile::encodeName(parent), 65534, 65534) == 0 &&
               ::chmod(QFile::encodeName(parent), 0755) == 0;
    // The machine folder sticky, as /tmp; the folder elsewhere, reached by
    // a link another user owns.
    if (contenu == "<lien collant>")
        return QFile::rename(dossier, ailleurs + QStringLiteral("/Tarvik")) &&
               QFile::link(ailleurs + QStringLiteral("/Tarvik"), dossier) &&
               ::lchown(QFile::encodeName(dossier), 65534, 65534) == 0 &&
               ::chmod(QFile::encodeName(machine), 01777) == 0;
    return true;
}

// In a mount namespace of this process's own, covers /etc/xdg with a file
// system of its own, owned by root and closed to others; why it cannot be,
// or nothing.
QString couvrirEtcXdg()
{
    if (!QFileInfo(QStringLiteral("/etc/xdg")).isDir())
        return QStringLiteral("pas de dossier /etc/xdg sur cette machine");
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tarvik-essai", "/etc/xdg", "tmpfs", 0, "size=64k,mode=755") != 0)
        return QStringLiteral("espace de montage privé impossible ici (%1)")
            .arg(QString::fromLocal8Bit(strerror(errno)));
    return {};
}

const QByteArray Exemple = "# Banc 2 : pince et bras\n[Limites]\nlecture=stricte\nA.pas=5000\n"
                           "A.vitesse=120\nA.directions=+-\n";
const QByteArray ExempleLu = "lecture=stricte\nA.pas=5000\nA.vitesse=120\nA.directions=+-\n";

} // namespace

class TestLimites : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lecture_data();
    void lecture();
    void plusStrictes_data();
    void plusStrictes();
    void reecriture_data();
    void reecriture();
    void course_data();
    void course();
    void courseCommePasAPas();
    void fichierMachine_data();
    void fichierMachine();
    void cheminMachine_data();
    void cheminMachine();
    void etcXdgToujoursLu();
};

void TestLimites::lecture_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QByteArray>("lues");                // as a new file would hold them
    QTest::addColumn<std::optional<RefusCles>>("refus"); // why (words: tst_formulation)
    const QByteArray refus = "<refusé>";
    using G = EchecCles::Genre;
    using V = RefusValeur::Genre;
    constexpr ChampLimite P = ChampLimite::Pas, S = ChampLimite::Vitesse,
                          D = ChampLimite::Directions, C = ChampLimite::Course;
    const auto cle = [](G genre, int ligne, QStringView texte, QStringView nom = {}) {
        return std::optional(RefusCles{genre, ligne, texte.toString(), nom.toString(), {}});
    };
    const auto v = [](QStringView nom, RefusValeur raison) {
        return std::optional(RefusCles{G::Valeur, 1, {}, nom.toString(), raison});
    };
    const std::optional<RefusCles> lu;
    // clang-format off
    const QList<std::tuple<const char *, QByteArray, QByteArray, std::optional<RefusCles>>> cas = {
        {"exemple",          Exemple,                             ExempleLu,       lu},
        {"vide",             "",                                  "",              lu},
        {"souple, CRLF, sans groupe", "lecture=souple\r\n; x\r\nG.vitesse=255\r\n", "G.vitesse=255\n", lu},
        {"bornes et zéros",  "B.pas=0\nC.pas=99999\nD.vitesse=000\nE.pas=0000000000007\n",
                             "B.pas=0\nC.pas=99999\nD.vitesse=0\nE.pas=7\n", lu},
        {"directions de Windows-1252", "F.directions=€é<>\n", "F.directions=€é<>\n", lu},
        {"courses",          "G.course=0\nA.course=099999999\n",  "A.course=99999999\nG.course=0\n", lu},
        {"BOM",              "\xEF\xBB\xBF" + Exemple,            refus, cle(G::Bom, 1, {})},
        {"BOM plus loin",    "# x\n\xEF\xBB\xBF" "C.vitesse=60\n",   refus, cle(G::CleInconnue, 2, u"\uFEFFC.vitesse")},
        {"BOM, octet non UTF-8", "A.pa\xEF\xBB\xBFs=5 \xFF\n",       refus, cle(G::CleInconnue, 1, u"A.pa\uFEFFs")},
        {"axe H",            "[Limites]\nH.pas=5\n",              refus, cle(G::CleInconnue, 2, u"H.pas")},
        {"sans =",           "\nA.pas\n",                         refus, cle(G::SansEgal, 2, u"A.pas")},
        {"autre groupe",     "[Axes]\nA.pas=5\n",                 refus, cle(G::GroupeInconnu, 1, u"[Axes]")},
        {"clé deux fois",    "A.pas=1\n#\nA.pas=2\n",             refus, cle(G::DeuxFois, 3, {}, u"A.pas")},
        {"valeur vide",      "A.vitesse=\n",                      refus, v(u"A.vitesse", valeur(V::Vide, S, {}, 255))},
        {"pas 100000",       "A.pas=100000\n",                    refus, v(u"A.pas", valeur(V::Depasse, P, u"100000", 99999))},
        {"vingt chiffres",   "A.pas=" + QByteArray(20, '9'),      refus, v(u"A.pas", valeur(V::Depasse, P, QString(20, u'9'), 99999))},
        {"vitesse 256",      "A.vitesse=256\n",                   refus, v(u"A.vitesse", valeur(V::Depasse, S, u"256", 255))},
        {"course 100000000", "A.course=100000000\n",              refus, v(u"A.course", valeur(V::Depasse, C, u"100000000", 99999999))},
        {"course signée",    "B.course=-5\n",                     refus, v(u"B.course", valeur(V::PasEnChiffres, C, u"-5", 99999999))},
        {"course vide",      "C.course=\n",                       refus, v(u"C.course", valeur(V::Vide, C, {}, 99999999))},
        {"course en capitales", "D.Course=5\n",                   refus, cle(G::Casse, 1, u"D.Course", u"D.course")},
        {"signe",            "A.pas=+5\n",                        refus, v(u"A.pas", valeur(V::PasEnChiffres, P, u"+5", 99999))},
        {"chiffre arabe",    "A.pas=\xD9\xA5\n",                  refus, v(u"A.pas", valeur(V::PasEnChiffres, P, u"\u0665", 99999))},
        {"lecture=oui",      "lecture=oui\n",                     refus, v(u"lecture", valeur(V::LectureInconnue, {}, u"oui"))},
        {"direction blanche", "A.directions=+ -\n",               refus, v(u"A.directions", valeur(V::DirectionBlanche, D, u" ", 0, U' '))},
        {"direction deux fois", "A.directions=+-+\n",             refus, v(u"A.directions", valeur(V::DirectionDeuxFois, D, u"+", 0, U'+'))},
        {"hors de 1252",     "A.directions=\xCE\xA9\n",           refus, v(u"A.directions", valeur(V::DirectionImpossible, D, u"Ω", 0, U'Ω'))},
        {"hors du plan de base", "A.directions=\xF0\x9F\x98\x80\n", refus, v(u"A.directions", valeur(V::DirectionImpossible, D, u"\U0001F600", 0, U'\U0001F600'))},
        {"UTF-8 invalide",   "A.directions=\xFF\n",               refus, v(u"A.directions", valeur(V::DirectionImpossible, D, u"\\xff", 0, 0xDCFF))},
    };
    // clang-format on
    for (const auto &[nom, contenu, lues, raison] : cas)
        QTest::newRow(nom) << contenu << lues << raison;
}

// What the file says is read exactly, every limit from the level given; the
// least thing not understood refuses the whole file, naming the line.
void TestLimites::lecture()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QByteArray, lues);
    QFETCH(std::optional<RefusCles>, refus);
    const LimitesAnalysees analyse = AnalyserLimites(contenu, NiveauLimite::Operateur);
    if (refus) {
        QVERIFY(analyse.echec);
        QVERIFY(memesChamps(champs(*analyse.echec), *refus));
        QCOMPARE(analyse.echec->forme.fichier, FichierCles::Limites);
        QCOMPARE(analyse.limites, Limites{}); // nothing of it kept
        return;
    }
    QVERIFY(!analyse.echec);
    QCOMPARE(canon(analyse.limites), lues);
    QCOMPARE(parVous(analyse.limites), lues); // all of them
}

void TestLimites::plusStrictes_data()
{
    QTest::addColumn<QByteArray>("machine");
    QTest::addColumn<QByteArray>("operateur");
    QTest::addColumn<QByteArray>("effectives");
    QTest::addColumn<QByteArray>("vous"); // those the operator set
    // clang-format off
    const QList<std::tuple<const char *, const char *, const char *, const char *, const char *>> cas = {
        {"machine seule",  "lecture=stricte\nA.pas=5000\n", "", "lecture=stricte\nA.pas=5000\n", ""},
        {"opérateur seul", "", "lecture=stricte\nB.directions=+-\n", "lecture=stricte\nB.directions=+-\n", "lecture=stricte\nB.directions=+-\n"},
        {"les deux",       "A.pas=5000\nA.vitesse=120\nA.directions=+-0\nC.pas=7\n", "A.pas=3000\nA.vitesse=200\nA.directions=-+\nD.vitesse=9\n",
                           "A.pas=3000\nA.vitesse=120\nA.directions=+-\nC.pas=7\nD.vitesse=9\n", "A.pas=3000\nA.directions=+-\nD.vitesse=9\n"},
        {"l'opérateur élargit", "lecture=stricte\nA.pas=5000\nA.vitesse=0\nA.directions=+\n", "lecture=souple\nA.pas=99999\nA.vitesse=255\nA.directions=+-\n",
                           "lecture=stricte\nA.pas=5000\nA.vitesse=0\nA.directions=+\n", ""},
        {"égalité",        "C.vitesse=50\nC.directions=+-\n", "C.vitesse=50\nC.directions=-+\n", "C.vitesse=50\nC.directions=+-\n", ""},
        {"aucune direction commune", "D.directions=+\n", "D.directions=-\n", "D.directions=\n", "D.directions=\n"},
        {"courses",        "A.course=1000\nB.course=50\nD.course=0\n", "A.course=500\nB.course=80\nC.course=7\nD.course=10\n",
                           "A.course=500\nB.course=50\nC.course=7\nD.course=0\n", "A.course=500\nC.course=7\n"},
    };
    for (const auto &[nom, machine, operateur, effectives, vous] : cas)
        QTest::newRow(nom) << QByteArray(machine) << QByteArray(operateur) << QByteArray(effectives) << QByteArray(vous);
    // clang-format on
}

// The stricter limit wins, with the level that set it: the lower bound, the
// directions both allow, strict reading if either asks; the machine on a tie.
void TestLimites::plusStrictes()
{
    QFETCH(QByteArray, machine);
    QFETCH(QByteArray, operateur);
    QFETCH(QByteArray, effectives);
    QFETCH(QByteArray, vous);
    const Limites retenues =
        PlusStrictes(AnalyserLimites(machine, NiveauLimite::Machine).limites,
                     AnalyserLimites(operateur, NiveauLimite::Operateur).limites);
    QCOMPARE(canon(retenues), effectives);
    QCOMPARE(parVous(retenues), vous);
}

void TestLimites::reecriture_data()
{
    QTest::addColumn<QByteArray>("avant");
    QTest::addColumn<QByteArray>("limites"); // the new ones, as a file holds them
    QTest::addColumn<QByteArray>("apres");
    const QByteArray notes = "# Banc 2\n[Limites]\n\n; la pince\n";
    // clang-format off
    QTest::newRow("changé sur place") << notes + "A.pas=5000\nlecture=stricte\n# fin\n" << QByteArray("A.pas=4000\n")
                                      << notes + "A.pas=4000\nlecture=souple\n# fin\n";
    QTest::newRow("retiré, ajouté")   << notes + "A.vitesse=10\n# fin\n" << QByteArray("G.directions=+\n")
                                      << notes + "# fin\nG.directions=+\n";
    QTest::newRow("CRLF")             << QByteArray("; x\r\nA.pas=1\r\n") << QByteArray("A.pas=2\n")
                                      << QByteArray("; x\r\nA.pas=2\r\n");
    QTest::newRow("course")           << notes + "B.course=10\nA.pas=1\n" << QByteArray("A.pas=1\nB.course=20\nC.course=0\n")
                                      << notes + "B.course=20\nA.pas=1\nC.course=0\n";
    QTest::newRow("inchangé")         << Exemple << Exemple << Exemple;
    // clang-format on
}

// A save changes the lines of the limits that change, where they stand, and
// keeps every comment and blank line; what it writes reads back the same.
void TestLimites::reecriture()
{
    QFETCH(QByteArray, avant);
    QFETCH(QByteArray, limites);
    QFETCH(QByteArray, apres);
    const Limites nouvelles = AnalyserLimites(limites, NiveauLimite::Operateur).limites;
    const QByteArray formees = FormerLimites(nouvelles, avant);
    QCOMPARE(formees, apres);
    QCOMPARE(AnalyserLimites(formees, NiveauLimite::Operateur).limites, nouvelles);
}

void TestLimites::course_data()
{
    QTest::addColumn<QString>("etapes"); // as programme() reads them
    QTest::addColumn<int>("depuis");     // from 1
    QTest::addColumn<int>("cycles");
    QTest::addColumn<QByteArray>("limites");
    QTest::addColumn<QString>("axeB");   // axis B's figures, as faits() writes them
    QTest::addColumn<QString>("derive"); // the axes that drift, one a line: axis, per cycle, end
    QTest::addColumn<QString>("refus");  // "B 2/1 +120": axis, step/cycle, position (? unknown)
    QTest::addColumn<QString>("detail"); // the step's name|the run is it|limit|whose|direction
                                         // The figures' and refusals' words: tst_formulation.
    // clang-format off
    const QList<std::tuple<const char *, const char *, int, int, const char *, const char *, const char *, const char *, const char *>> cas = {
        {"aller-retour",        "B+100|B-100",        1, 3,     "",              "0 0..100 0",           "",             "",             ""},
        {"immobile",            "B+0|B-0|C+0",        1, 5,     "B.course=0",    "",                     "",             "",             ""},
        {"dérive",              "B+100|B-50",         1, 3,     "",              "50 0..200 150",        "B 50 150",     "",             ""},
        {"recul",               "B-50",               1, 4,     "",              "-50 -200..0 -200",     "B -50 -200",   "",             ""},
        {"un seul parcours",    "B+100|B-50",         1, 1,     "",              "50 0..100 50",         "",             "",             ""},
        {"deux axes",           "B+10 C-1|C-4",       1, 2,     "",              "10 0..20 20",          "B 10 20\nC -5 -10", "",        ""},
        {"depuis",              "B+100|B-50|B+10",    2, 2,     "",              "60 -50..60 20",        "B 60 20",      "",             ""},
        {"dans sa course",      "B+100|B-100",        1, 3,     "B.course=100",  "0 0..100 0",           "",             "",             ""},
        {"premier parcours",    "B+60|B+60|B-120",    1, 1,     "B.course=100",  "0 0..120 0",           "",             "B 2/1 +120",   "|0|100|machine|"},
        {"dérive hors course",  "va: B+30|vient: B-10", 1, 10,  "B.course=100",  "20 0..210 200",        "B 20 200",     "B 1/5 +110",   "va|0|100|machine|"},
        {"10000 parcours",      "B-7|B+2|B+3",        1, 10000, "B.course=1000", "-2 -20005..0 -20000",  "B -2 -20000",  "B 1/498 -1001", "|0|1000|machine|"},
        {"depuis, en dessous",  "B+90|B+20|B-100",    3, 2,     "B.course=99",   "10 -100..10 -90",      "B 10 -90",     "B 3/1 -100",   "|0|99|machine|"},
        {"direction inconnue",  "B+10|Bx0|B+5",       1, 2,     "",              "? 0..10 ? inconnue 2/1 [x]", "",       "",             ""},
        {"inconnue et course",  "B+10|Bx0|B+5",       1, 2,     "B.course=1000", "? 0..10 ? inconnue 2/1 [x]", "",       "B 2/1 ?",      "|0|1000|machine|x"},
        {"inconnue passée",     "B_0|B+5",            2, 1,     "B.course=1000", "? 0..5 5",             "",             "",             ""},
        {"inconnue au retour",  "B_0|B+5",            2, 2,     "B.course=1000", "? 0..5 ? inconnue 1/2 [ ]", "",        "B 1/2 ?",      "|0|1000|machine| "},
        {"sortie avant l'inconnue", "B+200|Bx0",      1, 1,     "B.course=100",  "? 0..200 ? inconnue 2/1 [x]", "",      "B 1/1 +200",   "|0|100|machine|"},
        {"une grille",          "B+120 C-120",        1, 1,     "B.course=100\nC.course=120", "120 0..120 120", "",     "B 1/1 +120",   "|1|100|machine|"},
        {"votre limite",        "C+1|B-3",            1, 1,     "B.course=2",    "-3 -3..0 -3",          "",             "B 2/1 -3",     "|0|2|vous|"},
    };
    // clang-format on
    for (const auto &[nom, etapes, depuis, cycles, limites, axeB, derive, refus, detail] : cas)
        QTest::newRow(nom) << QString::fromUtf8(etapes) << depuis << cycles << QByteArray(limites)
                           << QString::fromUtf8(axeB) << QString::fromUtf8(derive)
                           << QString::fromUtf8(refus) << QString::fromUtf8(detail);
}

// Where a run takes each axis, step by step over every cycle from the start
// taken as 0: its figures, the axes that drift, and the travel limit that
// refuses it, naming the axis, the step, the cycle and the position.
void TestLimites::course()
{
    QFETCH(QString, etapes);
    QFETCH(int, depuis);
    QFETCH(int, cycles);
    QFETCH(QByteArray, limites);
    QFETCH(QString, axeB);
    QFETCH(QString, derive);
    QFETCH(QString, refus);
    QFETCH(QString, detail);
    const NiveauLimite niveau = QByteArray(QTest::currentDataTag()) == "votre limite"
                                    ? NiveauLimite::Operateur
                                    : NiveauLimite::Machine;
    const LimitesAnalysees lues = AnalyserLimites(limites, niveau);
    QVERIFY(!lues.echec);
    const Programme p = programme(etapes);
    const Course course(p, depuis - 1, cycles);
    QCOMPARE(faits(course.axe(2)), axeB);
    QStringList derives;
    for (const DeriveAxe &d : Derives(course))
        derives << QStringLiteral("%1 %2 %3").arg(LettreAxe(d.axe)).arg(d.parCycle).arg(d.arrivee);
    QCOMPARE(derives.join(u'\n'), derive);
    const QList<ValeurRefusee> refusees = VerifierCourse(p, lues.limites, depuis - 1, cycles);
    QCOMPARE(refusees.size(), refus.isEmpty() ? 0 : 1);
    if (refus.isEmpty())
        return;
    const ValeurRefusee &refusee = refusees[0];
    QVERIFY(refusee.horsLimite && refusee.course);
    const CourseRefusee &c = *refusee.course;
    QCOMPARE(QStringLiteral("%1 %2/%3 %4")
                 .arg(LettreAxe(refusee.axe))
                 .arg(c.point.etape + 1)
                 .arg(c.point.cycle + 1)
                 .arg(c.position ? PositionSignee(*c.position) : QStringLiteral("?")),
             refus);
    const auto sortie = course.sortie(refusee.axe, c.borne);
    QVERIFY(sortie);
    QCOMPARE(sortie->point, (PointCourse{c.point.etape, c.point.cycle}));
    QCOMPARE(sortie->position, c.position);
    QCOMPARE(QStringLiteral("%1|%2|%3|%4|%5")
                 .arg(c.point.nom)
                 .arg(int(c.point.envoiSeul))
                 .arg(c.borne)
                 .arg(c.niveau == NiveauLimite::Operateur ? u"vous" : u"machine")
                 .arg(c.position ? QString() : QString(c.direction)),
             detail);
}

// Against a run followed step by step: the positions, the lowest and
// highest over stretches, and the first step beyond each limit, for many
// small programs of every kind.
void TestLimites::courseCommePasAPas()
{
    QRandomGenerator hasard(32);
    for (int essai = 0; essai < 300; ++essai) {
        const int n = hasard.bounded(1, 6), cycles = hasard.bounded(1, 8);
        const int depuis = hasard.bounded(n);
        QStringList etapes;
        for (int k = 0; k < n; ++k) {
            const int tirage = hasard.bounded(24);
            const QChar direction = tirage == 0 ? u'x' : tirage % 2 ? u'+' : u'-';
            etapes << QStringLiteral("B%1%2").arg(direction).arg(hasard.bounded(6));
        }
        const Programme p = programme(etapes.join(u'|'));
        const Course course(p, depuis, cycles);
        QList<std::optional<qint64>> pasAPas{0}; // point by point
        QList<PointCourse> points{{}};
        for (int cycle = 0; cycle < cycles; ++cycle)
            for (int k = cycle == 0 ? depuis : 0; k < n; ++k) {
                const Axe &axe = p.etapes[k].grille.axe(2);
                const auto avant = pasAPas.last();
                pasAPas << (avant && axe.Direction != u'x'
                                ? std::optional(*avant + (axe.Direction == u'+' ? 1 : -1) * axe.Pas)
                                : std::nullopt);
                points << PointCourse{k, cycle};
            }
        const QString cas =
            etapes.join(u'|') + QStringLiteral(" depuis %1, %2 fois").arg(depuis).arg(cycles);
        QCOMPARE(course.points() + 1, pasAPas.size());
        for (qint64 i = 0; i < pasAPas.size(); ++i)
            QVERIFY2(course.position(2, i) == pasAPas[i] &&
                         (i == 0 || course.point(i) == points[i]),
                     qPrintable(cas));
        for (int fois = 0; fois < 10; ++fois) {
            const qint64 a = hasard.bounded(pasAPas.size()), b = hasard.bounded(pasAPas.size());
            std::optional<EtendueCourse> attendue;
            for (qint64 i = a; i <= b && pasAPas[i]; ++i)
                attendue =
                    EtendueCourse{std::min(attendue ? attendue->bas : *pasAPas[i], *pasAPas[i]),
                                  std::max(attendue ? attendue->haut : *pasAPas[i], *pasAPas[i])};
            QVERIFY2(course.etendue(2, a, b) == attendue, qPrintable(cas));
        }
        for (qint64 limite = 0; limite <= 12; ++limite) {
            std::optional<SortieCourse> attendue;
            for (qint64 i = 1; i < pasAPas.size() && !attendue; ++i)
                if (!pasAPas[i] || *pasAPas[i] > limite || *pasAPas[i] < -limite)
                    attendue = SortieCourse{points[i], pasAPas[i]};
            QVERIFY2(course.sortie(2, limite) == attendue, qPrintable(cas));
        }
    }
}

void TestLimites::fichierMachine_data()
{
    QTest::addColumn<QByteArray>("contenu"); // or what stands there: <lien cassé>…
    QTest::addColumn<QString>("etat");       // its mode and owner, then its folder's
    QTest::addColumn<Doute>("doute");        // why it is doubtful; none: it applies
    const QByteArray c = "B.pas=5000\nlecture=stricte\n";
    // %F, %D and %A stand for the file, its folder and the folder elsewhere.
    // Their words: tst_formulation.
    using G = EchecProtection::Genre;
    const Doute sur;
    const auto p = [](G genre, const char *chemin, quint32 qui, quint32 mode, const char *faire) {
        return Doute{
            protection(genre, QString::fromUtf8(chemin), qui, mode, QString::fromUtf8(faire))};
    };
    // clang-format off
    QTest::newRow("protégé")            << c << "0644 0 0755 0" << sur;
    QTest::newRow("modifiable par tous") << c << "0666 0 0755 0" << p(G::FichierModifiable, "%F", 0, 0666, "sudo chmod go-w %F");
    QTest::newRow("par son groupe")     << c << "0664 0 0755 0" << p(G::FichierModifiable, "%F", 0, 0664, "sudo chmod go-w %F");
    QTest::newRow("à un autre")         << c << "0644 65534 0755 0" << p(G::FichierAUnAutre, "%F", 65534, 0644, "sudo chown root: %F");
    QTest::newRow("à un autre, ouvert") << c << "0664 65534 0755 0" << p(G::FichierAUnAutre, "%F", 65534, 0664, "sudo chown root: %F && sudo chmod go-w %F");
    QTest::newRow("dossier ouvert")     << c << "0644 0 0777 0" << p(G::DossierModifiable, "%D", 0, 0777, "sudo chmod go-w %D");
    QTest::newRow("dossier d'un autre") << c << "0644 0 0755 65534" << p(G::DossierAUnAutre, "%D", 65534, 0755, "sudo chown root: %D");
    QTest::newRow("lien vers un dossier ouvert") << QByteArray("<lien ailleurs>") << "0644 0 0755 0" << p(G::DossierModifiable, "%A", 0, 0777, "sudo chmod go-w %A");
    QTest::newRow("lien cassé")         << QByteArray("<lien cassé>") << "0644 0 0755 0" << Doute{EchecLecture{.genre = EchecLecture::Genre::LienSansCible}};
    QTest::newRow("pas compris")        << c + "B.pas=1\n" << "0644 0 0755 0" << Doute{RefusCles{EchecCles::Genre::DeuxFois, 3, {}, QStringLiteral("B.pas"), {}}};
    QTest::newRow("absent")             << QByteArray("<absent>") << "0644 0 0755 0" << sur;
    // Its folder is a link into a folder whose parent another user may
    // change: moved away, the folder takes the limits with it.
    QTest::newRow("lien vers un dossier dont le parent est à un autre") << QByteArray("<dossier lié>") << "0644 0 0755 0" << p(G::DossierAUnAutre, "%A/parent", 65534, 0755, "sudo chown root: %A/parent");
    // A link of another user's in a sticky folder (/tmp): its owner may
    // put another in its place.
    QTest::newRow("lien d'un autre dans un dossier collant") << QByteArray("<lien collant>") << "0644 0 0755 0" << p(G::PartieAUnAutre, "%D", 65534, 0, "sudo chown -h root: %D");
    // clang-format on
}

// A machine file applies only when none but root may change it, nor any
// folder on its way; otherwise it is doubtful, named, and sets no limit.
void TestLimites::fichierMachine()
{
    if (::geteuid() != 0)
        QSKIP("il faut être root pour faire un fichier de limites de la machine (à root)");
    QFETCH(QByteArray, contenu);
    QFETCH(QString, etat);
    const QStringList e = etat.split(u' ');
    const auto mode = mode_t(e[0].toUInt(nullptr, 8)),
               modeDossier = mode_t(e[2].toUInt(nullptr, 8));
    const auto proprietaire = uid_t(e[1].toUInt()), proprietaireDossier = uid_t(e[3].toUInt());
    QFETCH(Doute, doute);
    QTemporaryDir machine, ailleurs;
    const auto remise = poser("XDG_CONFIG_DIRS", QFile::encodeName(machine.path()));
    const QString dossier = machine.filePath(QStringLiteral("Tarvik"));
    const QString fichier = dossier + QStringLiteral("/limites.conf");
    const QByteArray local = QFile::encodeName(fichier);
    QVERIFY(installer(machine.path(),
                      contenu.startsWith('<') ? "B.pas=5000\nlecture=stricte\n" : contenu));
    QVERIFY(::chmod(local, mode) == 0 && ::chown(local, proprietaire, 0) == 0);
    QVERIFY(::chmod(QFile::encodeName(dossier), modeDossier) == 0 &&
            ::chown(QFile::encodeName(dossier), proprietaireDossier, 0) == 0);
    QVERIFY(placer(contenu, machine.path(), ailleurs.path()));
    const LimitesLues lues = LireLimites();
    const bool applique = !doute.raison && contenu != "<absent>";
    QCOMPARE(lues.fichiersMachine, applique ? QStringList{fichier} : QStringList{});
    QCOMPARE(canon(lues.effectives),
             applique ? QByteArray("lecture=stricte\nB.pas=5000\n") : QByteArray());
    QCOMPARE(bool(lues.echec), bool(doute.raison));
    if (!lues.echec)
        return;
    QCOMPARE(lues.echec->fichiers.size(), 1);
    QCOMPARE(lues.echec->fichiers[0].chemin, fichier);
    QVERIFY(memeRaison(lues.echec->fichiers[0],
                       situer(*doute.raison, fichier, dossier, ailleurs.path())));
}

void TestLimites::cheminMachine_data()
{
    QTest::addColumn<QString>("cas");
    QTest::addColumn<Doute>("doute"); // why it is doubtful; none: no limits
    using G = EchecProtection::Genre;
    QTest::newRow("dossier absent") << "" << Doute{};
    QTest::newRow("lien qui ne mène à rien")
        << "lien perdu" << Doute{protection(G::LienVersRien, QStringLiteral("/etc/xdg/Tarvik"))};
    QTest::newRow("fichier retiré d'un dossier qu'un autre peut déplacer")
        << "dossier vidé"
        << Doute{protection(G::DossierModifiable, QStringLiteral("%A"), 0, 0777,
                            QStringLiteral("sudo chmod go-w %A"))};
}

// Absent from /etc/xdg, the machine file sets no limit only when no one
// but root could have taken it away: a link on its way that leads nowhere,
// or a folder another user may change, makes it doubtful. Seen in a mount
// namespace of this test's own, /etc/xdg covered by a file system of its
// own.
void TestLimites::cheminMachine()
{
    QFETCH(QString, cas);
    QFETCH(Doute, doute);
    if (::geteuid() != 0)
        QSKIP("il faut être root pour couvrir /etc/xdg dans un espace de montage privé");
    if (const QString raison = couvrirEtcXdg(); !raison.isEmpty())
        QSKIP(qPrintable(raison));
    const auto demonter = qScopeGuard([] { ::umount2("/etc/xdg", MNT_DETACH); });
    const auto remise = poser("XDG_CONFIG_DIRS", "");
    QTemporaryDir ailleurs;
    const QString sous = ailleurs.filePath(QStringLiteral("sous"));
    if (cas == QLatin1String("lien perdu"))
        QVERIFY(QFile::link(ailleurs.filePath(QStringLiteral("disparu")),
                            QStringLiteral("/etc/xdg/Tarvik")));
    if (cas == u"dossier vidé")
        QVERIFY(installer(sous, "A.pas=10\n") && QFile::remove(sous + "/Tarvik/limites.conf") &&
                ::chmod(QFile::encodeName(ailleurs.path()), 0777) == 0 &&
                QFile::link(sous + "/Tarvik", QStringLiteral("/etc/xdg/Tarvik")));
    const LimitesLues lues = LireLimites();
    QCOMPARE(lues.fichiersMachine, QStringList{});
    QCOMPARE(canon(lues.effectives), QByteArray());
    QCOMPARE(bool(lues.echec), bool(doute.raison));
    if (!lues.echec)
        return;
    QCOMPARE(lues.echec->fichiers.size(), 1);
    QCOMPARE(lues.echec->fichiers[0].chemin, QStringLiteral("/etc/xdg/Tarvik/limites.conf"));
    QVERIFY(memeRaison(lues.echec->fichiers[0], situer(*doute.raison, {}, {}, ailleurs.path())));
}

// The operator's environment never hides the machine's own file: with
// XDG_CONFIG_DIRS elsewhere (its relative folder passed over), /etc/xdg is
// read all the same. Seen in a mount namespace of this test's own, /etc/xdg
// covered by a file system of its own.
void TestLimites::etcXdgToujoursLu()
{
    QTemporaryDir ailleurs; // a relative folder is passed over
    const auto remise = poser("XDG_CONFIG_DIRS", "banc:" + QFile::encodeName(ailleurs.path()));
    const QString fichier = ailleurs.filePath(QStringLiteral("Tarvik/limites.conf"));
    QCOMPARE(CheminsLimitesMachine(),
             QStringList({fichier, QStringLiteral("/etc/xdg/Tarvik/limites.conf")}));
    if (::geteuid() != 0)
        QSKIP("il faut être root pour couvrir /etc/xdg dans un espace de montage privé");
    if (const QString raison = couvrirEtcXdg(); !raison.isEmpty())
        QSKIP(qPrintable(raison));
    const auto demonter = qScopeGuard([] { ::umount2("/etc/xdg", MNT_DETACH); });
    QVERIFY(installer(QStringLiteral("/etc/xdg"), "A.pas=10\n"));
    QVERIFY(installer(ailleurs.path(), "A.pas=20\nB.vitesse=3\n"));
    const LimitesLues lues = LireLimites();
    QVERIFY(!lues.echec);
    QCOMPARE(lues.fichiersMachine, CheminsLimitesMachine());
    QCOMPARE(canon(lues.effectives), QByteArray("A.pas=10\nB.vitesse=3\n"));
    QCOMPARE(parVous(lues.effectives), QByteArray());
}

QTEST_GUILESS_MAIN(TestLimites)
#include "tst_limites.moc"
