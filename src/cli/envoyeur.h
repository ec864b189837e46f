// What tarvik-envoyer's parts share: its exit codes, its standard output,
// and how it tells what the send station did. It prints through its
// printers (impression.h), never on a descriptor itself.
#pragma once

#include "app/consignation.h"
#include "app/poste_envoi.h"
#include "core/echec.h"
#include "core/programme.h"
#include "couche.h"

#include <QCoreApplication>
#include <QString>

namespace tarvik::cli {

// The texts of the sender, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Envoyeur)
};

// Exit codes, for scripts (2, wrong usage, comes from TraiterOptions).
enum Code {
    Envoye = 0,        // sent and drained
    FichierRefuse = 1, // nothing sent
    MauvaiseUtilisation = 2,
    PortIndisponible = 3,  // refused or unavailable, nothing sent
    EchecEcriture = 4,     // failed while writing; stderr names the lines handed over
    SortieImpossible = 5,  // --verifier could not print the lines
    DepasseLesLimites = 6, // beyond the bench's limits, or a doubtful limits file: nothing sent
};

// Says `echec` on stderr, as a sentence; returns `code`.
int erreur(int code, const Echec &echec);

// Standard output, where the lines go, handed to its printer. The first
// failure is kept: the lines may have reached the board all the same.
class Sortie {
public:
    explicit Sortie(bool fermee);
    void ecrire(const QString &texte);
    // Bytes as they are, a program file's.
    void ecrireOctets(const QByteArray &octets);
    // Why what was handed over could not all be written, as far as the
    // printer knows yet (AttendreImpression: all of it); empty when nothing
    // failed.
    QString erreur() const;

private:
    bool m_fermee;
};

// The port as the sender names it.
QString decrirePort(const PortChoisi &port);

// Says why the station refused the program on stderr; the exit code.
int direRefus(const RefusEnvoi &refus);

// With --attendre: waits, at most `secondes`, until a run can take the port.
// The run's own opening is tried, again and again while it is refused as
// busy or absent, and the port it took is kept for the run; a port refused
// for good is not waited for (the run says why). The exit code when the
// program ends here (still busy or absent, or a signal on `reveil`), the
// wait journaled in `journal` under `source`.
std::optional<int> AttendrePort(PosteEnvoi &poste, ConsignationEnvois &journal, double secondes,
                                int reveil, const QString &source);

// The program's end: once what it printed is written, `code`. A signal on
// `reveil`, or one that came before, ends the wait as soon as the printing
// stops going forward; what could not be written is said on stderr where it
// can still be, and the code stays `code`: the run is over, its record
// written, the port released.
int Terminer(int code, int reveil);

// --verifier for a program: every step on stdout as a program file holds it,
// then on stderr the total of the waits and where it would go.
int verifierProgramme(const Programme &programme, int depuis, const PortChoisi &port,
                      Sortie &sortie);
// The same for a sequence file: its lines.
int verifierSequence(const Grille &grille, const PortChoisi &port, Sortie &sortie);

// Where the run of `programme` from step `depuis` takes each axis, on
// stderr: the travel figures (with `figures`, --verifier), then a warning for
// each axis that drifts a little further at every cycle.
void direCourse(const Programme &programme, int depuis, bool figures);

// Sends through `poste` what `lancer` starts there (`programme`'s sequence
// file, or the program from a step), its lines on stdout as they are handed
// over and a program's progress on stderr when that is a terminal; a signal
// on `reveil` stops it. A record `journal` could not write is said at the
// end. The exit code.
int executer(PosteEnvoi &poste, ConsignationEnvois &journal, const Programme &programme,
             const std::function<std::optional<RefusEnvoi>()> &lancer, Sortie &sortie, int reveil);

} // namespace tarvik::cli
