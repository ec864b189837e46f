#include "port/pilote_posix.h"

#include "port/peripherique.h"
#include "port/reglages_ligne.h"
#include "system/noms.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tarvik::port {

namespace {

// A stage of the run has ended.
void etapeFinie(EtapeLien etape)
{
    if (*FinDEtapeLien)
        (*FinDEtapeLien)(etape);
}

using G = EchecLien::Genre;
using R = RaisonPort::Genre;

EchecLien refus(G genre, R raison)
{
    return Refus(genre, RaisonPort{raison, 0, {}, 0, 0, {}});
}

EchecLien erreurDe(G genre, R raison, int erreur)
{
    return Refus(genre, RaisonPort{raison, 0, {}, erreur, 0, {}});
}

EchecLien occupePar(R raison, QList<Processus> processus, const QString &nom = {})
{
    return Refus(G::PortOccupe, RaisonPort{raison, 0, nom, 0, 0, std::move(processus)});
}

// The locks keep the port.
EchecLien verrouille(RefusVerrou verrou)
{
    EchecLien echec;
    echec.genre = G::PortOccupe;
    echec.verrou = std::move(verrou);
    return echec;
}

EchecLien debranche()
{
    return refus(G::PortDebranche, R::Debranche);
}

EchecLien ecritureEchouee(int erreur)
{
    // The device is gone (an adapter pulled out, a bridge's far end closed).
    if (erreur == EIO || erreur == ENODEV || erreur == ENXIO)
        return debranche();
    return erreurDe(G::EcritureEchouee, R::EcritureEchouee, erreur);
}

EchecLien interrompu()
{
    return refus(G::Interrompu, R::EnvoiInterrompu);
}

EchecLien delaiDepasse()
{
    return refus(G::DelaiDepasse, R::LigneBloquee);
}

// The grace a line in flight on a serial port is given to leave once a
// Stop is heard: a few times its own time on the wire (10 bits a byte at
// 38400 baud), 20 ms at least.
int graceMs(qsizetype taille)
{
    return int(qMax<qint64>(20, 4 * qint64(taille) * 10 * 1000 / 38400));
}

} // namespace

PilotePosix::~PilotePosix()
{
    jeter(); // a run cut short leaves nothing to arrive later
    fermer();
}

bool PilotePosix::reveille() const
{
    pollfd p[2] = {{m_reveil, POLLIN, 0}, {m_arret, POLLIN, 0}}; // -1s are passed over
    return (m_reveil >= 0 || m_arret >= 0) && ::poll(p, 2, 0) > 0;
}

GenreLigne PilotePosix::genreDe(quint64 rdev)
{
    return EstPseudoTerminal(rdev) ? GenreLigne::PseudoTerminal : GenreLigne::PortSerie;
}

std::optional<EchecLien> PilotePosix::ouvrir(const QString &nom)
{
    fermer();
    m_jetes = 0;
    m_coupure = Coupure::Aucune;
    m_avertissements.clear();
    if (reveille()) // the program is asked to end: no new run
        return interrompu();
    m_chemin = CheminReel(nom);
    struct stat etat {};
    if (auto refus = VerifierPeripheriqueChemin(m_chemin, etat))
        return refus;
    etapeFinie(EtapeLien::Verifications);

    if (auto occupe = examinerVerrous(nom, etat))
        return occupe;
    etapeFinie(EtapeLien::Verrous);

    m_fd = OuvrirPeripherique(m_chemin);
    if (m_fd < 0)
        return refusOuverture(errno, etat);
    m_rdev = etat.st_rdev;
    m_genre = genreDe(m_rdev);
    termios reglages{};
    auto refus = VerifierPeripheriqueOuvert(m_fd, etat, reglages);
    etapeFinie(EtapeLien::Ouverture);
    if (!refus)
        refus = prendre(nom, etat.st_rdev);
    etapeFinie(EtapeLien::Verrous);
    if (!refus) {
        m_origine = reglages;
        if (const int erreur = reglerLigne())
            refus = erreurDe(G::OuvertureEchouee, R::ReglagesLigneRefuses, erreur);
    }
    if (refus) {
        fermer();
        return refus;
    }
    constaterCoupure();
    etapeFinie(EtapeLien::Ouverture);
    return std::nullopt;
}

