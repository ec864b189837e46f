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

namespace {

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
    QTest::addColumn<QByteArray>("lues"); // as a new file would hold them
    QTest::addColumn<QString>("motif");   // why it is refused; empty: understood
    const QByteArray refus = "<refusé>";
    // clang-format off
    const QList<std::tuple<const char *, QByteArray, QByteArray, const char *>> cas = {
        {"exemple",          Exemple,                             ExempleLu,       ""},
        {"vide",             "",                                  "",              ""},
        {"souple, CRLF, sans groupe", "lecture=souple\r\n; x\r\nG.vitesse=255\r\n", "G.vitesse=255\n", ""},
        {"bornes et zéros",  "B.pas=0\nC.pas=99999\nD.vitesse=000\nE.pas=0000000000007\n",
                             "B.pas=0\nC.pas=99999\nD.vitesse=0\nE.pas=7\n", ""},
        {"directions de Windows-1252", "F.directions=€é<>\n", "F.directions=€é<>\n", ""},
        {"courses",          "G.course=0\nA.course=099999999\n",  "A.course=99999999\nG.course=0\n", ""},
        {"BOM",              "\xEF\xBB\xBF" + Exemple,            refus, "ligne 1 : marque d'ordre des octets (BOM) au début du fichier : enregistrez-le en UTF-8 sans BOM"},
        {"BOM plus loin",    "# x\n\xEF\xBB\xBF" "C.vitesse=60\n",   refus, "ligne 2 : clé inconnue"},
        {"BOM, octet non UTF-8", "A.pa\xEF\xBB\xBFs=5 \xFF\n",       refus, "ligne 1 : clé inconnue"},
        {"axe H",            "[Limites]\nH.pas=5\n",              refus, "ligne 2 : clé inconnue « H.pas » (les clés sont lecture, et pour chaque axe de A à G : A.pas, A.vitesse, A.directions, A.course)"},
        {"sans =",           "\nA.pas\n",                         refus, "ligne 2 : « = » manque dans « A.pas » : une ligne s'écrit clé=valeur"},
        {"autre groupe",     "[Axes]\nA.pas=5\n",                 refus, "ligne 1 : groupe inconnu « [Axes] »"},
        {"clé deux fois",    "A.pas=1\n#\nA.pas=2\n",             refus, "ligne 3 : « A.pas » est donnée deux fois"},
        {"valeur vide",      "A.vitesse=\n",                      refus, "ligne 1 (A.vitesse) : valeur vide"},
        {"pas 100000",       "A.pas=100000\n",                    refus, "ligne 1 (A.pas) : le nombre de pas 100000 dépasse 99999"},
        {"vingt chiffres",   "A.pas=" + QByteArray(20, '9'),      refus, "le nombre de pas 99999999999999999999 dépasse 99999"},
        {"vitesse 256",      "A.vitesse=256\n",                   refus, "ligne 1 (A.vitesse) : la vitesse 256 dépasse 255"},
        {"course 100000000", "A.course=100000000\n",              refus, "ligne 1 (A.course) : la course 100000000 dépasse 99999999"},
        {"course signée",    "B.course=-5\n",                     refus, "la course doit s'écrire en chiffres seuls, de 0 à 99999999 (« -5 »)"},
        {"course vide",      "C.course=\n",                       refus, "ligne 1 (C.course) : valeur vide"},
        {"course en capitales", "D.Course=5\n",                   refus, "ligne 1 : clé « D.Course » : écrivez « D.course », les clés distinguent majuscules et minuscules"},
        {"signe",            "A.pas=+5\n",                        refus, "le nombre de pas doit s'écrire en chiffres seuls, de 0 à 99999 (« +5 »)"},
        {"chiffre arabe",    "A.pas=\xD9\xA5\n",                  refus, "en chiffres seuls"},
        {"lecture=oui",      "lecture=oui\n",                     refus, "ligne 1 (lecture) : la lecture est « stricte » ou « souple », pas « oui »"},
        {"direction blanche", "A.directions=+ -\n",               refus, "ligne 1 (A.directions) : une direction ne peut pas être un blanc (U+0020)"},
        {"direction deux fois", "A.directions=+-+\n",             refus, "la direction « + » est donnée deux fois"},
        {"hors de 1252",     "A.directions=\xCE\xA9\n",           refus, "« Ω » (U+03A9) n'est pas une direction possible"},
        {"hors du plan de base", "A.directions=\xF0\x9F\x98\x80\n", refus, "(U+1F600) n'est pas une direction possible"},
        {"UTF-8 invalide",   "A.directions=\xFF\n",               refus, "« \\xff » (U+DCFF) n'est pas une direction possible"},
    };
    // clang-format on
    for (const auto &[nom, contenu, lues, motif] : cas)
        QTest::newRow(nom) << contenu << lues << QString::fromUtf8(motif);
}

