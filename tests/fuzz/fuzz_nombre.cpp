// Reading a number from any text, then rounding and range checks.
#include "core/axes.h"
#include "invariants.h"

#include <cmath>

using namespace tarvik::core;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QString texte =
        QString::fromUtf8(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    const double valeur = NombreDepuisTexte(texte);
    exiger(!std::isnan(valeur), "jamais NaN");
    for (const auto &[min, max] : {std::pair<int, int>{PasMin, PasMax}, {0, VitesseMax}}) {
        if (const auto arrondi = Arrondir(valeur, min, max)) {
            exiger(*arrondi >= min && *arrondi <= max, "dans les bornes");
            exiger(std::fabs(valeur - double(*arrondi)) <= 0.5, "au plus proche");
        }
    }
    return 0;
}
