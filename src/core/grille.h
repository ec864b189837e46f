// The operator's grid: seven rows of three texts, checked once into the
// seven axis commands a run sends.
#pragma once

#include "core/axes.h"
#include "core/echec.h"
#include "core/limites.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace tarvik::core {

// The three columns of the grid, named as their headings.
enum class Colonne { Pas, Direction, Vitesse };
QString NomColonne(Colonne colonne);

// The texts of one row, in the grid's order: steps, direction, speed.
struct TextesRangee {
    QString pas, direction, vitesse;
};
// The rows of axes 1 to 7, A first.
using TextesGrille = std::array<TextesRangee, NombreAxes>;

// The names the messages give the axes: a name the window shows (from an
// axis designation file), empty for "Axe 0k". Messages add the letter.
using NomsAxes = std::array<QString, NombreAxes>;

struct GrilleVerifiee;
struct SequenceAnalysee;
struct ValeurRefusee;

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
    friend GrilleVerifiee VerifierGrille(const TextesGrille &textes, const NomsAxes &noms,
                                         const Limites *limites);
    friend SequenceAnalysee AnalyserSequence(const QByteArray &contenu);
    friend QList<ValeurRefusee> VerifierCourse(const GrilleVerifiee &verifiee,
                                               const Limites &limites, const NomsAxes &noms);

    std::array<Axe, NombreAxes> m_axes;
};

// How one box of the grid will be read: the field it gives in the line, and
// whether that is the text as typed; or why it cannot go to the board.
struct CaseVerifiee {
    QString champ;                // in the line: "00001", "002", "+"; empty when refused
    std::int64_t valeur = 0;      // steps or speed, once read and rounded
    QChar direction;              // the direction character
    bool telleQuelle = true;      // the text goes out as typed: digits alone, one character
    QString lecture;              // when it does not: how it is read, for the operator
    std::optional<QString> echec; // why it cannot be sent
    bool horsLimite = false;      // a limit of the bench refuses it
};
// Within `limite` too (the axis's limits, if any), and, when `stricte`, with
// the text exactly what is sent.
CaseVerifiee VerifierCase(Colonne colonne, const QString &texte, const LimitesAxe *limite = nullptr,
                          bool stricte = false);

// A grid value that cannot go to the board. The message names the axis, the
// column and the text as typed.
struct ValeurRefusee : Echec {
    int axe = 0; // 1 to 7
    Colonne colonne = Colonne::Pas;
    QString texte;           // as typed
    bool horsLimite = false; // refused by a limit of the bench, not by the line's own range
    // The same on one line, for a list of several ("Axe 03 (C), Vitesse :
    // « 300 » — la vitesse doit…"); empty where the value is not a box's.
    QString ligne;
};

// A box whose text goes out otherwise than typed: the operator is asked
// before it goes. `message` names the axis and the column, says what was
// typed and what will go out: "Axe 01 (A), Pas : « 1O0 » partira comme
// « 00001 »".
struct CaseLue {
    int axe = 0; // 1 to 7
    Colonne colonne = Colonne::Pas;
    QString message;
};

// Checks row `numero` (1 to 7) into an axis command, its texts in the order
// direction, steps, speed, or says which values are refused.
struct RangeeVerifiee {
    // Its fields as the line reads them: a value refused by a limit of the
    // bench is still read, one the line itself refuses is left at 0.
    Axe axe;
    std::optional<ValeurRefusee> echec; // the first value refused
    QList<ValeurRefusee> echecs;        // every one, in the order of the checks
    QList<CaseLue> lues;                // the boxes that go out otherwise than typed
    // The line reads its direction and its steps (a limit may refuse them):
    // where the row takes its axis can be told.
    bool mouvementLu = true;
};
RangeeVerifiee VerifierRangee(int numero, const TextesRangee &textes, const QString &nom = {},
                              const Limites *limites = nullptr);

// Checks the seven rows in order: the grid when no value is refused, else
// every refused value.
struct GrilleVerifiee {
    std::optional<Grille> grille;
    std::optional<ValeurRefusee> echec; // the first value refused
    QList<ValeurRefusee> echecs;        // every one, row by row, in the order of the checks
    QList<CaseLue> lues;                // the boxes that go out otherwise than typed, likewise
    // Each row's command and whether its move was read, as RangeeVerifiee
    // says them: what VerifierCourse tells of a grid some of whose values
    // are refused.
    std::array<Axe, NombreAxes> axes{};
    std::array<bool, NombreAxes> mouvementsLus{};
};
GrilleVerifiee VerifierGrille(const TextesGrille &textes, const NomsAxes &noms = {},
                              const Limites *limites = nullptr);

// Every value of a checked grid beyond the limits, in the order of the grid
// (a sequence file's or a program's): none when it keeps within them.
QList<ValeurRefusee> VerifierLimites(const Grille &grille, const Limites &limites,
                                     const NomsAxes &noms = {});

} // namespace tarvik::core
