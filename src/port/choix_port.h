// Which device a run uses, and the one place that decides it: the device
// given with --port, else the one the operator chose and saved, else port 1.
#pragma once

#include "core/echec.h"
#include "port/reglages.h"

#include <QString>
#include <optional>

// Port 1's device: COM1 on Windows; on Linux the link `dossier`/tarvik-port1
// where the host made one (a udev rule), `dossier`/ttyS0 otherwise.
QString PeripheriquePort(int numero, const QString &dossier = QStringLiteral("/dev"));

enum class OriginePort { Option, Reglage, Port1 };

struct PortChoisi {
    QString peripherique;
    OriginePort origine = OriginePort::Port1;
    std::optional<Echec> echec; // the saved choice cannot be read: no device is known
};

// A device given as --port gives it.
PortChoisi PortImpose(const QString &peripherique);

// The order: `option` (--port), then the saved choice, then port 1's device.
PortChoisi DeterminerPort(const QString &option, const ReglagePort &reglage, const QString &port1);
// The same with the saved choice (read only without `option`) and this
// host's port 1.
PortChoisi DeterminerPort(const QString &option = {});

// The device as the operator reads it: the path and where the choice came from.
QString DecrirePort(const PortChoisi &port);
