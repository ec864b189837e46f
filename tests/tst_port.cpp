// Which device a run uses: the order of its sources, the saved choice (and
// settings that cannot be trusted), and paths that are not serial ports.
#include "banc_envoi.h"
#include "port/peripherique.h"
#include "port/ports_systeme.h"
#include "port/reglages_ligne.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <sys/fsuid.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

using namespace tarvik::port;

Q_DECLARE_METATYPE(OriginePort)

namespace {

const QByteArray Initiale = "A+00000:002\nB+00000:002\nC+00000:002\nD+00000:002\n"
                            "E+00000:002\nF+00000:002\nG+00000:002\n";

// What stands at the path a row of cheminRefuse tries as a port, made in
// `dossier`; empty, errno set, when it cannot be made. Behind a refusal for
// permission stands the pseudo-terminal `pty`, which root is kept from only
// when checked as "nobody".
QString cheminEssaye(const QString &genre, const QString &dossier, const QString &fichier,
                     const QString &pty)
{
    QString chemin = genre.startsWith(u'/') ? genre : dossier + u'/' + genre;
    const QByteArray local = QFile::encodeName(chemin);
    const mode_t ferme = ::geteuid() == 0 ? 0700 : 0, interdit = ::geteuid() == 0 ? 0600 : 0;
    if (genre == QLatin1String("lien"))
        return QFile::link(fichier, chemin) ? chemin : QString();
    if (genre == QLatin1String("dossier"))
        return QDir().mkdir(chemin) ? chemin : QString();
    if (genre == QLatin1String("tube"))
        return ::mkfifo(local.constData(), 0600) == 0 ? chemin : QString();
    if (genre == QLatin1String("bloc")) // numbers that are ttyS0's among character devices
        return ::mknod(local.constData(), S_IFBLK | 0600, makedev(4, 64)) == 0 ? chemin : QString();
    if (genre == QLatin1String("ferme")) // a folder this user may not go through
        return QDir().mkdir(chemin) && QFile::link(pty, chemin + QStringLiteral("/port")) &&
                       ::chmod(local.constData(), ferme) == 0
                   ? chemin + QStringLiteral("/port")
                   : QString();
    if (genre == QLatin1String("interdit"))
        return ::chmod(QFile::encodeName(pty).constData(), interdit) == 0 ? pty : QString();
    return chemin;
}

// A socket listening at `chemin`; its descriptor.
int ecouterSocket(const QString &chemin)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    const QByteArray local = QFile::encodeName(chemin);
    std::memcpy(adresse.sun_path, local.constData(), size_t(local.size()));
    if (::bind(fd, reinterpret_cast<sockaddr *>(&adresse), sizeof adresse) != 0 ||
        ::listen(fd, 1) != 0)
        qWarning("socket impossible : %s", strerror(errno));
    return fd;
}

} // namespace

class TestPort : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QDir(QFileInfo(CheminReglages()).path()).removeRecursively(); }
    void ordre_data();
    void ordre();
    void port1_data();
    void port1();
    void numerosRefuses_data();
    void numerosRefuses();
    void reglagesDeLigne_data();
    void reglagesDeLigne();
    void avantOuverture_data();
    void avantOuverture();
    void cheminRefuse_data();
    void cheminRefuse();
    void choixEnregistre();
    void reglagesDouteux_data();
    void reglagesDouteux();
    void reglagesAcceptes_data();
    void reglagesAcceptes();
    void reecriture_data();
    void reecriture();
    void nomStable();

private:
    QList<std::pair<const char *, std::function<void(termios &)>>> m_ecarts;
};

