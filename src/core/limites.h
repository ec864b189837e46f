// Limits per axis: what a bench's machine can take, and what its operator
// asks to keep to. Two levels, the machine's and the operator's, and the
// stricter wins.
//
//   # Banc 2 : pince et bras
//   [Limites]
//   lecture=stricte
//   A.pas=5000
//   A.vitesse=120
//   A.directions=+-
//   A.course=20000
//
// The file is read strictly, as the settings are: blank lines and lines
// starting with ';' or '#' are passed over; anything else that is not fully
// understood makes the whole file untrusted, and an untrusted limits file
// refuses every send.
#pragma once

#include "core/axes.h"
#include "core/fichier_cles.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace tarvik::core {

// Who set a limit.
enum class NiveauLimite { Machine, Operateur };

// The farthest a travel limit lets an axis go from a program's start, in
// steps, either way.
constexpr std::int32_t CourseMax = 99999999;

// One axis's limits; an absent one leaves the line's own range.
struct LimitesAxe {
    std::optional<std::int32_t> pas;     // the most steps, 0 to 99999
    std::optional<std::int32_t> vitesse; // the highest speed, 0 to 255
    std::optional<QString> directions;   // the direction characters allowed
    // How far a program may take the axis from its start, either way: its
    // position must stay within -course..course at every step of a run.
    std::optional<std::int32_t> course; // 0 to CourseMax
    // Who set each of them, when it is set.
    NiveauLimite niveauPas = NiveauLimite::Machine, niveauVitesse = NiveauLimite::Machine,
                 niveauDirections = NiveauLimite::Machine, niveauCourse = NiveauLimite::Machine;
    bool operator==(const LimitesAxe &autre) const = default;
};

struct Limites {
    std::array<LimitesAxe, NombreAxes> axes{}; // axes 1 to 7
    // Each box must hold exactly what is sent: digits only in steps and
    // speed, exactly one character in direction.
    bool stricte = false;
    NiveauLimite niveauStricte = NiveauLimite::Machine;
    bool operator==(const Limites &autre) const = default;
};

// The four limits of an axis, as a file names them after the axis's letter:
// A.pas, A.vitesse, A.directions, A.course.
enum class ChampLimite { Pas, Vitesse, Directions, Course };

// Reads one limit's value as a file writes it ("5000", "+-") into `axe`,
// said to come from `niveau`: why it is refused, or nothing. Steps, speed and
// travel are plain digits in their range; directions are one or more
// distinct characters DirectionValide accepts, none of them blank.
std::optional<RefusValeur> AnalyserLimite(ChampLimite champ, const QString &valeur, LimitesAxe &axe,
                                          NiveauLimite niveau);

// Parses a limits file; every limit it holds is said to come from `niveau`.
struct LimitesAnalysees {
    Limites limites;
    std::optional<EchecCles> echec; // the file is not understood
};
LimitesAnalysees AnalyserLimites(const QByteArray &contenu, NiveauLimite niveau);

// Forms the file holding `limites`, from `avant`, a file AnalyserLimites
// understands: a key's line changes where it stands, or goes when its limit
// is removed; a new one goes at the end; comments and blank lines stay.
QByteArray FormerLimites(const Limites &limites, const QByteArray &avant = {});

// The stricter of two sets of limits, each limit with the level that set it:
// the lower steps, speed and travel, the directions both allow, strict
// reading if either asks for it. On a tie the machine is said to have set it.
Limites PlusStrictes(const Limites &machine, const Limites &operateur);

} // namespace tarvik::core
