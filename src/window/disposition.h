// Where the panel's other windows (the program's, the journal's) open, and
// a row of controls that goes on to the next line when its window is too
// narrow for it: every window whole, from a small screen to a large one, at
// any scale.
#pragma once

#include "window/couche.h"

#include <QLayout>
#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <functional>

class QMainWindow;

namespace tarvik::window {

// The least height a window takes at a given width: a window whose rows
// wrap needs more of it when it is narrower.
using HauteurMinimale = std::function<int(int largeur)>;

// Where a window of the panel's opens, beside it and never over its grid,
// within `ecran` (the screen's available geometry); `panneau` (the panel's
// frame) and `grille` are in the screen's coordinates, and `cadre` is what
// the window manager puts around a window. The window has `voulue` where a
// side of the panel has room for it, else as much of a side as there is, no
// narrower than `largeurMinimale` and no lower than `hauteurMinimale` says
// at that width: on the right first, then below, on the left, above. Where
// no side has room for that, it stands on the right of the grid, over the
// rest of the panel (its list and status line), and leans over the grid
// only when the screen is narrower than the grid and the window. The
// window's geometry, without its frame.
QRect PlaceACote(const QRect &ecran, const QRect &panneau, const QRect &grille, int largeurMinimale,
                 const HauteurMinimale &hauteurMinimale, const QSize &voulue,
                 const QMargins &cadre);

// Places `fenetre`, not yet shown or shown already, beside `panneau` on the
// panel's screen, as PlaceACote says, at its present size at most and no
// smaller than its layout allows at the width it gets, with `reserve` more
// height for what may come later (lines that a run adds).
void PlacerACoteDuPanneau(QWidget &fenetre, const QMainWindow &panneau, int reserve = 0);

// Calls `suite` once `fenetre`, just shown, is on the screen: placed and
// framed by the window system, so that what goes beside it has a side to go
// by (at its first exposure, or after a second for a window system that
// never says).
void QuandAPlace(QWidget &fenetre, std::function<void()> suite);

// The least height `fenetre`'s layout takes at `largeur`, wrapped rows
// included.
int HauteurMinimaleDe(const QWidget &fenetre, int largeur);

// Keeps `fenetre`, a window whose rows wrap, never lower than they need at
// its width (HauteurMinimaleDe), within its screen: whenever its layout
// asks again or its width changes, `avant` first (what sizes itself by the
// width), then its least height set, and the window grown to it, up as far
// as its bottom needs to stay on the screen.
void GarderHauteurMinimale(QWidget &fenetre, std::function<void()> avant = {});

// Controls side by side, as many on a line as its width holds, the next
// ones on the following lines; each keeps its own size hint, so that no
// text is ever cut. Its minimum width is its widest control's.
class RangeeSouple : public QLayout {
public:
    explicit RangeeSouple(QWidget *parent = nullptr);
    ~RangeeSouple() override;

    void addItem(QLayoutItem *element) override;
    int count() const override { return int(m_elements.size()); }
    QLayoutItem *itemAt(int index) const override { return m_elements.value(index); }
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int largeur) const override;
    int minimumHeightForWidth(int largeur) const override { return heightForWidth(largeur); }
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &zone) override;

private:
    // Lays the controls out in `zone` (only measures when `placer` is
    // false); the height they take.
    int disposer(const QRect &zone, bool placer) const;

    QList<QLayoutItem *> m_elements;
};

} // namespace tarvik::window
