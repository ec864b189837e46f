// Figures for the sequence run, the holder search, the program's start, its
// rest and a long soak. Prints one "name value" line per figure, last. Not a
// test: nothing is asserted.
//
//   bench_tarvik [--parties bibliotheque|processus] [--comparer TARVIK2 ENVOYER2]
//                TARVIK BARE_QT TARVIK_ENVOYER
//   bench_tarvik --envoi      (the run's figures alone)
//
// "bibliotheque": what runs inside this process, against the libraries it
// was built with; "processus": the programs given, started and timed (needs
// an X display). With --comparer, each figure of the second part is given
// for both programs, "name value value2", measured in turns.
#include "app/formulation.h"
#include "app/surveillance_port.h"
#include "carte/etat_carte.h"
#include "carte/port_carte.h"
#include "core/course.h"
#include "port/detenteurs.h"
#include "port/verrous.h"
#include "run/envoyer_sequence.h"
#include "run/execution_programme.h"
#include "run/journal.h"
#include "system/ajout.h"
#include "system/journal_systeme.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

using namespace tarvik::app;
using namespace tarvik::carte;

extern char **environ;

namespace {

using Chrono = std::chrono::steady_clock;

double microsecondes(Chrono::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

double mediane(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The initial grid, axis 1's steps apart, and the list a run fills: the
// grid checked, then sent, as TEST does.
struct GrilleBanc {
    std::optional<EchecDit> envoyer()
    {
        TextesGrille textes;
        for (TextesRangee &rangee : textes)
            rangee = {QStringLiteral("00000"), QStringLiteral("+"), QStringLiteral("002")};
        textes[0].pas = pas1;
        const GrilleVerifiee verifiee = VerifierGrille(textes);
        if (verifiee.echec) {
            EchecDit refus;
            refus.message = Formuler(*verifiee.echec);
            return refus;
        }
        return EchecEntier(OuvrirEnvoyerFermer(*verifiee.grille, lien,
                                               {[this] { liste.clear(); },
                                                [this](const QString &ligne) {
                                                    liste.append(ligne);
                                                }}));
    }
    QString pas1 = QStringLiteral("00000");
    QStringList liste;
    LienSerie lien;
};

// Reads exactly n bytes from the master side (or what came within a second).
QByteArray lire(int maitre, qsizetype n)
{
    QByteArray recu;
    char tampon[512];
    while (recu.size() < n) {
        pollfd p{maitre, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0)
            break;
        const ssize_t lus = ::read(maitre, tampon, sizeof tampon);
        if (lus <= 0)
            break;
        recu.append(tampon, lus);
    }
    return recu;
}

// The bare POSIX minimum for the same bytes.
void envoiBrut(const char *chemin, const QByteArray &octets)
{
    const int fd = ::open(chemin, O_WRONLY | O_NOCTTY);
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B38400);
    t.c_cflag = (t.c_cflag & ~(CSIZE | PARENB | CSTOPB | CRTSCTS)) | CS8 | CLOCAL | CREAD;
    ::tcsetattr(fd, TCSANOW, &t);
    if (::write(fd, octets.constData(), size_t(octets.size())) != octets.size())
        std::fprintf(stderr, "écriture brute incomplète\n");
    ::tcdrain(fd);
    ::close(fd);
}

int descripteurs()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).count());
}

