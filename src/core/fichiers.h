// Sequence files (the seven lines a run sends, as they go on the wire) and
// axis-name files (one UTF-8 name per line, line k for axis k).
#pragma once

#include "core/echec.h"
#include "core/grille.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

constexpr qsizetype LongueurMaxNom = 40;

// Parses seven lines "A+00100:010" to "G...", each ended by a line feed (a
// CR before it is allowed), Windows-1252, only blank lines after them,
// straight into the checked grid they stand for.
struct SequenceAnalysee {
    std::optional<Grille> grille;
    std::optional<Echec> echec; // "Ligne 3 : ..."
};
SequenceAnalysee AnalyserSequence(const QByteArray &contenu);

// The bytes of a sequence file: exactly what a run sends for this grid.
QByteArray FormerSequence(const Grille &grille);

struct NomsAnalyses {
    std::array<QString, NombreAxes> noms; // axes 1 to 7; empty: it keeps "Axe 0k"
    std::optional<Echec> echec;
};

// Up to seven UTF-8 lines, line k naming axis k; blank lines, and lines with
// no visible character, name nothing. Control and format characters and line
// or paragraph separators are refused: they could turn a name around, break
// it, or hide it.
NomsAnalyses AnalyserNomsAxes(const QByteArray &contenu);
