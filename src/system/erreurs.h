// The system's errors as the operator reads them, in the operator's language.
#pragma once

#include "system/couche.h"

#include <QString>

namespace tarvik::system {

// A system error (errno) in the operator's language; never the C library's English text.
QString TexteErreurSysteme(int code);

} // namespace tarvik::system
