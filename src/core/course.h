// Where a program takes each axis: its position relative to the program's
// start, taken as 0, step after step over every cycle of a run. The board
// moves an axis by relative moves: '+' adds the step count, '-' takes it
// away. Any other direction leaves the axis's position unknown from the
// step that sends it on. Tarvik never knows where the machine really is:
// these are positions from wherever the run starts.
//
// A run starts its first cycle at step `depuis` and every later one at the
// first step. Each axis's moves are added up once over one cycle; a
// position at any point of the run, and the lowest and highest over any
// stretch of it, come from them arithmetically, however many cycles.
//
// Steps and cycles count from 0 here, as everywhere in the code (a run's
// ResultatEtape, the station's state); the operator reads them from 1.
#pragma once

#include "core/programme.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace tarvik::core {

// A step sent in a run: step `etape` of the program (from 0) in cycle
// `cycle` (from 0).
struct PointCourse {
    int etape = 0;
    int cycle = 0;
    bool operator==(const PointCourse &autre) const = default;
};

// One axis over a whole run.
struct CourseAxe {
    bool bouge = false;             // a step sent moves it, or leaves it unknown
    std::optional<qint64> parCycle; // over one whole cycle; none when a step of
                                    // the program has another direction
    // The lowest and highest positions known, the start's 0 among them, and
    // the position at the end, when it is known.
    qint64 plusBas = 0, plusHaut = 0;
    std::optional<qint64> arrivee;
    // The first step sent whose direction is neither '+' nor '-': the
    // position after it, and after every later step, is unknown.
    std::optional<PointCourse> inconnue;
    QChar direction; // that step's direction
    bool operator==(const CourseAxe &autre) const = default;
};

// Where an axis first leaves -limite..limite: the step, and the position it
// reaches; or the step from which its position is unknown (no position).
struct SortieCourse {
    PointCourse point;
    std::optional<qint64> position;
    bool operator==(const SortieCourse &autre) const = default;
};

// The lowest and highest of some positions.
struct EtendueCourse {
    qint64 bas = 0, haut = 0;
    bool operator==(const EtendueCourse &autre) const = default;
};

class Course {
public:
    // The run of `programme` from step `depuis` (from 0), `cycles` times.
    // `depuis` is brought within the steps, and `cycles` to at least 1.
    Course(const Programme &programme, int depuis, int cycles);

    const Programme &programme() const { return m_programme; }
    int etapes() const { return int(m_programme.etapes.size()); }
    int depuis() const { return m_depuis; }
    int cycles() const { return m_cycles; }

    // How many steps the run sends; point i (1 to points()) is the i-th of
    // them, and point 0 the start.
    qint64 points() const;
    PointCourse point(qint64 i) const;
    qint64 indice(PointCourse point) const; // point's i; 0 before the run
    // Axis `numero` (1 to 7) over the whole run.
    const CourseAxe &axe(int numero) const { return m_resumes.at(std::size_t(numero - 1)); }
    // Its position after point i, when known.
    std::optional<qint64> position(int numero, qint64 i) const;
    // The lowest and highest of its known positions from point `debut` to
    // point `dernier`, both included; none when none of them is known.
    std::optional<EtendueCourse> etendue(int numero, qint64 debut, qint64 dernier) const;
    // The first step at which it goes beyond -limite..limite, or from which
    // its position is unknown; none when it stays within all along.
    std::optional<SortieCourse> sortie(int numero, qint64 limite) const;

private:
    // One axis's moves over one cycle: the position before each step, the
    // cycle's start taken as 0, and tables of the lowest and highest of
    // them over any run of steps (level j: over 2^j steps from each step).
    // The run's points are counted here from the first cycle's start:
    // point g stands after g steps, and the run goes from m_depuis to
    // etapes() × m_cycles.
    struct Profil {
        QList<qint64> avant;            // etapes() + 1 positions: before step k, then the end
        QList<QList<qint64>> bas, haut; // per level, from each step
        int premiereInconnue = -1;      // the first step of another direction
        qint64 inconnueDes = 0;         // the first point whose position is unknown
    };
    void profiler(int numero);
    void resumer(int numero);
    qint64 valeur(const Profil &profil, qint64 g) const;
    EtendueCourse etendueBrute(const Profil &profil, qint64 a, qint64 b) const;
    EtendueCourse dansUnCycle(const Profil &profil, int r0, int r1) const;
    std::optional<qint64> premierHors(const Profil &profil, qint64 a, qint64 b,
                                      qint64 limite) const;
    qint64 premierCycleHors(const Profil &profil, qint64 c0, qint64 limite) const;

    Programme m_programme;
    int m_depuis = 0, m_cycles = 1;
    std::array<Profil, NombreAxes> m_profils;
    std::array<CourseAxe, NombreAxes> m_resumes;
};

// A position with its sign: "+150", "-20", "0".
QString PositionSignee(qint64 position);
// A step of a run as messages name it: its place and name, or the run
// itself when it is one step sent once.
PointDecrit DecrirePoint(const Course &course, PointCourse point);

// An axis that a run of more than one cycle drives a little further at every
// cycle: a warning, never a refusal.
struct DeriveAxe {
    int axe = 0;         // 1 to 7
    qint64 parCycle = 0; // its travel over one cycle, never 0
    qint64 arrivee = 0;  // where it ends
    bool operator==(const DeriveAxe &autre) const = default;
};
QList<DeriveAxe> Derives(const Course &course);

// Every axis with a travel limit that the run of `programme` (from step
// `depuis`, `cycles` times) takes beyond it, or leaves at an unknown
// position: one refusal an axis, naming the step, its cycle and the
// position reached, as VerifierLimites's refusals are. A grid checks as a
// one-step program run once.
QList<ValeurRefusee> VerifierCourse(const Course &course, const Limites &limites,
                                    const NomsAxes &noms = {});
QList<ValeurRefusee> VerifierCourse(const Programme &programme, const Limites &limites, int depuis,
                                    int cycles, const NomsAxes &noms = {});
// The same for the grid `verifiee` checked, sent once: told even when some
// of its values are refused, for each row whose direction and steps the line
// reads (refused by a limit or not); a row whose move the line refuses is
// left out, refused already.
QList<ValeurRefusee> VerifierCourse(const GrilleVerifiee &verifiee, const Limites &limites,
                                    const NomsAxes &noms = {});

} // namespace tarvik::core
