// The dialog of "Initialisation › Choisir le port série…": the serial ports
// the system reports, port 1, and a field where any device may be typed.
#pragma once

#include "app/surveillance_port.h"
#include "port/ports_systeme.h"
#include "window/couche.h"

#include <QDialog>
#include <QTimer>
#include <memory>

class QLineEdit;
class QListWidget;
class QVBoxLayout;

namespace tarvik::window {

class DialoguePort : public QDialog {
    Q_OBJECT
public:
    // Lists the ports (asking the system only now), with `actuel` in the
    // field. `impose`, the device given with --port, is named at the top.
    DialoguePort(const QString &actuel, const QString &impose = {}, QWidget *parent = nullptr);

    // The device chosen; empty for port 1. A bare name (ttyUSB0) is one of
    // /dev; any other path is returned as typed.
    QString choix() const;

    // Refuses, and stays open, for anything that is not a serial port or is
    // a relative path; asks before keeping a numbered pseudo-terminal.
    void accept() override;

    // Lists the ports again, as the system now reports them; the row
    // selected stays so while its port is listed. The field never changes.
    void actualiser();

private:
    // Lists port 1 and the system's ports, each device once; selects the
    // row of `actuel`. Port 1's device, as shown.
    QString remplirListe(const QString &actuel);
    // The rows of port 1 and of `ports`, each device once.
    QString lister(const QList<PortDecouvert> &ports);
    void disposer(QVBoxLayout *mise, const QString &impose, const QString &port1);
    // Fits the dialog in the screen's free area, however scaled.
    void dimensionner();
    // Whether the operator keeps the numbered pseudo-terminal `choisi`.
    bool garderPseudoTerminal(const QString &choisi);
    // The field, focused with its text selected, for another try.
    void reprendreChamp();

    QListWidget *m_liste;
    QLineEdit *m_chemin;
    QStringList m_listes; // what the rows show, to list them again only when that changes
    // While it is open, the list follows adapters plugged in and pulled out:
    // at udev's events, or about once a second where there is no udev.
    std::unique_ptr<SourceEvenements> m_source;
    QTimer m_minuterie;
};

} // namespace tarvik::window
