#include "sequence/acces_fichiers.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString TexteErreurSysteme(int code)
{
    switch (code) {
    case ENOSPC:
        return QStringLiteral("plus de place sur le disque");
    case EDQUOT:
        return QStringLiteral("quota d'espace disque dépassé");
    case EROFS:
        return QStringLiteral("système de fichiers en lecture seule");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission refusée");
    case EIO:
        return QStringLiteral("erreur d'entrée-sortie");
    case ENODEV:
    case ENXIO:
        return QStringLiteral("périphérique absent");
    case ENOENT:
        return QStringLiteral("fichier ou dossier absent");
    case ENOTDIR:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    case EBUSY:
        return QStringLiteral("périphérique occupé");
    case ELOOP:
        return QStringLiteral("lien symbolique refusé");
    case EFBIG:
        return QStringLiteral("fichier trop gros");
    case ENOTTY:
        return QStringLiteral("ce n'est pas un terminal");
    default:
        return QString::fromLocal8Bit(std::strerror(code));
    }
}

QString TexteErreurSysteme(const QString &texteQt)
{
    // Qt spells the error with qt_error_string(errno): find which one it was.
    for (int code :
         {ENOSPC, EDQUOT, EROFS, EACCES, EPERM, EIO, ENODEV, ENXIO, ENOENT, EBUSY, ENOTTY})
        if (texteQt == qt_error_string(code))
            return TexteErreurSysteme(code);
    return texteQt;
}

QString LireDescripteur(int fd, QByteArray &contenu, qsizetype taille)
{
    contenu.clear();
    char tampon[4096];
    while (contenu.size() <= taille) {
        const ssize_t n = ::read(fd, tampon, sizeof tampon);
        if (n == 0)
            return {};
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return QStringLiteral("lecture impossible (%1).").arg(TexteErreurSysteme(errno));
        }
        contenu.append(tampon, n);
    }
    return taille % 1024 == 0 ? QStringLiteral("le fichier dépasse %1 Kio.").arg(taille / 1024)
                              : QStringLiteral("le fichier dépasse %1 octets.").arg(taille);
}

FichierLu LireFichier(const QString &chemin, qsizetype taille, Liens liens)
{
    if (AvantOuvertureFichier)
        AvantOuvertureFichier(chemin);
    FichierLu lu;
    const int fd = ::open(QFile::encodeName(chemin).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                              (liens == Liens::Refuses ? O_NOFOLLOW : 0));
    if (fd < 0) {
        lu.absent = errno == ENOENT;
        lu.erreur = lu.absent
                        ? QStringLiteral("le fichier n'existe pas.")
                        : QStringLiteral("lecture impossible (%1).").arg(TexteErreurSysteme(errno));
        return lu;
    }
    struct stat etat {};
    if (::fstat(fd, &etat) != 0)
        lu.erreur = QStringLiteral("lecture impossible (%1).").arg(TexteErreurSysteme(errno));
    else if (!S_ISREG(etat.st_mode))
        lu.erreur = QStringLiteral("ce n'est pas un fichier ordinaire.");
    else
        lu.erreur = LireDescripteur(fd, lu.contenu, taille);
    ::close(fd);
    if (!lu.erreur.isEmpty())
        lu.contenu.clear();
    return lu;
}

namespace {

bool ecrireTout(int fd, const QByteArray &octets)
{
    const char *p = octets.constData();
    qsizetype reste = octets.size();
    while (reste > 0) {
        const ssize_t n = ::write(fd, p, size_t(reste));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        reste -= n;
    }
    return true;
}

// A new file beside `cible`, created exclusively; -1 and errno on a failure.
int creerACote(const QString &cible, QString &temporaire)
{
    const QFileInfo info(cible);
    for (int essai = 0; essai < 16; ++essai) {
        temporaire =
            info.path() + QStringLiteral("/.%1.%2")
                              .arg(info.fileName())
                              .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        const int fd = ::open(QFile::encodeName(temporaire).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

EcritureFichier EcrireFichier(const QString &chemin, const QByteArray &octets)
{
    EcritureFichier resultat;
    const auto echec = [&](const QString &raison) {
        resultat.erreur = raison;
        return resultat;
    };

    // A link is followed to the file it leads to, which is replaced in place.
    QString cible = chemin;
    struct stat etat {};
    if (::lstat(QFile::encodeName(chemin).constData(), &etat) == 0) {
        if (S_ISLNK(etat.st_mode)) {
            cible = QFileInfo(chemin).canonicalFilePath();
            if (cible.isEmpty() || ::stat(QFile::encodeName(cible).constData(), &etat) != 0)
                return echec(QStringLiteral("le lien ne mène à aucun fichier"));
        }
        if (!S_ISREG(etat.st_mode))
            return echec(QStringLiteral("ce n'est pas un fichier ordinaire (dossier, tube ou "
                                        "périphérique) : il n'est pas remplacé"));
        resultat.existait = true;
    } else if (errno != ENOENT) {
        return echec(TexteErreurSysteme(errno));
    }

    QString temporaire;
    const int fd = creerACote(cible, temporaire);
    if (fd < 0)
        return echec(TexteErreurSysteme(errno));
    const QByteArray local = QFile::encodeName(temporaire);
    // Every step is checked: a full disk may only show at the flush or the close.
    bool ecrit = (!resultat.existait || ::fchmod(fd, etat.st_mode & 07777) == 0) &&
                 ecrireTout(fd, octets) && ::fsync(fd) == 0;
    int erreur = errno;
    if (::close(fd) != 0 && ecrit) {
        ecrit = false;
        erreur = errno;
    }
    if (ecrit && ::rename(local.constData(), QFile::encodeName(cible).constData()) != 0) {
        ecrit = false;
        erreur = errno;
    }
    if (!ecrit) {
        ::unlink(local.constData());
        return echec(TexteErreurSysteme(erreur));
    }
    // The new name itself reaches the disk with its folder.
    const int dossier = ::open(QFile::encodeName(QFileInfo(cible).path()).constData(),
                               O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dossier >= 0) {
        ::fsync(dossier);
        ::close(dossier);
    }
    return resultat;
}
