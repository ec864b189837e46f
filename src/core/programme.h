// Programs: several grids in a row, with the operator's waits between them,
// repeated as many times as asked.
//
//   # Prise et dépose d'une pièce
//   programme tarvik 1
//   repeter 3
//
//   etape prise
//   A+00000:002
//   B-00100:010
//   C+00000:002
//   D+00250:002
//   E+00000:002
//   F+00000:002
//   G+00000:002
//   attendre 2.5
//
//   etape depose
//   A+00100:002
//   …
//   G+00000:002
//
// A step's seven lines are exactly those of a sequence file, in
// Windows-1252, one after the other; its name, optional, is UTF-8 and follows
// the rules of an axis name. Every step but the last names the wait after it,
// in seconds, to a tenth at most ("2.5", "0", "3600"). Lines starting with
// '#' and blank lines may stand between these elements, and a CR before a
// line feed is allowed. The reader is strict and names the faulty line; a
// sequence file is a one-step program.
#pragma once

#include "core/fichiers.h"
#include "core/grille.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace tarvik::core {

// The longest wait a step may name, and the most steps and repetitions.
constexpr int AttenteMaxDixiemes = 36000; // 3600 s, to 0.1 s
constexpr int EtapesMax = 1000;
constexpr int RepetitionsMax = 10000;
// The largest program file read.
constexpr qsizetype TailleMaxProgramme = 1024 * 1024;

struct EtapeProgramme {
    QString nom;             // may be empty
    Grille grille;           // its seven lines, checked
    int attenteDixiemes = 0; // the wait after it, in tenths of a second (none after the last)
    bool operator==(const EtapeProgramme &autre) const = default;
};

struct Programme {
    QList<EtapeProgramme> etapes;
    int repetitions = 1; // how many times the whole program runs
    bool operator==(const Programme &autre) const = default;
};

// Whether these bytes are a sequence file's rather than a program's: a
// sequence file starts with axis A's line.
bool EstUneSequence(const QByteArray &contenu);
// A sequence file read as a program keeps to a sequence file's size.
constexpr qsizetype TailleMaxSequence = 64 * 1024;

// Why a program file is refused, and at which line.
struct EchecProgramme {
    enum class Genre {
        TropGros,              // over TailleMaxProgramme: no line
        SequenceTropGrosse,    // a sequence file over TailleMaxSequence: no line
        Sequence,              // a sequence file's lines, or a step's seven: `sequence`
        VersionInconnue,       // "programme tarvik N", N another version
        EnteteAttendu,         // the file does not start with "programme tarvik 1"
        Repetitions,           // "repeter" with other than 1 to RepetitionsMax: `mot`
        MotCleMalEcrit,        // a keyword with an accent or a capital: `mot`, `cle`
        RepeterDeplace,        // "repeter" out of its place
        EnteteDeplace,         // "programme tarvik 1" out of its place
        FinAuLieuDEtape,       // the file ends where a step is awaited
        PremiereEtapeAttendue, // `mot` where the first step is awaited
        EtapeApresAttente,     // `mot` where the step after a wait is awaited
        AttenteManquante,      // a step follows a step with no wait between
        AttenteAttendue,       // `mot` where a wait or the end is awaited
        AttenteSansEtape,      // a wait that no step follows
        TropDEtapes,           // more than EtapesMax steps
        NomEtape,              // a step's name refused: `nom`
        AttenteIllisible,      // a wait written otherwise: `mot`
        AttenteTropLongue,     // a wait over AttenteMaxDixiemes: `mot`
    };
    Genre genre = Genre::EnteteAttendu;
    qsizetype ligne = 0; // 1 first; 0 for TropGros, SequenceTropGrosse and Sequence
    QString mot{};       // the word or value read, as a message quotes it
    QString cle{};       // MotCleMalEcrit: the keyword it stands for
    std::optional<EchecSequence> sequence{}; // Sequence: its line is the file's
    std::optional<RefusNom> nom{};           // NomEtape
    bool operator==(const EchecProgramme &autre) const = default;
};

// Parses a program file, or a sequence file as a one-step program.
struct ProgrammeAnalyse {
    std::optional<Programme> programme;
    std::optional<EchecProgramme> echec;
};
ProgrammeAnalyse AnalyserProgramme(const QByteArray &contenu);

// Forms a program's file; AnalyserProgramme reads it back as it was, for a
// program such as it gives. A name's control characters are left out, so
// that no name breaks its line; a value out of range is written as it is,
// and the reader refuses it.
QByteArray FormerProgramme(const Programme &programme);

// The waits of one cycle, in tenths of a second: every step's but the last.
int AttenteTotaleDixiemes(const Programme &programme);
// The waits still to come from step `etape` of cycle `cycle` (both from 0)
// to the end of the program's cycles, in tenths of a second: that step's
// own and those after it in its cycle, then every whole cycle left. From
// (depuis, 0), all the waits of a run started at step `depuis`.
qint64 AttentesDepuis(const Programme &programme, int etape, int cycle = 0);

// Every value of the program beyond the limits, step after step; with more
// than one step, each names its step.
QList<ValeurRefusee> VerifierLimites(const Programme &programme, const Limites &limites,
                                     const NomsAxes &noms = {});

} // namespace tarvik::core
