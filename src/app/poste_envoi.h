// The send station: for one port, everything between a front end and the
// wire. It holds the link, the program runner, the axes' limits and their
// names, the TESTs waiting their turn and the port's live state (from the
// watcher the panel plugs in). The panel and tarvik-envoyer ask it to send
// and show or print what it tells; they decide nothing about the wire.
//
// How it is used:
// - Set up: setPort, setLimites, setNoms, setReveil; the panel plugs in its
//   watcher (brancherSurveillance). Each front end makes its journal
//   (ConsignationEnvois, consignation.h) before anything else hears the
//   station: a run's records are written before the front ends hear of it.
// - A grid typed in the panel, whichever way it leaves (TEST, a program's
//   step, a sequence file): examiner(textes, destination) examines it once
//   and answers with the grid, the boxes read otherwise than typed and
//   every refusal, in one. The front end asks its question from that answer
//   and checks nothing itself; TEST then hands the answer to envoyer(examen),
//   which sends its grid without examining it again. A grid of its own (a
//   sequence file's, the one a failed run carried) goes to envoyer(grille).
// - A program: examiner(programme, depuis) only looks; lancer() starts it;
//   continuer() sends the next step of a program run step by step;
//   arreter() is the operator's Stop; interrompre() a signal's.
// - A refusal (a value, the bench's limits, a program under way) is the
//   value returned: nothing starts and nothing else is told, but the
//   journal's `refuse` when the bench's limits refuse.
//
// What it tells of a run, each signal with the run's id (`execution`, the id
// its records carry), in this order: commence, before envoyer or lancer
// returns; for each step etapeCommencee once the port is open, ligneRemise
// for each line the port took, etapeTerminee, then attente before the next
// step (or pause, step by step); termine, once, however it ended. etatChange
// comes as the port's state or the station's use of it changes.
//
// TEST against a program: TESTs asked while a TEST runs wait their turn, in
// order, and go one after the other; a TEST that waited is examined again
// if the limits changed meanwhile. While a program runs, TEST is refused
// (ProgrammeEnCours), never queued behind it; a program is refused while a
// TEST runs or waits (EnvoiEnCours). A signal's end drops the TESTs waiting.
#pragma once

#include "app/couche.h"
#include "app/surveillance.h"
#include "run/execution_programme.h"
#include "run/journal.h"
#include "system/fichier_limites.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

