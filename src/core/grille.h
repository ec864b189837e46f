// The operator's grid: seven rows of three texts, checked once into the
// seven axis commands a run sends.
#pragma once

#include "core/axes.h"
#include "core/echec.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The three columns of the grid, named as their headings.
enum class Colonne { Pas, Direction, Vitesse };
QString NomColonne(Colonne colonne);

// The texts of one row, in the grid's order: steps, direction, speed.
struct TextesRangee {
    QString pas, direction, vitesse;
};
// The rows of axes 1 to 7, A first.
using TextesGrille = std::array<TextesRangee, NombreAxes>;

struct GrilleVerifiee;
struct SequenceAnalysee;

// Seven axis commands that have passed every check: only the checks make
// one, from the grid's texts (VerifierGrille) or from a sequence file's
// bytes (AnalyserSequence).
class Grille {
public:
    // Axis `numero`, 1 to 7.
    const Axe &axe(int numero) const { return m_axes.at(std::size_t(numero - 1)); }
    // The seven lines as LigneAxe forms them, A first.
    QStringList lignes() const;
    bool operator==(const Grille &autre) const { return lignes() == autre.lignes(); }

private:
    explicit Grille(const std::array<Axe, NombreAxes> &axes)
        : m_axes(axes)
    {
    }
    friend GrilleVerifiee VerifierGrille(const TextesGrille &textes);
    friend SequenceAnalysee AnalyserSequence(const QByteArray &contenu);

    std::array<Axe, NombreAxes> m_axes;
};

// A grid value that cannot go to the board. The message names the axis, the
// column and the text as typed.
struct ValeurRefusee : Echec {
    int axe = 0; // 1 to 7
    Colonne colonne = Colonne::Pas;
    QString texte; // as typed
};

// Checks row `numero` (1 to 7) into an axis command, its texts in the order
// direction, steps, speed, or says which value is refused.
struct RangeeVerifiee {
    Axe axe;
    std::optional<ValeurRefusee> echec;
};
RangeeVerifiee VerifierRangee(int numero, const TextesRangee &textes);

// Checks the seven rows in order; the first refused value stops.
struct GrilleVerifiee {
    std::optional<Grille> grille;
    std::optional<ValeurRefusee> echec;
};
GrilleVerifiee VerifierGrille(const TextesGrille &textes);
