// Figures for the sequence run, the program's start and a long soak. Prints
// one "name value" line per figure, last. Not a test: nothing is asserted.
//
//   bench_tarvik TARVIK BARE_QT TARVIK_ENVOYER
//   (the start-up part needs an X display)
//   bench_tarvik --envoi      (the run's figures alone)
#include "app/formulation.h"
#include "app/surveillance_port.h"
#include "carte/etat_carte.h"
#include "carte/port_carte.h"
#include "core/course.h"
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
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <string>
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
    std::optional<EchecLien> envoyer()
    {
        TextesGrille textes;
        for (TextesRangee &rangee : textes)
            rangee = {QStringLiteral("00000"), QStringLiteral("+"), QStringLiteral("002")};
        textes[0].pas = pas1;
        const GrilleVerifiee verifiee = VerifierGrille(textes);
        if (verifiee.echec)
            return Refus(EchecLien::Genre::OuvertureEchouee, Formuler(*verifiee.echec));
        return OuvrirEnvoyerFermer(*verifiee.grille, lien,
                                   {[this] { liste.clear(); },
                                    [this](const QString &ligne) {
                                        liste.append(ligne);
                                    }})
            .echec;
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
// coming back to the state its watch gives changing.
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
        if (!EnvoyerAuJournalSysteme(EntreeJournalSysteme(envoi), socket))
            std::fprintf(stderr, "entrée %d non prise\n", i);
        temps.push_back(microsecondes(Chrono::now() - t));
        while (lecteur >= 0 && ::recv(lecteur, tampon, sizeof tampon, 0) > 0) {
        }
    }
    mesure.us = mediane(temps);
    if (lecteur >= 0) {
        while (EnvoyerAuJournalSysteme(EntreeJournalSysteme(envoi), socket)) {
        }
        for (int i = 0; i < 1000; ++i) {
            const Chrono::time_point t = Chrono::now();
            EnvoyerAuJournalSysteme(EntreeJournalSysteme(envoi), socket);
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    InstallerCitations(); // the failures it prints, in the programs' words
    std::vector<std::pair<const char *, double>> figures;
    std::vector<std::pair<const char *, const char *>> notes; // after a figure's value

    int maitre = -1, esclave = -1;
    char nom[128] = {};
    if (::openpty(&maitre, &esclave, nom, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    // `--envoi`: the run's figures alone, to set two builds side by side.
    const bool envoiSeul = argc == 2 && std::strcmp(argv[1], "--envoi") == 0;
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
    const QByteArray octets = attendu(QStringLiteral("00000"));

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
        const QString fichier =
            QDir::temp().filePath(QStringLiteral("tarvik-bench-%1/journal.log").arg(::getpid()));
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
        notes.push_back({"journal_systeme_us", systeme.reel
                                                   ? "(socket de journald)"
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

    // A whole send from a script: tarvik-envoyer against the bare shell floor
    // for the same bytes, alternating, each a whole process from start to exit.
    if (argc >= 4) {
        const std::string fichier =
            QDir::temp().filePath(QStringLiteral("tarvik-bench.seq")).toStdString();
        QFile sequence(QString::fromStdString(fichier));
        if (sequence.open(QIODevice::WriteOnly) && sequence.write(octets) == octets.size() &&
            sequence.flush()) {
            const std::string pty = nom;
            const std::vector<std::string> cli{argv[3], fichier, "--port", pty};
            const std::vector<std::string> shell{"/bin/sh", "-c",
                                                 "stty -F " + pty +
                                                     " 38400 cs8 -parenb -cstopb raw && cat " +
                                                     fichier + " > " + pty};
            std::vector<double> tempsCli, tempsShell;
            for (int i = 0; i < 60; ++i) {
                for (const auto *commande : {&cli, &shell}) {
                    const auto ms = executer(*commande);
                    if (!ms || lire(maitre, 84) != octets)
                        std::fprintf(stderr, "envoi %d incorrect (%s)\n", i,
                                     (*commande)[0].c_str());
                    else if (i >= 5) // the first ones warm the caches
                        (commande == &cli ? tempsCli : tempsShell).push_back(*ms);
                }
            }
            const double c = mediane(tempsCli), sh = mediane(tempsShell);
            figures.insert(figures.end(),
                           {{"cli_send_ms", c}, {"shell_send_ms", sh}, {"cli_vs_shell", c / sh}});
        }
        sequence.remove();
    }

    // Start-up, against a bare Qt window, interleaved.
    if (argc >= 3) {
        xcb_connection_t *x = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(x)) {
            std::fprintf(stderr, "pas d'écran X : démarrage non mesuré\n");
        } else {
            xcb_screen_t *ecran = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
            const uint32_t masque = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
            xcb_change_window_attributes(x, ecran->root, XCB_CW_EVENT_MASK, &masque);
            xcb_flush(x);
            constexpr int Departs = 15;
            std::vector<double> tarvik, nu, rss, rssNu;
            for (int i = 0; i < Departs; ++i) {
                for (int quel = 0; quel < 2; ++quel) {
                    pid_t pid = 0;
                    const auto ms = demarrer(x, argv[1 + quel], pid);
                    ::usleep(300000); // let it settle before reading its memory
                    (quel == 0 ? tarvik : nu).push_back(ms.value_or(0));
                    (quel == 0 ? rss : rssNu).push_back(double(rssKo(pid)));
                    arreter(pid);
                }
            }
            const double t = mediane(tarvik), n = mediane(nu);
            figures.insert(figures.end(), {{"startup_ms", t},
                                           {"bare_qt_ms", n},
                                           {"startup_vs_bare", t / n},
                                           {"rss_kb", mediane(rss)},
                                           {"bare_rss_kb", mediane(rssNu)}});
            // A minute with nothing happening: the panel watching a port
            // behind a link, as a socat bridge gives one, and a bare window.
            const QString dossier = QDir::temp().filePath(QStringLiteral("tarvik-bench-repos"));
            QDir().mkpath(dossier);
            const QByteArray lien = QFile::encodeName(dossier + QStringLiteral("/port"));
            QFile::remove(QString::fromLocal8Bit(lien));
            QFile::link(QString::fromLocal8Bit(nom), QString::fromLocal8Bit(lien));
            double cpu[2] = {};
            for (int quel = 0; quel < 2; ++quel) {
                pid_t pid = 0;
                demarrer(x, argv[1 + quel], pid, quel == 0 ? "--port" : nullptr,
                         quel == 0 ? lien.constData() : nullptr);
                ::sleep(2); // settled
                const double avant = tempsCpuMs(pid);
                ::sleep(60);
                cpu[quel] = tempsCpuMs(pid) - avant;
                arreter(pid);
            }
            QDir(dossier).removeRecursively();
            figures.insert(figures.end(),
                           {{"idle_cpu_ms_per_min", cpu[0]}, {"bare_idle_cpu_ms_per_min", cpu[1]}});
            xcb_disconnect(x);
        }
    }

    imprimer(figures, notes);
    return 0;
}
