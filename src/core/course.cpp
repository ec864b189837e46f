#include "core/course.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <limits>

namespace tarvik::core {

namespace {

constexpr qint64 Jamais = std::numeric_limits<qint64>::max();

// A step's move on one axis: its count, added or taken away; nothing for
// any other direction.
std::optional<qint64> deplacement(const Axe &axe)
{
    if (axe.Direction == u'+')
        return axe.Pas;
    if (axe.Direction == u'-')
        return -qint64(axe.Pas);
    return std::nullopt;
}

// a / b rounded down, for b > 0.
qint64 divisionPlancher(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return a % b != 0 && a < 0 ? q - 1 : q;
}

EtendueCourse unir(EtendueCourse a, EtendueCourse b)
{
    return {std::min(a.bas, b.bas), std::max(a.haut, b.haut)};
}

} // namespace

Course::Course(const Programme &programme, int depuis, int cycles)
    : m_programme(programme)
    , m_cycles(std::max(cycles, 1))
{
    m_depuis = std::clamp(depuis, 0, std::max(etapes() - 1, 0));
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        profiler(numero);
        resumer(numero);
    }
}

void Course::profiler(int numero)
{
    Profil &profil = m_profils[std::size_t(numero - 1)];
    const int n = etapes();
    profil.avant.reserve(n + 1);
    profil.avant << 0;
    int inconnueDuPremier = -1; // the first of another direction in the first cycle
    for (int k = 0; k < n; ++k) {
        const std::optional<qint64> pas = deplacement(m_programme.etapes[k].grille.axe(numero));
        if (!pas && profil.premiereInconnue < 0)
            profil.premiereInconnue = k;
        if (!pas && k >= m_depuis && inconnueDuPremier < 0)
            inconnueDuPremier = k;
        profil.avant << profil.avant.last() + pas.value_or(0);
    }
    profil.inconnueDes = inconnueDuPremier >= 0 ? inconnueDuPremier + 1
                         : m_cycles > 1 && profil.premiereInconnue >= 0
                             ? n + profil.premiereInconnue + 1
                             : qint64(n) * m_cycles + 1;
    profil.bas = {profil.avant.first(n)};
    profil.haut = profil.bas;
    for (int longueur = 2; longueur <= n; longueur *= 2) {
        QList<qint64> bas(n - longueur + 1), haut(n - longueur + 1);
        const QList<qint64> &b = profil.bas.last(), &h = profil.haut.last();
        for (int k = 0; k + longueur <= n; ++k) {
            bas[k] = std::min(b[k], b[k + longueur / 2]);
            haut[k] = std::max(h[k], h[k + longueur / 2]);
        }
        profil.bas << bas;
        profil.haut << haut;
    }
}

void Course::resumer(int numero)
{
    const Profil &profil = m_profils[std::size_t(numero - 1)];
    CourseAxe &resume = m_resumes[std::size_t(numero - 1)];
    if (profil.premiereInconnue < 0)
        resume.parCycle = profil.avant.last();
    const EtendueCourse tout = etendue(numero, 0, points()).value_or(EtendueCourse{});
    resume.plusBas = tout.bas;
    resume.plusHaut = tout.haut;
    resume.arrivee = position(numero, points());
    if (profil.inconnueDes <= qint64(etapes()) * m_cycles) {
        resume.inconnue = point(profil.inconnueDes - m_depuis);
        resume.direction = m_programme.etapes[resume.inconnue->etape].grille.axe(numero).Direction;
    }
    resume.bouge = resume.inconnue || resume.plusBas != 0 || resume.plusHaut != 0;
}

qint64 Course::points() const
{
    return qint64(etapes()) * m_cycles - m_depuis;
}

PointCourse Course::point(qint64 i) const
{
    const qint64 g = i + m_depuis - 1, n = std::max(etapes(), 1);
    return {int(g % n), int(g / n)};
}

qint64 Course::indice(PointCourse point) const
{
    return qint64(point.cycle) * etapes() + point.etape + 1 - m_depuis;
}

// The position after point g, counted from the first cycle's start.
qint64 Course::valeur(const Profil &profil, qint64 g) const
{
    const qint64 n = etapes();
    if (n == 0)
        return 0;
    return (g / n) * profil.avant[n] + profil.avant[g % n] - profil.avant[m_depuis];
}

