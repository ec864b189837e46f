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

#include "core/echec.h"
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

// Parses a program file, or a sequence file as a one-step program.
struct ProgrammeAnalyse {
    std::optional<Programme> programme;
    std::optional<Echec> echec; // "Ligne 12 : …"
};
ProgrammeAnalyse AnalyserProgramme(const QByteArray &contenu);

// Forms a program's file; AnalyserProgramme reads it back as it was, for a
// program such as it gives. A name's control characters are left out, so
// that no name breaks its line; a value out of range is written as it is,
// and the reader refuses it.
QByteArray FormerProgramme(const Programme &programme);

// A duration as the operator reads it, to the millisecond, in the language
// in force: "2 s", "0,5 s" in French (its decimal comma), "0.5 s" in English.
QString TexteSecondes(qint64 ms);

// The waits of one cycle, in tenths of a second: every step's but the last.
int AttenteTotaleDixiemes(const Programme &programme);
// The waits still to come from step `etape` of cycle `cycle` (both from 0)
// to the end of the program's cycles, in tenths of a second: that step's
// own and those after it in its cycle, then every whole cycle left. From
// (depuis, 0), all the waits of a run started at step `depuis`.
qint64 AttentesDepuis(const Programme &programme, int etape, int cycle = 0);

// Every value of the program beyond the limits, step after step; with more
// than one step, each message starts by naming its step ("Étape 2 (prise) : ").
QList<ValeurRefusee> VerifierLimites(const Programme &programme, const Limites &limites,
                                     const NomsAxes &noms = {});

} // namespace tarvik::core
