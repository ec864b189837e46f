#include "app/surveillance_port.h"

#include "port/verrous.h"
#include "system/noms.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <libudev.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

namespace tarvik::app {

namespace {

// Where links lead, followed at most this many times (the kernel's own limit).
constexpr int LiensMax = 40;

// What a link, a device or what stands in its place can tell: gone,
// replaced, moved away, its owner or mode changed.
constexpr quint32 MasqueChemin = IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_DONT_FOLLOW;
// The device besides: opened or closed by anyone.
constexpr quint32 MasquePeripherique = MasqueChemin | IN_OPEN | IN_CLOSE;
// A folder: a name that comes, goes or is written there, or the folder
// itself gone or moved.
constexpr quint32 MasqueDossier = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                  IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF |
                                  IN_ONLYDIR;

// The folder part of a path, as the kernel reads a relative link's target.
QByteArray dossierDe(const QByteArray &chemin)
{
    const qsizetype barre = chemin.lastIndexOf('/');
    return barre > 0 ? chemin.left(barre) : barre == 0 ? QByteArray("/") : QByteArray(".");
}

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
    m_attente.setSingleShot(true);
    connect(&m_attente, &QTimer::timeout, this, &SurveillancePort::regarder);
    m_reprise.setSingleShot(true);
    m_reprise.setInterval(2 * IntervalleRegardsMs);
    connect(&m_reprise, &QTimer::timeout, this, [this] {
        m_notificateur->setEnabled(true);
        evenementsVus();
    });
    m_relance.setSingleShot(true);
    m_relance.setInterval(200);
    connect(&m_relance, &QTimer::timeout, this, &SurveillancePort::demanderRegard);
    if (m_source)
        connect(m_source.get(), &SourceEvenements::changement, this,
                &SurveillancePort::demanderRegard);
    m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify >= 0) {
        m_notificateur = std::make_unique<QSocketNotifier>(m_inotify, QSocketNotifier::Read);
        connect(m_notificateur.get(), &QSocketNotifier::activated, this,
                &SurveillancePort::evenementsVus);
    }
}

SurveillancePort::~SurveillancePort()
{
    m_notificateur.reset();
    if (m_inotify >= 0)
        ::close(m_inotify);
}

void SurveillancePort::surveiller(const PortChoisi &port)
{
    m_port = port;
    m_etat = {};
    m_vuPresent = false;
    m_rebrancheA = {};
    oublier(Role::Chemin);
    oublier(Role::Peripherique);
    oublier(Role::Absent);
    m_chemin.clear();
    if (m_actif)
        regarder();
}

void SurveillancePort::setActive(bool active)
{
    m_actif = active;
    m_suivre = m_suivre || active;
    if (!active) {
        m_minuterie.stop();
        return;
    }
    regarder();
}

// Some events may concern the port: one look, as soon as the last one is
// far enough behind, for all those that come meanwhile.
void SurveillancePort::demanderRegard()
{
    if (m_attente.isActive())
        return;
    const qint64 ecoule =
        m_dernierRegard.isValid() ? m_dernierRegard.elapsed() : qint64(IntervalleRegardsMs);
    m_attente.start(
        int(qBound(qint64(0), IntervalleRegardsMs - ecoule, qint64(IntervalleRegardsMs))));
}

bool SurveillancePort::veiller(const QByteArray &chemin, quint32 masque, const Veille &veille)
{
    if (m_inotify < 0)
        return false;
    // The same folder or file under two roles shares one watch.
    const int descripteur =
        ::inotify_add_watch(m_inotify, chemin.constData(), masque | IN_MASK_ADD);
    if (descripteur < 0)
        return false;
    QList<Veille> &veilles = m_veilles[descripteur];
    if (std::none_of(veilles.begin(), veilles.end(),
                     [&](const Veille &v) { return v.role == veille.role && v.nom == veille.nom; }))
        veilles << veille;
    return true;
}

void SurveillancePort::oublier(Role role)
{
    for (auto veilles = m_veilles.begin(); veilles != m_veilles.end();) {
        veilles->removeIf([role](const Veille &v) { return v.role == role; });
        if (!veilles->isEmpty()) {
            ++veilles;
            continue;
        }
        ::inotify_rm_watch(m_inotify, veilles.key());
        veilles = m_veilles.erase(veilles);
    }
}

