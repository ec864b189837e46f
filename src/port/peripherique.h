// Whether a device can be a serial port: the one check a run and the
// port dialog both make, on the path, then on the open descriptor.
#pragma once

#include "port/couche.h"
#include "port/pilote_ligne.h"
#include "system/substituable.h"

#include <QString>
#include <optional>
#include <sys/stat.h>
#include <termios.h>

namespace tarvik::port {

// Why a file of this type and these device numbers (st_mode, st_rdev) cannot
// be a serial port, or nothing. Terminals that are not ports are known by
// their numbers: /dev/tty, /dev/console, /dev/ptmx, the virtual consoles
// and the master side of pseudo-terminals.
std::optional<RaisonPort> VerifierPeripheriqueNumeros(unsigned mode, quint64 rdev);

// Whether the character device `rdev` is the slave side of a
// pseudo-terminal (Unix98 ones, majors 136 to 143, and the old BSD ones,
// major 3): a program at the other end reads what is written to it.
bool EstPseudoTerminal(quint64 rdev);

// Where the system tells about its terminals: the kernel's own entry of
// each character device, and its consoles. Tests put files of theirs here.
struct SourcesTerminaux {
    QString peripheriques = QStringLiteral("/sys/dev/char"); // MAJ:MIN, a link to the device
    // The active consoles' names, read where /proc/consoles names none.
    QString consolesActives = QStringLiteral("/sys/class/tty/console/active");
    QString consoles = QStringLiteral("/proc/consoles");
};
inline Substituable<SourcesTerminaux> SourcesSysteme;

// Why the character device `rdev` cannot be a port, from what the kernel
// says of it before anyone opens it (opening some devices has effects of
// its own: a watchdog arms, a terminal shows what it gets): a device
// outside the kernel's tty class, an active console of the system, or a
// terminal this program's standard streams are on.
std::optional<RaisonPort> VerifierPeripheriqueNoyau(quint64 rdev);

// The refusals of a device the user cannot reach.
EchecLien RefusPortAbsent();
EchecLien RefusPermission();

// The device at `reel` (a path whose links are followed), as stat sees it:
// absent, forbidden to this user, or no serial port (VerifierPeripheriqueNumeros, then
// VerifierPeripheriqueNoyau).
std::optional<EchecLien> VerifierPeripheriqueChemin(const QString &reel, struct stat &etat);

// Opens it for writing, without waiting and without making it the
// controlling terminal; -1 and errno on a failure.
int OuvrirPeripherique(const QString &reel);

// On the open descriptor: still the device examined, not the terminal that
// controls this program, and a terminal whose line settings (given back in
// `reglages`) can be read.
std::optional<EchecLien> VerifierPeripheriqueOuvert(int fd, const struct stat &attendu,
                                                    termios &reglages);

// The same checks without locks and without writing, as the port dialog
// makes them: why `chemin` cannot be a port, or nothing. A device busy or
// forbidden to this user passes: a run will say which.
std::optional<RaisonPort> VerifierPeripherique(const QString &chemin);

// The device's own name, from its numbers, whatever name it was reached
// by (a link, a file it is bound on): /dev/pts/N for a pseudo-terminal,
// else the name the kernel gives it (DEVNAME in /sys/dev/char/MAJ:MIN/uevent:
// /dev/ttyUSB0). Empty when neither says.
QString NomPropre(quint64 rdev);

// Whether `nom` is itself a numbered pseudo-terminal (/dev/pts/3), not a
// link to one: once the terminal is closed, its number goes to whatever
// terminal opens next.
bool PseudoTerminalNumerote(const QString &nom);

} // namespace tarvik::port
