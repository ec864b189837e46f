// Names of files and folders as the system spells them.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// File names as the system spells them, bytes that are not UTF-8 included:
// such a byte becomes U+DC80..U+DCFF and goes back to the same byte, so that
// a name read from the system or the command line reaches it unchanged.
QString NomLocal(QByteArrayView octets);
QByteArray OctetsLocaux(QStringView nom);
// A name as messages show it: a byte that is not UTF-8 is spelled \xNN.
QString NomLisible(QStringView nom);

// A folder of the XDG base directories: the variable's value when it is an
// absolute path (a relative one is invalid and ignored, as the rule says),
// else `defaut` below the user's home folder ("$HOME/.config").
QString DossierXdg(const char *variable, const QString &defaut);

// The path a name leads to once every link is followed; empty, with
// errno set, when it leads nowhere.
QString CheminReel(const QString &nom);