std::optional<EchecLien> PilotePosix::examinerVerrous(const QString &nom, const struct stat &etat)
{
    // The device's own name, worked out once for the run: the device opened
    // is checked to bear the same numbers, and keeps them while it is held.
    m_propre = NomPropre(etat.st_rdev);
    // Locks other programs left under any name of the device, before the
    // device is even opened, and the traces of a cut there, found by the
    // names it was reached by as well as by its numbers.
    QStringList chemins{nom, m_chemin, m_propre};
    chemins.removeAll(QString());
    chemins.removeDuplicates();
    if (const auto occupe = m_verrous.examinerDossiers(
            NomsDeVerrou(chemins + LiensVers(etat.st_rdev, *DossiersLiens), etat.st_rdev),
            etat.st_rdev, VerrousUucp::Perimes::Supprimes, chemins))
        return verrouille(*occupe);
    return std::nullopt;
}

void PilotePosix::constaterCoupure()
{
    // What a killed writer left queued would reach the board glued to the
    // first line of this run: it goes before anything of ours. Only a
    // serial port keeps that count; on a pseudo-terminal what a slow
    // bridge has not read yet may be a whole earlier run, and stays.
    if (const int reste = m_genre == GenreLigne::PortSerie ? enAttente() : 0; reste > 0) {
        jeter();
        m_jetes = reste;
    }
    const Coupure trouvee = m_verrous.coupure();
    m_coupure = m_coupe == m_rdev                                             ? Coupure::CeLien
                : trouvee != Coupure::Aucune && trouvee != Coupure::SansTrace ? trouvee
                : m_jetes > 0                                                 ? Coupure::FileLaissee
                                                                              : trouvee;
}

std::optional<EchecLien> PilotePosix::refusOuverture(int erreur, const struct stat &etat)
{
    switch (erreur) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return RefusPortAbsent();
    case EACCES:
    case EPERM:
        return RefusPermission();
    case EBUSY: // another descriptor holds exclusive mode
        if (const qint64 pid = DetenteurFlock(etat.st_dev, etat.st_ino))
            return occupePar(R::OccupeExclusifPar, {LireProcessus(pid)});
        return refusExclusif(DetenteursOuverts(etat.st_rdev));
    default:
        return erreurDe(G::OuvertureEchouee, R::OuvertureImpossible, erreur);
    }
}

EchecLien PilotePosix::refusExclusif(const Detenteurs &detenteurs) const
{
    if (!detenteurs.pids.isEmpty()) {
        QList<Processus> qui;
        for (const qint64 pid : detenteurs.pids)
            qui << LireProcessus(pid);
        return occupePar(R::ExclusifOuvertPar, qui);
    }
    if (detenteurs.invisibles || !VoitTousLesProcessus())
        return occupePar(R::ExclusifInvisible, {}, m_propre.isEmpty() ? m_chemin : m_propre);
    return occupePar(R::ExclusifSansDetenteur, {});
}

std::optional<EchecLien> PilotePosix::prendre(const QString &donne, quint64 rdev)
{
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        struct stat etat {};
        const Flock flock =
            ::fstat(m_fd, &etat) == 0 ? FlockSur(etat.st_dev, etat.st_ino, rdev) : Flock{};
        return flock.pid > 0 ? occupePar(R::OccupePar, {LireProcessus(flock.pid)})
                             : occupePar(R::OccupeAutreProgramme, {});
    }
    if (auto refus = leverExclusif(rdev))
        return refus;
    if (const auto refus = m_verrous.prendre(NomsDeNosVerrous(donne, m_chemin, m_propre)))
        return verrouille(*refus);
    m_exclusif = ::ioctl(m_fd, TIOCEXCL) == 0;
    return std::nullopt;
}

