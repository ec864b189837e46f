// The settings file, where the operator's choice of port is kept: where it
// is, how it is written, and how strictly it is read.
#pragma once

#include "core/echec.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// The settings, as the file holds them.
struct Reglages {
    QString port;               // the device chosen; empty for port 1
    QString langue;             // "fr", "en"; empty: the system's
    std::optional<Echec> echec; // the file is not fully understood: why
};
// Reads a settings file strictly: anything it does not fully understand
// makes the whole file untrusted.
Reglages LireReglages(const QByteArray &contenu);
// Writes `reglages` into `avant`, a file LireReglages understands, line by
// line: a key's line is changed where it stands, or removed when its value
// is empty, a new key goes at the end, and every other line (comments, blank
// lines, the group) is kept as it was. An empty `avant` gives a new file.
QByteArray EcrireReglages(const Reglages &reglages, const QByteArray &avant = {});

// $XDG_CONFIG_HOME/Tarvik/tarvik.conf (a relative XDG_CONFIG_HOME is
// ignored: ~/.config then).
QString FichierReglages();
// The menu entry that chooses the port, as messages name it.
QString MenuChoixPort();

// The saved choice, read bounded and without blocking: an empty device when
// there is none; a file that cannot be read or is not understood says so.
struct ReglagePort {
    QString peripherique;
    std::optional<Echec> echec;
};
ReglagePort LireReglagePort();

// Saves `peripherique` as the choice (empty: back to port 1). The file is
// replaced whole, or not at all; only the choice's line changes in it. A
// damaged file is first set aside, beside it, then replaced by a new one.
struct EnregistrementReglage {
    std::optional<Echec> echec;
    QString misDeCote; // where the damaged file went, when there was one
    QString raison;    // why it was damaged
};
EnregistrementReglage EnregistrerReglagePort(const QString &peripherique);
// The same for any change to the settings; the rest of the file is kept.
EnregistrementReglage EnregistrerReglages(const std::function<void(Reglages &)> &changer);
// The settings file's own settings, or empty ones when it is absent or not
// understood (then the port's run says so).
Reglages LireReglagesEnregistres();
