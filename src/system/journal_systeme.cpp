#include "system/journal_systeme.h"

#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

QByteArray FormerEntreeJournal(const QList<ChampJournal> &champs)
{
    QByteArray entree;
    for (const auto &[nom, valeur] : champs) {
        entree += nom;
        if (!valeur.contains('\n')) {
            entree += '=';
            entree += valeur;
        } else {
            const quint64 taille = qToLittleEndian(quint64(valeur.size()));
            entree += '\n';
            entree.append(reinterpret_cast<const char *>(&taille), sizeof taille);
            entree += valeur;
        }
        entree += '\n';
    }
    return entree;
}

bool EnvoyerAuJournalSysteme(const QList<ChampJournal> &champs, const char *socket)
{
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    const size_t longueur = std::strlen(socket);
    if (longueur >= sizeof adresse.sun_path)
        return false;
    std::memcpy(adresse.sun_path, socket, longueur);
    const int avant = errno;
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        errno = avant;
        return false;
    }
    const QByteArray entree = FormerEntreeJournal(champs);
    iovec morceau{const_cast<char *>(entree.constData()), size_t(entree.size())};
    msghdr message{};
    message.msg_name = &adresse;
    message.msg_namelen = socklen_t(offsetof(sockaddr_un, sun_path) + longueur + 1);
    message.msg_iov = &morceau;
    message.msg_iovlen = 1;
    ssize_t envoye = 0;
    do // never waits: a full queue (EAGAIN) drops the entry
        envoye = ::sendmsg(fd, &message, MSG_DONTWAIT | MSG_NOSIGNAL);
    while (envoye < 0 && errno == EINTR);
    ::close(fd);
    errno = avant;
    return envoye == entree.size();
}
