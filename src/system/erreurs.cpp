#include "system/erreurs.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace tarvik::system {

namespace {

struct Traduction {
    int code;
    const char *texte;
};
const Traduction Traductions[] = {
    {ENOSPC, QT_TRANSLATE_NOOP("Systeme", "plus de place sur le disque")},
    {EDQUOT, QT_TRANSLATE_NOOP("Systeme", "quota d'espace disque dépassé")},
    {EROFS, QT_TRANSLATE_NOOP("Systeme", "système de fichiers en lecture seule")},
    {EACCES, QT_TRANSLATE_NOOP("Systeme", "permission refusée")},
    {EPERM, QT_TRANSLATE_NOOP("Systeme", "permission refusée")},
    {EIO, QT_TRANSLATE_NOOP("Systeme", "erreur d'entrée-sortie")},
    {ENODEV, QT_TRANSLATE_NOOP("Systeme", "périphérique absent")},
    {ENXIO, QT_TRANSLATE_NOOP("Systeme", "périphérique absent")},
    {ENOENT, QT_TRANSLATE_NOOP("Systeme", "fichier ou dossier absent")},
    {ENOTDIR, QT_TRANSLATE_NOOP("Systeme", "un élément du chemin n'est pas un dossier")},
    {EISDIR, QT_TRANSLATE_NOOP("Systeme", "c'est un dossier")},
    {EBUSY, QT_TRANSLATE_NOOP("Systeme", "périphérique occupé")},
    {ELOOP, QT_TRANSLATE_NOOP("Systeme", "lien symbolique refusé")},
    {EFBIG, QT_TRANSLATE_NOOP("Systeme", "fichier trop gros")},
    {ENOTTY, QT_TRANSLATE_NOOP("Systeme", "ce n'est pas un terminal")},
    {ENAMETOOLONG, QT_TRANSLATE_NOOP("Systeme", "nom trop long")},
    {EAGAIN, QT_TRANSLATE_NOOP("Systeme", "ressource momentanément indisponible")},
    {EMFILE, QT_TRANSLATE_NOOP("Systeme", "trop de fichiers ouverts")},
    {ENFILE, QT_TRANSLATE_NOOP("Systeme", "trop de fichiers ouverts")},
    {ENOMEM, QT_TRANSLATE_NOOP("Systeme", "mémoire insuffisante")},
    {EEXIST, QT_TRANSLATE_NOOP("Systeme", "le fichier existe déjà")},
    {EINVAL, QT_TRANSLATE_NOOP("Systeme", "opération refusée par le périphérique")},
    {EPIPE, QT_TRANSLATE_NOOP("Systeme", "le lecteur du tube est parti")},
    {EBADF, QT_TRANSLATE_NOOP("Systeme", "descripteur fermé")},
};

} // namespace

QString TexteErreurSysteme(int code)
{
    const auto trouvee = std::find_if(std::begin(Traductions), std::end(Traductions),
                                      [code](const Traduction &t) { return t.code == code; });
    if (trouvee != std::end(Traductions))
        return QCoreApplication::translate("Systeme", trouvee->texte);
    // Never the C library's English text.
    const char *nom = strerrorname_np(code);
    return QCoreApplication::translate("Systeme", "erreur système %1 (%2)")
        .arg(code)
        .arg(QLatin1String(nom ? nom : "?"));
}

} // namespace tarvik::system