long rssKo(pid_t pid)
{
    QFile statut(QStringLiteral("/proc/%1/status").arg(pid));
    if (!statut.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &ligne : statut.readAll().split('\n'))
        if (ligne.startsWith("VmRSS:"))
            return ligne.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

QByteArray attendu(const QString &pas1)
{
    QByteArray octets;
    for (char l = 'A'; l <= 'G'; ++l)
        octets += l + QByteArray(l == 'A' ? "+" + pas1.toLatin1() : "+00000") + ":002\n";
    return octets;
}

// Starts a program on the X display and waits until a window of it is
// mapped; returns the time taken and leaves the process running.
std::optional<double> demarrer(xcb_connection_t *x, const char *programme, pid_t &pid,
                               const char *option = nullptr, const char *valeur = nullptr)
{
    const Chrono::time_point debut = Chrono::now();
    char *arguments[] = {const_cast<char *>(programme), const_cast<char *>(option),
                         const_cast<char *>(valeur), nullptr};
    if (::posix_spawn(&pid, programme, nullptr, nullptr, arguments, environ) != 0)
        return std::nullopt;
    while (xcb_generic_event_t *evenement = xcb_wait_for_event(x)) {
        const bool mappee = (evenement->response_type & 0x7f) == XCB_MAP_NOTIFY;
        std::free(evenement);
        if (mappee)
            return microsecondes(Chrono::now() - debut) / 1000.0;
    }
    return std::nullopt;
}

// Runs a program to its end; returns the time from start to exit in ms.
std::optional<double> executer(const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    for (const std::string &a : arguments)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions; // the lines it lists are not figures
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const Chrono::time_point debut = Chrono::now();
    pid_t pid = 0;
    int statut = 0;
    const int lance = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (lance != 0 || ::waitpid(pid, &statut, 0) != pid || !WIFEXITED(statut) ||
        WEXITSTATUS(statut) != 0)
        return std::nullopt;
    return microsecondes(Chrono::now() - debut) / 1000.0;
}

// The CPU time a process has used so far, in ms, to the nanosecond the
// scheduler counts it (the first field of /proc/PID/schedstat).
double tempsCpuMs(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    return stat.readAll().split(' ').value(0).toDouble() / 1e6;
}

// The median time, over `fois` changes, from a port's link going away or
// coming back to the state its watch gives changing. The changes come a
// little apart, as a plug never comes quicker: the reaction to one, not
// how looks are spaced.
double delaiDeConstat(const QString &pty, int fois)
{
    const auto sansUdev = NouvelleSource.remplacer([] { return nullptr; }); // as in a container
    const QString dossier =
        QDir::temp().filePath(QStringLiteral("tarvik-bench-lien-%1").arg(::getpid()));
    QDir().mkpath(dossier);
    const QString lien = dossier + QStringLiteral("/port");
    QFile::link(pty, lien);
    SurveillancePort surveillance;
    surveillance.surveiller(PortImpose(lien));
    surveillance.setActive(true);
    std::vector<double> delais;
    for (int i = 0; i < fois; ++i) {
        QEventLoop boucle;
        QTimer::singleShot(300, &boucle, &QEventLoop::quit);
        boucle.exec();
        QObject::connect(&surveillance, &SurveillancePort::etatChange, &boucle, &QEventLoop::quit);
        QTimer::singleShot(3000, &boucle, &QEventLoop::quit);
        const Chrono::time_point t = Chrono::now();
        if (i % 2 == 0)
            QFile::remove(lien);
        else
            QFile::link(pty, lien);
        boucle.exec();
        delais.push_back(microsecondes(Chrono::now() - t) / 1000.0);
    }
    QDir(dossier).removeRecursively();
    return mediane(delais);
}

// A program of `etapes` steps of the initial grid, `dixiemes` apart.
Programme programmeBanc(int etapes, int dixiemes)
{
    TextesGrille textes;
    for (TextesRangee &rangee : textes)
        rangee = {QStringLiteral("00000"), QStringLiteral("+"), QStringLiteral("002")};
    Programme programme;
    for (int k = 0; k < etapes; ++k)
        programme.etapes << EtapeProgramme{{}, *VerifierGrille(textes).grille, dixiemes};
    return programme;
}

// Runs `programme` to its end, the board side read as it comes.
void executer(ExecutionProgramme &execution, const Programme &programme, int maitre)
{
    QSocketNotifier lecteur(maitre, QSocketNotifier::Read);
    QObject::connect(&lecteur, &QSocketNotifier::activated, [maitre] {
        char tampon[4096];
        [[maybe_unused]] const ssize_t lus = ::read(maitre, tampon, sizeof tampon);
    });
    QEventLoop boucle;
    QObject::connect(&execution, &ExecutionProgramme::termine, &boucle, &QEventLoop::quit);
    execution.demarrer(programme);
    boucle.exec();
}

// How far each wait between two steps is from the 100 ms asked, in ms: the
// median and the largest over 100 waits.
std::pair<double, double> ecartsDAttente(const QString &pty, int maitre)
{
    LienSerie lien;
    lien.setPeripherique(pty);
    ExecutionProgramme execution(lien);
    Chrono::time_point debut;
    std::vector<double> ecarts;
    QObject::connect(&execution, &ExecutionProgramme::attente,
                     [&](qint64) { debut = Chrono::now(); });
    QObject::connect(&execution, &ExecutionProgramme::etapeCommencee, [&](int etape, int) {
        if (etape > 0)
            ecarts.push_back(std::abs(microsecondes(Chrono::now() - debut) / 1000.0 - 100));
    });
    executer(execution, programmeBanc(101, 1), maitre);
    return {mediane(ecarts), ecarts.empty() ? 0 : *std::max_element(ecarts.begin(), ecarts.end())};
}

// The time from Stop to the program's end, in ms, on a line nobody reads
// (the step's send stalled): the median and the largest of 10 (a run the
// link's opening freed by throwing the filler away does not count).
std::pair<double, double> tempsDArret(const QString &pty, int maitre)
{
    std::vector<double> temps;
    for (int i = 0; i < 10; ++i) {
        const int esclave =
            ::open(QFile::encodeName(pty).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
        const QByteArray plein(4096, 'x');
        while (::write(esclave, plein.constData(), size_t(plein.size())) > 0) {
        }
        ::close(esclave);
        LienSerie lien;
        lien.setPeripherique(pty);
        ExecutionProgramme execution(lien);
        Chrono::time_point arret;
        QTimer::singleShot(300, [&] {
            arret = Chrono::now();
            execution.arreter();
        });
        QEventLoop boucle;
        QObject::connect(&execution, &ExecutionProgramme::termine, &boucle, &QEventLoop::quit);
        bool arretee = false; // while the line was stalled
        QObject::connect(&execution, &ExecutionProgramme::termine, [&](const ResultatProgramme &r) {
            arretee = r.fin == ResultatProgramme::Fin::Arretee;
        });
        execution.demarrer(programmeBanc(2, 1));
        boucle.exec();
        if (arretee)
            temps.push_back(microsecondes(Chrono::now() - arret) / 1000.0);
        lire(maitre, 1 << 20); // the line drained for the next one
    }
    return {mediane(temps), temps.empty() ? 0 : *std::max_element(temps.begin(), temps.end())};
}

// A datagram socket at `chemin` that stands in for journald's; -1 when it
// cannot be had.
int socketDeRemplacement(const QByteArray &chemin)
{
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    std::strncpy(adresse.sun_path, chemin.constData(), sizeof adresse.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&adresse), sizeof adresse) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// One record's entry for the system's journal, formed and handed over, in
// microseconds (median): to journald's socket when this machine has one
// (`reel`), else to a socket of the bench's own, emptied between two entries
// (not timed), and then that one full, each entry dropped (`plein`).
struct CoutJournalSysteme {
    double us = 0, pleinUs = 0;
    bool reel = false;
};
CoutJournalSysteme coutJournalSysteme(const EnregistrementEnvoi &envoi)
{
    CoutJournalSysteme mesure;
    struct stat etat {};
    mesure.reel = ::stat(SocketJournalSysteme, &etat) == 0 && S_ISSOCK(etat.st_mode);
    const QByteArray remplacant = QFile::encodeName(
        QDir::temp().filePath(QStringLiteral("tarvik-bench-%1.journal").arg(::getpid())));
    const int lecteur = mesure.reel ? -1 : socketDeRemplacement(remplacant);
    if (!mesure.reel && lecteur < 0)
        return mesure;
    const char *socket = mesure.reel ? SocketJournalSysteme : remplacant.constData();
    std::vector<double> temps, plein;
    char tampon[65536];
    for (int i = 0; i < (mesure.reel ? 200 : 1000); ++i) {
        const Chrono::time_point t = Chrono::now();
        if (!EnvoyerAuJournalSysteme(EntreeJournalSysteme(envoi, MessageJournalSysteme(envoi)),
                                     socket))
            std::fprintf(stderr, "entrée %d non prise\n", i);
        temps.push_back(microsecondes(Chrono::now() - t));
        while (lecteur >= 0 && ::recv(lecteur, tampon, sizeof tampon, 0) > 0) {
        }
    }
    mesure.us = mediane(temps);
    if (lecteur >= 0) {
        while (EnvoyerAuJournalSysteme(EntreeJournalSysteme(envoi, MessageJournalSysteme(envoi)),
                                       socket)) {
        }
        for (int i = 0; i < 1000; ++i) {
            const Chrono::time_point t = Chrono::now();
            EnvoyerAuJournalSysteme(EntreeJournalSysteme(envoi, MessageJournalSysteme(envoi)),
                                    socket);
            plein.push_back(microsecondes(Chrono::now() - t));
        }
        mesure.pleinUs = mediane(plein);
        ::close(lecteur);
        ::unlink(remplacant.constData());
    }
    return mesure;
}

void arreter(pid_t pid)
{
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}

// The time to check where a program of 1,000 steps, every axis moving,
// takes the axes over 10,000 cycles against a travel limit on each, in
// milliseconds (median of 21): the whole run keeps within the limits.
double tempsDeCourse()
{
    QByteArray texte = "programme tarvik 1\nrepeter 10000\n";
    for (int k = 0; k < EtapesMax; ++k) {
        texte += "\netape\n";
        // Out and back by pairs of steps, a step further out now and then:
        // every axis drifts by 10 steps a cycle.
        for (int numero = 1; numero <= NombreAxes; ++numero) {
            const auto pas = std::int32_t(((k / 2) * 37 + numero * 11) % 900 + (k % 100 == 0));
            texte += FormerLigne(
                LigneAxe({LettreAxe(numero), QChar(k % 2 ? u'-' : u'+'), pas, std::uint8_t(10)}));
        }
        if (k + 1 < EtapesMax)
            texte += "attendre 0\n";
    }
    const ProgrammeAnalyse lu = AnalyserProgramme(texte);
    Limites limites;
    for (LimitesAxe &axe : limites.axes)
        axe.course = CourseMax;
    std::vector<double> temps;
    for (int i = 0; i < 21 && lu.programme; ++i) {
        const Chrono::time_point t = Chrono::now();
        const QList<ValeurRefusee> refus =
            VerifierCourse(*lu.programme, limites, 0, lu.programme->repetitions);
        temps.push_back(microsecondes(Chrono::now() - t) / 1000);
        if (!refus.isEmpty())
            std::fprintf(stderr, "course refusée : %s\n", qPrintable(Formuler(refus[0])));
    }
    if (!lu.programme)
        std::fprintf(stderr, "programme du banc refusé : %s\n", qPrintable(Formuler(*lu.echec)));
    return mediane(temps);
}

// The load the busy holder search runs beside, from a process of its own
// (bench_tarvik --charge): `processus` processes holding `descripteurs`
// descriptors each, and one of `fils` sleeping threads, a few of them with
// a file table of their own. It lasts as long as the object.
class Charge {
public:
    Charge(int fils, int processus, int descripteurs)
    {
        int entree[2], sortie[2];
        if (::pipe2(entree, O_CLOEXEC) != 0 || ::pipe2(sortie, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, entree[0], STDIN_FILENO);
        ::posix_spawn_file_actions_adddup2(&actions, sortie[1], STDOUT_FILENO);
        const std::string f = std::to_string(fils), p = std::to_string(processus),
                          d = std::to_string(descripteurs);
        char *arguments[] = {const_cast<char *>("bench_tarvik"), const_cast<char *>("--charge"),
                             const_cast<char *>(f.c_str()),      const_cast<char *>(p.c_str()),
                             const_cast<char *>(d.c_str()),      nullptr};
        if (::posix_spawn(&m_pid, "/proc/self/exe", &actions, nullptr, arguments, environ) != 0)
            m_pid = -1;
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(entree[0]);
        ::close(sortie[1]);
        m_entree = entree[1];
        pollfd p1{sortie[0], POLLIN, 0};
        char c = 0;
        m_prete = m_pid > 0 && ::poll(&p1, 1, 120000) == 1 && ::read(sortie[0], &c, 1) == 1;
        ::close(sortie[0]);
    }
    ~Charge()
    {
        ::close(m_entree); // its end
        if (m_pid > 0)
            ::waitpid(m_pid, nullptr, 0);
    }
    Charge(const Charge &) = delete;
    Charge &operator=(const Charge &) = delete;
    bool prete() const { return m_prete; }

private:
    pid_t m_pid = -1;
    int m_entree = -1;
    bool m_prete = false;
};

int g_pret = -1; // where each thread of the load says it is in place

void *dormir(void *propre)
{
    if (propre && ::unshare(CLONE_FILES) != 0)
        std::perror("unshare");
    [[maybe_unused]] const ssize_t n = ::write(g_pret, "x", 1);
    for (;;)
        ::pause();
    return nullptr;
}

// The load itself, in the process bench_tarvik --charge starts: in place,
// it says so on its standard output and lasts until its input ends.
int porterLaCharge(int fils, int processus, int descripteurs)
{
    int prets[2];
    if (::pipe(prets) != 0)
        return 1;
    std::vector<pid_t> enfants;
    for (int p = 0; p < processus; ++p) {
        const pid_t enfant = ::fork();
        if (enfant == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            for (int k = 0; k < descripteurs; ++k)
                if (::open("/dev/null", O_RDONLY) < 0)
                    std::perror("open");
            [[maybe_unused]] const ssize_t n = ::write(prets[1], "x", 1);
            for (;;)
                ::pause();
        }
        enfants.push_back(enfant);
    }
    g_pret = prets[1];
    pthread_attr_t attributs;
    ::pthread_attr_init(&attributs);
    ::pthread_attr_setstacksize(&attributs, 64 * 1024);
    int lances = 0;
    for (int t = 0; t < fils; ++t) {
        pthread_t fil;
        // One in 625 (16 of 10,000) with a file table of its own.
        void *propre = t % 625 == 0 ? &fil : nullptr;
        lances += ::pthread_create(&fil, &attributs, dormir, propre) == 0;
    }
    char c;
    for (int attendus = processus + lances; attendus > 0 && ::read(prets[0], &c, 1) == 1;)
        --attendus;
    if (lances < fils)
        std::fprintf(stderr, "charge : %d fils sur %d\n", lances, fils);
    [[maybe_unused]] const ssize_t n = ::write(STDOUT_FILENO, "x", 1);
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
    for (const pid_t enfant : enfants) {
        ::kill(enfant, SIGKILL);
        ::waitpid(enfant, nullptr, 0);
    }
    ::_exit(0);
}

// What a real send does to find who holds a free port, before it opens it:
// the opening's first lock stage (the links of /dev/serial to the device,
// each lock folder read once, every lock file under a name of the device,
// and the live process each one names), in µs, one per opening. After the
// opening come one flock and one ioctl for exclusive mode, with the taking
// of its own lock files (stage_locks_us has them all).
std::vector<double> rechercheDetenteurs(const QString &pty, int fois)
{
    LienSerie lien;
    lien.setPeripherique(pty);
    double cetteFois = 0;
    int verrous = 0; // lock stages ended in this opening
    Chrono::time_point jalon;
    const auto suivre = FinDEtapeLien.remplacer([&](EtapeLien etape) {
        const Chrono::time_point maintenant = Chrono::now();
        if (etape == EtapeLien::Verrous && verrous++ == 0)
            cetteFois = microsecondes(maintenant - jalon);
        jalon = maintenant;
    });
    std::vector<double> temps;
    for (int i = 0; i < fois; ++i) {
        cetteFois = 0;
        verrous = 0;
        jalon = Chrono::now();
        if (const auto echec = lien.ouvrir())
            std::fprintf(stderr, "ouverture refusée : %s\n", qPrintable(Formuler(*echec)));
        temps.push_back(cetteFois);
        lien.fermer();
    }
    return temps;
}

// The walk a send makes only when it finds exclusive mode set: every file
// table of every process (/proc/*/task/*/fd), in ms, one per walk.
std::vector<double> parcoursExclusif(const QString &pty, int fois)
{
    struct stat etat {};
    ::stat(QFile::encodeName(pty).constData(), &etat);
    std::vector<double> temps;
    for (int i = 0; i < fois; ++i) {
        const Chrono::time_point t = Chrono::now();
        if (const Detenteurs d = DetenteursOuverts(etat.st_rdev); !d.pids.isEmpty())
            std::fprintf(stderr, "le pseudo-terminal du banc est tenu par %lld\n", d.pids[0]);
        temps.push_back(microsecondes(Chrono::now() - t) / 1000);
    }
    return temps;
}

// Opens and closes a pseudo-terminal 10 times a second, beside a program at
// rest (terminals, bridges and test runs do), while it lasts.
class Remous {
public:
    Remous()
        : m_fil([this] {
            while (!m_fin) {
                int maitre = -1, esclave = -1;
                if (::openpty(&maitre, &esclave, nullptr, nullptr, nullptr) == 0) {
                    ::close(esclave);
                    ::close(maitre);
                }
                ::usleep(100000);
            }
        })
    {
    }
    ~Remous()
    {
        m_fin = true;
        m_fil.join();
    }

private:
    std::atomic<bool> m_fin = false;
    std::thread m_fil;
};

// The machine's processors since boot, from /proc/stat: time busy and in
// all, in clock ticks.
std::pair<double, double> processeurs()
{
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return {0, 0};
    const QList<QByteArray> champs = stat.readLine().simplified().split(' ');
    double total = 0;
    for (qsizetype i = 1; i < champs.size(); ++i)
        total += champs[i].toDouble();
    return {total - champs.value(4).toDouble() - champs.value(5).toDouble(), total};
}

// How busy the machine was, in %, over the spans the programs were at rest
// (all but nothing of it is others' work then).
double g_occupe = 0, g_total = 0;

// The CPU time, in ms a minute, that a program uses over `secondes` at
// rest, once its window is shown and its start is over (two half seconds
// in a row under a millisecond each, ten seconds at most), with ptys
// churning beside it or not.
double repos(xcb_connection_t *x, const char *programme, const char *port, int secondes,
             bool remous)
{
    pid_t pid = 0;
    if (!demarrer(x, programme, pid, port ? "--port" : nullptr, port))
        return 0;
    for (int i = 0, calmes = 0; i < 20 && calmes < 2; ++i) {
        const double avant = tempsCpuMs(pid);
        ::usleep(500000);
        calmes = tempsCpuMs(pid) - avant < 1 ? calmes + 1 : 0;
    }
    std::optional<Remous> autour;
    if (remous)
        autour.emplace();
    const double avant = tempsCpuMs(pid);
    const auto [occupe, total] = processeurs();
    ::sleep(unsigned(secondes));
    const double cpu = tempsCpuMs(pid) - avant;
    const auto [occupeApres, totalApres] = processeurs();
    g_occupe += occupeApres - occupe;
    g_total += totalApres - total;
    autour.reset();
    arreter(pid);
    return cpu * 60 / secondes;
}

// The lines a second the virtual board reads unpaced from its
// pseudo-terminal, judges, counts and forms into JSON lines, as fast as a
// writer of its own gives them: 100,000 commands of 12 bytes.
double lignesCarteParSeconde()
{
    PortCarte port({{}, true, 1.0, {}, {}, {}});
    if (port.brancher())
        return 0;
    constexpr qint64 Lignes = 100000;
    QByteArray flux;
    for (qint64 k = 0; k < Lignes; ++k)
        flux += char('A' + k % 7) + QByteArray(k % 2 ? "+" : "-") +
                QByteArray::number(k % 100000).rightJustified(5, '0') + ":002\n";
    EtatCarte etat;
    qint64 recues = 0, json = 0;
    QEventLoop boucle;
    QObject::connect(&port, &PortCarte::ligneRecue,
                     [&](const LigneRecue &ligne, const QDateTime &temps) {
                         json += FormerJson(etat.prendre(ligne, temps)).size();
                         if (++recues == Lignes)
                             boucle.quit();
                     });
    QTimer::singleShot(60000, &boucle, &QEventLoop::quit);
    const Chrono::time_point debut = Chrono::now();
    std::thread ecrivain([&] {
        const int fd = ::open(QFile::encodeName(port.peripherique()).constData(),
                              O_WRONLY | O_NOCTTY | O_CLOEXEC);
        for (qsizetype fait = 0; fd >= 0 && fait < flux.size();) {
            const ssize_t n = ::write(fd, flux.constData() + fait, size_t(flux.size() - fait));
            if (n <= 0)
                break;
            fait += n;
        }
        if (fd >= 0)
            ::close(fd);
    });
    boucle.exec();
    const double secondes = microsecondes(Chrono::now() - debut) / 1e6;
    ecrivain.join();
    if (recues != Lignes || etat.anomalies() != 0 || json == 0)
        std::fprintf(stderr, "carte : %lld lignes lues sur %lld, %lld anomalies\n", recues, Lignes,
                     etat.anomalies());
    return double(recues) / secondes;
}

// One "name value" line per figure, with its note when it has one.
void imprimer(const std::vector<std::pair<const char *, double>> &figures,
              const std::vector<std::pair<const char *, const char *>> &notes)
{
    for (const auto &[nom, valeur] : figures) {
        std::printf("%s %.6g", nom, valeur);
        for (const auto &[quoi, note] : notes)
            if (std::strcmp(quoi, nom) == 0)
                std::printf(" %s", note);
        std::printf("\n");
    }
}

// A figure of the programs' part: this build's value and the compared one's.
struct Figure {
    const char *nom;
    double valeur;
    double autre = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && std::strcmp(argv[1], "--charge") == 0)
        return porterLaCharge(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    QCoreApplication application(argc, argv);
    std::vector<std::pair<const char *, double>> figures;
    std::vector<std::pair<const char *, const char *>> notes; // after a figure's value
    std::vector<Figure> programmes;                           // the programs' part
    bool bibliotheque = true, processus = true;
    const char *autre = nullptr, *autreEnvoyeur = nullptr; // the build compared
    std::vector<const char *> arguments;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--parties") == 0 && i + 1 < argc) {
            bibliotheque = std::strcmp(argv[i + 1], "processus") != 0;
            processus = std::strcmp(argv[i + 1], "bibliotheque") != 0;
            ++i;
        } else if (std::strcmp(argv[i], "--comparer") == 0 && i + 2 < argc) {
            autre = argv[i + 1];
            autreEnvoyeur = argv[i + 2];
            i += 2;
        } else {
            arguments.push_back(argv[i]);
        }
    }
    const char *tarvik = arguments.size() > 0 ? arguments[0] : nullptr;
    const char *nu = arguments.size() > 1 ? arguments[1] : nullptr;
    const char *envoyeur = arguments.size() > 2 ? arguments[2] : nullptr;
    // `--envoi`: the run's figures alone, to set two builds side by side.
    const bool envoiSeul = argc == 2 && std::strcmp(argv[1], "--envoi") == 0;

    int maitre = -1, esclave = -1;
    char nom[128] = {};
    if (::openpty(&maitre, &esclave, nom, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    // Held by the bench alone: not by the programs it starts.
    ::fcntl(maitre, F_SETFD, FD_CLOEXEC);
    ::fcntl(esclave, F_SETFD, FD_CLOEXEC);
    const QByteArray octets = attendu(QStringLiteral("00000"));
    if (bibliotheque) {
        if (!envoiSeul) {
            figures.push_back({"travel_check_ms", tempsDeCourse()});
            const double carte = lignesCarteParSeconde();
            figures.push_back({"carte_lines_per_s", carte});
            // What 38400 baud carries: 3,840 bytes a second, 320 lines of 12 bytes.
            figures.push_back({"carte_vs_wire", carte / (OctetsParSecondeLigne / 12.0)});
        }

        GrilleBanc grille;
        grille.lien.setPeripherique(QString::fromLocal8Bit(nom));
        // The same run with its lock file on a tmpfs, as /run/lock is on a
        // Debian host (some containers keep it on the disk).
        GrilleBanc grilleTmpfs;
        grilleTmpfs.lien.setPeripherique(QString::fromLocal8Bit(nom));

        // One run against the bare minimum, interleaved; where the run's time
        // goes, stage by stage, as the link tells each stage's end.
        constexpr int Tours = 2000;
        std::vector<double> run, runTmpfs, brut;
        constexpr int Etapes = int(EtapeLien::Liberation) + 1;
        std::array<std::vector<double>, Etapes> etapes;
        std::array<double, Etapes> cetteFois{};
        Chrono::time_point jalon;
        const auto suivreEtapes = FinDEtapeLien.remplacer([&](EtapeLien etape) {
            const Chrono::time_point maintenant = Chrono::now();
            cetteFois[std::size_t(etape)] += microsecondes(maintenant - jalon);
            jalon = maintenant;
        });
        for (int i = 0; i < Tours; ++i) {
            for (auto [g, temps] : {std::pair{&grille, &run}, std::pair{&grilleTmpfs, &runTmpfs}}) {
                const auto tmpfs = DossiersVerrou.remplacer(
                    g == &grilleTmpfs ? QStringList{QStringLiteral("/dev/shm")} : *DossiersVerrou);
                cetteFois = {};
                const Chrono::time_point t = Chrono::now();
                jalon = t;
                const bool echec = g->envoyer().has_value();
                temps->push_back(microsecondes(Chrono::now() - t));
                if (g == &grille)
                    for (int e = 0; e < Etapes; ++e)
                        etapes[std::size_t(e)].push_back(cetteFois[std::size_t(e)]);
                if (echec || lire(maitre, 84) != octets)
                    std::fprintf(stderr, "séquence %d incorrecte\n", i);
            }
            const Chrono::time_point t = Chrono::now();
            envoiBrut(nom, octets);
            brut.push_back(microsecondes(Chrono::now() - t));
            lire(maitre, 84);
        }
        const double runUs = mediane(run), brutUs = mediane(brut), tmpfsUs = mediane(runTmpfs);
        const double filUs = 84 * 10 / 38400.0 * 1e6; // 84 bytes of 10 bits at 38400 baud
        figures.insert(figures.end(), {{"run_us", runUs},
                                       {"raw_us", brutUs},
                                       {"run_vs_raw", runUs / brutUs},
                                       {"run_lock_tmpfs_us", tmpfsUs},
                                       {"run_lock_tmpfs_vs_raw", tmpfsUs / brutUs},
                                       {"run_share_of_wire", runUs / filUs},
                                       {"stage_checks_us", mediane(etapes[0])},
                                       {"stage_locks_us", mediane(etapes[1])},
                                       {"stage_open_settings_us", mediane(etapes[2])},
                                       {"stage_write_drain_us", mediane(etapes[3])},
                                       {"stage_release_us", mediane(etapes[4])}});
        if (envoiSeul) {
            imprimer(figures, notes);
            return 0;
        }

        // One journal record: appended in one write and flushed to the disk,
        // after the run has drained.
        {
            const QString fichier = QDir::temp().filePath(
                QStringLiteral("tarvik-bench-%1/journal.log").arg(::getpid()));
            EnregistrementEnvoi envoi{QDateTime::currentDateTime(),
                                      QStringLiteral("tarvik"),
                                      {},
                                      QString::fromLocal8Bit(nom),
                                      QString::fromLocal8Bit(nom),
                                      IssueEnvoi::Envoyee,
                                      {},
                                      grille.liste,
                                      {}};
            std::vector<double> journal;
            for (int i = 0; i < 1000; ++i) {
                const Chrono::time_point t = Chrono::now();
                if (AjouterEnregistrement(fichier, FormerEnregistrement(envoi), TailleMaxJournal))
                    std::fprintf(stderr, "enregistrement %d impossible\n", i);
                journal.push_back(microsecondes(Chrono::now() - t));
            }
            QDir(QFileInfo(fichier).path()).removeRecursively();
            figures.push_back({"journal_us", mediane(journal)});
            figures.push_back({"stage_journal_us", mediane(journal)});

            // Its copy for the system's journal, under a name of the bench's own.
            envoi.executable = QStringLiteral("tarvik-bench");
            const CoutJournalSysteme systeme = coutJournalSysteme(envoi);
            figures.push_back({"journal_systeme_us", systeme.us});
            notes.push_back(
                {"journal_systeme_us", systeme.reel ? "(socket de journald)"
                                                    : "(socket de remplacement, vidé entre deux)"});
            if (!systeme.reel) {
                figures.push_back({"journal_systeme_full_us", systeme.pleinUs});
                notes.push_back({"journal_systeme_full_us", "(socket de remplacement plein)"});
            }
        }

        // Soak: every byte of every run checked, in order.
        for (int i = 0; i < 20; ++i) { // warm-up
            grille.envoyer();
            lire(maitre, 84);
        }
        const int fdsAvant = descripteurs();
        const long rssAvant = rssKo(::getpid());
        constexpr int Soak = 10000;
        long octetsBons = 0;
        for (int i = 0; i < Soak; ++i) {
            grille.pas1 = QStringLiteral("%1").arg(i % 100000, 5, 10, QChar(u'0'));
            const bool echec = grille.envoyer().has_value();
            const QByteArray recu = lire(maitre, 84), voulu = attendu(grille.pas1);
            if (!echec && recu == voulu)
                octetsBons += recu.size();
        }
        figures.insert(figures.end(), {{"soak_runs", Soak},
                                       {"soak_bytes_ok", double(octetsBons)},
                                       {"fd_growth", descripteurs() - fdsAvant},
                                       {"rss_growth_kb", double(rssKo(::getpid()) - rssAvant)}});

        figures.push_back({"notice_ms", delaiDeConstat(QString::fromLocal8Bit(nom), 10)});
        const auto [ecart, ecartMax] = ecartsDAttente(QString::fromLocal8Bit(nom), maitre);
        const auto [arret, arretMax] = tempsDArret(QString::fromLocal8Bit(nom), maitre);
        figures.insert(figures.end(), {{"wait_error_ms", ecart},
                                       {"wait_error_max_ms", ecartMax},
                                       {"stop_ms", arret},
                                       {"stop_max_ms", arretMax}});

        // Who holds the port, as a send on a free one looks for it: with the
        // machine as it is, and with 10,000 more threads (16 of them with a
        // file table of their own) and 40,000 more descriptors (100
        // processes of 400), by turns; and the walk of every file table a
        // send makes only when it finds exclusive mode set.
        std::vector<double> calme, charge, exclusif, exclusifCharge;
        for (int tour = 0; tour < 6; ++tour) {
            const auto ajouter = [](std::vector<double> &a, const std::vector<double> &b) {
                a.insert(a.end(), b.begin(), b.end());
            };
            ajouter(calme, rechercheDetenteurs(QString::fromLocal8Bit(nom), 150));
            ajouter(exclusif, parcoursExclusif(QString::fromLocal8Bit(nom), 3));
            const Charge occupee(10000, 100, 400);
            if (!occupee.prete()) {
                std::fprintf(stderr, "la charge n'a pas pu être mise en place\n");
                break;
            }
            ajouter(charge, rechercheDetenteurs(QString::fromLocal8Bit(nom), 150));
            ajouter(exclusifCharge, parcoursExclusif(QString::fromLocal8Bit(nom), 3));
        }
        const double d = mediane(calme), dc = mediane(charge);
        figures.insert(figures.end(), {{"holders_us", d},
                                       {"holders_us_busy", dc},
                                       {"holders_busy_ratio", dc / d},
                                       {"holders_exclusive_ms", mediane(exclusif)},
                                       {"holders_exclusive_ms_busy", mediane(exclusifCharge)}});
    }

    // The programs: this build's and the compared one's, by turns.
    std::vector<const char *> panneaux{tarvik};
    if (autre)
        panneaux.push_back(autre);
    const auto ajouterProgramme = [&](const char *nom, const std::vector<double> &valeurs) {
        programmes.push_back({nom, valeurs[0], valeurs.size() > 1 ? valeurs[1] : valeurs[0]});
    };

    // A whole send from a script: tarvik-envoyer against the bare shell floor
    // for the same bytes, alternating, each a whole process from start to exit.
    if (processus && envoyeur) {
        const std::string fichier =
            QDir::temp().filePath(QStringLiteral("tarvik-bench.seq")).toStdString();
        QFile sequence(QString::fromStdString(fichier));
        if (sequence.open(QIODevice::WriteOnly) && sequence.write(octets) == octets.size() &&
            sequence.flush()) {
            const std::string pty = nom;
            std::vector<std::vector<std::string>> commandes{{envoyeur, fichier, "--port", pty}};
            if (autreEnvoyeur)
                commandes.push_back({autreEnvoyeur, fichier, "--port", pty});
            commandes.push_back({"/bin/sh", "-c",
                                 "stty -F " + pty + " 38400 cs8 -parenb -cstopb raw && cat " +
                                     fichier + " > " + pty});
            std::vector<std::vector<double>> temps(commandes.size());
            for (int i = 0; i < 60; ++i) {
                for (std::size_t c = 0; c < commandes.size(); ++c) {
                    const auto ms = executer(commandes[c]);
                    if (!ms || lire(maitre, 84) != octets)
                        std::fprintf(stderr, "envoi %d incorrect (%s)\n", i,
                                     commandes[c][0].c_str());
                    else if (i >= 5) // the first ones warm the caches
                        temps[c].push_back(*ms);
                }
            }
            std::vector<double> cli, rapport;
            const double sh = mediane(temps.back());
            for (std::size_t c = 0; c + 1 < commandes.size(); ++c) {
                cli.push_back(mediane(temps[c]));
                rapport.push_back(cli.back() / sh);
            }
            ajouterProgramme("cli_send_ms", cli);
            ajouterProgramme("shell_send_ms", {sh});
            ajouterProgramme("cli_vs_shell", rapport);
        }
        sequence.remove();
    }

    // Start-up, against a bare Qt window, interleaved; then the rest.
    xcb_connection_t *x = processus && nu ? xcb_connect(nullptr, nullptr) : nullptr;
    if (x && xcb_connection_has_error(x)) {
        std::fprintf(stderr, "pas d'écran X : démarrage non mesuré\n");
    } else if (x) {
        xcb_screen_t *ecran = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
        const uint32_t masque = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(x, ecran->root, XCB_CW_EVENT_MASK, &masque);
        xcb_flush(x);
        std::vector<const char *> departs = panneaux;
        departs.push_back(nu);
        std::vector<std::vector<double>> temps(departs.size()), rss(departs.size());
        for (int i = 0; i < 15; ++i) {
            for (std::size_t quel = 0; quel < departs.size(); ++quel) {
                pid_t pid = 0;
                const auto ms = demarrer(x, departs[quel], pid);
                ::usleep(300000); // let it settle before reading its memory
                temps[quel].push_back(ms.value_or(0));
                rss[quel].push_back(double(rssKo(pid)));
                arreter(pid);
            }
        }
        const double n = mediane(temps.back()), rssNu = mediane(rss.back());
        std::vector<double> t, rapport, r, rapportRss;
        for (std::size_t quel = 0; quel + 1 < departs.size(); ++quel) {
            t.push_back(mediane(temps[quel]));
            rapport.push_back(t.back() / n);
            r.push_back(mediane(rss[quel]));
            rapportRss.push_back(r.back() / rssNu);
        }
        ajouterProgramme("startup_ms", t);
        ajouterProgramme("bare_qt_ms", {n});
        ajouterProgramme("startup_vs_bare", rapport);
        ajouterProgramme("rss_kb", r);
        ajouterProgramme("bare_rss_kb", {rssNu});
        ajouterProgramme("rss_vs_bare", rapportRss);

        // At rest: the panel watching a port behind a link, as a socat
        // bridge gives one, and a bare window; then the panel given the
        // pty by its own name while ptys come and go beside it. Three
        // turns of 20 s each, the programs by turns; the medians.
        const QString dossier = QDir::temp().filePath(QStringLiteral("tarvik-bench-repos"));
        QDir().mkpath(dossier);
        const QByteArray lien = QFile::encodeName(dossier + QStringLiteral("/port"));
        QFile::remove(QString::fromLocal8Bit(lien));
        QFile::link(QString::fromLocal8Bit(nom), QString::fromLocal8Bit(lien));
        constexpr int Secondes = 20;
        std::vector<std::vector<double>> calme(panneaux.size()), remous(panneaux.size());
        std::vector<double> nuCalme;
        for (int tour = 0; tour < 3; ++tour) {
            for (std::size_t quel = 0; quel < panneaux.size(); ++quel) {
                calme[quel].push_back(repos(x, panneaux[quel], lien.constData(), Secondes, false));
                remous[quel].push_back(repos(x, panneaux[quel], nom, Secondes, true));
            }
            nuCalme.push_back(repos(x, nu, nullptr, Secondes, false));
        }
        QDir(dossier).removeRecursively();
        std::vector<double> c, rc;
        for (std::size_t quel = 0; quel < panneaux.size(); ++quel) {
            c.push_back(mediane(calme[quel]));
            rc.push_back(mediane(remous[quel]));
        }
        ajouterProgramme("idle_cpu_ms_per_min", c);
        ajouterProgramme("idle_cpu_ms_per_min_churn", rc);
        ajouterProgramme("bare_idle_cpu_ms_per_min", {mediane(nuCalme)});
        ajouterProgramme("machine_busy_pct_at_rest", {g_total > 0 ? 100 * g_occupe / g_total : 0});
        xcb_disconnect(x);
    }

    imprimer(figures, notes);
    for (const Figure &figure : programmes) {
        std::printf("%s %.6g", figure.nom, figure.valeur);
        if (autre)
            std::printf(" %.6g", figure.autre);
        std::printf("\n");
    }
    return 0;
}
