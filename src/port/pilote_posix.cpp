#include "port/pilote_posix.h"

#include "port/peripherique.h"
#include "port/reglages_ligne.h"
#include "system/erreurs.h"
#include "system/noms.h"

#include <QCoreApplication>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// The texts of this file, in the operator's language.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Port)
};

using G = EchecLien::Genre;

EchecLien debranche()
{
    return Refus(G::PortDebranche, Textes::tr("port débranché"));
}

EchecLien ecritureEchouee(int erreur)
{
    // The device is gone (an adapter pulled out, a bridge's far end closed).
    if (erreur == EIO || erreur == ENODEV || erreur == ENXIO)
        return debranche();
    return Refus(G::EcritureEchouee,
                 Textes::tr("écriture échouée (%1)").arg(TexteErreurSysteme(erreur)));
}

EchecLien interrompu()
{
    return Refus(G::Interrompu, Textes::tr("envoi interrompu"));
}

EchecLien delaiDepasse()
{
    return Refus(
        G::DelaiDepasse,
        Textes::tr(
            "délai dépassé : la ligne ne prend plus rien (carte arrêtée, câble débranché, ou pont "
            "qui ne lit plus)"));
}

} // namespace

PilotePosix::~PilotePosix()
{
    jeter(); // a run cut short leaves nothing to arrive later
    fermer();
}

std::optional<EchecLien> PilotePosix::ouvrir(const QString &nom)
{
    fermer();
    m_jetes = 0;
    if (reveille()) // the program is asked to end: no new run
        return interrompu();
    m_chemin = CheminReel(nom);
    struct stat etat {};
    if (auto refus = VerifierPeripheriqueChemin(m_chemin, etat))
        return refus;

    // Locks other programs left under any name of the device, before the
    // device is even opened.
    QStringList noms{nom, m_chemin};
    noms << LiensVers(etat.st_rdev, *DossiersLiens);
    if (const auto occupe = m_verrous.verifier(NomsDeVerrou(noms, etat.st_rdev), etat.st_rdev))
        return Refus(G::PortOccupe, occupe->message);

    m_fd = OuvrirPeripherique(m_chemin);
    if (m_fd < 0)
        return refusOuverture(errno, etat);
    termios reglages{};
    auto refus = VerifierPeripheriqueOuvert(m_fd, etat, reglages);
    if (!refus)
        refus = prendre(m_chemin, etat.st_rdev);
    if (!refus) {
        m_origine = reglages;
        if (const int erreur = reglerLigne())
            refus = Refus(G::OuvertureEchouee,
                          Textes::tr("les réglages de ligne (38400 bauds, 8 bits, sans parité, "
                                     "1 bit d'arrêt) sont refusés (%1)")
                              .arg(TexteErreurSysteme(erreur)));
    }
    if (refus) {
        fermer();
        return refus;
    }
    // What a killed writer left queued would reach the board glued to the
    // first line of this run: it goes before anything of ours. A line that
    // keeps no count (a pseudo-terminal) says 0, and nothing is thrown away:
    // there, what a slow bridge has not read yet may be a whole earlier run.
    if (const int reste = enAttente(); reste > 0) {
        jeter();
        m_jetes = reste;
    }
    return std::nullopt;
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
            return Refus(G::PortOccupe, Textes::tr("port occupé par %1, qui l'a ouvert en "
                                                   "exclusivité")
                                            .arg(DecrireProcessus(pid)));
        return refusExclusif(etat.st_rdev, false);
    default:
        return Refus(G::OuvertureEchouee,
                     Textes::tr("ouverture impossible (%1)").arg(TexteErreurSysteme(erreur)));
    }
}

