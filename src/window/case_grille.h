// A box of the grid: it selects its text when it is entered, moves up and
// down its column with the arrow keys and leaves it by Left or Right at its
// edge, and shows how its text will be read, with a mark that is a shape,
// not a colour alone.
#pragma once

#include "window/couche.h"

#include <QLineEdit>

class QAbstractSpinBox;

namespace tarvik::window {

// Makes `texte` select all its text whenever it is entered, whichever way:
// Tab, a shortcut, a click, the return to its window (the click that
// activates the window, before or after the activation itself). Until the
// operator types or releases the mouse in it, nothing places the cursor
// inside the old text, so what is typed replaces it. A second click places
// the cursor as usual.
void SelectionnerALEntree(QLineEdit *texte);
// The same for the text of a spin box.
void SelectionnerALEntree(QAbstractSpinBox *boite);

class CaseGrille : public QLineEdit {
    Q_OBJECT
public:
    enum class Marque {
        Aucune,
        Lue,     // it will not go out as typed: a triangle in its corner
        Refusee, // it cannot go at all: the triangle, and a dashed frame
    };

    CaseGrille(const QString &texte, QWidget *parent);

    // The mark, and what the operator is told of it (tooltip, and after
    // `description` for a screen reader); an empty text with Marque::Aucune.
    void marquer(Marque marque, const QString &explication);
    Marque marque() const { return m_marque; }
    // What a screen reader says of the box, before any mark's explanation.
    void decrire(const QString &description);

Q_SIGNALS:
    // The arrow keys, to the box above or below in the column, and Left
    // or Right at the text's edge (or on a text selected whole), to the
    // box beside it in the row.
    void monter();
    void descendre();
    void gauche();
    void droite();

protected:
    // Ctrl+Z goes to the window when the box has nothing of its own to undo.
    bool event(QEvent *evenement) override;
    void keyPressEvent(QKeyEvent *evenement) override;
    void paintEvent(QPaintEvent *evenement) override;

private:
    void montrer();

    Marque m_marque = Marque::Aucune;
    QString m_description, m_explication;
};

} // namespace tarvik::window
