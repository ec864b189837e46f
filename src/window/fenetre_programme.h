// The window of "Fichier › Programme…": a program's steps, made from the
// panel's grid or read from a file, and the commands of their run, whose
// course it follows (SuiviProgramme). It never holds the panel: the grid
// stays in use while it is open, and the waits between steps are the
// runner's clock's, never this window's. What it shows of a run comes from
// the station, which alone holds the run.
#pragma once

#include "app/poste_envoi.h"
#include "core/programme.h"
#include "window/couche.h"

#include <QWidget>

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QScrollArea;
class QTabWidget;
class QTreeWidget;

namespace tarvik::window {

class GrapheCourse;
class SuiviProgramme;

// What the journal's source field says of a program never saved nor
// opened; a program's file is named without its folder.
inline const QString SourceSansFichier = QStringLiteral("programme");

// The program window's words: a wait, "2,5 s", "3 s"; a step, "Étape 3
// (prise)", "Étape 3".
QString TexteAttente(qint64 dixiemes);
QString TitreEtape(const EtapeProgramme &etape, int k);

class FenetreProgramme : public QWidget {
    Q_OBJECT
public:
    // Runs its programs through `poste`; "Ajouter la grille" takes what
    // `grilleDuPanneau` gives: the panel's grid, examined (nothing when it
    // is refused, the operator told why).
    FenetreProgramme(PosteEnvoi &poste, std::function<std::optional<Grille>()> grilleDuPanneau);

    // The program as it runs and is saved: the last step waits for nothing.
    Programme programme() const;
    // What each step's record names before its number: "prise.prog".
    QString source() const;
    // Room for the steps' lines, and for the chart of the axes' travel.
    QSize sizeHint() const override { return QSize(900, 560); }

    // Opens the program file `chemin`, as "Ouvrir…" does once it is chosen;
    // a file refused is said. Whether it was opened.
    bool ouvrirFichier(const QString &chemin);

Q_SIGNALS:
    // "Charger dans la grille": the selected step's seven lines.
    void grilleChargee(const Grille &grille);
    // A program file opened or saved, for the recent files.
    void fichierUtilise(const QString &chemin);

protected:
    // Closing during a run stops it first, once the operator says so.
    void closeEvent(QCloseEvent *evenement) override;

private:
    QWidget *creerEtapes();
    QWidget *creerCourse();
    QWidget *creerDerive();
    QLayout *creerBoutonsEtapes();
    QWidget *creerEdition();
    void creerChamps(QWidget *zone);
    QWidget *creerSuivi(); // the run's commands, and its follow-up
    // A screen reader meets a window, named by its title.
    static void exposerCommeFenetre();
    // The drift's lines, three at most: before the window's height is kept
    // to what its rows need at its width.
    void ajusterDerive();
    QPushButton *bouton(const char *nom, const QString &texte, void (FenetreProgramme::*action)());
    void suivreExecution();

    // Fills the list from the steps, row `choisie` selected (-1: none).
    void remplirListe(int choisie);
    void remplirRangee(int rangee);
    int choisie() const; // -1: none
    // The selected step's name and wait in their fields.
    void montrerChoisie();
    void actualiser(); // what may be done now
    void nommerFenetre();

    void ajouterGrille();
    void chargerGrille();
    void monter() { deplacer(-1); }
    void descendre() { deplacer(1); }
    void deplacer(int sens);
    void retirer();
    void nommer(const QString &texte);
    void changerAttente(double secondes);
    // Says why the wait typed as `texte` is refused; an empty text: read.
    void refuserAttente(const QString &texte);
    void ouvrir();
    void enregistrer();

    void lancerProgramme() { demarrerProgramme(PosteEnvoi::Mode::Continu); }
    void avancerPasAPas();
    void arreterProgramme();
    // Starts the run from the first step, or from the selected one once the
    // operator says so.
    void demarrerProgramme(PosteEnvoi::Mode mode);
    // The step to start from: the first, or the selected one when the
    // operator chooses it; -1 when they cancel.
    int choisirDepart();

    // A program's run, as the station tells it: the list and the chart
    // follow it, the steps wait for its end.
    void programmeCommence(const DeroulementEnvoi &deroulement);
    void etapeCommencee(const QString &execution, int etape, int cycle);
    void programmeTermine(const DeroulementEnvoi &deroulement);
    // What the program would send, while it does not run; the bar at 0
    // unless `barre` is false.
    void montrerResume(bool barre = true);
    // Where a run of `programme` from step `depuis` takes each axis: the
    // figures, the chart, and the drift said beside Lancer.
    void montrerCourse(const Programme &programme, int depuis);
    // The step being sent in bold (-1: none).
    void surligner(int rangee);

    PosteEnvoi &m_poste;
    std::function<std::optional<Grille>()> m_grilleDuPanneau;
    QList<EtapeProgramme> m_etapes;
    int m_repetitions = 1;
    QString m_chemin;     // the file opened or saved last; empty: none
    int m_surlignee = -1; // the row in bold

    QTabWidget *m_pages = nullptr;
    QTreeWidget *m_liste = nullptr;
    QPlainTextEdit *m_course = nullptr; // the figures of the axes' travel
    QLabel *m_derive = nullptr;
    QScrollArea *m_defilementDerive = nullptr;
    GrapheCourse *m_graphe = nullptr;
    QPushButton *m_ajouter = nullptr, *m_charger = nullptr, *m_monter = nullptr,
                *m_descendre = nullptr, *m_retirer = nullptr, *m_ouvrir = nullptr,
                *m_enregistrer = nullptr, *m_lancer = nullptr, *m_pasAPas = nullptr,
                *m_arreter = nullptr;
    QLineEdit *m_nom = nullptr;
    QLabel *m_nomRefuse = nullptr;
    QLabel *m_attenteRefusee = nullptr; // a wait typed that could not be read whole
    QDoubleSpinBox *m_attente = nullptr;
    QSpinBox *m_fois = nullptr;
    SuiviProgramme *m_suivi = nullptr; // what the run does, its bar, its state
};

} // namespace tarvik::window
