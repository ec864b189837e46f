// The words of what the virtual board's line and link say went wrong.
#pragma once

#include "carte/port_carte.h"
#include "window/couche.h"

#include <QString>

namespace tarvik::window {

// "le lien « /run/user/1000/tarvik-carte » ne peut pas être créé
// (permission refusée)", in the language in force; no final full stop.
QString TexteEchecCarte(const EchecCarte &echec);

} // namespace tarvik::window
