// Watching the chosen port while the panel is up: its state from the same
// checks a run makes, said again whenever it changes. The panel's alone:
// udev's library comes with it, and tarvik-envoyer never links it. Where udev runs, its
// tty events, the lock folders' changes and the device being opened or
// closed (a flock comes and goes with an open) say when to look; elsewhere
// (containers, socat bridges, pty links) it also glances at the port's path
// about once a second, only while it is asked to, and looks fully when
// what the path leads to has changed.
#pragma once

#include "app/couche.h"
#include "app/surveillance.h"
#include "system/substituable.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>

#include <sys/types.h>

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

class SurveillancePort : public Surveillance {
    Q_OBJECT
public:
    // `maintenant` says when a device came back (the system's clock when
    // not given).
    explicit SurveillancePort(std::function<QDateTime()> maintenant = {},
                              QObject *parent = nullptr);
    ~SurveillancePort() override;

    void surveiller(const PortChoisi &port) override;
    // Without events, it glances at the port about once a second while on.
    void setActive(bool active) override;
    bool actif() const override { return m_actif; }
    // Whether devices' events say when to look (udev), or it looks by itself.
    bool parEvenements() const { return m_source != nullptr; }

    const EtatPort &etat() const override { return m_etat; }
    QDateTime rebrancheA() const override { return m_rebrancheA; }
    void oublierRebranchement() override { m_rebrancheA = {}; }
    void regarder() override;

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
    Empreinte empreinte() const;
    void suivreLesChemins();
    void suivreLePeripherique(const EtatPort &etat);
    void ouvertureVue();
    void jeterUnCoupDOeil();

    std::function<QDateTime()> m_maintenant;
    PortChoisi m_port;
    EtatPort m_etat;
    bool m_vuPresent = false; // the device was there at some point
    bool m_actif = false;
    bool m_cheminsSuivis = false; // the folders' watch is in place for this port
    QDateTime m_rebrancheA;
    std::unique_ptr<SourceEvenements> m_source;
    QFileSystemWatcher m_chemins; // the lock folders and the port's own folder
    Empreinte m_empreinte;        // at the last full look
    // The device itself, opened or closed by anyone; -1 when it cannot be
    // watched, and then every glance looks fully.
    int m_ouvertures = -1;
    int m_suivi = -1; // the watch on the device, when there is one
    std::unique_ptr<QSocketNotifier> m_notificateurOuvertures;
    QTimer m_relance; // looks again a moment after an open: the flock follows it
    QTimer m_minuterie;
};

} // namespace tarvik::app
