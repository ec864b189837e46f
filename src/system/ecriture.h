// Replacing a file whole, or not at all, checked at every step.
#pragma once

#include "system/couche.h"
#include "system/substituable.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <functional>
#include <optional>
#include <unistd.h>

namespace tarvik::system {

// Replaces the file at `chemin` (or at the file a link there leads to, the
// link staying) by `octets`, all at once: written beside it, flushed to the
// disk, then renamed over it, with the old file's mode. Anything that is not
// a regular file is refused, never replaced. On a failure the old file is
// left as it was and nothing new is created.
struct EchecEcriture {
    enum class Genre {
        Impossible,    // a step failed: `erreur`
        LienSansCible, // a link that leads nowhere stands there
        PasOrdinaire,  // a folder, a pipe or a device stands there: never replaced
    };
    Genre genre = Genre::Impossible;
    int erreur = 0; // errno
    bool operator==(const EchecEcriture &autre) const = default;
};
struct EcritureFichier {
    std::optional<EchecEcriture> echec;
    bool existait = false; // a file was there before
};
EcritureFichier EcrireFichier(const QString &chemin, const QByteArray &octets);

// Writes every byte of `octets` to `fd`, however many writes it takes;
// false, with errno set, when one fails.
bool EcrireTout(int fd, const QByteArray &octets);

// The system calls a save or an append (system/ajout.h) makes, each checked:
// tests put a failing or a slow one here.
struct AppelsEcriture {
    std::function<ssize_t(int, const void *, size_t)> ecrire = ::write;
    std::function<int(int)> synchroniser = ::fsync;
    std::function<int(int)> synchroniserDonnees = ::fdatasync; // an append's
    std::function<int(int)> fermer = ::close;
    std::function<int(const char *, const char *)> renommer = ::rename;
};
inline Substituable<AppelsEcriture> AppelsSysteme;

} // namespace tarvik::system
