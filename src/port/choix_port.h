// Which device a run uses, and the one place that decides it: the device
// given with --port, else the one the operator chose and saved, else port 1.
#pragma once

#include "port/couche.h"
#include "system/fichier_reglages.h"

#include <QString>
#include <optional>

namespace tarvik::port {

// Port 1's device: COM1 on Windows; on Linux the link `dossier`/tarvik-port1
// where the host made one (a udev rule), `dossier`/ttyS0 otherwise.
QString PeripheriquePort(int numero, const QString &dossier = QStringLiteral("/dev"));

enum class OriginePort { Option, Reglage, Port1 };

// Why no port is chosen: none was given, or the saved choice cannot be
// read (the settings file, and why).
struct PortInconnu {
    QString reglages;
    std::optional<EchecFichierCles> lecture; // nothing: no port was given at all
};

struct PortChoisi {
    QString peripherique;
    OriginePort origine = OriginePort::Port1;
    // No port is chosen, and why.
    std::optional<PortInconnu> echec;
};

// A device given as --port gives it.
PortChoisi PortImpose(const QString &peripherique);

// The order: `option` (--port), then the choice saved in `reglages`, then
// `port1`. Settings that could not be read choose no port at all, least of
// all port 1.
PortChoisi DeterminerPort(const QString &option, const ReglagesLus &reglages,
                          const QString &port1 = PeripheriquePort(1));

} // namespace tarvik::port
