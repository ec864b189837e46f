// The system's errors as the operator reads them, in the operator's language.
#pragma once

#include <QString>

// A system error (errno) in the operator's language; never the C library's English text.
QString TexteErreurSysteme(int code);
