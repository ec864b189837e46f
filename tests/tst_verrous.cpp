// The locks a run honours and takes: flock on the device, UUCP lock files
// under every name of the device (as minicom, picocom, Qt and lockdev write
// them, live, stale, being written, another user's), exclusive mode, and ours.
#include "banc_envoi.h"
#include "port/etat_port.h"
#include "port/verrous.h"

#include <QMap>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <grp.h>
#include <poll.h>
#include <sched.h>
#include <sys/fsuid.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <thread>

using namespace tarvik::port;

namespace {

// A process that lives as long as the test: the holder of live locks.
struct Vivant {
    Vivant()
        : pid(::fork())
    {
        if (pid == 0) {
            ::pause();
            ::_exit(0);
        }
    }
    ~Vivant()
    {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    const pid_t pid;
};

// The pid of a process that has just ended.
pid_t pidMort()
{
    const pid_t enfant = ::fork();
    if (enfant == 0)
        ::_exit(0);
    ::waitpid(enfant, nullptr, 0);
    return enfant;
}

// Waits, bounded, for the byte a child writes once it is ready.
bool pret(int fd)
{
    pollfd p{fd, POLLIN, 0};
    char c = 0;
    return ::poll(&p, 1, 10000) == 1 && ::read(fd, &c, 1) == 1 && c == 'x';
}

// Another process that keeps a device open as long as the test: a bridge
// as socat is, a program in exclusive mode, or one whose thread took a
// file table of its own (unshare(CLONE_FILES)) to hold the device there
// alone, out of /proc/PID/fd, among `autresFils` more threads that share
// the process's table.
struct Detenteur {
    enum Forme { Ouvert, Exclusif, Fil };
    Detenteur(const QString &chemin, Forme forme, int autresFils = 0)
    {
        int tube[2];
        if (::pipe(tube) != 0)
            return;
        pid = ::fork();
        if (pid == 0) {
            // Only what it opens itself: not the test's own ends of the terminal.
            for (int fd = 3; fd < 1024; ++fd)
                if (fd != tube[1])
                    ::close(fd);
            const auto tenir = [&] {
                if (forme == Fil && ::unshare(CLONE_FILES) != 0)
                    ::_exit(2);
                const int fd =
                    ::open(QFile::encodeName(chemin).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
                if (fd < 0 || (forme != Ouvert && ::ioctl(fd, TIOCEXCL) != 0))
                    ::_exit(2);
                [[maybe_unused]] const ssize_t n = ::write(tube[1], "x", 1);
                ::pause();
            };
            const auto dormir = [](int n) {
                for (int k = 0; k < n; ++k)
                    std::thread([] { ::pause(); }).detach();
            };
            dormir(autresFils / 2); // before the holder and after it, in /proc/PID/task
            if (forme == Fil)
                std::thread([&] {
                    dormir(autresFils - autresFils / 2);
                    tenir();
                }).join();
            tenir();
        }
        ::close(tube[1]);
        if (pid > 0 && !pret(tube[0]))
            pid = -1;
        ::close(tube[0]);
    }
    ~Detenteur()
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    Detenteur(const Detenteur &) = delete;
    Detenteur &operator=(const Detenteur &) = delete;
    pid_t pid = -1;
};

// A flock on a device whose taker has ended: its child holds it on, until
// the object is destroyed; `enfant` is that child's pid.
struct FlockOrphelin {
    explicit FlockOrphelin(const QString &chemin)
    {
        int pid[2];
        if (::pipe(tube) != 0 || ::pipe(pid) != 0)
            return;
        const pid_t parent = ::fork();
        if (parent == 0) {
            const int fd =
                ::open(QFile::encodeName(chemin).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
            ::flock(fd, LOCK_EX | LOCK_NB);
            if (::fork() == 0) { // the child keeps the lock until the pipe closes
                char c;
                const pid_t moi = ::getpid();
                ::close(tube[1]);
                [[maybe_unused]] const ssize_t ecrit = ::write(pid[1], &moi, sizeof moi);
                [[maybe_unused]] const ssize_t lu = ::read(tube[0], &c, 1);
                ::_exit(0);
            }
            ::_exit(0);
        }
        ::close(tube[0]);
        ::close(pid[1]);
        ::waitpid(parent, nullptr, 0);
        mort = parent;
        if (::read(pid[0], &enfant, sizeof enfant) != sizeof enfant)
            enfant = -1;
        ::close(pid[0]);
    }
    ~FlockOrphelin() { ::close(tube[1]); }
    FlockOrphelin(const FlockOrphelin &) = delete;
    FlockOrphelin &operator=(const FlockOrphelin &) = delete;
    int tube[2] = {-1, -1};
    pid_t mort = -1, enfant = -1;
};

// The lock files the rows of the status line's table put in `dossier`, by
// row: where, and what they hold; `qt`, the device's own lock, `vivant`, a
// live process.
QMap<QString, std::pair<QString, QByteArray>>
verrousDuTableau(const QString &dossier, const QString &qt, quint64 rdev, pid_t vivant)
{
    const QByteArray pid = QByteArray::number(vivant);
    const QString nombres = QStringLiteral("%1/LCK.%2.%3")
                                .arg(dossier)
                                .arg(major(rdev), 3, 10, QChar(u'0'))
                                .arg(minor(rdev), 3, 10, QChar(u'0'));
    return {
        {QStringLiteral("hdb"), {qt, pid.rightJustified(10) + '\n'}},
        {QStringLiteral("minicom"), {qt, pid.rightJustified(10) + " minicom root\n"}},
        {QStringLiteral("qt"), {qt, pid + "\nminicom\nhote\n"}},
        {QStringLiteral("nombres"), {nombres, pid.rightJustified(10) + '\n'}},
        {QStringLiteral("perime"), {qt, QByteArray::number(pidMort()).rightJustified(10) + '\n'}},
    };
}

// Puts at `verrou` what a row of the lock table describes: a tube, a link
// to the device at `peripherique`, a folder, or a file holding `contenu`,
// dated a minute ago or an hour ahead when `genre` says so.
bool poser(const QString &verrou, const QString &genre, const QByteArray &contenu,
           const QString &peripherique)
{
    const QByteArray local = QFile::encodeName(verrou);
    if (genre == QLatin1String("tube"))
        return ::mkfifo(local.constData(), 0600) == 0;
    if (genre == QLatin1String("lien"))
        return QFile::link(peripherique, verrou);
    if (genre == QLatin1String("dossier"))
        return QDir().mkdir(verrou);
    if (!ecrireFichier(verrou, contenu))
        return false;
    if (genre != QLatin1String("ancien") && genre != QLatin1String("futur"))
        return true;
    const time_t quand = ::time(nullptr) + (genre == QLatin1String("ancien") ? -60 : 3600);
    const timeval heures[2] = {{quand, 0}, {quand, 0}};
    return ::utimes(local.constData(), heures) == 0;
}

// Another holder of the device, for a row of the status line's table: a
// terminal program given a link of its own, which holds the device and
// locks under the link's name (cas "lien"), or under the name of another
// device when the link bears one (~/tty: cas "autreNom"), or the child a
// flock's taker left (cas "orphelin"); `pid`, the one to name.
struct AutreDetenteur {
    AutreDetenteur(const QString &cas, const QString &chemin, const QString &verrous)
    {
        const bool autreNom = cas == QLatin1String("autreNom");
        if ((cas == QLatin1String("lien") || autreNom) &&
            lien.emplace(chemin, Detenteur::Ouvert).pid > 0 &&
            ecrireFichier(
                verrous + (autreNom ? QStringLiteral("/LCK..tty") : QStringLiteral("/LCK..p1-a")),
                QByteArray::number(lien->pid).rightJustified(10) + " minicom root\n"))
            pid = lien->pid;
        if (cas == QLatin1String("orphelin"))
            pid = orphelin.emplace(chemin).enfant;
    }
    std::optional<Detenteur> lien;
    std::optional<FlockOrphelin> orphelin;
    qint64 pid = 0;
};

// What this program writes in its lock files, as minicom writes its own.
QByteArray contenuDeNotreVerrou(qint64 pid)
{
    return QByteArray::number(pid).rightJustified(10) + " tarvik " +
           NomUtilisateur(::geteuid()).toUtf8() + '\n';
}

// Another operator's serial program on the device `rdev` at `chemin`, in a
// session of its own: screen, or minicom on the terminal script(1) gives
// it, here or in a pid namespace of its own (unshare), where its pid, far
// above this namespace's, is nobody's here. Ready once it holds the
// device; ended, and gone from it, with the object.
class AutreProgramme {
public:
    enum Programme { Screen, Minicom, MinicomAilleurs };
    AutreProgramme(Programme programme, const QString &chemin, quint64 rdev)
        : m_rdev(rdev)
    {
        const QString nom =
            programme == Screen ? QStringLiteral("screen") : QStringLiteral("minicom");
        if (QStandardPaths::findExecutable(nom).isEmpty())
            qWarning("%s n'est pas installé (PAQUETS_TESTS, scripts/common.sh)", qPrintable(nom));
        const QString minicom =
            QStringLiteral("script -qfec \"exec minicom -b 38400 -D %1\" /dev/null").arg(chemin);
        const qint64 pidMax =
            lireFichier(QStringLiteral("/proc/sys/kernel/pid_max")).trimmed().toLongLong();
        const QString commande =
            programme == Screen ? QStringLiteral("screen -D -m %1 38400").arg(chemin)
            : programme == Minicom
                ? minicom
                : QStringLiteral("unshare -p -f --kill-child --mount-proc sh -c 'echo %1 > "
                                 "/proc/sys/kernel/ns_last_pid && exec %2'")
                      .arg(pidMax - 200)
                      .arg(minicom);
        // No modem strings down the line.
        ecrireFichier(m_dossier.filePath(QStringLiteral(".minirc.dfl")), "pu minit\npu mreset\n");
        QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
        environnement.insert(QStringLiteral("TERM"), QStringLiteral("vt100"));
        environnement.insert(QStringLiteral("HOME"), m_dossier.path());
        environnement.insert(QStringLiteral("SCREENDIR"), m_dossier.path());
        m_processus.setProcessEnvironment(environnement);
        m_processus.setStandardOutputFile(QProcess::nullDevice());
        m_processus.setChildProcessModifier([] { ::setsid(); });
        m_processus.start(QStringLiteral("sh"),
                          {QStringLiteral("-c"), QStringLiteral("exec ") + commande});
        pret = QTest::qWaitFor(
            [&] {
                const QList<qint64> pids = DetenteursOuverts(rdev).pids;
                return std::any_of(pids.begin(), pids.end(), [&](qint64 pid) {
                    return lireFichier(QStringLiteral("/proc/%1/comm").arg(pid)).trimmed() ==
                           nom.toLatin1();
                });
            },
            20000);
    }
    ~AutreProgramme()
    {
        // minicom ends with its terminal, a pid namespace with its first process.
        signaler(m_processus.processId(), SIGKILL);
        m_processus.waitForFinished();
        static_cast<void>(
            QTest::qWaitFor([&] { return DetenteursOuverts(m_rdev).pids.isEmpty(); }, 20000));
    }
    AutreProgramme(const AutreProgramme &) = delete;
    AutreProgramme &operator=(const AutreProgramme &) = delete;
    bool pret = false;

private:
    quint64 m_rdev;
    QTemporaryDir m_dossier; // screen's sockets, minicom's settings
    QProcess m_processus;
};

// Where a run goes elsewhere: as "nobody", or in a pid namespace of its
// own with its own /proc, as under unshare -p -f --mount-proc.
enum class Ailleurs { Nobody, Espace };

// A run on `port` in a child process, elsewhere: its failure's message,
// empty when it sent; nothing when the child could not be set up there.
std::optional<QString> envoyerAilleurs(Ailleurs ou, const QString &port)
{
    int tube[2];
    if (::pipe(tube) != 0)
        return std::nullopt;
    const pid_t enfant = ::fork();
    if (enfant == 0) {
        ::close(tube[0]);
        if (ou == Ailleurs::Nobody) {
            ::setgroups(0, nullptr);
            if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
                ::_exit(2);
        } else {
            if (::unshare(CLONE_NEWPID | CLONE_NEWNS) != 0)
                ::_exit(2);
            if (const pid_t init = ::fork(); init != 0) { // the namespace's first process
                int statut = 0;
                ::waitpid(init, &statut, 0);
                ::_exit(WIFEXITED(statut) ? WEXITSTATUS(statut) : 2);
            }
            if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("proc", "/proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) != 0)
                ::_exit(2);
        }
        GrilleEssai grille;
        grille.lien.setPeripherique(port);
        const QByteArray message = grille.envoyer().value_or(EchecEssai{}).message.toUtf8();
        ::_exit(::write(tube[1], message.constData(), size_t(message.size())) == message.size()
                    ? 0
                    : 2);
    }
    ::close(tube[1]);
    QByteArray message;
    char tampon[4096];
    pollfd p{tube[0], POLLIN, 0};
    for (ssize_t n = 1; n > 0 && ::poll(&p, 1, 30000) == 1;)
        if ((n = ::read(tube[0], tampon, sizeof tampon)) > 0)
            message.append(tampon, n);
    ::close(tube[0]);
    int statut = -1;
    ::waitpid(enfant, &statut, 0);
    if (!WIFEXITED(statut) || WEXITSTATUS(statut) != 0)
        return std::nullopt;
    return QString::fromUtf8(message);
}

// The start of a line a run killed in its middle leaves at the far end.
const QByteArray LigneCoupee = "A+00100:0";

// A run of this program on `port` killed in the middle of a line: it
// leaves LigneCoupee at the far end, and what a killed run leaves behind,
// its lock or the trace of its run, and exclusive mode.
bool envoiTue(const QString &port)
{
    int tube[2];
    if (::pipe(tube) != 0)
        return false;
    const pid_t enfant = ::fork();
    if (enfant == 0) {
        LienSerie lien;
        lien.setPeripherique(port);
        if (lien.ouvrir() || lien.ecrire(LigneCoupee, QDeadlineTimer(10000)))
            ::_exit(1);
        [[maybe_unused]] const ssize_t n = ::write(tube[1], "x", 1);
        ::pause();
    }
    ::close(tube[1]);
    const bool coupe = pret(tube[0]);
    ::close(tube[0]);
    ::kill(enfant, SIGKILL);
    ::waitpid(enfant, nullptr, 0);
    return coupe;
}

// Opens the device at `chemin` in exclusive mode and puts the descriptor in
// the queue of the socket pair `prises`, closed here: no process holds it
// until one receives it.
bool mettreEnTransit(const QString &chemin, int prises[2])
{
    const int fd = ::open(QFile::encodeName(chemin).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    char octet = 'x';
    iovec donnees{&octet, 1};
    alignas(cmsghdr) char controle[CMSG_SPACE(sizeof fd)] = {};
    msghdr message{nullptr, 0, &donnees, 1, controle, sizeof controle, 0};
    *CMSG_FIRSTHDR(&message) = cmsghdr{CMSG_LEN(sizeof fd), SOL_SOCKET, SCM_RIGHTS};
    std::memcpy(CMSG_DATA(CMSG_FIRSTHDR(&message)), &fd, sizeof fd);
    const bool envoye = ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, prises) == 0 &&
                        fd >= 0 && ::ioctl(fd, TIOCEXCL) == 0 &&
                        ::sendmsg(prises[0], &message, 0) == 1;
    ::close(fd);
    return envoye;
}

} // namespace

class TestVerrous : public QObject {
    Q_OBJECT
    Vivant m_vivant;
    bool m_espacePrive = false; // this test's mounts are its own
    std::optional<TracesEssai> m_traces;
private Q_SLOTS:
    void initTestCase();
    void init() { m_traces.emplace(); }
    void cleanup() { m_traces.reset(); }
    void flockDetenu();
    void verrouUucp_data();
    void verrouUucp();
    void verrouSousUnLien_data();
    void verrouSousUnLien();
    void verrouDUnAutre_data();
    void verrouDUnAutre();
    void notreVerrou_data();
    void notreVerrou();
    void verrouPerimeDUnAutre();
    void detenteurDisparu();
    void exclusivite_data();
    void exclusivite();
    void lienSymbolique();
    void nomHorsDeDev_data();
    void nomHorsDeDev();
    void restes_data();
    void restes();
    void etatDuPort_data();
    void etatDuPort();
    void apresUnEnvoiTue_data();
    void apresUnEnvoiTue();
    void autreDetenteur_data();
    void autreDetenteur();
};

void TestVerrous::initTestCase()
{
    // What this test mounts (a lock folder of its own, a device bound to a
    // file) stays in a mount namespace of its own.
    m_espacePrive = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                    ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    if (::geteuid() == 0 && !m_espacePrive)
        qWarning("pas d'espace de montage à soi : %s", strerror(errno));
}

void TestVerrous::flockDetenu()
{
    PseudoTerminal pty;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    grille.liste = QStringList{QStringLiteral("précédent")};

    const int autre =
        ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    QVERIFY(autre >= 0);
    QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
    const int fds = descripteursOuverts();
    const auto echec = grille.envoyer();
    QCOMPARE(descripteursOuverts(), fds);
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    QVERIFY2(echec->message.contains(QString::number(::getpid())), qPrintable(echec->message));
    QCOMPARE(grille.liste, QStringList{QStringLiteral("précédent")});
    QCOMPARE(pty.lire(), QByteArray());
    QVERIFY(!QFile::exists(fichierUucp(pty.chemin())));

    ::close(autre);
    QVERIFY(!grille.envoyer());
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
}

void TestVerrous::verrouUucp_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("genre"); // "", "ancien" (a minute old), or what stands there
    QTest::addColumn<QString>("forme"); // the name it bears: qt (pts_3), base (3), nombres
    QTest::addColumn<QString>("refus"); // empty: the lock is stale and the port used
    const QByteArray vivant = QByteArray::number(m_vivant.pid);
    const QByteArray mort = QByteArray::number(pidMort());
    const auto binaire = [](std::int32_t pid) {
        return QByteArray(reinterpret_cast<const char *>(&pid), 4);
    };
    const QString occupe = QStringLiteral("port occupé par le processus ") + vivant;
    const QString illisible = QStringLiteral("est illisible");
    const QString pasOrdinaire = QStringLiteral("pas un fichier ordinaire");
    const QString enCours = QStringLiteral("en train de le prendre");
    // A dead process is shown to be nobody only where every process shows:
    // elsewhere (a container) its lock keeps the port.
    const QString perime =
        VoitTousLesProcessus() ? QString() : QStringLiteral("ne peut pas voir d'ici");
    // A live pid of at most four digits: init's, always there.
    const QByteArray ascii4 = "0001";
    // clang-format off
    const QList<std::tuple<const char *, QByteArray, const char *, const char *, QString>> cas = {
        {"HDB vivant",          vivant.rightJustified(10) + '\n',              "", "qt", occupe},
        {"Qt vivant",           vivant + "\nminicom\nhote\n",                  "", "qt", occupe},
        {"minicom vivant",      vivant.rightJustified(10) + " minicom root\n", "", "base", occupe},
        {"picocom vivant",      vivant.rightJustified(4, '0') + '\n',          "", "base", occupe},
        {"lockdev vivant",      vivant.rightJustified(10) + '\n',         "", "nombres", occupe},
        {"ASCII sur 4 octets",  ascii4,                   "", "qt", QStringLiteral("port occupé par le processus 1")},
        {"binaire vivant",      binaire(m_vivant.pid),                         "", "qt", occupe},
        {"HDB mort",            mort.rightJustified(10) + '\n',                "", "qt", perime},
        {"minicom mort",        mort.rightJustified(10) + " minicom root\n",   "", "base", perime},
        {"Qt mort",             mort + "\nminicom\nhote\n",                    "", "qt", perime},
        {"mort, nombres",       mort.rightJustified(10) + '\n',           "", "nombres", perime},
        // A program holds no lock before taking its own: a dead run's, pid reused.
        {"notre propre pid",    QByteArray::number(::getpid()) + '\n',          "", "qt", QString()},
        // Ours, stale: a run was killed, maybe in the middle of a line.
        {"Tarvik mort",         mort.rightJustified(10) + " tarvik root\n",   "", "qt", perime},
        {"Tarvik, notre pid revenu", contenuDeNotreVerrou(::getpid()),                  "", "base", QString()},
        {"en cours : vide",     "",                                            "", "qt", enCours},
        {"en cours : sans fin", "     12",                                      "", "base", enCours},
        {"vide et ancien",      "",                                      "ancien", "qt", illisible},
        {"vide et daté du futur", "",                                     "futur", "qt", illisible},
        {"pid hors limites",    "4294967297\n",                                "", "qt", illisible},
        {"pid nul",             "0\n",                                         "", "qt", illisible},
        {"binaire négatif",     binaire(-5),                                   "", "qt", illisible},
        {"texte",               "rien\n",                                      "", "qt", illisible},
        {"tube",                "",                                        "tube", "qt", pasOrdinaire},
        {"dossier",             "",                                     "dossier", "qt", pasOrdinaire},
        {"lien vers le port",   "",                     "lien", "qt", QStringLiteral("lien symbolique")},
    };
    // clang-format on
    for (const auto &[nom, contenu, genre, forme, refus] : cas)
        QTest::newRow(nom) << contenu << QString::fromLatin1(genre) << QString::fromLatin1(forme)
                           << refus;
}

// A lock file naming a live process keeps the port, under any name a serial
// program gives it; one being written too. A stale one is removed and the
// port used. Whatever else a user puts in its place is refused without
// blocking, never followed, never removed, and nothing stays held.
void TestVerrous::verrouUucp()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, genre);
    QFETCH(QString, forme);
    QFETCH(QString, refus);

