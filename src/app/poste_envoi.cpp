#include "app/poste_envoi.h"

#include "app/formulation.h"

#include "core/course.h"
#include "port/etat_port.h"
#include "run/journal.h"
#include "system/lecture.h"
#include "system/noms.h"

#include <QCoreApplication>

#include <algorithm>

namespace tarvik::app {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Poste)
};

using Fin = ResultatProgramme::Fin;

// The values a refusal's record names; it counts the others. A thousand
// steps refused would otherwise make a record of more than a megabyte.
constexpr qsizetype ValeursConsignees = 10;

// "3 autres valeurs refusées". French has no catalogue: its plural is
// chosen here, another language's by its own.
QString autresValeurs(qsizetype n)
{
    return n < 2 ? Mots::tr("%n autre valeur refusée, non reprise ici", nullptr, int(n))
                 : Mots::tr("%n autres valeurs refusées, non reprises ici", nullptr, int(n));
}

// Which steps of a run that ended early went, and which did not.
QString bilan(const DeroulementEnvoi &deroulement)
{
    const QString parties = EtapesEnvoyees(deroulement.resultat, deroulement.cycles);
    const auto prochaine = PremiereNonEnvoyee(deroulement.resultat, deroulement.programme,
                                              deroulement.depuis, deroulement.cycles);
    if (!prochaine)
        return Mots::tr("%1, rien ne restait à envoyer").arg(parties);
    const QString cycle =
        deroulement.cycles > 1
            ? Mots::tr(" (cycle %1 sur %2)").arg(prochaine->second + 1).arg(deroulement.cycles)
            : QString();
    return Mots::tr("%1 ; %2%3 et les suivantes n'ont pas été envoyées")
        .arg(parties, DesignationEtape(deroulement.programme, prochaine->first), cycle);
}

} // namespace

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

PosteEnvoi::PosteEnvoi(const QString &executable, Horloge *horloge, QObject *parent)
    : QObject(parent)
    , m_executable(executable)
    , m_horloge(horloge ? horloge : &m_horlogeQt)
    , m_execution(m_lien, m_horloge)
{
    using E = ExecutionProgramme;
    connect(&m_execution, &E::etapeCommencee, this, [this](int etape, int cycle) {
        m_etat.etape = etape;
        m_etat.cycle = cycle;
        Q_EMIT etatChange(m_etat);
        Q_EMIT etapeCommencee(etape, cycle);
    });
    connect(&m_execution, &E::ligneRemise, this, &PosteEnvoi::ligneRemise);
    connect(&m_execution, &E::etapeTerminee, this, &PosteEnvoi::etapeVue);
    connect(&m_execution, &E::attente, this, &PosteEnvoi::attente);
    connect(&m_execution, &E::pause, this, &PosteEnvoi::pause);
    connect(&m_execution, &E::termine, this, &PosteEnvoi::resultatVu);
}

PosteEnvoi::~PosteEnvoi()
{
    m_tests.clear();
    interrompre(); // a run the program's end cuts short is journaled too
}

void PosteEnvoi::brancherSurveillance(Surveillance *surveillance)
{
    if (m_surveillance)
        m_surveillance->disconnect(this);
    m_surveillance = surveillance;
    if (!surveillance)
        return;
    connect(surveillance, &Surveillance::etatChange, this, &PosteEnvoi::etatVu);
    connect(surveillance, &Surveillance::rebranche, this, &PosteEnvoi::consignerRebranchement);
    surveillance->surveiller(port());
    etatVu(surveillance->etat());
}

void PosteEnvoi::setPort(const PortChoisi &port)
{
    m_lien.setPort(port);
    if (m_surveillance)
        m_surveillance->surveiller(port);
    etatVu(m_etat.port);
}

void PosteEnvoi::setLimites(const LimitesLues &limites)
{
    m_limites = limites;
    Q_EMIT limitesChangees();
    etatVu(m_etat.port);
}

