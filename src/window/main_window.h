// Form1, the program's only window: the axis grid, the TEST button, the list
// of the lines sent and the menu bar.
#pragma once

#include "run/envoyer_sequence.h"

#include <QMainWindow>
#include <QStringList>
#include <array>

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
    // Decides its port once: a choice saved by another panel meanwhile
    // applies from the next start.
    explicit Form1(QWidget *parent = nullptr);

    // The grid's texts, row by row (Text1, Text3 and Text2 of each).
    TextesGrille textes() const;
    // The list of the lines sent, as a run empties and fills it.
    void ViderList1();
    virtual void AjouterList1(const QString &ligne);
    LienSerie &MSComm1() { return m_MSComm1; }

    // The device given with --port, used until the window closes.
    void imposerPort(const QString &peripherique);

private:
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
    void Command1_Click();
    // Shows a failure; the box of a refused value gets the focus.
    void signalerEchec(const QString &titre, const Echec &echec,
                       const std::optional<ValeurRefusee> &valeur = std::nullopt);
    void signalerAvertissements();
    void signalerJournal(const Echec &rate);
    void montrerPort(); // the device in use, on TEST's tooltip and description
    // What a screen reader says of row k's boxes: "Axe 03, Pas".
    void nommerRangee(int k, const QString &nom);
    QLineEdit *caseDe(Colonne colonne, int i) const;

    // The menu entries.
    void OuvrirSequence_Click();
    void EnregistrerSequence_Click();
    void EffacerSequenceActuelle_Click();
    void JournalEnvois_Click();
    void Quitter_Click() { close(); }
    void DesignAxe_Click();
    void ChoisirPort_Click();
    // Saves the language (an empty code: the system's) for the next start.
    void choisirLangue(const QString &code);
    void CommentCreer_Click();
    void documentDeLaCarte(const QString &document);
    void Apropos_Click();

    std::array<QLabel *, 8> m_Label1{};
    std::array<QLineEdit *, 8> m_Text1{}, m_Text2{}, m_Text3{}; // elements 1 to 7
    QListWidget *m_List1 = nullptr;
    QPushButton *m_Command1 = nullptr;
    LienSerie m_MSComm1;

    QStringList m_avertis; // what the operator was told of the runs that went through
    bool m_journalSignale = false;
    int m_demandes = 0; // clicks on TEST not yet served
    bool m_enCours = false;
};
