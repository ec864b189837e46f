#include "impression.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvik::cli {

namespace {

// One thread that writes, in order, what it is handed for its descriptors.
// Never destroyed: at the program's end it may still wait on a reader that
// stopped, and the program ends without it.
class Imprimeur {
public:
    Imprimeur()
        : m_progres(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
    {
        std::thread([this] { ecrireSansFin(); }).detach();
    }

    void ajouter(int fd, const QByteArray &octets)
    {
        {
            const std::lock_guard verrou(m_mutex);
            if (erreurDe(fd))
                return;
            m_file.emplace_back(fd, octets);
        }
        m_travail.notify_one();
    }
    bool fini() const
    {
        const std::lock_guard verrou(m_mutex);
        return m_file.empty() && !m_enCours;
    }
    int erreur(int fd) const
    {
        const std::lock_guard verrou(m_mutex);
        return erreurDe(fd);
    }
    // Readable after each write, and once everything is written.
    int progres() const { return m_progres; }

private:
    int erreurDe(int fd) const { return fd == STDOUT_FILENO ? m_erreurs[0] : m_erreurs[1]; }

    void ecrireSansFin()
    {
        for (;;) {
            std::pair<int, QByteArray> suivant;
            {
                std::unique_lock verrou(m_mutex);
                m_travail.wait(verrou, [this] { return !m_file.empty(); });
                suivant = std::move(m_file.front());
                m_file.pop_front();
                m_enCours = true;
            }
            const int erreur = ecrire(suivant.first, suivant.second);
            {
                const std::lock_guard verrou(m_mutex);
                m_enCours = false;
                int &premiere = suivant.first == STDOUT_FILENO ? m_erreurs[0] : m_erreurs[1];
                if (erreur && !premiere)
                    premiere = erreur;
            }
            ::eventfd_write(m_progres, 1);
        }
    }

    // Writes every byte, telling each step forward; the errno of a failure.
    int ecrire(int fd, const QByteArray &octets)
    {
        for (qsizetype fait = 0; fait < octets.size();) {
            const ssize_t n = ::write(fd, octets.constData() + fait, size_t(octets.size() - fait));
            if (n > 0) {
                fait += n;
                ::eventfd_write(m_progres, 1);
            } else if (n < 0 && errno == EAGAIN) { // a descriptor another program made non-blocking
                pollfd p{fd, POLLOUT, 0};
                ::poll(&p, 1, -1);
            } else if (n == 0 || errno != EINTR) {
                return n < 0 ? errno : EIO;
            }
        }
        return 0;
    }

    const int m_progres;
    mutable std::mutex m_mutex;
    std::condition_variable m_travail;
    std::deque<std::pair<int, QByteArray>> m_file;
    bool m_enCours = false;
    int m_erreurs[2] = {0, 0}; // stdout's, stderr's
};

struct Imprimeurs {
    Imprimeur *sortie, *erreurs; // the same one when both are the same file
};

Imprimeurs &imprimeurs()
{
    static Imprimeurs tous = [] {
        struct stat sortie {
        }, erreurs{};
        const bool meme = ::fstat(STDOUT_FILENO, &sortie) == 0 &&
                          ::fstat(STDERR_FILENO, &erreurs) == 0 &&
                          sortie.st_dev == erreurs.st_dev && sortie.st_ino == erreurs.st_ino;
        auto *premier = new Imprimeur;
        return Imprimeurs{premier, meme ? premier : new Imprimeur};
    }();
    return tous;
}

Imprimeur &imprimeur(int fd)
{
    return *(fd == STDOUT_FILENO ? imprimeurs().sortie : imprimeurs().erreurs);
}

} // namespace

void Imprimer(int fd, const QByteArray &octets)
{
    if (!octets.isEmpty())
        imprimeur(fd).ajouter(fd, octets);
}

void Dire(const QString &texte)
{
    Imprimer(STDERR_FILENO, texte.toLocal8Bit());
}

int ErreurImpression(int fd)
{
    return imprimeur(fd).erreur(fd);
}

bool AttendreImpression(int reveil, int calmeMs, int fd)
{
    const Imprimeur *sortie = fd == STDERR_FILENO ? imprimeurs().erreurs : imprimeurs().sortie;
    const Imprimeur *erreurs = fd == STDOUT_FILENO ? imprimeurs().sortie : imprimeurs().erreurs;
    for (;;) {
        eventfd_t vu = 0;
        for (const Imprimeur *un : {sortie, erreurs})
            ::eventfd_read(un->progres(), &vu); // taken before looking: none is missed
        if (sortie->fini() && erreurs->fini())
            return true;
        pollfd attentes[3] = {{sortie->progres(), POLLIN, 0},
                              {erreurs->progres(), POLLIN, 0},
                              {reveil, POLLIN, 0}}; // -1 is passed over
        const int n = ::poll(attentes, 3, calmeMs);
        if (n == 0 || (n > 0 && (attentes[2].revents & POLLIN)))
            return false;
    }
}

} // namespace tarvik::cli
