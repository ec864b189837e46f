// What the link asks of the platform for one port: open it with every lock
// other serial programs honour, write under a deadline, wait until the bytes
// have left, throw away what is queued, and release everything. On Linux
// one descriptor does all of it through termios (PilotePosix); a Windows
// driver would be one more file behind this same interface.
#pragma once

#include "core/echec.h"

#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <optional>

// Why the link failed, and what to tell the operator.
struct EchecLien : Echec {
    enum class Genre {
        AucunPort, // no port is chosen: the saved choice cannot be read
        PortAbsent,
        PasUnPortSerie,
        PortOccupe,
        PermissionRefusee,
        OuvertureEchouee,
        EcritureEchouee,
        PortDebranche, // the device went away during the run
        DelaiDepasse,
        Interrompu, // the wake-up descriptor became readable
    };
    Genre genre = Genre::OuvertureEchouee;
};
inline EchecLien Refus(EchecLien::Genre genre, const QString &message)
{
    EchecLien refus;
    refus.genre = genre;
    refus.message = message;
    return refus;
}

class PiloteLigne {
public:
    virtual ~PiloteLigne() = default;

    // Opens the device `nom` leads to, takes its locks and exclusive mode,
    // and sets the line: raw, 38400 baud, 8 data bits, no parity, 1 stop
    // bit, no flow control. Nothing is written, and nothing stays held after
    // a refusal. The message says what is wrong, not which port.
    virtual std::optional<EchecLien> ouvrir(const QString &nom) = 0;
    // Hands every byte to the driver before the deadline.
    virtual std::optional<EchecLien> ecrire(QByteArrayView octets, QDeadlineTimer echeance) = 0;
    // Waits until every byte handed over has left the driver.
    virtual std::optional<EchecLien> vider(QDeadlineTimer echeance) = 0;
    // Throws away everything still waiting to leave.
    virtual void jeter() = 0;
    // Gives the line back its settings and releases exclusive mode, the
    // locks and the device. Does nothing when nothing is open.
    virtual void fermer() = 0;
    virtual bool estOuvert() const = 0;

    // The device the last name led to (empty before that is known).
    virtual QString peripherique() const = 0;
    // What the operator should know of the last opening although it went
    // through (a stale lock that could not be removed).
    virtual QStringList avertissements() const = 0;
    // How many bytes an earlier writer had left waiting to leave, which the
    // last opening threw away before anything of its own (0: none).
    int octetsJetes() const { return m_jetes; }

    // A descriptor that, once readable, ends every wait at once and refuses
    // a new opening (a signal's self-pipe); -1 for none.
    void setReveil(int fd) { m_reveil = fd; }
    // Another such descriptor: the operator's Stop, for one run.
    void setArret(int fd) { m_arret = fd; }

protected:
    int m_reveil = -1;
    int m_arret = -1;
    int m_jetes = 0;
};
