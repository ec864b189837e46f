// Form1, the program's only window: the axis grid, the TEST button, the list
// of the lines sent and the menu bar. It shows what the send station tells
// and asks it to send; it decides nothing about the wire.
#pragma once

#include "app/poste_envoi.h"
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
    // Sends through `poste`, which outlives it; starts with the settings
    // read at start (a choice saved by another panel meanwhile applies from
    // its next start).
    explicit Form1(PosteEnvoi &poste, const ReglagesLus &reglages = {}, QWidget *parent = nullptr);
    ~Form1() override;

    // The grid's texts, row by row.
    TextesGrille textes() const;
    // The grid, checked as TEST checks it. When a value is refused, the
    // operator is told under `titre`, the message ending with `suite`, the
    // box gets the focus, and there is none.
    std::optional<Grille> grilleVerifiee(const QString &titre, const QString &suite);
    // The program's window, once it has been opened.
    FenetreProgramme *fenetreProgramme() const { return m_fenetreProgramme; }

protected:
    // Lists one more line handed to the port.
    virtual void ajouterLigne(const QString &ligne);
    // The port is watched while the window is shown.
    void showEvent(QShowEvent *evenement) override;
    void hideEvent(QHideEvent *evenement) override;
    // A program under way is stopped first, once the operator says so; the
    // program's window, a window of its own, goes with the panel.
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
    void creerRangees(QWidget *zone);
    void creerBarreDEtat();
    void creerMenuLangue(QMenu *menu);
    void ordonnerFocus();
    void creerMenus();
    void suivrePoste();
    // TEST: checks the grid and hands it to the station.
    void envoyerGrille();
    // The end of a run: for a TEST the list, the status line, what to tell.
    void finEnvoi(const FinEnvoi &fin);
    // The end of a program: the status line; its window tells the rest.
    void finProgramme(const FinEnvoi &fin);
    void remplirGrille(const Grille &grille);
    // Marks a box whose text will not go out as typed, or cannot go at all.
    void marquerCase(int numero, Colonne colonne);
    void marquerCases();
    // Names the rows after an axis designation file's names (empty: "Axe 0k").
    void nommerAxes(const NomsAxes &noms);
    // The designation file saved in the settings, loaded at start.
    void chargerDesignation();
    // The last attempt, on the status bar; the list as the previous sequence's
    // when this one sent nothing. `texte`, when given, says it instead of
    // "Dernière séquence : …".
    void montrerTentative(const QDateTime &quand, const QString &echec, bool listeVidee,
                          const QString &texte = {});
    // Shows a failure; the box of a refused value gets the focus.
    void signalerEchec(const QString &titre, const Echec &echec,
                       const std::optional<ValeurRefusee> &valeur = std::nullopt);
    // Says why the station refused to send.
    void signalerRefus(const RefusEnvoi &refus, const QString &titre);
    // Says why the run failed and what to do; whether the operator asks to
    // retry.
    bool signalerEchecDEnvoi(const FinEnvoi &fin);
    void signalerAvertissements(const ResultatEnvoi &resultat);
    void signalerJournal(const Echec &rate);
    void montrerPort(); // the device in use, on TEST's tooltip and description
    // The port's state, on the status line.
    void montrerEtatPort(const EtatPoste &etat);
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

    PosteEnvoi &m_poste;
    std::array<RangeeAxe, NombreAxes> m_rangees{};
    NomsAxes m_noms;                         // from the axis designation file; empty: "Axe 0k"
    QListWidget *m_lignesEnvoyees = nullptr; // List1
    QPushButton *m_test = nullptr;           // Command1
    QLabel *m_etatPort = nullptr;            // the port's state, on the status bar
    QLabel *m_etatEnvoi = nullptr;           // the last attempt, on the status bar
    QString m_envoyeeA;                      // when the sequence listed was sent
    QString m_raccourciTest;                 // TEST's shortcut, as the keyboard says it
    ReglagesLus m_reglages;                  // as read at start, then as saved

    QStringList m_avertis; // what the operator was told of the runs that went through
    bool m_journalSignale = false;
    bool m_listeVidee = false; // the run under way emptied the list

    DialogueJournal *m_journal = nullptr;           // made at its first opening, then kept
    FenetreProgramme *m_fenetreProgramme = nullptr; // likewise
};
