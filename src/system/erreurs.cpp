#include "system/erreurs.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace {

struct Traduction {
    int code;
    const char16_t *texte;
};
const Traduction Traductions[] = {
    {ENOSPC, u"plus de place sur le disque"},
    {EDQUOT, u"quota d'espace disque dépassé"},
    {EROFS, u"système de fichiers en lecture seule"},
    {EACCES, u"permission refusée"},
    {EPERM, u"permission refusée"},
    {EIO, u"erreur d'entrée-sortie"},
    {ENODEV, u"périphérique absent"},
    {ENXIO, u"périphérique absent"},
    {ENOENT, u"fichier ou dossier absent"},
    {ENOTDIR, u"un élément du chemin n'est pas un dossier"},
    {EISDIR, u"c'est un dossier"},
    {EBUSY, u"périphérique occupé"},
    {ELOOP, u"lien symbolique refusé"},
    {EFBIG, u"fichier trop gros"},
    {ENOTTY, u"ce n'est pas un terminal"},
    {ENAMETOOLONG, u"nom trop long"},
    {EAGAIN, u"ressource momentanément indisponible"},
    {EMFILE, u"trop de fichiers ouverts"},
    {ENFILE, u"trop de fichiers ouverts"},
    {ENOMEM, u"mémoire insuffisante"},
    {EEXIST, u"le fichier existe déjà"},
    {EINVAL, u"opération refusée par le périphérique"},
    {EPIPE, u"le lecteur du tube est parti"},
    {EBADF, u"descripteur fermé"},
};

} // namespace

QString TexteErreurSysteme(int code)
{
    const auto trouvee = std::find_if(std::begin(Traductions), std::end(Traductions),
                                      [code](const Traduction &t) { return t.code == code; });
    if (trouvee != std::end(Traductions))
        return QString::fromUtf16(trouvee->texte);
    // Never the C library's English text.
    const char *nom = strerrorname_np(code);
    return QStringLiteral("erreur système %1 (%2)").arg(code).arg(QLatin1String(nom ? nom : "?"));
}
