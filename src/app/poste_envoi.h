// The send station: for one port, everything between a front end and the
// wire. It holds the link, the program runner, the axes' limits, the TESTs
// waiting their turn and the port's live state (from the watcher the panel
// plugs in); it names each run's records and is the only one to journal
// runs. The panel and tarvik-envoyer ask it to send and show or print what
// it tells; they decide nothing about the wire.
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

// What the operator is told of a refusal by the limits or of the grid's
// values, without its final full stop: the doubtful file, or each value
// refused, a blank line between them; with `valeursMax`, the first values
// only, and how many more there were.
QString TexteRefus(const RefusEnvoi &refus, qsizetype valeursMax = -1);

// A run of the station, TEST's or a program's: what was started, and once
// it ended, how (what the station tells at the end).
struct DeroulementEnvoi {
    bool grilleSeule = false; // one grid: TEST's, or a sequence file's; else a program's
    QDateTime debut, termineA;
    Programme programme; // as it ran
    int depuis = 0, cycles = 1;
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

    // The port of the runs to come, watched from now on.
    void setPort(const PortChoisi &port);
    const PortChoisi &port() const { return m_lien.port(); }
    // A signal's self-pipe: ends a send at once.
    void setReveil(int fd) { m_lien.setReveil(fd); }
    // The axes' limits from now on, both levels as read.
    void setLimites(const LimitesLues &limites);
    const LimitesLues &limitesLues() const { return m_limites; }
    const Limites &limites() const { return m_limites.effectives; }
    // The names messages give the axes.
    void setNoms(const NomsAxes &noms) { m_noms = noms; }
    const NomsAxes &noms() const { return m_noms; }
    QDateTime maintenant() const { return m_horloge->maintenant(); }

    // Whether `programme`, from step `depuis`, may go to the board under
    // the limits; only looks, journals nothing.
    std::optional<RefusEnvoi> examiner(const Programme &programme, int depuis = 0) const;

    // TEST: sends `grille` once the port is free, after the TESTs asked
    // before it. A refusal by the limits is journaled under `source`.
    std::optional<RefusEnvoi> envoyer(const Grille &grille, const QString &source = {});
    // The same for the grid's texts as typed, checked first as TEST checks
    // them (a refused value is not journaled, one beyond the limits is).
    std::optional<RefusEnvoi> tester(const TextesGrille &textes);
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

    // Before a run: opens the port as a run opens it, every lock taken, and
    // keeps it; the next run starts on it. What a wait for the port
    // (tarvik-envoyer --attendre) tries until it has it. The failure, said
    // as a run's opening says it (nothing is held then), or nothing.
    std::optional<EchecLien> prendrePort();
    // The record of a wait for the port, started at `debut`, that ended
    // without it: still busy or absent, or a signal.
    void consignerAttente(const QDateTime &debut, const QString &source, const EchecLien &echec,
                          const QString &peripherique);

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
    // The port is open and a step starts; its lines follow.
    void etapeCommencee(int etape, int cycle);
    void ligneRemise(const QString &ligne);
    void etapeTerminee(const ResultatEtape &resultat);
    void attente(qint64 ms);
    void pause(int etape, int cycle);
    void termine(const DeroulementEnvoi &deroulement);
    // A record could not be written; the runs go on.
    void journalRate(const Echec &rate);

private:
    std::optional<RefusEnvoi> refusDesLimites(const Programme &programme, int depuis) const;
    void commencer(const Programme &programme, const QString &source, int depuis, Mode mode,
                   bool grilleSeule);
    void testSuivant();
    void etapeVue(const ResultatEtape &etape);
    void resultatVu(const ResultatProgramme &resultat);
    // The record of one step, or of the run's opening, as the journal keeps it.
    EnregistrementEnvoi enregistrement(const ResultatEnvoi &envoi, const QDateTime &debut,
                                       int etape) const;
    void consigner(EnregistrementEnvoi enregistrement);
    void consignerFin(const DeroulementEnvoi &deroulement);
    void consignerRefus(const RefusEnvoi &refus, const QString &source);
    void consignerRebranchement();
    void etatVu(const EtatPort &etat);

    QString m_executable;
    HorlogeQt m_horlogeQt;
    Horloge *m_horloge;
    LienSerie m_lien;
    ExecutionProgramme m_execution;
    QPointer<Surveillance> m_surveillance;
    LimitesLues m_limites;
    NomsAxes m_noms;
    EtatPoste m_etat;

    struct Test {
        Grille grille;
        QString source;
    };
    QList<Test> m_tests;            // TESTs waiting their turn
    bool m_finissant = false;       // a TEST's end is being told
    DeroulementEnvoi m_deroulement; // the run under way, as it started
    QString m_identifiant;          // its id in the journal
};

} // namespace tarvik::app
