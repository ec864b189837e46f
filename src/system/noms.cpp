#include "system/noms.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace tarvik::system {

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

} // namespace tarvik::system
