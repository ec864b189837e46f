#include "port/detenteurs.h"

#include "system/lecture.h"
#include "system/noms.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <linux/kcmp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tarvik::port {

namespace {

QString nomProcessus(qint64 pid)
{
    const FichierLu comm = LireFichier(QStringLiteral("/proc/%1/comm").arg(pid), 64);
    return QString::fromUtf8(comm.contenu).trimmed();
}

QString utilisateurDe(qint64 pid)
{
    struct stat etat {};
    if (::stat(QStringLiteral("/proc/%1").arg(pid).toLatin1().constData(), &etat) != 0)
        return {};
    return NomUtilisateur(etat.st_uid);
}

// What a look at a process's file tables found.
enum class Vue { Vu, Rien, Invisible };

// Calls `voir` with each descriptor of the process `pid`, as its folder
// (/proc/PID/task/TID) and its number, once for each file table: the
// threads that share their process's table (kcmp says which) are passed
// over. Vu as soon as `voir` says yes.
Vue parcourir(const QByteArray &pid,
              const std::function<bool(const QByteArray &tache, const char *fd)> &voir)
{
    const QByteArray taches = "/proc/" + pid + "/task";
    DIR *d = ::opendir(taches.constData());
    if (!d) // or it has just ended
        return errno == EACCES || errno == EPERM ? Vue::Invisible : Vue::Rien;
    Vue vue = Vue::Rien;
    while (const dirent *entree = ::readdir(d)) {
        const QByteArray tid(entree->d_name);
        if (tid.startsWith('.') ||
            (tid != pid &&
             ::syscall(SYS_kcmp, pid.toLongLong(), tid.toLongLong(), KCMP_FILES, 0, 0) == 0))
            continue;
        const QByteArray tache = taches + '/' + tid;
        DIR *fds = ::opendir((tache + "/fd").constData());
        if (!fds) {
            vue = errno == EACCES || errno == EPERM ? Vue::Invisible : vue;
            continue;
        }
        bool vu = false;
        while (const dirent *fd = ::readdir(fds))
            if (fd->d_name[0] != '.' && (vu = voir(tache, fd->d_name)))
                break;
        ::closedir(fds);
        if (vu) {
            vue = Vue::Vu;
            break;
        }
    }
    ::closedir(d);
    return vue;
}

// Whether the descriptor `fd` of the task at `tache` is the device `rdev`.
bool estLePeripherique(const QByteArray &tache, const char *fd, quint64 rdev)
{
    struct stat etat {};
    return ::stat((tache + "/fd/" + fd).constData(), &etat) == 0 && S_ISCHR(etat.st_mode) &&
           etat.st_rdev == rdev;
}

// Calls `voir` with each other process's pid, from /proc; false when /proc
// cannot be read.
bool chaqueProcessus(const std::function<void(const QByteArray &pid)> &voir)
{
    DIR *processus = ::opendir("/proc");
    if (!processus)
        return false;
    const QByteArray moi = QByteArray::number(::getpid());
    while (const dirent *entree = ::readdir(processus)) {
        const QByteArray pid(entree->d_name);
        bool numero = false;
        pid.toLongLong(&numero);
        if (numero && pid != moi)
            voir(pid);
    }
    ::closedir(processus);
    return true;
}

// "08:01:1234": how /proc/locks names the file (st_dev, st_ino).
QByteArray cleDeFichier(quint64 appareil, quint64 inode)
{
    return QStringLiteral("%1:%2:%3")
        .arg(major(appareil), 2, 16, QChar(u'0'))
        .arg(minor(appareil), 2, 16, QChar(u'0'))
        .arg(inode)
        .toLatin1();
}

// In a line of /proc/locks ("1: FLOCK ADVISORY WRITE 1234 00:05:7 0 EOF")
// or of a descriptor's fdinfo ("lock:\t1: FLOCK …"): the pid of a flock on
// the file `cle`, as a text; empty when the line is not about one.
QByteArray flockDansLaLigne(const QByteArray &ligne, const QByteArray &cle)
{
    const QList<QByteArray> champs = ligne.simplified().split(' ');
    const qsizetype i = champs.indexOf("FLOCK");
    return i >= 0 && champs.value(i + 4) == cle ? champs.value(i + 3) : QByteArray();
}

} // namespace

QString NomUtilisateur(uid_t uid)
{
    const passwd *compte = ::getpwuid(uid);
    return compte ? NomLocal(compte->pw_name) : QString::number(uid);
}