// The lowest and highest before steps r0 to r1 of a cycle, its start as 0.
EtendueCourse Course::dansUnCycle(const Profil &profil, int r0, int r1) const
{
    const int niveau = std::bit_width(unsigned(r1 - r0 + 1)) - 1;
    const int second = r1 - (1 << niveau) + 1;
    const QList<qint64> &bas = profil.bas[niveau], &haut = profil.haut[niveau];
    return {std::min(bas[r0], bas[second]), std::max(haut[r0], haut[second])};
}

// Over points a to b (a <= b), whether known or not: the first and last
// cycles' stretches, and the whole cycles between them, whose lowest and
// highest move by the travel per cycle from one to the next.
EtendueCourse Course::etendueBrute(const Profil &profil, qint64 a, qint64 b) const
{
    const qint64 n = etapes(), parCycle = profil.avant[n], origine = profil.avant[m_depuis];
    const auto decale = [&](EtendueCourse e, qint64 cycle) {
        const qint64 d = cycle * parCycle - origine;
        return EtendueCourse{e.bas + d, e.haut + d};
    };
    const qint64 ca = a / n, cb = b / n;
    if (ca == cb)
        return decale(dansUnCycle(profil, int(a % n), int(b % n)), ca);
    EtendueCourse e = unir(decale(dansUnCycle(profil, int(a % n), int(n - 1)), ca),
                           decale(dansUnCycle(profil, 0, int(b % n)), cb));
    if (cb - ca > 1) {
        const EtendueCourse cycle = dansUnCycle(profil, 0, int(n - 1));
        e = unir(e, unir(decale(cycle, ca + 1), decale(cycle, cb - 1)));
    }
    return e;
}

// The first cycle from c0 on some point of which goes beyond the limit,
// or Jamais: the cycle's highest grows with it when the travel per cycle
// is positive, its lowest falls when it is negative.
qint64 Course::premierCycleHors(const Profil &profil, qint64 c0, qint64 limite) const
{
    const qint64 n = etapes(), parCycle = profil.avant[n], origine = profil.avant[m_depuis];
    const EtendueCourse e = dansUnCycle(profil, 0, int(n - 1));
    qint64 dessus = Jamais, dessous = Jamais;
    // Above: cycle × parCycle + e.haut - origine > limite.
    if (parCycle > 0)
        dessus = std::max(c0, divisionPlancher(limite - e.haut + origine, parCycle) + 1);
    else if (c0 * parCycle + e.haut - origine > limite)
        dessus = c0;
    // Below: cycle × parCycle + e.bas - origine < -limite.
    if (parCycle < 0)
        dessous = std::max(c0, divisionPlancher(limite + e.bas - origine, -parCycle) + 1);
    else if (c0 * parCycle + e.bas - origine < -limite)
        dessous = c0;
    return std::min(dessus, dessous);
}

// The first point from a to b beyond -limite..limite: through the first
// cycle's stretch step by step, then straight to the first cycle that goes
// beyond, and through it.
std::optional<qint64> Course::premierHors(const Profil &profil, qint64 a, qint64 b,
                                          qint64 limite) const
{
    if (a > b)
        return std::nullopt;
    const auto parcourir = [&](qint64 de, qint64 jusqua) -> std::optional<qint64> {
        for (qint64 g = de; g <= jusqua; ++g)
            if (const qint64 v = valeur(profil, g); v > limite || v < -limite)
                return g;
        return std::nullopt;
    };
    const qint64 n = etapes(), finPremier = std::min(b, (a / n + 1) * n - 1);
    if (const auto g = parcourir(a, finPremier))
        return g;
    if (finPremier == b)
        return std::nullopt;
    const qint64 cycle = premierCycleHors(profil, a / n + 1, limite);
    if (cycle > b / n)
        return std::nullopt;
    return parcourir(cycle * n, std::min(b, cycle * n + n - 1));
}

std::optional<qint64> Course::position(int numero, qint64 i) const
{
    const Profil &profil = m_profils.at(std::size_t(numero - 1));
    if (i < 0 || i > points() || i + m_depuis >= profil.inconnueDes)
        return std::nullopt;
    return valeur(profil, i + m_depuis);
}

