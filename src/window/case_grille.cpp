#include "window/case_grille.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QPainter>
#include <QPointer>
#include <QTimer>

namespace tarvik::window {

namespace {

// Watches the widget that takes the focus (the box, or a spin box) and the
// line edit that takes the clicks. Entered when the focus comes in or has
// gone (a box whose window is left is entered again on its return), until
// the operator's first key or first release of the mouse in it.
class SelectionEntree : public QObject {
public:
    SelectionEntree(QLineEdit *texte, QWidget *focus)
        : QObject(texte)
        , m_texte(texte)
    {
        texte->installEventFilter(this);
        if (focus != texte)
            focus->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override
    {
        switch (evenement->type()) {
        case QEvent::FocusOut:
            m_entree = true;
            break;
        case QEvent::FocusIn:
            m_entree = true;
            m_texte->selectAll();
            // Again once the event that gave the focus is done with.
            QTimer::singleShot(0, m_texte, [texte = QPointer(m_texte), this] {
                if (texte && m_entree)
                    texte->selectAll();
            });
            break;
        case QEvent::KeyPress:
        case QEvent::MouseButtonDblClick:
            m_entree = false;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            if (objet != m_texte || !m_entree)
                break;
            // The click that enters: it selects, whatever it placed; no
            // drag picks part of the text.
            if (evenement->type() != QEvent::MouseMove)
                m_texte->event(evenement);
            m_texte->selectAll();
            if (evenement->type() == QEvent::MouseButtonRelease)
                m_entree = false;
            return true;
        default:
            break;
        }
        return false;
    }

private:
    QLineEdit *m_texte;
    bool m_entree = true;
};

} // namespace

void SelectionnerALEntree(QLineEdit *texte)
{
    new SelectionEntree(texte, texte);
}

void SelectionnerALEntree(QAbstractSpinBox *boite)
{
    auto *texte = boite->findChild<QLineEdit *>();
    if (texte)
        new SelectionEntree(texte, boite);
}

CaseGrille::CaseGrille(const QString &texte, QWidget *parent)
    : QLineEdit(texte, parent)
{
    SelectionnerALEntree(this);
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

bool CaseGrille::event(QEvent *evenement)
{
    if (evenement->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent *>(evenement)->matches(QKeySequence::Undo) && !isUndoAvailable()) {
        evenement->ignore();
        return true;
    }
    return QLineEdit::event(evenement);
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
    // Left and Right leave the box at its edge, or when its text is
    // selected whole (as entered): from one column to the next in a row,
    // where a row is there to go to (the grid, not the limits' dialog).
    const bool entiere = hasSelectedText() && selectedText() == text();
    if (evenement->key() == Qt::Key_Left && evenement->modifiers() == Qt::NoModifier &&
        isSignalConnected(QMetaMethod::fromSignal(&CaseGrille::gauche)) &&
        (entiere || (!hasSelectedText() && cursorPosition() == 0))) {
        Q_EMIT gauche();
        return;
    }
    if (evenement->key() == Qt::Key_Right && evenement->modifiers() == Qt::NoModifier &&
        isSignalConnected(QMetaMethod::fromSignal(&CaseGrille::droite)) &&
        (entiere || (!hasSelectedText() && cursorPosition() == text().size()))) {
        Q_EMIT droite();
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
