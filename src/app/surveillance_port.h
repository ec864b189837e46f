// Watching the chosen port while the panel is up: its state from the same
// checks a run makes, said again whenever it changes. The panel's alone:
// udev's library comes with it, and tarvik-envoyer never links it. It looks when
// something about this port may have changed, and only then: udev's tty
// events where udev runs; the port's path, link by link, and the device
// it leads to (gone, replaced, opened or closed by anyone: a flock comes
// and goes with an open); the name awaited where something on the way is
// missing; and the lock files in the lock folders that may be its own.
// However many events come, it looks at most a few times a second, and
// others' events in the folders it watches wake it twice a second at most.
// Where something cannot be watched, it glances at the port's path once a
// second instead.
#pragma once

#include "app/couche.h"
#include "app/surveillance.h"
#include "system/substituable.h"

#include <QByteArrayList>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>

#include <sys/types.h>

struct inotify_event;

namespace tarvik::app {

// Where the system tells that devices came or went.
class SourceEvenements : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void changement();
};

// The system's source: udev's monitor, where udev runs; nothing elsewhere.
std::unique_ptr<SourceEvenements> SourceDuSysteme();
// Tests put a source of theirs here.
inline Substituable<std::function<std::unique_ptr<SourceEvenements>()>> NouvelleSource{
    SourceDuSysteme};

// The shortest time between two looks that events ask for.
constexpr int IntervalleRegardsMs = 250;

class SurveillancePort : public Surveillance {
    Q_OBJECT
public:
    // `maintenant` says when a device came back (the system's clock when
    // not given).
    explicit SurveillancePort(std::function<QDateTime()> maintenant = {},
                              QObject *parent = nullptr);
    ~SurveillancePort() override;

    void surveiller(const PortChoisi &port) override;
    // Looking, and watching the port's path and the lock folders, from
    // the first time this is on (the window is shown); glancing without
    // events only while it is on.
    void setActive(bool active) override;
    bool actif() const override { return m_actif; }
    // Whether udev's events say when to look too, besides its own watches.
    bool parEvenements() const { return m_source != nullptr; }

    const EtatPort &etat() const override { return m_etat; }
    QDateTime rebrancheA() const override { return m_rebrancheA; }
    void oublierRebranchement() override { m_rebrancheA = {}; }

    void regarder() override;
    // Events asked for a look that has not been made yet (or a device just
    // opened for a second one, once its flock may be there).
    bool regardEnAttente() const { return m_attente.isActive() || m_relance.isActive(); }

private:
    // What the port's path leads to, as a few system calls tell it.
    struct Empreinte {
        QString peripherique;
        dev_t numero = 0, systeme = 0;
        ino_t inode = 0;
        mode_t mode = 0;
        uid_t proprietaire = 0;
        gid_t groupe = 0;
        bool operator==(const Empreinte &) const = default;
    };
    // What one inotify watch stands for: a lock folder, a name on the
    // port's path (a link, or what stands in the device's place), the
    // device, or the folder where `nom`, missing on the path, would appear.
    enum class Role { Verrous, Chemin, Peripherique, Absent };
    struct Veille {
        Role role;
        QByteArray nom;
    };
    Empreinte empreinte() const;
    // Whether the lock file `nom` may be this port's: not one that another
    // device's name or numbers give.
    bool verrouPossible(const QByteArray &nom) const;
    void demanderRegard();
    void evenementsVus();
    // What the events read so far say: a look is due (something of this
    // port's), the device was opened, others' files moved beside it.
    struct Evenements {
        bool regarder = false, ouvert = false, autres = false;
    };
    void evenementVu(const inotify_event &evenement, Evenements &vus);
    // Watches `chemin` (mask `masque`) for `veille`; false when it cannot be.
    bool veiller(const QByteArray &chemin, quint32 masque, const Veille &veille);
    void oublier(Role role);
    void suivreLesVerrous();
    // The port's path, link by link, as it is now: the watches follow it.
    void suivreLeChemin(dev_t numero);
    void suivreLAbsent(const QByteArray &chemin);
    void jeterUnCoupDOeil();

    std::function<QDateTime()> m_maintenant;
    PortChoisi m_port;
    EtatPort m_etat;
    bool m_vuPresent = false; // the device was there at some point
    bool m_actif = false;
    bool m_suivre = false; // looking has been on: the watches are in place
    QDateTime m_rebrancheA;
    std::unique_ptr<SourceEvenements> m_source;
    Empreinte m_empreinte; // at the last full look
    // Every watch; -1 when inotify cannot be had, and then it glances.
    int m_inotify = -1;
    std::unique_ptr<QSocketNotifier> m_notificateur;
    QHash<int, QList<Veille>> m_veilles; // by watch descriptor
    QStringList m_dossiersVerrou;        // the lock folders watched
    QByteArrayList m_chemin;             // the path's watches, as they were placed
    bool m_cheminIncomplet = true;       // part of the path is not watched
    bool m_peripheriqueSuivi = false;    // its opens and closes are seen
    bool m_ouvertureVue = false;         // the device was opened since the last look
    QElapsedTimer m_dernierRegard;
    QTimer m_attente; // the look events asked for
    // Events that concerned nothing of this port: the next ones are read
    // together a moment later, not one wake-up each.
    QTimer m_reprise;
    QTimer m_relance; // looks again a moment after an open's look: the flock follows it
    QTimer m_minuterie;
};

} // namespace tarvik::app
