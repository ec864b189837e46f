#include "run/envoyer_sequence.h"

#include "core/programme.h"

namespace tarvik::run {

namespace {

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
            return lien.enRetard(int(resultat.lignes.size()), *DelaiSequenceMs);
        }
    }
    auto echec = lien.vider(echeance);
    if (!echec && echeance.hasExpired())
        echec = lien.enRetard(NombreAxes, *DelaiSequenceMs);
    if (echec)
        lien.abandonner();
    return echec;
}

} // namespace

ResultatEnvoi OuvrirPourEnvoyer(LienSerie &lien)
{
    ResultatEnvoi resultat;
    resultat.port = lien.port();
    // Held already when a wait for the port took it for this run.
    auto echec = lien.estOuvert() ? std::optional<EchecLien>() : lien.ouvrir();
    resultat.peripherique = lien.peripherique();
    resultat.octetsJetes = lien.octetsJetes();
    auto moment = EchecEnvoi::Moment::Ouverture;
    if (const Coupure coupure = lien.coupure(); !echec && coupure != Coupure::Aucune) {
        echec = lien.reprendreLigne(QDeadlineTimer(*DelaiSequenceMs));
        if (echec) {
            lien.abandonner();
            moment = EchecEnvoi::Moment::LigneNeuve;
        } else
            resultat.ligneNeuve = coupure;
    }
    resultat.avertissements = lien.avertissements();
    resultat.genre = lien.genre();
    if (echec)
        resultat.echec = EchecEnvoi{*echec, moment};
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
        resultat.genre = lien.genre();
        resultat.echec = EchecEnvoi{*echec, EchecEnvoi::Moment::Lignes};
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

} // namespace tarvik::run
