// Which device the link uses, and the one place that decides it: the device
// given with --port, else the one the operator chose and saved, else port 1.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Port 1's device: COM1 on Windows; on Linux the link `dossier`/tarvik-port1
// where the host made one (a udev rule), `dossier`/ttyS0 otherwise.
QString PeripheriquePort(int numero, const QString &dossier = QStringLiteral("/dev"));

enum class OriginePort { Option, Reglage, Port1 };

struct PortChoisi {
    QString peripherique;
    OriginePort origine = OriginePort::Port1;
    QString erreur; // the saved choice cannot be read: no device is known
};

// The saved choice: empty when there is none.
struct ReglagePort {
    QString peripherique;
    QString erreur; // the settings file is there but cannot be trusted
};

// The order: `option` (--port), then the saved choice, then port 1's device.
PortChoisi DeterminerPort(const QString &option, const ReglagePort &reglage, const QString &port1);
// The same with the saved choice and this host's port 1.
PortChoisi DeterminerPort(const QString &option = {});

// The device as the operator reads it: the path and where the choice came from.
QString DecrirePort(const PortChoisi &port);

// Names the organisation and the program, so that settings land in
// $XDG_CONFIG_HOME/Tarvik/tarvik.conf. Each program calls it once at start.
void NommerApplication();

// The settings the program keeps, as its settings file holds them.
struct Reglages {
    QString port;   // the device chosen; empty for port 1
    QString erreur; // the file is not fully understood: why, in French
};
// Reads a settings file strictly: anything it does not fully understand
// makes the whole file untrusted.
Reglages LireReglages(const QByteArray &contenu);
QByteArray EcrireReglages(const Reglages &reglages);

// The settings file, read bounded and without blocking; a file that cannot
// be read, or that is not understood, says so.
ReglagePort LireReglagePort();

// Saves `peripherique` as the choice (empty: back to port 1). The file is
// replaced whole, or not at all. A damaged file is first set aside, beside
// it, and replaced.
struct EnregistrementReglage {
    QString erreur;    // in French; empty when saved
    QString misDeCote; // where the damaged file went, when there was one
    QString raison;    // why it was damaged
};
EnregistrementReglage EnregistrerReglagePort(const QString &peripherique);
// $XDG_CONFIG_HOME/Tarvik/tarvik.conf (a relative XDG_CONFIG_HOME is
// ignored: ~/.config then).
QString FichierReglages();

// A serial port the system reports.
struct PortDecouvert {
    QString peripherique; // /dev/ttyUSB0
    QString nomStable;    // its /dev/serial/by-id link, empty when none
    QString description, fabricant, numeroSerie;
    std::optional<quint16> vendeur, produit; // USB ids
};
QList<PortDecouvert> PortsDuSysteme();

// The link in `dossier` that leads to `peripherique`, or an empty text.
QString NomStable(const QString &peripherique,
                  const QString &dossier = QStringLiteral("/dev/serial/by-id"));
