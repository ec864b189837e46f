#include "serial/serial_link.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int NumeroPort = 1;

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

// A UUCP lock file of the device that holds the port: its process (0 when the
// file names none) and its path. Stale files, of dead processes, are ignored. Both the
// ASCII form ("      1234\n", or Qt's "1234\nname\nhost\n") and the old binary
// form (a 4-byte int) are read.
std::optional<std::pair<qint64, QString>> verrouUucp(const QString &chemin)
{
    QString nom = chemin.startsWith(QLatin1String("/dev/")) ? chemin.mid(5) : chemin;
    nom.replace(u'/', u'_');
    for (const char *dossier : {"/var/lock", "/run/lock"}) {
        QFile fichier(QLatin1String(dossier) + QLatin1String("/LCK..") + nom);
        if (!fichier.open(QIODevice::ReadOnly))
            continue;
        const QByteArray contenu = fichier.read(128);
        qint64 pid = 0;
        if (contenu.size() == 4 && !contenu.contains('\n')) {
            std::int32_t binaire = 0;
            std::memcpy(&binaire, contenu.constData(), sizeof binaire);
            pid = binaire;
        } else {
            pid = contenu.split('\n').value(0).trimmed().toLongLong();
        }
        // A file that names no process is kept, and so is the port: Qt would
        // refuse it anyway, and it may belong to a program with its own format.
        if (pid <= 0 || processusVivant(pid))
            return std::pair{pid, fichier.fileName()};
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
        if (champs.size() >= 6 && champs[1] == "FLOCK" && champs[5] == cle)
            return champs[4].toLongLong();
    }
    return 0;
}

} // namespace

QString PeripheriquePort(int numero)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(numero);
#else
    const QString lien = QStringLiteral("/dev/tarvik-port%1").arg(numero);
    if (QFileInfo(lien).isSymLink())
        return lien;
    return QStringLiteral("/dev/ttyS%1").arg(numero - 1);
#endif
}

LienSerie::LienSerie() = default;

LienSerie::~LienSerie()
{
    abandonner();
}

QString LienSerie::peripherique() const
{
    return m_peripherique.isEmpty() ? PeripheriquePort(NumeroPort) : m_peripherique;
}

EchecLien LienSerie::echec(EchecLien::Genre genre, const QString &detail) const
{
    const QString port = QStringLiteral("Port série %1 (%2)")
                             .arg(NumeroPort)
                             .arg(m_chemin.isEmpty() || m_chemin == peripherique()
                                      ? peripherique()
                                      : QStringLiteral("%1 → %2").arg(peripherique(), m_chemin));
    return {genre, port + QStringLiteral(" : ") + detail};
}

std::optional<EchecLien> LienSerie::verrouiller(const QString &chemin)
{
    using G = EchecLien::Genre;
    if (const auto uucp = verrouUucp(chemin)) {
        const auto &[pid, fichier] = *uucp;
        return echec(G::PortOccupe,
                     pid > 0 ? QStringLiteral("port occupé par %1 (verrou %2).")
                                   .arg(decrireProcessus(pid), fichier)
                             : QStringLiteral("port occupé : le verrou %1 ne désigne aucun "
                                              "processus lisible. Supprimez-le s'il "
                                              "n'appartient à aucun programme.")
                                   .arg(fichier));
    }

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
            return echec(G::PortOccupe,
                         QStringLiteral("port occupé : un autre programme l'a ouvert en "
                                        "exclusivité."));
        default:
            return echec(G::OuvertureEchouee, QStringLiteral("ouverture impossible (%1).")
                                                  .arg(QString::fromLocal8Bit(strerror(erreur))));
        }
    }
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
    // Select port 1. Locks and Qt's own lock file go to the device the name
    // resolves to, whatever link led there.
    m_chemin = QFileInfo(peripherique()).canonicalFilePath();
    if (m_chemin.isEmpty())
        return echec(G::PortAbsent, QStringLiteral("port absent."));
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
    if (!m_port.open(QIODevice::WriteOnly)) {
        const auto erreur = m_port.error();
        const QString detail = m_port.errorString();
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
        if (echeance.hasExpired())
            return echec(G::DelaiDepasse,
                         QStringLiteral("délai dépassé : le port n'accepte plus d'octets."));
        m_port.waitForBytesWritten(int(qMax<qint64>(1, echeance.remainingTime())));
    }
    if (!accepte || enErreur())
        return echec(G::EcritureEchouee,
                     QStringLiteral("écriture échouée (%1).").arg(m_port.errorString()));
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
    while (::ioctl(fd, TIOCOUTQ, &enAttente) == 0 && enAttente > 0 && !echeance.hasExpired())
        QThread::usleep(500);
    if (enAttente > 0)
        refus = echec(
            G::DelaiDepasse,
            QStringLiteral("délai dépassé : %1 octets n'ont pas quitté le port.").arg(enAttente));
    else if (::tcdrain(fd) != 0)
        refus = echec(
            G::EcritureEchouee,
            QStringLiteral("écriture échouée (%1).").arg(QString::fromLocal8Bit(strerror(errno))));
    if (refus)
        abandonner();
    m_port.close();
    m_port.clearError();
    liberer();
    return refus;
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