    PseudoTerminal pty;
    QTemporaryDir dossier;
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    const auto verrous = DossiersVerrou.remplacer({dossier.path()});
    struct stat etat {};
    QCOMPARE(::stat(QFile::encodeName(pty.chemin()).constData(), &etat), 0);
    const QString nom = forme == QLatin1String("qt")
                            ? QFileInfo(fichierUucp(pty.chemin())).fileName()
                        : forme == QLatin1String("base")
                            ? QStringLiteral("LCK..") + QFileInfo(pty.chemin()).fileName()
                            : QStringLiteral("LCK.%1.%2")
                                  .arg(major(etat.st_rdev), 3, 10, QChar(u'0'))
                                  .arg(minor(etat.st_rdev), 3, 10, QChar(u'0'));
    const QString verrou = dossier.filePath(nom);
    QVERIFY(poser(verrou, genre, contenu, pty.chemin()));

    const int fds = descripteursOuverts();
    const auto echec = grille.envoyer();
    QCOMPARE(descripteursOuverts(), fds);
    if (refus.isEmpty()) {
        QVERIFY2(!echec, qPrintable(echec ? echec->message : QString()));
        // After a run of ours was killed, this one starts on a fresh line.
        const bool coupe = contenu.contains(" tarvik ");
        QCOMPARE(grille.resultat.ligneNeuve, coupe ? Coupure::VerrouPerime : Coupure::Aucune);
        const QByteArray attendu = (coupe ? "\n" : "") + surLeFil(lignesInitiales());
        QCOMPARE(pty.lire(attendu.size()), attendu);
        QVERIFY(!QFileInfo::exists(verrou)); // the stale lock is gone, and ours too
        return;
    }
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    const QString enCours = QStringLiteral("en train de le prendre");
    QVERIFY2(echec->message.contains(refus) && echec->message.contains(verrou),
             qPrintable(echec->message));
    // Never the advice to delete a live lock, one being taken, or one that may be alive.
    const bool pris = refus.startsWith(u"port occupé par") || refus == enCours ||
                      refus.contains(u"ne peut pas voir");
    QCOMPARE(echec->message.contains(QStringLiteral("Supprimez-le")), !pris);
    QCOMPARE(pty.lire(), QByteArray());
    QVERIFY(QFileInfo(verrou).exists() || QFileInfo(verrou).isSymLink()); // never removed
    QVERIFY(flockLibre(pty.chemin()));
}

// A live lock taken under a name of the device other than the one given:
// the name the operator gave (a link of their own), a stable link of the
// device, or a link under /dev, as a udev rule makes (minicom on
// /dev/tarvik-port1 locks LCK..tarvik-port1, on /dev/bancs/pince
// LCK..bancs_pince).
void TestVerrous::verrouSousUnLien_data()
{
    QTest::addColumn<QString>("lien"); // where the link stands
    QTest::newRow("nom donné") << "donne";
    QTest::newRow("lien by-id du périphérique") << "parId";
    QTest::newRow("lien sous /dev") << "dev";
    QTest::newRow("lien dans un dossier de /dev") << "dossierDev";
}

void TestVerrous::verrouSousUnLien()
{
    QFETCH(QString, lien);
    const bool sousDev = lien == QLatin1String("dev") || lien == QLatin1String("dossierDev");
    if (sousDev && ::geteuid() != 0)
        QSKIP("il faut être root pour poser un lien sous /dev");
    PseudoTerminal pty;
    QTemporaryDir verrous, parId, ailleurs;
    const QString dansDev = QStringLiteral("/dev/tarvik-essai-%1").arg(::getpid());
    const QString nom = lien == QLatin1String("dev")          ? dansDev
                        : lien == QLatin1String("dossierDev") ? dansDev + QStringLiteral("/pince")
                        : lien == QLatin1String("parId")
                            ? parId.filePath(QStringLiteral("usb-FTDI_FT232R_A50285BI-if00-port0"))
                            : ailleurs.filePath(QStringLiteral("ma-carte"));
    QVERIFY(lien != QLatin1String("dossierDev") || QDir().mkdir(dansDev));
    const auto retirer = qScopeGuard([&] {
        QFile::remove(nom);
        QDir().rmdir(dansDev);
    });
    QVERIFY(QFile::link(pty.chemin(), nom));
    // Its path below /dev, each / turned into _.
    const QString verrou =
        verrous.filePath(QStringLiteral("LCK..") +
                         (sousDev ? nom.mid(5).replace(u'/', u'_') : QFileInfo(nom).fileName()));
    QVERIFY(ecrireFichier(verrou, QByteArray::number(m_vivant.pid).rightJustified(10) + '\n'));
    GrilleEssai grille;
    const auto dossiersVerrou = DossiersVerrou.remplacer({verrous.path()});
    const auto dossiersLiens = DossiersLiens.remplacer({parId.path()});
    grille.lien.setPeripherique(lien == QLatin1String("donne") ? nom : pty.chemin());
    const auto echec = grille.envoyer();
    QVERIFY(echec);
    QVERIFY2(echec->lien == EchecLien::Genre::PortOccupe && echec->message.contains(verrou),
             qPrintable(echec->message));
    QCOMPARE(pty.lire(), QByteArray());
}

void TestVerrous::verrouDUnAutre_data()
{
    QTest::addColumn<bool>("tube"); // a tube stands there, else a lock naming init
    QTest::addColumn<QString>("motif");
    QTest::newRow("processus vivant d'un autre") << false << "port occupé par le processus 1 ";
    QTest::newRow("tube d'un autre") << true << "un administrateur doit le supprimer";
}

// Checked from a process that is neither root nor the owner of what stands
// in the lock folder: another user's live process (kill() answers EPERM,
// which is not "gone"), or another user's tube, which only an
// administrator can remove from the sticky folder.
void TestVerrous::verrouDUnAutre()
{
    QFETCH(bool, tube);
    QFETCH(QString, motif);
    if (::geteuid() != 0)
        QSKIP("il faut être root pour se faire un autre utilisateur");
    PseudoTerminal pty;
    QTemporaryDir dossier;
    QCOMPARE(::chmod(QFile::encodeName(dossier.path()).constData(), 01777), 0);
    const QString verrou = dossier.filePath(QFileInfo(fichierUucp(pty.chemin())).fileName());
    const QByteArray local = QFile::encodeName(verrou);
    if (tube)
        QCOMPARE(::mkfifo(local.constData(), 0644), 0);
    else
        QVERIFY(ecrireFichier(verrou, QByteArray("1").rightJustified(10) + '\n')); // init's
    QCOMPARE(::chmod(local.constData(), 0644), 0);
    QCOMPARE(::chown(local.constData(), 65533, 65533), 0);
    const auto verrous = DossiersVerrou.remplacer({dossier.path()});
    const pid_t enfant = ::fork();
    if (enfant == 0) {
        ::setgroups(0, nullptr);
        if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(2);
        VerrousUucp verrousUucp;
        const auto refus = verrousUucp.examinerDossiers({QFileInfo(verrou).fileName()}, 0);
        ::_exit(refus && tarvik::app::Formuler(*refus).contains(motif) ? 0 : 1);
    }
    int statut = -1;
    QCOMPARE(::waitpid(enfant, &statut, 0), enfant);
    QCOMPARE(WEXITSTATUS(statut), 0);
    QVERIFY(QFileInfo::exists(verrou));
}

void TestVerrous::notreVerrou_data()
{
    QTest::addColumn<bool>("avantNous"); // another program takes it before ours is in place
    QTest::newRow("pris par un autre entre la vérification et la prise") << true;
    QTest::newRow("remplacé par un autre pendant la séquence") << false;
}

// Our lock file goes in place only where none stands, and goes away only
// while it is still ours: another program's, taken a moment earlier or put
// in its place since, is never overwritten nor removed.
void TestVerrous::notreVerrou()
{
    QFETCH(bool, avantNous);
    QTemporaryDir dossier;
    const auto verrous = DossiersVerrou.remplacer({dossier.path()});
    const QString nom = QStringLiteral("LCK..ttyUSB9");
    const QString fichier = dossier.filePath(nom);
    const QByteArray sien = QByteArray::number(m_vivant.pid).rightJustified(10) + '\n';
    VerrousUucp verrousUucp;
    QVERIFY(!verrousUucp.examinerDossiers({nom}, 0));
    if (avantNous) {
        QVERIFY(ecrireFichier(fichier, sien));
        const auto refus = verrousUucp.prendre({nom});
        QVERIFY(refus);
        const QString message = tarvik::app::Formuler(*refus);
        QVERIFY2(message.contains(QString::number(m_vivant.pid)), qPrintable(message));
    } else {
        QVERIFY(!verrousUucp.prendre({nom}));
        const QString autre = dossier.filePath(QStringLiteral("autre"));
        QVERIFY(ecrireFichier(autre, sien));
        QCOMPARE(
            ::rename(QFile::encodeName(autre).constData(), QFile::encodeName(fichier).constData()),
            0);
        verrousUucp.rendre();
    }
    QCOMPARE(lireFichier(fichier), sien);
}

// Another user's stale lock, which the sticky lock folder keeps from being
// removed: the run goes on, and says which file was ignored.
void TestVerrous::verrouPerimeDUnAutre()
{
    if (::geteuid() != 0)
        QSKIP("il faut être root pour poser le verrou d'un autre utilisateur");
    if (!VoitTousLesProcessus())
        QSKIP("un verrou périmé ne se montre tel que d'où l'on voit tous les processus");
    PseudoTerminal pty;
    QTemporaryDir dossier;
    QCOMPARE(::chmod(QFile::encodeName(dossier.path()).constData(), 01777), 0);
    QCOMPARE(::chmod(QFile::encodeName(pty.chemin()).constData(), 0666), 0);
    const QString verrou = dossier.filePath(QFileInfo(fichierUucp(pty.chemin())).fileName());
    QVERIFY(ecrireFichier(verrou, QByteArray::number(pidMort()).rightJustified(10) + '\n'));
    QCOMPARE(::chown(QFile::encodeName(verrou).constData(), 65534, 65534), 0);
    GrilleEssai grille;
    const auto verrous = DossiersVerrou.remplacer({dossier.path()});
    grille.lien.setPeripherique(pty.chemin());
    ::setfsuid(65533); // neither root nor the lock's owner
    const auto echec = grille.envoyer();
    const QStringList avertissements = tarvik::app::Formuler(grille.lien.avertissements());
    ::setfsuid(0);
    QVERIFY2(!echec, qPrintable(echec ? echec->message : QString()));
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
    QCOMPARE(avertissements.size(), 1);
    QVERIFY2(avertissements[0].contains(verrou) &&
                 avertissements[0].contains(QStringLiteral("ignoré")),
             qPrintable(avertissements[0]));
    QVERIFY(QFileInfo::exists(verrou));
}

// The process that took the flock has ended, its child holds it still: the
// message names the child, found through the descriptor that carries the
// lock, and no dead process.
void TestVerrous::detenteurDisparu()
{
    PseudoTerminal pty;
    const FlockOrphelin flock(pty.chemin());
    QVERIFY(flock.enfant > 0);
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    const auto echec = grille.envoyer();
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    QVERIFY2(
        echec->message.contains(
            QStringLiteral("port occupé par le processus %1 (tst_verrous").arg(flock.enfant)) &&
            !echec->message.contains(QString::number(flock.mort)),
        qPrintable(echec->message));
}

void TestVerrous::exclusivite_data()
{
    QTest::addColumn<QString>("detenteur"); // who keeps the device open in exclusive mode
    QTest::newRow("un programme qui la tient par un flock") << "flock";
    QTest::newRow("un programme qui n'a que le mode exclusif") << "processus";
    QTest::newRow("un fil qui a sa propre table de descripteurs") << "fil";
    QTest::newRow("un tel fil parmi 400 autres") << "fil parmi 400";
    QTest::newRow("laissée par un programme tué") << "";
    QTest::newRow("laissée sur un pont par un envoi de Tarvik tué") << "pont";
}

// Exclusive mode held by a live program refuses root as well, although the
// kernel would let it through, whether that program holds a flock or only
// keeps the device open (screen does), in any of its file tables; the
// message names it. So does a bridge that keeps the device open (socat),
// even where our own stale lock shows that a run of ours left the mode:
// the operator reopens the bridge. Left behind with no process on the
// device, and nothing to show that a run of ours left it, it is not
// cleared either (apresUnEnvoiTue clears it when something does).
void TestVerrous::exclusivite()
{
    QFETCH(QString, detenteur);
    if (::geteuid() != 0)
        QSKIP("seul root passe outre une ouverture exclusive : rien à vérifier ici");
    if (detenteur == QLatin1String("pont") && !VoitTousLesProcessus())
        QSKIP("le verrou d'un envoi tué ne se montre périmé que d'où l'on voit tous les processus");
    PseudoTerminal pty;
    QTemporaryDir dossier;
    const auto verrous = DossiersVerrou.remplacer({dossier.path()});
    const QByteArray chemin = QFile::encodeName(pty.chemin());
    const bool fil = detenteur.startsWith(QLatin1String("fil"));
    const auto forme = detenteur == QLatin1String("processus") ? Detenteur::Exclusif
                       : fil                                   ? Detenteur::Fil
                                                               : Detenteur::Ouvert;
    std::optional<Detenteur> autreProcessus;
    if (detenteur == QLatin1String("processus") || fil || detenteur == QLatin1String("pont"))
        QVERIFY(
            autreProcessus.emplace(pty.chemin(), forme, detenteur.section(u' ', 2).toInt()).pid >
            0);
    const int autre = ::open(chemin.constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    const auto fermer = qScopeGuard([&] { ::close(autre); });
    if (forme == Detenteur::Ouvert)
        QCOMPARE(::ioctl(autre, TIOCEXCL), 0);
    if (detenteur == QLatin1String("flock"))
        QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
    const QString perime = dossier.filePath(QFileInfo(fichierUucp(pty.chemin())).fileName());
    if (detenteur == QLatin1String("pont"))
        QVERIFY(ecrireFichier(perime, contenuDeNotreVerrou(pidMort())));
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    const auto echec = grille.envoyer();
    int exclusif = -1;
    QCOMPARE(::ioctl(autre, TIOCGEXCL, &exclusif), 0);
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    const QString qui = detenteur.isEmpty()
                            ? QStringLiteral("rien ne montre")
                            : QStringLiteral("le processus %1 (tst_verrous, de l'utilisateur root)")
                                  .arg(autreProcessus ? autreProcessus->pid : ::getpid());
    QVERIFY2(echec->message.contains(qui), qPrintable(echec->message));
    if (detenteur == QLatin1String("pont"))
        QVERIFY2(echec->message.contains(QStringLiteral("rouvrez le pont")),
                 qPrintable(echec->message));
    QCOMPARE(pty.lire(), QByteArray());
    QCOMPARE(exclusif, 1); // the holder's mode is left alone
}

// Port 1 reached through a link, as a udev rule makes for an adapter: the
// locks are those of the device behind it.
void TestVerrous::lienSymbolique()
{
    PseudoTerminal pty;
    QTemporaryDir dossier;
    const QString lien = dossier.filePath(QStringLiteral("tarvik-port1"));
    QVERIFY(QFile::link(pty.chemin(), lien));
    GrilleEssai grille;
    grille.lien.setPeripherique(lien);
    QByteArray verrouDuPeripherique; // as other programs read it during the run
    grille.apresVider = [&] {
        QFile verrou(fichierUucp(pty.chemin()));
        if (verrou.open(QIODevice::ReadOnly))
            verrouDuPeripherique = verrou.readAll();
    };
    QVERIFY(!grille.envoyer());
    QCOMPARE(verrouDuPeripherique, contenuDeNotreVerrou(::getpid()));
    QVERIFY(!QFile::exists(fichierUucp(pty.chemin())));
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));

