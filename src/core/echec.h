// How every layer says that something failed.
#pragma once

#include <QString>

namespace tarvik::core {

// A failure, said for the operator in their language. The message carries no final
// full stop: whoever shows it ends the sentence, or adds to it.
struct Echec {
    QString message;
};

} // namespace tarvik::core
