#include "sequence/axes.h"

#include <QStringEncoder>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

std::array<Axe, 8> Axes{};

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
double lireEntierPrefixe(const std::u16string &t, int base)
{
    double valeur = 0;
    for (std::size_t k = 2; k < t.size() && estChiffre(t[k], base); ++k) {
        const int chiffre = t[k] <= u'9' ? t[k] - u'0' : (t[k] | 0x20) - u'a' + 10;
        valeur = valeur * base + chiffre;
    }
    return valeur;
}

} // namespace

double NombreDepuisTexte(QStringView texte)
{
    std::u16string t;
    t.reserve(texte.size());
    for (QChar c : texte)
        if (c != u' ' && c != u'\t' && c != u'\n')
            t.push_back(c.unicode());

    if (t.size() >= 2 && t[0] == u'&') {
        const char16_t p = t[1] | 0x20;
        if (p == u'h')
            return lireEntierPrefixe(t, 16);
        if (p == u'o')
            return lireEntierPrefixe(t, 8);
    }

    // Copy the longest leading number into plain ASCII for from_chars.
    std::string nombre;
    std::size_t k = 0;
    bool negatif = false;
    if (k < t.size() && (t[k] == u'+' || t[k] == u'-'))
        negatif = t[k++] == u'-';
    long chiffresEntiers = 0; // significant digits before the point
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
    if (!chiffre)
        return 0;

    long exposant = 0;
    if (k < t.size() && ((t[k] | 0x20) == u'e' || (t[k] | 0x20) == u'd')) {
        std::size_t e = k + 1;
        bool expNegatif = false;
        if (e < t.size() && (t[e] == u'+' || t[e] == u'-'))
            expNegatif = t[e++] == u'-';
        if (e < t.size() && estChiffre(t[e], 10)) {
            for (; e < t.size() && estChiffre(t[e], 10); ++e)
                exposant = std::min(exposant * 10 + (t[e] - u'0'), 100000L);
            if (expNegatif)
                exposant = -exposant;
            nombre += 'e' + std::to_string(exposant);
        }
    }

    double valeur = 0;
    const auto [fin, erreur] =
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

QString CodePoint(QChar c)
{
    return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
}

namespace {

// The board's code page. Opening the converter costs more than a whole line
// of encoding, so each thread keeps one. Its error flag would stay set once
// raised: a character without a code becomes a NUL byte instead, which no
// printable character gives.
QStringEncoder &encodeurCarte()
{
    thread_local QStringEncoder encodeur("windows-1252",
                                         QStringConverter::Flag::Stateless |
                                             QStringConverter::Flag::ConvertInvalidToNull);
    return encodeur;
}

} // namespace

bool DirectionValide(QChar c)
{
    if (c.isSurrogate() || !c.isPrint())
        return false;
    const QByteArray octets = encodeurCarte().encode(QStringView(&c, 1));
    return octets.size() == 1 && octets[0] != '\0';
}

QString TextePas(std::int32_t pas)
{
    const char *prefixe = pas < 10      ? "0000"
                          : pas < 100   ? "000"
                          : pas < 1000  ? "00"
                          : pas < 10000 ? "0"
                                        : "";
    return QLatin1String(prefixe) + QString::number(pas);
}

QString TexteVitesse(std::uint8_t vitesse)
{
    return QString::number(vitesse).rightJustified(3, u'0');
}

QString LigneAxe(const Axe &axe)
{
    return QString(axe.Lettre) + axe.Direction + TextePas(axe.Pas) + u':' +
           TexteVitesse(axe.Vitesse);
}

QByteArray OctetsLigne(const Axe &axe)
{
    QByteArray octets = encodeurCarte().encode(LigneAxe(axe));
    octets.append('\n');
    return octets;
}

QString NomColonne(Colonne colonne)
{
    switch (colonne) {
    case Colonne::Pas:
        return QStringLiteral("Pas");
    case Colonne::Direction:
        return QStringLiteral("Direction");
    case Colonne::Vitesse:
        break;
    }
    return QStringLiteral("Vitesse");
}

namespace {

// The typed text as it can be shown in a message: control characters spelled
// out, long texts cut.
QString texteLisible(QStringView texte)
{
    constexpr qsizetype longueurMax = 40;
    QString lisible;
    for (QChar c : texte.left(longueurMax)) {
        if (c.isPrint() && !c.isSurrogate())
            lisible += c;
        else
            lisible += CodePoint(c);
    }
    if (texte.size() > longueurMax)
        lisible += u'…';
    return lisible;
}

ValeurRefusee refuser(int i, Colonne colonne, QStringView texte, const QString &raison)
{
    const QString axe = QStringLiteral("Axe %1").arg(i, 2, 10, QChar(u'0'));
    return {i, colonne, texte.toString(),
            QStringLiteral("Valeur refusée pour %1, colonne « %2 » : « %3 ».\n%4")
                .arg(axe, NomColonne(colonne), texteLisible(texte), raison)};
}

} // namespace

RangeeLue LireRangee(int i, QStringView direction, QStringView pas, QStringView vitesse)
{
    RangeeLue lue;
    lue.axe.Lettre = LettreAxe(i);

    lue.axe.Direction = PremierCaractere(direction);
    if (!DirectionValide(lue.axe.Direction)) {
        lue.refus = refuser(i, Colonne::Direction, direction,
                            QStringLiteral("La direction doit être un caractère imprimable "
                                           "de la page de code Windows-1252."));
        return lue;
    }

    const auto p = Arrondir(NombreDepuisTexte(pas), PasMin, PasMax);
    if (!p) {
        lue.refus = refuser(i, Colonne::Pas, pas,
                            QStringLiteral("Le nombre de pas doit être compris entre %1 et %2.")
                                .arg(PasMin)
                                .arg(PasMax));
        return lue;
    }
    lue.axe.Pas = std::int32_t(*p);

    const auto v = Arrondir(NombreDepuisTexte(vitesse), 0, VitesseMax);
    if (!v) {
        lue.refus =
            refuser(i, Colonne::Vitesse, vitesse,
                    QStringLiteral("La vitesse doit être comprise entre 0 et %1.").arg(VitesseMax));
        return lue;
    }
    lue.axe.Vitesse = std::uint8_t(*v);
    return lue;
}
