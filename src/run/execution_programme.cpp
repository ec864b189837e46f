#include "run/execution_programme.h"

#include <sys/eventfd.h>
#include <unistd.h>

namespace tarvik::run {

HorlogeQt::HorlogeQt()
{
    m_minuterie.setSingleShot(true);
    m_minuterie.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_minuterie, &QTimer::timeout, [this] {
        if (auto suite = std::exchange(m_suite, {}))
            suite();
    });
}

void HorlogeQt::planifier(qint64 ms, std::function<void()> suite)
{
    m_suite = std::move(suite);
    m_minuterie.start(int(ms));
}

void HorlogeQt::annuler()
{
    m_minuterie.stop();
    m_suite = {};
}

const ResultatEnvoi *ResultatProgramme::rate() const
{
    if (ouverture)
        return &*ouverture;
    if (!etapes.isEmpty() && etapes.last().envoi.echec)
        return &etapes.last().envoi;
    return nullptr;
}

int ResultatProgramme::envoyees() const
{
    return int(etapes.size()) - (rate() && !ouverture ? 1 : 0);
}

std::optional<std::pair<int, int>> PremiereNonEnvoyee(const ResultatProgramme &resultat,
                                                      const Programme &programme, int depuis,
                                                      int cycles)
{
    if (resultat.ouverture || resultat.etapes.isEmpty())
        return std::pair{depuis, 0};
    const ResultatEtape &derniere = resultat.etapes.last();
    if (derniere.envoi.echec)
        return std::pair{derniere.etape, derniere.cycle};
    if (derniere.etape + 1 < programme.etapes.size())
        return std::pair{derniere.etape + 1, derniere.cycle};
    if (derniere.cycle + 1 < cycles)
        return std::pair{0, derniere.cycle + 1};
    return std::nullopt;
}

ExecutionProgramme::ExecutionProgramme(LienSerie &lien, Horloge *horloge, QObject *parent)
    : QObject(parent)
    , m_lien(lien)
    , m_horloge(horloge ? horloge : &m_horlogeQt)
{
}

ExecutionProgramme::~ExecutionProgramme()
{
    arreter();
    if (m_envoi.joinable())
        m_envoi.join();
    m_suite = {};
    if (m_lien.estOuvert())
        m_lien.abandonner();
    m_lien.setArret(-1);
    if (m_arret >= 0)
        ::close(m_arret);
}

void ExecutionProgramme::travailler(std::function<void()> travail, std::function<void()> suite)
{
    m_occupe = true;
    m_suite = std::move(suite);
    if (!*EnvoisEnFond) {
        travail();
        travailFini();
        return;
    }
    if (m_envoi.joinable())
        m_envoi.join();
    m_envoi = std::thread([this, travail = std::move(travail), numero = ++m_travaux] {
        travail();
        // Back in this object's thread; dropped if it is gone by then, or
        // if interrompre() has seen to it already.
        QMetaObject::invokeMethod(
            this,
            [this, numero] {
                if (numero == m_travaux)
                    travailFini();
            },
            Qt::QueuedConnection);
    });
}

void ExecutionProgramme::travailFini()
{
    if (!m_occupe) // finished already, by interrompre()
        return;
    if (m_envoi.joinable())
        m_envoi.join();
    m_occupe = false;
    if (auto suite = std::exchange(m_suite, {}))
        suite();
}

void ExecutionProgramme::demarrer(const Programme &programme, int depuis, int repetitions,
                                  Mode mode)
{
    if (m_enCours || programme.etapes.isEmpty())
        return;
    m_programme = programme;
    m_mode = mode;
    m_etape = qBound(0, depuis, int(programme.etapes.size()) - 1);
    m_cycle = 0;
    m_cycles = qMax(1, repetitions);
    m_enCours = true;
    m_enPause = false;
    m_arretDemande.reset();
    m_resultat = {};
    if (m_arret < 0)
        m_arret = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    eventfd_t vu = 0;
    ::eventfd_read(m_arret, &vu); // a Stop of an earlier run is not this one's
    m_lien.setArret(m_arret);
    auto ouverture = std::make_shared<ResultatEnvoi>();
    travailler([this, ouverture] { *ouverture = OuvrirPourEnvoyer(m_lien); },
               [this, ouverture] { ouvertureFinie(*ouverture); });
}