bool ProcessusVivant(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

Processus LireProcessus(qint64 pid)
{
    return {pid, nomProcessus(pid), utilisateurDe(pid)};
}

qint64 DetenteurFlock(quint64 appareil, quint64 inode)
{
    const FichierLu verrous = LireFichier(QStringLiteral("/proc/locks"), 1 << 20);
    const QByteArray cle = cleDeFichier(appareil, inode);
    for (const QByteArray &ligne : verrous.contenu.split('\n'))
        // A holder that has died left the lock to a child: its pid says nothing.
        if (const QByteArray pid = flockDansLaLigne(ligne, cle); !pid.isEmpty())
            return ProcessusVivant(pid.toLongLong()) ? pid.toLongLong() : 0;
    return 0;
}

Flock FlockSur(quint64 appareil, quint64 inode, quint64 rdev)
{
    Flock flock;
    const QByteArray cle = cleDeFichier(appareil, inode);
    for (const QByteArray &ligne :
         LireFichier(QStringLiteral("/proc/locks"), 1 << 20).contenu.split('\n'))
        if (const QByteArray pid = flockDansLaLigne(ligne, cle); !pid.isEmpty()) {
            flock.pris = true;
            flock.pid = ProcessusVivant(pid.toLongLong()) ? pid.toLongLong() : 0;
            break;
        }
    if (!flock.pris || flock.pid)
        return flock;
    // Its taker has died: the descriptor that carries the lock says who holds it now.
    const auto porteLeVerrou = [&](const QByteArray &tache, const char *fd) {
        if (!estLePeripherique(tache, fd, rdev))
            return false;
        const FichierLu fdinfo = LireFichier(QString::fromLatin1(tache + "/fdinfo/" + fd), 4096);
        const QList<QByteArray> lignes = fdinfo.contenu.split('\n');
        return std::any_of(lignes.begin(), lignes.end(), [&](const QByteArray &ligne) {
            return !flockDansLaLigne(ligne, cle).isEmpty();
        });
    };
    const bool lu = chaqueProcessus([&](const QByteArray &pid) {
        if (flock.pid)
            return;
        const Vue vue = parcourir(pid, porteLeVerrou);
        flock.pid = vue == Vue::Vu ? pid.toLongLong() : 0;
        flock.invisible |= vue == Vue::Invisible;
    });
    flock.invisible |= !lu;
    return flock;
}

Detenteurs DetenteursOuverts(quint64 rdev)
{
    Detenteurs detenteurs;
    const auto ouvert = [rdev](const QByteArray &tache, const char *fd) {
        return estLePeripherique(tache, fd, rdev);
    };
    const bool lu = chaqueProcessus([&](const QByteArray &pid) {
        const Vue vue = parcourir(pid, ouvert);
        if (vue == Vue::Vu)
            detenteurs.pids << pid.toLongLong();
        detenteurs.invisibles |= vue == Vue::Invisible;
    });
    detenteurs.invisibles |= !lu;
    return detenteurs;
}

Tenu TientPeripherique(qint64 pid, quint64 rdev)
{
    switch (parcourir(QByteArray::number(pid), [rdev](const QByteArray &tache, const char *fd) {
        return estLePeripherique(tache, fd, rdev);
    })) {
    case Vue::Vu:
        return Tenu::Oui;
    case Vue::Invisible:
        return Tenu::Inconnu;
    case Vue::Rien:
        break;
    }
    return Tenu::Non;
}

namespace {

// The capabilities this process holds (CapEff of /proc/self/status).
quint64 capacites()
{
    for (const QByteArray &ligne :
         LireFichier(QStringLiteral("/proc/self/status"), 16384).contenu.split('\n'))
        if (ligne.startsWith("CapEff:"))
            return ligne.mid(7).trimmed().toULongLong(nullptr, 16);
    return 0;
}

// Whether the /proc this program reads hides processes from it: mounted
// with hidepid (other users' processes hidden, or unreadable) or subset=pid,
// unless it may see through that (CAP_SYS_PTRACE). From the last mount on
// /proc in /proc/self/mountinfo ("22 27 0:21 / /proc rw - proc proc
// rw,hidepid=2"); unreadable, it hides.
bool procCache()
{
    const FichierLu montages = LireFichier(QStringLiteral("/proc/self/mountinfo"), 4 << 20);
    if (montages.echec)
        return true;
    QList<QByteArray> options;
    bool vu = false;
    for (const QByteArray &ligne : montages.contenu.split('\n')) {
        const QList<QByteArray> champs = ligne.split(' ');
        const qsizetype tiret = champs.indexOf("-");
        if (champs.size() > 4 && champs[4] == "/proc" && tiret > 0 &&
            champs.value(tiret + 1) == "proc") {
            options = champs.value(tiret + 3).split(',');
            vu = true;
        }
    }
    if (!vu)
        return true;
    const bool cache = std::any_of(options.begin(), options.end(), [](const QByteArray &option) {
        return (option.startsWith("hidepid=") && option != "hidepid=0" &&
                option != "hidepid=off") ||
               option.startsWith("subset=");
    });
    constexpr int CapSysPtrace = 19;
    return cache && !(capacites() & (quint64(1) << CapSysPtrace));
}

} // namespace

bool VoitTousLesProcessus()
{
    // PROC_PID_INIT_INO: the kernel numbers the initial pid namespace so,
    // and no other.
    char espace[64];
    const ssize_t n = ::readlink("/proc/self/ns/pid", espace, sizeof espace);
    return n > 0 && QByteArrayView(espace, n) == "pid:[4026531836]" && !procCache();
}

Imbriques ProcessusImbriques()
{
    Imbriques imbriques;
    imbriques.complet = chaqueProcessus([&](const QByteArray &pid) {
        const int fd = ::open(("/proc/" + pid + "/status").constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) { // unless it has just ended
            imbriques.complet &= errno != EACCES && errno != EPERM;
            return;
        }
        QByteArray etat;
        const auto echec = LireDescripteur(fd, etat, 16384);
        ::close(fd);
        if (echec)
            return; // ended while it was read
        for (const QByteArray &ligne : etat.split('\n'))
            if (ligne.startsWith("NSpid:")) {
                const QList<QByteArray> pids = ligne.mid(6).simplified().split(' ');
                for (qsizetype i = 1; i < pids.size(); ++i)
                    imbriques.ici.insert(pids[i].toLongLong(), pid.toLongLong());
            }
    });
    return imbriques;
}

} // namespace tarvik::port
