// The locks serial programs leave on a device: UUCP lock files in the lock
// folder (minicom, Qt, lockdev, and ours), and flock on the device itself
// (picocom, and ours).
#pragma once

#include "core/echec.h"
#include "system/substituable.h"

#include <QString>
#include <QStringList>
#include <optional>

// Where UUCP lock files are looked for and ours created, in this order
// (folders that are one another's link count once), and the folders of the
// devices' stable links.
inline Substituable<QStringList> DossiersVerrou{
    {QStringLiteral("/var/lock"), QStringLiteral("/run/lock")}};
inline Substituable<QStringList> DossiersLiens{
    {QStringLiteral("/dev/serial/by-id"), QStringLiteral("/dev/serial/by-path")}};

// "le processus 1234 (minicom, de l'utilisateur alice)"
QString DecrireProcessus(qint64 pid);
// "minicom (1234, alice)", where a few words are wanted.
QString DecrireProcessusCourt(qint64 pid);

// The live process that holds a flock on the file (st_dev, st_ino), from
// /proc/locks; 0 when none is known.
qint64 DetenteurFlock(quint64 appareil, quint64 inode);

// The other processes that have the character device `rdev` open, found
// as fuser finds them, through /proc/*/fd. `invisibles`: some processes
// could not be looked at (another user's, for anyone but root), so one of
// them may hold it too.
struct Detenteurs {
    QList<qint64> pids;
    bool invisibles = false;
};
Detenteurs DetenteursOuverts(quint64 rdev);

// The links in `dossiers` (/dev/serial/by-id, by-path) that lead to the
// character device `rdev`.
QStringList LiensVers(quint64 rdev, const QStringList &dossiers);

// Every lock file name a program may have given the device known by `noms`
// (the name given, its own name, its links): for each name its last
// component and its path below /dev/ with each / turned into _
// ("LCK..ttyUSB0", "LCK..serial_by-id_usb-…"), and the number form some
// lock libraries use ("LCK.188.000").
QStringList NomsDeVerrou(const QStringList &noms, quint64 rdev);

// The name of the lock file this program creates for the device at `chemin`.
QString NomDeNotreVerrou(const QString &chemin);

class VerrousUucp {
public:
    // Reads each of DossiersVerrou once and looks at every lock file in it
    // that names the device: one of `noms`, or one whose name leads under
    // /dev (a '_' read as '/') to the character device `rdev`, as a udev
    // link's lock does. A live one, one being written, or one that cannot be
    // read refuses the port. A stale one is removed; when it cannot be
    // (another user's), it is ignored and the operator is told. Just
    // looking (the panel's status line), nothing is removed: a stale lock
    // does not keep the port either.
    enum class Perimes { Supprimes, Laisses };
    std::optional<Echec> verifier(const QStringList &noms, quint64 rdev,
                                  Perimes perimes = Perimes::Supprimes);
    // Creates our lock file `nom`: the pid in ASCII on ten characters and a
    // line feed, written beside it and linked into place, so that nobody
    // ever reads it empty. Refuses when another program took it first.
    std::optional<Echec> prendre(const QString &nom);
    // Removes our lock file, if it is still ours.
    void rendre();

    QString fichier() const { return m_fichier; }
    QStringList avertissements() const { return m_avertissements; }
    // The live process whose lock refused the port at the last check; 0
    // when it was not a live process's.
    qint64 detenteur() const { return m_detenteur; }

private:
    const QStringList &dossiers();
    // Reads one lock file: nothing when it is absent or stale (and removed
    // or ignored), else why it keeps the port.
    std::optional<Echec> examiner(const QString &fichier, Perimes perimes = Perimes::Supprimes);

    QString m_fichier; // ours, while held
    quint64 m_appareil = 0, m_inode = 0;
    QStringList m_ignores; // stale files that could not be removed
    QStringList m_avertissements;
    qint64 m_detenteur = 0;
};
