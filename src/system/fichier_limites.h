// The limits files: the machine's, which a lab installs for the whole machine
// and the operator cannot write, and the operator's own; reading them once,
// and saving the operator's.
#pragma once

#include "core/limites.h"
#include "system/couche.h"
#include "system/fichier_reglages.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace tarvik::system {

// What besides its reading and its content makes a machine limits file
// doubtful: another than root could change it, or what stands on its way.
struct EchecProtection {
    enum class Genre {
        FichierAUnAutre,   // the file is `proprietaire`'s, not root's (`mode`)
        FichierModifiable, // the file is root's, but its group or others may write (`mode`)
        DossierAUnAutre,   // the folder `chemin` on its way is `proprietaire`'s (`mode`)
        DossierModifiable, // its group or others may write in the folder `chemin` (`mode`)
        PartieAUnAutre,    // `chemin`, in a folder open to all, is `proprietaire`'s
        Inexaminable,      // `chemin` cannot be looked at: `erreur`
        LienVersRien,      // the link `chemin` leads nowhere
        LienNonSuivi,      // the link `chemin` cannot be followed
        PasUnDossier,      // `chemin`, on the way, is not a folder
    };
    Genre genre = Genre::FichierAUnAutre;
    QString chemin{};
    quint32 proprietaire = 0, mode = 0;
    int erreur = 0;
    QString commandes{}; // what makes it root's and closed, as a shell reads it
    // The file itself is not protected (the walk to it was sound).
    bool nonProtege() const
    {
        return genre == Genre::FichierAUnAutre || genre == Genre::FichierModifiable;
    }
    bool operator==(const EchecProtection &autre) const = default;
};

// A limits file that is doubtful, and why.
struct FichierLimitesDouteux {
    QString chemin;
    std::variant<EchecLecture, EchecCles, EchecProtection> raison;
    bool operator==(const FichierLimitesDouteux &autre) const = default;
};
// Every doubtful limits file, the machine's first.
struct LimitesDouteuses {
    QList<FichierLimitesDouteux> fichiers;
    bool operator==(const LimitesDouteuses &autre) const = default;
};

// Where the machine's limits may be: Tarvik/limites.conf in every folder of
// $XDG_CONFIG_DIRS (a relative folder is ignored), then in /etc/xdg, always,
// whatever the variable says: the operator's environment may add machine
// files, never leave the machine's own out.
QStringList CheminsLimitesMachine();

// $XDG_CONFIG_HOME/Tarvik/limites.conf (~/.config when the variable is not an
// absolute path), beside the settings.
QString CheminLimitesOperateur();

// Both levels, each file read bounded and without blocking, links followed.
// A missing file sets no limit. A machine file must be a regular file owned
// by root that neither its group nor others may write, and every folder
// from / down to it, on its path and along every link met, must be root's
// and closed to its group and to others (a sticky folder of root's, as
// /tmp, passes when what stands in it is root's): otherwise, like a file
// that cannot be read or is not understood, it is doubtful, and the message
// names the part at fault. Absent from /etc/xdg, the file is believed
// absent only when the walk reaches a folder where it is missing; a link
// that leads nowhere on the way is doubtful. A doubtful file loosens
// nothing: its limits are left out and `echec` names it, and every send is
// refused while it is so.
struct LimitesLues {
    Limites machine;                       // every machine file's, the stricter of them
    QStringList fichiersMachine;           // the machine files read and understood
    Limites operateur;                     // the operator's own
    Limites effectives;                    // the stricter of the two: what applies
    std::optional<LimitesDouteuses> echec; // which files are doubtful, and why
};
LimitesLues LireLimites();

// Saves the operator's limits: the file is replaced whole, or not at all,
// and only the lines of the limits that change change in it, its comments
// staying. A file that is not understood is first set aside, beside it,
// never over an older one, and a new one takes its place.
using EcritureLimites = EcritureCles;
EcritureLimites EcrireLimitesOperateur(const Limites &operateur);

} // namespace tarvik::system