void PosteEnvoi::etatVu(const EtatPort &etat)
{
    m_etat.port = m_surveillance ? m_surveillance->etat() : etat;
    m_etat.limites = m_limites.echec;
    m_etat.rebrancheA = m_surveillance ? m_surveillance->rebrancheA() : QDateTime();
    Q_EMIT etatChange(m_etat);
}

std::optional<RefusEnvoi> PosteEnvoi::examiner(const Programme &programme, int depuis) const
{
    return refusDesLimites(programme, depuis);
}

std::optional<RefusEnvoi> PosteEnvoi::refusDesLimites(const Programme &programme, int depuis) const
{
    if (m_limites.echec)
        return RefusEnvoi{RefusEnvoi::Genre::LimitesDouteuses, Formuler(*m_limites.echec), {}};
    // Each value within the limits, then where the whole run takes each axis.
    QList<ValeurRefusee> valeurs = VerifierLimites(programme, m_limites.effectives, m_noms);
    valeurs += VerifierCourse(programme, m_limites.effectives, depuis,
                              qMax(1, programme.repetitions), m_noms);
    if (valeurs.isEmpty())
        return std::nullopt;
    return RefusEnvoi{RefusEnvoi::Genre::HorsLimites, {}, valeurs};
}

std::optional<RefusEnvoi> PosteEnvoi::envoyer(const Grille &grille, const QString &source)
{
    if (programmeEnCours()) // never queued behind a program, to leave when no one chose
        return RefusEnvoi{RefusEnvoi::Genre::ProgrammeEnCours, {}, {}};
    const Programme test{{EtapeProgramme{{}, grille, 0}}, 1};
    if (auto refus = refusDesLimites(test, 0)) {
        consignerRefus(*refus, source);
        return refus;
    }
    m_tests << Test{grille, source};
    if (!m_execution.enCours() && !m_finissant)
        testSuivant();
    return std::nullopt;
}

std::optional<RefusEnvoi> PosteEnvoi::tester(const TextesGrille &textes)
{
    if (programmeEnCours())
        return RefusEnvoi{RefusEnvoi::Genre::ProgrammeEnCours, {}, {}};
    if (m_limites.echec) {
        const RefusEnvoi refus{RefusEnvoi::Genre::LimitesDouteuses, Formuler(*m_limites.echec), {}};
        consignerRefus(refus, {});
        return refus;
    }
    const GrilleVerifiee verifiee = VerifierGrille(textes, m_noms, &m_limites.effectives);
    if (verifiee.grille)
        return envoyer(*verifiee.grille);
    // Every value refused at once; those beyond the limits journaled, once.
    const auto dehors = [](const ValeurRefusee &valeur) {
        return valeur.horsLimite;
    };
    const RefusEnvoi refus{std::all_of(verifiee.echecs.begin(), verifiee.echecs.end(), dehors)
                               ? RefusEnvoi::Genre::HorsLimites
                               : RefusEnvoi::Genre::ValeurRefusee,
                           {},
                           verifiee.echecs};
    RefusEnvoi consigne{RefusEnvoi::Genre::HorsLimites, {}, {}};
    std::copy_if(refus.valeurs.begin(), refus.valeurs.end(), std::back_inserter(consigne.valeurs),
                 dehors);
    if (!consigne.valeurs.isEmpty())
        consignerRefus(consigne, {});
    return refus;
}

std::optional<RefusEnvoi> PosteEnvoi::lancer(const Programme &programme, const QString &source,
                                             int depuis, Mode mode)
{
    if (occupe())
        return RefusEnvoi{programmeEnCours() ? RefusEnvoi::Genre::ProgrammeEnCours
                                             : RefusEnvoi::Genre::EnvoiEnCours,
                          {},
                          {}};
    if (auto refus = refusDesLimites(programme, depuis)) {
        consignerRefus(*refus, source);
        return refus;
    }
    if (!programme.etapes.isEmpty())
        commencer(programme, source, depuis, mode, false);
    return std::nullopt;
}

