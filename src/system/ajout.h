// Appending records to a file of the user's: never torn, never mixed with
// another writer's, bounded by a rotation that loses none of them.
#pragma once

#include "system/couche.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace tarvik::system {

// How long a writer waits for its turn on the file before it gives up. A
// writer holds the file only to append its record (and move the file aside),
// never while it flushes it to the disk, so a slow disk costs no record.
constexpr int AttenteTourMs = 10000;

// Why a record was not appended, or appended but not as it should be.
struct EchecAjout {
    enum class Genre {
        // Not written.
        DossierImpossible,   // its folder cannot be made: `erreur`
        OuvertureImpossible, // the file cannot be opened: `erreur`
        PasOrdinaire,        // a folder, a pipe or a link stands there: never touched
        VerrouImpossible,    // its turn cannot be taken: `erreur`
        TenuAilleurs,        // another writer held it for AttenteTourMs
        EcritureImpossible,  // the write failed: `erreur`
        EcritureDechiree, // the write failed (`erreur`), and what went in stays (`erreurRetrait`)
        // Written.
        RotationImpossible, // the file could not become `chemin` (NAME.1): `erreur`
        ViderImpossible,    // not flushed to the disk: `erreur`
    };
    Genre genre = Genre::EcritureImpossible;
    int erreur = 0, erreurRetrait = 0; // errno
    QString chemin{};
    bool ecrit() const
    {
        return genre == Genre::RotationImpossible || genre == Genre::ViderImpossible;
    }
    bool operator==(const EchecAjout &autre) const = default;
};

// Appends `enregistrement` (one whole record, ended by a line feed) to the
// file at `chemin` with a single write; a write cut short (the disk full) is
// taken back, so the file ends with whole records only. The file is created
// 0600 and its folder 0700; a link, a folder or anything but a regular file
// in its place is refused, never followed or written. When the record would
// take the file past `limite` bytes, the file first becomes `chemin`.1 (the
// older one goes) and a new one starts. Writers in other processes take
// turns on the file, so their records never mix and none is lost across a
// rotation; each flushes its record to the disk once its turn is over.
// What went wrong, and whether the record was written all the same (the
// file could not be moved aside or flushed); nothing when all went well.
std::optional<EchecAjout> AjouterEnregistrement(const QString &chemin,
                                                const QByteArray &enregistrement, qint64 limite);

} // namespace tarvik::system
