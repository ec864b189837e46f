// What the settings file and the limits files share: "cle=valeur" lines
// under one [Groupe], comments starting with ';' or '#', and a rewrite that
// changes only the lines of the keys that change.
#pragma once

#include "core/echec.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace tarvik::core {

// The lines of such a file, each decoded as NomLocal reads it, a CR before
// its line feed taken off.
QList<QString> LignesDeCles(const QByteArray &contenu);

// What one kind of such file holds.
struct FormeCles {
    QByteArray groupe;      // its one group: "[General]"
    QList<QByteArray> noms; // its keys
    QString nomsDits;       // the keys, as a refusal lists them
    QByteArray exemple;     // one whole line, shown where a line lacks its '='
};

// Reads `contenu` as its reader must: comments, blank lines and the group
// pass; a byte order mark, another group, a line without '=', a key the
// file does not have (or written in another case) and a key given twice
// are refused; each value goes to `lire` (k: its key's place in
// forme.noms). The first refusal, worded with its line and its key, or
// nothing.
std::optional<Echec>
AnalyserCles(const QByteArray &contenu, const FormeCles &forme,
             const std::function<std::optional<Echec>(qsizetype k, const QString &valeur)> &lire);

// Rewrites `avant`, a file its reader understands (empty: a new file under
// `groupe`): the line of key k (of `cles`) becomes `cle=valeur` where it
// stands, keeping its end, or goes when `valeur(k, true)` gives nothing; the
// keys not met come at the end, in their order, when `valeur(k, false)`
// gives something. Comments, blank lines and the group stay as they were.
QByteArray
RecrireCles(const QByteArray &avant, const QByteArray &groupe, const QList<QByteArray> &cles,
            const std::function<std::optional<QByteArray>(qsizetype k, bool surPlace)> &valeur);

} // namespace tarvik::core
