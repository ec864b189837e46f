// Reading and writing the files the operator names, without ever blocking
// on them or leaving one half-written, and the system's errors in French.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

constexpr qsizetype TailleMaxFichier = 64 * 1024;

// A system error (errno) as the operator reads it, in French; the system's
// own text for the rarer ones.
QString TexteErreurSysteme(int code);

// The same for an error text Qt took from the system (errorString()).
QString TexteErreurSysteme(const QString &texteQt);

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

// Reads a whole regular file of at most `taille` bytes. The file is opened
// non-blocking and its type checked on the open descriptor, so a tube or a
// device put in its place can never block; with Liens::Refuses a link in its
// place is not followed either (folders anyone can write to).
enum class Liens { Suivis, Refuses };
struct FichierLu {
    QByteArray contenu;
    QString erreur;      // why it cannot be read, in French; empty when read
    bool absent = false; // there is no file at that path
    // The file read, as fstat saw it on the open descriptor.
    quint64 appareil = 0, inode = 0;
    qint64 modifieMs = 0; // last change, in ms since the epoch
};
FichierLu LireFichier(const QString &chemin, qsizetype taille = TailleMaxFichier,
                      Liens liens = Liens::Suivis);

// Reads what an open descriptor gives until its end, at most `taille` bytes.
QString LireDescripteur(int fd, QByteArray &contenu, qsizetype taille = TailleMaxFichier);

// Called with the path just before LireFichier opens it. Empty in the
// program; tests swap the file there.
inline std::function<void(const QString &chemin)> AvantOuvertureFichier;

// Replaces the file at `chemin` (or at the file a link there leads to) by
// `octets`, all at once: written beside it, flushed to the disk, then renamed
// over it. Anything that is not a regular file is refused, never replaced.
// On a failure the old file is left as it was and nothing new is created.
struct EcritureFichier {
    QString erreur;        // in French; empty when the file was written
    bool existait = false; // a file was there before
};
EcritureFichier EcrireFichier(const QString &chemin, const QByteArray &octets);