void SurveillancePort::suivreLesVerrous()
{
    if (m_dossiersVerrou == *DossiersVerrou && !m_dossiersVerrou.isEmpty())
        return;
    oublier(Role::Verrous);
    m_dossiersVerrou = *DossiersVerrou;
    for (const QString &dossier : m_dossiersVerrou) // one that is missing holds no lock
        veiller(OctetsLocaux(dossier), MasqueDossier, {Role::Verrous, {}});
}

// Each name on the way from the port's name to its device is watched
// itself (a link by its own inode, never followed), and where a name is
// missing, the nearest folder above it that is there, for the name that
// would come next. Its opens and closes are watched only on the device
// `numero`, the one the last look found fit to be a port (not /dev/null,
// which everyone opens). Unchanged, the watches stay as they are.
void SurveillancePort::suivreLeChemin(dev_t numero)
{
    QByteArrayList chemin; // each watch: its role's letter and its path
    QByteArray courant = OctetsLocaux(m_port.peripherique);
    bool suivi = !courant.isEmpty();
    for (int liens = 0; suivi; ++liens) {
        struct stat etat {};
        if (::lstat(courant.constData(), &etat) != 0) {
            chemin << 'A' + courant;
            break;
        }
        if (!S_ISLNK(etat.st_mode)) {
            const bool port = S_ISCHR(etat.st_mode) && numero != 0 && etat.st_rdev == numero;
            chemin << (port ? 'P' : 'C') + courant;
            break;
        }
        chemin << 'L' + courant;
        char cible[PATH_MAX];
        const ssize_t lus = ::readlink(courant.constData(), cible, sizeof cible);
        suivi = lus > 0 && lus < ssize_t(sizeof cible) && liens < LiensMax;
        const QByteArray suite(cible, qMax<ssize_t>(lus, 0));
        courant = suite.startsWith('/') ? suite : dossierDe(courant) + '/' + suite;
    }
    if (chemin == m_chemin && !m_chemin.isEmpty())
        return;
    oublier(Role::Chemin);
    oublier(Role::Peripherique);
    oublier(Role::Absent);
    m_chemin = chemin;
    m_cheminIncomplet = !suivi && !m_port.peripherique.isEmpty();
    m_peripheriqueSuivi = false;
    for (const QByteArray &pas : chemin) {
        const QByteArray nom = pas.mid(1);
        bool vu = false;
        switch (pas.front()) {
        case 'A':
            suivreLAbsent(nom);
            continue;
        case 'P':
            vu = m_peripheriqueSuivi = veiller(nom, MasquePeripherique, {Role::Peripherique, {}});
            break;
        default:
            vu = veiller(nom, MasqueChemin, {Role::Chemin, {}});
        }
        m_cheminIncomplet = m_cheminIncomplet || !vu;
    }
}

void SurveillancePort::suivreLAbsent(const QByteArray &chemin)
{
    QByteArray dossier = chemin;
    for (;;) {
        const QByteArray nom = dossier.mid(dossier.lastIndexOf('/') + 1);
        dossier = dossierDe(dossier);
        if (nom.isEmpty() || nom == "." || nom == "..")
            break;
        struct stat etat {};
        if (::stat(dossier.constData(), &etat) == 0) {
            if (S_ISDIR(etat.st_mode) && veiller(dossier, MasqueDossier, {Role::Absent, nom}))
                return;
            break;
        }
        if (errno != ENOENT || dossier == "/" || dossier == ".")
            break;
    }
    m_cheminIncomplet = true;
}

