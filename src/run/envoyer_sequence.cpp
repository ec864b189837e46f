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
    QString texte = Textes::tr("Lignes remises au port avant %1 : %2")
                        .arg(genre == EchecLien::Genre::Interrompu ? Textes::tr("l'interruption")
                                                                   : Textes::tr("l'échec"),
                             lignes);
    if (abandon)
        texte += Textes::tr(
            ". Ce qui attendait encore de partir a été abandonné : des octets déjà remis au "
            "port, de cette séquence ou d'une précédente, ont pu être perdus, et une ligne "
            "incomplète a pu atteindre la carte");
    return texte;
}

EchecSequence echecLien(const EchecLien &echec, const QString &suite, const LienSerie &lien)
{
    EchecSequence resultat;
    resultat.message = echec.message + QStringLiteral(".\n") + suite;
    if (const QString note = NoteOctetsJetes(lien); !note.isEmpty())
        resultat.message += QStringLiteral(".\n") + note;
    resultat.lien = echec.genre;
    return resultat;
}

// The deadline passed though the port took every byte it was given.
EchecLien enRetard(const LienSerie &lien, int lignes)
{
    return lien.situer(
        Refus(EchecLien::Genre::DelaiDepasse,
              lignes == NombreAxes
                  ? Textes::tr("délai dépassé : les sept lignes ont été remises au port, mais "
                               "la séquence a pris plus de %1 s")
                        .arg(*DelaiSequenceMs / 1000.0)
                  : Textes::tr("délai dépassé : la séquence a pris plus de %1 s")
                        .arg(*DelaiSequenceMs / 1000.0)));
}

} // namespace

QString NoteOctetsJetes(const LienSerie &lien)
{
    if (lien.octetsJetes() <= 0)
        return {};
    return Textes::tr("Une séquence précédente, interrompue, avait laissé des octets en attente "
                      "sur le port (%1) : ils ont été abandonnés avant cette séquence, et la "
                      "carte a pu recevoir une ligne incomplète")
        .arg(lien.octetsJetes());
}

std::optional<EchecSequence> EnvoyerSequence(const TextesGrille &textes, LienSerie &lien,
                                             const ObservateurEnvoi &observateur)
{
    const GrilleLue lue = LireGrille(textes);
    if (lue.refus) {
        EchecSequence refus;
        refus.message = lue.refus->message + Textes::tr(".\nRien n'a été envoyé");
        refus.valeur = lue.refus;
        return refus;
    }

    const QDeadlineTimer echeance(*DelaiSequenceMs);
    if (const auto echec = lien.ouvrir())
        return echecLien(*echec, Textes::tr("Rien n'a été envoyé"), lien);

    if (observateur.commence)
        observateur.commence();
    for (int i = 1; i <= NombreAxes; ++i) {
        Axes[i] = lue.axes[i];
        if (const auto echec = lien.ecrire(OctetsLigne(Axes[i]), echeance)) {
            lien.abandonner();
            return echecLien(*echec, lignesEnvoyees(i - 1, echec->genre), lien);
        }
        if (observateur.ligneRemise)
            observateur.ligneRemise(LigneAxe(Axes[i]));
        if (i < NombreAxes && echeance.hasExpired()) { // held up: nothing more goes
            lien.abandonner();
            const EchecLien echec = enRetard(lien, i);
            return echecLien(echec, lignesEnvoyees(i, echec.genre), lien);
        }
    }
    auto echec = lien.fermer(echeance);
    if (!echec && echeance.hasExpired())
        echec = enRetard(lien, NombreAxes);
    if (echec)
        return echecLien(*echec, lignesEnvoyees(NombreAxes, echec->genre), lien);
    return std::nullopt;
}