void TestPort::ordre_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("enregistre");
    QTest::addColumn<QString>("illisible"); // the settings' error
    QTest::addColumn<QString>("peripherique");
    QTest::addColumn<OriginePort>("origine");
    const QString o = QStringLiteral("/dev/pts/9"), r = QStringLiteral("/dev/ttyUSB0");
    // clang-format off
    QTest::newRow("--port d'abord")      << o << r << "" << o << OriginePort::Option;
    QTest::newRow("--port, réglages illisibles") << o << "" << "abîmé" << o << OriginePort::Option;
    QTest::newRow("puis le choix")       << "" << r << "" << r << OriginePort::Reglage;
    QTest::newRow("réglages illisibles") << "" << "" << "abîmé" << "" << OriginePort::Reglage;
    QTest::newRow("puis le port 1")      << "" << "" << "" << "/dev/ttyS0" << OriginePort::Port1;
    // clang-format on
}

void TestPort::ordre()
{
    QFETCH(QString, option);
    QFETCH(QString, enregistre);
    QFETCH(QString, illisible);
    QFETCH(QString, peripherique);
    QFETCH(OriginePort, origine);
    // A file whose line 1 is `illisible`, without '='.
    const ReglagesLus reglages{
        {enregistre, {}, {}},
        illisible.isEmpty()
            ? std::nullopt
            : std::optional<EchecFichierCles>(
                  EchecCles{.genre = EchecCles::Genre::SansEgal, .ligne = 1, .texte = illisible})};
    const PortChoisi port = DeterminerPort(option, reglages, QStringLiteral("/dev/ttyS0"));
    QCOMPARE(port.peripherique, peripherique);
    QCOMPARE(port.origine, origine);
    const QString raison = port.echec ? tarvik::app::Formuler(*port.echec) : QString();
    QVERIFY2(origine == OriginePort::Reglage && !illisible.isEmpty()
                 ? raison.contains(illisible) && raison.contains(CheminReglages())
                 : raison.isEmpty(),
             qPrintable(raison));
}

void TestPort::port1_data()
{
    QTest::addColumn<bool>("lien");
    QTest::newRow("lien udev") << true;
    QTest::newRow("sans lien") << false;
}

// Port 1 is the udev link where the host made one, ttyS0 otherwise.
void TestPort::port1()
{
    QFETCH(bool, lien);
    QTemporaryDir dev;
    if (lien)
        QVERIFY(
            QFile::link(QStringLiteral("ttyUSB3"), dev.filePath(QStringLiteral("tarvik-port1"))));
    QCOMPARE(PeripheriquePort(1, dev.path()),
             dev.filePath(lien ? QStringLiteral("tarvik-port1") : QStringLiteral("ttyS0")));
}

void TestPort::numerosRefuses_data()
{
    QTest::addColumn<int>("majeur");
    QTest::addColumn<int>("mineur");
    QTest::addColumn<bool>("refuse");
    // clang-format off
    const QList<std::tuple<const char *, int, int, bool>> cas = {
        {"/dev/tty", 5, 0, true},          {"/dev/console", 5, 1, true},
        {"/dev/ptmx", 5, 2, true},         {"/dev/ttyprintk", 5, 3, true},
        {"/dev/tty0", 4, 0, true},         {"/dev/tty1", 4, 1, true},
        {"/dev/tty63", 4, 63, true},       {"maître BSD", 2, 0, true},
        {"maître unix98", 128, 3, true},   {"/dev/ttyS0", 4, 64, false},
        {"/dev/ttyS5", 4, 69, false},      {"/dev/pts/3", 136, 3, false},
        {"/dev/ttyUSB0", 188, 0, false},   {"/dev/ttyACM0", 166, 0, false},
    };
    // clang-format on
    for (const auto &[nom, majeur, mineur, refuse] : cas)
        QTest::newRow(nom) << majeur << mineur << refuse;
}

// Terminals that are not ports are known by their device numbers, whatever
// their name: none of these is ever opened here.
void TestPort::numerosRefuses()
{
    QFETCH(int, majeur);
    QFETCH(int, mineur);
    QFETCH(bool, refuse);
    QCOMPARE(VerifierPeripheriqueNumeros(S_IFCHR | 0660, makedev(majeur, mineur)).has_value(),
             refuse);
}

