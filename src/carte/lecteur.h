// The board's reading of the line, strict and of its own: it shares nothing
// with the way the panel forms its lines, so that the two can disagree. A
// command is `[A-G][+-]DDDDD:DDD` and a line feed, 12 bytes; the bytes come
// in as the line gives them, in any pieces, and each line is said once it
// ends: taken, the fresh-line resync (a line feed alone), or what is wrong
// with it.
#pragma once

#include "carte/couche.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace tarvik::carte {

// The board's seven axes, A to G.
constexpr int AxesCarte = 7;
// The bytes of a command, its line feed included.
constexpr int LongueurCommande = 12;
// A line longer than this with no line feed is said as it is, and the
// reading starts anew after it: nothing grows without bound.
constexpr int LongueurMaxLigne = 64;
// The highest speed a command may carry.
constexpr int VitesseMaxCarte = 255;

// What is wrong with a line, in the order a line is judged: the first that
// applies is said. Their codes (CodeAnomalie) are part of the JSON output.
enum class Anomalie {
    HorsAscii,         // a byte of 0x80 or above
    LigneCoupee,       // an axis letter came before the line feed: a glued line
    Longueur,          // the line feed is not the 12th byte
    AxeInconnu,        // the first byte is not A to G
    DirectionInconnue, // the second is neither + nor -
    Chiffres,          // not five digits, ':' and three digits, or a speed over 255
};

// One line as the board read it.
struct LigneRecue {
    enum class Genre { Commande, LigneVide, Anomalie };
    QByteArray octets; // as received, the line feed included when it ended on one
    Genre genre = Genre::Anomalie;
    std::optional<Anomalie> anomalie; // only for Genre::Anomalie
    // The axis its first byte names ('A' to 'G'), even for an anomaly; 0 for none.
    char axe = 0;
    // Those of a command taken.
    char direction = 0;
    int pas = 0, vitesse = 0;
    // The signed move of a command taken.
    qint64 mouvement() const { return direction == '-' ? -qint64(pas) : qint64(pas); }
};

class LecteurCarte {
public:
    // Takes one more byte; the line it ends, if it ends one. An axis letter
    // that comes where a line is under way ends that line, cut, and starts
    // the next.
    std::optional<LigneRecue> ajouter(char octet);
    // The bytes of the line under way.
    const QByteArray &enCours() const { return m_ligne; }
    // Forgets the line under way (the line went away).
    void oublier() { m_ligne.clear(); }

private:
    QByteArray m_ligne;
};

// A whole line judged alone: `octets` ends with its line feed, or is a line
// cut short when `coupee`.
LigneRecue JugerLigne(const QByteArray &octets, bool coupee);

// The anomaly's code in the JSON output: "hors_ascii", "ligne_coupee",
// "longueur", "axe_inconnu", "direction_inconnue", "chiffres".
QString CodeAnomalie(Anomalie anomalie);
// What is wrong, for the operator.
QString DecrireAnomalie(Anomalie anomalie);
// The bytes for the eye: printable ASCII as it is, any other byte as \xNN,
// the line feed left out.
QString OctetsLisibles(const QByteArray &octets);

} // namespace tarvik::carte
