#include "app/phrases_poste.h"

#include "app/formulation.h"

#include <QCoreApplication>

#include <algorithm>

namespace tarvik::app {

namespace {

// The texts of the station, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Poste)
};

// "3 autres valeurs refusées". French has no catalogue: its plural is
// chosen here, another language's by its own.
QString autresValeurs(qsizetype n)
{
    return n < 2 ? Mots::tr("%n autre valeur refusée, non reprise ici", nullptr, int(n))
                 : Mots::tr("%n autres valeurs refusées, non reprises ici", nullptr, int(n));
}

} // namespace

QString BilanEnvoi(const DeroulementEnvoi &deroulement)
{
    const QString parties = EtapesEnvoyees(deroulement.resultat, deroulement.cycles);
    const auto prochaine = PremiereNonEnvoyee(deroulement.resultat, deroulement.programme,
                                              deroulement.depuis, deroulement.cycles);
    if (!prochaine)
        return Mots::tr("%1, rien ne restait à envoyer").arg(parties);
    const QString cycle =
        deroulement.cycles > 1
            ? Mots::tr(" (parcours %1 sur %2)").arg(prochaine->second + 1).arg(deroulement.cycles)
            : QString();
    return Mots::tr("%1 ; %2%3 et les suivantes n'ont pas été envoyées")
        .arg(parties, DesignationEtape(deroulement.programme, prochaine->first), cycle);
}

QString TexteRefus(const RefusEnvoi &refus, qsizetype valeursMax)
{
    if (refus.genre == RefusEnvoi::Genre::LimitesDouteuses)
        return Mots::tr("%1.\nAucune valeur n'a été comparée aux limites : aucun envoi n'est "
                        "possible tant qu'un fichier de limites est douteux")
            .arg(refus.douteux);
    // Several values a box holds: one line each.
    const bool enLignes = refus.valeurs.size() > 1 &&
                          std::all_of(refus.valeurs.begin(), refus.valeurs.end(),
                                      [](const ValeurRefusee &valeur) { return !valeur.course; });
    QStringList valeurs;
    for (const ValeurRefusee &valeur : refus.valeurs)
        if (valeursMax < 0 || valeurs.size() < valeursMax)
            valeurs << (enLignes ? FormulerEnLigne(valeur) : Formuler(valeur));
    if (const qsizetype reste = refus.valeurs.size() - valeurs.size(); reste > 0)
        valeurs << autresValeurs(reste);
    if (enLignes)
        return Mots::tr("Ces %1 valeurs ne peuvent pas partir :\n– %2")
            .arg(refus.valeurs.size())
            .arg(valeurs.join(Mots::tr(" ;\n– ")));
    return valeurs.join(QStringLiteral(".\n\n"));
}

} // namespace tarvik::app
