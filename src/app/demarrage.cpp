#include "app/demarrage.h"

#include "app/formulation.h"
#include "app/langue.h"
#include "core/noms.h"
#include "run/journal.h"

#include <QCoreApplication>

namespace tarvik::app {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Port)
};

} // namespace

Demarrage Demarrer(int argc, char *argv[])
{
    Demarrage demarrage;
    demarrage.reglages = LireReglages();
    demarrage.langue = ChoisirLangue(argc, argv, demarrage.reglages.reglages);
    // Settings not understood are not read: the default (oui) holds then.
    ActiverJournalSysteme(JournalSystemeVoulu(demarrage.reglages.reglages));
    return demarrage;
}

std::optional<Echec> ReglagesNonLus(const ReglagesLus &reglages)
{
    if (!reglages.echec)
        return std::nullopt;
    return Echec{Mots::tr("les réglages %1 sont illisibles (%2) : ils ne sont pas lus, et chaque "
                          "envoi part donc aussi au journal du système, comme sans réglages, quoi "
                          "qu'ils disent de journal_systeme")
                     .arg(NomLisible(CheminReglages()), Formuler(*reglages.echec))};
}

QString DecrirePort(const PortChoisi &port, const QString &menu)
{
    const QString peripherique = NomLisible(port.peripherique);
    switch (port.origine) {
    case OriginePort::Option:
        return Mots::tr("%1 (donné par --port)").arg(peripherique);
    case OriginePort::Reglage:
        if (port.echec)
            return Mots::tr("inconnu (réglages illisibles)");
        return Mots::tr("%1 (choisi par %2)").arg(peripherique, menu);
    case OriginePort::Port1:
        break;
    }
    return Mots::tr("%1 (port série 1)").arg(peripherique);
}

} // namespace tarvik::app