void TestPort::reglagesDeLigne_data()
{
    QTest::addColumn<int>("ecart"); // what differs from what the board needs
    const QList<std::pair<const char *, std::function<void(termios &)>>> ecarts = {
        {"aucun",
         [](termios &) {
         }},
        {"7 bits",
         [](termios &t) {
             t.c_cflag = (t.c_cflag & ~tcflag_t(CSIZE)) | CS7;
         }},
        {"parité",
         [](termios &t) {
             t.c_cflag |= PARENB;
         }},
        {"deux bits d'arrêt",
         [](termios &t) {
             t.c_cflag |= CSTOPB;
         }},
        {"contrôle de flux matériel",
         [](termios &t) {
             t.c_cflag |= CRTSCTS;
         }},
        {"XON/XOFF",
         [](termios &t) {
             t.c_iflag |= IXON | IXOFF;
         }},
        {"sortie traitée",
         [](termios &t) {
             t.c_oflag |= OPOST | ONLCR;
         }},
        {"9600 bauds",
         [](termios &t) {
             ::cfsetospeed(&t, B9600);
         }},
    };
    m_ecarts = ecarts;
    for (int k = 0; k < ecarts.size(); ++k)
        QTest::newRow(ecarts[k].first) << k;
}

// From whatever the device had, the settings applied are the board's, and
// settings read back that differ in any one point do not pass; what the
// board's settings do not name (hanging up on close) stays as found.
void TestPort::reglagesDeLigne()
{
    QFETCH(int, ecart);
    termios conformes = ReglagesPourLaCarte(termios{});
    QVERIFY(ReglagesConformes(conformes));
    termios lus = conformes;
    m_ecarts[ecart].second(lus);
    QCOMPARE(ReglagesConformes(lus), ecart == 0);
    lus.c_cflag |= HUPCL;
    const termios appliques = ReglagesPourLaCarte(lus);
    QVERIFY(ReglagesConformes(appliques));
    QCOMPARE(appliques.c_cflag & HUPCL, tcflag_t(HUPCL));
    QCOMPARE(appliques.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(0));
}

void TestPort::avantOuverture_data()
{
    QTest::addColumn<int>("majeur");
    QTest::addColumn<int>("mineur");
    QTest::addColumn<QString>("classe");      // its class in /sys, empty: no entry
    QTest::addColumn<QByteArray>("consoles"); // /proc/consoles
    QTest::addColumn<QByteArray>("actives");  // /sys/class/tty/console/active
    QTest::addColumn<QString>("refus");       // empty: it may be opened
    const QByteArray console = "ttyS0                -W- (EC  p a)    4:64\n";
    // clang-format off
    const QList<std::tuple<const char *, int, int, const char *, QByteArray, QByteArray, const char *>> cas = {
        {"ttyS1, un terminal",             4, 65, "tty", console, "ttyS0\n", ""},
        {"/dev/random, de la mémoire",     1, 8, "mem", console, "ttyS0\n", "parmi « mem »"},
        {"chien de garde, sans entrée",    10, 130, "", console, "ttyS0\n", "parmi « les inconnus »"},
        {"pseudo-terminal, sans entrée",   136, 3, "", console, "ttyS0\n", ""},
        {"adaptateur USB, sans /sys",      188, 0, "", console, "ttyS0\n", ""},
        {"la console, par son numéro",     4, 64, "tty", console, "", "console du système (ttyS0)"},
        {"une console active, par son nom", 4, 65, "tty", "", "tty0 ttyS1\n", "console du système (ttyS1)"},
        {"un pseudo-terminal console",     136, 3, "", "pts3 -W- (E) 136:3\n", "", "console du système (136:3)"},
    };
    // clang-format on
    for (const auto &[nom, majeur, mineur, classe, consoles, actives, refus] : cas)
        QTest::newRow(nom) << majeur << mineur << QString::fromLatin1(classe) << consoles << actives
                           << QString::fromUtf8(refus);
}

