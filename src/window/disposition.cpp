#include "window/disposition.h"

#include "window/case_grille.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <optional>

namespace tarvik::window {

namespace {

// The window's place in `espace`, a side of the panel (its frame's place),
// as near the panel's corner `coin` as it can be; none when the least the
// window takes does not fit in it.
std::optional<QRect> placerDans(const QRect &espace, QPoint coin, int largeurMinimale,
                                const HauteurMinimale &hauteurMinimale, const QSize &voulue,
                                const QMargins &cadre)
{
    const QRect libre = espace.marginsRemoved(cadre);
    if (libre.width() < largeurMinimale)
        return std::nullopt;
    const int largeur = qBound(largeurMinimale, voulue.width(), libre.width());
    const int minimale = hauteurMinimale(largeur);
    if (libre.height() < minimale)
        return std::nullopt;
    const QSize taille(largeur, qBound(minimale, voulue.height(), libre.height()));
    const int x = qBound(libre.left(), coin.x() + cadre.left(), libre.right() + 1 - taille.width());
    const int y = qBound(libre.top(), coin.y() + cadre.top(), libre.bottom() + 1 - taille.height());
    return QRect(QPoint(x, y), taille);
}

qint64 aire(const QRect &place)
{
    return qint64(place.width()) * place.height();
}

} // namespace

QRect PlaceACote(const QRect &ecran, const QRect &panneau, const QRect &grille, int largeurMinimale,
                 const HauteurMinimale &hauteurMinimale, const QSize &voulue, const QMargins &cadre)
{
    const QRect cotes[] = {
        {QPoint(qMax(ecran.left(), panneau.right() + 1), ecran.top()), ecran.bottomRight()},
        {QPoint(ecran.left(), qMax(ecran.top(), panneau.bottom() + 1)), ecran.bottomRight()},
        {ecran.topLeft(), QPoint(qMin(ecran.right(), panneau.left() - 1), ecran.bottom())},
        {ecran.topLeft(), QPoint(ecran.right(), qMin(ecran.bottom(), panneau.top() - 1))},
    };
    std::optional<QRect> meilleure;
    for (const QRect &cote : cotes) {
        const std::optional<QRect> place =
            placerDans(cote, panneau.topLeft(), largeurMinimale, hauteurMinimale, voulue, cadre);
        if (place && place->width() == voulue.width() && place->height() >= voulue.height())
            return *place;
        if (place && (!meilleure || aire(*place) > aire(*meilleure)))
            meilleure = place;
    }
    if (meilleure)
        return *meilleure;
    // Beside the grid, over the list of the lines sent and the status line;
    // over the grid only when the screen leaves no other room.
    const QRect aDroite(QPoint(qMax(ecran.left(), grille.right() + 1), ecran.top()),
                        ecran.bottomRight());
    const QRect libre = aDroite.marginsRemoved(cadre);
    const QRect entier = ecran.marginsRemoved(cadre);
    const int largeur =
        qMin(qMax(largeurMinimale, qMin(voulue.width(), libre.width())), entier.width());
    const int minimale = hauteurMinimale(largeur);
    const int hauteur =
        qMin(qMax(minimale, qMin(voulue.height(), libre.height())), entier.height());
    const int x = qMax(entier.left(), qMin(libre.left(), entier.right() + 1 - largeur));
    const int y =
        qMax(entier.top(), qMin(panneau.top() + cadre.top(), entier.bottom() + 1 - hauteur));
    return QRect(x, y, largeur, hauteur);
}

int HauteurMinimaleDe(const QWidget &fenetre, int largeur)
{
    const QLayout *mise = fenetre.layout();
    if (!mise)
        return fenetre.minimumSizeHint().height();
    return qMax(mise->totalMinimumHeightForWidth(largeur), mise->totalMinimumSize().height());
}

void PlacerACoteDuPanneau(QWidget &fenetre, const QMainWindow &panneau, int reserve)
{
    // A panel not on the screen has no side, nor a frame to go by: the
    // window system places the window.
    if (!panneau.isVisible())
        return;
    const QRect cadrePanneau = panneau.frameGeometry();
    const QRect interieur = panneau.geometry();
    // The panel's frame, and a little more around a window that can be
    // resized (a window manager gives it handles).
    constexpr int poignee = 6;
    const QMargins cadre(qMax(interieur.left() - cadrePanneau.left(), poignee),
                         interieur.top() - cadrePanneau.top(),
                         qMax(cadrePanneau.right() - interieur.right(), poignee),
                         qMax(cadrePanneau.bottom() - interieur.bottom(), poignee));
    QRect grille;
    for (const QWidget *c : panneau.findChildren<CaseGrille *>())
        grille |= QRect(c->mapToGlobal(QPoint(0, 0)), c->size());
    const QScreen *ecran = QGuiApplication::screenAt(cadrePanneau.center());
    if (!ecran)
        ecran = panneau.screen();
    if (QLayout *mise = fenetre.layout())
        mise->activate();
    const int largeurMinimale = fenetre.layout() ? fenetre.layout()->totalMinimumSize().width()
                                                 : fenetre.minimumSizeHint().width();
    const QRect place = PlaceACote(
        ecran->availableGeometry(), cadrePanneau, grille, largeurMinimale,
        [&fenetre, reserve](int largeur) { return HauteurMinimaleDe(fenetre, largeur) + reserve; },
        fenetre.size(), cadre);
    fenetre.setGeometry(place);
}

RangeeSouple::RangeeSouple(QWidget *parent)
    : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
}

RangeeSouple::~RangeeSouple()
{
    while (QLayoutItem *element = takeAt(0))
        delete element;
}

