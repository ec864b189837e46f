#include "run/envoyer_sequence.h"

#include "core/programme.h"
#include "system/citations.h"

#include <QCoreApplication>

namespace tarvik::run {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Sequence)
};

// Which lines went before a failure, and what became of the one in flight
// on a line of kind `genre`.
QString lignesEnvoyees(const ResultatEnvoi &resultat, EchecLien::Genre echec, GenreLigne genre)
{
    const int combien = int(resultat.lignes.size());
    QString texte =
        combien == 0 ? Mots::tr("Aucune ligne n'a été envoyée")
                     : Mots::tr("Lignes parties avant %1 : %2")
                           .arg(echec == EchecLien::Genre::Interrompu ? Mots::tr("l'interruption")
                                                                      : Mots::tr("l'échec"),
                                combien == 1 ? QStringLiteral("A")
                                             : Mots::tr("A à %1").arg(LettreAxe(combien)));
    if (!resultat.ligneInachevee)
        return texte;
    const QString partie =
        genre == GenreLigne::PseudoTerminal
            ? Mots::tr(". La ligne %1 n'a été remise qu'en partie au programme d'en face : ce "
                       "début y reste, et la carte peut le recevoir comme une ligne incomplète")
            : Mots::tr(". La ligne %1 n'est partie qu'en partie, et le reste a été retiré : la "
                       "carte a pu en recevoir le début, une ligne incomplète");
    return texte + partie.arg(LettreAxe(combien + 1)) +
           Mots::tr(". La prochaine séquence sur ce port commencera par un saut de ligne seul");
}

// The failure of a run, said whole: what happened, which lines went, and
// how the run started (what the opening threw away, a lone line feed).
EchecLien echecDeLEnvoi(const EchecLien &echec, const QString &suite, const ResultatEnvoi &resultat)
{
    QString message = echec.message + QStringLiteral(".\n") + suite;
    for (const QString &note :
         {NoteOctetsJetes(resultat.octetsJetes), NoteLigneNeuve(resultat.ligneNeuve)})
        if (!note.isEmpty())
            message += QStringLiteral(".\n") + note;
    return Refus(echec.genre, message);
}

// The deadline passed though the port took every byte it was given.
EchecLien enRetard(const LienSerie &lien, int lignes)
{
    return lien.situer(
        Refus(EchecLien::Genre::DelaiDepasse,
              lignes == NombreAxes
                  ? Mots::tr("délai dépassé : les sept lignes sont parties, mais en plus "
                             "de %1")
                        .arg(CiterDuree(*DelaiSequenceMs))
                  : Mots::tr("délai dépassé : la séquence a pris plus de %1")
                        .arg(CiterDuree(*DelaiSequenceMs))));
}

// Writes the seven lines before the deadline, telling each, and waits until
// they have left; the port stays open. How it failed.
std::optional<EchecLien> ecrireLignes(const Grille &grille, LienSerie &lien,
                                      QDeadlineTimer echeance, ResultatEnvoi &resultat,
                                      const ObservateurEnvoi &observateur)
{
    for (const QString &ligne : grille.lignes()) {
        if (const auto echec = lien.ecrire(FormerLigne(ligne), echeance)) {
            lien.abandonner();
            return echec;
        }
        resultat.lignes << ligne;
        if (observateur.ligneRemise)
            observateur.ligneRemise(ligne);
        if (resultat.lignes.size() < NombreAxes && echeance.hasExpired()) {
            lien.abandonner(); // held up: nothing more goes
            return enRetard(lien, int(resultat.lignes.size()));
        }
    }
    auto echec = lien.vider(echeance);
    if (!echec && echeance.hasExpired())
        echec = enRetard(lien, NombreAxes);
    if (echec)
        lien.abandonner();
    return echec;
}

} // namespace

QString NoteOctetsJetes(int octets)
{
    if (octets <= 0)
        return {};
    return Mots::tr("Une séquence précédente, interrompue, avait laissé des octets en attente "
                    "sur le port (%1) : ils ont été abandonnés avant cette séquence, et la "
                    "carte a pu recevoir une ligne incomplète")
        .arg(octets);
}

