#include "port/ports_systeme.h"

#include "system/noms.h"

#include <QDir>
#include <QSerialPortInfo>

namespace tarvik::port {

QList<PortDecouvert> PortsDuSysteme()
{
    QList<PortDecouvert> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortDecouvert port{info.systemLocation(),
                           NomStable(info.systemLocation()),
                           info.description(),
                           info.manufacturer(),
                           info.serialNumber(),
                           {},
                           {}};
        if (info.hasVendorIdentifier())
            port.vendeur = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.produit = info.productIdentifier();
        ports << port;
    }
    return ports;
}

QString NomStable(const QString &peripherique, const QString &dossier)
{
    const QString reel = CheminReel(peripherique);
    if (reel.isEmpty())
        return {};
    const QFileInfoList liens =
        QDir(dossier).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &lien : liens)
        if (lien.isSymLink() && CheminReel(lien.absoluteFilePath()) == reel)
            return lien.absoluteFilePath();
    return {};
}

} // namespace tarvik::port
