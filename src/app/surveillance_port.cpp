#include "app/surveillance_port.h"

#include "port/verrous.h"
#include "system/noms.h"

#include <QFileInfo>

#include <libudev.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvik::app {

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

SurveillancePort::SurveillancePort(std::function<QDateTime()> maintenant, QObject *parent)
    : Surveillance(parent)
    , m_maintenant(maintenant ? std::move(maintenant) : &QDateTime::currentDateTime)
    , m_source((*NouvelleSource)())
{
    m_minuterie.setInterval(1000);
    connect(&m_minuterie, &QTimer::timeout, this, &SurveillancePort::jeterUnCoupDOeil);
    m_relance.setSingleShot(true);
    m_relance.setInterval(200);
    connect(&m_relance, &QTimer::timeout, this, &SurveillancePort::regarder);
    connect(&m_chemins, &QFileSystemWatcher::directoryChanged, this, &SurveillancePort::regarder);
    if (m_source)
        connect(m_source.get(), &SourceEvenements::changement, this, &SurveillancePort::regarder);
    m_ouvertures = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_ouvertures >= 0) {
        m_notificateurOuvertures =
            std::make_unique<QSocketNotifier>(m_ouvertures, QSocketNotifier::Read);
        connect(m_notificateurOuvertures.get(), &QSocketNotifier::activated, this,
                &SurveillancePort::ouvertureVue);
    }
}

SurveillancePort::~SurveillancePort()
{
    m_notificateurOuvertures.reset();
    if (m_ouvertures >= 0)
        ::close(m_ouvertures);
}

void SurveillancePort::surveiller(const PortChoisi &port)
{
    m_port = port;
    m_etat = {};
    m_vuPresent = false;
    m_rebrancheA = {};
    suivreLePeripherique({});
    m_cheminsSuivis = false;
    if (m_actif) {
        suivreLesChemins();
        regarder();
    }
}

void SurveillancePort::setActive(bool active)
{
    m_actif = active;
    if (active && !m_source)
        m_minuterie.start();
    else
        m_minuterie.stop();
    if (!active)
        return;
    if (!m_cheminsSuivis) // a watch's first mark may cost the kernel a while
        suivreLesChemins();
    regarder();
}

void SurveillancePort::suivreLesChemins()
{
    m_cheminsSuivis = true;
    if (!m_chemins.directories().isEmpty())
        m_chemins.removePaths(m_chemins.directories());
    QStringList dossiers = *DossiersVerrou;
    if (!m_port.peripherique.isEmpty())
        dossiers << QFileInfo(m_port.peripherique).path();
    for (const QString &dossier : dossiers)
        if (QFileInfo(dossier).isDir())
            m_chemins.addPath(dossier);
}

// Watches the device the port leads to now for opens, closes and changes
// of its owner or mode. The watch never opens the device.
void SurveillancePort::suivreLePeripherique(const EtatPort &etat)
{
    if (m_ouvertures < 0)
        return;
    if (m_suivi >= 0)
        ::inotify_rm_watch(m_ouvertures, m_suivi);
    m_suivi = -1;
    if (etat.numero != 0)
        m_suivi =
            ::inotify_add_watch(m_ouvertures, OctetsLocaux(etat.peripherique).constData(),
                                IN_OPEN | IN_CLOSE | IN_ATTRIB | IN_DELETE_SELF | IN_DONT_FOLLOW);
}

void SurveillancePort::ouvertureVue()
{
    alignas(inotify_event) char tampon[4096];
    bool ouvert = false, change = false;
    ssize_t lus = 0;
    while ((lus = ::read(m_ouvertures, tampon, sizeof tampon)) > 0) {
        for (ssize_t i = 0; i + ssize_t(sizeof(inotify_event)) <= lus;) {
            const auto *evenement = reinterpret_cast<const inotify_event *>(tampon + i);
            ouvert = ouvert || (evenement->mask & IN_OPEN);
            change = change || (evenement->mask & (IN_CLOSE | IN_ATTRIB | IN_DELETE_SELF));
            i += ssize_t(sizeof(inotify_event)) + evenement->len;
        }
    }
    if (ouvert || change)
        regarder(); // not for a watch that was taken off (IN_IGNORED)
    if (ouvert)
        m_relance.start();
}

SurveillancePort::Empreinte SurveillancePort::empreinte() const
{
    Empreinte e;
    e.peripherique = CheminReel(m_port.peripherique);
    struct stat etat {};
    if (::stat(OctetsLocaux(e.peripherique).constData(), &etat) == 0) {
        e.numero = etat.st_rdev;
        e.systeme = etat.st_dev;
        e.inode = etat.st_ino;
        e.mode = etat.st_mode;
        e.proprietaire = etat.st_uid;
        e.groupe = etat.st_gid;
    }
    return e;
}

// Once a second without udev: a full look only when the path leads
// elsewhere or the device's node changed, or when nothing watches the device.
void SurveillancePort::jeterUnCoupDOeil()
{
    if (m_suivi < 0 || empreinte() != m_empreinte)
        regarder();
}

void SurveillancePort::regarder()
{
    m_empreinte = empreinte();
    const EtatPort nouveau = SonderPort(m_port);
    if (nouveau.peripherique != m_etat.peripherique || nouveau.numero != m_etat.numero ||
        m_suivi < 0)
        suivreLePeripherique(nouveau);
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
        m_rebrancheA = m_maintenant();
        Q_EMIT rebranche(m_rebrancheA);
    }
    Q_EMIT etatChange(m_etat);
}

} // namespace tarvik::app
