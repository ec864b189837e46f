// Form1, the program's only window: the axis grid, the TEST button, the list
// of the lines sent and the menu bar.
#pragma once

#include "app/surveillance_port.h"
#include "run/envoyer_sequence.h"
#include "run/execution_programme.h"
#include "system/fichier_limites.h"
#include "system/fichier_reglages.h"

#include <QMainWindow>
#include <QStringList>
#include <array>

class CaseGrille;
class DialogueJournal;
class FenetreProgramme;
class QLabel;
class QMenu;
class QLineEdit;
class QListWidget;
class QPushButton;

// The grid's texts when the window opens.
inline const QString TexteInitialPas = QStringLiteral("00000");
inline const QString TexteInitialDirection = QStringLiteral("+");
inline const QString TexteInitialVitesse = QStringLiteral("002");

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // Starts with the settings and the limits read at start, and the port
    // the settings choose; a choice saved by another panel meanwhile applies
    // from its next start.
    explicit Form1(const ReglagesLus &reglages = {}, const LimitesLues &limites = {},
                   QWidget *parent = nullptr);
    // A run stopped by the window's end tells no one.
    ~Form1() override;

    // The grid's texts, row by row.
    TextesGrille textes() const;
    // The link that sends the grid.
    LienSerie &lien() { return m_lien; }
    // The device given with --port, used until a port is chosen in the menu.
    void imposerPort(const QString &peripherique);
    // A TEST, or a program, is under way or waits its turn.
    bool envoiEnCours() const { return m_execution.enCours() || m_demandes > 0 || m_finissant; }
    // The axes' limits from now on: both levels as read, and those that apply.
    void appliquerLimites(const LimitesLues &limites);
    const Limites &limites() const { return m_limites; }
    // Whether `programme` may go to the board under the bench's limits. When
    // not (the limits file doubtful, or values beyond them: all of them are
    // said), the operator is told under `titre`, the refusal is journaled
    // with `source`, and it is false.
    bool dansLesLimites(const Programme &programme, const QString &titre,
                        const QString &source = {});

    // The grid, checked as TEST checks it. When a value is refused, the
    // operator is told under `titre`, the message ending with `suite`, the
    // box gets the focus, and there is none.
    std::optional<Grille> grilleVerifiee(const QString &titre, const QString &suite);
    // The runner behind TEST and the programs: the program window follows
    // it, steps it on and stops it.
    ExecutionProgramme &execution() { return m_execution; }
    // Starts `programme` from step `depuis` (0: the first), as many times as
    // it says. False, and nothing started, while a TEST or a program is
    // under way, or when the program goes beyond the bench's limits (said
    // and journaled). Each step's record names `source` and the step, from
    // 1: "prise.prog:3".
    bool lancerProgramme(const Programme &programme, const QString &source, int depuis = 0,
                         ExecutionProgramme::Mode mode = ExecutionProgramme::Mode::Continu);
    // A program, not a TEST, is under way.
    // The program's window, once it has been opened.
    FenetreProgramme *fenetreProgramme() const { return m_fenetreProgramme; }
    bool programmeEnCours() const { return m_lanceur == Lanceur::Programme; }

protected:
    // Lists one more line handed to the port.
    virtual void ajouterLigne(const QString &ligne);
    // The port is watched while the window is shown.
    void showEvent(QShowEvent *evenement) override;
    void hideEvent(QHideEvent *evenement) override;
    // The program's window, a window of its own, goes with the panel.
    void closeEvent(QCloseEvent *evenement) override;

