// What the locks and the traces of a cut say, as facts: why the locks keep
// the port, why a trace could not be kept, and what an opening that went
// through should still tell. A kind and its data each; the operator's
// words are the wording module's (app/formulation.h).
#pragma once

#include "port/couche.h"
#include "port/detenteurs.h"
#include "system/dossier_prive.h"
#include "system/lecture.h"

#include <QList>
#include <QString>
#include <optional>

namespace tarvik::port {

// Why a trace of a cut could not be kept in one place.
struct EchecTrace {
    enum class Genre {
        Ecriture,      // `chemin` could not be written: `erreur`
        PriseParAutre, // something else than a mark of ours, of `utilisateur`, stands at `chemin`
        DossierPrive,  // the private folder is refused: `dossier` (nothing: no reason known)
    };
    Genre genre = Genre::Ecriture;
    QString chemin{};
    int erreur = 0; // errno
    QString utilisateur{};
    std::optional<EchecDossierPrive> dossier{};
    bool operator==(const EchecTrace &autre) const = default;
};

// Why the locks keep the port. `fichier`: the lock file.
struct RefusVerrou {
    enum class Genre {
        // It cannot be read (`lecture`), or names no process (no `lecture`);
        // `proprietaire`: the other user it belongs to (empty: the user's own).
        Illisible,
        DossierIllisible, // the lock folder `dossier` cannot be read: `erreur`
        EnCours,          // another program is writing it
        Vivant,           // of the live `processus`
        // It names `processus` (its pid alone), which this program cannot
        // see; `peripherique`: the device, for an administrator to look at.
        HorsDeVue,
        // It names `processus`, which the user may not examine; `peripherique`.
        NonExaminable,
        AutreEspace,    // of `processus`, which bears the number `pid` in a nested pid namespace
        AutreNomOuvert, // under another name, of `processus`, which has the device open
        Instable,       // it changes at every reading
        // Ours, of a run killed there: it stays, for no mark of the cut
        // could be written (`marques`: why not, at each place).
        SansMarque,
        PrisEntreTemps,     // another program took it between the look and ours
        CreationImpossible, // ours cannot be created in `dossier`: `erreur`
    };
    Genre genre = Genre::Vivant;
    QString fichier{};
    QString dossier{};
    Processus processus{};
    qint64 pid = 0;
    int erreur = 0; // errno
    std::optional<EchecLecture> lecture{};
    QString proprietaire{};
    QString peripherique{};
    QList<EchecTrace> marques{};
    bool operator==(const RefusVerrou &autre) const = default;
};

// What the operator should know of an opening although it went through.
struct AvertissementPort {
    enum class Genre {
        VerrouIgnore, // the stale lock `fichier`, of the dead `pid`, could not be removed: `erreur`
        SansTrace,    // no lock folder, and the trace of the run could not be kept: `trace`
        AutreALaPlace, // `fichier`, of `utilisateur`, stands where a mark goes
        MarqueRestee,  // the mark `fichier` could not be removed: `erreur`
        ExclusifLeve,  // the exclusive mode a killed run of ours left was cleared
    };
    Genre genre = Genre::VerrouIgnore;
    QString fichier{};
    qint64 pid = 0;
    int erreur = 0; // errno
    QString utilisateur{};
    EchecTrace trace{};
    bool operator==(const AvertissementPort &autre) const = default;
};

} // namespace tarvik::port
