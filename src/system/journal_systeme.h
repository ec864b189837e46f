// Entries for the system's journal (journald), sent on its socket in its
// native protocol: never waited for, and never said to have failed. What the
// program must keep goes to its own files; this is a copy for whoever reads
// the machine's log.
#pragma once

#include "system/couche.h"

#include <QByteArray>
#include <QList>
#include <utility>

namespace tarvik::system {

// One field of an entry: its name (capital letters, digits and '_', not
// starting with '_') and its value, any bytes.
using ChampJournal = std::pair<QByteArray, QByteArray>;

// Where journald takes entries.
inline constexpr char SocketJournalSysteme[] = "/run/systemd/journal/socket";

// The datagram that carries an entry: "NOM=valeur\n" for each field; for a
// value that holds a line feed, "NOM\n", the value's length in 64 bits
// little-endian, the value and "\n".
QByteArray FormerEntreeJournal(const QList<ChampJournal> &champs);

// Hands the entry to the socket at `socket` without ever waiting: where there
// is none (a container, a system without systemd), or where it is full or
// slow, the entry is dropped. An entry too large for one datagram goes as
// the native protocol provides: in a sealed memory file (memfd_create),
// passed on the socket by an empty datagram (SCM_RIGHTS). Whether it was
// taken. errno is left as it was.
bool EnvoyerAuJournalSysteme(const QList<ChampJournal> &champs,
                             const char *socket = SocketJournalSysteme);

} // namespace tarvik::system
