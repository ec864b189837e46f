// The serial link to the board: serial port 1 at 38400 baud, no parity,
// 8 data bits, 1 stop bit, used for writing only.
#pragma once

#include "serial/choix_port.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <optional>

// Why the link failed, and a French message for the operator.
struct EchecLien {
    enum class Genre {
        PortInconnu, // the saved choice cannot be read
        PortAbsent,
        PasUnPortSerie,
        PortOccupe,
        PermissionRefusee,
        OuvertureEchouee,
        EcritureEchouee,
        DelaiDepasse,
        Interrompu, // the wake-up descriptor became readable
    };
    Genre genre;
    QString message;
};

// What the link asks of the system on an open port: opening it through Qt,
// the bytes still queued in the driver, and waiting until they have left.
// Tests put a device in its place that reports a queue of its own.
class PiloteLigne {
public:
    virtual ~PiloteLigne() = default;
    virtual bool ouvrir(QSerialPort &port);
    virtual int enAttente(int fd); // TIOCOUTQ; -1 when the driver cannot tell
    virtual int drainer(int fd);   // tcdrain: 0, or errno
};

// One port, opened for a run and closed at its end. While open it holds the
// locks other serial programs honour: an exclusive flock on the device and
// the UUCP lock file of the device, so nobody else can interleave bytes.
class LienSerie {
public:
    LienSerie();
    ~LienSerie();
    LienSerie(const LienSerie &) = delete;
    LienSerie &operator=(const LienSerie &) = delete;

    // Imposes a device, as --port does (tests hand in a pseudo-terminal); an
    // empty name goes back to the saved choice, then port 1.
    void setPeripherique(const QString &peripherique) { m_peripherique = peripherique; }
    // The device the next run will use, decided afresh.
    PortChoisi port() const { return DeterminerPort(m_peripherique); }

    // Where UUCP lock files are looked for (tests use a folder of their own).
    void setDossiersVerrou(const QStringList &dossiers) { m_dossiersVerrou = dossiers; }
    // The driver's side of the port; nullptr gives back the system's.
    void setPilote(PiloteLigne *pilote);
    // A descriptor that, once readable, ends a write or a drain at once (a
    // signal's self-pipe); -1 for none.
    void setReveil(int fd) { m_reveil = fd; }

    // Selects the port, checks it is a terminal device, takes the locks,
    // opens it and applies the line settings. Nothing is written to a
    // device that is not a terminal.
    std::optional<EchecLien> ouvrir();

    // Hands every byte to the system before the deadline, or fails.
    std::optional<EchecLien> ecrire(const QByteArray &octets, QDeadlineTimer echeance);

    // Waits until every byte written has left, then closes and releases the
    // locks. The port is closed and the locks released even when it fails;
    // what could not leave in time is thrown away first.
    std::optional<EchecLien> fermer(QDeadlineTimer echeance);

    // After a failure: throws away every byte still waiting to leave, so that
    // no incomplete line reaches the board later, then closes and releases
    // the locks.
    void abandonner();

    bool estOuvert() const { return m_port.isOpen(); }

private:
    // Takes the locks of the device; on a refusal the caller releases.
    std::optional<EchecLien> verrouiller(const QString &chemin);
    void liberer();
    bool reveille() const;
    // How long one wait may last before the wake-up descriptor is looked at.
    int tranche(QDeadlineTimer echeance) const;
    EchecLien echec(EchecLien::Genre genre, const QString &detail) const;

    QString m_peripherique;
    PortChoisi m_choisi; // the device of the current run
    QString m_chemin;    // the device its name resolved to, while open
    QStringList m_dossiersVerrou{QStringLiteral("/var/lock"), QStringLiteral("/run/lock")};
    PiloteLigne *m_pilote;
    QSerialPort m_port;
    int m_verrou = -1; // descriptor holding the flock
    int m_reveil = -1;
};
