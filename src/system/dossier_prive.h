// A folder of the user's own, where nobody else can put, replace or remove
// a file: checked once on its open descriptor, then worked through it.
#pragma once

#include "system/couche.h"

#include <QString>
#include <optional>

namespace tarvik::system {

// Why a folder of one's own cannot be had.
struct EchecDossierPrive {
    enum class Genre {
        NonAbsolu,           // its path does not start from /
        CreationImpossible,  // it, or a folder above it, cannot be made: `erreur`
        OuvertureImpossible, // it cannot be opened: `erreur`
        PasUnDossier,        // what stands there is not a folder, or is a link
        LectureImpossible,   // it cannot be examined once open: `erreur`
        AutreProprietaire,   // it is `proprietaire`'s, not this user's
        OuvertAuxAutres,     // its group or others may write in it: `mode`
    };
    Genre genre = Genre::NonAbsolu;
    QString chemin{};
    int erreur = 0;
    quint32 proprietaire = 0, mode = 0;
    bool operator==(const EchecDossierPrive &autre) const = default;
};

// A descriptor of the folder at `chemin` (made first, with the folders
// missing above it, each 0700, when `creer`), checked on the descriptor: a
// folder, reached without a link at its last component, owned by this
// effective user, and that neither its group nor others may write. -1 when
// it cannot be had, with why in `echec`, which stays empty when there is
// simply none and none was to be made.
int OuvrirDossierPrive(const QString &chemin, bool creer, std::optional<EchecDossierPrive> &echec);

} // namespace tarvik::system
