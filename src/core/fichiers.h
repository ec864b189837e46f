// Sequence files (the seven lines a run sends, as they go on the wire) and
// axis-name files (one UTF-8 name per line, line k for axis k).
#pragma once

#include "core/grille.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace tarvik::core {

constexpr qsizetype LongueurMaxNom = 40;

// Why a sequence file is refused, and at which line.
struct EchecSequence {
    enum class Genre {
        LettreAttendue,           // the line does not start with its axis's letter, `lettre`
        ChiffresPas,              // the step count has `longueur` digits, not ChiffresPas
        ChiffresPasSansDirection, // the same, and a digit stands where the direction goes
        ChiffresVitesse,          // the speed has `longueur` digits, not ChiffresVitesse
        Longueur,                 // the line is `longueur` characters long, not Champ::Fin
        DirectionIllisible,       // the direction, byte `octet`, is not printable
        PasNonChiffres,           // the step count holds other than digits
        SeparateurAttendu,        // no ':' after the step count, `champ` instead
        VitesseNonChiffres,       // the speed holds other than digits
        VitesseTropGrande,        // the speed `champ` is over VitesseMax
        LigneManquante,           // fewer than seven lines
        SautFinalManquant,        // the last line has no line feed
        RienApresG,               // something follows axis G's line
    };
    Genre genre = Genre::LigneManquante;
    qsizetype ligne = 0;    // 1 first
    QChar lettre{};         // the letter the line should start with
    QString champ{};        // the field at fault, as a message quotes its bytes
    qsizetype longueur = 0; // how many digits or characters it has
    quint8 octet = 0;       // DirectionIllisible
    bool operator==(const EchecSequence &autre) const = default;
};

// Parses seven lines "A+00100:010" to "G...", each ended by a line feed (a
// CR before it is allowed), Windows-1252, only blank lines after them,
// straight into the checked grid they stand for.
struct SequenceAnalysee {
    std::optional<Grille> grille;
    std::optional<EchecSequence> echec;
};
SequenceAnalysee AnalyserSequence(const QByteArray &contenu);

// The bytes of a sequence file: exactly what a run sends for this grid.
QByteArray FormerSequence(const Grille &grille);

// Why a name is refused.
struct RefusNom {
    enum class Genre {
        Utf8Invalide,       // its bytes are not UTF-8
        CaractereControle,  // it holds a control character, `point`
        CaractereInvisible, // a format character that does not show, `point`
        SeparateurLigne,    // a line or paragraph separator, `point`
        TropLong,           // it has `longueur` characters, over LongueurMaxNom
    };
    Genre genre = Genre::Utf8Invalide;
    char32_t point = 0;
    qsizetype longueur = 0;
    bool operator==(const RefusNom &autre) const = default;
};

// One name as a file holds it, in UTF-8: trimmed, and empty when it has no
// visible character; or why it is refused. Control and format characters and
// line or paragraph separators are refused: they could turn a name around,
// break it, or hide it; so is a name of more than LongueurMaxNom characters.
struct NomAnalyse {
    QString nom;
    std::optional<RefusNom> raison;
};
NomAnalyse AnalyserNom(const QByteArray &octets);

// Why an axis-name file is refused: its line `ligne` holds a name refused
// (`nom`), or a name past the seventh line (no `nom`).
struct EchecNomsAxes {
    qsizetype ligne = 0;
    std::optional<RefusNom> nom{};
    bool operator==(const EchecNomsAxes &autre) const = default;
};

struct NomsAnalyses {
    std::array<QString, NombreAxes> noms; // axes 1 to 7; empty: it keeps "Axe 0k"
    std::optional<EchecNomsAxes> echec;
};

// Up to seven UTF-8 lines, line k naming axis k, each read as AnalyserNom
// reads a name; blank lines, and lines with no visible character, name
// nothing.
NomsAnalyses AnalyserNomsAxes(const QByteArray &contenu);

} // namespace tarvik::core