QString NoteLigneNeuve(Coupure coupure)
{
    QString pourquoi;
    switch (coupure) {
    case Coupure::Aucune:
        return {};
    case Coupure::CeLien:
        pourquoi = Mots::tr("La séquence précédente sur ce port s'est arrêtée au milieu d'une "
                            "ligne");
        break;
    case Coupure::Marque:
        pourquoi = Mots::tr("Un envoi précédent sur ce port s'est arrêté au milieu d'une ligne, "
                            "et l'a marqué dans le dossier des verrous");
        break;
    case Coupure::VerrouPerime:
        pourquoi = Mots::tr("Un envoi précédent de ce programme sur ce port a été arrêté "
                            "brutalement (son verrou est resté)");
        break;
    case Coupure::FileLaissee:
        pourquoi = Mots::tr("Un envoi précédent, interrompu, avait laissé des octets en attente "
                            "sur le port");
        break;
    case Coupure::TraceEnvoi:
        pourquoi = Mots::tr("Un envoi précédent de ce programme sur ce port a été arrêté "
                            "brutalement (la trace de son envoi en cours est restée)");
        break;
    case Coupure::ExclusifLaisse:
        pourquoi = Mots::tr("Le port était resté en mode exclusif sans qu'aucun programme le "
                            "tienne, ce que laisse un envoi arrêté brutalement");
        break;
    case Coupure::MarqueDouteuse:
        pourquoi = Mots::tr("Ce qui se trouve à la place de la marque d'un envoi coupé sur ce "
                            "port ne peut être ni lu ni vérifié, et compte comme une coupure");
        break;
    case Coupure::SansTrace:
        pourquoi = Mots::tr("Sans dossier des verrous ni dossier privé où garder la trace d'un "
                            "envoi coupé, rien ne montre que le précédent s'est terminé entier");
        break;
    }
    return Mots::tr("%1 : un saut de ligne seul est parti avant la première ligne, pour que la "
                    "carte écarte comme une ligne à part le début de ligne qu'elle a pu en "
                    "recevoir")
        .arg(pourquoi);
}

ResultatEnvoi OuvrirPourEnvoyer(LienSerie &lien)
{
    ResultatEnvoi resultat;
    resultat.port = lien.port();
    // Held already when a wait for the port took it for this run.
    auto echec = lien.estOuvert() ? std::optional<EchecLien>() : lien.ouvrir();
    resultat.peripherique = lien.peripherique();
    resultat.octetsJetes = lien.octetsJetes();
    QString suite = Mots::tr("Rien n'a été envoyé");
    if (const Coupure coupure = lien.coupure(); !echec && coupure != Coupure::Aucune) {
        echec = lien.reprendreLigne(QDeadlineTimer(*DelaiSequenceMs));
        if (echec) {
            lien.abandonner();
            suite = Mots::tr("Rien n'a été envoyé, pas même le saut de ligne seul qui devait "
                             "séparer ce qu'un envoi précédent, coupé, a pu laisser à la carte");
        } else
            resultat.ligneNeuve = coupure;
    }
    resultat.avertissements = lien.avertissements();
    if (echec)
        resultat.echec = echecDeLEnvoi(*echec, suite, ResultatEnvoi{});
    return resultat;
}

void EnvoyerSequence(const Grille &grille, LienSerie &lien, QDeadlineTimer echeance,
                     ResultatEnvoi &resultat, const ObservateurEnvoi &observateur)
{
    if (observateur.commence)
        observateur.commence();
    resultat.ligneInachevee = false;
    if (const auto echec = ecrireLignes(grille, lien, echeance, resultat, observateur)) {
        resultat.ligneInachevee = lien.partieLaissee();
        resultat.echec =
            echecDeLEnvoi(*echec, lignesEnvoyees(resultat, echec->genre, lien.genre()), resultat);
    }
}

ResultatEnvoi OuvrirEnvoyerFermer(const Grille &grille, LienSerie &lien,
                                  const ObservateurEnvoi &observateur)
{
    const QDeadlineTimer echeance(*DelaiSequenceMs);
    ResultatEnvoi resultat = OuvrirPourEnvoyer(lien);
    if (resultat.echec)
        return resultat;
    EnvoyerSequence(grille, lien, echeance, resultat, observateur);
    if (!resultat.echec)
        lien.fermer(); // drained already
    return resultat;
}

QStringList NotesOuverture(const ResultatEnvoi &resultat)
{
    QStringList notes{NoteOctetsJetes(resultat.octetsJetes), NoteLigneNeuve(resultat.ligneNeuve)};
    notes.removeAll(QString());
    return notes;
}

} // namespace tarvik::run