private:
    // One row of the grid: its axis's name and its three boxes.
    struct RangeeAxe {
        QLabel *nom = nullptr;           // Label1_k
        CaseGrille *pas = nullptr;       // Text1_k
        CaseGrille *direction = nullptr; // Text3_k
        CaseGrille *vitesse = nullptr;   // Text2_k
    };

    // The menu bar, as a table: each entry with its object name, its text,
    // what it does (none: it names a document of the board) and its shortcut.
    using Action = void (Form1::*)();
    struct Entree {
        const char *nom, *titre;
        Action action = nullptr;
        const char *raccourci = nullptr;
    };
    struct Menu {
        const char *nom, *titre;
        QList<Entree> entrees;
    };
    static QList<Menu> barreDeMenus();

    void creerControles(QWidget *zone);
    void creerMenuLangue(QMenu *menu);
    void ordonnerFocus();
    void creerMenus();
    // TEST: checks the grid, then sends it, away from the window's thread;
    // again when the operator asks to retry, or clicked meanwhile.
    void envoyerGrille();
    // Starts the next TEST asked for, whose grid passes its checks.
    void lancerEnvoi();
    // Journals a step as it ends, TEST's or a program's.
    void consignerEtape(const ResultatEtape &etape);
    // The end of a run: for a TEST the list, the status line, what to tell.
    void finEnvoi(const ResultatProgramme &resultat);
    // The end of a program: the status line; its window tells the rest.
    void finProgramme(const ResultatProgramme &resultat);
    void remplirGrille(const Grille &grille);
    // Marks a box whose text will not go out as typed, or cannot go at all.
    void marquerCase(int numero, Colonne colonne);
    void consignerHorsLimites(const QString &raison, const QString &source = {});
    // Names the rows after an axis designation file's names (empty: "Axe 0k").
    void nommerAxes(const NomsAxes &noms);
    // The designation file saved in the settings, loaded at start.
    void chargerDesignation();
    // The last attempt, on the status bar; the list as the previous sequence's
    // when this one sent nothing.
    // `texte`, when given, says it instead of "Dernière séquence : …".
    void montrerTentative(const QDateTime &quand, const QString &echec, bool listeVidee,
                          const QString &texte = {});
    // Shows a failure; the box of a refused value gets the focus.
    void signalerEchec(const QString &titre, const Echec &echec,
                       const std::optional<ValeurRefusee> &valeur = std::nullopt);
    // Says why the run failed and what to do; whether the operator asks to
    // retry.
    bool signalerEchecDEnvoi(const ResultatEnvoi &resultat);
    void signalerAvertissements(const ResultatEnvoi &resultat);
    void signalerJournal(const Echec &rate);
    void montrerPort(); // the device in use, on TEST's tooltip and description, watched
    // The port's state, on the status line.
    void montrerEtatPort();
    // The device came back: said until the next TEST, and in the journal.
    void consignerRebranchement(const QDateTime &quand);
    QString decrirePort() const;
    // What a screen reader says of row k's boxes: "Axe 03, Pas".
    void nommerRangee(int k, const QString &nom);
    CaseGrille *caseDe(Colonne colonne, int numero) const;

    // The menu entries.
    void OuvrirSequence_Click();
    void EnregistrerSequence_Click();
    void EffacerSequenceActuelle_Click();
    void JournalEnvois_Click();
    void Programme_Click();
    void Quitter_Click() { close(); }
    void DesignAxe_Click();
    void ChoisirPort_Click();
    // Shows the machine's limits and the operator's, and saves the operator's.
    void LimitesAxes_Click();
    // Saves the language (an empty code: the system's) for the next start.
    void choisirLangue(const QString &code);
    void CommentCreer_Click();
    void documentDeLaCarte(const QString &document);
    void Apropos_Click();

    std::array<RangeeAxe, NombreAxes> m_rangees{};
    NomsAxes m_noms;                         // from the axis designation file; empty: "Axe 0k"
    QListWidget *m_lignesEnvoyees = nullptr; // List1
    QPushButton *m_test = nullptr;           // Command1
    QLabel *m_etatPort = nullptr;            // the port's state, on the status bar
    QLabel *m_etatEnvoi = nullptr;           // the last attempt, on the status bar
    SurveillancePort m_surveillance;
    QString m_envoyeeA;      // when the sequence listed was sent
    QString m_raccourciTest; // TEST's shortcut, as the keyboard says it
    LienSerie m_lien;
    ExecutionProgramme m_execution{m_lien};
    ReglagesLus m_reglages;    // as read at start, then as saved
    LimitesLues m_limitesLues; // as read at start, then after each save
    Limites m_limites;         // the limits that apply: the stricter of both levels

    QStringList m_avertis; // what the operator was told of the runs that went through
    bool m_journalSignale = false;
    int m_demandes = 0;        // clicks on TEST not yet served
    bool m_finissant = false;  // a TEST's end is being told
    bool m_listeVidee = false; // the run under way emptied the list
    QDateTime m_debutEnvoi;
    // Who started the run under way: its end is told by TEST or by the
    // program window, never both.
    enum class Lanceur { Aucun, Test, Programme };
    Lanceur m_lanceur = Lanceur::Aucun;
    QString m_sourceProgramme; // the program's source in the journal
    int m_depuis = 0;          // the step it started from

    DialogueJournal *m_journal = nullptr;           // made at its first opening, then kept
    FenetreProgramme *m_fenetreProgramme = nullptr; // likewise
};
