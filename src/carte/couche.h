// The carte layer's namespace, tarvik::carte, in which the names of the
// layers below it (system, and theirs in turn) are seen unqualified.
#pragma once

#include "system/couche.h"

namespace tarvik::carte {
using namespace system;
} // namespace tarvik::carte
