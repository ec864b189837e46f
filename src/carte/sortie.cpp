#include "carte/sortie.h"

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace tarvik::carte {

struct SortieEnFond::Partage {
    int fd = -1;
    std::mutex verrou;
    std::condition_variable change;
    QByteArray attente;
    bool enEcriture = false, arret = false;
    qint64 perdus = 0;
    int erreur = 0;
};

namespace {

// Writes everything, or says why not.
int ecrireTout(int fd, const QByteArray &octets)
{
    for (qsizetype fait = 0; fait < octets.size();) {
        const ssize_t n = ::write(fd, octets.constData() + fait, size_t(octets.size() - fait));
        if (n > 0)
            fait += n;
        else if (n < 0 && errno != EINTR)
            return errno;
    }
    return 0;
}

} // namespace

SortieEnFond::SortieEnFond(int fd)
    : m_partage(std::make_shared<Partage>())
{
    m_partage->fd = fd;
    std::thread([p = m_partage] {
        std::unique_lock verrou(p->verrou);
        for (;;) {
            p->change.wait(verrou, [&] { return p->arret || !p->attente.isEmpty(); });
            if (p->attente.isEmpty())
                return;
            const QByteArray octets = std::exchange(p->attente, {});
            p->enEcriture = true;
            verrou.unlock();
            const int erreur = p->erreur ? p->erreur : ecrireTout(p->fd, octets);
            verrou.lock();
            p->enEcriture = false;
            if (erreur && !p->erreur) {
                p->erreur = erreur;
                p->perdus += octets.count('\n');
            }
            p->change.notify_all();
        }
    }).detach();
}

SortieEnFond::~SortieEnFond()
{
    std::lock_guard verrou(m_partage->verrou);
    m_partage->arret = true;
    m_partage->change.notify_all();
}

void SortieEnFond::ecrire(const QByteArray &octets)
{
    std::lock_guard verrou(m_partage->verrou);
    if (m_partage->erreur || m_partage->attente.size() + octets.size() > AttenteMax) {
        m_partage->perdus += octets.count('\n');
        return;
    }
    m_partage->attente += octets;
    m_partage->change.notify_all();
}

bool SortieEnFond::vider(QDeadlineTimer echeance)
{
    std::unique_lock verrou(m_partage->verrou);
    return m_partage->change.wait_until(
        verrou, echeance.deadline<std::chrono::steady_clock>(),
        [&] { return m_partage->attente.isEmpty() && !m_partage->enEcriture; });
}

qint64 SortieEnFond::perdus() const
{
    std::lock_guard verrou(m_partage->verrou);
    return m_partage->perdus;
}

int SortieEnFond::erreur() const
{
    std::lock_guard verrou(m_partage->verrou);
    return m_partage->erreur;
}

} // namespace tarvik::carte
