#include "core/grille.h"

#include <QCoreApplication>

namespace {

// The texts of this file, in the operator's language.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Grille)
};

} // namespace

QString NomColonne(Colonne colonne)
{
    switch (colonne) {
    case Colonne::Pas:
        return Textes::tr("Pas");
    case Colonne::Direction:
        return Textes::tr("Direction");
    case Colonne::Vitesse:
        break;
    }
    return Textes::tr("Vitesse");
}

namespace {

// The typed text as it can be shown in a message: control characters spelled
// out, long texts cut.
QString texteLisible(QStringView texte)
{
    constexpr qsizetype longueurMax = 40;
    QString lisible;
    for (QChar c : texte.left(longueurMax)) {
        if (c.isPrint() && !c.isSurrogate())
            lisible += c;
        else
            lisible += CodePoint(c);
    }
    if (texte.size() > longueurMax)
        lisible += u'…';
    return lisible;
}

ValeurRefusee refuser(int i, Colonne colonne, const QString &texte, const QString &raison)
{
    ValeurRefusee refus;
    refus.message = Textes::tr("Valeur refusée pour %1, colonne « %2 » : « %3 ».\n%4")
                        .arg(NomAxe(i), NomColonne(colonne), texteLisible(texte), raison);
    refus.axe = i;
    refus.colonne = colonne;
    refus.texte = texte;
    return refus;
}

} // namespace

RangeeLue LireRangee(int i, const TextesRangee &textes)
{
    RangeeLue lue;
    lue.axe.Lettre = LettreAxe(i);

    lue.axe.Direction = PremierCaractere(textes.direction);
    if (!DirectionValide(lue.axe.Direction)) {
        lue.refus = refuser(i, Colonne::Direction, textes.direction,
                            Textes::tr("La direction doit être un caractère imprimable de "
                                       "la page de code Windows-1252"));
        return lue;
    }

    const auto p = Arrondir(NombreDepuisTexte(textes.pas), PasMin, PasMax);
    if (!p) {
        lue.refus = refuser(i, Colonne::Pas, textes.pas,
                            Textes::tr("Le nombre de pas doit être compris entre %1 et %2")
                                .arg(PasMin)
                                .arg(PasMax));
        return lue;
    }
    lue.axe.Pas = std::int32_t(*p);

    const auto v = Arrondir(NombreDepuisTexte(textes.vitesse), 0, VitesseMax);
    if (!v) {
        lue.refus =
            refuser(i, Colonne::Vitesse, textes.vitesse,
                    Textes::tr("La vitesse doit être comprise entre 0 et %1").arg(VitesseMax));
        return lue;
    }
    lue.axe.Vitesse = std::uint8_t(*v);
    return lue;
}

GrilleLue LireGrille(const TextesGrille &textes)
{
    GrilleLue lue;
    for (int i = 1; i <= NombreAxes; ++i) {
        RangeeLue rangee = LireRangee(i, textes[i]);
        if (rangee.refus) {
            lue.refus = std::move(rangee.refus);
            return lue;
        }
        lue.axes[i] = rangee.axe;
    }
    return lue;
}
