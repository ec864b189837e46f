#include "system/journal_systeme.h"

#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tarvik::system {

namespace {

// An entry too large for one datagram, in a sealed memory file, as journald's
// native protocol takes it (it refuses one that could still change); -1 when
// it cannot be made.
int fichierScelle(const QByteArray &entree)
{
    const int fd = ::memfd_create("tarvik-journal", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return -1;
    for (qsizetype fait = 0; fait < entree.size();) {
        const ssize_t n = ::write(fd, entree.constData() + fait, size_t(entree.size() - fait));
        if (n > 0) {
            fait += n;
        } else if (n == 0 || errno != EINTR) {
            ::close(fd);
            return -1;
        }
    }
    if (::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sends `message` without ever waiting; whether it was taken whole.
bool envoyerSansAttente(int socket, msghdr &message, qsizetype taille)
{
    ssize_t envoye = 0;
    do // never waits: a full queue (EAGAIN) drops the entry
        envoye = ::sendmsg(socket, &message, MSG_DONTWAIT | MSG_NOSIGNAL);
    while (envoye < 0 && errno == EINTR);
    return envoye == taille;
}

} // namespace

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
    bool pris = envoyerSansAttente(fd, message, entree.size());
    if (!pris && errno == EMSGSIZE) {
        // Too large for a datagram: an empty one that carries the memory file.
        if (const int fichier = fichierScelle(entree); fichier >= 0) {
            alignas(cmsghdr) char controle[CMSG_SPACE(sizeof(int))] = {};
            message.msg_iov = nullptr;
            message.msg_iovlen = 0;
            message.msg_control = controle;
            message.msg_controllen = sizeof controle;
            cmsghdr *joint = CMSG_FIRSTHDR(&message);
            joint->cmsg_level = SOL_SOCKET;
            joint->cmsg_type = SCM_RIGHTS;
            joint->cmsg_len = CMSG_LEN(sizeof(int));
            std::memcpy(CMSG_DATA(joint), &fichier, sizeof fichier);
            pris = envoyerSansAttente(fd, message, 0);
            ::close(fichier);
        }
    }
    ::close(fd);
    errno = avant;
    return pris;
}

} // namespace tarvik::system
