#include "serial/serial_link.h"

#include "sequence/acces_fichiers.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString nomProcessus(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readLine(64)).trimmed();
}

QString decrireProcessus(qint64 pid)
{
    const QString nom = nomProcessus(pid);
    return nom.isEmpty() ? QStringLiteral("le processus %1").arg(pid)
                         : QStringLiteral("le processus %1 (%2)").arg(pid).arg(nom);
}

bool processusVivant(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

qint64 pidMax()
{
    const FichierLu lu = LireFichier(QStringLiteral("/proc/sys/kernel/pid_max"), 32);
    if (const qint64 max = lu.contenu.trimmed().toLongLong(); max > 0)
        return max;
    return 4194304; // the kernel's own limit
}

// The process a UUCP lock file names: the first integer of the ASCII forms
// ("      1234\n", minicom's "      1234 minicom user\n", Qt's
// "1234\nname\nhost\n"), or the 4-byte int of the old binary form, which is
// not printable. Nothing when the file names no possible process.
std::optional<qint64> pidDuVerrou(const QByteArray &contenu)
{
    const bool texte = std::all_of(contenu.begin(), contenu.end(), [](char c) {
        return (c >= 0x20 && c < 0x7f) || c == '\n' || c == '\t' || c == '\r';
    });
    qint64 pid = 0;
    if (contenu.size() == 4 && !texte) {
        std::int32_t binaire = 0;
        std::memcpy(&binaire, contenu.constData(), sizeof binaire);
        pid = binaire;
    } else {
        bool lu = false;
        pid = contenu.simplified().split(' ').value(0).toLongLong(&lu);
        if (!lu)
            return std::nullopt;
    }
    if (pid < 1 || pid > pidMax())
        return std::nullopt;
    return pid;
}

// A UUCP lock file of the device that keeps the port: the process it names
// (0 when it names none, with the reason) and its path. Files of dead
// processes are stale and ignored. The lock folders are open to every user:
// a file there is read without following a link and without blocking,
// only when it is a regular file, and only its first bytes.
struct VerrouUucp {
    qint64 pid = 0;
    QString fichier;
    QString raison; // why it names no process
};

std::optional<VerrouUucp> verrouUucp(const QString &chemin, const QStringList &dossiers)
{
    QString nom = chemin.startsWith(QLatin1String("/dev/")) ? chemin.mid(5) : chemin;
    nom.replace(u'/', u'_');
    QStringList vus;
    for (const QString &dossier : dossiers) {
        const QString reel = QFileInfo(dossier).canonicalFilePath();
        if (reel.isEmpty() || vus.contains(reel))
            continue; // /var/lock is often a link to /run/lock
        vus << reel;
        const QString fichier = dossier + QStringLiteral("/LCK..") + nom;
        const FichierLu lu = LireFichier(fichier, 256, Liens::Refuses);
        if (lu.absent)
            continue;
        if (!lu.erreur.isEmpty())
            return VerrouUucp{0, fichier, lu.erreur.chopped(1)};
        const auto pid = pidDuVerrou(lu.contenu);
        if (!pid)
            return VerrouUucp{0, fichier, QStringLiteral("il ne désigne aucun processus lisible")};
        if (processusVivant(*pid))
            return VerrouUucp{*pid, fichier, {}};
    }
    return std::nullopt;
}

// The process holding a flock on the file (st_dev, st_ino), from /proc/locks.
qint64 detenteurFlock(const struct stat &etat)
{
    QFile verrous(QStringLiteral("/proc/locks"));
    if (!verrous.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray cle = QStringLiteral("%1:%2:%3")
                               .arg(major(etat.st_dev), 2, 16, QChar(u'0'))
                               .arg(minor(etat.st_dev), 2, 16, QChar(u'0'))
                               .arg(quint64(etat.st_ino))
                               .toLatin1();
    // /proc files report no size: read them whole, never test atEnd().
    for (const QByteArray &ligne : verrous.readAll().split('\n')) {
        const QList<QByteArray> champs = ligne.simplified().split(' ');
        // "1: FLOCK ADVISORY WRITE 1234 00:05:7 0 EOF"
        // A holder that has died left the lock to a child: its pid says nothing.
        if (champs.size() >= 6 && champs[1] == "FLOCK" && champs[5] == cle) {
            const qint64 pid = champs[4].toLongLong();
            return processusVivant(pid) ? pid : 0;
        }
    }
    return 0;
}

} // namespace

bool PiloteLigne::ouvrir(QSerialPort &port)
{
    return port.open(QIODevice::WriteOnly);
}

int PiloteLigne::enAttente(int fd)
{
    int octets = 0;
    return ::ioctl(fd, TIOCOUTQ, &octets) == 0 ? octets : -1;
}

int PiloteLigne::drainer(int fd)
{
    return ::tcdrain(fd) == 0 ? 0 : errno;
}

namespace {

PiloteLigne &piloteSysteme()
{
    static PiloteLigne pilote;
    return pilote;
}

} // namespace

LienSerie::LienSerie()
    : m_pilote(&piloteSysteme())
{
}

LienSerie::~LienSerie()
{
    abandonner();
}

void LienSerie::setPilote(PiloteLigne *pilote)
{
    m_pilote = pilote ? pilote : &piloteSysteme();
}

EchecLien LienSerie::echec(EchecLien::Genre genre, const QString &detail) const
{
    const QString &nom = m_choisi.peripherique;
    const QString appareil =
        m_chemin.isEmpty() || m_chemin == nom ? nom : QStringLiteral("%1 → %2").arg(nom, m_chemin);
    QString message = m_choisi.origine == OriginePort::Port1
                          ? QStringLiteral("Port série 1 (%1) : %2").arg(appareil, detail)
                          : QStringLiteral("Port série %1 : %2").arg(appareil, detail);
    if (genre == EchecLien::Genre::PortAbsent && m_choisi.origine == OriginePort::Reglage)
        message += QStringLiteral(
            "\nCe port a été choisi par « Initialisation › Choisir le port série… » : "
            "rebranchez-le, ou choisissez-en un autre par ce menu.");
    return {genre, message};
}

std::optional<EchecLien> LienSerie::verrouiller(const QString &chemin)
{
    using G = EchecLien::Genre;
    if (const auto uucp = verrouUucp(chemin, m_dossiersVerrou)) {
        return echec(G::PortOccupe,
                     uucp->pid > 0
                         ? QStringLiteral("port occupé par %1 (verrou %2).")
                               .arg(decrireProcessus(uucp->pid), uucp->fichier)
                         : QStringLiteral("port occupé : le verrou %1 est illisible (%2). "
                                          "Supprimez-le s'il n'appartient à aucun programme.")
                               .arg(uucp->fichier, uucp->raison));
    }

    const QString exclusif =
        QStringLiteral("port occupé : un autre programme l'a ouvert en exclusivité.");
    const QByteArray local = QFile::encodeName(chemin);
    m_verrou = ::open(local.constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_verrou < 0) {
        const int erreur = errno;
        switch (erreur) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return echec(G::PortAbsent, QStringLiteral("port absent."));
        case EACCES:
        case EPERM:
            return echec(G::PermissionRefusee,
                         QStringLiteral("permission refusée (l'utilisateur doit pouvoir écrire "
                                        "sur le port, par exemple comme membre du groupe "
                                        "dialout)."));
        case EBUSY:
            return echec(G::PortOccupe, exclusif);
        default:
            return echec(
                G::OuvertureEchouee,
                QStringLiteral("ouverture impossible (%1).").arg(TexteErreurSysteme(erreur)));
        }
    }
    termios reglages{};
    if (::tcgetattr(m_verrou, &reglages) != 0)
        return echec(G::PasUnPortSerie, QStringLiteral("ce n'est pas un port série : ses réglages "
                                                       "de ligne ne peuvent pas être lus. Rien "
                                                       "n'y a été écrit."));
#ifdef TIOCGEXCL
    // The kernel lets root through another program's exclusive open: refuse
    // the port as it would refuse any other user.
    int tenu = 0;
    if (::ioctl(m_verrou, TIOCGEXCL, &tenu) == 0 && tenu)
        return echec(G::PortOccupe, exclusif);
#endif
    if (::flock(m_verrou, LOCK_EX | LOCK_NB) != 0) {
        struct stat etat {};
        const qint64 pid = ::fstat(m_verrou, &etat) == 0 ? detenteurFlock(etat) : 0;
        return echec(G::PortOccupe,
                     pid > 0 ? QStringLiteral("port occupé par %1.").arg(decrireProcessus(pid))
                             : QStringLiteral("port occupé par un autre programme."));
    }
    return std::nullopt;
}

