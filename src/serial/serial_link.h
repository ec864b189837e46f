// The serial link to the board: the chosen port at 38400 baud, no parity,
// 8 data bits, 1 stop bit, used for writing only.
#pragma once

#include "serial/choix_port.h"
#include "serial/pilote_posix.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <optional>

// One port, opened for a run and closed at its end. While open it holds the
// locks other serial programs honour (a flock on the device, the UUCP lock
// file, exclusive mode), so nobody else can interleave bytes.
class LienSerie {
public:
    LienSerie() = default;
    LienSerie(const LienSerie &) = delete;
    LienSerie &operator=(const LienSerie &) = delete;

    // The port of the runs to come, kept until it is changed: a choice saved
    // elsewhere meanwhile does not move it.
    void setPort(const PortChoisi &port) { m_port = port; }
    // Decides it now from a device given as --port gives it (tests hand in a
    // pseudo-terminal); an empty name: the saved choice, then port 1.
    void setPeripherique(const QString &peripherique) { m_port = DeterminerPort(peripherique); }
    const PortChoisi &port() const { return m_port; }

    // Where UUCP lock files are looked for, and the folders of stable links
    // (tests use folders of their own).
    void setDossiersVerrou(const QStringList &dossiers) { m_systeme.setDossiersVerrou(dossiers); }
    void setDossiersLiens(const QStringList &dossiers) { m_systeme.setDossiersLiens(dossiers); }
    // The platform's side of the port; nullptr gives back the system's.
    void setPilote(PiloteLigne *pilote) { m_pilote = pilote ? pilote : &m_systeme; }
    // A descriptor that, once readable, ends a run at once (a signal's
    // self-pipe); -1 for none.
    void setReveil(int fd) { m_reveil = fd; }

    // Selects the port, checks it is a serial port, takes the locks, opens
    // it and applies the line settings. Nothing is written to a device that
    // is not a serial port.
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

    bool estOuvert() const { return m_pilote->estOuvert(); }
    // What the operator should know of the last opening, though it went through.
    QStringList avertissements() const { return m_pilote->avertissements(); }

private:
    bool reveille() const;
    EchecLien echec(const EchecLien &refus) const;

    PortChoisi m_port{{}, OriginePort::Option, QStringLiteral("aucun port n'a été donné")};
    PilotePosix m_systeme;
    PiloteLigne *m_pilote = &m_systeme;
    int m_reveil = -1;
};
