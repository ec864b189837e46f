// The run layer's namespace, tarvik::run, in which the names of the
// layers below it (port, and theirs in turn) are seen unqualified.
#pragma once

#include "port/couche.h"

namespace tarvik::run {
using namespace port;
} // namespace tarvik::run
