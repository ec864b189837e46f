#include "system/dossier_prive.h"

#include "system/noms.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvik::system {

namespace {

// Makes the folders down to `dossier`, each 0700; the first failure's errno,
// or 0.
int creer(const QString &dossier)
{
    const qsizetype barre = dossier.lastIndexOf(u'/');
    if (struct stat etat{}; ::lstat(OctetsLocaux(dossier).constData(), &etat) == 0)
        return 0;
    if (barre > 0)
        if (const int erreur = creer(dossier.left(barre)))
            return erreur;
    return ::mkdir(OctetsLocaux(dossier).constData(), 0700) == 0 || errno == EEXIST ? 0 : errno;
}

} // namespace

int OuvrirDossierPrive(const QString &chemin, bool creerLe, std::optional<EchecDossierPrive> &echec)
{
    using G = EchecDossierPrive::Genre;
    echec.reset();
    const auto refuser = [&](G genre, int erreur = 0) {
        echec = EchecDossierPrive{.genre = genre, .chemin = chemin, .erreur = erreur};
        return -1;
    };
    if (!chemin.startsWith(u'/'))
        return refuser(G::NonAbsolu);
    if (const int erreur = creerLe ? creer(chemin) : 0)
        return refuser(G::CreationImpossible, erreur);
    const int fd = ::open(OctetsLocaux(chemin).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int erreur = errno;
        if (erreur != ENOENT || creerLe)
            return refuser(erreur == ELOOP || erreur == ENOTDIR ? G::PasUnDossier
                                                                : G::OuvertureImpossible,
                           erreur);
        return -1;
    }
    struct stat etat {};
    if (::fstat(fd, &etat) != 0)
        refuser(G::LectureImpossible, errno);
    else if (etat.st_uid != ::geteuid() || (etat.st_mode & 022) != 0) {
        refuser(etat.st_uid != ::geteuid() ? G::AutreProprietaire : G::OuvertAuxAutres);
        echec->proprietaire = etat.st_uid;
        echec->mode = etat.st_mode & 07777;
    }
    if (!echec)
        return fd;
    ::close(fd);
    return -1;
}

} // namespace tarvik::system