void PosteEnvoi::testSuivant()
{
    while (!m_tests.isEmpty() && !m_execution.enCours()) {
        const Test test = m_tests.takeFirst();
        const Programme programme{{EtapeProgramme{{}, test.grille, 0}}, 1};
        // The limits may have changed while it waited.
        if (auto refus = refusDesLimites(programme, 0)) {
            consignerRefus(*refus, test.source);
            DeroulementEnvoi deroulement;
            deroulement.grilleSeule = true;
            deroulement.debut = deroulement.termineA = maintenant();
            deroulement.programme = programme;
            deroulement.source = test.source;
            deroulement.refus = refus;
            m_finissant = true;
            Q_EMIT termine(deroulement);
            m_finissant = false;
            continue;
        }
        commencer(programme, test.source, 0, Mode::Continu, true);
    }
}

void PosteEnvoi::commencer(const Programme &programme, const QString &source, int depuis, Mode mode,
                           bool grilleSeule)
{
    m_identifiant = NouvelleExecution();
    m_deroulement = {};
    m_deroulement.grilleSeule = grilleSeule;
    m_deroulement.debut = maintenant();
    m_deroulement.programme = programme;
    m_deroulement.depuis = depuis;
    m_deroulement.cycles = qMax(1, programme.repetitions);
    m_deroulement.source = source;
    if (m_surveillance)
        m_surveillance->oublierRebranchement(); // said until this run
    m_etat.rebrancheA = {};
    m_etat.usage = grilleSeule ? EtatPoste::Usage::GrilleSeule : EtatPoste::Usage::Programme;
    m_etat.source = source;
    m_etat.etape = depuis;
    m_etat.etapes = int(programme.etapes.size());
    m_etat.cycle = 0;
    m_etat.cycles = m_deroulement.cycles;
    Q_EMIT etatChange(m_etat);
    m_execution.demarrer(programme, depuis, m_deroulement.cycles, mode);
}

void PosteEnvoi::interrompre()
{
    m_tests.clear(); // the program is ending: no other run
    m_execution.interrompre();
}

void PosteEnvoi::etapeVue(const ResultatEtape &etape)
{
    // A step that failed or was cut short is journaled with the run's end,
    // which says what went and what did not.
    if (!etape.envoi.echec)
        consigner(enregistrement(etape.envoi, etape.debut, etape.etape));
    Q_EMIT etapeTerminee(etape);
}

void PosteEnvoi::resultatVu(const ResultatProgramme &resultat)
{
    DeroulementEnvoi deroulement = m_deroulement;
    deroulement.termineA = maintenant();
    deroulement.resultat = resultat;
    using G = EchecLien::Genre;
    if (const ResultatEnvoi *rate = resultat.rate(); rate && deroulement.grilleSeule)
        deroulement.reessayable = rate->lignes.isEmpty() && (rate->echec->genre == G::PortOccupe ||
                                                             rate->echec->genre == G::PortAbsent);
    consignerFin(deroulement);
    m_etat.usage = EtatPoste::Usage::Aucun;
    if (m_surveillance && m_surveillance->actif())
        m_surveillance->regarder(); // the run may have found the port in another state
    Q_EMIT etatChange(m_etat);
    if (resultat.fin == Fin::Interrompue)
        m_tests.clear();
    m_finissant = true;
    Q_EMIT termine(deroulement);
    m_finissant = false;
    testSuivant();
}

EnregistrementEnvoi PosteEnvoi::enregistrement(const ResultatEnvoi &envoi, const QDateTime &debut,
                                               int etape) const
{
    const QString source = m_deroulement.grilleSeule
                               ? m_deroulement.source
                               : QStringLiteral("%1:%2").arg(m_deroulement.source).arg(etape + 1);
    EnregistrementEnvoi enregistrement = EnregistrementDe(envoi, debut, m_executable, source);
    enregistrement.execution = m_identifiant;
    return enregistrement;
}

