#include "port/choix_port.h"

#include "system/citations.h"
#include "system/noms.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tarvik::port {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Port)
};

} // namespace

QString PeripheriquePort(int numero, const QString &dossier)
{
#ifdef Q_OS_WIN
    Q_UNUSED(dossier);
    return QStringLiteral("COM%1").arg(numero);
#else
    const QString lien = QStringLiteral("%1/tarvik-port%2").arg(dossier).arg(numero);
    if (QFileInfo(lien).isSymLink())
        return lien;
    return QStringLiteral("%1/ttyS%2").arg(dossier).arg(numero - 1);
#endif
}

PortChoisi PortImpose(const QString &peripherique)
{
    return {peripherique, OriginePort::Option, {}};
}

PortChoisi DeterminerPort(const QString &option, const ReglagesLus &reglages, const QString &port1)
{
    if (!option.isEmpty())
        return PortImpose(option);
    if (reglages.echec)
        return {{},
                OriginePort::Reglage,
                Echec{Mots::tr("les réglages %1 sont illisibles (%2) : le port choisi n'est "
                               "pas connu, et rien n'est envoyé au hasard")
                          .arg(NomLisible(CheminReglages()), Citer(*reglages.echec))}};
    if (!reglages.reglages.port.isEmpty())
        return {reglages.reglages.port, OriginePort::Reglage, {}};
    return {port1, OriginePort::Port1, {}};
}

} // namespace tarvik::port
