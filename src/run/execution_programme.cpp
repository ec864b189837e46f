#include "run/execution_programme.h"

#include <sys/eventfd.h>
#include <unistd.h>

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
    if (m_lien.estOuvert())
        m_lien.abandonner();
    m_lien.setArret(-1);
    if (m_arret >= 0)
        ::close(m_arret);
}

void ExecutionProgramme::lancer(std::function<void()> travail, std::function<void()> fin)
{
    m_occupe = true;
    if (!*EnvoisEnFond) {
        travail();
        m_occupe = false;
        fin();
        return;
    }
    if (m_envoi.joinable())
        m_envoi.join();
    m_envoi = std::thread([this, travail = std::move(travail), fin = std::move(fin)] {
        travail();
        // Back in this object's thread; dropped if it is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, fin] {
                if (m_envoi.joinable())
                    m_envoi.join();
                m_occupe = false;
                fin();
            },
            Qt::QueuedConnection);
    });
}

void ExecutionProgramme::demarrer(const Programme &programme, int depuis, int repetitions,
                                  Mode mode)
{
    if (m_enCours || programme.etapes.isEmpty())
        return;
    m_programme = programme;
    m_mode = mode;
    m_etape = qBound(0, depuis, int(programme.etapes.size()) - 1);
    m_cycle = 1;
    m_cycles = qMax(1, repetitions);
    m_enCours = true;
    m_enPause = false;
    m_arretDemande = false;
    m_resultat = {};
    if (m_arret < 0)
        m_arret = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    eventfd_t vu = 0;
    ::eventfd_read(m_arret, &vu); // a Stop of an earlier run is not this one's
    m_lien.setArret(m_arret);
    auto ouverture = std::make_shared<ResultatEnvoi>();
    lancer([this, ouverture] { *ouverture = OuvrirPourEnvoyer(m_lien); },
           [this, ouverture] {
               m_courante = {m_etape, m_cycle, QDateTime::currentDateTime(), *ouverture};
               if (ouverture->echec) {
                   m_resultat.ouverture = *ouverture;
                   finir(ouverture->echec->genre == EchecLien::Genre::Interrompu && !m_arretDemande
                             ? ResultatProgramme::Fin::Interrompue
                         : m_arretDemande ? ResultatProgramme::Fin::Arretee
                                          : ResultatProgramme::Fin::Echec);
                   return;
               }
               m_arretDemande ? finir(ResultatProgramme::Fin::Arretee) : envoyerEtape();
           });
}

void ExecutionProgramme::envoyerEtape()
{
    m_enPause = false;
    // The opening's warnings and thrown-away bytes go with the first step.
    ResultatEnvoi envoi = m_courante.envoi;
    envoi.lignes.clear();
    m_courante = {m_etape, m_cycle, QDateTime::currentDateTime(), envoi};
    m_courante.envoi.echec.reset();
    Q_EMIT etapeCommencee(m_etape, m_cycle);
    const Grille grille = m_programme.etapes[m_etape].grille;
    lancer(
        [this, grille] {
            const QDeadlineTimer echeance(*DelaiSequenceMs);
            EnvoyerGrille(grille, m_lien, echeance, m_courante.envoi,
                          {{}, [this](const QString &ligne) { Q_EMIT ligneRemise(ligne); }});
        },
        [this] { etapeFinie(); });
}

void ExecutionProgramme::etapeFinie()
{
    m_resultat.etapes << m_courante;
    Q_EMIT etapeTerminee(m_courante);
    // Only the first step carries what the opening said.
    m_courante.envoi.avertissements.clear();
    m_courante.envoi.octetsJetes = 0;
    if (const auto &echec = m_courante.envoi.echec) {
        using G = EchecLien::Genre;
        finir(echec->genre != G::Interrompu ? ResultatProgramme::Fin::Echec
              : m_arretDemande             ? ResultatProgramme::Fin::Arretee
                                           : ResultatProgramme::Fin::Interrompue);
        return;
    }
    const qint64 ms = qint64(m_programme.etapes[m_etape].attenteDixiemes) * 100;
    if (m_arretDemande || !avancer()) {
        finir(m_arretDemande ? ResultatProgramme::Fin::Arretee : ResultatProgramme::Fin::Terminee);
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
    return ++m_cycle <= m_cycles;
}

void ExecutionProgramme::continuer()
{
    if (m_enCours && m_enPause && !m_occupe)
        envoyerEtape();
}

void ExecutionProgramme::arreter()
{
    if (!m_enCours)
        return;
    m_arretDemande = true;
    if (m_arret >= 0)
        ::eventfd_write(m_arret, 1); // a stalled send gives up at once
    m_horloge->annuler();
    if (!m_occupe) // waiting, or paused: nothing to wait for
        finir(ResultatProgramme::Fin::Arretee);
}

void ExecutionProgramme::finir(ResultatProgramme::Fin fin)
{
    if (!m_enCours)
        return;
    m_horloge->annuler();
    // Between two steps the port is drained: it closes; after a failure or
    // a Stop during a send, what waited was thrown away already.
    if (m_lien.estOuvert())
        m_lien.fermer();
    m_lien.setArret(-1);
    m_enCours = m_enPause = false;
    m_resultat.fin = fin;
    Q_EMIT termine(m_resultat);
}
