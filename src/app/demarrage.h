// What both programs know once started: their settings, read once, the
// language they speak, and how they name the port they use.
#pragma once

#include "port/choix_port.h"
#include "system/fichier_limites.h"
#include "system/fichier_reglages.h"

#include <QString>

struct Demarrage {
    ReglagesLus reglages; // read once, here
    LimitesLues limites;  // the axes' limits, the machine's and the operator's, read once
    QString langue;       // a language's code
};
// Reads the settings and limits files, chooses the language from the
// command line, then the settings, then the system, and turns the copy of
// the journal in the system's journal on or off as the settings say.
Demarrage Demarrer(int argc, char *argv[]);

// The port as the operator reads it: its path and where the choice came
// from. `menu` names where a saved choice is made, as the program says it.
QString DecrirePort(const PortChoisi &port, const QString &menu);
