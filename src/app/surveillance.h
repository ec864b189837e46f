// What watches the chosen port for the panel's status line. The panel plugs
// one into its send station (PosteEnvoi::brancherSurveillance); the sender
// plugs none, and so never loads udev. The station tells it which port to
// watch and asks it to look again after a run; it hears from it the port's
// state and a device that came back.
#pragma once

#include "app/couche.h"
#include "port/etat_port.h"

#include <QDateTime>
#include <QObject>

namespace tarvik::app {

class Surveillance : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The port to watch from now on; its state is looked at at once when
    // looking is on, else as soon as it is.
    virtual void surveiller(const PortChoisi &port) = 0;
    // Looking only while this is on (the panel's window is shown).
    virtual void setActive(bool active) = 0;
    virtual bool actif() const = 0;
    virtual const EtatPort &etat() const = 0;
    // When the device came back after going away; invalid when it has not
    // since the last call of oublierRebranchement.
    virtual QDateTime rebrancheA() const = 0;
    virtual void oublierRebranchement() = 0;
    // Looks now.
    virtual void regarder() = 0;

Q_SIGNALS:
    void etatChange(const EtatPort &etat);
    // The device went away and came back: the board behind it may have
    // restarted.
    void rebranche(const QDateTime &quand);
};

} // namespace tarvik::app
