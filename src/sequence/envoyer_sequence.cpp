#include "sequence/envoyer_sequence.h"

namespace {

QString lignesEnvoyees(int combien, EchecLien::Genre genre)
{
    // After a timeout or an interruption, what still waited was thrown away.
    const bool abandon =
        genre == EchecLien::Genre::DelaiDepasse || genre == EchecLien::Genre::Interrompu;
    if (combien == 0 && !abandon)
        return QStringLiteral("Aucune ligne n'a été envoyée.");
    const QString lignes = combien == 0   ? QStringLiteral("aucune")
                           : combien == 1 ? QStringLiteral("A")
                                          : QStringLiteral("A à %1").arg(LettreAxe(combien));
    QString texte =
        QStringLiteral("Lignes remises au port avant %1 : %2.")
            .arg(genre == EchecLien::Genre::Interrompu ? QStringLiteral("l'interruption")
                                                       : QStringLiteral("l'échec"),
                 lignes);
    if (abandon)
        texte += QStringLiteral(
            " Ce qui attendait encore de partir a été abandonné : des octets déjà remis au "
            "port, de cette séquence ou d'une précédente, ont pu être perdus, et une ligne "
            "incomplète a pu atteindre la carte.");
    return texte;
}

EchecSequence echecLien(const EchecLien &echec, const QString &suite)
{
    return {echec.message + u'\n' + suite, std::nullopt, echec.genre};
}

} // namespace

std::optional<EchecSequence> LireGrille(const FenetreSequence &fenetre, Grille &grille)
{
    for (int i = 1; i <= NombreAxes; ++i) {
        RangeeLue rangee = LireRangee(i, fenetre.Text3(i), fenetre.Text1(i), fenetre.Text2(i));
        if (rangee.refus)
            return EchecSequence{rangee.refus->message, std::move(rangee.refus), std::nullopt};
        grille[i] = rangee.axe;
    }
    return std::nullopt;
}

std::optional<EchecSequence> EnvoyerSequence(FenetreSequence &fenetre)
{
    Grille lus{};
    if (auto refus = LireGrille(fenetre, lus)) {
        refus->message += QStringLiteral("\nRien n'a été envoyé.");
        return refus;
    }

    const QDeadlineTimer echeance(DelaiSequenceMs);
    LienSerie &lien = fenetre.MSComm1();
    if (const auto echec = lien.ouvrir())
        return echecLien(*echec, QStringLiteral("Rien n'a été envoyé."));

    fenetre.ViderList1();
    for (int i = 1; i <= NombreAxes; ++i) {
        Axes[i] = lus[i];
        if (const auto echec = lien.ecrire(OctetsLigne(Axes[i]), echeance)) {
            lien.abandonner();
            return echecLien(*echec, lignesEnvoyees(i - 1, echec->genre));
        }
        fenetre.AjouterList1(LigneAxe(Axes[i]));
    }
    if (const auto echec = lien.fermer(echeance))
        return echecLien(*echec, lignesEnvoyees(NombreAxes, echec->genre));
    return std::nullopt;
}
