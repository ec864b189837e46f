// Form1, the program's only window: the axis grid, the TEST button, the list
// of the lines sent and the menu bar. It shows what the send station tells
// and asks it to send; it decides nothing about the wire.
#pragma once

#include "app/poste_envoi.h"
#include "core/echec.h"
#include "window/couche.h"

#include <QMainWindow>
#include <QStringList>
#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarvik::window {

class CaseGrille;

// The grid's texts when the window opens.
inline const QString TexteInitialPas = QStringLiteral("00000");
inline const QString TexteInitialDirection = QStringLiteral("+");
inline const QString TexteInitialVitesse = QStringLiteral("002");

// How the grid's checks speak of what the grid is taken for (TEST, a
// program's step): a refusal's title and last words; the button that goes on
// although boxes go out otherwise than typed, and what « Corriger » does.
struct TextesVerification {
    // `corriger` names the box it goes back to as %1: "cette case", or
    // "la première de ces cases".
    QString titre, suite, bouton, corriger;
};

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // Sends through `poste`, which outlives it.
    explicit Form1(PosteEnvoi &poste, QWidget *parent = nullptr);

    // The grid's texts, row by row.
    TextesGrille textes() const;
    // The grid's texts as the station examines them for `destination`.
    // When it refuses them, the operator is told of every refusal and the
    // first box gets the focus; when boxes go out otherwise than typed, the
    // operator is asked first. No grid then, when refused or when the
    // answer is « Corriger » (Entrée, Échap).
    ExamenGrille grilleExaminee(DestinationGrille destination, const TextesVerification &mots);
    void remplirGrille(const Grille &grille);
    // Every box back to its text at start; the texts before are kept for
    // `annulerEffacement`, once.
    void effacerGrille();
    // The boxes as they were before the last "Effacer"; false when there is
    // nothing to put back.
    bool annulerEffacement();
    bool effacementAnnulable() const { return m_avantEffacement.has_value(); }
    // The last grid TEST sent whole, in this session; none yet: nothing.
    const std::optional<Grille> &derniereEnvoyee() const { return m_derniereEnvoyee; }
    // Names the rows and the station's messages after an axis designation
    // file's names (empty: "Axe 0k").
    void nommerAxes(const NomsAxes &noms);
    // Shows a failure; the box of a refused value gets the focus.
    void signalerEchec(const QString &titre, const Echec &echec,
                       const std::optional<ValeurRefusee> &valeur = std::nullopt);
    // The port TEST sends on, and where the choice comes from.
    QString decrirePort() const;

Q_SIGNALS:
    // The window closes: no program runs any more.
    void fermeture();
    // The operator asks to choose the port, from the status line.
    void choixDuPortDemande();

protected:
    // Lists one more line handed to the port.
    virtual void ajouterLigne(const QString &ligne);
    // The port is watched while the window is shown.
    void showEvent(QShowEvent *evenement) override;
    void hideEvent(QHideEvent *evenement) override;
    // A program under way is stopped first, once the operator says so.
    void closeEvent(QCloseEvent *evenement) override;

private:
    // One row of the grid: its axis's name and its three boxes.
    struct RangeeAxe {
        QLabel *nom = nullptr;           // Label1_k
        CaseGrille *pas = nullptr;       // Text1_k
        CaseGrille *direction = nullptr; // Text3_k
        CaseGrille *vitesse = nullptr;   // Text2_k
    };

    void creerControles(QWidget *zone);
    // The window within its screen's width.
    void ajusterALEcran();
    void creerRangees(QWidget *zone);
    void creerBarreDEtat();
    void ordonnerFocus();
    void suivrePoste();
    // TEST: hands the grid the station examined back to it, once the
    // operator said so of the boxes read otherwise.
    void envoyerGrille();
    // Whether the boxes `lues`, which go out otherwise than typed, may go as
    // they are read: the operator is asked; « Corriger » puts the focus in
    // the first one.
    bool accepterLecture(const QList<CaseLue> &lues, const TextesVerification &mots);
    // The end of a run: for a TEST the list, the status line, what to tell.
    void envoiTermine(const DeroulementEnvoi &deroulement);
    // The end of a program: the status line; its window tells the rest.
    void programmeTermine(const DeroulementEnvoi &deroulement);
    // Marks a box whose text will not go out as typed, or cannot go at all.
    void marquerCase(int numero, Colonne colonne);
    void marquerCases();
    // The last attempt, on the status bar; the list as the previous sequence's
    // when this one sent nothing. `texte`, when given, says it instead of
    // "Dernière séquence : …".
    void montrerTentative(const QDateTime &quand, const QString &echec, bool listeVidee,
                          const QString &texte = {});
    // Says why the station refused to send.
    void signalerRefus(const RefusEnvoi &refus, const QString &titre);
    // Says why the run failed and what to do; whether the operator asks to
    // retry.
    bool signalerEchecDEnvoi(const DeroulementEnvoi &deroulement);
    void signalerAvertissements(const ResultatEnvoi &resultat);
    void signalerJournal(const Echec &rate);
    void montrerPort(); // the device in use, on TEST's tooltip and description
    // The port's state, on the status line.
    void montrerEtatPort(const EtatPoste &etat);
    // What a screen reader says of row k's boxes: "Axe 03, Pas".
    void nommerRangee(int k, const QString &nom);
    CaseGrille *caseDe(Colonne colonne, int numero) const;

    PosteEnvoi &m_poste;
    std::array<RangeeAxe, NombreAxes> m_rangees{};
    QListWidget *m_lignesEnvoyees = nullptr; // List1
    QPushButton *m_test = nullptr;           // Command1
    QLabel *m_etatPort = nullptr;            // the port's state, on the status bar
    QLabel *m_choisirPort = nullptr;         // beside it, while no port is chosen
    QLabel *m_etatEnvoi = nullptr;           // the last attempt, on the status bar
    QString m_envoyeeA;                      // when the sequence listed was sent
    QString m_raccourciTest;                 // TEST's shortcut, as the keyboard says it

    QStringList m_avertis; // what the operator was told of the runs that went through
    bool m_journalSignale = false;
    bool m_listeVidee = false;                     // the run under way emptied the list
    std::optional<TextesGrille> m_avantEffacement; // the boxes before "Effacer"
    std::optional<Grille> m_derniereEnvoyee;       // the last grid TEST sent whole
};

} // namespace tarvik::window
