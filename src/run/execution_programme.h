// Running a program, a TEST being a program of one step: the port is held
// from its first step to its end, each step's send runs away from the
// caller's thread, and the waits are the clock's: the caller never waits,
// and a Stop is heard at once, during a wait as during a stalled send.
#pragma once

#include "core/programme.h"
#include "run/envoyer_sequence.h"
#include "system/substituable.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <thread>

// What waits between steps: a real clock, or a test's.
class Horloge {
public:
    virtual ~Horloge() = default;
    // Calls `suite` once `ms` have passed; a new call replaces the last.
    virtual void planifier(qint64 ms, std::function<void()> suite) = 0;
    virtual void annuler() = 0;
};

class HorlogeQt : public Horloge {
public:
    HorlogeQt();
    void planifier(qint64 ms, std::function<void()> suite) override;
    void annuler() override;

private:
    QTimer m_minuterie;
    std::function<void()> m_suite;
};

// Whether sends run on a thread of their own (the programs) or where they
// are asked (tests, for runs with no real wait in them).
inline Substituable<bool> EnvoisEnFond{true};

// One step, sent.
struct ResultatEtape {
    int etape = 0; // 0 for the first
    int cycle = 1; // 1 for the first
    QDateTime debut;
    ResultatEnvoi envoi;
};

struct ResultatProgramme {
    enum class Fin {
        Terminee,    // every step sent
        Arretee,     // the operator stopped it
        Echec,       // the opening or a step failed: nothing after it
        Interrompue, // a signal: the program ends
    };
    Fin fin = Fin::Terminee;
    QList<ResultatEtape> etapes; // those whose send started, in order
    // The opening, when the port could not be had: its failure said whole.
    std::optional<ResultatEnvoi> ouverture;
};

class ExecutionProgramme : public QObject {
    Q_OBJECT
public:
    enum class Mode { Continu, PasAPas };

    // Runs on `lien`, waiting on `horloge` (the real one when null).
    explicit ExecutionProgramme(LienSerie &lien, Horloge *horloge = nullptr,
                                QObject *parent = nullptr);
    // Stops, and waits for a send under way to give up.
    ~ExecutionProgramme() override;

    // Runs `programme` from step `depuis` (0 for the first), `repetitions`
    // times. Step by step, it stops after each step until continuer().
    void demarrer(const Programme &programme, int depuis = 0, int repetitions = 1,
                  Mode mode = Mode::Continu);
    // Step by step: sends the next step.
    void continuer();
    // Nothing more is sent; a send under way is abandoned, as on a signal.
    void arreter();

    bool enCours() const { return m_enCours; }
    // Step by step, between two steps.
    bool enPause() const { return m_enPause; }

Q_SIGNALS:
    void etapeCommencee(int etape, int cycle);
    void ligneRemise(const QString &ligne);
    void etapeTerminee(const ResultatEtape &resultat);
    // After a step, the wait before the next one.
    void attente(qint64 ms);
    // Step by step: the next step waits for continuer().
    void pause(int etape, int cycle);
    void termine(const ResultatProgramme &resultat);

private:
    // Runs `travail` away from here when sends go on a thread, then `fin` here.
    void lancer(std::function<void()> travail, std::function<void()> fin);
    void envoyerEtape();
    void etapeFinie();
    // Moves to the next step; false when there is none.
    bool avancer();
    void finir(ResultatProgramme::Fin fin);

    LienSerie &m_lien;
    HorlogeQt m_horlogeQt;
    Horloge *m_horloge;
    std::thread m_envoi;
    int m_arret = -1; // written to stop a stalled send
    Programme m_programme;
    Mode m_mode = Mode::Continu;
    int m_etape = 0, m_cycle = 1, m_cycles = 1;
    bool m_enCours = false, m_enPause = false, m_arretDemande = false, m_occupe = false;
    ResultatProgramme m_resultat;
    ResultatEtape m_courante;
};
