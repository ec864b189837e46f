#include "core/fichier_cles.h"

#include "core/noms.h"

#include <QStringList>

#include <algorithm>

namespace tarvik::core {

namespace {

EchecCles ligne(int numero, EchecCles::Genre genre, const FormeCles &forme,
                const QString &texte = {}, const QString &cle = {})
{
    return {.genre = genre, .ligne = numero, .texte = texte, .cle = cle, .forme = forme};
}

// Why `texte`, whose key `nom` is none of the file's, is not understood:
// no '=', a key written in another case, or a key the file does not have.
EchecCles cleInconnue(int numero, const QString &texte, const QString &nom, const FormeCles &forme)
{
    using G = EchecCles::Genre;
    if (!texte.contains(u'='))
        return ligne(numero, G::SansEgal, forme, NomLisible(texte.left(40)));
    for (const QByteArray &connu : forme.noms)
        if (nom.compare(QLatin1String(connu), Qt::CaseInsensitive) == 0)
            return ligne(numero, G::Casse, forme, NomLisible(nom), QString::fromLatin1(connu));
    return ligne(numero, G::CleInconnue, forme, NomLisible(nom.left(40)));
}

} // namespace

QList<QString> LignesDeCles(const QByteArray &contenu)
{
    QList<QString> lignes;
    for (QByteArray ligne : contenu.split('\n')) {
        if (ligne.endsWith('\r'))
            ligne.chop(1);
        lignes << NomLocal(ligne);
    }
    return lignes;
}

QByteArray
RecrireCles(const QByteArray &avant, const QByteArray &groupe, const QList<QByteArray> &cles,
            const std::function<std::optional<QByteArray>(qsizetype k, bool surPlace)> &valeur)
{
    QList<QByteArray> lignes = (avant.isEmpty() ? groupe : avant).split('\n');
    if (lignes.size() > 1 && lignes.last().isEmpty())
        lignes.removeLast(); // what follows the last line's end
    QList<bool> vues(cles.size(), false);
    QByteArray octets;
    for (const QByteArray &ligne : lignes) {
        const auto cle = std::find_if(cles.begin(), cles.end(), [&](const QByteArray &nom) {
            return ligne.startsWith(nom + '=');
        });
        if (cle == cles.end()) {
            octets += ligne + '\n'; // comments, blank lines, the group: as they were
            continue;
        }
        const qsizetype k = cle - cles.begin();
        vues[k] = true;
        if (const auto v = valeur(k, true))
            octets += *cle + '=' + *v + (ligne.endsWith('\r') ? "\r\n" : "\n");
    }
    for (qsizetype k = 0; k < cles.size(); ++k)
        if (const auto v = vues[k] ? std::nullopt : valeur(k, false))
            octets += cles[k] + '=' + *v + '\n';
    return octets;
}

std::optional<EchecCles> AnalyserCles(
    const QByteArray &contenu, const FormeCles &forme,
    const std::function<std::optional<RefusValeur>(qsizetype k, const QString &valeur)> &lire)
{
    using G = EchecCles::Genre;
    if (contenu.startsWith("\xEF\xBB\xBF"))
        return ligne(1, G::Bom, forme);
    const QList<QString> lignes = LignesDeCles(contenu);
    QStringList vues;
    for (int n = 1; n <= lignes.size(); ++n) {
        const QString &texte = lignes[n - 1];
        if (texte.trimmed().isEmpty() || texte.startsWith(u';') || texte.startsWith(u'#') ||
            texte == QLatin1String(forme.groupe))
            continue;
        if (texte.startsWith(u'['))
            return ligne(n, G::GroupeInconnu, forme, NomLisible(texte.left(40)));
        const QString nom = texte.section(u'=', 0, 0);
        const auto cle = std::find_if(forme.noms.begin(), forme.noms.end(),
                                      [&](const QByteArray &c) { return nom == QLatin1String(c); });
        if (!texte.contains(u'=') || cle == forme.noms.end())
            return cleInconnue(n, texte, nom, forme);
        if (vues.contains(nom))
            return ligne(n, G::DeuxFois, forme, {}, nom);
        vues << nom;
        if (const auto raison = lire(cle - forme.noms.begin(), texte.mid(nom.size() + 1))) {
            EchecCles refus = ligne(n, G::Valeur, forme, {}, nom);
            refus.valeur = raison;
            return refus;
        }
    }
    return std::nullopt;
}

} // namespace tarvik::core