    const int autre =
        ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
    const auto echec = grille.envoyer();
    ::close(autre);
    QVERIFY(echec);
    QCOMPARE(echec->lien, EchecLien::Genre::PortOccupe);
    QVERIFY2(echec->message.contains(lien + QStringLiteral(" → ") + pty.chemin()),
             qPrintable(echec->message));
    QCOMPARE(pty.lire(), QByteArray());

    // The link now leads to another terminal (a bridge started again): the
    // same link's next run locks that one, by its own name, and sends there.
    PseudoTerminal relance;
    QVERIFY(QFile::remove(lien) && QFile::link(relance.chemin(), lien));
    QByteArray verrouDeLAncien;
    grille.apresVider = [&] {
        verrouDuPeripherique = lireFichier(fichierUucp(relance.chemin()));
        verrouDeLAncien = lireFichier(fichierUucp(pty.chemin()));
    };
    QVERIFY(!grille.envoyer());
    QCOMPARE(verrouDuPeripherique, contenuDeNotreVerrou(::getpid()));
    QCOMPARE(verrouDeLAncien, QByteArray());
    QCOMPARE(relance.lire(84), surLeFil(lignesInitiales()));
    QCOMPARE(pty.lire(), QByteArray());
}

void TestVerrous::nomHorsDeDev_data()
{
    QTest::addColumn<QString>("cas"); // another's lock under the link's name, or ours under it
    QTest::newRow("verrou d'un autre sous le nom de son lien") << "autre";
    QTest::newRow("notre verrou aussi sous le nom donné") << "lien";
    QTest::newRow("notre verrou aussi sous un nom monté sur le périphérique") << "montage";
}