std::optional<EchecLien> PilotePosix::refusExclusif(quint64 rdev, bool ouvert)
{
    const Detenteurs detenteurs = DetenteursOuverts(rdev);
    if (!detenteurs.pids.isEmpty()) {
        QStringList qui;
        for (const qint64 pid : detenteurs.pids)
            qui << DecrireProcessus(pid);
        return Refus(G::PortOccupe,
                     Textes::tr("port occupé : il est en mode exclusif, et ouvert par %1. Si "
                                "aucun d'eux ne s'en sert (un pont comme socat garde son port "
                                "ouvert), un programme arrêté brutalement a laissé ce mode : "
                                "fermez puis rouvrez le pont, ou débranchez puis rebranchez "
                                "l'adaptateur")
                         .arg(qui.join(Textes::tr(", "))));
    }
    if (detenteurs.invisibles)
        return Refus(G::PortOccupe,
                     Textes::tr("port occupé : il est ouvert en exclusivité, peut-être par un "
                                "programme d'un autre utilisateur, que vous ne pouvez pas voir. "
                                "« fuser -v %1 », lancé par un administrateur, le nomme")
                         .arg(NomLisible(m_chemin)));
    if (ouvert)
        return std::nullopt;
    return Refus(G::PortOccupe,
                 Textes::tr("port occupé : il est ouvert en exclusivité, mais aucun programme "
                            "ne le tient. Un programme arrêté brutalement l'a laissé ainsi : "
                            "fermez puis rouvrez le pont qui le fournit (socat), ou débranchez "
                            "puis rebranchez l'adaptateur"));
}

std::optional<EchecLien> PilotePosix::prendre(const QString &chemin, quint64 rdev)
{
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        struct stat etat {};
        const qint64 pid = ::fstat(m_fd, &etat) == 0 ? DetenteurFlock(etat.st_dev, etat.st_ino) : 0;
        return Refus(G::PortOccupe,
                     pid > 0 ? Textes::tr("port occupé par %1").arg(DecrireProcessus(pid))
                             : Textes::tr("port occupé par un autre programme"));
    }
    // Exclusive mode with no flock holder and no live lock file, which the
    // kernel let us through (root): a killed program's leftover only when no
    // other process has the device open. Then it is cleared.
    int exclusif = 0;
    if (::ioctl(m_fd, TIOCGEXCL, &exclusif) == 0 && exclusif) {
        if (auto refus = refusExclusif(rdev, true))
            return refus;
        ::ioctl(m_fd, TIOCNXCL);
    }
    if (const auto refus = m_verrous.prendre(NomDeNotreVerrou(chemin)))
        return Refus(G::PortOccupe, refus->message);
    m_exclusif = ::ioctl(m_fd, TIOCEXCL) == 0;
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

std::optional<EchecLien> PilotePosix::attendreLigne(QDeadlineTimer echeance)
{
    pollfd attentes[3] = {{m_fd, POLLOUT, 0}, {m_reveil, POLLIN, 0}, {m_arret, POLLIN, 0}};
    for (;;) {
        if (reveille())
            return interrompu();
        if (echeance.hasExpired())
            return delaiDepasse();
        const int n =
            ::poll(attentes, 3, int(qMax<qint64>(1, echeance.remainingTime()))); // -1s are passed over
        if (n < 0 && errno != EINTR)
            return ecritureEchouee(errno);
        if (n > 0 && (attentes[0].revents & (POLLHUP | POLLERR)))
            return debranche(); // at once: nothing more can go
        if (n > 0 && (attentes[0].revents & (POLLOUT | POLLNVAL)))
            return std::nullopt; // the next write says how it went
    }
}

std::optional<EchecLien> PilotePosix::ecrire(QByteArrayView octets, QDeadlineTimer echeance)
{
    bool attendu = false; // waited once since the last byte went in
    for (qsizetype fait = 0; fait < octets.size();) {
        const ssize_t n = transmettre(octets.data() + fait, size_t(octets.size() - fait));
        if (n > 0) {
            fait += n;
            attendu = false;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return ecritureEchouee(errno);
        if (attendu && echeance.hasExpired())
            return delaiDepasse();
        if (auto refus = attendreLigne(echeance))
            return refus;
        attendu = true;
    }
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
    // Closing throws away what is still queued: wait until the driver has
    // sent everything first.
    int reste = 0;
    while ((reste = enAttente()) > 0 && !echeance.hasExpired() && !reveille()) {
        pollfd p[2] = {{m_reveil, POLLIN, 0}, {m_arret, POLLIN, 0}};
        const timespec demi{0, 500000};
        ::ppoll(p, 2, &demi, nullptr);
    }
    if (reveille())
        return interrompu();
    if (reste > 0)
        return Refus(
            G::DelaiDepasse,
            Textes::tr("délai dépassé : %1 octets attendaient encore de partir").arg(reste));
    if (const int erreur = drainer())
        return ecritureEchouee(erreur);
    return std::nullopt;
}

void PilotePosix::jeter()
{
    if (m_fd >= 0)
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
    m_fd = -1;
    m_exclusif = false;
    m_origine.reset();
    m_verrous.rendre();
}
