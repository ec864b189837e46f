// The words of a program's run: the steps it sent, the ones it left out.
#include "app/formulation.h"

#include <QCoreApplication>

namespace tarvik::app {

namespace {

// The texts of a run of steps, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Execution)
};

} // namespace

QString EtapesEnvoyees(const ResultatProgramme &resultat, int cycles)
{
    // Those of the last cycle that sent any, first to last.
    QList<const ResultatEtape *> parties;
    for (const ResultatEtape &etape : resultat.etapes)
        if (!etape.envoi.echec)
            parties << &etape;
    if (parties.isEmpty())
        return Mots::tr("aucune étape envoyée");
    const ResultatEtape &derniere = *parties.last();
    int premiere = derniere.etape;
    for (const ResultatEtape *etape : parties)
        if (etape->cycle == derniere.cycle) {
            premiere = etape->etape;
            break;
        }
    QString texte =
        premiere == derniere.etape
            ? Mots::tr("étape %1 envoyée").arg(premiere + 1)
            : Mots::tr("étapes %1 à %2 envoyées").arg(premiere + 1).arg(derniere.etape + 1);
    if (cycles > 1)
        texte = Mots::tr("%1 au cycle %2 sur %3")
                    .arg(texte, QString::number(derniere.cycle + 1), QString::number(cycles));
    return texte;
}

QString DesignationEtape(const Programme &programme, int etape)
{
    const QString nom = etape < programme.etapes.size() ? programme.etapes[etape].nom : QString();
    return nom.isEmpty() ? Mots::tr("l'étape %1").arg(etape + 1)
                         : Mots::tr("l'étape %1 (%2)").arg(QString::number(etape + 1), nom);
}

QString EtapesSautees(int depuis, int cycles)
{
    if (depuis <= 0)
        return {};
    const QString texte = depuis == 1 ? Mots::tr("étape 1 non envoyée")
                                      : Mots::tr("étapes 1 à %1 non envoyées").arg(depuis);
    return cycles > 1 ? Mots::tr("%1 au cycle 1").arg(texte) : texte;
}

} // namespace tarvik::app
