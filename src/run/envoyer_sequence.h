// The sequence run behind TEST and tarvik-envoyer: checks the whole grid,
// then sends the seven command lines A to G on the link, and tells each
// line as it is handed over.
#pragma once

#include "core/grille.h"
#include "port/lien_serie.h"
#include "system/substituable.h"

#include <QString>
#include <functional>
#include <optional>

// What a run tells as it goes: that it starts, once the port is open, then
// each line (without its line feed) once the port has taken it, A first.
struct ObservateurEnvoi {
    std::function<void()> commence;
    std::function<void(const QString &ligne)> ligneRemise;
};

// A failed run.
struct EchecSequence : Echec {
    std::optional<ValeurRefusee> valeur;  // a grid value was refused
    std::optional<EchecLien::Genre> lien; // the serial link failed
};

// A whole run may take this long before it fails, from the opening of the
// port to the end of the drain; the 84 bytes of a run take about 22 ms on
// the line. Tests shorten it.
inline Substituable<int> DelaiSequenceMs{2000};

// What the operator is told when the opening threw away bytes an earlier,
// interrupted run had left queued; empty when it threw none.
QString NoteOctetsJetes(const LienSerie &lien);

// Reads and checks all seven rows first: from an invalid grid nothing is
// sent and Axes stays as it was. Then opens the port, tells that the run
// starts, and for each axis fills Axes, writes its line and tells it once
// written; waits until the bytes have left and closes the port. On a failure
// the port is closed, the locks are released, and the lines told are those
// written in full. Past the deadline nothing more is written, and a run that
// only ends after it fails, even with every line handed over.
std::optional<EchecSequence> EnvoyerSequence(const TextesGrille &textes, LienSerie &lien,
                                             const ObservateurEnvoi &observateur = {});