void LienSerie::liberer()
{
    if (m_verrou >= 0)
        ::close(m_verrou); // releases the flock
    m_verrou = -1;
    m_chemin.clear();
}

std::optional<EchecLien> LienSerie::ouvrir()
{
    using G = EchecLien::Genre;
    // Select the port. Locks and Qt's own lock file go to the device the
    // name resolves to, whatever link led there.
    m_chemin.clear();
    m_choisi = port();
    if (!m_choisi.erreur.isEmpty())
        return EchecLien{G::PortInconnu, QStringLiteral("Port série inconnu : ") + m_choisi.erreur};
    m_chemin = QFileInfo(m_choisi.peripherique).canonicalFilePath();
    if (m_chemin.isEmpty())
        return echec(G::PortAbsent, QStringLiteral("port absent."));
    // Only a terminal device: the lines must never land in a file.
    struct stat etat {};
    if (::stat(QFile::encodeName(m_chemin).constData(), &etat) == 0) {
        if (const QString raison = RaisonTypePort(etat.st_mode); !raison.isEmpty()) {
            auto refus =
                echec(G::PasUnPortSerie, raison + QStringLiteral(". Rien n'y a été écrit."));
            m_chemin.clear();
            return refus;
        }
    }
    if (auto refus = verrouiller(m_chemin)) {
        liberer();
        return refus;
    }

    m_port.setPortName(m_chemin);
    m_port.setBaudRate(QSerialPort::Baud38400);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_pilote->ouvrir(m_port)) {
        const auto erreur = m_port.error();
        const QString detail = TexteErreurSysteme(m_port.errorString());
        auto refus =
            erreur == QSerialPort::DeviceNotFoundError
                ? echec(G::PortAbsent, QStringLiteral("port absent (%1).").arg(detail))
            : erreur == QSerialPort::PermissionError
                ? echec(G::PortOccupe,
                        QStringLiteral("port occupé ou permission refusée (%1).").arg(detail))
                : echec(G::OuvertureEchouee,
                        QStringLiteral("ouverture impossible (%1).").arg(detail));
        m_port.clearError();
        liberer();
        return refus;
    }
    return std::nullopt;
}

