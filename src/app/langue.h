// The language both programs speak, one of the table's (core/langues.h), by
// its code.
#pragma once

#include "app/couche.h"
#include "core/reglages.h"

#include <QString>

namespace tarvik::app {

// The system's language for messages, as LC_ALL, then LC_MESSAGES, then
// LANG say it (the first one set decides): the language whose code starts
// it, or the programs' own, French, for any other (C and POSIX included).
QString LangueDuSysteme();

// The language to speak: the one --langue gives (read before any other
// option, so that even --help and usage errors speak it), else the one saved
// in `reglages`, else the system's. A --langue the programs do not know is
// left to the options, which refuse it.
QString ChoisirLangue(int argc, char *argv[], const Reglages &reglages);

// Loads into the application object now running the program's texts in
// the language `code`. The programs' own language has nothing to load.
void InstallerLangue(const QString &code);

// Loads Qt's own texts (standard buttons, file dialogs) in the language
// `code`, for the panel. They are written in English: nothing to load for it.
void InstallerTextesDeQt(const QString &code);

} // namespace tarvik::app
