// The options both programs share: -h/--help, -v/--version and --port.
#pragma once

#include "app/couche.h"
#include "core/echec.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QCommandLineParser;

namespace tarvik::app {

QString OptionPort();

// Adds the common options to `parseur` and parses `arguments`; an unknown
// option, a missing value or an option given twice (the program's own
// included) fails.
std::optional<Echec> AnalyserOptions(QCommandLineParser &parseur, const QStringList &arguments);

// Reads a program's options before any application object exists, and
// answers what needs no more: --help and --version on stdout, wrong usage
// on stderr. `verifier` adds the program's own checks. The exit code when
// the program ends there (0, or 2 for wrong usage).
std::optional<int>
TraiterOptions(QCommandLineParser &parseur, int argc, char *argv[], const QString &aide,
               const std::function<std::optional<Echec>(const QCommandLineParser &)> &verifier);

} // namespace tarvik::app
