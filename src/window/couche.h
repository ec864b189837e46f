// The window layer's namespace, tarvik::window, in which the names of the
// layers below it (app and carte, and theirs in turn) are seen unqualified.
#pragma once

#include "app/couche.h"
#include "carte/couche.h"

namespace tarvik::window {
using namespace app;
using namespace carte;
} // namespace tarvik::window