void RangeeSouple::addItem(QLayoutItem *element)
{
    m_elements.append(element);
}

QLayoutItem *RangeeSouple::takeAt(int index)
{
    return index >= 0 && index < m_elements.size() ? m_elements.takeAt(index) : nullptr;
}

int RangeeSouple::heightForWidth(int largeur) const
{
    return disposer(QRect(0, 0, largeur, 0), false);
}

QSize RangeeSouple::minimumSize() const
{
    // The widest control on a line of its own, at its least.
    QSize taille;
    for (const QLayoutItem *element : m_elements)
        if (!element->isEmpty())
            taille = taille.expandedTo(element->minimumSize());
    const QMargins marges = contentsMargins();
    return taille + QSize(marges.left() + marges.right(), marges.top() + marges.bottom());
}

QSize RangeeSouple::sizeHint() const
{
    // Every control on one line.
    int largeur = 0, hauteur = 0, n = 0;
    for (const QLayoutItem *element : m_elements) {
        if (element->isEmpty())
            continue;
        largeur += element->sizeHint().width();
        hauteur = qMax(hauteur, element->sizeHint().height());
        ++n;
    }
    const QMargins marges = contentsMargins();
    return QSize(largeur + qMax(0, n - 1) * spacing() + marges.left() + marges.right(),
                 hauteur + marges.top() + marges.bottom());
}

void RangeeSouple::setGeometry(const QRect &zone)
{
    QLayout::setGeometry(zone);
    disposer(zone, true);
}

int RangeeSouple::disposer(const QRect &zone, bool placer) const
{
    const QRect interieur = zone.marginsRemoved(contentsMargins());
    const int ecart = qMax(0, spacing());
    int x = interieur.x(), y = interieur.y(), hauteurLigne = 0;
    for (QLayoutItem *element : m_elements) {
        if (element->isEmpty())
            continue;
        // Its size, narrowed to the line's width if it may be (a field
        // beside its label): a button never is.
        QSize taille = element->sizeHint();
        taille.setWidth(
            qMax(element->minimumSize().width(), qMin(taille.width(), interieur.width())));
        if (x > interieur.x() && x + taille.width() > interieur.right() + 1) { // the next line
            x = interieur.x();
            y += hauteurLigne + ecart;
            hauteurLigne = 0;
        }
        if (placer)
            element->setGeometry(QRect(QPoint(x, y), taille));
        x += taille.width() + ecart;
        hauteurLigne = qMax(hauteurLigne, taille.height());
    }
    const QMargins marges = contentsMargins();
    return y + hauteurLigne - interieur.y() + marges.top() + marges.bottom();
}

namespace {

class AttenteExposition : public QObject {
public:
    AttenteExposition(QWindow &fenetre, std::function<void()> suite)
        : QObject(&fenetre)
        , m_suite(std::move(suite))
    {
        fenetre.installEventFilter(this);
        QTimer::singleShot(1000, this, &AttenteExposition::finir);
    }

    bool eventFilter(QObject *objet, QEvent *evenement) override
    {
        // The events of its placing come with or before it: once they are
        // handled.
        if (evenement->type() == QEvent::Expose && static_cast<QWindow *>(objet)->isExposed())
            QTimer::singleShot(0, this, &AttenteExposition::finir);
        return false;
    }

private:
    void finir()
    {
        if (!m_suite)
            return;
        const auto suite = std::exchange(m_suite, nullptr);
        deleteLater();
        suite();
    }

    std::function<void()> m_suite;
};

} // namespace

namespace {

class GardeHauteur : public QObject {
public:
    GardeHauteur(QWidget &fenetre, std::function<void()> avant)
        : QObject(&fenetre)
        , m_fenetre(fenetre)
        , m_avant(std::move(avant))
    {
        fenetre.installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *evenement) override
    {
        const bool largeur = evenement->type() == QEvent::Resize &&
                             static_cast<QResizeEvent *>(evenement)->size().width() !=
                                 static_cast<QResizeEvent *>(evenement)->oldSize().width();
        // Its layout has dealt with the event already: it comes to the
        // layout before the filters.
        if (evenement->type() == QEvent::LayoutRequest || largeur)
            ajuster();
        return false;
    }

private:
    void ajuster();

    QWidget &m_fenetre;
    std::function<void()> m_avant;
};

void GardeHauteur::ajuster()
{
    if (m_avant)
        m_avant();
    QWidget &f = m_fenetre;
    const QRect ecran = f.screen() ? f.screen()->availableGeometry() : QRect();
    const int cadre = f.frameGeometry().height() - f.height();
    const int minimale = ecran.isValid()
                             ? qMin(HauteurMinimaleDe(f, f.width()), ecran.height() - cadre)
                             : HauteurMinimaleDe(f, f.width());
    if (minimale != f.minimumHeight())
        f.setMinimumHeight(minimale);
    if (f.height() >= minimale)
        return;
    f.resize(f.width(), minimale);
    if (ecran.isValid() && f.isVisible() && f.frameGeometry().bottom() > ecran.bottom())
        f.move(f.x(), qMax(ecran.top(), f.y() - (f.frameGeometry().bottom() - ecran.bottom())));
}

} // namespace

void GarderHauteurMinimale(QWidget &fenetre, std::function<void()> avant)
{
    new GardeHauteur(fenetre, std::move(avant));
}

void QuandAPlace(QWidget &fenetre, std::function<void()> suite)
{
    QWindow *fenetreSysteme = fenetre.windowHandle();
    if (!fenetreSysteme || fenetreSysteme->isExposed())
        suite();
    else
        new AttenteExposition(*fenetreSysteme, std::move(suite));
}

} // namespace tarvik::window