// What the kernel says of a device, read before anyone opens it: only a
// terminal that is not a console of the system may be a port. Where it
// keeps no entry, the numbers of serial ports and pseudo-terminals decide.
void TestPort::avantOuverture()
{
    QFETCH(int, majeur);
    QFETCH(int, mineur);
    QFETCH(QString, classe);
    QFETCH(QByteArray, consoles);
    QFETCH(QByteArray, actives);
    QFETCH(QString, refus);
    QTemporaryDir sys;
    const QString entree = sys.filePath(QStringLiteral("char/%1:%2").arg(majeur).arg(mineur));
    QVERIFY(QDir().mkpath(sys.filePath(QStringLiteral("char"))));
    if (!classe.isEmpty()) { // as sysfs lays it out: a link to the device, its class beside
        const QString appareil =
            sys.filePath(QStringLiteral("devices/%1/ttyS%2").arg(classe).arg(mineur - 64));
        QVERIFY(QDir().mkpath(appareil) &&
                QDir().mkpath(sys.filePath(QStringLiteral("class/") + classe)));
        QVERIFY(QFile::link(appareil, entree));
        QVERIFY(QFile::link(sys.filePath(QStringLiteral("class/") + classe),
                            appareil + QStringLiteral("/subsystem")));
    }
    QVERIFY(ecrireFichier(sys.filePath(QStringLiteral("consoles")), consoles));
    QVERIFY(ecrireFichier(sys.filePath(QStringLiteral("actives")), actives));
    const auto sources = SourcesSysteme.remplacer({sys.filePath(QStringLiteral("char")),
                                                   sys.filePath(QStringLiteral("actives")),
                                                   sys.filePath(QStringLiteral("consoles"))});
    const auto raison = VerifierPeripheriqueNoyau(makedev(majeur, mineur));
    const QString lu = raison ? tarvik::app::Formuler(*raison) : QString();
    QVERIFY2(refus.isEmpty() ? lu.isEmpty() : lu.contains(refus), qPrintable(lu));
}

void TestPort::cheminRefuse_data()
{
    QTest::addColumn<QString>("genre");
    QTest::addColumn<EchecLien::Genre>("attendu");
    QTest::newRow("fichier ordinaire") << "fichier" << EchecLien::Genre::PasUnPortSerie;
    QTest::newRow("lien vers un fichier") << "lien" << EchecLien::Genre::PasUnPortSerie;
    QTest::newRow("dossier") << "dossier" << EchecLien::Genre::PasUnPortSerie;
    QTest::newRow("/dev/null") << "/dev/null" << EchecLien::Genre::PasUnPortSerie;
    QTest::newRow("/dev/random") << "/dev/random" << EchecLien::Genre::PasUnPortSerie;
    QTest::newRow("/dev/zero") << "/dev/zero" << EchecLien::Genre::PasUnPortSerie;
    QTest::newRow("tube") << "tube" << EchecLien::Genre::PasUnPortSerie;
    QTest::newRow("socket") << "socket" << EchecLien::Genre::PasUnPortSerie;
    QTest::newRow("/dev/ptmx") << "/dev/ptmx" << EchecLien::Genre::PasUnPortSerie;
    QTest::newRow("/dev/pts/ptmx") << "/dev/pts/ptmx" << EchecLien::Genre::PasUnPortSerie;
    QTest::newRow("/dev/tty") << "/dev/tty" << EchecLien::Genre::PasUnPortSerie;
    QTest::newRow("absent") << "absent" << EchecLien::Genre::PortAbsent;
    QTest::newRow("absent, 300 caractères") << QString(300, u'p') << EchecLien::Genre::PortAbsent;
    QTest::newRow("interdit") << "interdit" << EchecLien::Genre::PermissionRefusee;
    // The device is there, behind a folder this user may not go through.
    QTest::newRow("dossier fermé") << "ferme" << EchecLien::Genre::PermissionRefusee;
    QTest::newRow("périphérique bloc") << "bloc" << EchecLien::Genre::PasUnPortSerie;
}

