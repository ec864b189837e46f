// The axis command record, and the exact text and bytes of one command line
// for the board.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace tarvik::core {

// One axis command.
struct Axe {
    QChar Lettre;    // axis letter, 'A' to 'G'
    QChar Direction; // direction character, as typed
    std::int32_t Pas = 0;
    std::uint8_t Vitesse = 0;
};

constexpr int NombreAxes = 7;

// Bounds a step count and a speed must fall in after rounding. A step count
// has to fit the five-digit field of the line.
constexpr std::int32_t PasMin = 0;
constexpr std::int32_t PasMax = 99999;
constexpr std::int32_t VitesseMax = 255;

// Letter of axis i (1 to 7): 'A' to 'G'.
QChar LettreAxe(int i);

// Where each field of a command line stands, "A+00100:010": the builder
// puts them there and the sequence-file reader looks for them there.
namespace Champ {
constexpr qsizetype Lettre = 0, Direction = 1, Pas = 2, Separateur = 7, Vitesse = 8, Fin = 11;
constexpr qsizetype ChiffresPas = Separateur - Pas, ChiffresVitesse = Fin - Vitesse;
} // namespace Champ
constexpr char16_t SeparateurLigne = u':';

// Reads the number at the start of a text: blanks, tabs and line feeds are
// ignored wherever they stand, then the longest leading decimal number
// (sign, digits, '.', digits, exponent E or D) is read; "&H" and "&O" start a
// hexadecimal or octal integer. No number gives 0. Locale-independent.
double NombreDepuisTexte(QStringView texte);

// Rounds to the nearest integer, a half to the even neighbour, and checks the
// range; nullopt when the result falls outside [min, max] (or is not a number).
std::optional<std::int64_t> Arrondir(double valeur, std::int64_t min, std::int64_t max);

// First character of a text; an empty text gives a space.
QChar PremierCaractere(QStringView texte);

// A character as messages spell it: "U+0009", "U+1F600".
QString CodePoint(char32_t c);

// True when c is printable and has a one-byte code in Windows-1252.
bool DirectionValide(QChar c);

// Step field: five digits for 0 to 99999; larger values keep all their
// digits; negative values take the prefix "0000".
QString TextePas(std::int32_t pas);

// Speed field: always three digits.
QString TexteVitesse(std::uint8_t vitesse);

// The command line of one axis, without its line feed (as listed on screen).
QString LigneAxe(const Axe &axe);

// The bytes the board receives for one line as LigneAxe forms it: the line
// and a line feed, one Windows-1252 byte per character (a NUL byte for a
// character that has none).
QByteArray FormerLigne(const QString &ligne);

} // namespace tarvik::core