// A name outside /dev, a link of the operator's own (~/p1-a): a terminal
// program given it locks LCK..p1-a, which keeps the port for a run given
// the device itself, since that program has the device open; and a run
// given the link takes LCK..p1-a beside its own lock, so that such a
// program sees the port taken. So does a run given a file the device is
// bound on (mount --bind /dev/pts/3 ~/p1-a), whose own lock still bears
// the device's own name, from its numbers. Both go at the end.
void TestVerrous::nomHorsDeDev()
{
    QFETCH(QString, cas);
    const bool notre = cas != QLatin1String("autre");
    const bool montage = cas == QLatin1String("montage");
    if (montage && !m_espacePrive)
        QSKIP("il faut être root, dans un espace de montage à soi, pour monter un périphérique");
    PseudoTerminal pty;
    QTemporaryDir dossier, maison;
    const auto verrous = DossiersVerrou.remplacer({dossier.path()});
    const QString lien = maison.filePath(QStringLiteral("p1-a"));
    const QByteArray local = QFile::encodeName(lien);
    if (montage) {
        QVERIFY(ecrireFichier(lien, QByteArray()));
        QCOMPARE(::mount(QFile::encodeName(pty.chemin()).constData(), local.constData(), nullptr,
                         MS_BIND, nullptr),
                 0);
    } else {
        QVERIFY(QFile::link(pty.chemin(), lien));
    }
    const auto demonter = qScopeGuard([&] {
        if (montage)
            ::umount2(local.constData(), MNT_DETACH);
    });
    const QString sousLeLien = dossier.filePath(QStringLiteral("LCK..p1-a"));
    const QString propre = dossier.filePath(QFileInfo(fichierUucp(pty.chemin())).fileName());
    GrilleEssai grille;
    if (!notre) {
        const Detenteur minicom(pty.chemin(), Detenteur::Ouvert);
        QVERIFY(minicom.pid > 0);
        QVERIFY(ecrireFichier(sousLeLien, QByteArray::number(minicom.pid).rightJustified(10) +
                                              " minicom root\n"));
        grille.lien.setPeripherique(pty.chemin());
        const auto echec = grille.envoyer();
        QVERIFY(echec);
        QVERIFY2(echec->lien == EchecLien::Genre::PortOccupe &&
                     echec->message.contains(QStringLiteral("le processus %1").arg(minicom.pid)) &&
                     echec->message.contains(sousLeLien),
                 qPrintable(echec->message));
        QCOMPARE(pty.lire(), QByteArray());
        return;
    }
    QMap<QString, QByteArray> pendant;
    grille.apresVider = [&] {
        for (const QString &fichier : {sousLeLien, propre})
            pendant[fichier] = lireFichier(fichier);
    };
    grille.lien.setPeripherique(lien);
    QVERIFY(!grille.envoyer());
    QCOMPARE(pendant.value(sousLeLien), contenuDeNotreVerrou(::getpid()));
    QCOMPARE(pendant.value(propre), contenuDeNotreVerrou(::getpid()));
    QVERIFY(!QFileInfo::exists(sousLeLien) && !QFileInfo::exists(propre));
    QCOMPARE(pty.lire(84), surLeFil(lignesInitiales()));
}

