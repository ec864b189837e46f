// Where a run takes the axes, in words: its steps, its figures, its drifts
// and the travels refused.
#include "app/formulation.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>

namespace tarvik::app {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Course)
};

// A count of steps with its sign: "+50 pas", "-1 pas", "0 pas".
QString pasSignes(qint64 valeur)
{
    const int n = int(std::min<qint64>(valeur < 0 ? -valeur : valeur, INT_MAX));
    return valeur > 0   ? Mots::tr("+%n pas", nullptr, n)
           : valeur < 0 ? Mots::tr("-%n pas", nullptr, n)
                        : Mots::tr("%n pas", nullptr, 0);
}

QString nomAvecLettre(const NomsAxes &noms, int numero)
{
    return AxeNomme(numero, noms[std::size_t(numero - 1)]);
}

// A direction as a message quotes it: « x », a blank spelled out (U+0020).
QString directionCitee(QChar direction)
{
    return direction.isSpace() ? CodePoint(direction.unicode()) : Mots::tr("« %1 »").arg(direction);
}

// Who set a limit, as a message says it.
QString deQui(NiveauLimite niveau)
{
    return niveau == NiveauLimite::Machine ? Mots::tr("limite de la machine")
                                           : Mots::tr("votre limite");
}

// The figures of one axis that moves.
QString ligneAxe(const Course &course, int numero, const NomsAxes &noms)
{
    const CourseAxe &axe = course.axe(numero);
    const QString nom = nomAvecLettre(noms, numero);
    if (axe.inconnue)
        return Mots::tr("%1 : position inconnue dès %2, dont la direction %3 n'est ni « + » "
                        "ni « - » ; jusque-là, au plus bas %4, au plus haut %5.")
            .arg(nom, PointNomme(course, *axe.inconnue), directionCitee(axe.direction),
                 PositionSignee(axe.plusBas), PositionSignee(axe.plusHaut));
    const QString arrivee = PositionSignee(axe.arrivee.value_or(0));
    if (!axe.parCycle) // a step the run does not send has another direction
        return Mots::tr("%1 : au plus bas %2, au plus haut %3 ; à la fin %4.")
            .arg(nom, PositionSignee(axe.plusBas), PositionSignee(axe.plusHaut), arrivee);
    return Mots::tr("%1 : %2 à chaque parcours ; au plus bas %3, au plus haut %4 ; à la fin "
                    "%5.")
        .arg(nom, pasSignes(*axe.parCycle), PositionSignee(axe.plusBas),
             PositionSignee(axe.plusHaut), arrivee);
}

} // namespace

QString PointNomme(const PointDecrit &point)
{
    if (point.envoiSeul)
        return Mots::tr("cet envoi");
    const QString etape = QString::number(point.etape + 1),
                  cycle = QString::number(point.cycle + 1);
    return point.nom.isEmpty()
               ? Mots::tr("l'étape %1 du parcours %2").arg(etape, cycle)
               : Mots::tr("l'étape %1 (%2) du parcours %3").arg(etape, point.nom, cycle);
}

QString PointNomme(const Course &course, PointCourse point)
{
    return PointNomme(DecrirePoint(course, point));
}

QString Formuler(const CourseRefusee &refus, const QString &axe)
{
    const QString ou = PointNomme(refus.point),
                  borne = Mots::tr("%n pas", nullptr, refus.borne); // "1 step"
    if (refus.position)
        return Mots::tr("Course refusée pour %1 : %2 l'amène à %3 de son départ.\nCet axe ne va "
                        "pas à plus de %4 de son départ, d'un côté comme de l'autre (%5)")
            .arg(axe, ou, pasSignes(*refus.position), borne, deQui(refus.niveau));
    return Mots::tr("Course refusée pour %1 : %2 l'envoie dans la direction %3, ni « + » ni "
                    "« - » : nul ne peut dire où elle l'amène.\nCet axe ne va pas à plus de "
                    "%4 de son départ (%5) : chacune de ses directions doit être « + » ou "
                    "« - »")
        .arg(axe, ou, directionCitee(refus.direction), borne, deQui(refus.niveau));
}

QStringList LignesCourse(const Course &course, const NomsAxes &noms)
{
    QStringList lignes{Mots::tr("Positions comptées depuis le départ du programme, pris comme "
                                "0 : Tarvik ne sait pas où se trouve vraiment la machine.")};
    for (int numero = 1; numero <= NombreAxes; ++numero)
        if (course.axe(numero).bouge)
            lignes << ligneAxe(course, numero, noms);
    if (lignes.size() == 1)
        lignes << Mots::tr("Aucun axe ne bouge.");
    return lignes;
}

QStringList AvertissementsDerive(const Course &course, const NomsAxes &noms)
{
    QStringList avertissements;
    for (const DeriveAxe &derive : Derives(course)) {
        const QString &nom = noms[std::size_t(derive.axe - 1)];
        const QString lettre = LettreAxe(derive.axe);
        const QString quel = nom.isEmpty() ? lettre : QStringLiteral("%1 (%2)").arg(nom, lettre);
        const QString texte =
            derive.parCycle > 0
                ? Mots::tr("l'axe %1 avance de %2 à chaque parcours : %3 après %n parcours",
                           nullptr, course.cycles())
                : Mots::tr("l'axe %1 recule de %2 à chaque parcours : %3 après %n parcours",
                           nullptr, course.cycles());
        avertissements << texte.arg(quel, pasSignes(derive.parCycle),
                                    PositionSignee(derive.arrivee));
    }
    return avertissements;
}

} // namespace tarvik::app