// Only a terminal device is a port: anything else is refused by the dialog's
// check and by a run, and never written to. A port this user may not open
// yet is refused by a run only: the dialog lets it be chosen.
void TestPort::cheminRefuse()
{
    QFETCH(QString, genre);
    QFETCH(EchecLien::Genre, attendu);
    const bool interdit = attendu == EchecLien::Genre::PermissionRefusee;
    PseudoTerminal pty;
    QTemporaryDir dossier;
    const QString fichier = dossier.filePath(QStringLiteral("fichier"));
    QVERIFY(ecrireFichier(fichier, "avant\n"));
    const QString chemin = cheminEssaye(genre, dossier.path(), fichier, pty.chemin());
    if (chemin.isEmpty() && genre == QLatin1String("bloc"))
        QSKIP(qPrintable(QStringLiteral("nœud de périphérique impossible ici (%1)")
                             .arg(QString::fromLocal8Bit(strerror(errno)))));
    QVERIFY2(!chemin.isEmpty(), strerror(errno));
    const int prise = genre == QLatin1String("socket") ? ecouterSocket(chemin) : -1;
    const auto fermer = qScopeGuard([&] { ::close(prise); });
    OuverturesVues ouvertures(chemin);

    GrilleEssai grille;
    grille.lien.setPeripherique(chemin);
    const VerrousEssai verrous;
    const int fds = descripteursOuverts();
    if (interdit && ::geteuid() == 0)
        ::setfsuid(65534);
    const bool refuse = VerifierPeripherique(chemin).has_value();
    const auto echec = grille.envoyer();
    ::setfsuid(::geteuid());
    QCOMPARE(refuse, !interdit);
    QCOMPARE(descripteursOuverts(), fds);
    QVERIFY(echec && echec->lien);
    QVERIFY2(*echec->lien == attendu, qPrintable(echec->message));
    QVERIFY2(echec->message.contains(chemin), qPrintable(echec->message));
    if (genre == QLatin1String("bloc")) // said as what it is
        QVERIFY2(echec->message.contains(QStringLiteral("disque")), qPrintable(echec->message));
    QCOMPARE(lireFichier(fichier), QByteArray("avant\n"));
    if ((genre.startsWith(QLatin1String("/dev/")) && !genre.startsWith(QLatin1String("/dev/pt"))) ||
        genre == QLatin1String("bloc"))
        QCOMPARE(ouvertures.nombre(), 0); // a device outside the terminals is never opened
}

// A saved choice is used by every later run until it is changed; removing
// it goes back to port 1.
void TestPort::choixEnregistre()
{
    PseudoTerminal pty;
    QVERIFY(!EcrireReglages([&](Reglages &r) { r.port = pty.chemin(); }).echec);
    QCOMPARE(LireReglages().reglages.port, pty.chemin());
    GrilleEssai grille;
    grille.lien.setPort(DeterminerPort({}, LireReglages())); // decided from the saved choice
    QCOMPARE(grille.lien.port().origine, OriginePort::Reglage);
    QVERIFY(!grille.envoyer());
    QCOMPARE(pty.lire(84), Initiale);

    QVERIFY(!EcrireReglages([&](Reglages &r) { r.port = {}; }).echec);
    grille.lien.setPort(DeterminerPort({}, LireReglages()));
    QCOMPARE(grille.lien.port().origine, OriginePort::Port1);
    QCOMPARE(grille.lien.port().peripherique, PeripheriquePort(1));
}

