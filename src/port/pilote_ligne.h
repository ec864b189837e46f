// What the link asks of the platform for one port: open it with every lock
// other serial programs honour, write under a deadline, wait until the bytes
// have left, throw away what is queued, and release everything. On Linux
// one descriptor does all of it through termios (PilotePosix); a Windows
// driver would be one more file behind this same interface.
#pragma once

#include "port/choix_port.h"
#include "port/couche.h"
#include "port/detenteurs.h"
#include "port/faits_verrous.h"
#include "system/substituable.h"

#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tarvik::port {

// What the port found that refuses a run, as a fact: its kind and its
// data; the operator's words are the wording module's (app/formulation.h).
struct RaisonPort {
    enum class Genre {
        // No serial port, by its type or its device numbers.
        FichierOrdinaire,
        Dossier,
        Tube,
        Socket,
        Disque,
        Multiplexeur,    // /dev/ptmx
        TerminalSysteme, // /dev/tty, /dev/console
        ConsoleVirtuelle,
        CoteMaitre, // of a pseudo-terminal
        // No serial port, by what the kernel says of it.
        HorsDesTerminaux,    // `rdev`, and its class in `nom` (empty: unknown)
        ConsoleDuSysteme,    // `rdev`, and its name in `nom` (empty: none)
        TerminalDuProgramme, // one of this program's standard streams is on it
        // At the opening.
        PortAbsent,
        PermissionRefusee,
        PeripheriqueChange,   // between the check and the opening
        TerminalDeControle,   // this program's controlling terminal
        ReglagesIllisibles,   // its line settings cannot be read
        OuvertureImpossible,  // `erreur`
        ReglagesLigneRefuses, // the line settings, `erreur`
        // Held by another program.
        OccupePar,            // the flock's holder, `processus`
        OccupeAutreProgramme, // a flock whose holder is not known
        OccupeExclusifPar,    // exclusive mode, with the flock of `processus`
        ExclusifOuvertPar,    // exclusive mode, and the `processus` that have it open
        ExclusifInvisible, // exclusive mode, perhaps by a process out of sight; `nom`: the device
        ExclusifSansDetenteur, // exclusive mode, and nobody holds it
        // During a run.
        Debranche,
        EcritureEchouee, // `erreur`
        EnvoiInterrompu,
        LigneBloquee,    // the deadline passed with the line taking nothing
        OctetsEnAttente, // the deadline passed with `nombre` bytes still queued
    };
    Genre genre = Genre::PortAbsent;
    quint64 rdev = 0; // the device's numbers
    QString nom{};
    int erreur = 0; // errno
    qint64 nombre = 0;
    QList<Processus> processus{}; // as they were met
};

// Where a failure of the link happened: the port as it was chosen and the
// device its name led to.
struct PortSitue {
    QString choisi;       // the port's name, as chosen
    QString peripherique; // the device it led to; empty when none was reached
    bool port1 = false;   // port 1, which nobody chose
};

// A run that went past its deadline, though the port took every byte it
// was given: the lines that went, and the deadline.
struct Retard {
    int lignes = 0;
    int delaiMs = 0;
};

// Why the link failed: its kind, what the driver found (`raison`) or why
// the locks keep the port (`verrou`), and where (`port`, set by the link);
// the operator's sentence is the wording module's (app/formulation.h).
struct EchecLien {
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
    std::optional<RaisonPort> raison;   // what the driver found
    std::optional<RefusVerrou> verrou;  // or why the locks keep the port
    std::optional<PortInconnu> inconnu; // AucunPort: why no port is chosen
    std::optional<Retard> retard;       // DelaiDepasse of a whole run
    std::optional<PortSitue> port;      // nothing: not situated yet
};
// A failure of the kind `genre`, for what the driver found.
inline EchecLien Refus(EchecLien::Genre genre, RaisonPort raison)
{
    EchecLien refus;
    refus.genre = genre;
    refus.raison = std::move(raison);
    return refus;
}

// What a line leads to: a serial port, where the bytes leave on the wire
// (a UART, a USB adapter), or a pseudo-terminal, where a program at the
// other end (socat, a serial-to-network bridge) takes them.
enum class GenreLigne { PortSerie, PseudoTerminal };