void TestVerrous::restes_data()
{
    QTest::addColumn<QString>("reste"); // what a killed run left in the lock folder
    QTest::addColumn<bool>("autre");    // another user's, in the sticky folder
    QTest::newRow("fichier temporaire d'un verrou") << "temporaire" << false;
    QTest::newRow("marque d'un envoi coupé") << "marque" << false;
    QTest::newRow("marque d'un envoi coupé, à un autre utilisateur") << "marque" << true;
}

// What a killed or cut run of ours left in the lock folder: a temporary
// file of a lock being made, removed once its process is dead; the mark of
// a line left unfinished at the far end, after which a run starts with a
// lone line feed and removes it. Another user's mark cannot be removed:
// that is said once, and each run starts on a fresh line again.
void TestVerrous::restes()
{
    QFETCH(QString, reste);
    QFETCH(bool, autre);
    if (autre && ::geteuid() != 0)
        QSKIP("il faut être root pour poser le fichier d'un autre utilisateur");
    PseudoTerminal pty;
    QTemporaryDir dossier;
    QCOMPARE(::chmod(QFile::encodeName(dossier.path()).constData(), 01777), 0);
    QCOMPARE(::chmod(QFile::encodeName(pty.chemin()).constData(), 0666), 0);
    const auto verrous = DossiersVerrou.remplacer({dossier.path()});
    struct stat etat {};
    QCOMPARE(::stat(QFile::encodeName(pty.chemin()).constData(), &etat), 0);
    const bool marque = reste == QLatin1String("marque");
    const QString fichier =
        dossier.filePath(marque ? QStringLiteral(".tarvik.coupe.%1.%2")
                                      .arg(major(etat.st_rdev))
                                      .arg(minor(etat.st_rdev))
                                : QStringLiteral(".tarvik.%1.0badc0de").arg(pidMort()));
    QVERIFY(ecrireFichier(fichier, QByteArray()));
    if (autre)
        QCOMPARE(::chown(QFile::encodeName(fichier).constData(), 65534, 65534), 0);
    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    QStringList avertissements;
    for (int run = 0; run < 2; ++run) {
        if (autre)
            ::setfsuid(65533); // neither root nor the mark's owner
        const auto echec = grille.envoyer();
        ::setfsuid(0);
        QVERIFY2(!echec, qPrintable(echec ? echec->message : QString()));
        const bool saut = marque && (run == 0 || autre);
        const QByteArray attendu = (saut ? "\n" : "") + surLeFil(lignesInitiales());
        QCOMPARE(pty.lire(attendu.size()), attendu);
        QCOMPARE(grille.resultat.ligneNeuve, saut ? Coupure::Marque : Coupure::Aucune);
        avertissements << tarvik::app::Formuler(grille.resultat.avertissements);
    }
    QCOMPARE(QFileInfo::exists(fichier), autre);
    QCOMPARE(avertissements.size(), autre ? 1 : 0);
    if (autre)
        QVERIFY2(avertissements[0].contains(fichier), qPrintable(avertissements[0]));
}

