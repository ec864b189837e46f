// Names of files and devices as the system spells them, byte for byte.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tarvik::core {

// File names as the system spells them, bytes that are not UTF-8 included:
// such a byte becomes U+DC80..U+DCFF and goes back to the same byte, so that
// a name read from the system or the command line reaches it unchanged.
QString NomLocal(QByteArrayView octets);
QByteArray OctetsLocaux(QStringView nom);
// A name as messages show it: a byte that is not UTF-8 is spelled \xNN.
QString NomLisible(QStringView nom);
// A word as a shell reads it back: quoted when it holds more than plain
// characters (a home folder with a space in it).
QString PourLeShell(const QString &mot);

} // namespace tarvik::core
