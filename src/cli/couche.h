// The cli layer's namespace, tarvik::cli, in which the names of the
// layers below it (app, and theirs in turn) are seen unqualified.
#pragma once

#include "app/couche.h"

namespace tarvik::cli {
using namespace app;
} // namespace tarvik::cli
