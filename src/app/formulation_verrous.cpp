// The words of what the locks and the traces of a cut say: why the locks
// keep the port, why a trace could not be kept, and what an opening that
// went through tells.
#include "app/formulation.h"

#include "system/noms.h"

#include <QCoreApplication>

#include <cerrno>

namespace tarvik::app {

namespace {

// The texts of the port, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Port)
};

using G = RefusVerrou::Genre;

// A lock that cannot be read, and who may remove it.
QString illisible(const RefusVerrou &refus)
{
    return Mots::tr("port occupé : le verrou %1 est illisible (%2). %3")
        .arg(NomLisible(refus.fichier),
             refus.lecture ? Formuler(*refus.lecture)
                           : Mots::tr("il ne désigne aucun processus lisible"),
             !refus.proprietaire.isEmpty()
                 ? Mots::tr("Il appartient à l'utilisateur %1 : s'il n'appartient à "
                            "aucun programme, un administrateur doit le supprimer")
                       .arg(refus.proprietaire)
                 : Mots::tr("Supprimez-le s'il n'appartient à aucun programme"));
}

// A lock that names a process this program cannot see, or examine, and
// how an administrator finds what holds the device.
QString horsDeVue(const RefusVerrou &refus)
{
    return (refus.genre == G::HorsDeVue
                ? Mots::tr("port occupé : le verrou %1 nomme %2, que ce programme ne "
                           "peut pas voir d'ici (il tourne dans un autre espace de noms "
                           "de processus, ou /proc en cache) : un programme que vous ne "
                           "pouvez pas voir peut tenir le port")
                : Mots::tr("port occupé : le verrou %1 nomme %2, que vous n'avez "
                           "pas le droit d'examiner : un programme que vous ne pouvez "
                           "pas voir peut tenir le port"))
               .arg(NomLisible(refus.fichier), Formuler(refus.processus)) +
           Mots::tr(". Un administrateur peut le nommer, avec « fuser -v %1 » ou d'après le "
                    "verrou, et supprimer celui-ci s'il n'appartient à aucun programme")
               .arg(NomLisible(refus.peripherique));
}

// A lock of a process that holds the port.
QString deProcessus(const RefusVerrou &refus)
{
    if (refus.genre == G::AutreEspace)
        return Mots::tr("port occupé par %1, qui porte le numéro %2 dans un autre espace "
                        "de noms de processus (verrou %3)")
            .arg(Formuler(refus.processus))
            .arg(refus.pid)
            .arg(NomLisible(refus.fichier));
    return (refus.genre == G::AutreNomOuvert
                ? Mots::tr("port occupé par %1 (verrou %2), qui a ce port ouvert")
                : Mots::tr("port occupé par %1 (verrou %2)"))
        .arg(Formuler(refus.processus), NomLisible(refus.fichier));
}

// Our lock that cannot be created, and, when the lock folder is closed to
// the user, how an administrator opens it again.
QString creationImpossible(const RefusVerrou &refus)
{
    QString message = Mots::tr("le verrou %1 ne peut pas être créé (%2) : sans lui, les "
                               "autres programmes série ne verraient pas que le port est pris")
                          .arg(NomLisible(refus.fichier), TexteErreurSysteme(refus.erreur));
    if (refus.erreur == EACCES || refus.erreur == EPERM)
        message += Mots::tr(". Le dossier des verrous %1 devrait être ouvert à tous, comme "
                            "sur une installation habituelle (droits 1777) : un administrateur "
                            "peut le rétablir, par exemple avec chmod 1777 %1")
                       .arg(NomLisible(refus.dossier));
    return message;
}

// Our stale lock, kept for no mark of the cut could be written, and why not.
QString sansMarque(const RefusVerrou &refus)
{
    QStringList pourquoi;
    for (const EchecTrace &marque : refus.marques)
        pourquoi << Formuler(marque);
    return Mots::tr("port occupé : le verrou %1, d'un envoi de ce programme "
                    "arrêté brutalement, reste en place, car la marque qui fera "
                    "commencer l'envoi suivant par un saut de ligne seul ne peut "
                    "être écrite nulle part (%2)")
        .arg(NomLisible(refus.fichier), pourquoi.join(QStringLiteral(" ; ")));
}

} // namespace

