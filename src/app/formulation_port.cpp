// The words of the port's facts: a failure of the link, where it happened.
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

} // namespace

QString Formuler(const RaisonPort &raison)
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
    case R::TerminalDuProgramme:
        return Mots::tr("c'est le terminal de ce programme (son entrée, sa sortie ou sa "
                        "sortie d'erreur) : les lignes s'y afficheraient au lieu de "
                        "partir vers la carte");
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
    case R::ReglagesIllisibles:
        return Mots::tr("ce n'est pas un port série : ses réglages de ligne ne peuvent pas "
                        "être lus");
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
                                         : echec.cause;
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