void TestPort::reglagesDouteux_data()
{
    QTest::addColumn<QByteArray>("contenu"); // or what stands there: <tube>, <lien cassé>
    QTest::addColumn<EchecLien::Genre>("genre");
    QTest::addColumn<QString>("motif");
    const QString illisibles = QStringLiteral("sont illisibles");
    const auto inconnu = EchecLien::Genre::AucunPort;
    // clang-format off
    QTest::newRow("adaptateur débranché") << QByteArray("[General]\nport=/dev/tarvik-debranche\n")
        << EchecLien::Genre::PortAbsent << "/dev/tarvik-debranche : port absent";
    const QList<std::tuple<const char *, QByteArray, QString>> cas = {
        {"tube",            "<tube>",                                   illisibles},
        {"lien cassé",      "<lien cassé>",                             "ne mène à aucun fichier"},
        {"interdit",        "[General]\nport=/dev/pts/0\n",             "permission refusée"},
        {"trop gros",       QByteArray(70000, '#'),                     illisibles},
        {"valeur vide",     "[General]\nport=\n",                        "ligne 2 (port) : valeur vide"},
        {"pas un texte",    "[General]\nport=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n", illisibles},
        {"variant inconnu", "[General]\nport=@Variant(bogus)\n",        "une forme que Tarvik ne lit pas : « @ » en tête"},
        {"liste",           "[General]\nport=a, b\n",                    "une forme que Tarvik ne lit pas : une virgule, comme une liste"},
        {"clé Port",        "[General]\nPort=/dev/ttyUSB0\n",            "clé « Port » : écrivez « port », les clés distinguent majuscules et minuscules"},
        {"sans =",          "[General]\nport\n",                         "« = » manque dans « port » : une ligne s'écrit clé=valeur"},
        {"autre groupe",    "[Serial]\nport=/dev/ttyUSB0\n",             "groupe inconnu « [Serial] » (le seul groupe est [General])"},
        {"clé deux fois",   "port=/dev/ttyUSB0\nport=/dev/ttyUSB1\n",     "donnée deux fois"},
        {"chemin relatif",  "port=ttyUSB0\n",                           "chemin relatif"},
        {"dossier relatif", "port=/dev/ttyUSB0\ndossier=banc\n",        "chemin relatif"},
        {"BOM",             "\xEF\xBB\xBF[General]\nport=/dev/ttyUSB0\n", "BOM) au début du fichier : enregistrez-le en UTF-8 sans BOM"},
        {"BOM plus loin",   "[General]\n\xEF\xBB\xBF" "port=/dev/ttyUSB0\n", "clé inconnue"},
        {"charabia",        "\x01\x02charabia\xff\n",                   illisibles},
        {"barre oblique inverse", "[General]\nport=/dev/ttyUSB\\x30\n",     "une forme que Tarvik ne lit pas : une barre oblique inverse"},
        {"caractère de contrôle", "[General]\nport=/dev/tty\x1b" "USB0\n",   "caractère de contrôle ou invisible (U+001B) dans la valeur"},
        {"nom trop long",   "[General]\nport=/" + QByteArray(5000, 'a') + '\n', "valeur de 5001 caractères, 4096 au plus"},
        {"journal_systeme=Non", "[General]\njournal_systeme=Non\n", "« Non » au lieu de oui ou non"},
        {"journal_systeme=",    "[General]\njournal_systeme=\n",    "«  » au lieu de oui ou non"},
        {"journal_systeme=0",   "[General]\njournal_systeme=0\n",   "« 0 » au lieu de oui ou non"},
        {"récent relatif",      "[General]\nrecent1=prise.seq\n",   "chemin relatif"},
        {"récent de trop",      "[General]\nrecent7=/prise.seq\n",  "clé inconnue"},
        {"récent en contrôle",  "[General]\nrecent2=/a\x1b" ".seq\n", "caractère de contrôle ou invisible (U+001B)"},
    };
    // clang-format on
    for (const auto &[nom, contenu, motif] : cas)
        QTest::newRow(nom) << contenu << inconnu << motif;
}