std::optional<EchecLien> LienSerie::ecrire(const QByteArray &octets, QDeadlineTimer echeance)
{
    using G = EchecLien::Genre;
    const auto enErreur = [this] {
        return m_port.error() != QSerialPort::NoError &&
               m_port.error() != QSerialPort::TimeoutError;
    };
    bool accepte = m_port.write(octets) == octets.size();
    while (accepte && m_port.bytesToWrite() > 0 && !enErreur()) {
        if (reveille())
            return echec(G::Interrompu, QStringLiteral("envoi interrompu."));
        if (echeance.hasExpired())
            return echec(G::DelaiDepasse,
                         QStringLiteral("délai dépassé : le port n'accepte plus d'octets."));
        m_port.waitForBytesWritten(tranche(echeance));
    }
    if (!accepte || enErreur())
        return echec(
            G::EcritureEchouee,
            QStringLiteral("écriture échouée (%1).").arg(TexteErreurSysteme(m_port.errorString())));
    return std::nullopt;
}

std::optional<EchecLien> LienSerie::fermer(QDeadlineTimer echeance)
{
    using G = EchecLien::Genre;
    if (!m_port.isOpen()) {
        liberer();
        return std::nullopt;
    }
    // close() throws away what is still queued: wait until the driver has
    // sent everything first.
    std::optional<EchecLien> refus;
    const int fd = int(m_port.handle());
    int enAttente = 0;
    while ((enAttente = m_pilote->enAttente(fd)) > 0 && !echeance.hasExpired() && !reveille())
        QThread::usleep(500);
    if (reveille())
        refus = echec(G::Interrompu, QStringLiteral("envoi interrompu."));
    else if (enAttente > 0)
        refus = echec(
            G::DelaiDepasse,
            QStringLiteral("délai dépassé : %1 octets n'ont pas quitté le port.").arg(enAttente));
    else if (const int erreur = m_pilote->drainer(fd))
        refus = echec(G::EcritureEchouee,
                      QStringLiteral("écriture échouée (%1).").arg(TexteErreurSysteme(erreur)));
    if (refus)
        abandonner();
    m_port.close();
    m_port.clearError();
    liberer();
    return refus;
}

bool LienSerie::reveille() const
{
    pollfd p{m_reveil, POLLIN, 0};
    return m_reveil >= 0 && ::poll(&p, 1, 0) > 0;
}

int LienSerie::tranche(QDeadlineTimer echeance) const
{
    const qint64 reste = qMax<qint64>(1, echeance.remainingTime());
    return int(m_reveil >= 0 ? qMin<qint64>(reste, 20) : reste);
}

void LienSerie::abandonner()
{
    if (m_port.isOpen()) {
        m_port.clear(QSerialPort::Output); // Qt's buffer and the driver's queue
        m_port.close();
        m_port.clearError();
    }
    liberer();
}