// As the lock check reads a lock file's name: "LCK..NAME" leads under
// /dev, as it is or with each '_' read as '/'; "LCK.MAJ.MIN" gives the
// numbers. One that leads to no device may be a holder's link name.
bool SurveillancePort::verrouPossible(const QByteArray &nom) const
{
    if (!nom.startsWith("LCK."))
        return false;
    if (m_etat.numero == 0)
        return true;
    if (!nom.startsWith("LCK..")) {
        const QList<QByteArray> numeros = nom.mid(4).split('.');
        bool majeur = false, mineur = false;
        const dev_t lu =
            makedev(numeros.value(0).toUInt(&majeur), numeros.value(1).toUInt(&mineur));
        return numeros.size() != 2 || !majeur || !mineur || lu == m_etat.numero;
    }
    bool autre = false;
    const QByteArray reste = nom.mid(5);
    for (const QByteArray &candidat : {reste, QByteArray(reste).replace('_', '/')}) {
        struct stat etat {};
        if (::stat(("/dev/" + candidat).constData(), &etat) != 0 || !S_ISCHR(etat.st_mode))
            continue;
        if (etat.st_rdev == m_etat.numero)
            return true;
        autre = true;
    }
    return !autre;
}

void SurveillancePort::evenementsVus()
{
    alignas(inotify_event) char tampon[4096];
    Evenements vus;
    ssize_t lus = 0;
    while ((lus = ::read(m_inotify, tampon, sizeof tampon)) > 0) {
        for (ssize_t i = 0; i + ssize_t(sizeof(inotify_event)) <= lus;) {
            const auto *evenement = reinterpret_cast<const inotify_event *>(tampon + i);
            i += ssize_t(sizeof(inotify_event)) + evenement->len;
            evenementVu(*evenement, vus);
        }
    }
    m_ouvertureVue = m_ouvertureVue || vus.ouvert;
    if (vus.regarder)
        demanderRegard();
    else if (vus.autres) { // others' files beside the port's (a pty in /dev/pts, another device's
                           // lock)
        m_notificateur->setEnabled(false);
        m_reprise.start();
    }
}

void SurveillancePort::evenementVu(const inotify_event &evenement, Evenements &vus)
{
    if (evenement.mask & IN_Q_OVERFLOW) { // some were lost: anything may have changed
        vus.regarder = true;
        m_chemin.clear();
        m_dossiersVerrou.clear();
        return;
    }
    const auto veilles = m_veilles.find(evenement.wd);
    if (veilles == m_veilles.end())
        return; // a watch taken off
    const QByteArray nom(evenement.name,
                         evenement.len ? qstrnlen(evenement.name, evenement.len) : 0);
    // The watch no longer stands for the path it was placed on.
    const bool perdue = evenement.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT);
    bool pertinent = false; // something of this port's
    for (const Veille &veille : *veilles) {
        switch (veille.role) {
        case Role::Verrous:
            pertinent = pertinent || perdue || verrouPossible(nom);
            break;
        case Role::Absent:
            pertinent = pertinent || perdue || nom == veille.nom;
            break;
        case Role::Peripherique:
            vus.ouvert = vus.ouvert || (evenement.mask & IN_OPEN);
            [[fallthrough]];
        case Role::Chemin:
            pertinent = true;
        }
        if (perdue && veille.role == Role::Verrous)
            m_dossiersVerrou.clear();
        else if (perdue)
            m_chemin.clear();
    }
    vus.regarder = vus.regarder || pertinent;
    vus.autres = vus.autres || !pertinent;
    if (evenement.mask & IN_IGNORED)
        m_veilles.erase(veilles);
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

// Once a second where part of the port's path cannot be watched: a full
// look only when the path leads elsewhere or the device's node changed,
// or when nothing watches the device.
void SurveillancePort::jeterUnCoupDOeil()
{
    if (!m_peripheriqueSuivi || empreinte() != m_empreinte)
        regarder();
}

void SurveillancePort::regarder()
{
    m_attente.stop();
    m_dernierRegard.start();
    if (std::exchange(m_ouvertureVue, false))
        m_relance.start(); // the flock that follows an open may come after this look
    // Watched first: what changes after the look is heard of.
    if (m_suivre) {
        suivreLesVerrous();
        suivreLeChemin(m_etat.numero);
    }
    const bool jeter = m_actif && (m_inotify < 0 || m_cheminIncomplet);
    if (!jeter)
        m_minuterie.stop();
    else if (!m_minuterie.isActive())
        m_minuterie.start();
    m_empreinte = empreinte();
    const EtatPort nouveau = SonderPort(m_port);
    if (m_suivre && nouveau.numero != m_etat.numero)
        suivreLeChemin(nouveau.numero); // another device, or one now fit to be a port
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
