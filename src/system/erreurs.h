// The system's errors as the operator reads them, in French.
#pragma once

#include <QString>

// A system error (errno) in French; never the C library's English text.
QString TexteErreurSysteme(int code);
