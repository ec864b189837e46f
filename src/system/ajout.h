// Appending records to a file of the user's: never torn, never mixed with
// another writer's, bounded by a rotation that loses none of them.
#pragma once

#include "core/echec.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Appends `enregistrement` (one whole record, ended by a line feed) to the
// file at `chemin` with a single write, and flushes it to the disk. The file
// is created 0600 and its folder 0700; a link, a folder or anything but a
// regular file in its place is refused, never followed or written. Past
// `limite` bytes the file first becomes `chemin`.1 (the older one goes) and
// a new one starts. Writers in other processes take turns on the file, so
// their records never mix and none is lost across a rotation.
std::optional<Echec> AjouterEnregistrement(const QString &chemin, const QByteArray &enregistrement,
                                           qint64 limite);
