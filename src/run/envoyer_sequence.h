// The sequence run behind TEST and tarvik-envoyer: checks the whole grid,
// then sends the seven command lines A to G on the link, and tells each
// line as it is handed over.
#pragma once

#include "core/grille.h"
#include "port/lien_serie.h"

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

// A whole run may take this long before it fails; the 84 bytes of a run take
// about 22 ms on the line.
constexpr int DelaiSequenceMs = 2000;

// Reads and checks all seven rows first: from an invalid grid nothing is
// sent and Axes stays as it was. Then opens the port, tells that the run
// starts, and for each axis fills Axes, writes its line and tells it once
// written; waits until the bytes have left and closes the port. On a failure
// the port is closed, the locks are released, and the lines told are those
// written in full.
std::optional<EchecSequence> EnvoyerSequence(const TextesGrille &textes, LienSerie &lien,
                                             const ObservateurEnvoi &observateur = {});
