// The journal of what was commanded, in a file of the user's: one record
// per step sent, per run that ended otherwise, per send the machine's limits
// refused, per device that came back and per wait for the port that ended
// without it. A grid or a file that fails its own checks never reaches a run,
// and leaves none. The send station's journal (app/consignation.h) writes
// it, for the panel and tarvik-envoyer alike.
#pragma once

#include "run/couche.h"
#include "run/envoyer_sequence.h"
#include "system/ajout.h"
#include "system/journal_systeme.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace tarvik::run {

// Past this size the journal moves to journal.log.1 and a new one starts.
constexpr qint64 TailleMaxJournal = 4 * 1024 * 1024;

// $XDG_STATE_HOME/tarvik/journal.log (~/.local/state/tarvik/journal.log; a
// relative XDG_STATE_HOME is ignored).
QString CheminJournal();

// How a run ended, as the journal names it. The operator's Stop (Arretee)
// and a signal (Interrompue) each have their own. Besides the runs: a grid
// or a file refused by a limit of the bench before any port was opened
// (HorsLimites), and a device that came back after going away (Rebranche):
// the board behind it may have restarted.
enum class IssueEnvoi { Envoyee, PortRefuse, Echec, Interrompue, Rebranche, HorsLimites, Arretee };
QString NomIssue(IssueEnvoi issue);
// The outcome a word of the journal names (NomIssue's words, exactly);
// nothing for any other word.
std::optional<IssueEnvoi> AnalyserIssue(QStringView nom);
// The outcome of a run, from how it failed (nothing: sent).
IssueEnvoi IssueDe(const std::optional<EchecLien> &echec);
// The outcome of a run that failed this way.
IssueEnvoi IssueDe(EchecLien::Genre genre);

// One run, as the journal keeps it.
struct EnregistrementEnvoi {
    QDateTime debut;      // local time
    QString executable;   // tarvik, tarvik-envoyer
    QString source;       // the file read ("-": stdin); empty for the panel's grid
    QString portChoisi;   // the port as chosen
    QString peripherique; // the device it led to; empty when unknown
    IssueEnvoi issue = IssueEnvoi::Envoyee;
    QString raison;      // why it did not go through
    QStringList lignes;  // the lines handed to the port, A first
    QString execution{}; // the run's id, shared by each step's record; empty: none
};

// A new run's id: 16 hexadecimal digits, drawn at random.
QString NouvelleExecution();

// One line ended by a line feed, its fields separated by tabs: the time
// (ISO 8601, milliseconds and UTC offset), the program, the source, the port
// chosen, the device, the outcome, the reason, then one field per line
// handed to the port, then, when there is one, the run's id as "id=…" (no
// line starts so). No field holds a tab or a line feed.
QByteArray FormerEnregistrement(const EnregistrementEnvoi &envoi);

// The records of a journal's bytes, in their order. A line that is not a
// whole record is left out: one without its final line feed (torn, or still
// being written), one that is not UTF-8, one with fewer than seven fields or
// more than seven lines, a time not written as FormerEnregistrement writes
// it, an outcome NomIssue does not give. The time keeps the offset from UTC
// it was written with: a record FormerEnregistrement wrote forms back to the
// same bytes.
QList<EnregistrementEnvoi> AnalyserJournal(const QByteArray &octets);

// The record of a run that started at `debut`, from its result; `raison`
// is its reason as the operator reads it (the wording module's
// RaisonEnregistrement).
EnregistrementEnvoi EnregistrementDe(const ResultatEnvoi &resultat, const QString &raison,
                                     const QDateTime &debut, const QString &executable,
                                     const QString &source = {});

// The system journal's entry for a record: SYSLOG_IDENTIFIER (the program),
// MESSAGE (`message`, MessageJournalSysteme's line), PRIORITY (6 sent, 4 refused
// or stopped, 3 failed on the wire), and the record's fields, TARVIK_PORT,
// TARVIK_DEVICE, TARVIK_OUTCOME (an English word no language changes: sent,
// refused, failed, interrupted, replugged), TARVIK_SOURCE, TARVIK_RUN,
// TARVIK_LINES (one line feed between two lines) and TARVIK_REASON; a field
// with nothing to say is left out.
QList<ChampJournal> EntreeJournalSysteme(const EnregistrementEnvoi &envoi, const QString &message);

// Whether each record also goes to the system's journal (journal_systeme in
// the settings). Until a program says so at start, it does not.
void ActiverJournalSysteme(bool actif);

// Appends the record to the journal, then, when it is on, hands its entry to
// the system's journal, `message` its line, which never holds the run up nor says anything. What
// went wrong with the file, and whether the record was written all the same
// (AjouterEnregistrement), or nothing.
std::optional<EchecAjout> EcrireJournal(const EnregistrementEnvoi &envoi, const QString &message);

} // namespace tarvik::run