// Settings that cannot be trusted, or that are not fully understood, never
// send anything at random, least of all to port 1: the run says which file.
void TestPort::reglagesDouteux()
{
    QFETCH(QByteArray, contenu);
    QFETCH(EchecLien::Genre, genre);
    QFETCH(QString, motif);
    const QString fichier = CheminReglages();
    QVERIFY(QDir().mkpath(QFileInfo(fichier).path()));
    if (contenu == "<tube>")
        QCOMPARE(::mkfifo(QFile::encodeName(fichier).constData(), 0600), 0);
    else if (contenu == "<lien cassé>")
        QVERIFY(QFile::link(fichier + QStringLiteral(".disparu"), fichier));
    else
        QVERIFY(ecrireFichier(fichier, contenu));

    const bool interdit = QByteArray(QTest::currentDataTag()) == "interdit";
    if (interdit) { // unreadable to its user (root reads anything: checked as "nobody")
        QVERIFY(QFile::setPermissions(fichier, {}));
        if (::geteuid() == 0)
            ::setfsuid(65534);
    }
    GrilleEssai grille;
    grille.lien.setPort(DeterminerPort({}, LireReglages()));
    const PortChoisi port = grille.lien.port();
    const auto echec = port.origine == OriginePort::Reglage // never port 1 by mistake
                           ? grille.envoyer()
                           : std::nullopt;
    if (interdit)
        ::setfsuid(::geteuid());
    QCOMPARE(port.origine, OriginePort::Reglage);
    QVERIFY(echec && echec->lien);
    QVERIFY2(*echec->lien == genre && echec->message.contains(motif), qPrintable(echec->message));
    if (genre == EchecLien::Genre::AucunPort)
        QVERIFY2(echec->message.contains(fichier), qPrintable(echec->message));
}

void TestPort::reglagesAcceptes_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("langue");
    QTest::addColumn<bool>("journalSysteme");
    // clang-format off
    QTest::newRow("écrit par Tarvik") << QByteArray("[General]\nport=/dev/ttyUSB0\nlangue=en\n") << "/dev/ttyUSB0" << "en" << true;
    QTest::newRow("vide")             << QByteArray() << "" << "" << true;
    QTest::newRow("lignes vides")     << QByteArray("\n[General]\n\n  \nport=/dev/ttyUSB0\n\n") << "/dev/ttyUSB0" << "" << true;
    QTest::newRow("commentaires ;")   << QByteArray("; banc 2\n[General]\n;port=/dev/ttyS1\nlangue=fr\n") << "" << "fr" << true;
    QTest::newRow("commentaires #")   << QByteArray("# banc 2\n[General]\n#langue=en\nport=/dev/pts/7\n") << "/dev/pts/7" << "" << true;
    QTest::newRow("CRLF")             << QByteArray("[General]\r\nlangue=en\r\nport=/dev/ttyUSB0\r\n") << "/dev/ttyUSB0" << "en" << true;
    QTest::newRow("sans [General]")   << QByteArray("port=/dev/ttyUSB0") << "/dev/ttyUSB0" << "" << true;
    QTest::newRow("journal_systeme=non") << QByteArray("[General]\njournal_systeme=non\nlangue=en\n") << "" << "en" << false;
    QTest::newRow("journal_systeme=oui") << QByteArray("journal_systeme=oui\r\n") << "" << "" << true;
    // clang-format on
}

// Besides its keys, a settings file may hold blank lines, comments, its
// group and CRLF ends: all passed over.
void TestPort::reglagesAcceptes()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, port);
    QFETCH(QString, langue);
    QFETCH(bool, journalSysteme);
    const ReglagesAnalyses analyses = AnalyserReglages(contenu);
    QVERIFY(!analyses.echec);
    QCOMPARE(analyses.reglages.port, port);
    QCOMPARE(analyses.reglages.langue, langue);
    QCOMPARE(JournalSystemeVoulu(analyses.reglages), journalSysteme);
}