std::optional<EchecLien> PilotePosix::leverExclusif(quint64 rdev)
{
    // Exclusive mode with no flock holder and no live lock file, which the
    // kernel let us through (root). Cleared only when it was a killed run
    // of ours that left it (its stale lock, or a trace, of a process now
    // ended), and nobody holds the device, where every process can be seen.
    // A bridge such as socat keeps its end open all its life: it holds the
    // device, and is reopened instead. What nobody can be seen to hold may
    // still be held: a descriptor sent between processes, not yet received,
    // is in no process's table.
    int exclusif = 0;
    if (::ioctl(m_fd, TIOCGEXCL, &exclusif) != 0 || !exclusif)
        return std::nullopt;
    const Detenteurs detenteurs = DetenteursOuverts(rdev);
    if (!detenteurs.pids.isEmpty() || detenteurs.invisibles || !VoitTousLesProcessus())
        return refusExclusif(detenteurs);
    // Left with nobody holding it: a sign that a run was cut, which stays
    // for the next runs, whoever clears the mode (reopening a bridge does).
    m_verrous.marquerCoupure(RaisonTrace::Exclusif);
    if (!m_verrous.envoiTermine())
        return refusExclusif(detenteurs);
    ::ioctl(m_fd, TIOCNXCL);
    m_avertissements << AvertissementPort{.genre = AvertissementPort::Genre::ExclusifLeve};
    return std::nullopt;
}

int PilotePosix::reglerLigne()
{
    const termios voulus = ReglagesPourLaCarte(*m_origine);
    if (::tcsetattr(m_fd, TCSANOW, &voulus) != 0)
        return errno;
    termios lus{};
    if (::tcgetattr(m_fd, &lus) != 0)
        return errno;
    return ReglagesConformes(lus) ? 0 : EINVAL;
}

std::optional<EchecLien> PilotePosix::entendre(Attente &attente, qsizetype taille)
{
    if (attente.grace || !reveille())
        return std::nullopt;
    if (m_genre == GenreLigne::PseudoTerminal) // what went stays there: stop now
        return interrompu();
    attente.grace = true;
    attente.echeance = qMin(attente.echeance, QDeadlineTimer(graceMs(taille)));
    return std::nullopt;
}

std::optional<EchecLien> PilotePosix::attendreLigne(Attente &attente, qsizetype taille)
{
    for (;;) {
        if (auto refus = entendre(attente, taille))
            return refus;
        if (attente.echeance.hasExpired())
            return attente.grace ? interrompu() : delaiDepasse();
        // Past a Stop, only the line's own end is waited for; -1s are passed over.
        const int reveil = attente.grace ? -1 : m_reveil, arret = attente.grace ? -1 : m_arret;
        pollfd attentes[3] = {{m_fd, POLLOUT, 0}, {reveil, POLLIN, 0}, {arret, POLLIN, 0}};
        const int n = ::poll(attentes, 3, int(qMax<qint64>(1, attente.echeance.remainingTime())));
        if (n < 0 && errno != EINTR)
            return ecritureEchouee(errno);
        if (n > 0 && (attentes[0].revents & (POLLHUP | POLLERR)))
            return debranche(); // at once: nothing more can go
        if (n > 0 && (attentes[0].revents & (POLLOUT | POLLNVAL)))
            return std::nullopt; // the next write says how it went
    }
}

