#include "core/reglages.h"

#include "core/axes.h"
#include "core/fichier_cles.h"
#include "core/langues.h"
#include "core/noms.h"

#include <QList>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace tarvik::core {

namespace {

using Genre = RefusValeur::Genre;

std::optional<RefusValeur> raisonValeur(const QString &valeur);
std::optional<RefusValeur> raisonLangue(const QString &valeur);
std::optional<RefusValeur> raisonOuiNon(const QString &valeur);

// The keys, each with where its value goes and what it may hold.
struct Cle {
    const char *nom;
    QString Reglages::*valeur;
    std::optional<RefusValeur> (*verifier)(const QString &valeur);
};
const Cle Cles[] = {{"port", &Reglages::port, raisonValeur},
                    {"langue", &Reglages::langue, raisonLangue},
                    {"designation", &Reglages::designation, raisonValeur},
                    {"journal_systeme", &Reglages::journalSysteme, raisonOuiNon},
                    {"dossier", &Reglages::dossier, raisonValeur}};

// The file's shape: its group, its keys, how they are listed.
const FormeCles &forme()
{
    static const FormeCles lue = [] {
        FormeCles f{.groupe = "[General]",
                    .fichier = FichierCles::Reglages,
                    .exemple = "port=/dev/ttyUSB0"};
        for (const Cle &cle : Cles)
            f.noms << cle.nom;
        for (int k = 1; k <= RecentsMax; ++k)
            f.noms << "recent" + QByteArray::number(k);
        return f;
    }();
    return lue;
}

// The longest device name a settings file holds.
constexpr qsizetype LongueurMaxValeur = 4096;

// What, in a value, other programs' settings would read otherwise than
// Tarvik: quotes, a variant, a list, an escape, a blank at either end;
// nothing when none of these.
std::optional<RefusValeur::Forme> formeEtrangere(const QString &valeur)
{
    using F = RefusValeur::Forme;
    if (valeur.startsWith(u'"'))
        return F::Guillemets;
    if (valeur.startsWith(u'@'))
        return F::Arobase;
    if (valeur.contains(u'\\'))
        return F::BarreInverse;
    if (valeur.contains(u','))
        return F::Virgule;
    if (valeur.front().isSpace() || valeur.back().isSpace())
        return F::BlancEnBordure;
    return std::nullopt;
}

// The first character of a value that a line cannot show: a control or
// format character; nothing when it has none.
std::optional<char16_t> invisible(const QString &valeur)
{
    const auto c = std::find_if(valeur.begin(), valeur.end(), [](QChar c) {
        return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
    });
    return c == valeur.end() ? std::nullopt : std::optional(c->unicode());
}

// Why a device name cannot be written, and read back exactly as it was, or
// nothing.
std::optional<RefusValeur> raisonValeur(const QString &valeur)
{
    RefusValeur refus{.genre = Genre::Vide};
    if (valeur.isEmpty())
        return refus;
    if (const auto forme = formeEtrangere(valeur)) {
        refus.genre = Genre::FormeEtrangere;
        refus.forme = *forme;
        return refus;
    }
#ifndef Q_OS_WIN
    if (!valeur.startsWith(u'/')) {
        refus.genre = Genre::CheminRelatif;
        return refus;
    }
#endif
    if (valeur.size() > LongueurMaxValeur) {
        refus.genre = Genre::TropLongue;
        refus.longueur = valeur.size();
        refus.max = LongueurMaxValeur;
        return refus;
    }
    if (const auto c = invisible(valeur)) {
        refus.genre = Genre::Invisible;
        refus.point = *c;
        return refus;
    }
    return std::nullopt;
}

std::optional<RefusValeur> raisonLangue(const QString &valeur)
{
    if (LangueDeCode(valeur))
        return std::nullopt;
    RefusValeur refus{.genre = Genre::LangueInconnue};
    refus.texte = NomLisible(valeur.left(40));
    return refus;
}

std::optional<RefusValeur> raisonOuiNon(const QString &valeur)
{
    if (valeur == QLatin1String("oui") || valeur == QLatin1String("non"))
        return std::nullopt;
    RefusValeur refus{.genre = Genre::NiOuiNiNon};
    refus.texte = NomLisible(valeur.left(40));
    return refus;
}

} // namespace

ReglagesAnalyses AnalyserReglages(const QByteArray &contenu)
{
    ReglagesAnalyses analyses;
    QStringList recents(RecentsMax);
    const auto refus = AnalyserCles(contenu, forme(), [&](qsizetype k, const QString &valeur) {
        if (k >= qsizetype(std::size(Cles))) { // recentN, a path
            auto raison = raisonValeur(valeur);
            if (!raison)
                recents[k - qsizetype(std::size(Cles))] = valeur;
            return raison;
        }
        auto raison = Cles[k].verifier(valeur);
        if (!raison)
            analyses.reglages.*(Cles[k].valeur) = valeur;
        return raison;
    });
    if (refus)
        return {{}, refus};
    for (const QString &chemin : std::as_const(recents)) // in their order, gaps closed, once each
        if (!chemin.isEmpty() && !analyses.reglages.recents.contains(chemin))
            analyses.reglages.recents << chemin;
    return analyses;
}

QByteArray FormerReglages(const Reglages &reglages, const QByteArray &avant)
{
    // An empty value takes its line away.
    return RecrireCles(avant, forme().groupe, forme().noms,
                       [&](qsizetype k, bool) -> std::optional<QByteArray> {
                           const qsizetype cles = qsizetype(std::size(Cles));
                           const QString valeur = k < cles ? reglages.*(Cles[k].valeur)
                                                           : reglages.recents.value(k - cles);
                           if (valeur.isEmpty())
                               return std::nullopt;
                           return OctetsLocaux(valeur);
                       });
}

QStringList AvecRecent(QStringList recents, const QString &chemin)
{
    recents.removeAll(chemin);
    recents.prepend(chemin);
    return recents.mid(0, RecentsMax);
}

bool JournalSystemeVoulu(const Reglages &reglages)
{
    return reglages.journalSysteme != QLatin1String("non");
}

std::optional<RefusValeur> VerifierChemin(const QString &chemin)
{
    return raisonValeur(chemin);
}

} // namespace tarvik::core
