#include "system/ecriture.h"

#include "system/noms.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvik::system {

namespace {

using Genre = EchecEcriture::Genre;

// The file a save replaces: `chemin` itself, or the regular file a link
// there leads to (the link stays). Why it cannot be replaced, or nothing.
std::optional<EchecEcriture> cibleDe(const QString &chemin, QString &cible, struct stat &etat,
                                     bool &existait)
{
    cible = chemin;
    if (::lstat(OctetsLocaux(chemin).constData(), &etat) != 0)
        return errno == ENOENT
                   ? std::nullopt
                   : std::optional(EchecEcriture{.genre = Genre::Impossible, .erreur = errno});
    if (S_ISLNK(etat.st_mode)) {
        cible = CheminReel(chemin);
        if (cible.isEmpty() || ::stat(OctetsLocaux(cible).constData(), &etat) != 0)
            return EchecEcriture{.genre = Genre::LienSansCible};
    }
    if (!S_ISREG(etat.st_mode))
        return EchecEcriture{.genre = Genre::PasOrdinaire};
    existait = true;
    return std::nullopt;
}

// A new file beside `cible`, created exclusively; -1 and errno on a failure.
int creerACote(const QString &cible, QString &temporaire)
{
    const QFileInfo fiche(cible);
    for (int essai = 0; essai < 16; ++essai) {
        temporaire =
            fiche.path() + QStringLiteral("/.%1.%2")
                               .arg(fiche.fileName())
                               .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        const int fd = ::open(OctetsLocaux(temporaire).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Fills the new file, with the old one's mode when there was one, flushes it
// to the disk and closes it: 0, or the errno of the first step that failed.
// A full disk may only show at the flush or the close.
int remplir(int fd, const QByteArray &octets, const struct stat *ancien)
{
    const bool fait = (!ancien || ::fchmod(fd, ancien->st_mode & 07777) == 0) &&
                      EcrireTout(fd, octets) && AppelsSysteme->synchroniser(fd) == 0;
    const int erreur = fait ? 0 : errno;
    if (AppelsSysteme->fermer(fd) != 0 && !erreur)
        return errno;
    return erreur;
}

} // namespace

EcritureFichier EcrireFichier(const QString &chemin, const QByteArray &octets)
{
    EcritureFichier resultat;
    QString cible;
    struct stat etat {};
    if ((resultat.echec = cibleDe(chemin, cible, etat, resultat.existait)))
        return resultat;

    QString temporaire;
    const int fd = creerACote(cible, temporaire);
    if (fd < 0) {
        resultat.echec = EchecEcriture{.genre = Genre::Impossible, .erreur = errno};
        return resultat;
    }
    const QByteArray local = OctetsLocaux(temporaire);
    int erreur = remplir(fd, octets, resultat.existait ? &etat : nullptr);
    if (!erreur && AppelsSysteme->renommer(local.constData(), OctetsLocaux(cible).constData()) != 0)
        erreur = errno;
    if (erreur) {
        ::unlink(local.constData());
        resultat.echec = EchecEcriture{.genre = Genre::Impossible, .erreur = erreur};
        return resultat;
    }
    // The new name itself reaches the disk with its folder.
    const int dossier = ::open(OctetsLocaux(QFileInfo(cible).path()).constData(),
                               O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dossier >= 0) {
        ::fsync(dossier);
        ::close(dossier);
    }
    return resultat;
}

bool EcrireTout(int fd, const QByteArray &octets)
{
    const char *p = octets.constData();
    qsizetype reste = octets.size();
    while (reste > 0) {
        const ssize_t n = AppelsSysteme->ecrire(fd, p, size_t(reste));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        reste -= n;
    }
    return true;
}

} // namespace tarvik::system