namespace tarvik::app {

// What the station refuses before anything is sent; each front end words it.
struct RefusEnvoi {
    enum class Genre {
        EnvoiEnCours,     // a TEST is under way: a program does not start meanwhile
        ProgrammeEnCours, // a program is under way: TEST sends nothing meanwhile
        LimitesDouteuses, // a limits file is doubtful: every send is refused
        HorsLimites,      // values beyond the bench's limits
        ValeurRefusee,    // a box of the grid that cannot go to the board
    };
    Genre genre = Genre::HorsLimites;
    QString douteux;              // LimitesDouteuses: which file, and why
    QList<ValeurRefusee> valeurs; // HorsLimites, ValeurRefusee: every value refused, in order
};

// Where a grid typed in the panel goes: what may refuse it depends on it.
enum class DestinationGrille {
    Envoi,   // TEST: every refusal, the bench's limits and the grid's travel included
    Etape,   // a program's step: its values, within the bench's limits; the
             // program's travel is examined as it starts
    Fichier, // a sequence file: the line's own checks; what the bench's
             // limits would refuse here is said, and saved all the same
};

// What the station makes of a grid's texts, examined once.
struct ExamenGrille {
    DestinationGrille destination = DestinationGrille::Envoi;
    std::optional<Grille> grille;    // what may go out; none when refused
    QList<CaseLue> lues;             // boxes read otherwise than typed: asked about first
    std::optional<RefusEnvoi> refus; // every refusal, in one
    // A sequence file's grid: what the bench's limits refuse of it here
    // (TEST would refuse it), values and travel.
    std::optional<RefusEnvoi> horsDuBanc;
    quint64 limites = 0; // the limits it was examined under, as the station counts them
};

// A run of the station, TEST's or a program's: what was started, and once
// it ended, how (what the station tells at the end).
struct DeroulementEnvoi {
    QString execution;        // its id, as its records carry it
    bool grilleSeule = false; // one grid: TEST's, or a sequence file's; else a program's
    QDateTime debut, termineA;
    Programme programme; // as it ran
    int depuis = 0, cycles = 1;
    ExecutionProgramme::Mode mode = ExecutionProgramme::Mode::Continu;
    QString source;
    ResultatProgramme resultat;
    // A TEST that waited its turn, refused when its turn came (the limits
    // changed meanwhile): nothing was sent.
    std::optional<RefusEnvoi> refus;
    // Nothing was written and the port was only busy or absent: the same
    // grid may simply go again.
    bool reessayable = false;
};

// The port as the status line tells it: its state, what TEST would meet
// besides, and this station's own use of it.
struct EtatPoste {
    EtatPort port;
    std::optional<LimitesDouteuses> limites; // doubtful limits files: TEST would be refused
    QDateTime rebrancheA;                    // came back after going away, until the next run
    enum class Usage { Aucun, GrilleSeule, Programme };
    Usage usage = Usage::Aucun;
    QString source;                                   // the program's
    int etape = 0, etapes = 0, cycle = 0, cycles = 1; // etape and cycle from 0
    QDateTime finAttente; // the wait between two steps under way ends then; invalid: none
};

class PosteEnvoi : public QObject {
    Q_OBJECT
public:
    using Mode = ExecutionProgramme::Mode;

    // `executable` is the name its records carry: tarvik, tarvik-envoyer.
    // Waits and time stamps are `horloge`'s (the real clock when null).
    explicit PosteEnvoi(const QString &executable, Horloge *horloge = nullptr,
                        QObject *parent = nullptr);
    ~PosteEnvoi() override;

    const QString &executable() const { return m_executable; }
    // The port of the runs to come, watched from now on.
    void setPort(const PortChoisi &port);
    const PortChoisi &port() const { return m_lien.port(); }
    // The device the last opening led to; empty when none was reached.
    QString peripherique() const { return m_lien.peripherique(); }
    // A signal's self-pipe: ends a send at once.
    void setReveil(int fd) { m_lien.setReveil(fd); }
    // The axes' limits from now on, both levels as read.
    void setLimites(const LimitesLues &limites);
    const LimitesLues &limitesLues() const { return m_limites; }
    const Limites &limites() const { return m_limites.effectives; }
    // The names messages give the axes, and the panel's rows: held here only.
    void setNoms(const NomsAxes &noms) { m_noms = noms; }
    const NomsAxes &noms() const { return m_noms; }
    QDateTime maintenant() const { return m_horloge->maintenant(); }

    // The grid's texts as typed, examined once for `destination`: its own
    // checks, the bench's limits, and for TEST where it takes the axes.
    ExamenGrille examiner(const TextesGrille &textes,
                          DestinationGrille destination = DestinationGrille::Envoi) const;
    // Whether `programme`, from step `depuis`, may go to the board under
    // the limits; only looks, journals nothing.
    std::optional<RefusEnvoi> examiner(const Programme &programme, int depuis = 0) const;

    // TEST: sends the grid `examen` (TEST's) gave, once the port is free,
    // after the TESTs asked before it, or refuses it: its refusal, or a
    // program started since. A refusal by the limits is journaled.
    std::optional<RefusEnvoi> envoyer(const ExamenGrille &examen);
    // The same for a grid that was not typed (a sequence file's, a failed
    // run's), examined first; its records name `source`.
    std::optional<RefusEnvoi> envoyer(const Grille &grille, const QString &source = {});
    // Starts `programme` from step `depuis`, as many times as it says; each
    // step's record names `source` and the step, from 1: "prise.prog:3".
    std::optional<RefusEnvoi> lancer(const Programme &programme, const QString &source,
                                     int depuis = 0, Mode mode = Mode::Continu);
    // Step by step: sends the next step.
    void continuer() { m_execution.continuer(); }
    // The operator's Stop: nothing more is sent.
    void arreter() { m_execution.arreter(); }
    // A signal: the run ends, journaled, before this returns.
    void interrompre();

