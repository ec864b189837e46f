// What the settings file and the limits files share: "cle=valeur" lines
// under one [Groupe], comments starting with ';' or '#', and a rewrite that
// changes only the lines of the keys that change.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The lines of such a file, each decoded as NomLocal reads it, a CR before
// its line feed taken off.
QList<QString> LignesDeCles(const QByteArray &contenu);

// Rewrites `avant`, a file its reader understands (empty: a new file under
// `groupe`): the line of key k (of `cles`) becomes `cle=valeur` where it
// stands, keeping its end, or goes when `valeur(k, true)` gives nothing; the
// keys not met come at the end, in their order, when `valeur(k, false)`
// gives something. Comments, blank lines and the group stay as they were.
QByteArray
RecrireCles(const QByteArray &avant, const QByteArray &groupe, const QList<QByteArray> &cles,
            const std::function<std::optional<QByteArray>(qsizetype k, bool surPlace)> &valeur);
