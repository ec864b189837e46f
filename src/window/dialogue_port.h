// The dialog of "Initialisation › Choisir le port série…": the serial ports
// the system reports, port 1, and a field where any device may be typed.
#pragma once

#include "port/ports_systeme.h"

#include <QDialog>

class QLineEdit;
class QListWidget;

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
    // Lists port 1 and the system's ports; port 1's device, as shown.
    QString remplirListe();

    QListWidget *m_liste;
    QLineEdit *m_chemin;
};
