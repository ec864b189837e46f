// The dialog of "Initialisation › Limites des axes…": the seven axes, each
// with the machine's limits beside the operator's own, which it edits and
// saves, and the limit that applies, with the level that set it.
#pragma once

#include "core/grille.h"
#include "system/fichier_limites.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QVBoxLayout;

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

private:
    void disposer(QVBoxLayout *mise);
    void remplirRangee(int rangee);
    // The limits that apply to row `rangee`, and who set them, as typed.
    void montrerEnVigueur(int rangee);
    void montrerLecture();
    void dimensionner();
    // The operator's limits of row `rangee`; why a box is refused, naming it.
    std::optional<Echec> lireRangee(int rangee, LimitesAxe &axe, QLineEdit **refusee) const;

    LimitesLues m_lues;
    NomsAxes m_noms;
    QTableWidget *m_table;
    // The operator's boxes, row by row: steps, speed, directions, travel.
    std::array<std::array<QLineEdit *, 4>, NombreAxes> m_cases{};
    QCheckBox *m_stricte;
    QLabel *m_lecture; // the reading that applies
    EcritureLimites m_ecriture;
};
