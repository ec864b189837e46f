// The menu bar of Form1 and what its entries do: sequence files, clearing
// the grid, the program's and the journal's windows, axis names, the port,
// the axes' limits, the language and the help texts. The entries act on the
// window through what it shows, and on the station for the port and the
// limits; the window knows nothing of them.
#pragma once

#include "app/poste_envoi.h"
#include "system/fichier_reglages.h"
#include "window/couche.h"

#include <QList>
#include <QObject>

class QMenu;

namespace tarvik::window {

class DialogueJournal;
class FenetreProgramme;
class Form1;

class MenusPanneau : public QObject {
    Q_OBJECT
public:
    // Builds `fenetre`'s menu bar, and loads the axis designation file the
    // settings read at start name; `poste` sends for the window.
    MenusPanneau(Form1 &fenetre, PosteEnvoi &poste, const ReglagesLus &reglages);
    ~MenusPanneau() override;

    // The program's window, once it has been opened.
    FenetreProgramme *fenetreProgramme() const { return m_fenetreProgramme; }

    // Opens `chemin`: a program (.prog) in the program's window, any other
    // file as a sequence into the grid. A file refused is said. Whether it
    // was opened.
    bool ouvrirFichier(const QString &chemin);

private:
    // Reads `chemin` as a sequence into the grid, or says why not.
    bool ouvrirSequence(const QString &chemin);
    // The menu bar, as a table: each entry with its object name, its text,
    // what it does (none: it names a document of the board) and its shortcut.
    using Action = void (MenusPanneau::*)();
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
    void creerMenus();
    void creerMenuLangue(QMenu *menu);
    // The designation file saved in the settings, loaded at start.
    void chargerDesignation();

    // The recent files, the latest first; a file no longer there is shown
    // greyed.
    void montrerRecents();
    // `chemin` first among the recent files, saved in the settings when
    // they were read whole (a doubtful file is never replaced for this).
    void retenirRecent(const QString &chemin);
    // What can be undone or recalled now.
    void actualiserGrille();

    // The menu entries.
    void OuvrirSequence_Click();
    void AnnulerEffacement_Click();
    void RappelerGrille_Click();
    void EnregistrerSequence_Click();
    void EffacerSequenceActuelle_Click();
    void JournalEnvois_Click();
    void Programme_Click();
    // The program's window beside the panel, never over its grid.
    void placerFenetreProgramme();
    void Quitter_Click();
    void DesignAxe_Click();
    void ChoisirPort_Click();
    // Shows the machine's limits and the operator's, and saves the operator's.
    void LimitesAxes_Click();
    // Saves the language (an empty code: the system's) for the next start.
    void choisirLangue(const QString &code);
    void CommentCreer_Click();
    void documentDeLaCarte(const QString &document);
    void Apropos_Click();
    // What settings not read leave out, for "A propos de Tarvik"; empty when
    // they were read.
    QString reglagesNonLus() const;

    Form1 &m_fenetre;
    PosteEnvoi &m_poste;
    ReglagesLus m_reglages;                         // as read at start, then as saved
    DialogueJournal *m_journal = nullptr;           // made at its first opening, then kept
    FenetreProgramme *m_fenetreProgramme = nullptr; // likewise
    QMenu *m_recents = nullptr;                     // "Fichiers récents"
    QStringList m_cheminsRecents;                   // as shown, saved or not
};

} // namespace tarvik::window