// What the file says is read exactly, every limit from the level given; the
// least thing not understood refuses the whole file, naming the line.
void TestLimites::lecture()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QByteArray, lues);
    QFETCH(QString, motif);
    const LimitesAnalysees analyse = AnalyserLimites(contenu, NiveauLimite::Operateur);
    if (!motif.isEmpty()) {
        QVERIFY(analyse.echec);
        QVERIFY2(analyse.echec->message.contains(motif), qPrintable(analyse.echec->message));
        QCOMPARE(analyse.limites, Limites{}); // nothing of it kept
        return;
    }
    QVERIFY2(!analyse.echec, qPrintable(analyse.echec.value_or(Echec{}).message));
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
    QTest::addColumn<QString>("ligneB");  // axis B's figures; empty: it does not move
    QTest::addColumn<QString>("derive");  // the drift warnings, one a line
    QTest::addColumn<QString>("refus");   // "B 2/1 +120": axis, step/cycle, position (? unknown)
    QTest::addColumn<QString>("message"); // what the refusal says
    const QString deriveB = QStringLiteral("l'axe B avance de +50 pas à chaque parcours : ");
    // clang-format off
    const QList<std::tuple<const char *, const char *, int, int, const char *, const char *, QString, const char *, const char *>> cas = {
        {"aller-retour",        "B+100|B-100",        1, 3,     "",              "0 pas à chaque parcours ; au plus bas 0, au plus haut +100 ; à la fin 0", "", "", ""},
        {"immobile",            "B+0|B-0|C+0",        1, 5,     "B.course=0",    "", "", "", ""},
        {"dérive",              "B+100|B-50",         1, 3,     "",              "+50 pas à chaque parcours ; au plus bas 0, au plus haut +200 ; à la fin +150", deriveB + "+150 après 3 parcours", "", ""},
        {"recul",               "B-50",               1, 4,     "",              "-50 pas à chaque parcours ; au plus bas -200, au plus haut 0 ; à la fin -200", "l'axe B recule de -50 pas à chaque parcours : -200 après 4 parcours", "", ""},
        {"un seul parcours",    "B+100|B-50",         1, 1,     "",              "+50 pas à chaque parcours ; au plus bas 0, au plus haut +100 ; à la fin +50", "", "", ""},
        {"deux axes",           "B+10 C-1|C-4",       1, 2,     "",              "+10 pas à chaque parcours ; au plus bas 0, au plus haut +20 ; à la fin +20",
                                "l'axe B avance de +10 pas à chaque parcours : +20 après 2 parcours\nl'axe C recule de -5 pas à chaque parcours : -10 après 2 parcours", "", ""},
        {"depuis",              "B+100|B-50|B+10",    2, 2,     "",              "+60 pas à chaque parcours ; au plus bas -50, au plus haut +60 ; à la fin +20", "l'axe B avance de +60 pas à chaque parcours : +20 après 2 parcours", "", ""},
        {"dans sa course",      "B+100|B-100",        1, 3,     "B.course=100",  "0 pas à chaque parcours ; au plus bas 0, au plus haut +100 ; à la fin 0", "", "", ""},
        {"premier parcours",    "B+60|B+60|B-120",    1, 1,     "B.course=100",  "0 pas à chaque parcours ; au plus bas 0, au plus haut +120 ; à la fin 0", "", "B 2/1 +120",
                                "Course refusée pour Axe 02 (B) : l'étape 2 du parcours 1 l'amène à +120 pas de son départ.\nCet axe ne va pas à plus de 100 pas de son départ, d'un côté comme de l'autre (limite de la machine)"},
        {"dérive hors course",  "va: B+30|vient: B-10", 1, 10,  "B.course=100",  "+20 pas à chaque parcours ; au plus bas 0, au plus haut +210 ; à la fin +200", "l'axe B avance de +20 pas à chaque parcours : +200 après 10 parcours", "B 1/5 +110",
                                "l'étape 1 (va) du parcours 5 l'amène à +110 pas"},
        {"10000 parcours",      "B-7|B+2|B+3",        1, 10000, "B.course=1000", "-2 pas à chaque parcours ; au plus bas -20005, au plus haut 0 ; à la fin -20000",
                                "l'axe B recule de -2 pas à chaque parcours : -20000 après 10000 parcours", "B 1/498 -1001", "du parcours 498 l'amène à -1001 pas"},
        {"depuis, en dessous",  "B+90|B+20|B-100",    3, 2,     "B.course=99",   "+10 pas à chaque parcours ; au plus bas -100, au plus haut +10 ; à la fin -90", "l'axe B avance de +10 pas à chaque parcours : -90 après 2 parcours", "B 3/1 -100", ""},
        {"direction inconnue",  "B+10|Bx0|B+5",       1, 2,     "",              "position inconnue dès l'étape 2 du parcours 1, dont la direction « x » n'est ni « + » ni « - » ; jusque-là, au plus bas 0, au plus haut +10", "", "", ""},
        {"inconnue et course",  "B+10|Bx0|B+5",       1, 2,     "B.course=1000", "position inconnue dès l'étape 2 du parcours 1", "", "B 2/1 ?",
                                "Course refusée pour Axe 02 (B) : l'étape 2 du parcours 1 l'envoie dans la direction « x », ni « + » ni « - » : nul ne peut dire où elle l'amène."},
        {"inconnue passée",     "B_0|B+5",            2, 1,     "B.course=1000", "au plus bas 0, au plus haut +5 ; à la fin +5", "", "", ""},
        {"inconnue au retour",  "B_0|B+5",            2, 2,     "B.course=1000", "position inconnue dès l'étape 1 du parcours 2, dont la direction U+0020 n'est", "", "B 1/2 ?", "dans la direction U+0020, ni"},
        {"sortie avant l'inconnue", "B+200|Bx0",      1, 1,     "B.course=100",  "position inconnue dès l'étape 2", "", "B 1/1 +200", ""},
        {"une grille",          "B+120 C-120",        1, 1,     "B.course=100\nC.course=120", "+120 pas à chaque parcours ; au plus bas 0, au plus haut +120 ; à la fin +120", "", "B 1/1 +120",
                                "Course refusée pour Axe 02 (B) : cet envoi l'amène à +120 pas de son départ."},
        {"votre limite",        "C+1|B-3",            1, 1,     "B.course=2",    "-3 pas à chaque parcours ; au plus bas -3, au plus haut 0 ; à la fin -3", "", "B 2/1 -3", "(votre limite)"},
    };
    // clang-format on
    for (const auto &[nom, etapes, depuis, cycles, limites, ligneB, derive, refus, message] : cas)
        QTest::newRow(nom) << QString::fromUtf8(etapes) << depuis << cycles << QByteArray(limites)
                           << (*ligneB ? QStringLiteral("Axe 02 (B) : ") + QString::fromUtf8(ligneB)
                                       : QString())
                           << derive << QString::fromUtf8(refus) << QString::fromUtf8(message);
}

