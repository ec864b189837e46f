#include "system/ajout.h"

#include "system/ecriture.h"
#include "system/noms.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvik::system {

namespace {

using Genre = EchecAjout::Genre;

EchecAjout echec(Genre genre, int erreur = 0)
{
    return {.genre = genre, .erreur = erreur};
}

// Creates the folders down to `dossier`, each 0700.
bool creerDossiers(const QString &dossier)
{
    if (QFileInfo::exists(dossier))
        return true;
    if (!creerDossiers(QFileInfo(dossier).path()))
        return false;
    return ::mkdir(OctetsLocaux(dossier).constData(), 0700) == 0 || errno == EEXIST;
}

// The file at `chemin` opened for appending, a regular one; -1 when it
// cannot be, with the reason.
int ouvrir(const QByteArray &chemin, std::optional<EchecAjout> &refus)
{
    const int fd =
        ::open(chemin.constData(),
               O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0 && errno != ENXIO && errno != EISDIR && errno != ELOOP) {
        refus = echec(Genre::OuvertureImpossible, errno);
        return -1;
    }
    struct stat vu {};
    if (fd < 0 || ::fstat(fd, &vu) != 0 || !S_ISREG(vu.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        refus = echec(Genre::PasOrdinaire);
        return -1;
    }
    return fd;
}

// Waits for this writer's turn on `fd` until `attente` has run its course:
// 0 once it has it, or why not (EWOULDBLOCK: another writer still holds it).
int attendreLeTour(int fd, const QElapsedTimer &attente)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int erreur = errno;
        if (erreur != EWOULDBLOCK && erreur != EINTR)
            return erreur;
        if (attente.elapsed() >= AttenteTourMs)
            return EWOULDBLOCK;
        QThread::msleep(1);
    }
    return 0;
}

// Whether `chemin` still names the file held by `fd`.
bool porteLeNom(int fd, const QByteArray &chemin)
{
    struct stat vu {
    }, nom{};
    return ::fstat(fd, &vu) == 0 && ::lstat(chemin.constData(), &nom) == 0 &&
           nom.st_ino == vu.st_ino && nom.st_dev == vu.st_dev;
}

// The file at `chemin`, opened for appending and held for this writer's
// turn: the file that bears the name now, and a regular one. -1 when it
// cannot be, with the reason.
int ouvrirASonTour(const QByteArray &chemin, std::optional<EchecAjout> &refus)
{
    QElapsedTimer attente;
    attente.start();
    for (;;) {
        const int fd = ouvrir(chemin, refus);
        if (fd < 0)
            return -1;
        const int erreur = attendreLeTour(fd, attente);
        if (erreur == 0 && porteLeNom(fd, chemin))
            return fd;
        ::close(fd);
        if (erreur == 0 && attente.elapsed() < AttenteTourMs)
            continue; // moved away while another writer held it: the name leads elsewhere
        if (erreur != 0 && erreur != EWOULDBLOCK)
            refus = echec(Genre::VerrouImpossible, erreur);
        else
            refus = echec(Genre::TenuAilleurs);
        return -1;
    }
}

// Appends `octets` to the file held by `fd` in one write, or takes back
// whatever part of them went in. Why not, if not.
std::optional<EchecAjout> ajouter(int fd, const QByteArray &octets)
{
    struct stat avant {};
    if (::fstat(fd, &avant) != 0)
        return echec(Genre::EcritureImpossible, errno);
    ssize_t n = 0;
    do
        n = AppelsSysteme->ecrire(fd, octets.constData(), size_t(octets.size()));
    while (n < 0 && errno == EINTR);
    if (n == octets.size())
        return std::nullopt;
    const int erreur = n < 0 ? errno : ENOSPC; // cut short: the disk is full
    if (::ftruncate(fd, avant.st_size) != 0)   // a torn record would mix with the next one
        return EchecAjout{
            .genre = Genre::EcritureDechiree, .erreur = erreur, .erreurRetrait = errno};
    return echec(Genre::EcritureImpossible, erreur);
}

// Moves the file held by `fd` aside to `chemin`.1 when `ajout` more bytes
// would take it past `limite`, and holds the new one in its place: the
// descriptor to write to, -1 when the new file cannot be had (with `refus`).
// Why the file stays in place, though it should not, in `rotation`.
int tourner(int fd, const QByteArray &chemin, qint64 ajout, qint64 limite,
            std::optional<EchecAjout> &refus, std::optional<EchecAjout> &rotation)
{
    struct stat etat {};
    if (::fstat(fd, &etat) != 0 || etat.st_size == 0 || etat.st_size + ajout <= limite)
        return fd;
    if (::rename(chemin.constData(), (chemin + ".1").constData()) != 0) {
        rotation = EchecAjout{
            .genre = Genre::RotationImpossible, .erreur = errno, .chemin = NomLocal(chemin + ".1")};
        return fd;
    }
    // Moved while this writer holds it: the others will find a new file.
    const int nouveau = ouvrirASonTour(chemin, refus);
    ::close(fd);
    return nouveau;
}

} // namespace

std::optional<EchecAjout> AjouterEnregistrement(const QString &chemin,
                                                const QByteArray &enregistrement, qint64 limite)
{
    if (!creerDossiers(QFileInfo(chemin).path()))
        return echec(Genre::DossierImpossible, errno);
    const QByteArray local = OctetsLocaux(chemin);
    std::optional<EchecAjout> refus, rotation;
    int fd = ouvrirASonTour(local, refus);
    if (fd >= 0)
        fd = tourner(fd, local, enregistrement.size(), limite, refus, rotation);
    if (fd < 0)
        return refus;
    if (const auto rate = ajouter(fd, enregistrement)) {
        ::close(fd);
        return rate;
    }
    // The turn ends before the flush: a slow disk holds no other writer up
    // (should this fail, the turn ends with the close, after the flush).
    ::flock(fd, LOCK_UN);
    bool vide = AppelsSysteme->synchroniserDonnees(fd) == 0;
    int erreur = errno;
    if (::close(fd) != 0 && vide) {
        vide = false;
        erreur = errno;
    }
    if (!vide)
        return echec(Genre::ViderImpossible, erreur);
    return rotation;
}

} // namespace tarvik::system
