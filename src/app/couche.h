// The app layer's namespace, tarvik::app, in which the names of the
// layers below it (run, and theirs in turn) are seen unqualified.
#pragma once

#include "run/couche.h"

namespace tarvik::app {
using namespace run;
} // namespace tarvik::app
