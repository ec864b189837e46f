// The limits reader: accepted limits stay in their ranges, and form back to
// a file that gives the same limits, from nothing as over the file read.
#include "core/limites.h"
#include "invariants.h"

using namespace tarvik::core;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QByteArray contenu(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    const LimitesAnalysees lues = AnalyserLimites(contenu, NiveauLimite::Machine);
    if (lues.echec)
        return 0;
    for (const LimitesAxe &axe : lues.limites.axes) {
        exiger(!axe.pas || (*axe.pas >= 0 && *axe.pas <= PasMax), "pas de 0 à 99999");
        exiger(!axe.vitesse || (*axe.vitesse >= 0 && *axe.vitesse <= VitesseMax),
               "vitesse de 0 à 255");
        exiger(!axe.course || (*axe.course >= 0 && *axe.course <= CourseMax),
               "course de 0 à 99999999");
        if (axe.directions)
            for (QChar c : *axe.directions)
                exiger(DirectionValide(c) && !c.isSpace(), "directions valides, sans blanc");
    }
    for (const QByteArray &avant : {QByteArray(), contenu}) {
        const LimitesAnalysees relues =
            AnalyserLimites(FormerLimites(lues.limites, avant), NiveauLimite::Machine);
        exiger(!relues.echec && relues.limites == lues.limites,
               "des limites formées se relisent les mêmes");
    }
    return 0;
}
