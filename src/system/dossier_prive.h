// A folder of the user's own, where nobody else can put, replace or remove
// a file: checked once on its open descriptor, then worked through it.
#pragma once

#include "system/couche.h"

#include <QString>

namespace tarvik::system {

// A descriptor of the folder at `chemin` (made first, with the folders
// missing above it, each 0700, when `creer`), checked on the descriptor: a
// folder, reached without a link at its last component, owned by this
// effective user, and that neither its group nor others may write. -1 when
// it cannot be had, with why in `echec`, which stays empty when there is
// simply none and none was to be made.
int OuvrirDossierPrive(const QString &chemin, bool creer, QString &echec);

} // namespace tarvik::system
