// The operator's grid: seven rows of three texts, checked before anything is
// sent, and turned into the seven axis commands.
#pragma once

#include "core/axes.h"
#include "core/echec.h"

#include <QString>
#include <array>
#include <optional>

// The three columns of the grid, named as their headings.
enum class Colonne { Pas, Direction, Vitesse };
QString NomColonne(Colonne colonne);

// The texts of one row, in the grid's order: steps, direction, speed.
struct TextesRangee {
    QString pas, direction, vitesse;
};
// Rows 1 to 7; row 0 is never used.
using TextesGrille = std::array<TextesRangee, NombreAxes + 1>;
// The seven axis commands of a grid, in slots 1 to 7 (slot 0 unused).
using Grille = std::array<Axe, NombreAxes + 1>;

// A grid value that cannot go to the board. The message names the axis, the
// column and the text as typed.
struct ValeurRefusee : Echec {
    int axe = 0; // 1 to 7
    Colonne colonne = Colonne::Pas;
    QString texte; // as typed
};

// Reads row i into an axis command, its texts in the order direction, steps,
// speed, or says which value is refused.
struct RangeeLue {
    Axe axe;
    std::optional<ValeurRefusee> refus;
};
RangeeLue LireRangee(int i, const TextesRangee &textes);

// Reads and checks the seven rows in order; the first refused value stops.
struct GrilleLue {
    Grille axes{};
    std::optional<ValeurRefusee> refus;
};
GrilleLue LireGrille(const TextesGrille &textes);
