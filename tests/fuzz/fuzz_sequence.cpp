// The sequence-file parser: an accepted file gives a grid that TEST accepts
// as well, from the texts its boxes would show, and that sends exactly the
// file's seven lines.
#include "core/fichiers.h"
#include "invariants.h"

using namespace tarvik::core;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QByteArray contenu(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    const SequenceAnalysee analysee = AnalyserSequence(contenu);
    if (analysee.echec) {
        exiger(analysee.echec->ligne >= 1 && analysee.echec->ligne <= LignesNommables(contenu),
               "le refus nomme sa ligne");
        return 0;
    }
    TextesGrille textes;
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        const Axe &axe = analysee.grille->axe(numero);
        textes[std::size_t(numero - 1)] = {TextePas(axe.Pas), QString(axe.Direction),
                                           TexteVitesse(axe.Vitesse)};
    }
    const GrilleVerifiee verifiee = VerifierGrille(textes);
    exiger(!verifiee.echec && *verifiee.grille == *analysee.grille,
           "un fichier accepté donne une grille acceptée, la même");
    const QByteArray octets = FormerSequence(*analysee.grille);
    verifierSequence(octets);
    QByteArray lignes = contenu;
    lignes.replace("\r\n", "\n");
    exiger(lignes.startsWith(octets), "les octets envoyés sont ceux du fichier");
    return 0;
}
