// What both programs know once started: their settings, read once, the
// language they speak, and how they name the port they use.
#pragma once

#include "app/couche.h"
#include "core/echec.h"
#include "port/choix_port.h"
#include "system/fichier_reglages.h"

#include <QString>
#include <optional>

namespace tarvik::app {

// The start, in this order: the settings are read, the language is chosen
// (from the command line, then the settings, then the system) and
// installed, and then the axes' limits are read. What goes wrong is kept as
// facts, worded when it is said, in the language in force.
struct Demarrage {
    ReglagesLus reglages; // read once, here
    QString langue;       // a language's code
};
// Reads the settings file, chooses the language, and turns the copy of
// the journal in the system's journal on or off as the settings say.
Demarrage Demarrer(int argc, char *argv[]);

// What settings that are not read (not understood) leave out, for the
// operator who meant them: they are not read at all, and each record goes to
// the system's journal too, as without settings, whatever they say of
// journal_systeme. Nothing when they were read.
std::optional<Echec> ReglagesNonLus(const ReglagesLus &reglages);

// The port as the operator reads it: its path and where the choice came
// from. `menu` names where a saved choice is made, as the program says it.
QString DecrirePort(const PortChoisi &port, const QString &menu);

} // namespace tarvik::app
