// The words of the port's facts: a failure of the link, where it happened,
// what the driver found, a process, the port's state.
#include "app/formulation.h"

#include "core/axes.h"
#include "system/noms.h"

#include <QCoreApplication>

#include <sys/sysmacros.h>

namespace tarvik::app {

namespace {

// The texts of the port, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Port)
};

// The texts of a sequence's run.
struct MotsSequence {
    Q_DECLARE_TR_FUNCTIONS(Sequence)
};

// "délai dépassé : la séquence a pris plus de 2 s"
QString texteRetard(const Retard &retard)
{
    return retard.lignes == NombreAxes
               ? MotsSequence::tr(
                     "délai dépassé : les sept lignes sont parties, mais en plus de %1")
                     .arg(TexteSecondes(retard.delaiMs))
               : MotsSequence::tr("délai dépassé : la séquence a pris plus de %1")
                     .arg(TexteSecondes(retard.delaiMs));
}

// The processes, ", " between them.
QString lesProcessus(const QList<Processus> &processus)
{
    QStringList qui;
    for (const Processus &un : processus)
        qui << Formuler(un);
    return qui.join(Mots::tr(", "));
}

// What holds the port.
QString occupe(const RaisonPort &raison)
{
    using R = RaisonPort::Genre;
    switch (raison.genre) {
    case R::OccupePar:
        return Mots::tr("port occupé par %1").arg(lesProcessus(raison.processus));
    case R::OccupeAutreProgramme:
        return Mots::tr("port occupé par un autre programme");
    case R::OccupeExclusifPar:
        return Mots::tr("port occupé par %1, qui l'a ouvert en "
                        "exclusivité")
            .arg(lesProcessus(raison.processus));
    case R::ExclusifOuvertPar:
        return Mots::tr("port occupé : il est en mode exclusif, et ouvert par %1. Fermez "
                        "ce programme ; si c'est le pont qui fournit le port (socat garde "
                        "son côté ouvert tant qu'il tourne) et qu'un programme arrêté "
                        "brutalement a laissé ce mode, fermez puis rouvrez le pont, ou "
                        "débranchez puis rebranchez l'adaptateur")
            .arg(lesProcessus(raison.processus));
    case R::ExclusifInvisible:
        return Mots::tr("port occupé : il est ouvert en exclusivité, peut-être par un "
                        "programme que vous ne pouvez pas voir (d'un autre utilisateur, "
                        "ou hors de l'espace de noms de processus de ce programme). "
                        "« fuser -v %1 », lancé par un administrateur, le nomme")
            .arg(NomLisible(raison.nom));
    default:
        return Mots::tr("port occupé : il est en mode exclusif, mais aucun programme ne le "
                        "tient, et rien ne montre qu'un envoi de ce programme l'a laissé "
                        "ainsi (un descripteur passé d'un programme à un autre ne se voit "
                        "pas) : fermez le programme qui l'a ouvert, fermez puis rouvrez le "
                        "pont qui fournit le port, ou débranchez puis rebranchez "
                        "l'adaptateur");
    }
}

// What went wrong on the line during a run.
QString pendantLEnvoi(const RaisonPort &raison)
{
    using R = RaisonPort::Genre;
    switch (raison.genre) {
    case R::Debranche:
        return Mots::tr("port débranché");
    case R::EcritureEchouee:
        return Mots::tr("écriture échouée (%1)").arg(TexteErreurSysteme(raison.erreur));
    case R::EnvoiInterrompu:
        return Mots::tr("envoi interrompu");
    case R::LigneBloquee:
        return Mots::tr(
            "délai dépassé : la ligne ne prend plus rien (carte arrêtée, câble débranché, ou pont "
            "qui ne lit plus)");
    default:
        return raison.nombre < 2 ? Mots::tr("délai dépassé : %n octet attendait encore "
                                            "de partir",
                                            nullptr, int(raison.nombre))
                                 : Mots::tr("délai dépassé : %n octets attendaient "
                                            "encore de partir",
                                            nullptr, int(raison.nombre));
    }
}

// Why a device is no serial port, from its type, its numbers or the kernel.
QString pasUnPort(const RaisonPort &raison)
{
    using R = RaisonPort::Genre;
    switch (raison.genre) {
    case R::FichierOrdinaire:
        return Mots::tr("c'est un fichier ordinaire, pas un port série");
    case R::Dossier:
        return Mots::tr("c'est un dossier, pas un port série");
    case R::Tube:
        return Mots::tr("c'est un tube, pas un port série");
    case R::Socket:
        return Mots::tr("c'est une socket, pas un port série");
    case R::Disque:
        return Mots::tr("ce n'est pas un port série (disque)");
    case R::Multiplexeur:
        return Mots::tr("c'est le multiplexeur des pseudo-terminaux : chaque ouverture crée un "
                        "terminal que personne ne lit, pas un port série");
    case R::TerminalSysteme:
        return Mots::tr("c'est un terminal du système (console ou terminal de contrôle), pas un "
                        "port série");
    case R::ConsoleVirtuelle:
        return Mots::tr("c'est une console virtuelle, pas un port série");
    case R::CoteMaitre:
        return Mots::tr("c'est le côté maître d'un pseudo-terminal, pas un port série");
    case R::HorsDesTerminaux:
        return Mots::tr("ce n'est pas un port série : le noyau range ce périphérique "
                        "(%1:%2) parmi « %3 », pas parmi les terminaux. Il n'a pas "
                        "été ouvert")
            .arg(major(raison.rdev))
            .arg(minor(raison.rdev))
            .arg(raison.nom.isEmpty() ? Mots::tr("les inconnus") : raison.nom);
    case R::ConsoleDuSysteme:
        return Mots::tr("c'est une console du système (%1) : les lignes iraient à "
                        "l'écran ou au journal de la console, pas à la carte. Il n'a "
                        "pas été ouvert : choisissez un autre port")
            .arg(raison.nom.isEmpty()
                     ? QStringLiteral("%1:%2").arg(major(raison.rdev)).arg(minor(raison.rdev))
                     : raison.nom);
    default: // TerminalDuProgramme
        return Mots::tr("c'est le terminal de ce programme (son entrée, sa sortie ou sa "
                        "sortie d'erreur) : les lignes s'y afficheraient au lieu de "
                        "partir vers la carte");
    }
}

} // namespace

