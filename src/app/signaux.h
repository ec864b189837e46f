// The signals that end a program and that it can catch (SIGINT, SIGTERM,
// SIGHUP, SIGQUIT) only wake it: their number goes down a pipe whose read
// end a run watches, so that the port, its locks and its exclusive mode are
// released outside the handler before the program ends.
#pragma once

#include "app/couche.h"

namespace tarvik::app {

// Installs the handlers; returns the pipe's read end (non-blocking), or -1
// when the pipe or a handler cannot be set.
int EcouterSignaux();

// From now on the same signals end the program at once, with 128 plus their
// number (no core dump): for a program that holds nothing left to release.
void SortirAuxSignaux();

// The first signal received and not yet taken, read from the pipe; 0 when
// none. The exit code that goes with it is 128 plus its number.
int SignalRecu();

// The first signal received since EcouterSignaux, taken or not; 0 when none.
int PremierSignal();

} // namespace tarvik::app