void TestVerrous::etatDuPort_data()
{
    QTest::addColumn<QString>("cas");
    QTest::addColumn<int>("etat"); // EtatPort::Etat
    QTest::addColumn<QString>("raison");
    const int p = int(EtatPort::Etat::Pret), a = int(EtatPort::Etat::Absent),
              o = int(EtatPort::Etat::Occupe), r = int(EtatPort::Etat::Refuse);
    const QString vivant = QStringLiteral("(%1, root)").arg(m_vivant.pid);
    // A dead process is nobody only where every process shows.
    const bool voit = VoitTousLesProcessus();
    const QString invisible = QStringLiteral("un programme que vous ne pouvez pas voir");
    // clang-format off
    QTest::newRow("prêt")                 << "pret"     << p << "";
    QTest::newRow("absent")               << "absent"   << a << "";
    QTest::newRow("verrou HDB")           << "hdb"      << o << vivant;
    QTest::newRow("verrou de minicom")    << "minicom"  << o << vivant;
    QTest::newRow("verrou de Qt")         << "qt"       << o << vivant;
    QTest::newRow("verrou en nombres")    << "nombres"  << o << vivant;
    QTest::newRow("verrou périmé")        << "perime"   << (voit ? p : o) << (voit ? "" : invisible);
    QTest::newRow("flock")                << "flock"    << o << QStringLiteral("(%1, root)").arg(::getpid());
    QTest::newRow("pas un port série")    << "fichier"  << r << "pas un port série";
    QTest::newRow("permission")           << "interdit" << r << "dialout";
    QTest::newRow("réglages douteux")     << "douteux"  << r << "réglages douteux";
    // The holder is known once the test runs: "<détenteur>" names it.
    QTest::newRow("verrou sous le nom d'un lien") << "lien" << o << "<détenteur>";
    QTest::newRow("verrou au nom d'un autre périphérique") << "autreNom" << o << "<détenteur>";
    QTest::newRow("flock d'un processus disparu") << "orphelin" << o << "<détenteur>";
    QTest::newRow("dossier des verrous fermé") << "ferme" << r << "dossier des verrous fermé";
    QTest::newRow("dossier des verrous illisible") << "illisible" << o << "ne peut pas être lu";
    // clang-format on
}

