// A failure said in words, as the layers that still word their own say it.
#pragma once

#include <QString>

namespace tarvik::core {

// A failure, said for the operator in their language, by port, run and
// carte, until they return what happened as values, as core and system do
// (their facts, worded by app/formulation.h). The message carries no final
// full stop: whoever shows it ends the sentence, or adds to it.
struct Echec {
    QString message;
};

} // namespace tarvik::core
