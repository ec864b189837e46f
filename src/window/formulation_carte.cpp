#include "window/formulation_carte.h"

#include "app/formulation.h"
#include "system/noms.h"

#include <QCoreApplication>

#include <sys/stat.h>

namespace tarvik::window {

namespace {

// The texts of the board, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Carte)
};

using G = EchecCarte::Genre;

// What stood where the link was to go: "un lien vers « … »", "un dossier".
QString existant(const EchecCarte &echec)
{
    if (echec.mode == 0)
        return {};
    if (S_ISLNK(echec.mode))
        return Mots::tr("un lien vers « %1 »").arg(NomLisible(echec.cible));
    return S_ISDIR(echec.mode) ? Mots::tr("un dossier") : Mots::tr("un fichier");
}

// The folder the link goes in.
QString dossier(const EchecCarte &echec)
{
    const QString chemin = NomLisible(echec.chemin);
    switch (echec.genre) {
    case G::DossierInaccessible:
        return Mots::tr("le dossier « %1 » est inaccessible (%2)")
            .arg(chemin, TexteErreurSysteme(echec.erreur));
    case G::PasUnDossier:
        return Mots::tr("« %1 » n'est pas un dossier").arg(chemin);
    case G::DossierAUnAutre:
        return Mots::tr("le dossier « %1 » appartient à un autre utilisateur").arg(chemin);
    case G::DossierOuvert:
        return Mots::tr("le dossier « %1 » est modifiable par d'autres (mode %2) : "
                        "le lien pourrait y être remplacé")
            .arg(chemin)
            .arg(echec.mode & 07777, 4, 8, QLatin1Char('0'));
    case G::SansDossierXdg:
        return Mots::tr("XDG_RUNTIME_DIR n'est pas défini (ou n'est pas un chemin "
                        "absolu)");
    default: // DossierXdgDouteux
        return Mots::tr("XDG_RUNTIME_DIR (« %1 ») n'est pas un dossier à vous, "
                        "fermé aux autres")
            .arg(chemin);
    }
}

} // namespace

QString TexteEchecCarte(const EchecCarte &echec)
{
    const QString chemin = NomLisible(echec.chemin);
    switch (echec.genre) {
    case G::LienPerime:
        return Mots::tr("le lien laissé par une carte précédente, « %1 », ne peut pas "
                        "être retiré (%2)")
            .arg(chemin, TexteErreurSysteme(echec.erreur));
    case G::Existant:
        return Mots::tr("« %1 » existe déjà (%2) : une autre carte le tient peut-être. "
                        "Arrêtez-la, retirez-le s'il ne sert plus, ou donnez un autre "
                        "chemin par --lien")
            .arg(chemin, existant(echec));
    case G::LienImpossible:
        return Mots::tr("le lien « %1 » ne peut pas être créé (%2)")
            .arg(chemin, TexteErreurSysteme(echec.erreur));
    case G::SansPseudoTerminal:
        return Mots::tr("aucun pseudo-terminal n'a pu être créé (%1)")
            .arg(TexteErreurSysteme(echec.erreur));
    case G::PseudoTerminalInjoignable:
        return Mots::tr("le pseudo-terminal « %1 » ne s'ouvre pas (%2)")
            .arg(echec.chemin, TexteErreurSysteme(echec.erreur));
    default:
        return dossier(echec);
    }
}

} // namespace tarvik::window
