#include "window/case_grille.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

namespace tarvik::window {

CaseGrille::CaseGrille(const QString &texte, QWidget *parent)
    : QLineEdit(texte, parent)
{
}

void CaseGrille::decrire(const QString &description)
{
    m_description = description;
    montrer();
}

void CaseGrille::marquer(Marque marque, const QString &explication)
{
    if (marque == m_marque && explication == m_explication)
        return;
    m_marque = marque;
    m_explication = explication;
    montrer();
    update();
}

void CaseGrille::montrer()
{
    setToolTip(m_explication);
    setAccessibleDescription(m_explication.isEmpty()
                                 ? m_description
                                 : QStringLiteral("%1 %2").arg(m_description, m_explication));
}

void CaseGrille::focusInEvent(QFocusEvent *evenement)
{
    QLineEdit::focusInEvent(evenement);
    // After the click that gave the focus has placed the cursor.
    QTimer::singleShot(0, this, &QLineEdit::selectAll);
}

void CaseGrille::keyPressEvent(QKeyEvent *evenement)
{
    if (evenement->key() == Qt::Key_Up && evenement->modifiers() == Qt::NoModifier) {
        Q_EMIT monter();
        return;
    }
    if (evenement->key() == Qt::Key_Down && evenement->modifiers() == Qt::NoModifier) {
        Q_EMIT descendre();
        return;
    }
    // A box of one character: what is typed takes its place.
    const QString texte = evenement->text();
    if (maxLength() == 1 && !texte.isEmpty() && texte.front().isPrint() && !hasSelectedText())
        selectAll();
    QLineEdit::keyPressEvent(evenement);
}

void CaseGrille::paintEvent(QPaintEvent *evenement)
{
    QLineEdit::paintEvent(evenement);
    if (m_marque == Marque::Aucune)
        return;
    QPainter peintre(this);
    peintre.setRenderHint(QPainter::Antialiasing);
    const bool refusee = m_marque == Marque::Refusee;
    const QColor couleur = refusee ? QColor(0xc0, 0x10, 0x10) : QColor(0xd0, 0x70, 0x00);
    const qreal cote = qMin(height(), width()) * 0.45;
    const QPolygonF coin{QPointF(width() - cote, 0), QPointF(width(), 0), QPointF(width(), cote)};
    peintre.setPen(QPen(Qt::black, 1));
    peintre.setBrush(couleur);
    peintre.drawPolygon(coin);
    if (refusee) {
        peintre.setBrush(Qt::NoBrush);
        peintre.setPen(QPen(couleur, 2, Qt::DashLine));
        peintre.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

} // namespace tarvik::window
