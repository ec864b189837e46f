#include "window/graphe_course.h"

#include "app/formulation.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tarvik::window {

namespace {

// Seven colours told apart by most eyes, colour-blind ones among them; the
// letters, the line styles and the marks say the same without them.
QColor couleurAxe(int numero)
{
    static const QColor couleurs[] = {QColor(0x00, 0x72, 0xB2), QColor(0xD5, 0x5E, 0x00),
                                      QColor(0x00, 0x9E, 0x73), QColor(0xCC, 0x79, 0xA7),
                                      QColor(0xE6, 0x9F, 0x00), QColor(0x56, 0xB4, 0xE9),
                                      QColor(0x80, 0x80, 0x80)};
    return couleurs[numero - 1];
}

// "Pince (A)", "Axe 01 (A)"
QString nomAxe(const NomsAxes &noms, int numero)
{
    return AxeNomme(numero, noms[std::size_t(numero - 1)]);
}

// A triangle pointing up (or down) at `sommet`.
QPolygonF triangle(QPointF sommet, double cote, bool enHaut)
{
    const double h = enHaut ? cote : -cote;
    return QPolygonF({sommet, sommet + QPointF(-cote / 2, h), sommet + QPointF(cote / 2, h)});
}

// An axis's pen: its colour, its dashes, `largeur` wide.
QPen stylo(int numero, double largeur)
{
    QPen plume(couleurAxe(numero), largeur);
    const TraitAxe trait = TraitDeLAxe(numero);
    if (!trait.tirets.isEmpty())
        plume.setDashPattern(trait.tirets);
    return plume;
}

// An axis's mark centred on `centre`, `r` from its centre to its edge:
// outlined in the pen set, filled with the brush set.
void dessinerMarque(QPainter &p, QPointF centre, TraitAxe::Marque marque, double r)
{
    using M = TraitAxe::Marque;
    switch (marque) {
    case M::Rond:
        p.drawEllipse(centre, r, r);
        break;
    case M::Carre:
        p.drawRect(QRectF(centre - QPointF(r, r) * 0.85, QSizeF(1.7 * r, 1.7 * r)));
        break;
    case M::Triangle:
        p.drawPolygon(triangle(centre - QPointF(0, r), 2 * r, true));
        break;
    case M::TriangleBas:
        p.drawPolygon(triangle(centre + QPointF(0, r), 2 * r, false));
        break;
    case M::Losange:
        p.drawPolygon(QPolygonF({centre - QPointF(0, r), centre + QPointF(r, 0),
                                 centre + QPointF(0, r), centre - QPointF(r, 0)}));
        break;
    case M::Croix:
        p.drawLine(centre - QPointF(r, r), centre + QPointF(r, r));
        p.drawLine(centre + QPointF(-r, r), centre + QPointF(r, -r));
        break;
    case M::Plus:
        p.drawLine(centre - QPointF(r, 0), centre + QPointF(r, 0));
        p.drawLine(centre - QPointF(0, r), centre + QPointF(0, r));
        break;
    }
}

// The round step that cuts `etendue` into `intervalles` at most: 1, 2 or
// 5 times a power of ten.
qint64 pasRond(qint64 etendue, int intervalles)
{
    const qint64 n = std::max(intervalles, 1);
    const qint64 brut = std::max<qint64>(1, (etendue + n - 1) / n);
    qint64 puissance = 1;
    while (puissance <= brut / 10)
        puissance *= 10;
    for (const qint64 facteur : {1, 2, 5})
        if (facteur * puissance >= brut)
            return facteur * puissance;
    return 10 * puissance;
}

// The round step after `pas`: 1, 2, 5, 10, 20…
qint64 pasSuivant(qint64 pas)
{
    qint64 puissance = 1;
    while (puissance <= pas / 10)
        puissance *= 10;
    return pas / puissance == 2 ? pas / 2 * 5 : pas * 2;
}

qint64 arrondiBas(qint64 valeur, qint64 pas)
{
    return valeur >= 0 ? valeur / pas * pas : -((-valeur + pas - 1) / pas) * pas;
}

qint64 arrondiHaut(qint64 valeur, qint64 pas)
{
    return -arrondiBas(-valeur, pas);
}

} // namespace

