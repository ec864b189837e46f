// Checking a whole grid: 21 texts separated by 0x1F, checked as TEST checks them.
#include "core/fichiers.h"
#include "invariants.h"

#include <QStringList>

using namespace tarvik::core;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QStringList textes =
        QString::fromUtf8(reinterpret_cast<const char *>(donnees), qsizetype(taille))
            .split(QChar(0x1f));
    TextesGrille grille;
    for (std::size_t k = 0; k < grille.size(); ++k)
        grille[k] = {textes.value(3 * int(k)), textes.value(3 * int(k) + 1),
                     textes.value(3 * int(k) + 2)};
    const GrilleVerifiee verifiee = VerifierGrille(grille);
    if (verifiee.echec) {
        const int axe = verifiee.echec->axe;
        exiger(axe >= 1 && axe <= NombreAxes && !verifiee.grille, "le refus nomme son axe");
        const TextesRangee &rangee = grille[std::size_t(axe - 1)];
        const QString &typee = verifiee.echec->colonne == Colonne::Pas         ? rangee.pas
                               : verifiee.echec->colonne == Colonne::Direction ? rangee.direction
                                                                               : rangee.vitesse;
        exiger(verifiee.echec->texte == typee, "le refus cite la case telle que tapée");
        exiger(verifiee.echecs.value(0) == *verifiee.echec, "le premier refus est celui dit");
        return 0;
    }
    verifierSequence(FormerSequence(*verifiee.grille));
    return 0;
}