// The status line's state comes from the checks a run makes, the device
// never opened and no lock removed.
void TestVerrous::etatDuPort()
{
    QFETCH(QString, cas);
    QFETCH(int, etat);
    QFETCH(QString, raison);
    PseudoTerminal pty;
    QTemporaryDir dossier;
    const auto verrous = DossiersVerrou.remplacer({dossier.path()});
    struct stat numeros {};
    QCOMPARE(::stat(QFile::encodeName(pty.chemin()).constData(), &numeros), 0);
    const QString qt = dossier.filePath(QFileInfo(fichierUucp(pty.chemin())).fileName());
    const auto verrousDe = verrousDuTableau(dossier.path(), qt, numeros.st_rdev, m_vivant.pid);
    if (verrousDe.contains(cas))
        QVERIFY(ecrireFichier(verrousDe[cas].first, verrousDe[cas].second));
    const AutreDetenteur autreDetenteur(cas, pty.chemin(), dossier.path());
    if (raison == u"<détenteur>") {
        QVERIFY(autreDetenteur.pid > 0);
        raison = QStringLiteral("(%1, root)").arg(autreDetenteur.pid);
    }
    const int autre =
        ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    const auto fermer = qScopeGuard([&] { ::close(autre); });
    if (cas == QLatin1String("flock"))
        QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
    PortChoisi port =
        PortImpose(cas == QLatin1String("absent") ? QStringLiteral("/dev/tarvik-absent-pour-essai")
                   : cas == QLatin1String("fichier") ? qt + QStringLiteral(".txt")
                                                     : pty.chemin());
    if (cas == QLatin1String("fichier"))
        QVERIFY(ecrireFichier(port.peripherique, "x"));
    if (cas == QLatin1String("douteux"))
        port.echec = PortInconnu{CheminReglages(), EchecLecture{}};
    if (cas == QLatin1String("interdit")) {
        QCOMPARE(::chmod(QFile::encodeName(pty.chemin()).constData(), 0600), 0);
        ::setfsuid(65534);
    }
    if (cas == QLatin1String("ferme") || cas == QLatin1String("illisible")) {
        if (::geteuid() != 0)
            QSKIP("il faut être root pour se faire un autre utilisateur");
        // Closed to writing, or open to it but not to reading.
        QCOMPARE(::chmod(QFile::encodeName(dossier.path()).constData(),
                         cas == QLatin1String("ferme") ? 0755 : 0333),
                 0);
        QCOMPARE(::chmod(QFile::encodeName(pty.chemin()).constData(), 0666), 0);
        ::setfsuid(65534); // a user who may not write in the lock folder
    }
    OuverturesVues ouvertures(pty.chemin());
    const EtatPort vu = SonderPort(port);
    ::setfsuid(::geteuid());
    QCOMPARE(int(vu.etat), etat);
    const QString dit = tarvik::app::RaisonEtat(vu);
    QVERIFY2(raison.isEmpty() ? dit.isEmpty() : dit.contains(raison), qPrintable(dit));
    QCOMPARE(ouvertures.nombre(), 0);
    if (verrousDe.contains(cas)) // even a stale one stays
        QVERIFY(QFileInfo::exists(verrousDe[cas].first));
}

void TestVerrous::apresUnEnvoiTue_data()
{
    QTest::addColumn<bool>("dossier"); // a lock folder, else none at all (an empty tmpfs over /run)
    QTest::addColumn<QString>("entre"); // who holds the port meanwhile: nobody, a flock, screen
    QTest::addColumn<bool>("espace");   // the run meanwhile in a pid namespace of its own
    QTest::addColumn<QString>("refus"); // what that run says; empty: it sends
    const QString flock = QStringLiteral("port occupé par le processus %1").arg(::getpid());
    // clang-format off
    QTest::newRow("un flock entre-temps")     << true  << "flock"  << false << flock;
    QTest::newRow("sans dossier des verrous") << false << ""       << false << "";
    QTest::newRow("screen en mode exclusif")  << true  << "screen" << false << "(screen";
    QTest::newRow("screen, vu d'un autre espace de processus") << false << "screen" << true
        << "que vous ne pouvez pas voir";
    // clang-format on
}

