// The line settings the board needs, worked out apart from any device:
// raw, 38400 baud, 8 data bits, no parity, 1 stop bit, no flow control.
#pragma once

#include "port/couche.h"

#include <termios.h>

namespace tarvik::port {

// The settings to apply, from the device's current ones: whatever they do
// not name stays as found.
termios ReglagesPourLaCarte(const termios &actuels);

// Whether settings read back from the device are the ones the board needs:
// tcsetattr succeeds when any part of a change applies, so what holds is
// read back and checked.
bool ReglagesConformes(const termios &lus);

} // namespace tarvik::port
