// The axes' limits: the file's strict reading, the stricter of the machine's
// and the operator's, rewriting that keeps comments, and the files
// themselves: where the machine's are, their protection, the operator's save.
#include "octets_essai.h"
#include "system/fichier_limites.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Limites analysees(const QByteArray &contenu, NiveauLimite niveau = NiveauLimite::Machine)
{
    return AnalyserLimites(contenu, niveau).limites;
}

// The limits as a new file holds them, without its group line.
QByteArray canon(const Limites &limites)
{
    return FormerLimites(limites).mid(qstrlen("[Limites]\n"));
}

// Who set each limit that is set: "lecture:M A.pas:O".
QString niveaux(const Limites &limites)
{
    const auto lettre = [](NiveauLimite n) {
        return n == NiveauLimite::Machine ? "M" : "O";
    };
    QStringList dits;
    if (limites.stricte)
        dits << QStringLiteral("lecture:") + QLatin1String(lettre(limites.niveauStricte));
    for (int k = 0; k < NombreAxes; ++k) {
        const LimitesAxe &a = limites.axes[std::size_t(k)];
        const QString axe = QChar(u'A' + k);
        if (a.pas)
            dits << axe + QStringLiteral(".pas:") + QLatin1String(lettre(a.niveauPas));
        if (a.vitesse)
            dits << axe + QStringLiteral(".vitesse:") + QLatin1String(lettre(a.niveauVitesse));
        if (a.directions)
            dits << axe + QStringLiteral(".directions:") +
                        QLatin1String(lettre(a.niveauDirections));
    }
    return dits.join(u' ');
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

const QByteArray Exemple = "# Banc 2 : pince et bras\n[Limites]\nlecture=stricte\nA.pas=5000\n"
                           "A.vitesse=120\nA.directions=+-\n";
const QByteArray ExempleLu = "lecture=stricte\nA.pas=5000\nA.vitesse=120\nA.directions=+-\n";

} // namespace

class TestLimites : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QDir(QFileInfo(CheminLimitesOperateur()).path()).removeRecursively(); }
    void lecture_data();
    void lecture();
    void plusStrictes_data();
    void plusStrictes();
    void reecriture_data();
    void reecriture();
    void cheminsMachine_data();
    void cheminsMachine();
    void fichierMachine_data();
    void fichierMachine();
    void etcXdgToujoursLu();
    void enregistrement_data();
    void enregistrement();
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
        {"BOM",              "\xEF\xBB\xBF" + Exemple,            refus, "ligne 1 : marque d'ordre des octets (BOM)"},
        {"axe H",            "[Limites]\nH.pas=5\n",              refus, "ligne 2 : clé inconnue « H.pas=5 »"},
        {"minuscule",        "a.pas=5\n",                         refus, "ligne 1 : clé inconnue « a.pas=5 »"},
        {"autre casse",      "Lecture=stricte\n",                 refus, "ligne 1 : clé inconnue"},
        {"espace avant =",   "A.pas =5\n",                        refus, "ligne 1 : clé inconnue"},
        {"sans =",           "\nA.pas\n",                         refus, "ligne 2 : clé inconnue « A.pas »"},
        {"autre groupe",     "[Axes]\nA.pas=5\n",                 refus, "ligne 1 : groupe inconnu « [Axes] »"},
        {"clé deux fois",    "A.pas=1\n#\nA.pas=2\n",             refus, "ligne 3 : « A.pas » est donnée deux fois"},
        {"valeur vide",      "A.vitesse=\n",                      refus, "ligne 1 (A.vitesse) : valeur vide"},
        {"pas 100000",       "A.pas=100000\n",                    refus, "ligne 1 (A.pas) : le nombre de pas 100000 dépasse 99999"},
        {"vingt chiffres",   "A.pas=" + QByteArray(20, '9'),      refus, "le nombre de pas 99999999999999999999 dépasse 99999"},
        {"vitesse 256",      "A.vitesse=256\n",                   refus, "ligne 1 (A.vitesse) : la vitesse 256 dépasse 255"},
        {"signe",            "A.pas=+5\n",                        refus, "le nombre de pas doit s'écrire en chiffres seuls, de 0 à 99999 (« +5 »)"},
        {"espace",           "A.vitesse= 5\n",                    refus, "la vitesse doit s'écrire en chiffres seuls, de 0 à 255"},
        {"chiffre arabe",    "A.pas=\xD9\xA5\n",                  refus, "en chiffres seuls"},
        {"lecture=oui",      "lecture=oui\n",                     refus, "ligne 1 (lecture) : la lecture est « stricte » ou « souple », pas « oui »"},
        {"direction blanche", "A.directions=+ -\n",               refus, "ligne 1 (A.directions) : une direction ne peut pas être un blanc (U+0020)"},
        {"insécable",        "A.directions=\xC2\xA0\n",           refus, "un blanc (U+00A0)"},
        {"direction deux fois", "A.directions=+-+\n",             refus, "la direction « + » est donnée deux fois"},
        {"tabulation",       "A.directions=+\t\n",                refus, "un blanc (U+0009)"},
        {"contrôle",         "A.directions=\x7f\n",               refus, "(U+007F) n'est pas une direction possible"},
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
    QVERIFY(!niveaux(analyse.limites).contains(u'M'));
}