void TestPort::reecriture_data()
{
    QTest::addColumn<QByteArray>("avant"); // the file before; empty: none
    QTest::addColumn<QString>("port");     // the new choice
    QTest::addColumn<QByteArray>("apres");
    QTest::addColumn<QString>("misDeCote"); // where a damaged file went, beside it
    const QByteArray notes = "# banc 2\n[General]\n\n; adaptateur du haut\n",
                     usb1 = "[General]\nport=/dev/ttyUSB1\n", abime = "# x\nport=ttyUSB0\n";
    // clang-format off
    QTest::newRow("neuf")           << QByteArray() << "/dev/ttyUSB1" << usb1 << "";
    QTest::newRow("changé sur place") << notes + "port=/dev/ttyUSB0\nlangue=en\n# fin\n" << "/dev/ttyUSB1"
                                    << notes + "port=/dev/ttyUSB1\nlangue=en\n# fin\n" << "";
    QTest::newRow("ajouté à la fin") << notes + "langue=en\n" << "/dev/ttyUSB1"
                                    << notes + "langue=en\nport=/dev/ttyUSB1\n" << "";
    QTest::newRow("effacé")         << notes + "port=/dev/ttyUSB0\nlangue=en\n" << ""
                                    << notes + "langue=en\n" << "";
    QTest::newRow("CRLF")           << QByteArray("; x\r\nport=/dev/ttyUSB0\r\n") << "/dev/ttyUSB1"
                                    << QByteArray("; x\r\nport=/dev/ttyUSB1\r\n") << "";
    QTest::newRow("sans saut de ligne final") << QByteArray("# x\nlangue=en") << "/dev/ttyUSB1"
                                    << QByteArray("# x\nlangue=en\nport=/dev/ttyUSB1\n") << "";
    QTest::newRow("abîmé")          << abime << "/dev/ttyUSB1" << usb1 << ".illisible";
    QTest::newRow("abîmé, un autre déjà de côté") << abime << "/dev/ttyUSB1" << usb1 << ".illisible.2";
    // clang-format on
}

// A choice saved into a file that is understood changes its key's line
// alone: comments, blank lines and the rest stay where they were. A damaged
// file is set aside whole, never over an older one, and a new one written.
void TestPort::reecriture()
{
    QFETCH(QByteArray, avant);
    QFETCH(QString, port);
    QFETCH(QByteArray, apres);
    QFETCH(QString, misDeCote);
    const QString fichier = CheminReglages(), ancien = fichier + QStringLiteral(".illisible");
    QVERIFY(QDir().mkpath(QFileInfo(fichier).path()));
    if (misDeCote.endsWith(QLatin1String(".2")))
        QVERIFY(ecrireFichier(ancien, "ancien\n"));
    if (!avant.isEmpty())
        QVERIFY(ecrireFichier(fichier, avant));
    const EcritureReglages fait = EcrireReglages([&](Reglages &r) { r.port = port; });
    QVERIFY(!fait.echec);
    QCOMPARE(lireFichier(fichier), apres);
    QCOMPARE(fait.misDeCote, misDeCote.isEmpty() ? QString() : fichier + misDeCote);
    if (!misDeCote.isEmpty())
        QCOMPARE(lireFichier(fait.misDeCote), avant);
    if (misDeCote.endsWith(QLatin1String(".2")))
        QCOMPARE(lireFichier(ancien), QByteArray("ancien\n"));
}

void TestPort::nomStable()
{
    PseudoTerminal pty, autre;
    QTemporaryDir parId;
    const QString lien = parId.filePath(QStringLiteral("usb-FTDI_FT232R_A50285BI-if00-port0"));
    QVERIFY(QFile::link(pty.chemin(), lien));
    QCOMPARE(NomStable(pty.chemin(), parId.path()), lien);
    QCOMPARE(NomStable(autre.chemin(), parId.path()), QString());
}

QTEST_GUILESS_MAIN(TestPort)
#include "tst_port.moc"
