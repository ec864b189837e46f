// The dialog of "Initialisation › Choisir le port série…": the serial ports
// the system reports, port 1, and a field where any device may be typed.
#pragma once

#include "serial/choix_port.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QListWidget;

using EnumerationPorts = std::function<QList<PortDecouvert>()>;

// Sets how the ports are listed from now on (tests give a fixed list) and
// returns the previous way; an empty one goes back to the system's ports.
EnumerationPorts RemplacerEnumerationPorts(EnumerationPorts enumeration);

class DialoguePort : public QDialog {
    Q_OBJECT
public:
    // Lists the ports (asking the system only now), with `actuel` in the field.
    DialoguePort(const QString &actuel, QWidget *parent = nullptr);

    // The device chosen; empty for port 1.
    QString choix() const;

    // Refuses, and stays open, for anything that is not a serial port.
    void accept() override;

private:
    QListWidget *m_liste;
    QLineEdit *m_chemin;
};