void PosteEnvoi::consignerFin(const DeroulementEnvoi &deroulement)
{
    const ResultatProgramme &resultat = deroulement.resultat;
    // The operator's Stop, not a signal, wherever it cut the run short: in
    // the opening (its lone line feed held up) as in a step.
    const auto arretee = [&](EnregistrementEnvoi enregistrement) {
        if (resultat.fin == Fin::Arretee && enregistrement.issue == IssueEnvoi::Interrompue)
            enregistrement.issue = IssueEnvoi::Arretee;
        return enregistrement;
    };
    if (resultat.ouverture) {
        consigner(
            arretee(enregistrement(*resultat.ouverture, deroulement.debut, deroulement.depuis)));
        return;
    }
    if (const ResultatEnvoi *rate = resultat.rate()) {
        const ResultatEtape &etape = resultat.etapes.last();
        EnregistrementEnvoi coupe = arretee(enregistrement(*rate, etape.debut, etape.etape));
        if (!deroulement.grilleSeule)
            coupe.raison += QStringLiteral(". ") + bilan(deroulement);
        consigner(coupe);
        return;
    }
    if (!resultat.entreDeuxEtapes)
        return;
    // Stopped with no send under way: the run's own record says so.
    const auto prochaine =
        PremiereNonEnvoyee(resultat, deroulement.programme, deroulement.depuis, deroulement.cycles);
    EnregistrementEnvoi arret =
        enregistrement({}, deroulement.termineA, prochaine ? prochaine->first : 0);
    arret.portChoisi = port().echec ? QStringLiteral("inconnu") : port().peripherique;
    arret.peripherique = m_lien.peripherique();
    arret.issue = resultat.fin == Fin::Arretee ? IssueEnvoi::Arretee : IssueEnvoi::Interrompue;
    arret.raison = Mots::tr("%1 : %2").arg(
        resultat.fin == Fin::Arretee ? Mots::tr("arrêté par l'opérateur entre deux étapes")
                                     : Mots::tr("interrompu par un signal entre deux étapes"),
        bilan(deroulement));
    consigner(arret);
}

void PosteEnvoi::consignerRefus(const RefusEnvoi &refus, const QString &source)
{
    consigner({maintenant(),
               m_executable,
               source,
               port().echec ? QStringLiteral("inconnu") : port().peripherique,
               {},
               IssueEnvoi::HorsLimites,
               TexteRefus(refus, ValeursConsignees),
               {},
               NouvelleExecution()});
}

void PosteEnvoi::consignerRebranchement()
{
    if (!m_surveillance)
        return;
    consigner({m_surveillance->rebrancheA(),
               m_executable,
               {},
               port().peripherique,
               m_surveillance->etat().peripherique,
               IssueEnvoi::Rebranche,
               Mots::tr("débranché puis rebranché : la carte a pu redémarrer ; rien n'a été "
                        "renvoyé"),
               {},
               NouvelleExecution()});
    etatVu(m_surveillance->etat());
}

void PosteEnvoi::consigner(EnregistrementEnvoi enregistrement)
{
    enregistrement.executable = m_executable;
    if (const auto rate = EcrireJournal(enregistrement))
        Q_EMIT journalRate(Echec{Mots::tr("le journal des envois « %1 » : %2")
                                     .arg(NomLisible(CheminJournal()), Formuler(*rate))});
}

std::optional<EchecLien> PosteEnvoi::prendrePort()
{
    return m_lien.ouvrir();
}

void PosteEnvoi::consignerAttente(const QDateTime &debut, const QString &source,
                                  const EchecLien &echec, const QString &peripherique)
{
    consigner({debut,
               m_executable,
               source,
               port().echec ? QStringLiteral("inconnu") : port().peripherique,
               peripherique,
               IssueDe(echec),
               echec.message,
               {},
               NouvelleExecution()});
}

} // namespace tarvik::app
