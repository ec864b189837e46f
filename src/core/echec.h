// A failure said in words, as the programs show it.
#pragma once

#include <QString>

namespace tarvik::core {

// A failure, said for the operator in their language: what a program makes
// of a layer's fact once it is worded (app/formulation.h), or of its own
// reasons (its options, its files). The message carries no final full
// stop: whoever shows it ends the sentence, or adds to it.
struct Echec {
    QString message;
};

} // namespace tarvik::core
