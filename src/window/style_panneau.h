// What the panel's windows need of images at start, and no more: the
// program's icon from its own pixels, and the arrow a menu bar shows when
// its menus overflow read only once it is drawn. Reading either as an image
// file loads every image format plugin installed.
#pragma once

#include "window/couche.h"

#include <QIcon>

namespace tarvik::window {

// The program's icon, 64 by 64, from its pixels.
QIcon IconeTarvik();

// Gives the application the platform's style, with the overflow arrows of
// menu bars and tool bars read from it only when first drawn.
void InstallerStylePanneau();

} // namespace tarvik::window
