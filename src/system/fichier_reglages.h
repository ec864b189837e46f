// The user's settings file: where it is, reading it once at start, and
// saving a change to it, a file not understood set aside first.
#pragma once

#include "core/reglages.h"
#include "system/couche.h"
#include "system/ecriture.h"
#include "system/lecture.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <variant>

namespace tarvik::system {

// Why a settings or limits file is not understood: it cannot be read, or
// what it holds is refused.
using EchecFichierCles = std::variant<EchecLecture, EchecCles>;

// $XDG_CONFIG_HOME/Tarvik/tarvik.conf (a relative XDG_CONFIG_HOME is
// ignored: ~/.config then).
QString CheminReglages();

// The settings file, read bounded and without blocking, and parsed. Absent,
// it gives empty settings; one that cannot be read or is not understood
// gives empty settings too, and says why: what depends on it (the saved
// port) is then unknown, never guessed.
struct ReglagesLus {
    Reglages reglages;
    std::optional<EchecFichierCles> echec;
};
ReglagesLus LireReglages();

// Applies `changer` to the file's settings and saves them: the file is
// replaced whole, or not at all, and only the lines of the keys that change
// change in it. A file that is not understood is first set aside, beside it,
// never over an older one, and a new one takes its place.
// Why such a file could not be saved.
struct EchecEnregistrement {
    enum class Genre {
        DossierImpossible,    // its folder `dossier` cannot be made
        MiseDeCoteImpossible, // the file not understood cannot be set aside: `erreur`
        Ecriture,             // the file cannot be replaced: `ecriture`
        LimitesRefusees,      // the limits would not be read back: `cles`
    };
    Genre genre = Genre::Ecriture;
    QString dossier{};
    int erreur = 0;
    std::optional<EchecEcriture> ecriture{};
    std::optional<EchecCles> cles{};
    bool operator==(const EchecEnregistrement &autre) const = default;
};
struct EcritureCles {
    std::optional<EchecEnregistrement> echec;
    QString misDeCote; // where the file not understood went, when there was one
    std::optional<EchecFichierCles> incompris; // why it was not understood
};
struct EcritureReglages : EcritureCles {
    Reglages reglages; // as saved
};
EcritureReglages EcrireReglages(const std::function<void(Reglages &)> &changer);

// What the settings files share (this one, the limits) when one is saved:
// its folder is made, `lire` gives what the file holds now (its bytes, or
// why it is not understood), `former` the new bytes from the old ones
// (none when they are not understood), or why they cannot be written. A
// file not understood is set aside first, beside it (MettreDeCote), and
// the file is replaced whole, or not at all (EcrireFichier).
struct ContenuCles {
    QByteArray contenu;
    std::optional<EchecFichierCles> incompris;
};
struct NouveauContenuCles {
    QByteArray octets;
    std::optional<EchecCles> refus; // they would not be read back
};
EcritureCles EcrireCles(const QString &fichier, const std::function<ContenuCles()> &lire,
                        const std::function<NouveauContenuCles(const QByteArray &avant)> &former);

// What the settings files share (this one, the limits): reading one as
// LireFichier does, links followed, a link that leads nowhere being a damaged
// file and not an absent one; and setting aside a file not understood,
// beside it (NAME.illisible, never over an older one): where it went, or an
// empty text with errno set.
FichierLu LireFichierReglages(const QString &chemin);
QString MettreDeCote(const QString &fichier);

} // namespace tarvik::system
