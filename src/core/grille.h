// The operator's grid: seven rows of three texts, checked once into the
// seven axis commands a run sends.
#pragma once

#include "core/axes.h"
#include "core/limites.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace tarvik::core {

// The three columns of the grid.
enum class Colonne { Pas, Direction, Vitesse };

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

// A typed text as a message quotes it: each character as itself when it
// prints, else spelled out (U+0009), a long text cut with "…".
QString TexteLisible(QStringView texte);

// How a box's text is read when it does not go out as typed.
struct LectureCase {
    enum class Genre {
        Vide,               // a number box with nothing in it: 0
        PrefixeSansChiffre, // "&H" or "&O" with no digit of its base after it: 0
        Prefixe,            // "&H" or "&O": a hexadecimal or octal number
        BlancsIgnores,      // digits with blanks among them
        AucunChiffre,       // no digit at all: 0
        PasUnNombreAuDebut, // a number that is not at the start: 0
        VirguleDecimale,    // a comma where a decimal point would be
        NombreDuDebut,      // the leading number only, rounded
        DirectionVide,      // an empty direction: a space
        PremierCaractere,   // more than one character: the first one only
    };
    Genre genre = Genre::NombreDuDebut;
    QString champ{};     // what goes out: "00001", "+"
    QString prefixe{};   // PrefixeSansChiffre: the two characters as typed ("&h")
    QString avecPoint{}; // VirguleDecimale: the text, blanks out, its comma made a point
    bool operator==(const LectureCase &autre) const = default;
};

// Why a box's value cannot go to the board, as the box's own check finds it.
struct RefusCase {
    enum class Genre {
        PasHorsPlage,      // the steps, read and rounded, not within PasMin..PasMax
        VitesseHorsPlage,  // the speed not within 0..VitesseMax
        DirectionInvalide, // not a printable character of Windows-1252
        StricteDirection,  // strict reading: not exactly one character
        StricteChiffres,   // strict reading: not digits alone (`lecture` says how it reads)
        LimitePas,         // beyond the axis's steps limit, `limite`
        LimiteVitesse,     // beyond its speed limit, `limite`
        LimiteDirections,  // a direction its limit does not allow (`directions`)
    };
    Genre genre = Genre::PasHorsPlage;
    std::int32_t limite = 0;                     // LimitePas, LimiteVitesse
    QString directions{};                        // LimiteDirections: those allowed
    NiveauLimite niveau = NiveauLimite::Machine; // who set the limit
    std::optional<LectureCase> lecture{};        // StricteChiffres
    bool operator==(const RefusCase &autre) const = default;
};

// How one box of the grid will be read: the field it gives in the line, and
// whether that is the text as typed; or why it cannot go to the board.
struct CaseVerifiee {
    QString champ;                      // in the line: "00001", "002", "+"; empty when refused
    std::int64_t valeur = 0;            // steps or speed, once read and rounded
    QChar direction;                    // the direction character
    bool telleQuelle = true;            // the text goes out as typed: digits alone, one character
    std::optional<LectureCase> lecture; // when it does not: how it is read
    std::optional<RefusCase> echec;     // why it cannot be sent
    bool horsLimite = false;            // a limit of the bench refuses it
};
// Within `limite` too (the axis's limits, if any), and, when `stricte`, with
// the text exactly what is sent.
CaseVerifiee VerifierCase(Colonne colonne, const QString &texte, const LimitesAxe *limite = nullptr,
                          bool stricte = false);

// A step of a run, as a message names it: its place, its name, and whether
// the run is that one step sent once.
struct PointDecrit {
    int etape = 0, cycle = 0; // from 0
    QString nom{};            // the step's, may be empty
    bool envoiSeul = false;   // a run of one step, once: it is the send itself
    bool operator==(const PointDecrit &autre) const = default;
};

// Where a run takes an axis beyond its travel limit.
struct CourseRefusee {
    PointDecrit point{};              // the first step that does
    std::optional<qint64> position{}; // where it takes the axis; none: that step's direction
                                      // is neither '+' nor '-', and where it goes is unknown
    QChar direction{};                // that step's direction, when no position
    std::int32_t borne = 0;           // the travel limit, either way
    NiveauLimite niveau = NiveauLimite::Machine;
    bool operator==(const CourseRefusee &autre) const = default;
};

// A value that cannot go to the board: a box's, said by its axis, its
// column and its text as typed, and why (`raison`); or where a run takes an
// axis beyond its travel (`course`).
struct ValeurRefusee {
    int axe = 0;   // 1 to 7
    QString nom{}; // the axis's name the window shows; empty for "Axe 0k"
    Colonne colonne = Colonne::Pas;
    QString texte{};         // as typed
    bool horsLimite = false; // refused by a limit of the bench, not by the line's own range
    RefusCase raison{};      // a box's value: why
    std::optional<CourseRefusee> course{}; // the run's travel instead
    // The program's step it stands in, from 0, and that step's name, when
    // the program has more than one.
    std::optional<int> etape{};
    QString nomEtape{};
    bool operator==(const ValeurRefusee &autre) const = default;
};

// A box whose text goes out otherwise than typed: the operator is asked
// before it goes ("Axe 01 (A), Pas : « 1O0 » partira comme « 00001 »").
struct CaseLue {
    int axe = 0;   // 1 to 7
    QString nom{}; // as ValeurRefusee's
    Colonne colonne = Colonne::Pas;
    QString texte{}; // as typed
    QString champ{}; // what goes out
    bool operator==(const CaseLue &autre) const = default;
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
