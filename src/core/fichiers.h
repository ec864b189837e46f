// Sequence files (the seven lines a run sends, as they go on the wire) and
// axis-name files (one UTF-8 name per line, line k for axis k).
#pragma once

#include "core/echec.h"
#include "core/grille.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace tarvik::core {

constexpr qsizetype LongueurMaxNom = 40;

// Parses seven lines "A+00100:010" to "G...", each ended by a line feed (a
// CR before it is allowed), Windows-1252, only blank lines after them,
// straight into the checked grid they stand for.
struct SequenceAnalysee {
    std::optional<Grille> grille;
    std::optional<Echec> echec; // "Ligne 3 : ..."
    qsizetype ligne = 0;        // when refused: the faulty line, 1 first
    QString raison;             // when refused: why, as the message says it after the line
};
SequenceAnalysee AnalyserSequence(const QByteArray &contenu);

// The bytes of a sequence file: exactly what a run sends for this grid.
QByteArray FormerSequence(const Grille &grille);

// One name as a file holds it, in UTF-8: trimmed, and empty when it has no
// visible character; or why it is refused. Control and format characters and
// line or paragraph separators are refused: they could turn a name around,
// break it, or hide it; so is a name of more than LongueurMaxNom characters.
struct NomAnalyse {
    QString nom;
    std::optional<QString> raison;
};
NomAnalyse AnalyserNom(const QByteArray &octets);

struct NomsAnalyses {
    std::array<QString, NombreAxes> noms; // axes 1 to 7; empty: it keeps "Axe 0k"
    std::optional<Echec> echec;
};

// Up to seven UTF-8 lines, line k naming axis k, each read as AnalyserNom
// reads a name; blank lines, and lines with no visible character, name
// nothing.
NomsAnalyses AnalyserNomsAxes(const QByteArray &contenu);

} // namespace tarvik::core
