#include "core/limites.h"

#include "core/fichier_cles.h"
#include "core/noms.h"

#include <QList>

#include <algorithm>

namespace tarvik::core {

namespace {

using Genre = RefusValeur::Genre;

// The names of ChampLimite's values, in its order.
const char *const NomsChamps[] = {"pas", "vitesse", "directions", "course"};

// A key of the file: `lecture`, or one limit of an axis ("A.pas").
struct Cle {
    int axe = -1; // 0 to 6; -1: lecture
    ChampLimite champ = ChampLimite::Pas;
    QByteArray nom() const
    {
        return axe < 0 ? QByteArray("lecture")
                       : QByteArray(1, char('A' + axe)) + '.' + NomsChamps[int(champ)];
    }
};

// Every key, in the order a new file holds them.
const QList<Cle> &cles()
{
    static const QList<Cle> toutes = [] {
        QList<Cle> liste{Cle{}};
        for (int axe = 0; axe < NombreAxes; ++axe)
            for (ChampLimite champ : {ChampLimite::Pas, ChampLimite::Vitesse,
                                      ChampLimite::Directions, ChampLimite::Course})
                liste.append({axe, champ});
        return liste;
    }();
    return toutes;
}

// A number in plain digits, at most `max`, into `lu`; `champ` names it.
std::optional<RefusValeur> analyserNombre(const QString &valeur, std::int32_t max,
                                          ChampLimite champ, std::optional<std::int32_t> &lu)
{
    RefusValeur refus{.genre = Genre::Vide};
    refus.champ = champ;
    refus.max = max;
    refus.texte = NomLisible(valeur.left(40));
    if (valeur.isEmpty())
        return refus;
    if (!std::all_of(valeur.begin(), valeur.end(),
                     [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        refus.genre = Genre::PasEnChiffres;
        return refus;
    }
    const auto debut =
        std::find_if(valeur.begin(), valeur.end(), [](QChar c) { return c != u'0'; });
    const QString significatifs = valeur.mid(debut - valeur.begin()); // empty for 0
    const qint64 nombre = significatifs.size() > 9 ? qint64(max) + 1 : significatifs.toLongLong();
    if (nombre > max) {
        refus.genre = Genre::Depasse;
        return refus;
    }
    lu = std::int32_t(nombre);
    return std::nullopt;
}

// One or more distinct directions, none of them blank, into `lues`.
std::optional<RefusValeur> analyserDirections(const QString &valeur, std::optional<QString> &lues)
{
    if (valeur.isEmpty())
        return RefusValeur{.genre = Genre::AucuneDirection};
    QList<char32_t> vues;
    for (qsizetype k = 0; k < valeur.size(); ++k) {
        char32_t c = valeur[k].unicode();
        const qsizetype debut = k;
        if (valeur[k].isHighSurrogate() && k + 1 < valeur.size() && valeur[k + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(valeur[k], valeur[k + 1]), ++k;
        RefusValeur refus{.genre = Genre::DirectionBlanche};
        refus.champ = ChampLimite::Directions;
        refus.texte = NomLisible(valeur.mid(debut, k - debut + 1));
        refus.point = c;
        if (c <= 0xFFFF && QChar(char16_t(c)).isSpace())
            return refus;
        if (c > 0xFFFF || !DirectionValide(QChar(char16_t(c)))) {
            refus.genre = Genre::DirectionImpossible;
            return refus;
        }
        if (vues.contains(c)) {
            refus.genre = Genre::DirectionDeuxFois;
            return refus;
        }
        vues << c;
    }
    lues = valeur;
    return std::nullopt;
}

std::optional<RefusValeur> analyserLecture(const QString &valeur, Limites &limites,
                                           NiveauLimite niveau)
{
    if (valeur != QLatin1String("stricte") && valeur != QLatin1String("souple")) {
        RefusValeur refus{.genre = Genre::LectureInconnue};
        refus.texte = NomLisible(valeur.left(40));
        return refus;
    }
    limites.stricte = valeur == QLatin1String("stricte");
    if (limites.stricte)
        limites.niveauStricte = niveau;
    return std::nullopt;
}

// The file's shape: its group, its keys, how they are listed.
const FormeCles &forme()
{
    static const FormeCles lue = [] {
        FormeCles f{
            .groupe = "[Limites]", .fichier = FichierCles::Limites, .exemple = "A.pas=5000"};
        for (const Cle &cle : cles())
            f.noms << cle.nom();
        return f;
    }();
    return lue;
}

// What a key's line holds for `limites`; nothing takes the line away.
// Loose reading is written only where the file said so already.
std::optional<QByteArray> valeurDe(const Cle &cle, const Limites &limites, bool surPlace)
{
    if (cle.axe < 0)
        return limites.stricte ? std::optional(QByteArray("stricte"))
               : surPlace      ? std::optional(QByteArray("souple"))
                               : std::nullopt;
    const LimitesAxe &axe = limites.axes[std::size_t(cle.axe)];
    switch (cle.champ) {
    case ChampLimite::Pas:
        return axe.pas ? std::optional(QByteArray::number(*axe.pas)) : std::nullopt;
    case ChampLimite::Vitesse:
        return axe.vitesse ? std::optional(QByteArray::number(*axe.vitesse)) : std::nullopt;
    case ChampLimite::Course:
        return axe.course ? std::optional(QByteArray::number(*axe.course)) : std::nullopt;
    case ChampLimite::Directions:
        break;
    }
    return axe.directions ? std::optional(axe.directions->toUtf8()) : std::nullopt;
}

// The lower of two bounds, with the level that set it; the first on a tie.
void plusBas(const std::optional<std::int32_t> &a, NiveauLimite niveauA,
             const std::optional<std::int32_t> &b, NiveauLimite niveauB,
             std::optional<std::int32_t> &retenu, NiveauLimite &niveau)
{
    if (a && (!b || *a <= *b))
        retenu = a, niveau = niveauA;
    else if (b)
        retenu = b, niveau = niveauB;
}

// The directions both allow, in the first's order, with the level that set
// them: the first's when it allows no more than the second.
void communes(const std::optional<QString> &a, NiveauLimite niveauA,
              const std::optional<QString> &b, NiveauLimite niveauB,
              std::optional<QString> &retenues, NiveauLimite &niveau)
{
    if (a && b) {
        QString deux;
        for (QChar c : *a)
            if (b->contains(c))
                deux += c;
        niveau = deux.size() == a->size() ? niveauA : niveauB;
        retenues = deux;
    } else if (a || b) {
        retenues = a ? a : b;
        niveau = a ? niveauA : niveauB;
    }
}

} // namespace

std::optional<RefusValeur> AnalyserLimite(ChampLimite champ, const QString &valeur, LimitesAxe &axe,
                                          NiveauLimite niveau)
{
    std::optional<RefusValeur> raison;
    switch (champ) {
    case ChampLimite::Pas:
        if (!(raison = analyserNombre(valeur, PasMax, champ, axe.pas)))
            axe.niveauPas = niveau;
        break;
    case ChampLimite::Vitesse:
        if (!(raison = analyserNombre(valeur, VitesseMax, champ, axe.vitesse)))
            axe.niveauVitesse = niveau;
        break;
    case ChampLimite::Directions:
        if (!(raison = analyserDirections(valeur, axe.directions)))
            axe.niveauDirections = niveau;
        break;
    case ChampLimite::Course:
        if (!(raison = analyserNombre(valeur, CourseMax, champ, axe.course)))
            axe.niveauCourse = niveau;
        break;
    }
    return raison;
}

LimitesAnalysees AnalyserLimites(const QByteArray &contenu, NiveauLimite niveau)
{
    LimitesAnalysees analysees;
    Limites &lues = analysees.limites;
    const auto refus = AnalyserCles(contenu, forme(), [&](qsizetype k, const QString &valeur) {
        const Cle &cle = cles()[k];
        return cle.axe < 0
                   ? analyserLecture(valeur, lues, niveau)
                   : AnalyserLimite(cle.champ, valeur, lues.axes[std::size_t(cle.axe)], niveau);
    });
    if (refus)
        return {{}, refus};
    return analysees;
}

QByteArray FormerLimites(const Limites &limites, const QByteArray &avant)
{
    return RecrireCles(avant, forme().groupe, forme().noms, [&](qsizetype k, bool surPlace) {
        return valeurDe(cles()[k], limites, surPlace);
    });
}

Limites PlusStrictes(const Limites &machine, const Limites &operateur)
{
    Limites retenues;
    for (std::size_t k = 0; k < retenues.axes.size(); ++k) {
        const LimitesAxe &m = machine.axes[k], &o = operateur.axes[k];
        LimitesAxe &r = retenues.axes[k];
        plusBas(m.pas, m.niveauPas, o.pas, o.niveauPas, r.pas, r.niveauPas);
        plusBas(m.vitesse, m.niveauVitesse, o.vitesse, o.niveauVitesse, r.vitesse, r.niveauVitesse);
        plusBas(m.course, m.niveauCourse, o.course, o.niveauCourse, r.course, r.niveauCourse);
        communes(m.directions, m.niveauDirections, o.directions, o.niveauDirections, r.directions,
                 r.niveauDirections);
    }
    retenues.stricte = machine.stricte || operateur.stricte;
    if (retenues.stricte)
        retenues.niveauStricte = machine.stricte ? machine.niveauStricte : operateur.niveauStricte;
    return retenues;
}

} // namespace tarvik::core