TraitAxe TraitDeLAxe(int numero)
{
    // Solid, dashes, dots, dash and dot, long dashes, dash and two dots,
    // short dashes; and a mark of another shape for each.
    using M = TraitAxe::Marque;
    static const TraitAxe traits[] = {
        {{}, M::Rond},
        {{5, 3}, M::Carre},
        {{1, 2.5}, M::Triangle},
        {{7, 2.5, 1, 2.5}, M::Losange},
        {{12, 4}, M::TriangleBas},
        {{7, 2.5, 1, 2.5, 1, 2.5}, M::Croix},
        {{2.5, 2.5}, M::Plus},
    };
    return traits[numero - 1];
}

QList<qint64> Graduation::valeurs() const
{
    QList<qint64> liste;
    for (qint64 v = bas; v <= haut; v += pas)
        liste << v;
    return liste;
}

Graduation Graduer(qint64 bas, qint64 haut, int intervalles)
{
    if (haut < bas)
        std::swap(bas, haut);
    const int n = std::max(intervalles, 1);
    // Rounding both bounds outward may take a step more than asked: the
    // next round step then.
    for (qint64 pas = pasRond(haut - bas, n);; pas = pasSuivant(pas)) {
        const Graduation graduation{arrondiBas(bas, pas), arrondiHaut(haut, pas), pas};
        if ((graduation.haut - graduation.bas) / pas <= n)
            return graduation;
    }
}

