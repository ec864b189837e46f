#include "run/envoyer_sequence.h"

#include <QCoreApplication>

namespace {

// The texts of this file, in the operator's language.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Sequence)
};

QString lignesEnvoyees(int combien, EchecLien::Genre genre)
{
    // After a timeout or an interruption, what still waited was thrown away.
    const bool abandon =
        genre == EchecLien::Genre::DelaiDepasse || genre == EchecLien::Genre::Interrompu;
    if (combien == 0 && !abandon)
        return Textes::tr("Aucune ligne n'a été envoyée");
    const QString lignes = combien == 0   ? Textes::tr("aucune")
                           : combien == 1 ? QStringLiteral("A")
                                          : Textes::tr("A à %1").arg(LettreAxe(combien));
    QString texte = Textes::tr("Lignes parties avant %1 : %2")
                        .arg(genre == EchecLien::Genre::Interrompu ? Textes::tr("l'interruption")
                                                                   : Textes::tr("l'échec"),
                             lignes);
    if (abandon)
        texte += Textes::tr(
            ". Ce qui attendait encore de partir a été abandonné : la carte a pu recevoir une "
            "ligne incomplète");
    return texte;
}

// The failure of a run, said whole: what happened, which lines went, and
// what the opening threw away.
EchecLien echecDuRun(const EchecLien &echec, const QString &suite, int jetes)
{
    QString message = echec.message + QStringLiteral(".\n") + suite;
    if (const QString note = NoteOctetsJetes(jetes); !note.isEmpty())
        message += QStringLiteral(".\n") + note;
    return Refus(echec.genre, message);
}

// The deadline passed though the port took every byte it was given.
EchecLien enRetard(const LienSerie &lien, int lignes)
{
    return lien.situer(
        Refus(EchecLien::Genre::DelaiDepasse,
              lignes == NombreAxes
                  ? Textes::tr("délai dépassé : les sept lignes sont parties, mais en plus "
                               "de %1 s")
                        .arg(*DelaiSequenceMs / 1000.0)
                  : Textes::tr("délai dépassé : la séquence a pris plus de %1 s")
                        .arg(*DelaiSequenceMs / 1000.0)));
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
    return Textes::tr("Une séquence précédente, interrompue, avait laissé des octets en attente "
                      "sur le port (%1) : ils ont été abandonnés avant cette séquence, et la "
                      "carte a pu recevoir une ligne incomplète")
        .arg(octets);
}

ResultatEnvoi OuvrirPourEnvoyer(LienSerie &lien)
{
    ResultatEnvoi resultat;
    resultat.port = lien.port();
    const auto echec = lien.ouvrir();
    resultat.peripherique = lien.peripherique();
    resultat.avertissements = lien.avertissements();
    resultat.octetsJetes = lien.octetsJetes();
    if (echec)
        resultat.echec = echecDuRun(*echec, Textes::tr("Rien n'a été envoyé"), 0);
    return resultat;
}

void EnvoyerGrille(const Grille &grille, LienSerie &lien, QDeadlineTimer echeance,
                   ResultatEnvoi &resultat, const ObservateurEnvoi &observateur)
{
    if (observateur.commence)
        observateur.commence();
    if (const auto echec = ecrireLignes(grille, lien, echeance, resultat, observateur))
        resultat.echec =
            echecDuRun(*echec, lignesEnvoyees(int(resultat.lignes.size()), echec->genre),
                       resultat.octetsJetes);
}

ResultatEnvoi EnvoyerSequence(const Grille &grille, LienSerie &lien,
                              const ObservateurEnvoi &observateur)
{
    const QDeadlineTimer echeance(*DelaiSequenceMs);
    ResultatEnvoi resultat = OuvrirPourEnvoyer(lien);
    if (resultat.echec)
        return resultat;
    EnvoyerGrille(grille, lien, echeance, resultat, observateur);
    if (!resultat.echec)
        lien.fermer(); // drained already
    return resultat;
}
