#include "app/consignation.h"

#include "app/formulation.h"
#include "app/phrases_poste.h"
#include "run/journal.h"
#include "system/noms.h"

#include <QCoreApplication>

namespace tarvik::app {

namespace {

// The texts of the station, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Poste)
};

using Fin = ResultatProgramme::Fin;

// The values a refusal's record names; it counts the others. A thousand
// steps refused would otherwise make a record of more than a megabyte.
constexpr qsizetype ValeursConsignees = 10;

} // namespace

ConsignationEnvois::ConsignationEnvois(PosteEnvoi &poste)
    : QObject(&poste)
    , m_poste(poste)
{
    connect(&poste, &PosteEnvoi::etapeTerminee, this, &ConsignationEnvois::etapeVue);
    connect(&poste, &PosteEnvoi::termine, this, &ConsignationEnvois::finVue);
    connect(&poste, &PosteEnvoi::refuse, this, &ConsignationEnvois::refusVu);
    connect(&poste, &PosteEnvoi::rebranche, this, &ConsignationEnvois::rebranchementVu);
}

QString ConsignationEnvois::portChoisi() const
{
    return m_poste.port().echec ? QStringLiteral("inconnu") : m_poste.port().peripherique;
}

void ConsignationEnvois::etapeVue(const QString &execution, const ResultatEtape &etape)
{
    // A step that failed or was cut short is journaled with the run's end,
    // which says what went and what did not.
    const DeroulementEnvoi &deroulement = m_poste.deroulement();
    if (!etape.envoi.echec && deroulement.execution == execution)
        consigner(enregistrement(deroulement, etape.envoi, etape.debut, etape.etape));
}

EnregistrementEnvoi ConsignationEnvois::enregistrement(const DeroulementEnvoi &deroulement,
                                                       const ResultatEnvoi &envoi,
                                                       const QDateTime &debut, int etape) const
{
    const QString source = deroulement.grilleSeule
                               ? deroulement.source
                               : QStringLiteral("%1:%2").arg(deroulement.source).arg(etape + 1);
    EnregistrementEnvoi enregistrement =
        EnregistrementDe(envoi, RaisonEnregistrement(envoi), debut, m_poste.executable(), source);
    enregistrement.execution = deroulement.execution;
    return enregistrement;
}

void ConsignationEnvois::finVue(const DeroulementEnvoi &deroulement)
{
    const ResultatProgramme &resultat = deroulement.resultat;
    if (deroulement.refus)
        return; // journaled as it was refused
    // The operator's Stop, not a signal, wherever it cut the run short: in
    // the opening (its lone line feed held up) as in a step.
    const auto arretee = [&](EnregistrementEnvoi enregistrement) {
        if (resultat.fin == Fin::Arretee && enregistrement.issue == IssueEnvoi::Interrompue)
            enregistrement.issue = IssueEnvoi::Arretee;
        return enregistrement;
    };
    if (resultat.ouverture) {
        consigner(arretee(enregistrement(deroulement, *resultat.ouverture, deroulement.debut,
                                         deroulement.depuis)));
        return;
    }
    if (const ResultatEnvoi *rate = resultat.rate()) {
        const ResultatEtape &etape = resultat.etapes.last();
        EnregistrementEnvoi coupe =
            arretee(enregistrement(deroulement, *rate, etape.debut, etape.etape));
        if (!deroulement.grilleSeule)
            coupe.raison += QStringLiteral(". ") + BilanEnvoi(deroulement);
        consigner(coupe);
        return;
    }
    if (!resultat.entreDeuxEtapes)
        return;
    // Stopped with no send under way: the run's own record says so.
    const auto prochaine =
        PremiereNonEnvoyee(resultat, deroulement.programme, deroulement.depuis, deroulement.cycles);
    EnregistrementEnvoi arret =
        enregistrement(deroulement, {}, deroulement.termineA, prochaine ? prochaine->first : 0);
    arret.portChoisi = portChoisi();
    arret.peripherique = m_poste.peripherique();
    arret.issue = resultat.fin == Fin::Arretee ? IssueEnvoi::Arretee : IssueEnvoi::Interrompue;
    arret.raison = Mots::tr("%1 : %2").arg(
        resultat.fin == Fin::Arretee ? Mots::tr("arrêté par l'opérateur entre deux étapes")
                                     : Mots::tr("interrompu par un signal entre deux étapes"),
        BilanEnvoi(deroulement));
    consigner(arret);
}

void ConsignationEnvois::refusVu(const QString &execution, const RefusEnvoi &refus,
                                 const QString &source)
{
    consigner({m_poste.maintenant(),
               m_poste.executable(),
               source,
               portChoisi(),
               {},
               IssueEnvoi::HorsLimites,
               TexteRefus(refus, ValeursConsignees),
               {},
               execution});
}

void ConsignationEnvois::rebranchementVu(const QDateTime &quand, const QString &peripherique)
{
    consigner({quand,
               m_poste.executable(),
               {},
               m_poste.port().peripherique,
               peripherique,
               IssueEnvoi::Rebranche,
               Mots::tr("débranché puis rebranché : la carte a pu redémarrer ; rien n'a été "
                        "renvoyé"),
               {},
               NouvelleExecution()});
}

void ConsignationEnvois::consignerAttente(const QDateTime &debut, const QString &source,
                                          const EchecDit &echec, const QString &peripherique)
{
    consigner({debut,
               m_poste.executable(),
               source,
               portChoisi(),
               peripherique,
               IssueDe(echec.genre),
               echec.message,
               {},
               NouvelleExecution()});
}

void ConsignationEnvois::consigner(EnregistrementEnvoi enregistrement)
{
    enregistrement.executable = m_poste.executable();
    if (const auto rate = EcrireJournal(enregistrement, MessageJournalSysteme(enregistrement)))
        Q_EMIT journalRate(Echec{Mots::tr("le journal des envois « %1 » : %2")
                                     .arg(NomLisible(CheminJournal()), Formuler(*rate))});
}

} // namespace tarvik::app
