// The settings file's format: what it holds, and how strictly it is read.
//
//   [General]
//   port=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
//   langue=en
//   designation=/home/alice/banc/axes.txt
//   journal_systeme=non
//   dossier=/home/alice/banc/programmes
//
// Blank lines and lines starting with ';' or '#' are passed over. Anything
// else (another group, an unknown key or one written in another case, a key
// given twice, a value quoted or escaped as other programs write them) is not
// understood, and a file that is not understood is not trusted.
#pragma once

#include "core/fichier_cles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace tarvik::core {

// The settings, as the file holds them; empty: not set.
struct Reglages {
    QString port;             // the device chosen; empty for port 1
    QString langue;           // a language's code; empty: the system's
    QString designation;      // the axis designation file last opened; empty: none
    QString journalSysteme{}; // oui, non: records in the system's journal too; empty: oui
    QString dossier{};        // the folder of the file last chosen in a file dialog; empty: none
    // The sequences and programs last opened or saved, the latest first, at
    // most RecentsMax, each a path from the root (keys recent1, recent2…).
    QStringList recents{};
};

constexpr int RecentsMax = 6;

// `recents` with `chemin` first, once, and no more than RecentsMax.
QStringList AvecRecent(QStringList recents, const QString &chemin);

// Whether each journal record goes to the system's journal too.
bool JournalSystemeVoulu(const Reglages &reglages);

// Parses a settings file strictly: anything it does not fully understand
// makes the whole file untrusted.
struct ReglagesAnalyses {
    Reglages reglages;
    std::optional<EchecCles> echec; // why it is not understood
};
ReglagesAnalyses AnalyserReglages(const QByteArray &contenu);

// Forms the file that holds `reglages`, from `avant`, a file that
// AnalyserReglages understands, line by line: a key's line is changed where
// it stands, or removed when its value is empty, a new key goes at the end,
// and every other line (comments, blank lines, the group) is kept as it was.
// An empty `avant` gives a new file.
QByteArray FormerReglages(const Reglages &reglages, const QByteArray &avant = {});

// Why a device's or a file's path cannot be saved, and read back exactly as
// it was; or nothing.
std::optional<RefusValeur> VerifierChemin(const QString &chemin);

} // namespace tarvik::core
