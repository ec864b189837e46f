// The dialog of "Initialisation › Limites des axes…": the seven axes, each
// with the machine's limits beside the operator's own, which it edits and
// saves, and the limit that applies, with the level that set it. Entrée in a
// box goes on to the next one; only the save button saves. What the
// machine's file imposes shows as imposed, and a box looser than the
// machine's limit is marked as it is typed.
#pragma once

#include "core/echec.h"
#include "core/grille.h"
#include "system/fichier_limites.h"
#include "window/case_grille.h"
#include "window/couche.h"

#include <QDialog>
#include <array>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTableWidget;
class QVBoxLayout;

namespace tarvik::window {

class DialogueLimites : public QDialog {
    Q_OBJECT
public:
    // Shows `lues`, both levels as read; the rows are named after `noms`
    // (empty: "Axe 0k").
    DialogueLimites(const LimitesLues &lues, const NomsAxes &noms, QWidget *parent = nullptr);

    // The operator's limits, as the boxes hold them.
    Limites operateur() const;
    // The save that closed the dialog.
    const EcritureLimites &ecriture() const { return m_ecriture; }

    // Saves the operator's limits; stays open, on the box or with the
    // reason, when a value cannot be saved or the saving fails.
    void accept() override;

protected:
    // Entrée in a box: on to the next box, the dialog stays open.
    bool eventFilter(QObject *objet, QEvent *evenement) override;
    void keyPressEvent(QKeyEvent *evenement) override;
    void showEvent(QShowEvent *evenement) override;

private:
    void preparerTable();
    // The widest text of column `colonne`, its heading's lines included.
    int largeurTextes(int colonne) const;
    void disposer(QVBoxLayout *dialogue);
    // Where the limits come from, what applies, what a box means.
    void expliquer(QVBoxLayout *mise);
    void remplirRangee(int rangee);
    // The limits that apply to row `rangee`, and who set them, as typed.
    void montrerEnVigueur(int rangee);
    // Each box of row `rangee` marked when it is refused or looser than
    // the machine's limit.
    void marquerRangee(int rangee);
    void signaler(int rangee, int champ, CaseGrille::Marque marque, const QString &explication);
    void montrerLecture();
    void imposerLecture();
    void dimensionner();
    // The box `decalage` boxes after row `rangee`'s box `champ`, in the
    // order Tab takes, given the focus; past the last one, the save button.
    void allerA(int rangee, int champ, int decalage);
    // The operator's limits of row `rangee`; why a box is refused, naming it.
    std::optional<Echec> lireRangee(int rangee, LimitesAxe &axe, QLineEdit **refusee) const;

    LimitesLues m_lues;
    NomsAxes m_noms;
    QTableWidget *m_table;
    // The operator's boxes, row by row: steps, speed, directions, travel.
    std::array<std::array<CaseGrille *, 4>, NombreAxes> m_cases{};
    std::array<std::array<QAction *, 4>, NombreAxes> m_signes{}; // shown on a flagged box
    QCheckBox *m_stricte;
    QPushButton *m_enregistrer = nullptr;
    QLabel *m_lecture; // the reading that applies
    QScrollArea *m_page;
    int m_largeurEnVigueur = 0; // what applies, on one line a limit
    EcritureLimites m_ecriture;
};

} // namespace tarvik::window