// Where a run takes each axis, step by step over every cycle from the start
// taken as 0: its figures, the drift said, and the travel limit that
// refuses it, naming the axis, the step, the cycle and the position.
void TestLimites::course()
{
    QFETCH(QString, etapes);
    QFETCH(int, depuis);
    QFETCH(int, cycles);
    QFETCH(QByteArray, limites);
    QFETCH(QString, ligneB);
    QFETCH(QString, derive);
    QFETCH(QString, refus);
    QFETCH(QString, message);
    const NiveauLimite niveau = QByteArray(QTest::currentDataTag()) == "votre limite"
                                    ? NiveauLimite::Operateur
                                    : NiveauLimite::Machine;
    const LimitesAnalysees lues = AnalyserLimites(limites, niveau);
    QVERIFY(!lues.echec);
    const Programme p = programme(etapes);
    const Course course(p, depuis - 1, cycles);
    QStringList lignes;
    for (const QString &ligne : LignesCourse(course))
        lignes << espaces(ligne);
    QCOMPARE(lignes[0], QStringLiteral("Positions comptées depuis le départ du programme, "
                                       "pris comme 0 : Tarvik ne sait pas où se trouve "
                                       "vraiment la machine."));
    const QStringList deB = lignes.filter(QStringLiteral("(B) :"));
    QCOMPARE(deB.size(), ligneB.isEmpty() ? 0 : 1);
    if (!ligneB.isEmpty())
        QVERIFY2(deB[0].startsWith(ligneB), qPrintable(deB[0]));
    QCOMPARE(espaces(AvertissementsDerive(course).join(u'\n')), derive);
    const QList<ValeurRefusee> refusees = VerifierCourse(p, lues.limites, depuis - 1, cycles);
    QCOMPARE(refusees.size(), refus.isEmpty() ? 0 : 1);
    if (refus.isEmpty())
        return;
    const int axe = refusees[0].axe;
    const auto sortie = course.sortie(axe, *lues.limites.axes[std::size_t(axe - 1)].course);
    QVERIFY(sortie);
    QCOMPARE(QStringLiteral("%1 %2/%3 %4")
                 .arg(LettreAxe(axe))
                 .arg(sortie->point.etape + 1)
                 .arg(sortie->point.cycle + 1)
                 .arg(sortie->position ? PositionSignee(*sortie->position) : QStringLiteral("?")),
             refus);
    QVERIFY2(espaces(refusees[0].message).contains(message), qPrintable(refusees[0].message));
    QVERIFY(refusees[0].horsLimite);
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
    QTest::addColumn<QString>("motif");      // why it is doubtful; empty: it applies
    const QByteArray c = "B.pas=5000\nlecture=stricte\n";
    // %F and %D stand for the file and its folder, in the command that mends them.
    const QString seul = QStringLiteral(", alors que seul root doit pouvoir le modifier. Pour le protéger : « sudo chmod go-w %F »");
    const QString douteux = QStringLiteral("limites.conf » est douteux, car il n'est pas protégé : ");
    const QString chemin = QStringLiteral(" », sur son chemin, ");
    // clang-format off
    QTest::newRow("protégé")            << c << "0644 0 0755 0" << "";
    QTest::newRow("modifiable par tous") << c << "0666 0 0755 0" << douteux + "il appartient bien à root, mais son groupe et tous les autres peuvent le modifier (mode 0666)" + seul;
    QTest::newRow("par son groupe")     << c << "0664 0 0755 0" << douteux + "il appartient bien à root, mais son groupe peut le modifier (mode 0664)" + seul;
    QTest::newRow("à un autre")         << c << "0644 65534 0755 0" << douteux + "il appartient à l'utilisateur n° 65534 et non à root (mode 0644) : cet utilisateur peut le changer. Pour le protéger : « sudo chown root: %F »";
    QTest::newRow("à un autre, ouvert") << c << "0664 65534 0755 0" << "Pour le protéger : « sudo chown root: %F && sudo chmod go-w %F »";
    QTest::newRow("dossier ouvert")     << c << "0644 0 0777 0" << "/Tarvik" + chemin + "n'est pas protégé : son groupe et tous les autres peuvent le modifier (mode 0777), et seul root doit pouvoir le modifier. Pour le protéger : « sudo chmod go-w %D »";
    QTest::newRow("dossier d'un autre") << c << "0644 0 0755 65534" << "/Tarvik" + chemin + "appartient à l'utilisateur n° 65534 (mode 0755) : chaque dossier jusqu'au fichier doit appartenir à root. Pour le protéger : « sudo chown root: %D »";
    QTest::newRow("lien vers un dossier ouvert") << QByteArray("<lien ailleurs>") << "0644 0 0755 0" << chemin + "n'est pas protégé : son groupe et tous les autres peuvent le modifier (mode 0777)";
    QTest::newRow("lien cassé")         << QByteArray("<lien cassé>") << "0644 0 0755 0" << "c'est un lien qui ne mène à aucun fichier";
    QTest::newRow("pas compris")        << c + "B.pas=1\n" << "0644 0 0755 0" << "ligne 3 : « B.pas » est donnée deux fois";
    QTest::newRow("absent")             << QByteArray("<absent>") << "0644 0 0755 0" << "";
    // Its folder is a link into a folder whose parent another user may
    // change: moved away, the folder takes the limits with it.
    QTest::newRow("lien vers un dossier dont le parent est à un autre") << QByteArray("<dossier lié>") << "0644 0 0755 0" << "/parent" + chemin + "appartient à l'utilisateur n° 65534 (mode 0755)";
    // A link of another user's in a sticky folder (/tmp): its owner may
    // put another in its place.
    QTest::newRow("lien d'un autre dans un dossier collant") << QByteArray("<lien collant>") << "0644 0 0755 0" << "/Tarvik » appartient à l'utilisateur n° 65534, dans un dossier ouvert à tous : lui seul, ou root, peut l'y remplacer. Pour le protéger : « sudo chown -h root: ";
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
    QFETCH(QString, motif);
    QTemporaryDir machine, ailleurs;
    const auto remise = poser("XDG_CONFIG_DIRS", QFile::encodeName(machine.path()));
    const QString dossier = machine.filePath(QStringLiteral("Tarvik"));
    const QString fichier = dossier + QStringLiteral("/limites.conf");
    motif.replace(QStringLiteral("%F"), fichier).replace(QStringLiteral("%D"), dossier);
    const QByteArray local = QFile::encodeName(fichier);
    QVERIFY(installer(machine.path(),
                      contenu.startsWith('<') ? "B.pas=5000\nlecture=stricte\n" : contenu));
    QVERIFY(::chmod(local, mode) == 0 && ::chown(local, proprietaire, 0) == 0);
    QVERIFY(::chmod(QFile::encodeName(dossier), modeDossier) == 0 &&
            ::chown(QFile::encodeName(dossier), proprietaireDossier, 0) == 0);
    QVERIFY(placer(contenu, machine.path(), ailleurs.path()));
    const LimitesLues lues = LireLimites();
    const bool applique = motif.isEmpty() && contenu != "<absent>";
    QCOMPARE(lues.fichiersMachine, applique ? QStringList{fichier} : QStringList{});
    QCOMPARE(canon(lues.effectives),
             applique ? QByteArray("lecture=stricte\nB.pas=5000\n") : QByteArray());
    QCOMPARE(bool(lues.echec), !motif.isEmpty());
    if (lues.echec)
        QVERIFY2(lues.echec->message.contains(fichier) && lues.echec->message.contains(motif),
                 qPrintable(lues.echec->message));
}

