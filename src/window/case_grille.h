// A box of the grid: it selects its text when it gets the focus, moves up
// and down its column with the arrow keys, and shows how its text will be
// read, with a mark that is a shape, not a colour alone.
#pragma once

#include "window/couche.h"

#include <QLineEdit>

namespace tarvik::window {

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
    // The arrow keys, to the box above or below in the column.
    void monter();
    void descendre();

protected:
    void focusInEvent(QFocusEvent *evenement) override;
    void keyPressEvent(QKeyEvent *evenement) override;
    void paintEvent(QPaintEvent *evenement) override;

private:
    void montrer();

    Marque m_marque = Marque::Aucune;
    QString m_description, m_explication;
};

} // namespace tarvik::window
