// Reading the files the operator names, and the files other users may
// write, without ever blocking on them or reading more than a bound.
#pragma once

#include "system/couche.h"
#include "system/substituable.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace tarvik::system {

// Why a file or a descriptor cannot be read.
struct EchecLecture {
    enum class Genre {
        Absent,        // there is no file at that path
        Impossible,    // a system call failed: `erreur`
        PasOrdinaire,  // not a regular file
        Interrompue,   // woken up before the end
        TropGros,      // more than `taille` bytes
        LienSansCible, // a link that leads nowhere (system/fichier_reglages.h)
    };
    Genre genre = Genre::Impossible;
    int erreur = 0;       // errno
    qsizetype taille = 0; // the most that is read
    bool operator==(const EchecLecture &autre) const = default;
};

// The largest file the program reads: a sequence file is 84 bytes.
constexpr qsizetype TailleMaxFichier = 64 * 1024;

// Reads a whole regular file of at most `taille` bytes (a file of exactly
// that size is read). The file is opened non-blocking and its type checked on
// the open descriptor, so a tube or a device put in its place can never
// block; with Liens::Refuses a link in its place is not followed either
// (folders anyone can write to).
enum class Liens { Suivis, Refuses };
struct FichierLu {
    QByteArray contenu;
    std::optional<EchecLecture> echec; // why it cannot be read
    bool absent = false;               // there is no file at that path
    // The file read, as fstat saw it on the open descriptor.
    quint64 appareil = 0, inode = 0;
    qint64 modifieMs = 0;     // last change, in ms since the epoch
    quint32 proprietaire = 0; // its owner's user number
    quint32 mode = 0;         // its permission bits (0644)
};
FichierLu LireFichier(const QString &chemin, qsizetype taille = TailleMaxFichier,
                      Liens liens = Liens::Suivis);

// The same for the file `nom` of the folder open at `dossier` (a descriptor
// of it), links refused: files of a folder checked once, read through it.
FichierLu LireFichierDans(int dossier, const QByteArray &nom, qsizetype taille);

// Reads the last `taille` bytes of a regular file at most, the same way,
// links refused: the start of a longer file is left out.
FichierLu LireFin(const QString &chemin, qsizetype taille);

// Reads what an open descriptor gives until its end, at most `taille` bytes,
// however many pieces it comes in; a non-blocking one is waited for. When
// `reveil` (-1: none) becomes readable before the end, the reading stops
// there and fails.
std::optional<EchecLecture> LireDescripteur(int fd, QByteArray &contenu,
                                            qsizetype taille = TailleMaxFichier, int reveil = -1);

// Whether `fd` has something to read at this moment; never for -1.
bool DescripteurLisible(int fd);

// Called with the path just before LireFichier opens it: nothing in the
// program; tests swap the file there.
inline Substituable<std::function<void(const QString &chemin)>> AvantOuvertureFichier;

} // namespace tarvik::system
