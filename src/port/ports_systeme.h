// The serial ports the system reports, for the operator to choose from.
#pragma once

#include "port/couche.h"
#include "system/substituable.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace tarvik::port {

// A serial port the system reports.
struct PortDecouvert {
    QString peripherique; // /dev/ttyUSB0
    QString nomStable;    // its /dev/serial/by-id link, empty when none
    QString description, fabricant, numeroSerie;
    std::optional<quint16> vendeur, produit; // USB ids
};

// The system's ports, asked only when called (QSerialPortInfo).
QList<PortDecouvert> PortsDuSysteme();

// How the port dialog lists them: the system's; tests give a fixed list.
inline Substituable<std::function<QList<PortDecouvert>()>> EnumerationPorts{PortsDuSysteme};

// The link in `dossier` that leads to `peripherique`, or an empty text.
QString NomStable(const QString &peripherique,
                  const QString &dossier = QStringLiteral("/dev/serial/by-id"));

} // namespace tarvik::port
