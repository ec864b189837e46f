// The words of a program's run (the steps it sent, the ones it left out) and
// of a record's line in the system journal.
#include "app/formulation.h"

#include "system/noms.h"

#include <QCoreApplication>

namespace tarvik::app {

namespace {

// The texts of a run of steps, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Execution)
};

// The texts of the system journal's entries.
struct MotsJournal {
    Q_DECLARE_TR_FUNCTIONS(Journal)
};

// "3 lignes". French has no catalogue: its plural is chosen here, another
// language's by its own.
QString nombreDeLignes(qsizetype n)
{
    return n < 2 ? MotsJournal::tr("%n ligne", nullptr, int(n))
                 : MotsJournal::tr("%n lignes", nullptr, int(n));
}

} // namespace

QString MessageJournalSysteme(const EnregistrementEnvoi &envoi)
{
    QString port = NomLisible(envoi.portChoisi);
    if (!envoi.peripherique.isEmpty() && envoi.peripherique != envoi.portChoisi)
        port += QStringLiteral(" → ") + NomLisible(envoi.peripherique);
    const QString raison = QString(envoi.raison).replace(u'\r', u' ').replace(u'\n', u' ');
    switch (envoi.issue) {
    case IssueEnvoi::Envoyee:
        if (raison.isEmpty())
            return MotsJournal::tr("Séquence envoyée sur %1 (%2)")
                .arg(port, nombreDeLignes(envoi.lignes.size()));
        return MotsJournal::tr("Séquence envoyée sur %1 (%2). %3")
            .arg(port, nombreDeLignes(envoi.lignes.size()), raison);
    case IssueEnvoi::PortRefuse:
        return MotsJournal::tr("Séquence refusée par le port %1 : %2").arg(port, raison);
    case IssueEnvoi::HorsLimites:
        return MotsJournal::tr("Séquence refusée : %1").arg(raison);
    case IssueEnvoi::Echec:
        return MotsJournal::tr("Échec de l'envoi sur %1 : %2").arg(port, raison);
    case IssueEnvoi::Interrompue:
        return MotsJournal::tr("Envoi interrompu sur %1 : %2").arg(port, raison);
    case IssueEnvoi::Rebranche:
        return MotsJournal::tr("Port %1 : %2").arg(port, raison);
    case IssueEnvoi::Arretee:
        return MotsJournal::tr("Envoi arrêté sur %1 : %2").arg(port, raison);
    }
    return raison;
}

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
