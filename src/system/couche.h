// The system layer's namespace, tarvik::system, in which the names of the
// layers below it (core, and theirs in turn) are seen unqualified.
#pragma once

namespace tarvik::core {
}

namespace tarvik::system {
using namespace core;
} // namespace tarvik::system
