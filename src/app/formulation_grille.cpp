// The grid's words: its axes and columns, how a box is read, and the values
// refused.
#include "app/formulation.h"

#include <QCoreApplication>

namespace tarvik::app {

namespace {

// The texts of this file, in the operator's language, in the contexts the
// grid's texts have always had.
struct MotsAxes {
    Q_DECLARE_TR_FUNCTIONS(Axes)
};
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Grille)
};
struct MotsProgramme {
    Q_DECLARE_TR_FUNCTIONS(Programme)
};

// Who set a limit, as a message says it.
QString deQui(NiveauLimite niveau)
{
    return niveau == NiveauLimite::Machine ? Mots::tr("limite de la machine")
                                           : Mots::tr("votre limite");
}

// A sentence made the tail of another: its first letter in lower case.
QString enMinuscule(const QString &phrase)
{
    return phrase.isEmpty() ? phrase : phrase.front().toLower() + phrase.mid(1);
}

// "Étape 2 (prise) : ", before each value of a program of several steps.
QString etape(const ValeurRefusee &valeur)
{
    if (!valeur.etape)
        return {};
    return valeur.nomEtape.isEmpty()
               ? MotsProgramme::tr("Étape %1 : ").arg(*valeur.etape + 1)
               : MotsProgramme::tr("Étape %1 (%2) : ").arg(*valeur.etape + 1).arg(valeur.nomEtape);
}

} // namespace

QString NomAxe(int numero)
{
    return MotsAxes::tr("Axe %1").arg(numero, 2, 10, QChar(u'0'));
}

QString AxeNomme(int numero, const QString &nom)
{
    return QStringLiteral("%1 (%2)").arg(nom.isEmpty() ? NomAxe(numero) : nom,
                                         QString(LettreAxe(numero)));
}

QString NomColonne(Colonne colonne)
{
    switch (colonne) {
    case Colonne::Pas:
        return Mots::tr("Pas");
    case Colonne::Direction:
        return Mots::tr("Direction");
    case Colonne::Vitesse:
        break;
    }
    return Mots::tr("Vitesse");
}

QString Formuler(const LectureCase &lecture)
{
    using G = LectureCase::Genre;
    const QString &champ = lecture.champ;
    switch (lecture.genre) {
    case G::Vide:
        return Mots::tr("case vide, lue comme %1").arg(champ);
    case G::PrefixeSansChiffre:
        return Mots::tr("lu comme %1 : « %2 » annonce un nombre hexadécimal ou octal, "
                        "et aucun de ses chiffres ne le suit")
            .arg(champ, lecture.prefixe);
    case G::Prefixe:
        return Mots::tr("lu comme %1 : « &H » et « &O » annoncent un nombre "
                        "hexadécimal ou octal")
            .arg(champ);
    case G::BlancsIgnores:
        return Mots::tr("lu comme %1 : les blancs sont ignorés").arg(champ);
    case G::AucunChiffre:
        return Mots::tr("lu comme %1 : la case ne contient aucun chiffre, et une case sans "
                        "nombre vaut 0")
            .arg(champ);
    case G::PasUnNombreAuDebut:
        return Mots::tr("lu comme %1 : la case ne commence pas par un nombre, et seul un "
                        "nombre au début est lu (sans lui, elle vaut 0)")
            .arg(champ);
    case G::VirguleDecimale:
        return Mots::tr("lu comme %1 : la virgule arrête le nombre ; une décimale s'écrit "
                        "avec un point (« %2 »)")
            .arg(champ, lecture.avecPoint);
    case G::NombreDuDebut:
        break;
    case G::DirectionVide:
        return Mots::tr("case vide, envoyée comme une espace");
    case G::PremierCaractere:
        return Mots::tr("seul le premier caractère part : « %1 »").arg(champ);
    }
    return Mots::tr("lu comme %1 : seul le nombre du début est lu, puis arrondi").arg(champ);
}

QString Formuler(const RefusCase &raison)
{
    using G = RefusCase::Genre;
    switch (raison.genre) {
    case G::PasHorsPlage:
        return Mots::tr("Le nombre de pas doit être compris entre %1 et %2")
            .arg(PasMin)
            .arg(PasMax);
    case G::VitesseHorsPlage:
        return Mots::tr("La vitesse doit être comprise entre 0 et %1").arg(VitesseMax);
    case G::DirectionInvalide:
        return Mots::tr("La direction doit être un caractère imprimable de la page de "
                        "code Windows-1252");
    case G::StricteDirection:
        return Mots::tr("La lecture stricte du banc demande exactement un caractère");
    case G::StricteChiffres:
        return Mots::tr("La lecture stricte du banc demande des chiffres seulement (%1)")
            .arg(raison.lecture ? Formuler(*raison.lecture) : QString());
    case G::LimitePas:
        return Mots::tr("Cet axe va jusqu'à %n pas au plus (%1)", nullptr, raison.limite)
            .arg(deQui(raison.niveau));
    case G::LimiteVitesse:
        return Mots::tr("Cet axe va jusqu'à la vitesse %1 au plus (%2)")
            .arg(raison.limite)
            .arg(deQui(raison.niveau));
    case G::LimiteDirections:
        break;
    }
    return Mots::tr("Cet axe n'accepte que les directions « %1 » (%2)")
        .arg(raison.directions, deQui(raison.niveau));
}

QString Formuler(const ValeurRefusee &valeur)
{
    const QString axe = AxeNomme(valeur.axe, valeur.nom);
    if (valeur.course)
        return Formuler(*valeur.course, axe);
    return etape(valeur) + Mots::tr("Valeur refusée pour %1, colonne « %2 » : « %3 ».\n%4")
                               .arg(axe, NomColonne(valeur.colonne), TexteLisible(valeur.texte),
                                    Formuler(valeur.raison));
}

QString FormulerEnLigne(const ValeurRefusee &valeur)
{
    if (valeur.course)
        return {};
    return etape(valeur) + Mots::tr("%1, %2 : « %3 » — %4")
                               .arg(AxeNomme(valeur.axe, valeur.nom), NomColonne(valeur.colonne),
                                    TexteLisible(valeur.texte),
                                    enMinuscule(Formuler(valeur.raison)));
}

QString Formuler(const CaseLue &lue)
{
    const QString part = lue.champ == QStringLiteral(" ")
                             ? Mots::tr("une espace")
                             : Mots::tr("« %1 »").arg(TexteLisible(lue.champ));
    const QString ou = AxeNomme(lue.axe, lue.nom), quelle = NomColonne(lue.colonne);
    return lue.texte.isEmpty()
               ? Mots::tr("%1, %2 : case vide, partira comme %3").arg(ou, quelle, part)
               : Mots::tr("%1, %2 : « %3 » partira comme %4")
                     .arg(ou, quelle, TexteLisible(lue.texte), part);
}

} // namespace tarvik::app
