#include "system/dossier_prive.h"

#include "system/erreurs.h"
#include "system/noms.h"

#include <QCoreApplication>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvik::system {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Systeme)
};

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

int OuvrirDossierPrive(const QString &chemin, bool creerLe, QString &echec)
{
    echec.clear();
    // Worked out only for a failure: every run looks at this folder.
    const auto nom = [&chemin] {
        return NomLisible(chemin);
    };
    if (!chemin.startsWith(u'/')) {
        echec = Mots::tr("%1 n'est pas un chemin absolu").arg(nom());
        return -1;
    }
    if (const int erreur = creerLe ? creer(chemin) : 0) {
        echec = Mots::tr("%1 ne peut pas être créé (%2)").arg(nom(), TexteErreurSysteme(erreur));
        return -1;
    }
    const int fd = ::open(OctetsLocaux(chemin).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int erreur = errno; // before any text is made
        if (erreur != ENOENT || creerLe)
            echec = Mots::tr("%1 ne peut pas être ouvert (%2)")
                        .arg(nom(), erreur == ELOOP || erreur == ENOTDIR
                                        ? Mots::tr("ce n'est pas un dossier, ou c'est un lien")
                                        : TexteErreurSysteme(erreur));
        return -1;
    }
    struct stat etat {};
    if (::fstat(fd, &etat) != 0) {
        const int erreur = errno;
        echec = Mots::tr("%1 ne peut pas être lu (%2)").arg(nom(), TexteErreurSysteme(erreur));
    } else if (etat.st_uid != ::geteuid())
        echec = Mots::tr("%1 appartient à un autre utilisateur (numéro %2)")
                    .arg(nom())
                    .arg(etat.st_uid);
    else if ((etat.st_mode & 022) != 0)
        echec = Mots::tr("d'autres utilisateurs peuvent écrire dans %1 (droits %2)")
                    .arg(nom())
                    .arg(etat.st_mode & 07777, 4, 8, QChar(u'0'));
    if (echec.isEmpty())
        return fd;
    ::close(fd);
    return -1;
}

} // namespace tarvik::system
