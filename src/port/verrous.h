// The locks serial programs leave on a device: UUCP lock files in the lock
// folder (minicom, Qt, lockdev, and ours), and flock on the device itself
// (picocom, and ours).
#pragma once

#include "port/couche.h"
#include "port/coupures.h"
#include "port/detenteurs.h"
#include "port/faits_verrous.h"
#include "system/substituable.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <sys/stat.h>

namespace tarvik::port {

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

// The names of the lock files this program creates for the device at
// `chemin`, given as `donne`: the device's own name (`propre`, NomPropre:
// from its numbers), as Qt and the kernel spell it (/dev/pts/3 gives
// LCK..pts_3, whatever name led to it), and the last part of each name it
// was reached by when that is another (~/p1-a, a link or a file the device
// is bound on, gives LCK..p1-a too, so that a terminal program given that
// name sees the port taken), even when /dev holds another device of that
// name.
QStringList NomsDeNosVerrous(const QString &donne, const QString &chemin, QString propre);

class VerrousUucp {
public:
    // Reads each of DossiersVerrou once and looks at every lock file in it:
    // one that names the device (one of `noms`, or one whose name leads
    // under /dev, a '_' read as '/', to the character device `rdev`, as a
    // udev link's lock does), and one under any other name, even another
    // device's, when its live process has the device open (a terminal
    // program given ~/p1-a locks LCK..p1-a, given ~/ttyS0 LCK..ttyS0) or
    // cannot be examined (another user's). A live one, one being written,
    // or one naming the device that cannot be read refuses the port. So
    // does one whose process is nobody here unless this program sees every
    // process (VoitTousLesProcessus) and none bears that number in a
    // nested pid namespace: it may be alive where it cannot be seen. A
    // stale one is removed, ours once the mark of its cut is written (it is
    // kept, and the port refused, when no mark can be); when it cannot be
    // removed (another user's), it is ignored and the operator is told. A
    // temporary file of this program that a killed run left there is
    // removed once its process is dead. Just looking (the panel's status
    // line), nothing is removed: a stale lock does not keep the port either.
    // The same look finds the traces of a cut on the device (traces()),
    // known by its numbers or by `chemins`, the names it was reached by.
    enum class Perimes { Supprimes, Laisses };
    std::optional<RefusVerrou> examinerDossiers(const QStringList &noms, quint64 rdev,
                                                Perimes perimes = Perimes::Supprimes,
                                                const QStringList &chemins = {});
    // Creates our lock files `noms`, each written as minicom writes its own
    // ("      1234 tarvik alice\n": the pid on ten characters, this
    // program, the user) beside it and linked into place, so that nobody
    // ever reads one empty. All or none: refuses when another program took
    // one first. With no lock folder, the trace of this run in progress
    // goes to the private folder instead, so that a killed run is known
    // (sansTrace() when it cannot be).
    std::optional<RefusVerrou> prendre(const QStringList &noms);
    // Removes our lock files, those that are still ours, and the trace of
    // the run in progress; the lock files stay when a cut was left that no
    // mark could record (marquerCoupure()): they record it.
    void rendre();

    QStringList fichiers() const { return m_fichiers; }
    QList<AvertissementPort> avertissements() const { return m_avertissements; }
    // The live process whose lock refused the port at the last check (here,
    // for one in a nested pid namespace); 0 when it was not a live process's.
    qint64 detenteur() const { return m_detenteur; }
    // The last check refused the port for a process this program cannot
    // see, or examine.
    bool invisible() const { return m_invisible; }
    // The last check met a lock of this program for the device whose
    // process is dead: a run of ours was killed there.
    bool notreVerrouPerime() const { return m_notrePerime; }
    // Whether a lock file can be created here: a lock folder this user may
    // write, or none at all (the flock alone holds the port then).
    bool dossierOuvert();

    // The traces of a cut on the device that the last check found.
    Traces &traces() { return m_traces; }
    // Why a run starts with a lone line feed after the last check and
    // taking (traces, or nowhere to keep one); Coupure::Aucune when none.
    Coupure coupure() const;
    // Whether what the last check found shows that a run of this program,
    // now ended, held the device (its stale lock, or a trace).
    bool envoiTermine() const { return m_notrePerime || m_traces.envoiTermine(); }
    // The mark of a cut on the device (`raison`, by the process `pid`), in
    // the first lock folder (.tarvik.coupe.MAJ.MIN: the next run of any
    // user starts on a fresh line) and in the private folder. When no place
    // holds it, the lock files are kept at release instead, and false.
    bool marquerCoupure(RaisonTrace raison = RaisonTrace::Ligne);
    // Once a fresh line is sent: removes the traces of the cut; what the
    // operator should know of those that stay, said once for each.
    QList<AvertissementPort> effacerCoupures() { return m_traces.effacer(); }

private:
    const QStringList &dossiers();
    // Reads one lock file that names the device: nothing when it is absent
    // or stale (and removed or ignored), else why it keeps the port.
    std::optional<RefusVerrou> examiner(const QString &fichier,
                                        Perimes perimes = Perimes::Supprimes);
    // A stale lock just read (`lu`), of the dead process `pid`: marks the
    // cut a run of ours (`notre`) may have left, then removes the lock, or
    // ignores it when it cannot be removed. Nothing once it is gone or
    // ignored, else why it stays; `remplace`: another file took its place
    // meanwhile, to be read again.
    std::optional<RefusVerrou> retirerPerime(const QString &fichier, const FichierLu &lu,
                                             qint64 pid, bool notre, bool &remplace);
    // Reads one lock file under another name: why it keeps the port, when
    // its process has the device `rdev` open, or may have.
    std::optional<RefusVerrou> examinerAutre(const QString &fichier, quint64 rdev);
    // For a lock whose process `pid` is nobody here: why it keeps the port
    // (it may be alive out of sight, or is in a nested pid namespace, and,
    // unless `siens`, has the device open there), or nothing: it is stale.
    std::optional<RefusVerrou> horsDeVue(const QString &fichier, qint64 pid, bool siens,
                                         quint64 rdev);
    // Links our lock's content, written at `temporaire` (identity `etat`),
    // into place as `nom` in `dossier`.
    std::optional<RefusVerrou> lier(const QByteArray &temporaire, const QString &dossier,
                                    const QString &nom, const struct stat &etat);

    QStringList m_fichiers;                         // ours, while held
    QList<std::pair<quint64, quint64>> m_identites; // each one's st_dev and st_ino
    QStringList m_ignores;                          // stale files that could not be removed
    QList<AvertissementPort> m_avertissements;
    qint64 m_detenteur = 0;
    bool m_invisible = false;
    bool m_notrePerime = false;
    std::optional<Imbriques> m_imbriques; // looked for once a check needs them
    Traces m_traces;
    bool m_sansTrace = false; // no lock folder, and no trace of this run could be kept
    bool m_garder = false;    // our lock files record a cut: kept at release
};

} // namespace tarvik::port
