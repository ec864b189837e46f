#include "port/ports_systeme.h"

#include "system/noms.h"

#include <QDir>
#include <QSerialPortInfo>

namespace tarvik::port {

QList<PortDecouvert> PortsDuSysteme()
{
    QList<PortDecouvert> ports;
    for (const QSerialPortInfo &fiche : QSerialPortInfo::availablePorts()) {
        PortDecouvert port{fiche.systemLocation(),
                           NomStable(fiche.systemLocation()),
                           fiche.description(),
                           fiche.manufacturer(),
                           fiche.serialNumber(),
                           {},
                           {}};
        if (fiche.hasVendorIdentifier())
            port.vendeur = fiche.vendorIdentifier();
        if (fiche.hasProductIdentifier())
            port.produit = fiche.productIdentifier();
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
