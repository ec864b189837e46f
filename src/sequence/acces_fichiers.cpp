#include "sequence/acces_fichiers.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
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
    case ENAMETOOLONG:
        return QStringLiteral("nom trop long");
    case EAGAIN:
        return QStringLiteral("ressource momentanément indisponible");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("trop de fichiers ouverts");
    case ENOMEM:
        return QStringLiteral("mémoire insuffisante");
    case EEXIST:
        return QStringLiteral("le fichier existe déjà");
    case EINVAL:
        return QStringLiteral("opération refusée par le périphérique");
    default: // never the C library's English text
        return QStringLiteral("erreur système %1 (%2)")
            .arg(code)
            .arg(QLatin1String(strerrorname_np(code) ? strerrorname_np(code) : "?"));
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

namespace {

// The length of the UTF-8 sequence at the start of `o`, or 0 when it is not
// one (overlong forms, surrogates and values past U+10FFFF included).
int sequenceUtf8(const unsigned char *o, qsizetype reste, char32_t &point)
{
    const unsigned char c = o[0];
    int longueur = 0;
    char32_t minimum = 0;
    if (c < 0x80) {
        point = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        longueur = 2, minimum = 0x80, point = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        longueur = 3, minimum = 0x800, point = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        longueur = 4, minimum = 0x10000, point = c & 0x07;
    } else {
        return 0;
    }
    if (reste < longueur)
        return 0;
    for (int k = 1; k < longueur; ++k) {
        if ((o[k] & 0xC0) != 0x80)
            return 0;
        point = (point << 6) | (o[k] & 0x3F);
    }
    const bool substitut = point >= 0xD800 && point <= 0xDFFF;
    return point < minimum || point > 0x10FFFF || substitut ? 0 : longueur;
}

bool octetEchappe(QChar c)
{
    return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
}

} // namespace

QString NomLocal(QByteArrayView octets)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    if (QString nom = utf8.decode(octets); !utf8.hasError())
        return nom; // the common case
    QString nom;
    nom.reserve(octets.size());
    const auto *o = reinterpret_cast<const unsigned char *>(octets.data());
    for (qsizetype k = 0; k < octets.size();) {
        char32_t point = 0;
        if (const int n = sequenceUtf8(o + k, octets.size() - k, point)) {
            nom += QString::fromUcs4(&point, 1);
            k += n;
        } else {
            nom += QChar(char16_t(0xDC00 + o[k++]));
        }
    }
    return nom;
}

QByteArray OctetsLocaux(QStringView nom)
{
    if (std::none_of(nom.begin(), nom.end(), octetEchappe))
        return nom.toUtf8(); // the common case; a lone surrogate gives U+FFFD there too
    QByteArray octets;
    octets.reserve(nom.size());
    for (qsizetype k = 0; k < nom.size(); ++k) {
        const QChar c = nom[k];
        if (octetEchappe(c)) {
            octets += char(c.unicode() - 0xDC00);
            continue;
        }
        // A lone surrogate that no name can hold becomes U+FFFD.
        const bool paire = c.isHighSurrogate() && k + 1 < nom.size() && nom[k + 1].isLowSurrogate();
        if (paire)
            octets += nom.mid(k++, 2).toUtf8();
        else
            octets += c.isSurrogate() ? QByteArray("\xEF\xBF\xBD") : nom.mid(k, 1).toUtf8();
    }
    return octets;
}

QString NomLisible(QStringView nom)
{
    QString lisible;
    for (QChar c : nom)
        lisible += octetEchappe(c)
                       ? QStringLiteral("\\x%1").arg(c.unicode() - 0xDC00, 2, 16, QChar(u'0'))
                       : QString(c);
    return lisible;
}

QString DossierXdg(const char *variable, const QString &defaut)
{
    if (const QString valeur = NomLocal(qgetenv(variable)); valeur.startsWith(u'/'))
        return valeur;
    QString maison = NomLocal(qgetenv("HOME"));
    if (!maison.startsWith(u'/')) {
        const passwd *compte = ::getpwuid(::getuid());
        maison = compte ? NomLocal(compte->pw_dir) : QStringLiteral("/");
    }
    return maison + u'/' + defaut;
}

QString CheminReel(const QString &nom)
{
    const QByteArray octets = OctetsLocaux(nom);
    if (nom.isEmpty() || octets.contains('\0')) {
        errno = ENOENT;
        return {};
    }
    char *reel = ::realpath(octets.constData(), nullptr);
    if (!reel)
        return {};
    const QString chemin = NomLocal(reel);
    std::free(reel);
    return chemin;
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
    const int fd =
        ::open(OctetsLocaux(chemin).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                                                     (liens == Liens::Refuses ? O_NOFOLLOW : 0));
    if (fd < 0) {
        lu.absent = errno == ENOENT || errno == ENAMETOOLONG; // such a name cannot exist
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
    lu.appareil = etat.st_dev;
    lu.inode = etat.st_ino;
    lu.modifieMs = qint64(etat.st_mtim.tv_sec) * 1000 + etat.st_mtim.tv_nsec / 1000000;
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
        const int fd = ::open(OctetsLocaux(temporaire).constData(),
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
    if (::lstat(OctetsLocaux(chemin).constData(), &etat) == 0) {
        if (S_ISLNK(etat.st_mode)) {
            cible = CheminReel(chemin);
            if (cible.isEmpty() || ::stat(OctetsLocaux(cible).constData(), &etat) != 0)
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
    const QByteArray local = OctetsLocaux(temporaire);
    // Every step is checked: a full disk may only show at the flush or the close.
    bool ecrit = (!resultat.existait || ::fchmod(fd, etat.st_mode & 07777) == 0) &&
                 ecrireTout(fd, octets) && ::fsync(fd) == 0;
    int erreur = errno;
    if (::close(fd) != 0 && ecrit) {
        ecrit = false;
        erreur = errno;
    }
    if (ecrit && ::rename(local.constData(), OctetsLocaux(cible).constData()) != 0) {
        ecrit = false;
        erreur = errno;
    }
    if (!ecrit) {
        ::unlink(local.constData());
        return echec(TexteErreurSysteme(erreur));
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
