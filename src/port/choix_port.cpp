#include "port/choix_port.h"

#include "system/noms.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

// The texts of this file, in the operator's language.
struct Textes {
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

PortChoisi DeterminerPort(const QString &option, const ReglagePort &reglage, const QString &port1)
{
    if (!option.isEmpty())
        return PortImpose(option);
    if (reglage.echec)
        return {{}, OriginePort::Reglage, reglage.echec};
    if (!reglage.peripherique.isEmpty())
        return {reglage.peripherique, OriginePort::Reglage, {}};
    return {port1, OriginePort::Port1, {}};
}

PortChoisi DeterminerPort(const QString &option)
{
    if (!option.isEmpty()) // the settings are not even read
        return PortImpose(option);
    return DeterminerPort(option, LireReglagePort(), PeripheriquePort(1));
}

QString DecrirePort(const PortChoisi &port)
{
    const QString peripherique = NomLisible(port.peripherique);
    switch (port.origine) {
    case OriginePort::Option:
        return Textes::tr("%1 (donné par --port)").arg(peripherique);
    case OriginePort::Reglage:
        if (port.echec)
            return Textes::tr("inconnu (réglages illisibles)");
        return Textes::tr("%1 (choisi par %2)").arg(peripherique, MenuChoixPort());
    case OriginePort::Port1:
        break;
    }
    return Textes::tr("%1 (port série 1)").arg(peripherique);
}
