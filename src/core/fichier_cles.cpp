#include "core/fichier_cles.h"

#include "core/noms.h"

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
