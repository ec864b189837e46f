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

// The texts of a sequence's run.
struct MotsSequence {
    Q_DECLARE_TR_FUNCTIONS(Sequence)
};

// Which lines went before a failure, and what became of the one in flight
// on a line of kind `genre`.
QString lignesEnvoyees(const ResultatEnvoi &resultat, EchecLien::Genre echec, GenreLigne genre)
{
    const int combien = int(resultat.lignes.size());
    QString texte =
        combien == 0
            ? MotsSequence::tr("Aucune ligne n'a été envoyée")
            : MotsSequence::tr("Lignes parties avant %1 : %2")
                  .arg(echec == EchecLien::Genre::Interrompu ? MotsSequence::tr("l'interruption")
                                                             : MotsSequence::tr("l'échec"),
                       combien == 1 ? QStringLiteral("A")
                                    : MotsSequence::tr("A à %1").arg(LettreAxe(combien)));
    if (!resultat.ligneInachevee)
        return texte;
    const QString partie =
        genre == GenreLigne::PseudoTerminal
            ? MotsSequence::tr(
                  ". La ligne %1 n'a été remise qu'en partie au programme d'en face : ce "
                  "début y reste, et la carte peut le recevoir comme une ligne incomplète")
            : MotsSequence::tr(
                  ". La ligne %1 n'est partie qu'en partie, et le reste a été retiré : la "
                  "carte a pu en recevoir le début, une ligne incomplète");
    return texte + partie.arg(LettreAxe(combien + 1)) +
           MotsSequence::tr(
               ". La prochaine séquence sur ce port commencera par un saut de ligne seul");
}

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

QString NoteOctetsJetes(int octets)
{
    if (octets <= 0)
        return {};
    return MotsSequence::tr(
               "Une séquence précédente, interrompue, avait laissé des octets en attente "
               "sur le port (%1) : ils ont été abandonnés avant cette séquence, et la "
               "carte a pu recevoir une ligne incomplète")
        .arg(octets);
}

namespace {

// Why a run started with the lone line feed.
QString PourquoiLigneNeuve(Coupure coupure)
{
    switch (coupure) {
    case Coupure::Aucune:
        return {};
    case Coupure::CeLien:
        return MotsSequence::tr("La séquence précédente sur ce port s'est arrêtée au milieu d'une "
                                "ligne");
    case Coupure::Marque:
        return MotsSequence::tr(
            "Un envoi précédent sur ce port s'est arrêté au milieu d'une ligne, "
            "et l'a marqué dans le dossier des verrous");
    case Coupure::VerrouPerime:
        return MotsSequence::tr("Un envoi précédent de ce programme sur ce port a été arrêté "
                                "brutalement (son verrou est resté)");
    case Coupure::FileLaissee:
        return MotsSequence::tr(
            "Un envoi précédent, interrompu, avait laissé des octets en attente "
            "sur le port");
    case Coupure::TraceEnvoi:
        return MotsSequence::tr("Un envoi précédent de ce programme sur ce port a été arrêté "
                                "brutalement (la trace de son envoi en cours est restée)");
    case Coupure::ExclusifLaisse:
        return MotsSequence::tr("Le port était resté en mode exclusif sans qu'aucun programme le "
                                "tienne, ce que laisse un envoi arrêté brutalement");
    case Coupure::MarqueDouteuse:
        return MotsSequence::tr("Ce qui se trouve à la place de la marque d'un envoi coupé sur ce "
                                "port ne peut être ni lu ni vérifié, et compte comme une coupure");
    case Coupure::SansTrace:
        return MotsSequence::tr(
            "Sans dossier des verrous ni dossier privé où garder la trace d'un "
            "envoi coupé, rien ne montre que le précédent s'est terminé entier");
    }
    return {};
}

} // namespace

QString NoteLigneNeuve(Coupure coupure)
{
    if (coupure == Coupure::Aucune)
        return {};
    return MotsSequence::tr(
               "%1 : un saut de ligne seul est parti avant la première ligne, pour que la "
               "carte écarte comme une ligne à part le début de ligne qu'elle a pu en "
               "recevoir")
        .arg(PourquoiLigneNeuve(coupure));
}

QStringList NotesOuverture(const ResultatEnvoi &resultat)
{
    QStringList notes{NoteOctetsJetes(resultat.octetsJetes), NoteLigneNeuve(resultat.ligneNeuve)};
    notes.removeAll(QString());
    return notes;
}

QString TexteEchec(const ResultatEnvoi &resultat)
{
    if (!resultat.echec)
        return {};
    using M = EchecEnvoi::Moment;
    const EchecEnvoi &echec = *resultat.echec;
    QString message = Formuler(echec.lien) + QStringLiteral(".\n");
    switch (echec.moment) {
    case M::Ouverture:
        return message + MotsSequence::tr("Rien n'a été envoyé");
    case M::LigneNeuve:
        return message +
               MotsSequence::tr("Rien n'a été envoyé, pas même le saut de ligne seul qui devait "
                                "séparer ce qu'un envoi précédent, coupé, a pu laisser à la carte");
    case M::Lignes:
        break;
    }
    // Which lines went, then how the run started (bytes thrown away, a lone
    // line feed).
    message += lignesEnvoyees(resultat, echec.genre(), resultat.genre);
    for (const QString &note : NotesOuverture(resultat))
        message += QStringLiteral(".\n") + note;
    return message;
}

std::optional<EchecDit> EchecEntier(const ResultatEnvoi &resultat)
{
    if (!resultat.echec)
        return std::nullopt;
    EchecDit dit;
    dit.message = TexteEchec(resultat);
    dit.genre = resultat.echec->genre();
    return dit;
}

QString RaisonEnregistrement(const ResultatEnvoi &resultat)
{
    return resultat.echec ? TexteEchec(resultat)
                          : NotesOuverture(resultat).join(QStringLiteral(". "));
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
    // Two steps are "1 et 2", more "1 à 3".
    QString texte =
        premiere == derniere.etape ? Mots::tr("étape %1 envoyée").arg(premiere + 1)
        : premiere + 1 == derniere.etape
            ? Mots::tr("étapes %1 et %2 envoyées").arg(premiere + 1).arg(derniere.etape + 1)
            : Mots::tr("étapes %1 à %2 envoyées").arg(premiere + 1).arg(derniere.etape + 1);
    if (cycles > 1)
        texte = Mots::tr("%1 au parcours %2 sur %3")
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
    const QString texte = depuis == 1   ? Mots::tr("étape 1 non envoyée")
                          : depuis == 2 ? Mots::tr("étapes 1 et 2 non envoyées")
                                        : Mots::tr("étapes 1 à %1 non envoyées").arg(depuis);
    return cycles > 1 ? Mots::tr("%1 au parcours 1").arg(texte) : texte;
}

} // namespace tarvik::app
