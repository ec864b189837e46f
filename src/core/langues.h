// The languages the programs speak. Adding one is one line in the table
// (langues.cpp), its name in the wording module (app/formulation_fichiers.cpp)
// and its catalogue, translations/tarvik_CODE.ts.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tarvik::core {

struct Langue {
    QString code; // "fr", "en": --langue, langue= in the settings, the start of LANG
    QString nom;  // in itself, as the menu offers it: "Français"
};

// Every language, the programs' own first: French, in which the texts are
// written, and which any system language not in the table gets.
const QList<Langue> &Langues();
// The language of `code`, or nothing when no language has that code.
const Langue *LangueDeCode(const QString &code);
// "fr, en": the codes, as help texts and messages list them.
QString CodesDesLangues();

} // namespace tarvik::core