std::optional<EchecLien> PilotePosix::transmettreLigne(QByteArrayView ligne, Attente &attente,
                                                       qsizetype &fait)
{
    bool attendu = false; // waited once since the last byte went in
    while (fait < ligne.size()) {
        const ssize_t n = transmettre(ligne.data() + fait, size_t(ligne.size() - fait));
        if (n > 0) {
            fait += n;
            attendu = false;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return ecritureEchouee(errno);
        if (attendu && attente.echeance.hasExpired())
            return attente.grace ? interrompu() : delaiDepasse();
        if (auto refus = attendreLigne(attente, ligne.size()))
            return refus;
        attendu = true;
    }
    return std::nullopt;
}

std::optional<EchecLien> PilotePosix::attendreDepart(Attente &attente, qsizetype taille)
{
    // Closing throws away what is still queued, and a line counts only once
    // it has left: wait until the driver has sent everything.
    int reste = 0;
    while ((reste = enAttente()) > 0) {
        if (auto refus = entendre(attente, taille))
            return refus;
        if (attente.echeance.hasExpired())
            return attente.grace ? interrompu()
                                 : Refus(G::DelaiDepasse,
                                         RaisonPort{R::OctetsEnAttente, 0, {}, 0, reste, {}});
        pollfd p[2] = {{attente.grace ? -1 : m_reveil, POLLIN, 0},
                       {attente.grace ? -1 : m_arret, POLLIN, 0}};
        const timespec demi{0, 500000};
        ::ppoll(p, 2, &demi, nullptr);
    }
    if (const int erreur = drainer())
        return ecritureEchouee(erreur);
    return std::nullopt;
}

std::optional<EchecLien> PilotePosix::ecrire(QByteArrayView ligne, QDeadlineTimer echeance)
{
    m_partie = false;
    if (reveille()) // heard between two lines: nothing of this one goes
        return interrompu();
    Attente attente{echeance};
    qsizetype fait = 0;
    auto refus = transmettreLigne(ligne, attente, fait);
    if (!refus && m_genre == GenreLigne::PortSerie)
        refus = attendreDepart(attente, ligne.size());
    if (refus && fait > 0)
        laisserLigne(fait);
    return refus;
}

void PilotePosix::laisserLigne(qsizetype fait)
{
    m_partie = true;
    if (m_genre == GenreLigne::PortSerie) {
        // Only this line is queued: what is still there has not left.
        const int reste = enAttente();
        jeter();
        m_partie = reste < 0 || reste < fait;
    }
    if (m_partie) {
        m_coupe = m_rdev;
        m_verrous.marquerCoupure(); // for the next run, of any process
    }
}

std::optional<EchecLien> PilotePosix::reprendreLigne(QDeadlineTimer echeance)
{
    if (auto refus = PiloteLigne::reprendreLigne(echeance))
        return refus;
    m_coupe = 0;
    m_avertissements << m_verrous.effacerCoupures();
    return std::nullopt;
}

ssize_t PilotePosix::transmettre(const char *octets, size_t taille)
{
    return ::write(m_fd, octets, taille);
}

int PilotePosix::enAttente()
{
    int octets = 0;
    return ::ioctl(m_fd, TIOCOUTQ, &octets) == 0 ? octets : -1;
}

int PilotePosix::drainer()
{
    return ::tcdrain(m_fd) == 0 ? 0 : errno;
}

std::optional<EchecLien> PilotePosix::vider(QDeadlineTimer echeance)
{
    Attente attente{echeance};
    auto echec = attendreDepart(attente, 0);
    etapeFinie(EtapeLien::Ecriture);
    return echec;
}

void PilotePosix::jeter()
{
    if (m_fd >= 0 && m_genre == GenreLigne::PortSerie)
        ::tcflush(m_fd, TCOFLUSH);
}

void PilotePosix::fermer()
{
    if (m_fd >= 0) {
        if (m_exclusif)
            ::ioctl(m_fd, TIOCNXCL);
        if (m_origine)
            ::tcsetattr(m_fd, TCSANOW, &*m_origine);
        ::close(m_fd); // releases the flock
    }
    const bool ouvert = m_fd >= 0;
    m_fd = -1;
    m_exclusif = false;
    m_origine.reset();
    m_verrous.rendre();
    if (ouvert)
        etapeFinie(EtapeLien::Liberation);
}

} // namespace tarvik::port
