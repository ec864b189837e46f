// The serial link to the board: the port it was given, at 38400 baud, no
// parity, 8 data bits, 1 stop bit, used for writing only.
#pragma once

#include "port/choix_port.h"
#include "port/couche.h"
#include "port/pilote_ligne.h"
#include "system/substituable.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace tarvik::port {

// Makes the platform's side of a port for each new link: the system's own
// driver; tests put a driver of theirs here.
inline Substituable<std::function<std::unique_ptr<PiloteLigne>()>> NouveauPilote;

// One port, opened for a run and closed at its end. While open it holds the
// locks other serial programs honour (a flock on the device, the UUCP lock
// file, exclusive mode), so nobody else can interleave bytes.
class LienSerie {
public:
    LienSerie();
    ~LienSerie();
    LienSerie(const LienSerie &) = delete;
    LienSerie &operator=(const LienSerie &) = delete;

    // The port of the runs to come, kept until it is changed. Until then a
    // run refuses: the link never picks a port by itself.
    void setPort(const PortChoisi &port) { m_port = port; }
    // The same for a device given as --port gives it.
    void setPeripherique(const QString &peripherique) { m_port = PortImpose(peripherique); }
    const PortChoisi &port() const { return m_port; }

    // A descriptor that, once readable, ends a run at once (a signal's
    // self-pipe); -1 for none.
    void setReveil(int fd) { m_pilote->setReveil(fd); }
    // Another one for a run the operator may stop; -1 for none.
    void setArret(int fd) { m_pilote->setArret(fd); }

    // Checks the port is a serial port, takes the locks, opens it and
    // applies the line settings. Nothing is written to a device that is not
    // a serial port.
    std::optional<EchecLien> ouvrir();

    // Sends one line before the deadline, or fails: once it returns
    // without a failure the line counts as sent (PiloteLigne::ecrire).
    std::optional<EchecLien> ecrire(const QByteArray &ligne, QDeadlineTimer echeance);

    // After a cut (coupure()): a lone line feed before the run's first line.
    std::optional<EchecLien> reprendreLigne(QDeadlineTimer echeance);

    // Waits until every byte written has left; the port stays open, and
    // held, for more (a program's next step).
    std::optional<EchecLien> vider(QDeadlineTimer echeance);

    // Once the bytes have left (vider): closes the port and releases the
    // locks.
    void fermer();

    // After a failure: throws away what still waits to leave a serial port,
    // so that no incomplete line reaches the board later (nothing on a
    // pseudo-terminal, where it is the other end's already), then closes
    // and releases the locks.
    void abandonner();

    bool estOuvert() const { return m_pilote->estOuvert(); }
    // The device the port's name led to at the last opening; empty when
    // none was reached.
    QString peripherique() const { return m_pilote->peripherique(); }
    // What the operator should know of the last opening, though it went through.
    QList<AvertissementPort> avertissements() const { return m_pilote->avertissements(); }
    // The bytes an earlier, interrupted writer had left queued, thrown away
    // by the last opening before anything of its own.
    int octetsJetes() const { return m_pilote->octetsJetes(); }
    // What the device opened last is.
    GenreLigne genre() const { return m_pilote->genre(); }
    // Why the last opening found the line cut short by an earlier run.
    Coupure coupure() const { return m_pilote->coupure(); }
    // The last line that failed may stay incomplete at the far end.
    bool partieLaissee() const { return m_pilote->partieLaissee(); }

    // A failure of this port, with the port as chosen and the device it
    // led to.
    EchecLien situer(const EchecLien &refus) const;
    // A run of `lignes` lines that went past its deadline of `delaiMs`,
    // though the port took every byte it was given.
    EchecLien enRetard(int lignes, int delaiMs) const;

private:
    PortChoisi m_port;
    std::unique_ptr<PiloteLigne> m_pilote;
};

} // namespace tarvik::port
