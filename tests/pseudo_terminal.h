// A pseudo-terminal that stands in for the board: the program writes to the
// slave side, the test reads what arrived on the master side.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

class PseudoTerminal {
public:
    PseudoTerminal()
    {
        char nom[128] = {};
        if (::openpty(&m_maitre, &m_esclave, nom, nullptr, nullptr) == 0) {
            ::fcntl(m_maitre, F_SETFL, ::fcntl(m_maitre, F_GETFL) | O_NONBLOCK);
            // The programs a test starts hold neither end: they would count
            // as holders of the terminal.
            ::fcntl(m_maitre, F_SETFD, FD_CLOEXEC);
            ::fcntl(m_esclave, F_SETFD, FD_CLOEXEC);
            m_chemin = QString::fromLocal8Bit(nom);
        }
    }
    ~PseudoTerminal()
    {
        fermerMaitre();
        if (m_esclave >= 0)
            ::close(m_esclave);
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool valide() const { return !m_chemin.isEmpty(); }
    QString chemin() const { return m_chemin; }
    int maitre() const { return m_maitre; }

    // Everything the board has received: reads until `attendus` bytes came
    // (or 20 s passed: a loaded machine may take its time), then whatever
    // follows at once.
    QByteArray lire(qsizetype attendus = 0)
    {
        QByteArray recu;
        const auto lireDisponible = [&](int delaiMs) {
            pollfd p{m_maitre, POLLIN, 0};
            if (::poll(&p, 1, delaiMs) <= 0 || !(p.revents & POLLIN))
                return false;
            char tampon[4096];
            const ssize_t n = ::read(m_maitre, tampon, sizeof tampon);
            if (n <= 0)
                return false;
            recu.append(tampon, n);
            return true;
        };
        QElapsedTimer chrono;
        chrono.start();
        while (recu.size() < attendus && chrono.elapsed() < 20000)
            lireDisponible(50);
        while (lireDisponible(20)) {
        }
        return recu;
    }

    // Fills the line with `octet` until it takes no more, as a board that
    // stopped reading would; returns how many bytes went in. The kernel moves
    // what waits on the slave's side to the master's when it gets round to
    // it: the line is full once the master's side holds all it can and the
    // slave's side then takes nothing more. Bounded at 10 s.
    qsizetype remplir(char octet = 'x')
    {
        termios brut{};
        ::tcgetattr(m_esclave, &brut);
        ::cfmakeraw(&brut);
        ::tcsetattr(m_esclave, TCSANOW, &brut);
        const int drapeaux = ::fcntl(m_esclave, F_GETFL);
        ::fcntl(m_esclave, F_SETFL, drapeaux | O_NONBLOCK);
        const QByteArray bloc(1024, octet);
        constexpr int PleinDuMaitre = 4095; // the line discipline's buffer, less one byte
        QElapsedTimer chrono;
        chrono.start();
        qsizetype total = 0;
        for (;;) {
            qsizetype tour = 0;
            for (ssize_t n; (n = ::write(m_esclave, bloc.constData(), bloc.size())) > 0;)
                tour += n;
            // Small writes still fit in the buffers the kernel keeps for reuse.
            for (ssize_t n; (n = ::write(m_esclave, bloc.constData(), 1)) > 0;)
                tour += n;
            total += tour;
            int chezLeMaitre = 0;
            ::ioctl(m_maitre, FIONREAD, &chezLeMaitre);
            if ((tour == 0 && chezLeMaitre >= PleinDuMaitre) || chrono.elapsed() > 10000)
                break;
            if (tour == 0) // the kernel has yet to move bytes across
                ::poll(nullptr, 0, 5);
        }
        ::fcntl(m_esclave, F_SETFL, drapeaux);
        return total;
    }

    // Whether a program left the line in exclusive mode: the mark stays as
    // long as anyone holds the terminal open, as the test does.
    bool exclusif() const
    {
        int exclusif = 0;
        return ::ioctl(m_esclave, TIOCGEXCL, &exclusif) == 0 && exclusif;
    }

    // What the last close of a real port does to a killed program's
    // exclusive mode; here the test keeps the terminal open, which a live
    // holder would be to the program.
    void effacerExclusivite() { ::ioctl(m_esclave, TIOCNXCL); }

    void fermerMaitre()
    {
        if (m_maitre >= 0)
            ::close(m_maitre);
        m_maitre = -1;
    }

private:
    int m_maitre = -1;
    int m_esclave = -1;
    QString m_chemin;
};

// Sends a signal to one process; never to a whole group, as a pid of 0 or
// less (a program that has already ended) would.
inline bool signaler(qint64 pid, int signal)
{
    return pid > 0 && ::kill(pid_t(pid), signal) == 0;
}

// Counts how often a file is opened from now on. Its closes are watched
// too: the kernel merges two identical events in a row, never an open that
// a close follows.
class OuverturesVues {
public:
    explicit OuverturesVues(const QString &chemin)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        ::inotify_add_watch(m_fd, QFile::encodeName(chemin).constData(), IN_OPEN | IN_CLOSE);
    }
    ~OuverturesVues() { ::close(m_fd); }
    OuverturesVues(const OuverturesVues &) = delete;
    OuverturesVues &operator=(const OuverturesVues &) = delete;
    int nombre()
    {
        alignas(inotify_event) char tampon[4096];
        for (ssize_t n; (n = ::read(m_fd, tampon, sizeof tampon)) > 0;)
            for (ssize_t k = 0; k < n;) {
                const auto *evenement = reinterpret_cast<const inotify_event *>(tampon + k);
                m_vues += (evenement->mask & IN_OPEN) ? 1 : 0;
                k += ssize_t(sizeof(inotify_event) + evenement->len);
            }
        return m_vues;
    }

private:
    int m_fd;
    int m_vues = 0;
};
