// The settings reader: accepted settings form back to a file that gives the
// same settings, from nothing as over the file read; a saved port is a path
// the checks take.
#include "core/reglages.h"
#include "invariants.h"

using namespace tarvik::core;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QByteArray contenu(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    const ReglagesAnalyses lus = AnalyserReglages(contenu);
    if (lus.echec)
        return 0;
    exiger(lus.reglages.port.isEmpty() || !VerifierChemin(lus.reglages.port),
           "un port lu est un chemin accepté");
    for (const QByteArray &avant : {QByteArray(), contenu}) {
        const ReglagesAnalyses relus = AnalyserReglages(FormerReglages(lus.reglages, avant));
        exiger(!relus.echec && relus.reglages.port == lus.reglages.port &&
                   relus.reglages.langue == lus.reglages.langue &&
                   relus.reglages.designation == lus.reglages.designation &&
                   relus.reglages.journalSysteme == lus.reglages.journalSysteme,
               "des réglages formés se relisent les mêmes");
    }
    return 0;
}