GrapheCourse::GrapheCourse(QWidget *parent)
    : QWidget(parent)
{
    // A chart to a screen reader, not a blank space.
    static const bool exposee = [] {
        QAccessible::installFactory(
            [](const QString &classe, QObject *objet) -> QAccessibleInterface * {
                if (classe == QLatin1String(staticMetaObject.className()) && objet &&
                    objet->isWidgetType())
                    return new QAccessibleWidget(static_cast<QWidget *>(objet), QAccessible::Chart);
                return nullptr;
            });
        return true;
    }();
    Q_UNUSED(exposee);
    setObjectName(QStringLiteral("grapheCourse"));
    setFocusPolicy(Qt::TabFocus); // a screen reader reaches it from the keyboard
    setAccessibleName(GrapheCourse::tr("Course des axes"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    annoncer();
}

void GrapheCourse::montrer(const Programme &programme, int depuis, int cycles,
                           const Limites &limites, const NomsAxes &noms)
{
    m_course.emplace(programme, depuis, cycles);
    m_limites = limites;
    m_noms = noms;
    m_envoi.reset();
    annoncer();
    update();
}

void GrapheCourse::vider()
{
    m_course.reset();
    m_envoi.reset();
    annoncer();
    update();
}

void GrapheCourse::marquerEnvoi(std::optional<PointCourse> point)
{
    if (point == m_envoi)
        return;
    m_envoi = point;
    update();
}

QStringList GrapheCourse::resume() const
{
    if (!m_course || m_course->etapes() == 0)
        return {GrapheCourse::tr("Aucun programme à tracer.")};
    QStringList lignes;
    for (int numero = 1; numero <= NombreAxes; ++numero)
        lignes << ligneResume(numero);
    return lignes;
}

QString GrapheCourse::ligneResume(int numero) const
{
    const CourseAxe &axe = m_course->axe(numero);
    const QString nom = nomAxe(m_noms, numero);
    QString ligne;
    if (!axe.bouge)
        ligne = GrapheCourse::tr("%1 : ne bouge pas").arg(nom);
    else if (axe.inconnue)
        ligne = GrapheCourse::tr("%1 : position inconnue dès %2 ; jusque-là, de %3 à %4 pas")
                    .arg(nom, PointNomme(*m_course, *axe.inconnue), PositionSignee(axe.plusBas),
                         PositionSignee(axe.plusHaut));
    else
        ligne = GrapheCourse::tr("%1 : de %2 à %3 pas, %4 à la fin")
                    .arg(nom, PositionSignee(axe.plusBas), PositionSignee(axe.plusHaut),
                         PositionSignee(axe.arrivee.value_or(0)));
    if (axe.parCycle && *axe.parCycle != 0 && m_course->cycles() > 1)
        ligne += GrapheCourse::tr(", %1 à chaque parcours").arg(PositionSignee(*axe.parCycle));
    const std::optional<std::int32_t> &limite = m_limites.axes[std::size_t(numero - 1)].course;
    if (!limite)
        return ligne + u'.';
    const QString borne = QString::number(*limite);
    const std::optional<SortieCourse> sortie = m_course->sortie(numero, *limite);
    if (!sortie)
        return ligne + GrapheCourse::tr(" ; reste dans sa course de ±%1.").arg(borne);
    if (!sortie->position)
        return ligne + GrapheCourse::tr(" ; course de ±%1 : ne peut pas être vérifiée.").arg(borne);
    return ligne +
           GrapheCourse::tr(" ; sort de sa course de ±%1 à %2, à %3.")
               .arg(borne, PointNomme(*m_course, sortie->point), PositionSignee(*sortie->position));
}

void GrapheCourse::annoncer()
{
    setAccessibleDescription(resume().join(u'\n'));
    QAccessibleEvent evenement(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&evenement);
}

QSize GrapheCourse::sizeHint() const
{
    return QSize(560, 280);
}

QSize GrapheCourse::minimumSizeHint() const
{
    return QSize(220, 150);
}

double GrapheCourse::Cadre::x(qint64 point, qint64 points) const
{
    return zone.left() + zone.width() * double(point) / double(std::max<qint64>(points, 1));
}

double GrapheCourse::Cadre::y(qint64 position) const
{
    return zone.bottom() -
           zone.height() * double(position - bas) / double(std::max<qint64>(haut - bas, 1));
}

// The positions of every axis that moves, and the bands near enough to
// them to be drawn (a band far wider than the moves would flatten them),
// with room for the marks, between round bounds; one graduation every two
// lines or so, and the steps numbered as often as their numbers fit.
GrapheCourse::Cadre GrapheCourse::cadre() const
{
    Cadre c;
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        c.bas = std::min(c.bas, m_course->axe(numero).plusBas);
        c.haut = std::max(c.haut, m_course->axe(numero).plusHaut);
    }
    const qint64 etendue = std::max({-c.bas, c.haut, qint64(1)});
    for (const LimitesAxe &limite : m_limites.axes)
        if (limite.course && *limite.course <= etendue * 3 / 2) {
            c.bas = std::min<qint64>(c.bas, -*limite.course);
            c.haut = std::max<qint64>(c.haut, *limite.course);
        }
    const qint64 marge = std::max<qint64>((c.haut - c.bas) / 10, 1);
    const QFontMetricsF mesure(font());
    const double ligne = mesure.height();
    const double hauteur = height() - 5.1 * ligne;
    const Graduation graduation =
        Graduer(c.bas - marge, c.haut + marge, std::max(1, int(hauteur / (2.2 * ligne))));
    c.bas = graduation.bas;
    c.haut = graduation.haut;
    c.pasPositions = graduation.pas;
    double gauche = 0;
    for (const qint64 valeur : graduation.valeurs())
        gauche = std::max(gauche, mesure.horizontalAdvance(PositionSignee(valeur)));
    gauche += 10;
    c.zone = QRectF(gauche, 2.6 * ligne, width() - gauche - mesure.horizontalAdvance(u'G') - 24,
                    hauteur);
    const qint64 points = m_course->points();
    const double numero = mesure.horizontalAdvance(QString::number(points)) + 16;
    c.pasEtapes = pasRond(points, std::max(1, int(c.zone.width() / numero)));
    return c;
}

Graduation GrapheCourse::positions() const
{
    if (!m_course || m_course->etapes() == 0)
        return {};
    const Cadre c = cadre();
    return {c.bas, c.haut, c.pasPositions};
}

QList<qint64> GrapheCourse::numerosDEtapes() const
{
    if (!m_course || m_course->etapes() == 0)
        return {};
    const Cadre c = cadre();
    const qint64 points = m_course->points();
    QList<qint64> numeros;
    for (qint64 i = c.pasEtapes; i <= points; i += c.pasEtapes)
        numeros << i;
    // The last step sent, when its number fits beside the last one written.
    const double numero = QFontMetricsF(font()).horizontalAdvance(QString::number(points)) + 16;
    if (points > 0 &&
        (numeros.isEmpty() ||
         (numeros.last() != points && c.x(points, points) - c.x(numeros.last(), points) >= numero)))
        numeros << points;
    return numeros;
}

QList<std::pair<double, EtendueCourse>> GrapheCourse::colonnes(const Cadre &c, int numero) const
{
    QList<std::pair<double, EtendueCourse>> liste;
    const qint64 points = m_course->points();
    const int largeur = std::max(int(c.zone.width()), 1);
    if (points <= largeur) {
        for (qint64 i = 0; i <= points; ++i)
            if (const auto position = m_course->position(numero, i))
                liste.append({c.x(i, points), {*position, *position}});
        return liste;
    }
    // Each column from the point it starts at to the one the next starts
    // at: one point in common, so that the columns join.
    for (qint64 px = 0; px < largeur; ++px)
        if (const auto e =
                m_course->etendue(numero, px * points / largeur, (px + 1) * points / largeur))
            liste.append({c.zone.left() + double(px) + 0.5, *e});
    return liste;
}

void GrapheCourse::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (hasFocus()) {
        p.setPen(QPen(palette().highlight(), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
    if (!m_course || m_course->etapes() == 0) {
        p.setPen(palette().text().color());
        p.drawText(rect(), Qt::AlignCenter, GrapheCourse::tr("Aucun programme à tracer."));
        return;
    }
    const Cadre c = cadre();
    if (c.zone.width() < 10 || c.zone.height() < 10)
        return;
    dessinerFond(p, c);
    for (int numero = 1; numero <= NombreAxes; ++numero)
        dessinerBande(p, c, numero);
    for (int numero = 1; numero <= NombreAxes; ++numero)
        dessinerAxe(p, c, numero);
    for (int numero = 1; numero <= NombreAxes; ++numero)
        dessinerReperes(p, c, numero);
    dessinerLettres(p, c);
    dessinerEnvoi(p, c);
    dessinerLegende(p, c);
}

// The frame, a line at each graduation with its position on the left (0
// stronger), the numbers of the steps sent below, and a faint line where
// each cycle starts when there are few enough of them.
void GrapheCourse::dessinerFond(QPainter &p, const Cadre &c) const
{
    const QColor texte = palette().text().color();
    p.fillRect(c.zone, palette().base());
    const qint64 points = m_course->points(), n = m_course->etapes();
    const double hauteur = p.fontMetrics().height();
    QColor grille = palette().mid().color();
    grille.setAlpha(90);
    for (const qint64 valeur : Graduation{c.bas, c.haut, c.pasPositions}.valeurs()) {
        p.setPen(QPen(valeur == 0 ? texte : grille, 1));
        p.drawLine(QPointF(c.zone.left(), c.y(valeur)), QPointF(c.zone.right(), c.y(valeur)));
        p.setPen(QPen(texte, 1));
        p.drawText(QRectF(0, c.y(valeur) - hauteur / 2, c.zone.left() - 4, hauteur),
                   Qt::AlignRight | Qt::AlignVCenter, PositionSignee(valeur));
    }
    p.setPen(QPen(palette().mid().color(), 1));
    p.drawRect(c.zone);
    if (m_course->cycles() > 1 && c.zone.width() / m_course->cycles() >= 6) {
        p.setPen(QPen(palette().mid().color(), 1, Qt::DotLine));
        for (qint64 cycle = 1; cycle < m_course->cycles(); ++cycle) {
            const double x = c.x(cycle * n - m_course->depuis(), points);
            p.drawLine(QPointF(x, c.zone.top()), QPointF(x, c.zone.bottom()));
        }
    }
    p.setPen(QPen(texte, 1));
    const double bas = c.zone.bottom();
    p.drawText(QRectF(c.zone.left() - 20, bas + 2, 40, hauteur), Qt::AlignHCenter,
               QStringLiteral("0"));
    for (const qint64 numero : numerosDEtapes()) {
        const double x = c.x(numero, points);
        p.drawLine(QPointF(x, bas), QPointF(x, bas + 3));
        p.drawText(QRectF(x - 40, bas + 2, 80, hauteur), Qt::AlignHCenter, QString::number(numero));
    }
    p.drawText(QRectF(c.zone.left(), bas + 2 + hauteur, c.zone.width(), hauteur), Qt::AlignCenter,
               GrapheCourse::tr("étapes envoyées : %1 par parcours, %n parcours, depuis l'étape %2",
                                nullptr, m_course->cycles())
                   .arg(QString::number(n), QString::number(m_course->depuis() + 1)));
}

// An axis's travel limit: the band it must keep within, dotted at its
// edges, each edge named by the axis's letter; named at the top when both
// edges are beyond the chart.
void GrapheCourse::dessinerBande(QPainter &p, const Cadre &c, int numero) const
{
    const std::optional<std::int32_t> &limite = m_limites.axes[std::size_t(numero - 1)].course;
    if (!limite)
        return;
    QColor fond = couleurAxe(numero);
    fond.setAlpha(30);
    const double haut = c.y(*limite), bas = c.y(-*limite);
    p.fillRect(QRectF(c.zone.left(), haut, c.zone.width(), bas - haut).intersected(c.zone), fond);
    p.setPen(QPen(couleurAxe(numero), 1, Qt::DotLine));
    const QString lettre = LettreAxe(numero), borne = QString::number(*limite);
    const double x = c.zone.left() + 4 + 34 * (numero - 1);
    if (haut < c.zone.top() && bas > c.zone.bottom()) { // far wider than the moves
        p.drawText(QPointF(x, c.zone.top() + p.fontMetrics().ascent() + 2),
                   QStringLiteral("%1 ±%2").arg(lettre, borne));
        return;
    }
    for (const auto &[y, texte] :
         {std::pair{haut, QStringLiteral("%1 +%2")}, std::pair{bas, QStringLiteral("%1 -%2")}}) {
        if (y < c.zone.top() || y > c.zone.bottom())
            continue;
        p.drawLine(QPointF(c.zone.left(), y), QPointF(c.zone.right(), y));
        p.drawText(QPointF(x, y - 2), texte.arg(lettre, borne));
    }
}

// An axis's line, with its own dashes, within its band (or everywhere
// without a travel limit), each pixel column from its lowest to its
// highest; then its marks.
void GrapheCourse::dessinerAxe(QPainter &p, const Cadre &c, int numero) const
{
    const auto liste = colonnes(c, numero);
    if (liste.isEmpty() || !m_course->axe(numero).bouge)
        return;
    QPolygonF haut, bas;
    QList<QLineF> traits;
    for (const auto &[x, e] : liste) {
        haut << QPointF(x, c.y(e.haut));
        bas << QPointF(x, c.y(e.bas));
        if (e.haut != e.bas)
            traits << QLineF(haut.last(), bas.last());
    }
    const std::optional<std::int32_t> &limite = m_limites.axes[std::size_t(numero - 1)].course;
    p.save();
    if (limite)
        p.setClipRect(QRectF(c.zone.left() - 4, c.y(*limite), c.zone.width() + 8,
                             c.y(-*limite) - c.y(*limite)));
    p.setPen(stylo(numero, 1.5));
    p.drawLines(traits);
    p.drawPolyline(haut);
    if (!traits.isEmpty())
        p.drawPolyline(bas);
    p.restore();
    if (limite)
        dessinerHors(p, c, numero, haut, bas);
    dessinerMarques(p, c, numero);
}

void GrapheCourse::dessinerMarques(QPainter &p, const Cadre &c, int numero) const
{
    // One every 40 pixels or so, each axis's a little aside from those of
    // the axes that move before it, so that they never all stand on the
    // start.
    const auto liste = colonnes(c, numero);
    const TraitAxe trait = TraitDeLAxe(numero);
    int avant = 0;
    for (int autre = 1; autre < numero; ++autre)
        avant += m_course->axe(autre).bouge;
    p.save();
    p.setPen(QPen(couleurAxe(numero), 1.5));
    p.setBrush(palette().base());
    double suivante = c.zone.left() + 6 * avant;
    for (const auto &[x, e] : liste) {
        if (x + 0.01 < suivante)
            continue;
        dessinerMarque(p, QPointF(x, c.y(e.haut)), trait.marque, 3.5);
        suivante = x + 40;
    }
    p.restore();
}

// Beyond the band: the area between the band's edge and the line hatched,
// the line thicker.
void GrapheCourse::dessinerHors(QPainter &p, const Cadre &c, int numero, const QPolygonF &haut,
                                const QPolygonF &bas) const
{
    const std::int32_t limite = *m_limites.axes[std::size_t(numero - 1)].course;
    const double bordHaut = c.y(limite), bordBas = c.y(-limite);
    const QRectF tout = c.zone.adjusted(-4, -8, 4, 8);
    const QRectF dessus(tout.left(), tout.top(), tout.width(), bordHaut - tout.top());
    const QRectF dessous(tout.left(), bordBas, tout.width(), tout.bottom() - bordBas);
    for (const auto &[region, ligne, bord] :
         {std::tuple{dessus, &haut, bordHaut}, std::tuple{dessous, &bas, bordBas}}) {
        if (region.height() <= 0)
            continue;
        p.save();
        p.setClipRect(region);
        QPolygonF aire = *ligne;
        aire << QPointF(ligne->last().x(), bord) << QPointF(ligne->first().x(), bord);
        p.setPen(Qt::NoPen);
        p.setBrush(QBrush(couleurAxe(numero), Qt::BDiagPattern));
        p.drawPolygon(aire);
        p.setPen(stylo(numero, 3));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(*ligne);
        p.restore();
    }
}

// The marks: a triangle and the letter where the axis first leaves its
// band, a "?" where its position becomes unknown.
void GrapheCourse::dessinerReperes(QPainter &p, const Cadre &c, int numero) const
{
    const CourseAxe &axe = m_course->axe(numero);
    if (!axe.bouge)
        return;
    const QColor couleur = couleurAxe(numero);
    const qint64 points = m_course->points();
    const QString lettre = LettreAxe(numero);
    p.setPen(QPen(palette().text().color(), 1));
    const std::optional<std::int32_t> &limite = m_limites.axes[std::size_t(numero - 1)].course;
    if (const auto sortie = limite ? m_course->sortie(numero, *limite) : std::nullopt;
        sortie && sortie->position) {
        const bool dessus = *sortie->position > 0;
        const QPointF sommet(c.x(m_course->indice(sortie->point), points), c.y(*sortie->position));
        p.setBrush(couleur); // pointing away from the band
        p.drawPolygon(triangle(sommet + QPointF(0, dessus ? -16 : 16), 10, dessus));
        p.drawText(sommet + QPointF(8, dessus ? -8 : 18), lettre + u'!');
    }
    if (axe.inconnue) {
        const qint64 dernier = m_course->indice(*axe.inconnue) - 1;
        const QPointF ou(c.x(dernier + 1, points),
                         c.y(m_course->position(numero, dernier).value_or(0)));
        const QRectF rond(ou - QPointF(8, 8), QSizeF(16, 16));
        p.setBrush(palette().base());
        p.drawEllipse(rond);
        p.drawText(rond, Qt::AlignCenter, QStringLiteral("?"));
    }
}

// Each axis's letter where its line ends, moved apart when they would
// stand on one another.
void GrapheCourse::dessinerLettres(QPainter &p, const Cadre &c) const
{
    struct Lettre {
        QPointF ou;
        int numero;
    };
    QList<Lettre> lettres;
    const qint64 points = m_course->points();
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        const CourseAxe &axe = m_course->axe(numero);
        if (!axe.bouge)
            continue;
        const qint64 dernier = axe.inconnue ? m_course->indice(*axe.inconnue) - 1 : points;
        lettres.append({QPointF(c.x(dernier, points) + (axe.inconnue ? 14 : 4),
                                c.y(m_course->position(numero, dernier).value_or(0)) + 4),
                        numero});
    }
    std::sort(lettres.begin(), lettres.end(),
              [](const Lettre &a, const Lettre &b) { return a.ou.y() < b.ou.y(); });
    const double hauteur = p.fontMetrics().height() * 0.9;
    for (qsizetype k = 1; k < lettres.size(); ++k)
        if (const QPointF avant = lettres[k - 1].ou; std::abs(lettres[k].ou.x() - avant.x()) < 20)
            lettres[k].ou.setY(std::max(lettres[k].ou.y(), avant.y() + hauteur));
    for (const Lettre &lettre : lettres) {
        p.setPen(couleurAxe(lettre.numero));
        p.drawText(lettre.ou, QString(LettreAxe(lettre.numero)));
    }
}

// The step being sent: a line across the chart, and what it is, in words.
void GrapheCourse::dessinerEnvoi(QPainter &p, const Cadre &c) const
{
    if (!m_envoi)
        return;
    const double x = c.x(m_course->indice(*m_envoi), m_course->points());
    const QColor texte = palette().text().color();
    p.setPen(QPen(texte, 2, Qt::DashDotLine));
    p.drawLine(QPointF(x, c.zone.top()), QPointF(x, c.zone.bottom()));
    p.setPen(QPen(texte, 1));
    p.setBrush(texte);
    p.drawPolygon(triangle(QPointF(x, c.zone.top()), 10, false));
    const double hauteur = p.fontMetrics().height();
    p.drawText(QRectF(c.zone.left(), 1.2 * hauteur, c.zone.width(), hauteur),
               Qt::AlignRight | Qt::AlignVCenter,
               GrapheCourse::tr("En cours : %1").arg(PointNomme(*m_course, *m_envoi)));
}

// What the letters, the dashes and the marks say: each axis's line and
// mark before its letter, then the hatching beyond a band.
void GrapheCourse::dessinerLegende(QPainter &p, const Cadre &c) const
{
    const double hauteur = p.fontMetrics().height();
    double x = c.zone.left();
    const double y = hauteur * 0.1, milieu = y + hauteur / 2;
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        if (!m_course->axe(numero).bouge)
            continue;
        p.setPen(stylo(numero, 1.5));
        p.drawLine(QPointF(x, milieu), QPointF(x + 24, milieu));
        p.setPen(QPen(couleurAxe(numero), 1.5));
        p.setBrush(palette().base());
        dessinerMarque(p, QPointF(x + 12, milieu), TraitDeLAxe(numero).marque, 3.5);
        p.setPen(palette().text().color());
        p.drawText(QPointF(x + 28, y + hauteur * 0.8), QString(LettreAxe(numero)));
        x += 28 + p.fontMetrics().horizontalAdvance(QString(LettreAxe(numero))) + 10;
    }
    const QRectF hachure(x, y + 2, 20, hauteur - 4);
    p.fillRect(hachure, QBrush(palette().text().color(), Qt::BDiagPattern));
    p.setPen(QPen(palette().text().color(), 3));
    p.drawLine(QPointF(x, milieu), QPointF(x + 20, milieu));
    const QString hors = GrapheCourse::tr("hors de la course permise (hachuré) ; ? : position "
                                          "inconnue");
    p.setPen(palette().text().color());
    p.drawText(QPointF(x + 24, y + hauteur * 0.8),
               p.fontMetrics().elidedText(hors, Qt::ElideRight, int(width() - x - 28)));
}

} // namespace tarvik::window
