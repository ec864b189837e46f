// The sequence run behind TEST, tarvik-envoyer and each step of a program:
// on a port opened for it (OuvrirPourEnvoyer), sends a checked grid's seven
// command lines A to G (EnvoyerSequence), and tells each line as it is
// handed over. ExecutionProgramme calls the two, the port held from the
// opening to its last step; OuvrirEnvoyerFermer makes one run of them alone,
// for the bench and the tests.
#pragma once

#include "core/grille.h"
#include "port/lien_serie.h"
#include "run/couche.h"
#include "system/substituable.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tarvik::run {

// What a run tells as it goes: that it starts, once the port is open, then
// each line (without its line feed) once the port has taken it, A first.
struct ObservateurEnvoi {
    std::function<void()> commence;
    std::function<void(const QString &ligne)> ligneRemise;
};

// How a run failed: the port's failure, in the port's words, and where the
// run was; the operator's sentence for it, with the lines that went, is the
// wording module's (app/formulation.h, TexteEchec).
struct EchecEnvoi {
    enum class Moment {
        Ouverture,  // the port did not open: nothing was sent
        LigneNeuve, // the lone line feed after an earlier run cut short did not go
        Lignes,     // among the seven lines, or their drain
    };
    EchecLien lien;
    Moment moment = Moment::Ouverture;
    EchecLien::Genre genre() const { return lien.genre; }
};

// What a run did: what was sent, to which device, and how it ended. A line
// is sent on a serial port once it has left on the wire, on a
// pseudo-terminal once the program at the other end has all of it; a line
// listed is never taken back.
struct ResultatEnvoi {
    PortChoisi port;      // the port as chosen
    QString peripherique; // the device it led to; empty when none was reached
    QStringList lignes;   // the lines sent, A first
    QList<AvertissementPort>
        avertissements;  // what the operator should know, though it went through
    int octetsJetes = 0; // an interrupted run's leftovers, thrown away at the opening
    // A lone line feed went before the first line, as an earlier run was cut
    // short, and why; Coupure::Aucune: none went.
    Coupure ligneNeuve = Coupure::Aucune;
    // The run stopped in the middle of the line after `lignes`: the far end
    // may keep its start, and the next run on the port starts on a fresh line.
    bool ligneInachevee = false;
    // What the port led to, which says what became of a line left unfinished.
    GenreLigne genre = GenreLigne::PortSerie;
    std::optional<EchecEnvoi> echec; // how it failed; nothing: sent and drained
};

// A whole run may take this long before it fails, from the opening of the
// port to the end of the drain; the 84 bytes of a run take about 22 ms on
// the line. Tests shorten it.
inline Substituable<int> DelaiSequenceMs{2000};

// Opens the port for a run or a program (a port held open already, taken
// by a wait for it, is used as it is): which device, and what the
// operator should know; `echec` when it cannot be (nothing is held then).
// When an earlier run was cut short there, a lone line feed is sent
// before anything else (`ligneNeuve`).
ResultatEnvoi OuvrirPourEnvoyer(LienSerie &lien);

// On a port open for it: tells that the grid starts, sends each axis's
// line and tells it once sent, all before `echeance`; the port stays open
// and held. A Stop or a signal is heard between two lines (on a serial
// port a line in flight is given a short grace to leave). Adds to
// `resultat` the lines sent and, on a failure, how it failed and whether
// a line was left unfinished; the port is then closed, and on a serial
// port what had not left is thrown away.
void EnvoyerSequence(const Grille &grille, LienSerie &lien, QDeadlineTimer echeance,
                     ResultatEnvoi &resultat, const ObservateurEnvoi &observateur = {});

// A run on its own, outside any program: opens the port, sends the
// sequence (EnvoyerSequence) and closes the port. On a failure the port is
// closed, the locks are released, and the lines listed are those written in
// full. Past the deadline nothing more is written, and a run that only ends
// after it fails, even with every line handed over.
ResultatEnvoi OuvrirEnvoyerFermer(const Grille &grille, LienSerie &lien,
                                  const ObservateurEnvoi &observateur = {});

} // namespace tarvik::run
