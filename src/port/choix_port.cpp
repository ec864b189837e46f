#include "port/choix_port.h"

#include <QFileInfo>

namespace tarvik::port {

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
        return {{}, OriginePort::Reglage, PortInconnu{CheminReglages(), *reglages.echec}};
    if (!reglages.reglages.port.isEmpty())
        return {reglages.reglages.port, OriginePort::Reglage, {}};
    return {port1, OriginePort::Port1, {}};
}

} // namespace tarvik::port
