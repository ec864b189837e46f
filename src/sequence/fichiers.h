// Sequence files (the seven lines a run sends, as they go on the wire) and
// axis-name files (one UTF-8 name per line, line k for axis k).
#pragma once

#include "sequence/acces_fichiers.h"
#include "sequence/axes.h"

#include <QByteArray>
#include <QString>
#include <array>

constexpr qsizetype LongueurMaxNom = 40;

// The three texts of one grid row, as the boxes hold them.
struct TextesRangee {
    QString pas, direction, vitesse;
};

struct SequenceLue {
    std::array<TextesRangee, NombreAxes + 1> rangees; // rows 1 to 7
    QString erreur; // "Ligne 3 : ...", empty when the file is accepted
};

// Seven lines "A+00100:010" to "G...", each ended by a line feed (a CR before
// it is allowed), Windows-1252; only blank lines may follow.
SequenceLue LireSequence(const QByteArray &contenu);

// The bytes of a sequence file: exactly what a run sends for these axes.
QByteArray EcrireSequence(const std::array<Axe, NombreAxes + 1> &axes);

struct NomsLus {
    std::array<QString, NombreAxes + 1> noms; // empty: the axis keeps "Axe 0k"
    QString erreur;
};

// Up to seven UTF-8 lines, line k naming axis k; blank lines, and lines with
// no visible character, name nothing. Control and format characters and line
// or paragraph separators are refused: they could turn a name around, break
// it, or hide it.
NomsLus LireNomsAxes(const QByteArray &contenu);