void TestLimites::plusStrictes_data()
{
    QTest::addColumn<QByteArray>("machine");
    QTest::addColumn<QByteArray>("operateur");
    QTest::addColumn<QByteArray>("effectives");
    QTest::addColumn<QString>("niveaux");
    // clang-format off
    QTest::newRow("machine seule")  << QByteArray("lecture=stricte\nA.pas=5000\n") << QByteArray()
                                    << QByteArray("lecture=stricte\nA.pas=5000\n") << "lecture:M A.pas:M";
    QTest::newRow("opérateur seul") << QByteArray() << QByteArray("lecture=stricte\nB.vitesse=100\nB.directions=+-\n")
                                    << QByteArray("lecture=stricte\nB.vitesse=100\nB.directions=+-\n")
                                    << "lecture:O B.vitesse:O B.directions:O";
    QTest::newRow("les deux")       << QByteArray("A.pas=5000\nA.vitesse=120\nA.directions=+-0\nC.pas=7\n")
                                    << QByteArray("A.pas=3000\nA.vitesse=200\nA.directions=-+\nD.vitesse=9\n")
                                    << QByteArray("A.pas=3000\nA.vitesse=120\nA.directions=+-\nC.pas=7\nD.vitesse=9\n")
                                    << "A.pas:O A.vitesse:M A.directions:O C.pas:M D.vitesse:O";
    QTest::newRow("l'opérateur élargit") << QByteArray("lecture=stricte\nA.pas=5000\nA.vitesse=0\nA.directions=+\n")
                                    << QByteArray("lecture=souple\nA.pas=99999\nA.vitesse=255\nA.directions=+-\n")
                                    << QByteArray("lecture=stricte\nA.pas=5000\nA.vitesse=0\nA.directions=+\n")
                                    << "lecture:M A.pas:M A.vitesse:M A.directions:M";
    QTest::newRow("égalité")        << QByteArray("C.vitesse=50\nC.directions=+-\n") << QByteArray("C.vitesse=50\nC.directions=-+\n")
                                    << QByteArray("C.vitesse=50\nC.directions=+-\n") << "C.vitesse:M C.directions:M";
    QTest::newRow("aucune direction commune") << QByteArray("D.directions=+\n") << QByteArray("D.directions=-\n")
                                    << QByteArray("D.directions=\n") << "D.directions:O";
    // clang-format on
}

// The stricter limit wins, with the level that set it: the lower bound, the
// directions both allow, strict reading if either asks; the machine on a tie.
void TestLimites::plusStrictes()
{
    QFETCH(QByteArray, machine);
    QFETCH(QByteArray, operateur);
    QFETCH(QByteArray, effectives);
    QFETCH(QString, niveaux);
    const Limites retenues = PlusStrictes(analysees(machine, NiveauLimite::Machine),
                                          analysees(operateur, NiveauLimite::Operateur));
    QCOMPARE(canon(retenues), effectives);
    QCOMPARE(::niveaux(retenues), niveaux);
}