void TestLimites::cheminMachine_data()
{
    QTest::addColumn<QString>("cas");
    QTest::addColumn<QString>("motif"); // why it is doubtful; empty: no limits
    QTest::newRow("dossier absent") << ""
                                    << "";
    QTest::newRow("lien qui ne mène à rien") << "lien perdu"
                                             << "le lien « /etc/xdg/Tarvik » ne mène à rien";
    QTest::newRow("fichier retiré d'un dossier qu'un autre peut déplacer")
        << "dossier vidé"
        << "sur son chemin, n'est pas protégé : son groupe et tous les autres peuvent le modifier "
           "(mode 0777)";
}

// Absent from /etc/xdg, the machine file sets no limit only when no one
// but root could have taken it away: a link on its way that leads nowhere,
// or a folder another user may change, makes it doubtful. Seen in a mount
// namespace of this test's own, /etc/xdg covered by a file system of its
// own.
void TestLimites::cheminMachine()
{
    QFETCH(QString, cas);
    QFETCH(QString, motif);
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
    QCOMPARE(bool(lues.echec), !motif.isEmpty());
    if (lues.echec)
        QVERIFY2(lues.echec->message.contains(QStringLiteral("/etc/xdg/Tarvik/limites.conf")) &&
                     lues.echec->message.contains(motif),
                 qPrintable(lues.echec->message));
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
