#include "core/axes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>

namespace tarvik::core {

QChar LettreAxe(int i)
{
    return QChar(u'@' + i);
}

namespace {

bool estChiffre(char16_t c, int base)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0' < base;
    c |= 0x20; // lower case
    return base == 16 && c >= u'a' && c <= u'f';
}

// "&H1F" or "&O17": the digits as a non-negative integer.
double analyserEntierPrefixe(const std::u16string &t, int base)
{
    double valeur = 0;
    for (std::size_t k = 2; k < t.size() && estChiffre(t[k], base); ++k) {
        const int chiffre = t[k] <= u'9' ? t[k] - u'0' : (t[k] | 0x20) - u'a' + 10;
        valeur = valeur * base + chiffre;
    }
    return valeur;
}

} // namespace

namespace {

// The text without its blanks, tabs and line feeds, wherever they stand.
std::u16string sansBlancs(QStringView texte)
{
    std::u16string t;
    t.reserve(texte.size());
    for (QChar c : texte)
        if (c != u' ' && c != u'\t' && c != u'\n')
            t.push_back(c.unicode());
    return t;
}

// The longest leading decimal number of `t`, from `k`, as plain ASCII for
// from_chars, without its sign and exponent. `chiffresEntiers` counts the
// significant digits before the point. Empty when no digit starts it.
std::string partieDecimale(const std::u16string &t, std::size_t &k, long &chiffresEntiers)
{
    std::string nombre;
    bool chiffre = false;
    for (; k < t.size() && estChiffre(t[k], 10); ++k) {
        chiffre = true;
        if (chiffresEntiers > 0 || t[k] != u'0')
            ++chiffresEntiers;
        nombre.push_back(char(t[k]));
    }
    // A point ends the integer digits even when no digit follows it ("1." or
    // "1.E2"); alone (".", ".E2") it starts no number.
    if (k < t.size() && t[k] == u'.' &&
        (chiffre || (k + 1 < t.size() && estChiffre(t[k + 1], 10)))) {
        nombre += chiffre ? "." : "0.";
        for (++k; k < t.size() && estChiffre(t[k], 10); ++k)
            nombre.push_back(char(t[k]));
        chiffre = true;
    }
    return chiffre ? nombre : std::string();
}

// The exponent at `k` ("E3", "d-2"), bounded; 0 when none is there.
long exposantA(const std::u16string &t, std::size_t k)
{
    if (k >= t.size() || ((t[k] | 0x20) != u'e' && (t[k] | 0x20) != u'd'))
        return 0;
    std::size_t e = k + 1;
    bool negatif = false;
    if (e < t.size() && (t[e] == u'+' || t[e] == u'-'))
        negatif = t[e++] == u'-';
    long exposant = 0;
    for (; e < t.size() && estChiffre(t[e], 10); ++e)
        exposant = std::min(exposant * 10 + (t[e] - u'0'), 100000L);
    return negatif ? -exposant : exposant;
}

} // namespace

double NombreDepuisTexte(QStringView texte)
{
    const std::u16string t = sansBlancs(texte);
    if (t.size() >= 2 && t[0] == u'&') {
        const char16_t p = t[1] | 0x20;
        if (p == u'h')
            return analyserEntierPrefixe(t, 16);
        if (p == u'o')
            return analyserEntierPrefixe(t, 8);
    }
    std::size_t k = 0;
    bool negatif = false;
    if (k < t.size() && (t[k] == u'+' || t[k] == u'-'))
        negatif = t[k++] == u'-';
    long chiffresEntiers = 0;
    std::string nombre = partieDecimale(t, k, chiffresEntiers);
    if (nombre.empty())
        return 0;
    const long exposant = exposantA(t, k);
    if (exposant != 0)
        nombre += 'e' + std::to_string(exposant);

    double valeur = 0;
    const auto [apres, erreur] =
        std::from_chars(nombre.data(), nombre.data() + nombre.size(), valeur);
    if (erreur == std::errc::result_out_of_range) {
        // Too large or too small for a double: the order of magnitude decides.
        valeur = chiffresEntiers + exposant > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negatif ? -valeur : valeur;
}

std::optional<std::int64_t> Arrondir(double valeur, std::int64_t min, std::int64_t max)
{
    // nearbyint rounds in the current mode, which is to nearest, ties to even.
    const double arrondi = std::nearbyint(valeur);
    if (!(arrondi >= double(min) && arrondi <= double(max)))
        return std::nullopt;
    return std::int64_t(arrondi);
}

QChar PremierCaractere(QStringView texte)
{
    return texte.isEmpty() ? QChar(u' ') : texte.front();
}

QString CodePoint(char32_t c)
{
    return QStringLiteral("U+%1").arg(uint(c), 4, 16, QChar(u'0')).toUpper();
}

namespace {

// The board's code page, Windows-1252: a character's byte, or 0 when it
// has none. ASCII and Latin-1 keep their codes; 0x80 to 0x9F hold the
// characters below, and the five codes Windows left unassigned there the
// control characters of the same codes, as the system's converter has it.
// A table of its own: the system's converter would load ICU and its data
// into the panel at start, for a few characters.
char octetCarte(char16_t c)
{
    static constexpr char16_t De80A9F[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (std::size_t k = 0; k < std::size(De80A9F); ++k)
        if (De80A9F[k] == c)
            return char(0x80 + k);
    return 0;
}

} // namespace

bool DirectionValide(QChar c)
{
    return !c.isSurrogate() && c.isPrint() && octetCarte(c.unicode()) != 0;
}

namespace {

// `valeur` in decimal, with zeros in front up to `largeur` digits. Every
// line of every run is made of these: no locale, one allocation.
QString enChiffres(std::uint32_t valeur, int largeur)
{
    char16_t chiffres[10]; // the most a 32-bit value has
    int n = 0;
    do {
        chiffres[n++] = char16_t(u'0' + valeur % 10);
        valeur /= 10;
    } while (valeur > 0);
    QString texte(std::max(largeur, n), u'0');
    QChar *curseur = texte.data() + texte.size();
    for (int k = 0; k < n; ++k)
        *--curseur = QChar(chiffres[k]);
    return texte;
}

} // namespace

QString TextePas(std::int32_t pas)
{
    if (pas < 0)
        return QStringLiteral("0000") + QString::number(pas);
    return enChiffres(std::uint32_t(pas), 5);
}

QString TexteVitesse(std::uint8_t vitesse)
{
    return enChiffres(vitesse, 3);
}

QString LigneAxe(const Axe &axe)
{
    QString ligne;
    ligne.reserve(11); // "A+00100:010", built in place
    return ligne.append(axe.Lettre)
        .append(axe.Direction)
        .append(TextePas(axe.Pas))
        .append(QChar(SeparateurLigne))
        .append(TexteVitesse(axe.Vitesse));
}

QByteArray FormerLigne(const QString &ligne)
{
    QByteArray octets;
    octets.reserve(ligne.size() + 1);
    for (qsizetype i = 0; i < ligne.size(); ++i) {
        const QChar c = ligne[i];
        if (c.isHighSurrogate() && i + 1 < ligne.size() && ligne[i + 1].isLowSurrogate())
            ++i; // one character beyond the code page
        octets.append(c.isSurrogate() ? '\0' : octetCarte(c.unicode()));
    }
    octets.append('\n');
    return octets;
}

} // namespace tarvik::core
