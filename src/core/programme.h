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
// A step's seven lines are exactly those of a sequence file. Every step but
// the last names the wait after it. The reader is strict and names the
// faulty line; a sequence file is a one-step program.
#pragma once

#include "core/echec.h"
#include "core/grille.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The longest wait a step may name, and the most steps and repetitions.
constexpr int AttenteMaxDixiemes = 36000; // 3600 s, to 0.1 s
constexpr int EtapesMax = 1000;
constexpr int RepetitionsMax = 10000;

struct EtapeProgramme {
    QString nom;               // may be empty
    Grille grille;             // its seven lines, checked
    int attenteDixiemes = 0;   // the wait after it, in tenths of a second (none after the last)
};

struct Programme {
    QList<EtapeProgramme> etapes;
    int repetitions = 1; // how many times the whole program runs
};

// Parses a program file, or a sequence file as a one-step program.
struct ProgrammeAnalyse {
    std::optional<Programme> programme;
    std::optional<Echec> echec; // "Ligne 12 : …"
};
ProgrammeAnalyse AnalyserProgramme(const QByteArray &contenu);

// Forms a program's file; AnalyserProgramme reads it back as it was.
QByteArray FormerProgramme(const Programme &programme);

// The waits of one cycle, in tenths of a second.
int AttenteTotaleDixiemes(const Programme &programme);
