#include "core/reglages.h"

#include "core/axes.h"
#include "core/fichier_cles.h"
#include "core/langues.h"
#include "core/noms.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace tarvik::core {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Reglages)
};

std::optional<Echec> raisonValeur(const QString &valeur);
std::optional<Echec> raisonLangue(const QString &valeur);
std::optional<Echec> raisonOuiNon(const QString &valeur);

// The keys, each with where its value goes and what it may hold.
struct Cle {
    const char *nom;
    QString Reglages::*valeur;
    std::optional<Echec> (*verifier)(const QString &valeur);
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
        FormeCles f{"[General]", {}, {}, "port=/dev/ttyUSB0"};
        for (const Cle &cle : Cles)
            f.noms << cle.nom;
        for (int k = 1; k <= RecentsMax; ++k)
            f.noms << "recent" + QByteArray::number(k);
        f.nomsDits = QString::fromLatin1(f.noms.join(", "));
        return f;
    }();
    return lue;
}

// The longest device name a settings file holds.
constexpr qsizetype LongueurMaxValeur = 4096;

// What, in a value, other programs' settings would read otherwise than
// Tarvik: quotes, a variant, a list, an escape, a blank at either end;
// empty when none of these.
QString formeEtrangere(const QString &valeur)
{
    if (valeur.startsWith(u'"'))
        return Mots::tr("des guillemets en tête");
    if (valeur.startsWith(u'@'))
        return Mots::tr("« @ » en tête, comme un @Variant");
    if (valeur.contains(u'\\'))
        return Mots::tr("une barre oblique inverse");
    if (valeur.contains(u','))
        return Mots::tr("une virgule, comme une liste");
    if (valeur.front().isSpace() || valeur.back().isSpace())
        return Mots::tr("un blanc en bordure");
    return {};
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
std::optional<Echec> raisonValeur(const QString &valeur)
{
    if (valeur.isEmpty())
        return Echec{Mots::tr("valeur vide")};
    if (const QString forme = formeEtrangere(valeur); !forme.isEmpty())
        return Echec{
            Mots::tr("valeur écrite sous une forme que Tarvik ne lit pas : %1").arg(forme)};
#ifndef Q_OS_WIN
    if (!valeur.startsWith(u'/'))
        return Echec{Mots::tr("c'est un chemin relatif, qui mènerait ailleurs selon le dossier "
                              "d'où le programme est lancé : le chemin doit partir de la "
                              "racine (/)")};
#endif
    if (valeur.size() > LongueurMaxValeur)
        return Echec{Mots::tr("valeur de %1 caractères, %2 au plus")
                         .arg(valeur.size())
                         .arg(LongueurMaxValeur)};
    if (const auto c = invisible(valeur))
        return Echec{
            Mots::tr("caractère de contrôle ou invisible (%1) dans la valeur").arg(CodePoint(*c))};
    return std::nullopt;
}

std::optional<Echec> raisonLangue(const QString &valeur)
{
    if (LangueDeCode(valeur))
        return std::nullopt;
    return Echec{Mots::tr("langue inconnue « %1 » (%2)")
                     .arg(NomLisible(valeur.left(40)), CodesDesLangues())};
}

std::optional<Echec> raisonOuiNon(const QString &valeur)
{
    if (valeur == QLatin1String("oui") || valeur == QLatin1String("non"))
        return std::nullopt;
    return Echec{Mots::tr("« %1 » au lieu de oui ou non").arg(NomLisible(valeur.left(40)))};
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

std::optional<Echec> VerifierChemin(const QString &chemin)
{
    return raisonValeur(chemin);
}

} // namespace tarvik::core
