// The sequence run behind the TEST button: checks the whole grid, then sends
// the seven command lines A to G to serial port 1 and lists them.
#pragma once

#include "sequence/axes.h"
#include "serial/serial_link.h"

#include <QString>
#include <optional>

// What a run needs of the window, by control name and element number (1 to 7).
class FenetreSequence {
public:
    virtual ~FenetreSequence() = default;
    virtual QString Text1(int i) const = 0; // step count of axis i
    virtual QString Text2(int i) const = 0; // speed of axis i
    virtual QString Text3(int i) const = 0; // direction of axis i
    virtual void ViderList1() = 0;
    virtual void AjouterList1(const QString &ligne) = 0;
    virtual LienSerie &MSComm1() = 0;
};

// A failed run, with the message for the operator.
struct EchecSequence {
    QString message;
    std::optional<ValeurRefusee> valeur;  // a grid value was refused
    std::optional<EchecLien::Genre> lien; // the serial link failed
};

// The seven axis commands of a grid, in slots 1 to 7 (slot 0 unused).
using Grille = std::array<Axe, NombreAxes + 1>;

// Reads and checks the seven rows, each in the order Text3, Text1, Text2;
// on a refused value says which (the message does not yet say what follows).
std::optional<EchecSequence> LireGrille(const FenetreSequence &fenetre, Grille &grille);

// A whole run may take this long before it fails; the 84 bytes of a run take
// about 22 ms on the line.
constexpr int DelaiSequenceMs = 2000;

// Reads and checks all seven rows first: from an invalid grid nothing is sent,
// List1 and Axes stay as they were. Then opens the port, empties List1, and
// for each axis fills Axes, writes its line and lists it once written; waits
// until the bytes have left and closes the port. On a failure the port is
// closed, the locks are released, and List1 holds the lines written in full.
std::optional<EchecSequence> EnvoyerSequence(FenetreSequence &fenetre);
