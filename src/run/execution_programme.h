// Running a program, a TEST being a program of one step: the port is held
// from its first step to its end, each step's send runs away from the
// caller's thread, and the waits are the clock's: the caller never waits,
// and a Stop is heard at once, during a wait as during a stalled send.
//
// Steps and cycles count from 0 here, as everywhere in the code (a
// program's steps, a Course's points); the operator reads them from 1.
#pragma once

#include "core/programme.h"
#include "run/couche.h"
#include "run/envoyer_sequence.h"
#include "system/substituable.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <thread>

namespace tarvik::run {

// What waits between steps and says what time it is: a real clock, or a
// test's. Every time stamp of a run comes from here.
class Horloge {
public:
    virtual ~Horloge() = default;
    // Calls `suite` once `ms` have passed; a new call replaces the last.
    virtual void planifier(qint64 ms, std::function<void()> suite) = 0;
    virtual void annuler() = 0;
    virtual QDateTime maintenant() const { return QDateTime::currentDateTime(); }
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
    int cycle = 0; // 0 for the first
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
    // Where the run stood when it ended: in a wait or a pause between two
    // steps (no send under way).
    bool entreDeuxEtapes = false;

    // The send that failed or was cut short (the opening's or the last
    // step's); none when every step that started went through.
    const ResultatEnvoi *rate() const;
    // The steps sent whole.
    int envoyees() const;
};

// The first step that was not sent, as (step, cycle), both from 0; none
// when nothing was left to send.
std::optional<std::pair<int, int>> PremiereNonEnvoyee(const ResultatProgramme &resultat,
                                                      const Programme &programme, int depuis,
                                                      int cycles);

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
    // The same for a signal, at once: a send under way is waited for (it
    // gives up at its next line), and the run has ended when this returns.
    void interrompre();

    bool enCours() const { return m_enCours; }
    // Step by step, between two steps.
    bool enPause() const { return m_enPause; }
    const Horloge &horloge() const { return *m_horloge; }

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
    // Runs `travail` away from here when sends go on a thread, then `suite` here.
    void travailler(std::function<void()> travail, std::function<void()> suite);
    // Back here once the work is done: its `suite`, once.
    void travailFini();
    void ouvertureFinie(const ResultatEnvoi &ouverture);
    void envoyerEtape();
    void etapeFinie();
    // Moves to the next step; false when there is none.
    bool avancer();
    void finir(ResultatProgramme::Fin fin);
    void demanderArret(ResultatProgramme::Fin fin);

    LienSerie &m_lien;
    HorlogeQt m_horlogeQt;
    Horloge *m_horloge;
    std::thread m_envoi;
    std::function<void()> m_suite; // what follows the work under way
    unsigned m_travaux = 0;        // the works started, the last one's number
    int m_arret = -1;              // written to stop a stalled send
    Programme m_programme;
    Mode m_mode = Mode::Continu;
    int m_etape = 0, m_cycle = 0, m_cycles = 1;
    bool m_enCours = false, m_enPause = false, m_occupe = false;
    // How the run ends once its send under way gives up, when asked.
    std::optional<ResultatProgramme::Fin> m_arretDemande;
    ResultatProgramme m_resultat;
    ResultatEtape m_courante;
};

} // namespace tarvik::run
