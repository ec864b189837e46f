// What each executable (tarvik, tarvik-envoyer, tarvik-carte) does at start
// and for its texts: its names, its standard descriptors, and writing to a
// terminal.
#pragma once

#include "app/couche.h"
#include "core/echec.h"

#include <QString>
#include <cstdio>

namespace tarvik::app {

// Names the organisation and the program for Qt. Each program calls it once
// at start.
void NommerApplication();

// Which of stdin, stdout and stderr the program was started without. Each
// of them is opened on /dev/null then, so that no file the program opens
// later takes its number.
struct DescripteursStandard {
    bool entreeFermee = false, sortieFermee = false, erreurFermee = false;
};
DescripteursStandard OuvrirDescripteursStandard();

// Writes a text in the locale's encoding, at once; 0, or the errno of a
// write that failed (a full disk, a closed pipe).
int Ecrire(std::FILE *flux, const QString &texte);

// A failure as a whole sentence, ended.
QString Phrase(const Echec &echec);

} // namespace tarvik::app
