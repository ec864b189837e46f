#include "app/surveillance_port.h"

#include "port/verrous.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <libudev.h>
#include <unistd.h>

namespace {

// udev's monitor on its "udev" source, for tty devices, inside the event loop.
class SourceUdev : public SourceEvenements {
public:
    explicit SourceUdev(udev_monitor *moniteur, udev *contexte)
        : m_contexte(contexte)
        , m_moniteur(moniteur)
        , m_notificateur(udev_monitor_get_fd(moniteur), QSocketNotifier::Read)
    {
        connect(&m_notificateur, &QSocketNotifier::activated, this, [this] {
            if (udev_device *peripherique = udev_monitor_receive_device(m_moniteur))
                udev_device_unref(peripherique);
            Q_EMIT changement();
        });
    }
    ~SourceUdev() override
    {
        udev_monitor_unref(m_moniteur);
        udev_unref(m_contexte);
    }

private:
    udev *m_contexte;
    udev_monitor *m_moniteur;
    QSocketNotifier m_notificateur;
};

} // namespace

std::unique_ptr<SourceEvenements> SourceDuSysteme()
{
    if (::access("/run/udev/control", F_OK) != 0)
        return nullptr; // no udev here: nothing would come
    udev *contexte = udev_new();
    udev_monitor *moniteur = contexte ? udev_monitor_new_from_netlink(contexte, "udev") : nullptr;
    if (!moniteur ||
        udev_monitor_filter_add_match_subsystem_devtype(moniteur, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(moniteur) < 0) {
        if (moniteur)
            udev_monitor_unref(moniteur);
        if (contexte)
            udev_unref(contexte);
        return nullptr;
    }
    return std::make_unique<SourceUdev>(moniteur, contexte);
}

SurveillancePort::SurveillancePort(QObject *parent)
    : QObject(parent)
    , m_source((*NouvelleSource)())
{
    m_minuterie.setInterval(1000);
    connect(&m_minuterie, &QTimer::timeout, this, &SurveillancePort::verifier);
    connect(&m_chemins, &QFileSystemWatcher::directoryChanged, this, &SurveillancePort::verifier);
    if (m_source)
        connect(m_source.get(), &SourceEvenements::changement, this, &SurveillancePort::verifier);
}

SurveillancePort::~SurveillancePort() = default;

void SurveillancePort::surveiller(const PortChoisi &port)
{
    m_port = port;
    m_etat = {};
    m_vuPresent = false;
    m_rebrancheA = {};
    suivreLesChemins();
    verifier();
}

void SurveillancePort::setActive(bool active)
{
    if (active && !m_source)
        m_minuterie.start();
    else
        m_minuterie.stop();
    if (active)
        verifier();
}

void SurveillancePort::suivreLesChemins()
{
    if (!m_chemins.directories().isEmpty())
        m_chemins.removePaths(m_chemins.directories());
    QStringList dossiers = *DossiersVerrou;
    if (!m_port.peripherique.isEmpty())
        dossiers << QFileInfo(m_port.peripherique).path();
    for (const QString &dossier : dossiers)
        if (QFileInfo(dossier).isDir())
            m_chemins.addPath(dossier);
}

void SurveillancePort::verifier()
{
    const EtatPort nouveau = SonderPort(m_port);
    if (nouveau == m_etat)
        return;
    // A device, a terminal, is there: not a file left in its place.
    const bool present = nouveau.etat != EtatPort::Etat::Absent && nouveau.numero != 0;
    const bool etaitPresent = m_etat.etat != EtatPort::Etat::Absent && m_etat.numero != 0;
    // Back after going away, or another device under the same name.
    const bool revenu = present && m_vuPresent &&
                        (!etaitPresent || nouveau.peripherique != m_etat.peripherique ||
                         nouveau.numero != m_etat.numero);
    m_vuPresent = m_vuPresent || present;
    m_etat = nouveau;
    if (revenu) {
        m_rebrancheA = QDateTime::currentDateTime();
        Q_EMIT rebranche(m_rebrancheA);
    }
    Q_EMIT etatChange(m_etat);
}
