#include "core/grille.h"

#include <QCoreApplication>

#include <algorithm>

namespace tarvik::core {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Grille)
};

} // namespace

QString NomColonne(Colonne colonne)
{
    switch (colonne) {
    case Colonne::Pas:
        return Mots::tr("Pas");
    case Colonne::Direction:
        return Mots::tr("Direction");
    case Colonne::Vitesse:
        break;
    }
    return Mots::tr("Vitesse");
}

namespace {

// The typed text as it can be shown in a message: each character as itself
// when it prints, else spelled out (U+0009), long texts cut.
QString texteLisible(QStringView texte)
{
    constexpr qsizetype longueurMax = 40;
    const QList<uint> points = texte.toUcs4();
    QString lisible;
    for (qsizetype k = 0; k < points.size() && k < longueurMax; ++k) {
        const char32_t c = points[k];
        if (QChar::isPrint(c) && !QChar::isSurrogate(c))
            lisible += QString::fromUcs4(&c, 1);
        else
            lisible += CodePoint(c);
    }
    if (points.size() > longueurMax)
        lisible += u'…';
    return lisible;
}

// "Rotation base (B)", "Axe 02 (B)"
QString nomAvecLettre(int numero, const QString &nom)
{
    return QStringLiteral("%1 (%2)")
        .arg(nom.isEmpty() ? NomAxe(numero) : nom)
        .arg(LettreAxe(numero));
}

ValeurRefusee refuser(int numero, const QString &nom, Colonne colonne, const QString &texte,
                      const QString &raison)
{
    ValeurRefusee refus;
    refus.message =
        Mots::tr("Valeur refusée pour %1, colonne « %2 » : « %3 ».\n%4")
            .arg(nomAvecLettre(numero, nom), NomColonne(colonne), texteLisible(texte), raison);
    refus.axe = numero;
    refus.colonne = colonne;
    refus.texte = texte;
    refus.ligne = Mots::tr("%1, %2 : « %3 » — %4")
                      .arg(nomAvecLettre(numero, nom), NomColonne(colonne), texteLisible(texte),
                           raison.isEmpty() ? raison : raison.front().toLower() + raison.mid(1));
    return refus;
}

// What will go out of a box that does not go out as typed.
CaseLue lire(int numero, const QString &nom, Colonne colonne, const QString &texte,
             const CaseVerifiee &lue)
{
    const QString part = lue.champ == QStringLiteral(" ")
                             ? Mots::tr("une espace")
                             : Mots::tr("« %1 »").arg(texteLisible(lue.champ));
    const QString ou = nomAvecLettre(numero, nom), quelle = NomColonne(colonne);
    return {numero, colonne,
            texte.isEmpty() ? Mots::tr("%1, %2 : case vide, partira comme %3").arg(ou, quelle, part)
                            : Mots::tr("%1, %2 : « %3 » partira comme %4")
                                  .arg(ou, quelle, texteLisible(texte), part)};
}

bool queDesChiffres(const QString &texte)
{
    return !texte.isEmpty() &&
           std::all_of(texte.begin(), texte.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool chiffre(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Where the digits of a text without its blanks start, after its sign.
qsizetype apresLeSigne(const QString &sans)
{
    return sans.startsWith(u'+') || sans.startsWith(u'-') ? 1 : 0;
}

// Whether a text without its blanks starts with the number it is read as:
// a sign, then digits, or a point and digits.
bool commenceParUnNombre(const QString &sans)
{
    const qsizetype k = apresLeSigne(sans);
    return (k < sans.size() && chiffre(sans[k])) ||
           (k + 1 < sans.size() && sans[k] == u'.' && chiffre(sans[k + 1]));
}

// "&H" or "&O" with no digit of its base after it: read as 0.
bool prefixeSansChiffre(const QString &sans)
{
    const QChar c = sans.size() > 2 ? sans[2].toUpper() : QChar();
    const bool hexadecimal = sans[1].toUpper() == u'H';
    return !(c >= u'0' && c <= (hexadecimal ? u'9' : u'7')) &&
           !(hexadecimal && c >= u'A' && c <= u'F');
}

// The text with the comma that ends its leading number made a point, when
// a digit follows the comma ("12,7" for "12.7"); empty otherwise.
QString virguleDecimale(const QString &sans)
{
    qsizetype k = apresLeSigne(sans);
    while (k < sans.size() && chiffre(sans[k]))
        ++k;
    if (k == apresLeSigne(sans) || k + 1 >= sans.size() || sans[k] != u',' || !chiffre(sans[k + 1]))
        return {};
    return QString(sans).replace(k, 1, u'.');
}

// How a number box's text is read, when that is not as typed.
QString lectureDuNombre(const QString &texte, const QString &champ)
{
    const QString sans = QString(texte).remove(u' ').remove(u'\t').remove(u'\n');
    if (texte.trimmed().isEmpty())
        return Mots::tr("case vide, lue comme %1").arg(champ);
    if (sans.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
        sans.startsWith(QLatin1String("&O"), Qt::CaseInsensitive))
        return prefixeSansChiffre(sans)
                   ? Mots::tr("lu comme %1 : « %2 » annonce un nombre hexadécimal ou octal, "
                              "et aucun de ses chiffres ne le suit")
                         .arg(champ, sans.first(2))
                   : Mots::tr("lu comme %1 : « &H » et « &O » annoncent un nombre "
                              "hexadécimal ou octal")
                         .arg(champ);
    if (sans != texte && queDesChiffres(sans))
        return Mots::tr("lu comme %1 : les blancs sont ignorés").arg(champ);
    if (!std::any_of(sans.begin(), sans.end(), chiffre))
        return Mots::tr("lu comme %1 : la case ne contient aucun chiffre, et une case sans "
                        "nombre vaut 0")
            .arg(champ);
    if (!commenceParUnNombre(sans))
        return Mots::tr("lu comme %1 : la case ne commence pas par un nombre, et seul un "
                        "nombre au début est lu (sans lui, elle vaut 0)")
            .arg(champ);
    if (const QString point = virguleDecimale(sans); !point.isEmpty())
        return Mots::tr("lu comme %1 : la virgule arrête le nombre ; une décimale s'écrit "
                        "avec un point (« %2 »)")
            .arg(champ, point);
    return Mots::tr("lu comme %1 : seul le nombre du début est lu, puis arrondi").arg(champ);
}

// A number box: read, rounded, and in [min, max].
CaseVerifiee verifierNombre(Colonne colonne, const QString &texte, std::int64_t max)
{
    CaseVerifiee verifiee;
    const auto arrondi = Arrondir(NombreDepuisTexte(texte), 0, max);
    if (!arrondi) {
        verifiee.echec =
            colonne == Colonne::Pas
                ? Mots::tr("Le nombre de pas doit être compris entre %1 et %2")
                      .arg(PasMin)
                      .arg(PasMax)
                : Mots::tr("La vitesse doit être comprise entre 0 et %1").arg(VitesseMax);
        return verifiee;
    }
    verifiee.valeur = *arrondi;
    verifiee.champ = colonne == Colonne::Pas ? TextePas(std::int32_t(*arrondi))
                                             : TexteVitesse(std::uint8_t(*arrondi));
    verifiee.telleQuelle = queDesChiffres(texte);
    if (!verifiee.telleQuelle)
        verifiee.lecture = lectureDuNombre(texte, verifiee.champ);
    return verifiee;
}

// Who set a limit, as a message says it.
QString deQui(NiveauLimite niveau)
{
    return niveau == NiveauLimite::Machine ? Mots::tr("limite de la machine")
                                           : Mots::tr("votre limite");
}

// Why a value read from a box goes past the bench's limits, or nothing.
std::optional<QString> horsDesLimites(Colonne colonne, const CaseVerifiee &lue,
                                      const LimitesAxe &limite)
{
    if (colonne == Colonne::Pas && limite.pas && lue.valeur > *limite.pas)
        return Mots::tr("Cet axe va jusqu'à %n pas au plus (%1)", nullptr, *limite.pas)
            .arg(deQui(limite.niveauPas));
    if (colonne == Colonne::Vitesse && limite.vitesse && lue.valeur > *limite.vitesse)
        return Mots::tr("Cet axe va jusqu'à la vitesse %1 au plus (%2)")
            .arg(*limite.vitesse)
            .arg(deQui(limite.niveauVitesse));
    if (colonne == Colonne::Direction && limite.directions &&
        !limite.directions->contains(lue.direction))
        return Mots::tr("Cet axe n'accepte que les directions « %1 » (%2)")
            .arg(*limite.directions, deQui(limite.niveauDirections));
    return std::nullopt;
}

CaseVerifiee verifierDansLaLigne(Colonne colonne, const QString &texte)
{
    if (colonne != Colonne::Direction)
        return verifierNombre(colonne, texte, colonne == Colonne::Pas ? PasMax : VitesseMax);
    CaseVerifiee verifiee;
    verifiee.direction = PremierCaractere(texte);
    if (!DirectionValide(verifiee.direction)) {
        verifiee.echec = Mots::tr("La direction doit être un caractère imprimable de la page de "
                                  "code Windows-1252");
        return verifiee;
    }
    verifiee.champ = QString(verifiee.direction);
    verifiee.telleQuelle = texte.size() == 1;
    if (texte.isEmpty())
        verifiee.lecture = Mots::tr("case vide, envoyée comme une espace");
    else if (!verifiee.telleQuelle)
        verifiee.lecture = Mots::tr("seul le premier caractère part : « %1 »").arg(verifiee.champ);
    return verifiee;
}

} // namespace

CaseVerifiee VerifierCase(Colonne colonne, const QString &texte, const LimitesAxe *limite,
                          bool stricte)
{
    CaseVerifiee verifiee = verifierDansLaLigne(colonne, texte);
    if (verifiee.echec)
        return verifiee;
    std::optional<QString> hors;
    if (stricte && !verifiee.telleQuelle)
        hors = colonne == Colonne::Direction
                   ? Mots::tr("La lecture stricte du banc demande exactement un caractère")
                   : Mots::tr("La lecture stricte du banc demande des chiffres seulement (%1)")
                         .arg(verifiee.lecture);
    else if (limite)
        hors = horsDesLimites(colonne, verifiee, *limite);
    if (hors) {
        verifiee.echec = hors;
        verifiee.horsLimite = true;
        verifiee.champ.clear();
    }
    return verifiee;
}

QStringList Grille::lignes() const
{
    QStringList lignes;
    for (const Axe &axe : m_axes)
        lignes << LigneAxe(axe);
    return lignes;
}

RangeeVerifiee VerifierRangee(int numero, const TextesRangee &textes, const QString &nom,
                              const Limites *limites)
{
    RangeeVerifiee verifiee;
    verifiee.axe.Lettre = LettreAxe(numero);
    // The direction first, then the steps, then the speed.
    const std::pair<Colonne, const QString *> cases[] = {{Colonne::Direction, &textes.direction},
                                                         {Colonne::Pas, &textes.pas},
                                                         {Colonne::Vitesse, &textes.vitesse}};
    for (const auto &[colonne, texte] : cases) {
        const CaseVerifiee lue = VerifierCase(
            colonne, *texte, limites ? &limites->axes[std::size_t(numero - 1)] : nullptr,
            limites && limites->stricte);
        if (lue.echec) {
            verifiee.echecs << refuser(numero, nom, colonne, *texte, *lue.echec);
            verifiee.echecs.last().horsLimite = lue.horsLimite;
            verifiee.mouvementLu =
                verifiee.mouvementLu && (lue.horsLimite || colonne == Colonne::Vitesse);
            if (!lue.horsLimite)
                continue;
        } else if (!lue.telleQuelle)
            verifiee.lues << lire(numero, nom, colonne, *texte, lue);
        if (colonne == Colonne::Direction)
            verifiee.axe.Direction = lue.direction;
        else if (colonne == Colonne::Pas)
            verifiee.axe.Pas = std::int32_t(lue.valeur);
        else
            verifiee.axe.Vitesse = std::uint8_t(lue.valeur);
    }
    if (!verifiee.echecs.isEmpty())
        verifiee.echec = verifiee.echecs.first();
    return verifiee;
}

GrilleVerifiee VerifierGrille(const TextesGrille &textes, const NomsAxes &noms,
                              const Limites *limites)
{
    GrilleVerifiee verifiee;
    std::array<Axe, NombreAxes> axes{};
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        const std::size_t k = std::size_t(numero - 1);
        const RangeeVerifiee rangee = VerifierRangee(numero, textes[k], noms[k], limites);
        verifiee.echecs += rangee.echecs;
        verifiee.lues += rangee.lues;
        axes[k] = rangee.axe;
        verifiee.mouvementsLus[k] = rangee.mouvementLu;
    }
    verifiee.axes = axes;
    if (!verifiee.echecs.isEmpty())
        verifiee.echec = verifiee.echecs.first();
    else
        verifiee.grille = Grille(axes);
    return verifiee;
}

QList<ValeurRefusee> VerifierLimites(const Grille &grille, const Limites &limites,
                                     const NomsAxes &noms)
{
    // Its fields as a box would hold them, through the boxes' own check.
    QList<ValeurRefusee> refus;
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        const Axe &axe = grille.axe(numero);
        const LimitesAxe &limite = limites.axes[std::size_t(numero - 1)];
        const std::pair<Colonne, QString> cases[] = {{Colonne::Direction, QString(axe.Direction)},
                                                     {Colonne::Pas, TextePas(axe.Pas)},
                                                     {Colonne::Vitesse, TexteVitesse(axe.Vitesse)}};
        for (const auto &[colonne, texte] : cases) {
            if (const CaseVerifiee lue = VerifierCase(colonne, texte, &limite); lue.echec) {
                refus << refuser(numero, noms[std::size_t(numero - 1)], colonne, texte, *lue.echec);
                refus.last().horsLimite = true;
            }
        }
    }
    return refus;
}

} // namespace tarvik::core
