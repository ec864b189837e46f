// The chart of where a run takes the axes: each axis's position along the
// steps sent, over every cycle, from the program's start taken as 0; each
// travel limit as a band; the step being sent marked during a run. Each
// axis has its own dashes and its own mark on its points as well as its
// colour, and its letter where its line ends; where it leaves its band, the
// part beyond is hatched and drawn thicker, and the first step beyond is
// marked: never by colour alone, told apart in grey. The positions go
// between round bounds, graduated; the steps sent are numbered below. A
// screen reader hears one line per axis (the accessible description).
//
// A run of millions of steps is drawn one pixel column at a time, from the
// lowest and highest positions the column covers.
#pragma once

#include "core/course.h"
#include "window/couche.h"

#include <QWidget>
#include <optional>

class QPainter;

namespace tarvik::window {

// How an axis's line is told from the others without its colour.
struct TraitAxe {
    enum class Marque { Rond, Carre, Triangle, Losange, TriangleBas, Croix, Plus };
    QList<qreal> tirets; // dash and gap lengths, in pen widths; empty: a solid line
    Marque marque = Marque::Rond;
};
// Axis `numero`'s (1 to 7): no two axes share both their dashes and their mark.
TraitAxe TraitDeLAxe(int numero);

// A graduated axis: round bounds, a step of 1, 2 or 5 times a power of
// ten, and a value at every step between them.
struct Graduation {
    qint64 bas = 0, haut = 0, pas = 1;
    QList<qint64> valeurs() const;
};
// The graduation from `bas` or below to `haut` or above, in `intervalles`
// steps at most (at least one).
Graduation Graduer(qint64 bas, qint64 haut, int intervalles);

class GrapheCourse : public QWidget {
    Q_OBJECT
public:
    explicit GrapheCourse(QWidget *parent = nullptr);

    // Charts the run of `programme` from step `depuis` (from 0), `cycles`
    // times, against the travel limits of `limites`; the axes named after
    // `noms` (empty: "Axe 0k"). Forgets the step marked.
    void montrer(const Programme &programme, int depuis, int cycles, const Limites &limites,
                 const NomsAxes &noms = {});
    // Charts nothing.
    void vider();
    const std::optional<Course> &course() const { return m_course; }

    // Marks the step being sent (step and cycle from 0), or no step.
    void marquerEnvoi(std::optional<PointCourse> point);
    const std::optional<PointCourse> &envoi() const { return m_envoi; }

    // What a screen reader hears: one line per axis, A to G.
    QStringList resume() const;
    // At the chart's size, the graduation of the positions (left), and
    // the numbers of the steps sent written below it (none when nothing
    // is charted).
    Graduation positions() const;
    QList<qint64> numerosDEtapes() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *evenement) override;

private:
    // Where the chart stands in the widget, and the positions it spans.
    struct Cadre {
        QRectF zone;
        qint64 bas = 0, haut = 0, pasPositions = 1, pasEtapes = 1;
        double x(qint64 point, qint64 points) const;
        double y(qint64 position) const;
    };
    Cadre cadre() const;
    // The lowest and highest positions each pixel column of the chart
    // covers, or one point per step sent when there is room for each.
    QList<std::pair<double, EtendueCourse>> colonnes(const Cadre &c, int numero) const;
    void dessinerFond(QPainter &p, const Cadre &c) const;
    void dessinerBande(QPainter &p, const Cadre &c, int numero) const;
    void dessinerAxe(QPainter &p, const Cadre &c, int numero) const;
    // The axis's mark on its points, as many as the width lets be told apart.
    void dessinerMarques(QPainter &p, const Cadre &c, int numero) const;
    void dessinerHors(QPainter &p, const Cadre &c, int numero, const QPolygonF &haut,
                      const QPolygonF &bas) const;
    void dessinerReperes(QPainter &p, const Cadre &c, int numero) const;
    void dessinerLettres(QPainter &p, const Cadre &c) const;
    void dessinerEnvoi(QPainter &p, const Cadre &c) const;
    void dessinerLegende(QPainter &p, const Cadre &c) const;
    QString ligneResume(int numero) const;
    void annoncer();

    std::optional<Course> m_course;
    Limites m_limites;
    NomsAxes m_noms;
    std::optional<PointCourse> m_envoi;
};

} // namespace tarvik::window
