// The port layer's namespace, tarvik::port, in which the names of the
// layers below it (system, and theirs in turn) are seen unqualified.
#pragma once

#include "system/couche.h"

namespace tarvik::port {
using namespace system;
} // namespace tarvik::port
