// What tarvik-envoyer's parts share: its exit codes, its standard output,
// and how it tells a failure.
#pragma once

#include "core/echec.h"
#include "core/programme.h"
#include "port/choix_port.h"
#include "port/lien_serie.h"
#include "system/fichier_limites.h"

#include <QCoreApplication>
#include <QString>

// The texts of the sender, in the operator's language.
struct Textes {
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

// Standard output, where the lines go. The first failure is kept: the
// lines may have reached the board all the same.
class Sortie {
public:
    explicit Sortie(bool fermee);
    void ecrire(const QString &texte);
    QString erreur() const { return m_erreur; }

private:
    QString m_erreur;
};

// The exit code of a run that failed so.
int codeDe(const EchecLien &echec);
// What the operator can do about a failure, where the sender knows; empty
// elsewhere.
QString conseil(const EchecLien &echec);
// The port as the sender names it.
QString decrirePort(const PortChoisi &port);
// Says the notes of a run that went through or failed (warnings, bytes
// thrown away, a journal or stdout that failed), one per line, on stderr.
void direNotes(const QStringList &notes);

// Whether the program may go under the bench's limits; when not, says every
// value beyond them (or the doubtful limits file) on stderr, and journals
// the refusal unless it is only a check (`source` empty). The exit code
// then.
std::optional<int> refusDesLimites(const Programme &programme, const LimitesLues &limites,
                                   const PortChoisi &port, const QString &source);

// Runs a program from step `depuis` (0 for the first), `repetitions` times,
// its lines on stdout as they are handed over and its progress on stderr
// when that is a terminal; a signal stops it as the panel's Stop does. The
// exit code.
int executerProgramme(const Programme &programme, int depuis, int repetitions,
                      const QString &source, const PortChoisi &port, Sortie &sortie, int reveil);

// --verifier for a program: every step on stdout as a program file holds it,
// then on stderr the total of the waits and where it would go.
int verifierProgramme(const Programme &programme, int depuis, const PortChoisi &port,
                      Sortie &sortie);
