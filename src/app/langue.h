// The language both programs speak: French, their own, or English.
#pragma once

#include <QString>
#include <optional>

enum class Langue { Francais, Anglais };

// "fr", "en"; nothing for any other code.
std::optional<Langue> LangueDeCode(const QString &code);
QString CodeDeLangue(Langue langue);

// The system's language for messages, as LC_ALL, then LC_MESSAGES, then
// LANG say it: English when it is English, French otherwise (C and POSIX
// included).
Langue LangueDuSysteme();

// The language to speak: the one --langue gives (read before any other
// option, so that even --help and usage errors speak it), else the one
// saved in the settings, else the system's. A --langue the programs do not
// know is left to the options, which refuse it.
Langue ChoisirLangue(int argc, char *argv[]);

// Loads into the application object now running the program's texts in
// `langue`. French is the programs' own language: nothing to load for it.
void InstallerLangue(Langue langue);

// Loads Qt's own texts (standard buttons, file dialogs) in `langue`, for the
// panel. They are written in English: only the French ones are loaded.
void InstallerTextesDeQt(Langue langue);
