#include "app/executable.h"

#include <QCoreApplication>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tarvik::app {

void NommerApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tarvik"));
    QCoreApplication::setApplicationName(QStringLiteral("tarvik"));
}

DescripteursStandard OuvrirDescripteursStandard()
{
    bool ferme[3] = {};
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        ferme[fd] = true;
        // The lowest free number: this one.
        if (const int nul = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
            nul != fd && nul >= 0)
            ::close(nul);
    }
    return {ferme[0], ferme[1], ferme[2]};
}

int Ecrire(std::FILE *flux, const QString &texte)
{
    errno = 0;
    const bool ecrit = std::fputs(texte.toLocal8Bit().constData(), flux) >= 0 &&
                       std::fflush(flux) == 0 && !std::ferror(flux);
    const int erreur = ecrit ? 0 : (errno ? errno : EIO);
    std::clearerr(flux);
    return erreur;
}

QString Phrase(const Echec &echec)
{
    return echec.message + u'.';
}

} // namespace tarvik::app