void ExecutionProgramme::ouvertureFinie(const ResultatEnvoi &ouverture)
{
    using Fin = ResultatProgramme::Fin;
    m_courante = {m_etape, m_cycle, m_horloge->maintenant(), ouverture};
    if (ouverture.echec) {
        m_resultat.ouverture = ouverture;
        const bool signal = ouverture.echec->genre() == EchecLien::Genre::Interrompu;
        finir(m_arretDemande ? *m_arretDemande : signal ? Fin::Interrompue : Fin::Echec);
        return;
    }
    m_arretDemande ? finir(*m_arretDemande) : envoyerEtape();
}

void ExecutionProgramme::envoyerEtape()
{
    m_enPause = false;
    // The opening's warnings and thrown-away bytes go with the first step.
    ResultatEnvoi envoi = m_courante.envoi;
    envoi.lignes.clear();
    m_courante = {m_etape, m_cycle, m_horloge->maintenant(), envoi};
    m_courante.envoi.echec.reset();
    Q_EMIT etapeCommencee(m_etape, m_cycle);
    const Grille grille = m_programme.etapes[m_etape].grille;
    travailler(
        [this, grille] {
            const QDeadlineTimer echeance(*DelaiSequenceMs);
            EnvoyerSequence(grille, m_lien, echeance, m_courante.envoi,
                            {{}, [this](const QString &ligne) {
                                 Q_EMIT ligneRemise(ligne);
                             }});
        },
        [this] { etapeFinie(); });
}

void ExecutionProgramme::etapeFinie()
{
    using Fin = ResultatProgramme::Fin;
    m_resultat.etapes << m_courante;
    Q_EMIT etapeTerminee(m_courante);
    // Only the first step carries what the opening said.
    m_courante.envoi.avertissements.clear();
    m_courante.envoi.octetsJetes = 0;
    m_courante.envoi.ligneNeuve = Coupure::Aucune;
    if (const auto &echec = m_courante.envoi.echec) {
        finir(echec->genre() != EchecLien::Genre::Interrompu
                  ? Fin::Echec
                  : m_arretDemande.value_or(Fin::Interrompue));
        return;
    }
    const qint64 ms = qint64(m_programme.etapes[m_etape].attenteDixiemes) * 100;
    if (m_arretDemande || !avancer()) {
        finir(m_arretDemande.value_or(Fin::Terminee));
        return;
    }
    if (m_mode == Mode::PasAPas) {
        m_enPause = true;
        Q_EMIT pause(m_etape, m_cycle);
        return;
    }
    Q_EMIT attente(ms);
    if (m_enCours) // a Stop heard as the wait was told sends nothing more
        m_horloge->planifier(ms, [this] { envoyerEtape(); });
}

bool ExecutionProgramme::avancer()
{
    if (++m_etape < m_programme.etapes.size())
        return true;
    m_etape = 0;
    return ++m_cycle < m_cycles;
}

void ExecutionProgramme::continuer()
{
    if (m_enCours && m_enPause && !m_occupe)
        envoyerEtape();
}

void ExecutionProgramme::demanderArret(ResultatProgramme::Fin fin)
{
    if (!m_enCours)
        return;
    if (!m_arretDemande)
        m_arretDemande = fin;
    if (m_arret >= 0)
        ::eventfd_write(m_arret, 1); // a stalled send gives up at once
    m_horloge->annuler();
    if (!m_occupe) // waiting, or paused: nothing to wait for
        finir(*m_arretDemande);
}

void ExecutionProgramme::arreter()
{
    demanderArret(ResultatProgramme::Fin::Arretee);
}

void ExecutionProgramme::interrompre()
{
    demanderArret(ResultatProgramme::Fin::Interrompue);
    if (m_occupe && m_envoi.joinable()) {
        m_envoi.join(); // the send gives up at its next line
        travailFini();
    }
}

void ExecutionProgramme::finir(ResultatProgramme::Fin fin)
{
    using Fin = ResultatProgramme::Fin;
    if (!m_enCours)
        return;
    m_horloge->annuler();
    // Between two steps the port is drained: it closes; after a failure or
    // a Stop during a send, what waited was dealt with already.
    if (m_lien.estOuvert())
        m_lien.fermer();
    m_lien.setArret(-1);
    m_enCours = m_enPause = false;
    m_resultat.fin = fin;
    m_resultat.entreDeuxEtapes =
        (fin == Fin::Arretee || fin == Fin::Interrompue) && !m_resultat.ouverture &&
        (m_resultat.etapes.isEmpty() || !m_resultat.etapes.last().envoi.echec);
    Q_EMIT termine(m_resultat);
}

} // namespace tarvik::run
