// The sequence-file reader: an accepted file fills a grid that TEST accepts
// and that sends exactly the file's seven lines.
#include "core/fichiers.h"
#include "invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QByteArray contenu(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    const SequenceLue lue = LireSequence(contenu);
    if (lue.echec) {
        exiger(lue.echec->message.startsWith(QStringLiteral("Ligne ")), "le refus nomme sa ligne");
        return 0;
    }
    std::array<Axe, NombreAxes + 1> axes{};
    for (int i = 1; i <= NombreAxes; ++i) {
        const TextesRangee &r = lue.rangees[i];
        const RangeeLue rangee = LireRangee(i, r);
        exiger(!rangee.refus, "un fichier accepté donne une grille acceptée");
        axes[i] = rangee.axe;
    }
    const QByteArray octets = EcrireSequence(axes);
    verifierSequence(octets);
    QByteArray lignes = contenu;
    lignes.replace("\r\n", "\n");
    exiger(lignes.startsWith(octets), "les octets envoyés sont ceux du fichier");
    return 0;
}