    // A TEST or a program is under way, or a TEST waits its turn.
    bool occupe() const { return m_execution.enCours() || !m_tests.isEmpty() || m_finissant; }
    bool programmeEnCours() const { return m_etat.usage == EtatPoste::Usage::Programme; }
    bool enPause() const { return m_execution.enPause(); }
    // The run under way as it started; once it ended, the last one.
    const DeroulementEnvoi &deroulement() const { return m_deroulement; }

    // Before a run: opens the port as a run opens it, every lock taken, and
    // keeps it; the next run starts on it. What a wait for the port
    // (tarvik-envoyer --attendre) tries until it has it. The failure, said
    // as a run's opening says it (nothing is held then), or nothing.
    std::optional<EchecLien> prendrePort();

    // The watcher of the port the panel plugs in (not owned): the status
    // line's state and a device that came back come from it. Without one
    // (tarvik-envoyer) the station watches nothing.
    void brancherSurveillance(Surveillance *surveillance);
    // Watches the port while this is on (the panel's window is shown).
    void setSurveillance(bool active)
    {
        if (m_surveillance)
            m_surveillance->setActive(active);
    }
    const EtatPoste &etat() const { return m_etat; }

Q_SIGNALS:
    void etatChange(const EtatPoste &etat);
    // New limits apply.
    void limitesChangees();
    // A run starts: TEST's, a sequence file's or a program's.
    void commence(const DeroulementEnvoi &deroulement);
    // The port is open and a step starts; its lines follow.
    void etapeCommencee(const QString &execution, int etape, int cycle);
    void ligneRemise(const QString &execution, const QString &ligne);
    void etapeTerminee(const QString &execution, const ResultatEtape &resultat);
    void attente(const QString &execution, qint64 ms);
    void pause(const QString &execution, int etape, int cycle);
    void termine(const DeroulementEnvoi &deroulement);
    // The bench's limits refuse a send or a program under `source`, nothing
    // having started: what they refuse, under an id of its own.
    void refuse(const QString &execution, const RefusEnvoi &refus, const QString &source);
    // The device went away and came back: `peripherique` is where the port
    // leads now.
    void rebranche(const QDateTime &quand, const QString &peripherique);

private:
    QList<ValeurRefusee> horsLimites(const Programme &programme, int depuis) const;
    std::optional<RefusEnvoi> refusDesLimites(const Programme &programme, int depuis) const;
    // Tells the journal what the bench's limits refuse of `refus`, under the
    // id `execution` (a new one when empty); returns `refus`.
    std::optional<RefusEnvoi> refuser(const RefusEnvoi &refus, const QString &source,
                                      const QString &execution = {});
    void commencer(const Programme &programme, const QString &source, int depuis, Mode mode,
                   bool grilleSeule);
    void testSuivant();
    void etapeVue(int etape, int cycle);
    void resultatVu(const ResultatProgramme &resultat);
    void etatVu(const EtatPort &etat);

    QString m_executable;
    HorlogeQt m_horlogeQt;
    Horloge *m_horloge;
    LienSerie m_lien;
    ExecutionProgramme m_execution;
    QPointer<Surveillance> m_surveillance;
    LimitesLues m_limites;
    quint64 m_versionLimites = 0; // counts the limits set: a TEST examined under others
    NomsAxes m_noms;
    EtatPoste m_etat;

    struct Test {
        Grille grille;
        QString source;
        quint64 limites; // examined under these
    };
    QList<Test> m_tests;            // TESTs waiting their turn
    bool m_finissant = false;       // a TEST's end is being told
    DeroulementEnvoi m_deroulement; // the run under way, as it started
};

} // namespace tarvik::app
