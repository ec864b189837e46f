// The user's folders and where names lead, as the system says.
#pragma once

#include "core/noms.h"
#include "system/couche.h"

#include <QString>

namespace tarvik::system {

// A folder of the XDG base directories: the variable's value when it is an
// absolute path (a relative one is invalid and ignored, as the rule says),
// else `defaut` below the user's home folder ("$HOME/.config").
QString DossierXdg(const char *variable, const QString &defaut);

// The path a name leads to once every link is followed; empty, with
// errno set, when it leads nowhere.
QString CheminReel(const QString &nom);

} // namespace tarvik::system
