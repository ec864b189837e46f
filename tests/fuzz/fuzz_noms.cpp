// The axis-name parser: accepted names are short, printable and trimmed.
#include "core/fichiers.h"
#include "invariants.h"

#include <QList>

using namespace tarvik::core;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const NomsAnalyses lus =
        AnalyserNomsAxes(QByteArray(reinterpret_cast<const char *>(donnees), qsizetype(taille)));
    if (lus.echec) {
        const QByteArray contenu(reinterpret_cast<const char *>(donnees), qsizetype(taille));
        exiger(lus.echec->ligne >= 1 && lus.echec->ligne <= LignesNommables(contenu),
               "le refus nomme sa ligne");
        return 0;
    }
    for (const QString &nom : lus.noms) {
        exiger(nom.toUcs4().size() <= LongueurMaxNom, "40 caractères au plus");
        exiger(nom == nom.trimmed(), "sans blancs autour");
        for (QChar c : nom)
            exiger(c.category() != QChar::Other_Control, "sans caractère de contrôle");
    }
    return 0;
}
