// The options both programs share: -h/--help, -v/--version and --port.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <optional>

class QCommandLineParser;

QString OptionPort();

// Adds the common options to `parseur` and reads `arguments`; returns a
// French message for an unknown option or a missing value, or an empty text.
QString LireOptions(QCommandLineParser &parseur, const QStringList &arguments);

// Reads a program's options before any application object exists, and
// answers what needs no more: --help and --version on stdout, wrong usage
// on stderr. `verifier` adds the program's own checks. Returns the exit code
// when the program ends there (0, or 2 for wrong usage).
std::optional<int>
TraiterOptions(QCommandLineParser &parseur, int argc, char *argv[], const QString &aide,
               const std::function<QString(const QCommandLineParser &)> &verifier);

// Writes a text in the locale's encoding, at once; 0, or the errno of a
// write that failed (a full disk, a closed pipe).
int Ecrire(std::FILE *flux, const QString &texte);

// Which of stdin, stdout and stderr the program was started without. Each
// of them is opened on /dev/null then, so that no file the program opens
// later takes its number.
struct DescripteursStandard {
    bool entreeFermee = false, sortieFermee = false, erreurFermee = false;
};
DescripteursStandard OuvrirDescripteursStandard();
