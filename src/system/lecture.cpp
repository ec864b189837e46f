#include "system/lecture.h"

#include "system/noms.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvik::system {

namespace {

using Genre = EchecLecture::Genre;

EchecLecture lectureImpossible(int erreur)
{
    return {.genre = Genre::Impossible, .erreur = erreur};
}

// Waits until `fd` has something to read (or its end, or an error), unless
// `reveil` (-1: none) becomes readable first: why the reading stops then.
std::optional<EchecLecture> attendre(int fd, int reveil)
{
    pollfd p[2] = {{fd, POLLIN, 0}, {reveil, POLLIN, 0}}; // poll passes over -1
    while (::poll(p, 2, -1) < 0)
        if (errno != EINTR)
            return lectureImpossible(errno);
    if (p[1].revents != 0)
        return EchecLecture{.genre = Genre::Interrompue};
    return std::nullopt;
}

} // namespace

std::optional<EchecLecture> LireDescripteur(int fd, QByteArray &contenu, qsizetype taille,
                                            int reveil)
{
    contenu.clear();
    char tampon[4096];
    while (contenu.size() <= taille) {
        if (reveil >= 0) // a blocking read would not see it
            if (auto arret = attendre(fd, reveil))
                return arret;
        const ssize_t n = ::read(fd, tampon, sizeof tampon);
        if (n == 0)
            return std::nullopt;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) { // non-blocking: wait
            if (auto arret = attendre(fd, reveil))
                return arret;
            continue;
        }
        if (n < 0 && errno != EINTR)
            return lectureImpossible(errno);
        if (n > 0)
            contenu.append(tampon, n);
    }
    return EchecLecture{.genre = Genre::TropGros, .taille = taille};
}

namespace {

// Opens a regular file at `chemin` (in the folder open at `dossier`, or
// AT_FDCWD) without waiting, and checks its type on the open descriptor
// (seen in `etat`); -1, with the reason in `lu`, when it cannot be read.
int ouvrirOrdinaire(int dossier, const QByteArray &chemin, Liens liens, FichierLu &lu,
                    struct stat &etat)
{
    const int fd = ::openat(dossier, chemin.constData(),
                            O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                                (liens == Liens::Refuses ? O_NOFOLLOW : 0));
    if (fd < 0) {
        lu.absent = errno == ENOENT || errno == ENAMETOOLONG; // such a name cannot exist
        lu.echec = lu.absent ? EchecLecture{.genre = Genre::Absent} : lectureImpossible(errno);
        return -1;
    }
    if (::fstat(fd, &etat) != 0)
        lu.echec = lectureImpossible(errno);
    else if (!S_ISREG(etat.st_mode))
        lu.echec = EchecLecture{.genre = Genre::PasOrdinaire};
    if (lu.echec) {
        ::close(fd);
        return -1;
    }
    lu.appareil = etat.st_dev;
    lu.inode = etat.st_ino;
    lu.modifieMs = qint64(etat.st_mtim.tv_sec) * 1000 + etat.st_mtim.tv_nsec / 1000000;
    lu.proprietaire = etat.st_uid;
    lu.mode = etat.st_mode & 07777;
    return fd;
}

} // namespace

namespace {

FichierLu lireOrdinaire(int dossier, const QByteArray &chemin, qsizetype taille, Liens liens)
{
    FichierLu lu;
    struct stat etat {};
    const int fd = ouvrirOrdinaire(dossier, chemin, liens, lu, etat);
    if (fd < 0)
        return lu;
    lu.echec = LireDescripteur(fd, lu.contenu, taille);
    ::close(fd);
    if (lu.echec)
        lu.contenu.clear();
    return lu;
}

} // namespace

FichierLu LireFichier(const QString &chemin, qsizetype taille, Liens liens)
{
    if (*AvantOuvertureFichier)
        (*AvantOuvertureFichier)(chemin);
    return lireOrdinaire(AT_FDCWD, OctetsLocaux(chemin), taille, liens);
}

FichierLu LireFichierDans(int dossier, const QByteArray &nom, qsizetype taille)
{
    return lireOrdinaire(dossier, nom, taille, Liens::Refuses);
}

bool DescripteurLisible(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return fd >= 0 && ::poll(&p, 1, 0) > 0;
}

FichierLu LireFin(const QString &chemin, qsizetype taille)
{
    FichierLu lu;
    struct stat etat {};
    const int fd = ouvrirOrdinaire(AT_FDCWD, OctetsLocaux(chemin), Liens::Refuses, lu, etat);
    if (fd < 0)
        return lu;
    if (::lseek(fd, std::max<off_t>(0, etat.st_size - taille), SEEK_SET) < 0)
        lu.echec = lectureImpossible(errno);
    else // room for what is appended while it is read
        lu.echec = LireDescripteur(fd, lu.contenu, 2 * taille);
    ::close(fd);
    lu.contenu = lu.contenu.right(taille);
    if (lu.echec)
        lu.contenu.clear();
    return lu;
}

} // namespace tarvik::system
