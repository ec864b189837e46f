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

QStringList Grille::lignes() const
{
    QStringList lignes;
    for (const Axe &axe : m_axes)
        lignes << LigneAxe(axe);
    return lignes;
}

RangeeVerifiee VerifierRangee(int numero, const TextesRangee &textes)
{
    RangeeVerifiee verifiee;
    verifiee.axe.Lettre = LettreAxe(numero);

    verifiee.axe.Direction = PremierCaractere(textes.direction);
    if (!DirectionValide(verifiee.axe.Direction)) {
        verifiee.echec = refuser(numero, Colonne::Direction, textes.direction,
                                 Textes::tr("La direction doit être un caractère imprimable de "
                                            "la page de code Windows-1252"));
        return verifiee;
    }

    const auto p = Arrondir(NombreDepuisTexte(textes.pas), PasMin, PasMax);
    if (!p) {
        verifiee.echec = refuser(numero, Colonne::Pas, textes.pas,
                                 Textes::tr("Le nombre de pas doit être compris entre %1 et %2")
                                     .arg(PasMin)
                                     .arg(PasMax));
        return verifiee;
    }
    verifiee.axe.Pas = std::int32_t(*p);

    const auto v = Arrondir(NombreDepuisTexte(textes.vitesse), 0, VitesseMax);
    if (!v) {
        verifiee.echec =
            refuser(numero, Colonne::Vitesse, textes.vitesse,
                    Textes::tr("La vitesse doit être comprise entre 0 et %1").arg(VitesseMax));
        return verifiee;
    }
    verifiee.axe.Vitesse = std::uint8_t(*v);
    return verifiee;
}

GrilleVerifiee VerifierGrille(const TextesGrille &textes)
{
    GrilleVerifiee verifiee;
    std::array<Axe, NombreAxes> axes{};
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        RangeeVerifiee rangee = VerifierRangee(numero, textes[std::size_t(numero - 1)]);
        if (rangee.echec) {
            verifiee.echec = std::move(rangee.echec);
            return verifiee;
        }
        axes[std::size_t(numero - 1)] = rangee.axe;
    }
    verifiee.grille = Grille(axes);
    return verifiee;
}
