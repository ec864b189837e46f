#include "core/reglages.h"

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
                    {"journal_systeme", &Reglages::journalSysteme, raisonOuiNon},
                    {"dossier", &Reglages::dossier, raisonValeur}};

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

// A device name as a settings file may hold it: a path of reasonable length
// with nothing unprintable in it.
bool nomUtilisable(const QString &nom)
{
    return nom.size() <= 4096 && std::none_of(nom.begin(), nom.end(), [](QChar c) {
               return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
           });
}

// Why a device name cannot be written, and read back exactly as it was, or
// nothing.
std::optional<Echec> raisonValeur(const QString &valeur)
{
    if (valeur.isEmpty())
        return Echec{Textes::tr("valeur vide")};
    if (valeur.startsWith(u'"') || valeur.startsWith(u'@') || valeur.contains(u'\\') ||
        valeur.contains(u',') || valeur.front().isSpace() || valeur.back().isSpace())
        return Echec{Textes::tr("valeur écrite sous une forme que Tarvik ne lit pas "
                                "(guillemets, @Variant, liste, barre oblique inverse ou "
                                "espace en bordure)")};
#ifndef Q_OS_WIN
    if (!valeur.startsWith(u'/'))
        return Echec{Textes::tr("c'est un chemin relatif, qui mènerait ailleurs selon le dossier "
                                "d'où le programme est lancé : le chemin doit partir de la "
                                "racine (/)")};
#endif
    if (!nomUtilisable(valeur))
        return Echec{Textes::tr("valeur trop longue, ou qui contient un caractère de "
                                "contrôle")};
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

// Parses one line `texte` (number `numero`) into `lus`; `vues` are the keys
// read so far. Why it is not understood, or nothing.
std::optional<Echec> analyserLigne(int numero, const QString &texte, Reglages &lus,
                                   QStringList &vues)
{
    if (texte.trimmed().isEmpty() || texte.startsWith(u';') || texte.startsWith(u'#') ||
        texte == QLatin1String("[General]"))
        return std::nullopt;
    if (texte.startsWith(u'['))
        return ligneReglage(numero, Textes::tr("groupe inconnu « %1 »").arg(NomLisible(texte)));
    const QString cle = texte.section(u'=', 0, 0);
    const auto connue = std::find_if(std::begin(Cles), std::end(Cles),
                                     [&](const Cle &c) { return cle == QLatin1String(c.nom); });
    if (!texte.contains(u'=') || connue == std::end(Cles))
        return ligneReglage(numero, Textes::tr("clé inconnue « %1 » (les clés sont %2)")
                                        .arg(NomLisible(texte.left(40)), nomsDesCles()));
    if (vues.contains(cle))
        return ligneReglage(numero, Textes::tr("« %1 » est donnée deux fois").arg(cle));
    vues << cle;
    const QString valeur = texte.mid(cle.size() + 1);
    if (auto raison = connue->verifier(valeur))
        return ligneReglage(numero, raison->message);
    lus.*(connue->valeur) = valeur;
    return std::nullopt;
}

} // namespace

ReglagesAnalyses AnalyserReglages(const QByteArray &contenu)
{
    if (contenu.startsWith("\xEF\xBB\xBF"))
        return {{}, Echec{Textes::tr("marque d'ordre des octets (BOM) au début du fichier")}};
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
