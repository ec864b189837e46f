// The words of the port's facts: a failure of the link, where it happened.
#include "app/formulation.h"

#include "core/axes.h"
#include "system/noms.h"

#include <QCoreApplication>

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
    const QString cause = echec.retard ? texteRetard(*echec.retard) : echec.cause;
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