QString Formuler(const RefusVerrou &refus)
{
    const QString fichier = NomLisible(refus.fichier);
    switch (refus.genre) {
    case G::Illisible:
        return illisible(refus);
    case G::DossierIllisible:
        return Mots::tr("port occupé : le dossier des verrous %1 ne peut pas être lu "
                        "(%2), et un verrou qui s'y trouve peut tenir le port. Un "
                        "administrateur peut le rouvrir à tous, par exemple avec "
                        "chmod 1777 %1")
            .arg(NomLisible(refus.dossier), TexteErreurSysteme(refus.erreur));
    case G::EnCours:
        return Mots::tr("port occupé : un autre programme est en train de le "
                        "prendre (verrou %1)")
            .arg(fichier);
    case G::Vivant:
    case G::AutreEspace:
    case G::AutreNomOuvert:
        return deProcessus(refus);
    case G::HorsDeVue:
    case G::NonExaminable:
        return horsDeVue(refus);
    case G::Instable:
        return Mots::tr("port occupé : le verrou %1 change sans cesse").arg(fichier);
    case G::SansMarque:
        return sansMarque(refus);
    case G::PrisEntreTemps:
        return Mots::tr("port occupé : un autre programme vient de le prendre (verrou %1)")
            .arg(fichier);
    case G::CreationImpossible:
        return creationImpossible(refus);
    }
    return {};
}

QString Formuler(const EchecTrace &echec)
{
    switch (echec.genre) {
    case EchecTrace::Genre::Ecriture:
        return QStringLiteral("%1 (%2)").arg(NomLisible(echec.chemin),
                                             TexteErreurSysteme(echec.erreur));
    case EchecTrace::Genre::PriseParAutre:
        return Mots::tr("%1 est pris par autre chose qu'une marque de ce programme, de "
                        "l'utilisateur %2")
            .arg(NomLisible(echec.chemin), echec.utilisateur);
    case EchecTrace::Genre::DossierPrive:
        return echec.dossier ? Formuler(*echec.dossier) : QString();
    }
    return {};
}

QString Formuler(const AvertissementPort &avertissement)
{
    using A = AvertissementPort::Genre;
    const QString fichier = NomLisible(avertissement.fichier);
    switch (avertissement.genre) {
    case A::VerrouIgnore:
        return Mots::tr("Le verrou périmé %1 (le processus %2 n'existe plus) "
                        "n'a pas pu être supprimé (%3) : il est ignoré")
            .arg(fichier)
            .arg(avertissement.pid)
            .arg(TexteErreurSysteme(avertissement.erreur));
    case A::SansTrace:
        return Mots::tr("Sans dossier des verrous, la trace de cet envoi ne "
                        "peut pas être gardée (%1) : chaque envoi commencera "
                        "par un saut de ligne seul")
            .arg(Formuler(avertissement.trace));
    case A::AutreALaPlace:
        return Mots::tr("%1, de l'utilisateur %2, est à la place d'une marque d'envoi "
                        "coupé sans en être une que ce programme puisse lire : chaque "
                        "envoi sur ce port commencera par un saut de ligne seul tant "
                        "qu'il sera là. Un administrateur peut le supprimer")
            .arg(fichier, avertissement.utilisateur);
    case A::MarqueRestee:
        return Mots::tr("La marque %1, qu'un envoi arrêté au milieu d'une ligne a "
                        "laissée, n'a pas pu être supprimée (%2) : chaque envoi sur ce "
                        "port commencera par un saut de ligne seul tant qu'elle sera là")
            .arg(fichier, TexteErreurSysteme(avertissement.erreur));
    case A::ExclusifLeve:
        return Mots::tr("Le port était resté en mode exclusif après un envoi de ce "
                        "programme arrêté brutalement, et aucun programme ne le tient : "
                        "ce mode a été levé");
    }
    return {};
}

QStringList Formuler(const QList<AvertissementPort> &avertissements)
{
    QStringList textes;
    for (const AvertissementPort &avertissement : avertissements)
        textes << Formuler(avertissement);
    return textes;
}

} // namespace tarvik::app