void TestLimites::reecriture_data()
{
    QTest::addColumn<QByteArray>("avant");
    QTest::addColumn<QByteArray>("limites"); // the new ones, as a file holds them
    QTest::addColumn<QByteArray>("apres");
    const QByteArray notes = "# Banc 2\n[Limites]\n\n; la pince\n";
    // clang-format off
    QTest::newRow("neuf")             << QByteArray() << QByteArray("B.pas=5\nlecture=stricte\n")
                                      << QByteArray("[Limites]\nlecture=stricte\nB.pas=5\n");
    QTest::newRow("changé sur place") << notes + "A.pas=5000\nlecture=stricte\n# fin\n" << QByteArray("A.pas=4000\n")
                                      << notes + "A.pas=4000\nlecture=souple\n# fin\n";
    QTest::newRow("retiré, ajouté")   << notes + "A.vitesse=10\n# fin\n" << QByteArray("G.directions=+\n")
                                      << notes + "# fin\nG.directions=+\n";
    QTest::newRow("CRLF")             << QByteArray("; x\r\nA.pas=1\r\n") << QByteArray("A.pas=2\n")
                                      << QByteArray("; x\r\nA.pas=2\r\n");
    QTest::newRow("sans saut de ligne final") << QByteArray("# x\nA.pas=1") << QByteArray("A.pas=1\nG.vitesse=3\n")
                                      << QByteArray("# x\nA.pas=1\nG.vitesse=3\n");
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
    const Limites nouvelles = analysees(limites, NiveauLimite::Operateur);
    const QByteArray formees = FormerLimites(nouvelles, avant);
    QCOMPARE(formees, apres);
    QCOMPARE(analysees(formees, NiveauLimite::Operateur), nouvelles);
}

void TestLimites::cheminsMachine_data()
{
    QTest::addColumn<QByteArray>("variable"); // XDG_CONFIG_DIRS; "<absente>": unset
    QTest::addColumn<QStringList>("dossiers");
    const QString etc = QStringLiteral("/etc/xdg");
    // clang-format off
    QTest::newRow("absente")           << QByteArray("<absente>") << QStringList{etc};
    QTest::newRow("vide")              << QByteArray("")          << QStringList{etc};
    QTest::newRow("ailleurs")          << QByteArray("/opt/banc") << QStringList{"/opt/banc", etc};
    QTest::newRow("relatif ignoré")    << QByteArray("banc:/opt/banc/:/etc/xdg/") << QStringList{"/opt/banc", etc};
    QTest::newRow("seulement relatif") << QByteArray("banc")      << QStringList{etc};
    QTest::newRow("/etc/xdg d'abord")  << QByteArray("/etc/xdg:/opt/banc") << QStringList{etc, "/opt/banc"};
    // clang-format on
}

// Whatever XDG_CONFIG_DIRS says, /etc/xdg stays among the machine's folders.
void TestLimites::cheminsMachine()
{
    QFETCH(QByteArray, variable);
    QFETCH(QStringList, dossiers);
    const auto remise = poser("XDG_CONFIG_DIRS", variable);
    if (variable == "<absente>")
        qunsetenv("XDG_CONFIG_DIRS");
    for (QString &dossier : dossiers)
        dossier += QStringLiteral("/Tarvik/limites.conf");
    QCOMPARE(CheminsLimitesMachine(), dossiers);
}

void TestLimites::fichierMachine_data()
{
    QTest::addColumn<QByteArray>("contenu"); // or what stands there: <tube>, <lien>…
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("proprietaire");
    QTest::addColumn<int>("modeDossier");
    QTest::addColumn<int>("proprietaireDossier");
    QTest::addColumn<QString>("motif"); // why it is doubtful; empty: it applies
    const QByteArray c = "B.pas=5000\nlecture=stricte\n";
    const QString garde =
        QStringLiteral(" : il doit appartenir à root et n'être modifiable que par lui");
    // clang-format off
    QTest::newRow("protégé")            << c << 0644 << 0 << 0755 << 0 << "";
    QTest::newRow("lecture seule")      << c << 0444 << 0 << 0555 << 0 << "";
    QTest::newRow("modifiable par tous") << c << 0666 << 0 << 0755 << 0 << "il n'est pas protégé (propriétaire n° 0, mode 0666)" + garde;
    QTest::newRow("par son groupe")     << c << 0664 << 0 << 0755 << 0 << "(propriétaire n° 0, mode 0664)" + garde;
    QTest::newRow("à un autre")         << c << 0644 << 65534 << 0755 << 0 << "(propriétaire n° 65534, mode 0644)" + garde;
    QTest::newRow("dossier ouvert")     << c << 0644 << 0 << 0777 << 0 << "/Tarvik » n'est pas protégé (propriétaire n° 0, mode 0777)" + garde;
    QTest::newRow("dossier de groupe")  << c << 0644 << 0 << 0775 << 0 << "/Tarvik » n'est pas protégé (propriétaire n° 0, mode 0775)";
    QTest::newRow("dossier d'un autre") << c << 0644 << 0 << 0755 << 65534 << "/Tarvik » n'est pas protégé (propriétaire n° 65534, mode 0755)";
    QTest::newRow("lien protégé")       << QByteArray("<lien>") << 0644 << 0 << 0755 << 0 << "";
    QTest::newRow("lien vers un dossier ouvert") << QByteArray("<lien ailleurs>") << 0644 << 0 << 0755 << 0 << "n'est pas protégé (propriétaire n° 0, mode 0777)";
    QTest::newRow("lien cassé")         << QByteArray("<lien cassé>") << 0644 << 0 << 0755 << 0 << "c'est un lien qui ne mène à aucun fichier";
    QTest::newRow("tube")               << QByteArray("<tube>") << 0644 << 0 << 0755 << 0 << "ce n'est pas un fichier ordinaire";
    QTest::newRow("pas compris")        << c + "B.pas=1\n" << 0644 << 0 << 0755 << 0 << "ligne 3 : « B.pas » est donnée deux fois";
    QTest::newRow("absent")             << QByteArray("<absent>") << 0644 << 0 << 0755 << 0 << "";
    // clang-format on
}

