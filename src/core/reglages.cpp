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

namespace {

// The texts of this file, in the operator's language.
struct Textes {
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
                    {"journal_systeme", &Reglages::journalSysteme, raisonOuiNon}};

// "port, langue"
QString nomsDesCles()
{
    QStringList noms;
    for (const Cle &cle : Cles)
        noms << QLatin1String(cle.nom);
    return noms.join(QStringLiteral(", "));
}

Echec ligneReglage(int numero, const QString &raison)
{
    return {Textes::tr("ligne %1 : %2").arg(numero).arg(raison)};
}

// The longest device name a settings file holds.
constexpr qsizetype LongueurMaxValeur = 4096;

// What, in a value, other programs' settings would read otherwise than
// Tarvik: quotes, a variant, a list, an escape, a blank at either end;
// empty when none of these.
QString formeEtrangere(const QString &valeur)
{
    if (valeur.startsWith(u'"'))
        return Textes::tr("des guillemets en tête");
    if (valeur.startsWith(u'@'))
        return Textes::tr("« @ » en tête, comme un @Variant");
    if (valeur.contains(u'\\'))
        return Textes::tr("une barre oblique inverse");
    if (valeur.contains(u','))
        return Textes::tr("une virgule, comme une liste");
    if (valeur.front().isSpace() || valeur.back().isSpace())
        return Textes::tr("un blanc en bordure");
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
        return Echec{Textes::tr("valeur vide")};
    if (const QString forme = formeEtrangere(valeur); !forme.isEmpty())
        return Echec{
            Textes::tr("valeur écrite sous une forme que Tarvik ne lit pas : %1").arg(forme)};
#ifndef Q_OS_WIN
    if (!valeur.startsWith(u'/'))
        return Echec{Textes::tr("c'est un chemin relatif, qui mènerait ailleurs selon le dossier "
                                "d'où le programme est lancé : le chemin doit partir de la "
                                "racine (/)")};
#endif
    if (valeur.size() > LongueurMaxValeur)
        return Echec{Textes::tr("valeur de %1 caractères, %2 au plus")
                         .arg(valeur.size())
                         .arg(LongueurMaxValeur)};
    if (const auto c = invisible(valeur))
        return Echec{Textes::tr("caractère de contrôle ou invisible (%1) dans la valeur")
                         .arg(CodePoint(*c))};
    return std::nullopt;
}

std::optional<Echec> raisonLangue(const QString &valeur)
{
    if (LangueDeCode(valeur))
        return std::nullopt;
    return Echec{Textes::tr("langue inconnue « %1 » (%2)")
                     .arg(NomLisible(valeur.left(40)), CodesDesLangues())};
}

std::optional<Echec> raisonOuiNon(const QString &valeur)
{
    if (valeur == QLatin1String("oui") || valeur == QLatin1String("non"))
        return std::nullopt;
    return Echec{Textes::tr("« %1 » au lieu de oui ou non").arg(NomLisible(valeur.left(40)))};
}

// Why the line `texte`, whose key `cle` is none the file has, is not
// understood: no '=', a key written in another case, or an unknown key.
Echec cleInconnue(int numero, const QString &texte, const QString &cle)
{
    if (!texte.contains(u'='))
        return ligneReglage(numero, Textes::tr("« = » manque dans « %1 » : une ligne s'écrit "
                                               "clé=valeur, comme port=/dev/ttyUSB0")
                                        .arg(NomLisible(texte.left(40))));
    for (const Cle &connue : Cles)
        if (cle.compare(QLatin1String(connue.nom), Qt::CaseInsensitive) == 0)
            return ligneReglage(numero, Textes::tr("clé « %1 » : écrivez « %2 », les clés "
                                                   "distinguent majuscules et minuscules")
                                            .arg(NomLisible(cle), QLatin1String(connue.nom)));
    return ligneReglage(numero, Textes::tr("clé inconnue « %1 » (les clés sont %2)")
                                    .arg(NomLisible(cle.left(40)), nomsDesCles()));
}

// Parses one line `texte` (number `numero`) into `lus`; `vues` are the keys
// read so far. Why it is not understood, or nothing.
std::optional<Echec> analyserLigne(int numero, const QString &texte, Reglages &lus,
                                   QStringList &vues)
{
    if (texte.trimmed().isEmpty() || texte.startsWith(u';') || texte.startsWith(u'#') ||
        texte == QLatin1String("[General]"))
        return std::nullopt;
    if (texte.startsWith(u'['))
        return ligneReglage(numero, Textes::tr("groupe inconnu « %1 » (le seul groupe est "
                                               "[General])")
                                        .arg(NomLisible(texte.left(40))));
    const QString cle = texte.section(u'=', 0, 0);
    const auto connue = std::find_if(std::begin(Cles), std::end(Cles),
                                     [&](const Cle &c) { return cle == QLatin1String(c.nom); });
    if (!texte.contains(u'=') || connue == std::end(Cles))
        return cleInconnue(numero, texte, cle);
    if (vues.contains(cle))
        return ligneReglage(numero, Textes::tr("« %1 » est donnée deux fois").arg(cle));
    vues << cle;
    const QString valeur = texte.mid(cle.size() + 1);
    if (auto raison = connue->verifier(valeur))
        return Echec{Textes::tr("ligne %1 (%2) : %3").arg(numero).arg(cle, raison->message)};
    lus.*(connue->valeur) = valeur;
    return std::nullopt;
}

} // namespace

ReglagesAnalyses AnalyserReglages(const QByteArray &contenu)
{
    if (contenu.startsWith("\xEF\xBB\xBF"))
        return {{},
                Echec{Textes::tr("marque d'ordre des octets (BOM) au début du fichier : "
                                 "enregistrez-le en UTF-8 sans BOM")}};
    ReglagesAnalyses analyses;
    QStringList vues;
    const QList<QString> lignes = LignesDeCles(contenu);
    for (int k = 0; k < lignes.size(); ++k)
        if (auto refus = analyserLigne(k + 1, lignes[k], analyses.reglages, vues))
            return {{}, refus};
    return analyses;
}

QByteArray FormerReglages(const Reglages &reglages, const QByteArray &avant)
{
    QList<QByteArray> noms;
    for (const Cle &cle : Cles)
        noms << cle.nom;
    // An empty value takes its line away.
    return RecrireCles(avant, "[General]", noms,
                       [&](qsizetype k, bool) -> std::optional<QByteArray> {
                           const QString &valeur = reglages.*(Cles[k].valeur);
                           if (valeur.isEmpty())
                               return std::nullopt;
                           return OctetsLocaux(valeur);
                       });
}

bool JournalSystemeVoulu(const Reglages &reglages)
{
    return reglages.journalSysteme != QLatin1String("non");
}

std::optional<Echec> VerifierChemin(const QString &chemin)
{
    return raisonValeur(chemin);
}
