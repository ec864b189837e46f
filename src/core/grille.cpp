#include "core/grille.h"

#include <algorithm>

namespace tarvik::core {

QString TexteLisible(QStringView texte)
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

namespace {

ValeurRefusee refuser(int numero, const QString &nom, Colonne colonne, const QString &texte,
                      const RefusCase &raison)
{
    ValeurRefusee refus;
    refus.axe = numero;
    refus.nom = nom;
    refus.colonne = colonne;
    refus.texte = texte;
    refus.raison = raison;
    return refus;
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
LectureCase lectureDuNombre(const QString &texte, const QString &champ)
{
    using G = LectureCase::Genre;
    LectureCase lecture{.genre = G::NombreDuDebut, .champ = champ};
    const QString sans = QString(texte).remove(u' ').remove(u'\t').remove(u'\n');
    if (texte.trimmed().isEmpty())
        lecture.genre = G::Vide;
    else if (sans.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
             sans.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) {
        lecture.genre = prefixeSansChiffre(sans) ? G::PrefixeSansChiffre : G::Prefixe;
        if (lecture.genre == G::PrefixeSansChiffre)
            lecture.prefixe = sans.first(2);
    } else if (sans != texte && queDesChiffres(sans))
        lecture.genre = G::BlancsIgnores;
    else if (!std::any_of(sans.begin(), sans.end(), chiffre))
        lecture.genre = G::AucunChiffre;
    else if (!commenceParUnNombre(sans))
        lecture.genre = G::PasUnNombreAuDebut;
    else if (const QString point = virguleDecimale(sans); !point.isEmpty()) {
        lecture.genre = G::VirguleDecimale;
        lecture.avecPoint = point;
    }
    return lecture;
}

// A number box: read, rounded, and in [min, max].
CaseVerifiee verifierNombre(Colonne colonne, const QString &texte, std::int64_t max)
{
    CaseVerifiee verifiee;
    const auto arrondi = Arrondir(NombreDepuisTexte(texte), 0, max);
    if (!arrondi) {
        verifiee.echec =
            RefusCase{.genre = colonne == Colonne::Pas ? RefusCase::Genre::PasHorsPlage
                                                       : RefusCase::Genre::VitesseHorsPlage};
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

// Why a value read from a box goes past the bench's limits, or nothing.
std::optional<RefusCase> horsDesLimites(Colonne colonne, const CaseVerifiee &lue,
                                        const LimitesAxe &limite)
{
    using G = RefusCase::Genre;
    RefusCase refus;
    if (colonne == Colonne::Pas && limite.pas && lue.valeur > *limite.pas) {
        refus.genre = G::LimitePas;
        refus.limite = *limite.pas;
        refus.niveau = limite.niveauPas;
    } else if (colonne == Colonne::Vitesse && limite.vitesse && lue.valeur > *limite.vitesse) {
        refus.genre = G::LimiteVitesse;
        refus.limite = *limite.vitesse;
        refus.niveau = limite.niveauVitesse;
    } else if (colonne == Colonne::Direction && limite.directions &&
               !limite.directions->contains(lue.direction)) {
        refus.genre = G::LimiteDirections;
        refus.directions = *limite.directions;
        refus.niveau = limite.niveauDirections;
    } else
        return std::nullopt;
    return refus;
}

CaseVerifiee verifierDansLaLigne(Colonne colonne, const QString &texte)
{
    if (colonne != Colonne::Direction)
        return verifierNombre(colonne, texte, colonne == Colonne::Pas ? PasMax : VitesseMax);
    CaseVerifiee verifiee;
    verifiee.direction = PremierCaractere(texte);
    if (!DirectionValide(verifiee.direction)) {
        verifiee.echec = RefusCase{.genre = RefusCase::Genre::DirectionInvalide};
        return verifiee;
    }
    verifiee.champ = QString(verifiee.direction);
    verifiee.telleQuelle = texte.size() == 1;
    if (texte.isEmpty())
        verifiee.lecture =
            LectureCase{.genre = LectureCase::Genre::DirectionVide, .champ = verifiee.champ};
    else if (!verifiee.telleQuelle)
        verifiee.lecture =
            LectureCase{.genre = LectureCase::Genre::PremierCaractere, .champ = verifiee.champ};
    return verifiee;
}

} // namespace

CaseVerifiee VerifierCase(Colonne colonne, const QString &texte, const LimitesAxe *limite,
                          bool stricte)
{
    CaseVerifiee verifiee = verifierDansLaLigne(colonne, texte);
    if (verifiee.echec)
        return verifiee;
    std::optional<RefusCase> hors;
    if (stricte && !verifiee.telleQuelle) {
        hors =
            RefusCase{.genre = colonne == Colonne::Direction ? RefusCase::Genre::StricteDirection
                                                             : RefusCase::Genre::StricteChiffres};
        if (colonne != Colonne::Direction)
            hors->lecture = verifiee.lecture;
    } else if (limite)
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
            verifiee.lues << CaseLue{
                .axe = numero, .nom = nom, .colonne = colonne, .texte = *texte, .champ = lue.champ};
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
