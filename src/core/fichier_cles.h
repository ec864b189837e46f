// What the settings file and the limits files share: "cle=valeur" lines
// under one [Groupe], comments starting with ';' or '#', and a rewrite that
// changes only the lines of the keys that change.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace tarvik::core {

// The lines of such a file, each decoded as NomLocal reads it, a CR before
// its line feed taken off.
QList<QString> LignesDeCles(const QByteArray &contenu);

// The two kinds of such file.
enum class FichierCles { Reglages, Limites };

// What one kind of such file holds.
struct FormeCles {
    QByteArray groupe{};      // its one group: "[General]"
    QList<QByteArray> noms{}; // its keys
    FichierCles fichier = FichierCles::Reglages;
    QByteArray exemple{}; // one whole line, shown where a line lacks its '='
    bool operator==(const FormeCles &autre) const = default;
};

// The limits a limits file sets, named as its keys name them (limites.h).
enum class ChampLimite;

// Why a value of such a file is refused.
struct RefusValeur {
    enum class Genre {
        Vide,
        // The settings' paths.
        FormeEtrangere, // written as other programs' settings would read otherwise: `forme`
        CheminRelatif,  // a path that does not start from /
        TropLongue,     // `longueur` characters, over `max`
        Invisible,      // a control or format character, `point`
        LangueInconnue, // `texte`, no language's code
        NiOuiNiNon,     // `texte`, neither oui nor non
        // The limits.
        PasEnChiffres,       // limit `champ` written otherwise than in digits, `texte`, up to `max`
        Depasse,             // limit `champ`, `texte`, over `max`
        AucuneDirection,     // no direction given
        DirectionBlanche,    // a blank, `point`, among the directions
        DirectionImpossible, // `texte` (`point`): not a printable character of Windows-1252
        DirectionDeuxFois,   // `texte` given twice
        LectureInconnue,     // `texte`, neither stricte nor souple
    };
    // What other programs' settings would read otherwise than Tarvik.
    enum class Forme { Guillemets, Arobase, BarreInverse, Virgule, BlancEnBordure };
    Genre genre = Genre::Vide;
    Forme forme = Forme::Guillemets;
    ChampLimite champ{};
    QString texte{}; // the value, or the part at fault, as a message quotes it
    char32_t point = 0;
    qint64 longueur = 0, max = 0;
    bool operator==(const RefusValeur &autre) const = default;
};

// Why such a file is not understood, and at which line.
struct EchecCles {
    enum class Genre {
        Bom,           // a byte order mark starts it (line 1)
        GroupeInconnu, // a group other than its own, `texte`
        SansEgal,      // a line `texte` without '='
        Casse,         // a key `texte` written in another case than `cle`
        CleInconnue,   // a key `texte` the file does not have
        DeuxFois,      // key `cle` given twice
        Valeur,        // key `cle`'s value refused: `valeur`
    };
    Genre genre = Genre::Bom;
    int ligne = 0;   // 1 first
    QString texte{}; // the line or the key as read, as a message quotes it
    QString cle{};   // the file's own key
    FormeCles forme{};
    std::optional<RefusValeur> valeur{};
    bool operator==(const EchecCles &autre) const = default;
};

// Reads `contenu` as its reader must: comments, blank lines and the group
// pass; a byte order mark, another group, a line without '=', a key the
// file does not have (or written in another case) and a key given twice
// are refused; each value goes to `lire` (k: its key's place in
// forme.noms). The first refusal, with its line and its key, or nothing.
std::optional<EchecCles> AnalyserCles(
    const QByteArray &contenu, const FormeCles &forme,
    const std::function<std::optional<RefusValeur>(qsizetype k, const QString &valeur)> &lire);

// Rewrites `avant`, a file its reader understands (empty: a new file under
// `groupe`): the line of key k (of `cles`) becomes `cle=valeur` where it
// stands, keeping its end, or goes when `valeur(k, true)` gives nothing; the
// keys not met come at the end, in their order, when `valeur(k, false)`
// gives something. Comments, blank lines and the group stay as they were.
QByteArray
RecrireCles(const QByteArray &avant, const QByteArray &groupe, const QList<QByteArray> &cles,
            const std::function<std::optional<QByteArray>(qsizetype k, bool surPlace)> &valeur);

} // namespace tarvik::core
