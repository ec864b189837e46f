// The locks serial programs leave on a device: UUCP lock files in the lock
// folder (minicom, Qt, lockdev, and ours), and flock on the device itself
// (picocom, and ours).
#pragma once

#include "core/echec.h"
#include "port/detenteurs.h"
#include "system/substituable.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <sys/stat.h>

// Where UUCP lock files are looked for and ours created, in this order
// (folders that are one another's link count once), and the folders of the
// devices' stable links.
inline Substituable<QStringList> DossiersVerrou{
    {QStringLiteral("/var/lock"), QStringLiteral("/run/lock")}};
inline Substituable<QStringList> DossiersLiens{
    {QStringLiteral("/dev/serial/by-id"), QStringLiteral("/dev/serial/by-path")}};

// The links in `dossiers` (/dev/serial/by-id, by-path) that lead to the
// character device `rdev`.
QStringList LiensVers(quint64 rdev, const QStringList &dossiers);

// Every lock file name a program may have given the device known by `noms`
// (the name given, its own name, its links): for each name its last
// component and its path below /dev/ with each / turned into _
// ("LCK..ttyUSB0", "LCK..serial_by-id_usb-…"), and the number form some
// lock libraries use ("LCK.188.000").
QStringList NomsDeVerrou(const QStringList &noms, quint64 rdev);

// The names of the lock files this program creates for the device `rdev`
// at `chemin`, given as `donne`: the device's own name, as Qt and the kernel
// spell it (/dev/pts/3 gives LCK..pts_3), and the last part of the name
// given when that is another (~/p1-a gives LCK..p1-a too, so that a
// terminal program given that link sees the port taken), unless /dev
// holds another device of that name.
QStringList NomsDeNosVerrous(const QString &donne, const QString &chemin, quint64 rdev);

class VerrousUucp {
public:
    // Reads each of DossiersVerrou once and looks at every lock file in it:
    // one that names the device (one of `noms`, or one whose name leads
    // under /dev, a '_' read as '/', to the character device `rdev`, as a
    // udev link's lock does), and one whose name designates no device,
    // when its live process has the device open (a terminal program given
    // ~/p1-a locks LCK..p1-a). A lock named after another device is that
    // device's. A live one, one being written, or one naming the
    // device that cannot be read refuses the port. A stale one is removed;
    // when it cannot be (another user's), it is ignored and the operator is
    // told. A temporary file of this program that a killed run left there
    // is removed once its process is dead. Just looking (the panel's status
    // line), nothing is removed: a stale lock does not keep the port either.
    enum class Perimes { Supprimes, Laisses };
    std::optional<Echec> verifier(const QStringList &noms, quint64 rdev,
                                  Perimes perimes = Perimes::Supprimes);
    // Creates our lock files `noms`, each written as minicom writes its own
    // ("      1234 tarvik alice\n": the pid on ten characters, this
    // program, the user) beside it and linked into place, so that nobody
    // ever reads one empty. All or none: refuses when another program took
    // one first.
    std::optional<Echec> prendre(const QStringList &noms);
    // Removes our lock files, those that are still ours.
    void rendre();

    QStringList fichiers() const { return m_fichiers; }
    QStringList avertissements() const { return m_avertissements; }
    // The live process whose lock refused the port at the last check; 0
    // when it was not a live process's.
    qint64 detenteur() const { return m_detenteur; }
    // The last check met a lock of this program for the device whose
    // process is dead: a run of ours was killed there.
    bool notreVerrouPerime() const { return m_notrePerime; }
    // Whether a lock file can be created here: a lock folder this user may
    // write, or none at all (the flock alone holds the port then).
    bool dossierOuvert();

    // The mark a run that left part of a line at the far end of the device
    // `rdev` puts in the first lock folder (.tarvik.coupe.MAJ.MIN), so that
    // the next run, of any process, starts on a fresh line.
    void marquerCoupure(quint64 rdev);
    // Whether that mark is there: a regular file, never followed.
    bool coupureMarquee(quint64 rdev);
    // Removes it once a fresh line is sent; what the operator should know
    // when it cannot be (another user's), said once for each mark.
    std::optional<QString> effacerCoupure(quint64 rdev);

private:
    const QStringList &dossiers();
    // Reads one lock file that names the device: nothing when it is absent
    // or stale (and removed or ignored), else why it keeps the port.
    std::optional<Echec> examiner(const QString &fichier, Perimes perimes = Perimes::Supprimes);
    // Reads one lock file under another name: why it keeps the port, when
    // its live process has the device `rdev` open.
    std::optional<Echec> examinerAutre(const QString &fichier, quint64 rdev);
    // Links our lock's content, written at `temporaire` (identity `etat`),
    // into place as `nom` in `dossier`.
    std::optional<Echec> lier(const QByteArray &temporaire, const QString &dossier,
                              const QString &nom, const struct stat &etat);

    QStringList m_fichiers;                         // ours, while held
    QList<std::pair<quint64, quint64>> m_identites; // each one's st_dev and st_ino
    QStringList m_ignores;                          // stale files that could not be removed
    QStringList m_avertissements;
    qint64 m_detenteur = 0;
    bool m_notrePerime = false;
};
