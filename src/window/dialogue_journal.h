// The dialog of "Fichier › Journal des envois…": the latest records of the
// journal as a table, newest at the bottom, read again every second while
// it is shown. It never holds the panel and never sends: a record's lines
// only go to the panel's grid.
#pragma once

#include "core/grille.h"
#include "run/journal.h"
#include "window/couche.h"

#include <QDate>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTimer;

namespace tarvik::window {

class DialogueJournal : public QDialog {
    Q_OBJECT
public:
    // Reads the end of the journal now, bounded and without blocking.
    explicit DialogueJournal(QWidget *parent = nullptr);

    // Reads the journal's end again; the record selected stays selected
    // while the filter still shows it.
    void relire();

Q_SIGNALS:
    // "Charger dans la grille": the selected record's seven lines, checked.
    void grilleChargee(const Grille &grille);

protected:
    void showEvent(QShowEvent *evenement) override;
    void hideEvent(QHideEvent *evenement) override;
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    QWidget *creerFiltres();
    QWidget *creerVues(); // the table, and the detail below it
    QLayout *creerBoutons();
    void ajusterALEcran();
    // Fills the table with the records the filter keeps.
    void afficher();
    // The columns' widths, the outcome and the reason in view.
    void ajusterColonnes();
    void remplirRangee(int rangee, const EnregistrementEnvoi &envoi);
    // The selected record's reason and lines below the table.
    void montrerDetail();
    const EnregistrementEnvoi *selection() const;
    void charger();
    void exporter();

    QList<EnregistrementEnvoi> m_enregistrements; // as read, oldest first
    QList<qsizetype> m_affiches;                  // those the table shows, row by row
    QByteArray m_lu;                              // the journal's end as last read
    QDate m_jour;                                 // the day it was read
    QByteArray m_choisi;                          // the selected record, as the journal holds it
    bool m_rempli = false;                        // the table was filled once
    bool m_remplissage = false;                   // the table is being filled

    QLabel *m_etat;
    QCheckBox *m_echecs, *m_aujourdhui;
    QComboBox *m_executable;
    QTableWidget *m_table;
    QPlainTextEdit *m_detail;
    QPushButton *m_charger, *m_exporter;
    QTimer *m_minuterie;
};

} // namespace tarvik::window