QString Formuler(const Processus &processus)
{
    const qint64 pid = processus.pid;
    const QString &nom = processus.commande;
    const QString &utilisateur = processus.utilisateur;
    if (utilisateur.isEmpty())
        return nom.isEmpty() ? Mots::tr("le processus %1").arg(pid)
                             : Mots::tr("le processus %1 (%2)").arg(pid).arg(nom);
    return nom.isEmpty()
               ? Mots::tr("le processus %1 (de l'utilisateur %2)").arg(pid).arg(utilisateur)
               : Mots::tr("le processus %1 (%2, de l'utilisateur %3)")
                     .arg(pid)
                     .arg(nom, utilisateur);
}

QString Formuler(const RaisonPort &raison)
{
    using R = RaisonPort::Genre;
    switch (raison.genre) {
    case R::PortAbsent:
        return Mots::tr("port absent");
    case R::PermissionRefusee:
        return Mots::tr("permission refusée (l'utilisateur doit pouvoir écrire sur le "
                        "port, par exemple comme membre du groupe dialout)");
    case R::PeripheriqueChange:
        return Mots::tr("le périphérique a changé pendant son ouverture");
    case R::TerminalDeControle:
        return Mots::tr("c'est le terminal de contrôle de ce programme : les lignes "
                        "s'y afficheraient au lieu de partir vers la carte");
    case R::OuvertureImpossible:
        return Mots::tr("ouverture impossible (%1)").arg(TexteErreurSysteme(raison.erreur));
    case R::ReglagesLigneRefuses:
        return Mots::tr("les réglages de ligne (38400 bauds, 8 bits, sans parité, "
                        "1 bit d'arrêt) sont refusés (%1)")
            .arg(TexteErreurSysteme(raison.erreur));
    case R::OccupePar:
    case R::OccupeAutreProgramme:
    case R::OccupeExclusifPar:
    case R::ExclusifOuvertPar:
    case R::ExclusifInvisible:
    case R::ExclusifSansDetenteur:
        return occupe(raison);
    case R::Debranche:
    case R::EcritureEchouee:
    case R::EnvoiInterrompu:
    case R::LigneBloquee:
    case R::OctetsEnAttente:
        return pendantLEnvoi(raison);
    case R::ReglagesIllisibles:
        return Mots::tr("ce n'est pas un port série : ses réglages de ligne ne peuvent pas "
                        "être lus");
    default:
        return pasUnPort(raison);
    }
    return {};
}

QString RaisonEtat(const EtatPort &etat)
{
    using R = EtatPort::Raison;
    const Processus &qui = etat.qui;
    const QString pid = qui.utilisateur.isEmpty()
                            ? QString::number(qui.pid)
                            : QStringLiteral("%1, %2").arg(qui.pid).arg(qui.utilisateur);
    switch (etat.raison) {
    case R::Aucune:
        return {};
    case R::Processus:
        return qui.commande.isEmpty() ? pid : QStringLiteral("%1 (%2)").arg(qui.commande, pid);
    case R::Invisible:
        return Mots::tr("un programme que vous ne pouvez pas voir");
    case R::AutreProgramme:
        return Mots::tr("un autre programme");
    case R::Verrou:
        return etat.verrou ? Formuler(*etat.verrou) : QString();
    case R::DossierFerme:
        return Mots::tr("dossier des verrous fermé");
    case R::ReglagesDouteux:
        return Mots::tr("réglages douteux");
    case R::Permission:
        return Mots::tr("permission refusée (groupe dialout)");
    case R::PasUnPort:
        return Mots::tr("pas un port série");
    }
    return {};
}

QString Formuler(const PortInconnu &inconnu)
{
    if (!inconnu.lecture)
        return Mots::tr("aucun port n'a été donné");
    return Mots::tr("les réglages %1 sont illisibles (%2) : le port choisi n'est "
                    "pas connu, et rien n'est envoyé au hasard")
        .arg(NomLisible(inconnu.reglages), Formuler(*inconnu.lecture));
}

QString Formuler(const EchecLien &echec)
{
    const QString cause = echec.retard   ? texteRetard(*echec.retard)
                          : echec.raison ? Formuler(*echec.raison)
                          : echec.verrou ? Formuler(*echec.verrou)
                                         : QString();
    if (echec.genre == EchecLien::Genre::AucunPort)
        return Mots::tr("Port série inconnu : ") +
               (echec.inconnu ? Formuler(*echec.inconnu) : cause);
    if (!echec.port)
        return cause;
    const QString nom = NomLisible(echec.port->choisi);
    const QString reel = NomLisible(echec.port->peripherique);
    const QString appareil =
        reel.isEmpty() || reel == nom ? nom : QStringLiteral("%1 → %2").arg(nom, reel);
    return echec.port->port1 ? Mots::tr("Port série 1 (%1) : %2").arg(appareil, cause)
                             : Mots::tr("Port série %1 : %2").arg(appareil, cause);
}

} // namespace tarvik::app