// A run killed in the middle of a line leaves its start at the far end,
// the port in exclusive mode, and its lock, or the trace of its run where
// there is no lock folder. A program that holds the port meanwhile is
// never sent to, and its exclusive mode is left alone, by root too, even
// from a pid namespace where it does not show. The first run that gets the
// port starts with a lone line feed, whatever runs were refused before it,
// and clears the mode a run of ours left; the one after it starts clean.
void TestVerrous::apresUnEnvoiTue()
{
    QFETCH(bool, dossier);
    QFETCH(QString, entre);
    QFETCH(bool, espace);
    QFETCH(QString, refus);
    if (::geteuid() != 0 || !VoitTousLesProcessus())
        QSKIP("seul root, d'où il voit tous les processus, lève le mode exclusif qu'un envoi tué "
              "laisse");
    PseudoTerminal pty;
    QTemporaryDir verrous;
    const auto dossiers = DossiersVerrou.remplacer(
        {dossier ? verrous.path() : verrous.filePath(QStringLiteral("absent"))});
    struct stat etat {};
    QCOMPARE(::stat(QFile::encodeName(pty.chemin()).constData(), &etat), 0);
    QVERIFY(envoiTue(pty.chemin()));
    QCOMPARE(pty.lire(LigneCoupee.size()), LigneCoupee);
    QVERIFY(pty.exclusif());

    GrilleEssai grille;
    grille.lien.setPeripherique(pty.chemin());
    int envois = 0; // how many runs sent since the killed one
    {
        const int autre =
            ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
        const auto fermer = qScopeGuard([&] { ::close(autre); });
        if (entre == QLatin1String("flock"))
            QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
        std::optional<AutreProgramme> screen;
        if (entre == QLatin1String("screen"))
            QVERIFY(screen.emplace(AutreProgramme::Screen, pty.chemin(), etat.st_rdev).pret);
        const auto message =
            espace ? envoyerAilleurs(Ailleurs::Espace, pty.chemin())
                   : std::optional<QString>(grille.envoyer().value_or(EchecEssai{}).message);
        QVERIFY(message);
        QVERIFY2(refus.isEmpty() ? message->isEmpty() : message->contains(refus),
                 qPrintable(*message));
        if (!refus.isEmpty()) { // not a byte, and its holder keeps its mode
            QCOMPARE(pty.lire(), QByteArray());
            QVERIFY(pty.exclusif());
        }
    }
    for (; envois < 2; ++envois) {
        if (envois > 0 || !refus.isEmpty()) { // else the run meanwhile was the first
            const auto echec = grille.envoyer();
            QVERIFY2(!echec, qPrintable(echec ? echec->message : QString()));
        }
        QCOMPARE(grille.resultat.ligneNeuve != Coupure::Aucune, envois == 0);
        const QByteArray attendu = (envois == 0 ? "\n" : "") + surLeFil(lignesInitiales());
        QCOMPARE(pty.lire(attendu.size()), attendu);
        const QString dit = tarvik::app::Formuler(grille.resultat.avertissements).join(u' ');
        QVERIFY2(dit.contains(QStringLiteral("mode exclusif")) == (envois == 0), qPrintable(dit));
    }
    QVERIFY(!pty.exclusif());
}

void TestVerrous::autreDetenteur_data()
{
    QTest::addColumn<QString>("detenteur");
    QTest::addColumn<QString>("motif"); // in the refusal
    // clang-format off
    QTest::newRow("minicom sur un lien au nom d'un autre périphérique") << "lien" << "(minicom";
    QTest::newRow("minicom d'un autre utilisateur") << "utilisateur" << "que vous ne pouvez pas voir";
    QTest::newRow("minicom dans un autre espace de processus") << "espace" << "(minicom";
    QTest::newRow("descripteur exclusif en transit dans une socket") << "socket" << "rien ne montre";
    // clang-format on
}

// Holders of the device that no live lock under one of its names shows:
// minicom given a link named after another device of /dev (~/tty locks
// LCK..tty), another user's minicom, which a user cannot examine, minicom
// in a pid namespace of its own, whose lock names a pid that is nobody
// here, and an exclusive descriptor of the device that sits in a socket's
// queue, in no process. Each keeps the port, from root too: nothing is
// sent, nothing of theirs removed.
void TestVerrous::autreDetenteur()
{
    QFETCH(QString, detenteur);
    QFETCH(QString, motif);
    if (!m_espacePrive)
        QSKIP("il faut être root, dans un espace de montage à soi, pour lancer minicom sur un "
              "dossier des verrous privé");
    // A lock folder of its own for minicom, which locks in /run/lock.
    QCOMPARE(::mount("tmpfs", "/run/lock", "tmpfs", MS_NOSUID | MS_NODEV, "mode=1777"), 0);
    const auto demonter = qScopeGuard([] { ::umount2("/run/lock", MNT_DETACH); });
    PseudoTerminal pty;
    QTemporaryDir maison;
    QCOMPARE(::chmod(QFile::encodeName(maison.path()).constData(), 0755), 0);
    QCOMPARE(::chmod(QFile::encodeName(pty.chemin()).constData(), 0666), 0);
    struct stat etat {};
    QCOMPARE(::stat(QFile::encodeName(pty.chemin()).constData(), &etat), 0);
    const QString lien = maison.filePath(
        detenteur == QLatin1String("lien") ? QStringLiteral("tty") : QStringLiteral("p1-a"));
    QVERIFY(QFile::link(pty.chemin(), lien));
    int transit[2] = {-1, -1};
    const auto fermer = qScopeGuard([&] {
        ::close(transit[0]);
        ::close(transit[1]);
    });
    std::optional<AutreProgramme> minicom;
    if (detenteur == QLatin1String("socket"))
        QVERIFY(mettreEnTransit(pty.chemin(), transit));
    else if (detenteur == QLatin1String("espace"))
        QVERIFY(minicom.emplace(AutreProgramme::MinicomAilleurs, pty.chemin(), etat.st_rdev).pret);
    else
        QVERIFY(minicom.emplace(AutreProgramme::Minicom, lien, etat.st_rdev).pret);
    const QDir dossier(QStringLiteral("/run/lock"));
    const QStringList avant = dossier.entryList(QDir::Files);
    if (detenteur == QLatin1String("espace")) { // what makes the case: its pid is nobody's here
        const qint64 pid = lireFichier(dossier.filePath(avant.value(0))).trimmed().toLongLong();
        QVERIFY2(pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH,
                 qPrintable(avant.join(u' ')));
    }
    const auto message =
        detenteur == QLatin1String("utilisateur")
            ? envoyerAilleurs(Ailleurs::Nobody, pty.chemin())
            : [&] {
                  GrilleEssai grille;
                  grille.lien.setPeripherique(pty.chemin());
                  return std::optional(grille.envoyer().value_or(EchecEssai{}).message);
              }();
    QVERIFY(message);
    QVERIFY2(message->contains(QStringLiteral("port occupé")) && message->contains(motif),
             qPrintable(*message));
    QCOMPARE(pty.lire(), QByteArray());
    for (const QString &verrou : avant)
        QVERIFY2(dossier.exists(verrou), qPrintable(verrou));
}

QTEST_GUILESS_MAIN(TestVerrous)
#include "tst_verrous.moc"
