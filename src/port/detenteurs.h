// The processes behind a device: who they are, which of them have it open
// (in any of their file tables), and who holds its flock.
#pragma once

#include "port/couche.h"

#include <QList>
#include <QMultiHash>
#include <QString>
#include <sys/types.h>

namespace tarvik::port {

// A process as it was when it was met: its pid, its command's name and
// its user (empty when they cannot be read).
struct Processus {
    qint64 pid = 0;
    QString commande{};
    QString utilisateur{};
    bool operator==(const Processus &autre) const = default;
};
Processus LireProcessus(qint64 pid);

// The name of the user `uid`, or its number when it has none.
QString NomUtilisateur(uid_t uid);

// Whether the process `pid` is alive (another user's as well).
bool ProcessusVivant(qint64 pid);

// The live process that holds a flock on the file (st_dev, st_ino), from
// /proc/locks; 0 when none is known.
qint64 DetenteurFlock(quint64 appareil, quint64 inode);

// The flock on the device file (st_dev, st_ino) of the character device
// `rdev`: whether one is held, and by whom. /proc/locks names the process
// that took it; when that one has died, a child it left holds the lock
// on, found through the descriptor that carries it (/proc/PID/fdinfo).
// `invisible`: some processes could not be looked at (another user's, for
// anyone but root), so the holder may be one of them.
struct Flock {
    bool pris = false;
    qint64 pid = 0; // 0: not found
    bool invisible = false;
};
Flock FlockSur(quint64 appareil, quint64 inode, quint64 rdev);

// The other processes that have the character device `rdev` open, found
// as fuser finds them, in every file table of theirs: the process's own
// (/proc/PID/fd), and a thread's that took one of its own
// (unshare(CLONE_FILES): /proc/PID/task/TID/fd). `invisibles`: some
// processes could not be looked at (another user's, for anyone but root),
// so one of them may hold it too.
struct Detenteurs {
    QList<qint64> pids;
    bool invisibles = false;
};
Detenteurs DetenteursOuverts(quint64 rdev);

// Whether the process `pid` has the character device `rdev` open, in any
// of its file tables: Inconnu when it cannot be looked at (another user's,
// for anyone but root).
enum class Tenu { Oui, Non, Inconnu };
Tenu TientPeripherique(qint64 pid, quint64 rdev);

// Whether this program sees every process of the machine: it runs in the
// initial pid namespace, where every other one is nested, and /proc hides
// none from it (no hidepid, or the capability to see through it). Only then
// can a pid that names nobody here be shown to name nobody at all.
bool VoitTousLesProcessus();

// The processes of the pid namespaces nested in this one, by the pid they
// bear there (the NSpid line of /proc/PID/status lists a process's pid in
// each namespace, from this one down): a lock such a process wrote names
// it by that pid. `complet`: every process could be read.
struct Imbriques {
    QMultiHash<qint64, qint64> ici; // a pid there, and the pid here of each that bears it
    bool complet = true;
};
Imbriques ProcessusImbriques();

} // namespace tarvik::port
