// Watching the chosen port while the panel is up: its state from the same
// checks a run makes, said again whenever it changes. Where udev runs, its
// tty events and the lock folders' changes say when to look; elsewhere
// (containers, socat bridges, pty links) it looks about once a second, and
// only while it is asked to.
#pragma once

#include "port/etat_port.h"
#include "system/substituable.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

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

class SurveillancePort : public QObject {
    Q_OBJECT
public:
    explicit SurveillancePort(QObject *parent = nullptr);
    ~SurveillancePort() override;

    // The port to watch from now on; its state is looked at at once.
    void surveiller(const PortChoisi &port);
    // Looking, without events, only while this is on (the window is shown).
    void setActive(bool active);
    // Whether devices' events say when to look (udev), or it looks by itself.
    bool parEvenements() const { return m_source != nullptr; }

    const EtatPort &etat() const { return m_etat; }
    // When the device came back after going away; invalid when it has not
    // since the last call of oublierRebranchement.
    QDateTime rebrancheA() const { return m_rebrancheA; }
    void oublierRebranchement() { m_rebrancheA = {}; }

    // Looks now.
    void verifier();

Q_SIGNALS:
    void etatChange(const EtatPort &etat);
    // The device went away and came back: the board behind it may have
    // restarted.
    void rebranche(const QDateTime &quand);

private:
    void suivreLesChemins();

    PortChoisi m_port;
    EtatPort m_etat;
    bool m_vuPresent = false; // the device was there at some point
    QDateTime m_rebrancheA;
    std::unique_ptr<SourceEvenements> m_source;
    QFileSystemWatcher m_chemins; // the lock folders and the port's own folder
    QTimer m_minuterie;
};
