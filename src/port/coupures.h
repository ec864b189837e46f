// The traces this program keeps of a device whose far end may hold the
// start of a line that never ended: the mark a run cut short leaves, in the
// lock folder (for every user's runs) and in a private folder of the user's
// own (which no other user can touch, and which stays without a lock
// folder); and, where there is no lock folder to hold a lock file, the
// trace of a run in progress, which a killed run leaves behind.
#pragma once

#include "port/couche.h"
#include "port/faits_verrous.h"
#include "port/pilote_ligne.h"
#include "system/substituable.h"

#include <QString>
#include <QStringList>

namespace tarvik::port {

// The private folder of the traces; empty: $XDG_STATE_HOME/tarvik/traces.
// Tests put one of their own here.
inline Substituable<QString> DossierTraces;
QString CheminDossierTraces();

// A device as its traces name it: its numbers, and the names it was
// reached by (the name given, the path it leads to, its own name), which
// stay when a bridge started again gives the same link another terminal.
struct Appareil {
    quint64 rdev = 0;
    QStringList noms;
};

// Why a trace was left: a run stopped in the middle of a line, a run of
// ours was killed (its lock was found stale), exclusive mode was found left
// with no program holding it, or a run is in progress.
enum class RaisonTrace { Ligne, Tue, Exclusif, Envoi };

// The traces of one device, as the last look found them, and the ones
// this link writes.
class Traces {
public:
    // The device of the last look.
    quint64 rdev() const { return m_appareil.rdev; }
    // Starts a new look: what the last one found is forgotten, and the
    // private folder's traces that concern `appareil` are found.
    void lire(const Appareil &appareil);
    // One more entry of a lock folder whose name is a mark's
    // (.tarvik.coupe.MAJ.MIN): found when it concerns the device, by its
    // numbers or by a name it was reached by. What cannot be read or
    // understood there, under the device's numbers, is found too, as a
    // doubtful one: it may be a mark that could not be written.
    void lirePartagee(const QString &dossier, const QString &nom);

    // Why a run on the device starts with a lone line feed, after what the
    // look found; Coupure::Aucune when nothing.
    Coupure coupure() const;
    // Whether a trace found, written by this user or by root, shows that a
    // run of this program, now ended, held the device: exclusive mode left
    // on it with nobody holding it was that run's.
    bool envoiTermine() const;

    // Writes the mark of a cut on the device (why, and which process's) in
    // the lock folder `partage` (empty: none) and in the private folder;
    // `trouvee`: as a trace of this look (a stale lock of ours made into a
    // mark before it is removed). Whether a place now holds it that only
    // this user (or root) may change; else why not, at each place, in `echec`.
    bool marquer(const QString &partage, RaisonTrace raison, qint64 pid, bool trouvee,
                 QList<EchecTrace> &echec);
    // The trace of this run in progress, in the private folder, for a
    // device that has no lock folder; false, with why, when it cannot be
    // written. Removed by finir().
    bool commencer(EchecTrace &echec);
    void finir();

    // Once a lone line feed has gone: removes the traces found, and tells
    // what stays (another user's mark, something else in a mark's place),
    // once for each.
    QList<AvertissementPort> effacer();

private:
    struct Trouvee {
        QString chemin;
        bool privee = false;
        RaisonTrace raison = RaisonTrace::Ligne;
        qint64 pid = 0;
        bool douteuse = false; // not a mark this program can read
        bool sure = false;     // written by this user or by root
    };
    void trouver(const Trouvee &trouvee);

    Appareil m_appareil;
    QList<Trouvee> m_trouvees;
    int m_lues = 0;    // marks of the lock folder read in this look
    QString m_enCours; // the private trace of this run in progress
};

} // namespace tarvik::port