std::optional<EtendueCourse> Course::etendue(int numero, qint64 debut, qint64 dernier) const
{
    const Profil &profil = m_profils.at(std::size_t(numero - 1));
    const qint64 a = std::max<qint64>(debut, 0) + m_depuis;
    const qint64 b = std::min(std::min(dernier, points()) + m_depuis, profil.inconnueDes - 1);
    if (a > b)
        return std::nullopt;
    return etapes() == 0 ? EtendueCourse{} : etendueBrute(profil, a, b);
}

std::optional<SortieCourse> Course::sortie(int numero, qint64 limite) const
{
    const Profil &profil = m_profils.at(std::size_t(numero - 1));
    const qint64 dernierPoint = qint64(etapes()) * m_cycles;
    if (const auto g = premierHors(profil, m_depuis + 1,
                                   std::min(dernierPoint, profil.inconnueDes - 1), limite))
        return SortieCourse{point(*g - m_depuis), valeur(profil, *g)};
    if (profil.inconnueDes <= dernierPoint)
        return SortieCourse{point(profil.inconnueDes - m_depuis), std::nullopt};
    return std::nullopt;
}

QString PositionSignee(qint64 position)
{
    return (position > 0 ? QStringLiteral("+") : QString()) + QString::number(position);
}

PointDecrit DecrirePoint(const Course &course, PointCourse point)
{
    const QList<EtapeProgramme> &etapes = course.programme().etapes;
    return {.etape = point.etape,
            .cycle = point.cycle,
            .nom = point.etape < etapes.size() ? etapes[point.etape].nom : QString(),
            .envoiSeul = course.etapes() == 1 && course.cycles() == 1};
}

QList<DeriveAxe> Derives(const Course &course)
{
    QList<DeriveAxe> derives;
    for (int numero = 1; numero <= NombreAxes && course.cycles() > 1; ++numero) {
        const CourseAxe &axe = course.axe(numero);
        if (axe.parCycle && *axe.parCycle != 0 && axe.arrivee)
            derives << DeriveAxe{numero, *axe.parCycle, *axe.arrivee};
    }
    return derives;
}

namespace {

ValeurRefusee refuser(const Course &course, int numero, const SortieCourse &sortie,
                      const LimitesAxe &limite, const QString &nom)
{
    const Axe &axe = course.programme().etapes[sortie.point.etape].grille.axe(numero);
    ValeurRefusee refus;
    refus.axe = numero;
    refus.nom = nom;
    refus.horsLimite = true;
    refus.colonne = sortie.position ? Colonne::Pas : Colonne::Direction;
    refus.texte = sortie.position ? TextePas(axe.Pas) : QString(axe.Direction);
    refus.course = CourseRefusee{.point = DecrirePoint(course, sortie.point),
                                 .position = sortie.position,
                                 .direction = axe.Direction,
                                 .borne = *limite.course,
                                 .niveau = limite.niveauCourse};
    return refus;
}

} // namespace

QList<ValeurRefusee> VerifierCourse(const Course &course, const Limites &limites,
                                    const NomsAxes &noms)
{
    QList<ValeurRefusee> refus;
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        const LimitesAxe &limite = limites.axes[std::size_t(numero - 1)];
        if (!limite.course)
            continue;
        if (const auto sortie = course.sortie(numero, *limite.course))
            refus << refuser(course, numero, *sortie, limite, noms[std::size_t(numero - 1)]);
    }
    return refus;
}

QList<ValeurRefusee> VerifierCourse(const Programme &programme, const Limites &limites, int depuis,
                                    int cycles, const NomsAxes &noms)
{
    return VerifierCourse(Course(programme, depuis, cycles), limites, noms);
}

QList<ValeurRefusee> VerifierCourse(const GrilleVerifiee &verifiee, const Limites &limites,
                                    const NomsAxes &noms)
{
    // A row whose move is not read stands still: it takes its axis nowhere,
    // and the others go where they would.
    std::array<Axe, NombreAxes> axes = verifiee.axes;
    for (std::size_t k = 0; k < axes.size(); ++k) {
        axes[k].Lettre = LettreAxe(int(k) + 1);
        if (!verifiee.mouvementsLus[k]) {
            axes[k].Direction = u'+';
            axes[k].Pas = 0;
        }
    }
    const Programme envoi{{EtapeProgramme{{}, Grille(axes), 0}}, 1};
    return VerifierCourse(envoi, limites, 0, 1, noms);
}

} // namespace tarvik::core
