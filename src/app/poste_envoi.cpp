#include "app/poste_envoi.h"

#include "app/formulation.h"

#include "core/course.h"
#include "port/etat_port.h"

#include <algorithm>

namespace tarvik::app {

namespace {

using Fin = ResultatProgramme::Fin;

// A grid alone, as TEST and a sequence file send it: one step, once.
Programme envoiSeul(const Grille &grille)
{
    return {{EtapeProgramme{{}, grille, 0}}, 1};
}

bool dehors(const ValeurRefusee &valeur)
{
    return valeur.horsLimite;
}

} // namespace

PosteEnvoi::PosteEnvoi(const QString &executable, Horloge *horloge, QObject *parent)
    : QObject(parent)
    , m_executable(executable)
    , m_horloge(horloge ? horloge : &m_horlogeQt)
    , m_execution(m_lien, m_horloge)
{
    using E = ExecutionProgramme;
    // Told with the run's id. The lines come from the send's thread, and
    // reach here, in order, before the step's end.
    connect(&m_execution, &E::etapeCommencee, this, &PosteEnvoi::etapeVue);
    connect(&m_execution, &E::ligneRemise, this,
            [this](const QString &ligne) { Q_EMIT ligneRemise(m_deroulement.execution, ligne); });
    connect(&m_execution, &E::etapeTerminee, this, [this](const ResultatEtape &etape) {
        Q_EMIT etapeTerminee(m_deroulement.execution, etape);
    });
    connect(&m_execution, &E::attente, this, [this](qint64 ms) {
        m_etat.finAttente = maintenant().addMSecs(ms);
        Q_EMIT attente(m_deroulement.execution, ms);
    });
    connect(&m_execution, &E::pause, this,
            [this](int etape, int cycle) { Q_EMIT pause(m_deroulement.execution, etape, cycle); });
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
    connect(surveillance, &Surveillance::rebranche, this, [this] {
        Q_EMIT rebranche(m_surveillance->rebrancheA(), m_surveillance->etat().peripherique);
        etatVu(m_surveillance->etat());
    });
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
    ++m_versionLimites;
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

ExamenGrille PosteEnvoi::examiner(const TextesGrille &textes, DestinationGrille destination) const
{
    using G = RefusEnvoi::Genre;
    using D = DestinationGrille;
    ExamenGrille examen{destination, {}, {}, {}, {}, m_versionLimites};
    if (destination == D::Envoi && programmeEnCours()) {
        examen.refus = RefusEnvoi{G::ProgrammeEnCours, {}, {}};
        return examen;
    }
    if (destination == D::Envoi && m_limites.echec) {
        examen.refus = RefusEnvoi{G::LimitesDouteuses, Formuler(*m_limites.echec), {}};
        return examen;
    }
    // Each box checked once, within the bench's limits but for a file; a
    // grid TEST sends goes no further than its axes' travel either, told
    // beside the values refused.
    const GrilleVerifiee verifiee =
        VerifierGrille(textes, m_noms, destination == D::Fichier ? nullptr : &limites());
    examen.lues = verifiee.lues;
    QList<ValeurRefusee> valeurs = verifiee.echecs;
    if (destination == D::Envoi)
        valeurs += VerifierCourse(verifiee, limites(), m_noms);
    if (!valeurs.isEmpty()) {
        const bool parLesLimites = std::all_of(valeurs.begin(), valeurs.end(), dehors);
        examen.refus = RefusEnvoi{parLesLimites ? G::HorsLimites : G::ValeurRefusee, {}, valeurs};
        return examen;
    }
    examen.grille = verifiee.grille;
    if (destination == D::Fichier)
        if (const QList<ValeurRefusee> bornes = horsLimites(envoiSeul(*examen.grille), 0);
            !bornes.isEmpty())
            examen.horsDuBanc = RefusEnvoi{G::HorsLimites, {}, bornes};
    return examen;
}

std::optional<RefusEnvoi> PosteEnvoi::examiner(const Programme &programme, int depuis) const
{
    return refusDesLimites(programme, depuis);
}

QList<ValeurRefusee> PosteEnvoi::horsLimites(const Programme &programme, int depuis) const
{
    // Each value within the limits, then where the whole run takes each axis.
    QList<ValeurRefusee> valeurs = VerifierLimites(programme, limites(), m_noms);
    valeurs += VerifierCourse(programme, limites(), depuis, qMax(1, programme.repetitions), m_noms);
    return valeurs;
}

std::optional<RefusEnvoi> PosteEnvoi::refusDesLimites(const Programme &programme, int depuis) const
{
    if (m_limites.echec)
        return RefusEnvoi{RefusEnvoi::Genre::LimitesDouteuses, Formuler(*m_limites.echec), {}};
    QList<ValeurRefusee> valeurs = horsLimites(programme, depuis);
    if (valeurs.isEmpty())
        return std::nullopt;
    return RefusEnvoi{RefusEnvoi::Genre::HorsLimites, {}, valeurs};
}

std::optional<RefusEnvoi> PosteEnvoi::refuser(const RefusEnvoi &refus, const QString &source,
                                              const QString &execution)
{
    // What the bench's limits refuse, journaled once: a value no grid takes
    // is none of theirs.
    RefusEnvoi consigne = refus;
    if (refus.genre != RefusEnvoi::Genre::LimitesDouteuses) {
        consigne.genre = RefusEnvoi::Genre::HorsLimites;
        consigne.valeurs.clear();
        std::copy_if(refus.valeurs.begin(), refus.valeurs.end(),
                     std::back_inserter(consigne.valeurs), dehors);
    }
    if (refus.genre == RefusEnvoi::Genre::LimitesDouteuses || !consigne.valeurs.isEmpty())
        Q_EMIT refuse(execution.isEmpty() ? NouvelleExecution() : execution, consigne, source);
    return refus;
}

std::optional<RefusEnvoi> PosteEnvoi::envoyer(const ExamenGrille &examen)
{
    if (programmeEnCours()) // never queued behind a program, to leave when no one chose
        return RefusEnvoi{RefusEnvoi::Genre::ProgrammeEnCours, {}, {}};
    if (examen.refus)
        return examen.refus->genre == RefusEnvoi::Genre::ProgrammeEnCours
                   ? examen.refus
                   : refuser(*examen.refus, {});
    if (!examen.grille || examen.destination != DestinationGrille::Envoi ||
        examen.limites != m_versionLimites) // examined otherwise: examined again
        return examen.grille ? envoyer(*examen.grille) : std::nullopt;
    m_tests << Test{*examen.grille, {}, examen.limites};
    if (!m_execution.enCours() && !m_finissant)
        testSuivant();
    return std::nullopt;
}

std::optional<RefusEnvoi> PosteEnvoi::envoyer(const Grille &grille, const QString &source)
{
    if (programmeEnCours())
        return RefusEnvoi{RefusEnvoi::Genre::ProgrammeEnCours, {}, {}};
    if (auto refus = refusDesLimites(envoiSeul(grille), 0))
        return refuser(*refus, source);
    m_tests << Test{grille, source, m_versionLimites};
    if (!m_execution.enCours() && !m_finissant)
        testSuivant();
    return std::nullopt;
}

std::optional<RefusEnvoi> PosteEnvoi::lancer(const Programme &programme, const QString &source,
                                             int depuis, Mode mode)
{
    if (occupe())
        return RefusEnvoi{programmeEnCours() ? RefusEnvoi::Genre::ProgrammeEnCours
                                             : RefusEnvoi::Genre::EnvoiEnCours,
                          {},
                          {}};
    if (auto refus = refusDesLimites(programme, depuis))
        return refuser(*refus, source);
    if (!programme.etapes.isEmpty())
        commencer(programme, source, depuis, mode, false);
    return std::nullopt;
}

void PosteEnvoi::testSuivant()
{
    while (!m_tests.isEmpty() && !m_execution.enCours()) {
        const Test test = m_tests.takeFirst();
        const Programme programme = envoiSeul(test.grille);
        // The limits changed while it waited: examined under the new ones.
        const auto refus =
            test.limites == m_versionLimites ? std::nullopt : refusDesLimites(programme, 0);
        if (refus) {
            DeroulementEnvoi deroulement;
            deroulement.execution = NouvelleExecution();
            deroulement.grilleSeule = true;
            deroulement.debut = deroulement.termineA = maintenant();
            deroulement.programme = programme;
            deroulement.source = test.source;
            deroulement.refus = refuser(*refus, test.source, deroulement.execution);
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
    m_deroulement = {};
    m_deroulement.execution = NouvelleExecution();
    m_deroulement.grilleSeule = grilleSeule;
    m_deroulement.debut = maintenant();
    m_deroulement.programme = programme;
    m_deroulement.depuis = depuis;
    m_deroulement.cycles = qMax(1, programme.repetitions);
    m_deroulement.mode = mode;
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
    m_etat.finAttente = {};
    Q_EMIT etatChange(m_etat);
    Q_EMIT commence(m_deroulement);
    m_execution.demarrer(programme, depuis, m_deroulement.cycles, mode);
}

void PosteEnvoi::interrompre()
{
    m_tests.clear(); // the program is ending: no other run
    m_execution.interrompre();
}

void PosteEnvoi::etapeVue(int etape, int cycle)
{
    m_etat.etape = etape;
    m_etat.cycle = cycle;
    m_etat.finAttente = {};
    Q_EMIT etatChange(m_etat);
    Q_EMIT etapeCommencee(m_deroulement.execution, etape, cycle);
}

void PosteEnvoi::resultatVu(const ResultatProgramme &resultat)
{
    DeroulementEnvoi deroulement = m_deroulement;
    deroulement.termineA = maintenant();
    deroulement.resultat = resultat;
    using G = EchecLien::Genre;
    if (const ResultatEnvoi *rate = resultat.rate(); rate && deroulement.grilleSeule)
        deroulement.reessayable =
            rate->lignes.isEmpty() &&
            (rate->echec->genre() == G::PortOccupe || rate->echec->genre() == G::PortAbsent);
    m_etat.usage = EtatPoste::Usage::Aucun;
    m_etat.finAttente = {};
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

std::optional<EchecLien> PosteEnvoi::prendrePort()
{
    return m_lien.ouvrir();
}

} // namespace tarvik::app