// A machine file applies only when none but root may change it, or its
// folder; otherwise it is doubtful, named, and sets no limit of its own.
void TestLimites::fichierMachine()
{
    if (::geteuid() != 0)
        QSKIP("il faut être root pour faire un fichier de limites de la machine (à root)");
    QFETCH(QByteArray, contenu);
    QFETCH(int, mode);
    QFETCH(int, proprietaire);
    QFETCH(int, modeDossier);
    QFETCH(int, proprietaireDossier);
    QFETCH(QString, motif);
    QTemporaryDir machine, ailleurs;
    const auto remise = poser("XDG_CONFIG_DIRS", QFile::encodeName(machine.path()));
    const QString dossier = machine.filePath(QStringLiteral("Tarvik"));
    const QString fichier = dossier + QStringLiteral("/limites.conf");
    const QByteArray local = QFile::encodeName(fichier);
    QVERIFY(installer(machine.path(),
                      contenu.startsWith('<') ? "B.pas=5000\nlecture=stricte\n" : contenu));
    QVERIFY(::chmod(local, mode_t(mode)) == 0 && ::chown(local, uid_t(proprietaire), 0) == 0);
    if (contenu == "<lien>")
        QVERIFY(QFile::rename(fichier, dossier + QStringLiteral("/vrai.conf")) &&
                QFile::link(QStringLiteral("vrai.conf"), fichier));
    if (contenu == "<lien ailleurs>")
        QVERIFY(::chmod(QFile::encodeName(ailleurs.path()), 0777) == 0 &&
                QFile::rename(fichier, ailleurs.filePath(QStringLiteral("l.conf"))) &&
                QFile::link(ailleurs.filePath(QStringLiteral("l.conf")), fichier));
    if (contenu == "<lien cassé>" || contenu == "<tube>" || contenu == "<absent>")
        QVERIFY(QFile::remove(fichier));
    if (contenu == "<lien cassé>")
        QVERIFY(QFile::link(QStringLiteral("disparu.conf"), fichier));
    if (contenu == "<tube>")
        QCOMPARE(::mkfifo(local, 0644), 0);
    QVERIFY(::chmod(QFile::encodeName(dossier), mode_t(modeDossier)) == 0 &&
            ::chown(QFile::encodeName(dossier), uid_t(proprietaireDossier), 0) == 0);
    QVERIFY(QDir().mkpath(QFileInfo(CheminLimitesOperateur()).path()));
    QVERIFY(ecrireFichier(CheminLimitesOperateur(), "A.pas=100\nB.pas=7000\n"));

    const LimitesLues lues = LireLimites();
    QCOMPARE(canon(lues.operateur), QByteArray("A.pas=100\nB.pas=7000\n"));
    const bool applique = motif.isEmpty() && contenu != "<absent>";
    QCOMPARE(lues.fichiersMachine, applique ? QStringList{fichier} : QStringList{});
    QCOMPARE(canon(lues.effectives), applique
                                         ? QByteArray("lecture=stricte\nA.pas=100\nB.pas=5000\n")
                                         : QByteArray("A.pas=100\nB.pas=7000\n"));
    QCOMPARE(bool(lues.echec), !motif.isEmpty());
    if (lues.echec)
        QVERIFY2(lues.echec->message.contains(fichier) && lues.echec->message.contains(motif),
                 qPrintable(lues.echec->message));
}

