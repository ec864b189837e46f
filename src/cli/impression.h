// What tarvik-envoyer prints goes through here. Its standard output and its
// standard error each have a thread of their own (one for both when they are
// the same file, so that their order holds) that writes what it is handed,
// in order: whoever prints never waits for a reader (a pager that stops
// reading, a pipe nobody empties), so a run never holds the port on its
// output and a signal is always heard. The descriptors stay as they were
// given: no flag of theirs is changed, since other processes share them.
#pragma once

#include "couche.h"

#include <QByteArray>
#include <QString>

namespace tarvik::cli {

// Hands `octets` to the printer of `fd` (STDOUT_FILENO or STDERR_FILENO); never
// waits.
void Imprimer(int fd, const QByteArray &octets);
// A text, in the locale's encoding, on stderr.
void Dire(const QString &texte);

// The errno of the first write to `fd` that failed (a closed pipe, a full
// disk), after which its printer drops what it is handed; 0 when none has.
int ErreurImpression(int fd);

// Waits until everything handed to the printers (with `fd`, to that one's
// only) is written, or failed: true then. With `calmeMs` (not -1), gives up
// once nothing was written for that long; a signal on `reveil` (not -1,
// left to read) ends the wait too.
bool AttendreImpression(int reveil, int calmeMs = -1, int fd = -1);

} // namespace tarvik::cli