// Why a run starts on a fresh line: an earlier run on the device was cut
// short, and the board may hold the start of a line that never ended.
enum class Coupure {
    Aucune,
    CeLien,         // this link's last run there stopped in the middle of a line
    Marque,         // a run that did so left its mark in the lock folder
    VerrouPerime,   // a lock of this program whose process is dead: a run was killed
    FileLaissee,    // a writer left bytes queued on the line, thrown away at the opening
    TraceEnvoi,     // a run of this program that had no lock folder was killed (its trace stayed)
    ExclusifLaisse, // exclusive mode was found left on the device with no program holding it
    MarqueDouteuse, // something this program cannot read or trust stands where a mark goes
    SansTrace,      // no lock folder and no private folder: nothing could keep a cut's trace
};

// The stages of a run on the line, as the bench times them: the device's
// checks, the locks, the opening with its line settings, the writing and
// the drain, the release.
enum class EtapeLien { Verifications, Verrous, Ouverture, Ecriture, Liberation };
// Told as each stage ends: nothing in the program; the bench times them.
inline Substituable<std::function<void(EtapeLien)>> FinDEtapeLien;

class PiloteLigne {
public:
    virtual ~PiloteLigne() = default;

    // Opens the device `nom` leads to, takes its locks and exclusive mode,
    // and sets the line: raw, 38400 baud, 8 data bits, no parity, 1 stop
    // bit, no flow control. Nothing is written, and nothing stays held after
    // a refusal. The message says what is wrong, not which port.
    virtual std::optional<EchecLien> ouvrir(const QString &nom) = 0;
    // Sends one line before the deadline, and returns once it counts as
    // sent: on a serial port once it has left (one line at most is ever
    // queued), on a pseudo-terminal once the program at the other end has
    // all of it. A Stop or a signal heard before the line starts sends
    // nothing of it. On a failure the line does not count; partieLaissee()
    // says whether the far end may keep its start.
    virtual std::optional<EchecLien> ecrire(QByteArrayView ligne, QDeadlineTimer echeance) = 0;
    // Waits until every byte handed over has left the driver.
    virtual std::optional<EchecLien> vider(QDeadlineTimer echeance) = 0;
    // Throws away what still waits to leave a serial port; nothing on a
    // pseudo-terminal, where that would empty the buffer of the program at
    // the other end, lines already counted as sent with it.
    virtual void jeter() = 0;
    // After a cut (coupure()): sends a lone line feed, as a line, so that
    // the board drops what an earlier run left as a line of its own; the
    // line is clean again once it went.
    virtual std::optional<EchecLien> reprendreLigne(QDeadlineTimer echeance)
    {
        if (auto refus = ecrire("\n", echeance))
            return refus;
        m_coupure = Coupure::Aucune;
        return std::nullopt;
    }
    // Gives the line back its settings and releases exclusive mode, the
    // locks and the device. Does nothing when nothing is open.
    virtual void fermer() = 0;
    virtual bool estOuvert() const = 0;

    // The device the last name led to (empty before that is known).
    virtual QString peripherique() const = 0;
    // What the operator should know of the last opening although it went
    // through (a stale lock that could not be removed).
    virtual QList<AvertissementPort> avertissements() const = 0;
    // How many bytes an earlier writer had left waiting to leave, which the
    // last opening threw away before anything of its own (0: none).
    int octetsJetes() const { return m_jetes; }
    // What the device opened last is.
    GenreLigne genre() const { return m_genre; }
    // Why the last opening found the line cut short, until reprendreLigne();
    // Coupure::Aucune: it starts clean.
    Coupure coupure() const { return m_coupure; }
    // The last line that failed left its start at the far end: a
    // pseudo-terminal's program took part of it, or a serial port sent part
    // of it before the rest was taken back.
    bool partieLaissee() const { return m_partie; }

    // A descriptor that, once readable, ends every wait at once and refuses
    // a new opening (a signal's self-pipe); -1 for none.
    void setReveil(int fd) { m_reveil = fd; }
    // Another such descriptor: the operator's Stop, for one run.
    void setArret(int fd) { m_arret = fd; }

protected:
    int m_reveil = -1;
    int m_arret = -1;
    int m_jetes = 0;
    GenreLigne m_genre = GenreLigne::PortSerie;
    Coupure m_coupure = Coupure::Aucune;
    bool m_partie = false;
};

} // namespace tarvik::port