// The operator's environment never hides the machine's own file: with
// XDG_CONFIG_DIRS elsewhere, /etc/xdg is read all the same. Seen in a mount
// namespace of this test's own, /etc/xdg covered by a file system of its own.
void TestLimites::etcXdgToujoursLu()
{
    if (::geteuid() != 0)
        QSKIP("il faut être root pour couvrir /etc/xdg dans un espace de montage privé");
    if (!QFileInfo(QStringLiteral("/etc/xdg")).isDir())
        QSKIP("pas de dossier /etc/xdg sur cette machine");
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        QSKIP(qPrintable(QStringLiteral("espace de montage privé impossible ici (%1)")
                             .arg(QString::fromLocal8Bit(strerror(errno)))));
    QVERIFY2(::mount("tarvik-essai", "/etc/xdg", "tmpfs", 0, "size=64k,mode=755") == 0,
             strerror(errno));
    const auto demonter = qScopeGuard([] { ::umount2("/etc/xdg", MNT_DETACH); });
    QTemporaryDir ailleurs;
    QVERIFY(installer(QStringLiteral("/etc/xdg"), "A.pas=10\n"));
    QVERIFY(installer(ailleurs.path(), "A.pas=20\nB.vitesse=3\n"));
    const auto remise = poser("XDG_CONFIG_DIRS", QFile::encodeName(ailleurs.path()));
    const LimitesLues lues = LireLimites();
    QVERIFY(!lues.echec);
    QCOMPARE(lues.fichiersMachine,
             QStringList({ailleurs.filePath(QStringLiteral("Tarvik/limites.conf")),
                          QStringLiteral("/etc/xdg/Tarvik/limites.conf")}));
    QCOMPARE(canon(lues.effectives), QByteArray("A.pas=10\nB.vitesse=3\n"));
    QCOMPARE(niveaux(lues.effectives), QStringLiteral("A.pas:M B.vitesse:M"));
}

void TestLimites::enregistrement_data()
{
    QTest::addColumn<QByteArray>("avant"); // the operator's file; <absent>
    QTest::addColumn<QByteArray>("limites");
    QTest::addColumn<QString>("directionsA"); // put in axis A's directions as they are
    QTest::addColumn<QByteArray>("apres");
    QTest::addColumn<QString>("misDeCote");
    QTest::addColumn<QString>("motif");
    const QByteArray miennes = "# les miennes\n[Limites]\nA.pas=10\n# fin\n";
    // clang-format off
    QTest::newRow("neuf")        << QByteArray("<absent>") << QByteArray("A.pas=20\n") << ""
                                 << QByteArray("[Limites]\nA.pas=20\n") << "" << "";
    QTest::newRow("commentaires gardés") << miennes << QByteArray("A.pas=20\nlecture=stricte\n") << ""
                                 << QByteArray("# les miennes\n[Limites]\nA.pas=20\n# fin\nlecture=stricte\n") << "" << "";
    QTest::newRow("douteux mis de côté") << QByteArray("A.pas=x\n") << QByteArray("A.pas=20\n") << ""
                                 << QByteArray("[Limites]\nA.pas=20\n") << ".illisible" << "";
    QTest::newRow("direction impossible") << miennes << QByteArray("A.pas=20\n") << "+ "
                                 << miennes << "" << "ces limites ne peuvent pas être enregistrées : ligne 5 (A.directions) : une direction ne peut pas être un blanc";
    // clang-format on
}

// The operator's limits are saved keeping their file's comments; a file not
// understood is set aside first; nothing the file could not hold is written.
void TestLimites::enregistrement()
{
    QFETCH(QByteArray, avant);
    QFETCH(QByteArray, limites);
    QFETCH(QString, directionsA);
    QFETCH(QByteArray, apres);
    QFETCH(QString, misDeCote);
    QFETCH(QString, motif);
    const QString fichier = CheminLimitesOperateur();
    QVERIFY(QDir().mkpath(QFileInfo(fichier).path()));
    if (avant != "<absent>")
        QVERIFY(ecrireFichier(fichier, avant));
    Limites nouvelles = analysees(limites, NiveauLimite::Operateur);
    if (!directionsA.isEmpty())
        nouvelles.axes[0].directions = directionsA;
    const EcritureLimites ecriture = EcrireLimitesOperateur(nouvelles);
    QCOMPARE(bool(ecriture.echec), !motif.isEmpty());
    QVERIFY2(ecriture.echec.value_or(Echec{}).message.contains(motif),
             qPrintable(ecriture.echec.value_or(Echec{}).message));
    QCOMPARE(lireFichier(fichier), apres);
    QCOMPARE(ecriture.misDeCote, misDeCote.isEmpty() ? QString() : fichier + misDeCote);
    if (!misDeCote.isEmpty())
        QCOMPARE(lireFichier(fichier + misDeCote), avant);
    if (motif.isEmpty())
        QCOMPARE(LireLimites().operateur, nouvelles);
}

QTEST_GUILESS_MAIN(TestLimites)
#include "tst_limites.moc"
