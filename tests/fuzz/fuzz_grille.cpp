// Checking a whole grid: 21 texts separated by 0x1F, read as TEST reads them.
#include "core/grille.h"
#include "invariants.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QStringList textes =
        QString::fromUtf8(reinterpret_cast<const char *>(donnees), qsizetype(taille))
            .split(QChar(0x1f));
    QByteArray sequence;
    for (int i = 1; i <= NombreAxes; ++i) {
        const auto texte = [&](int colonne) {
            return textes.value(3 * (i - 1) + colonne);
        };
        const RangeeLue lue = LireRangee(i, {texte(0), texte(1), texte(2)});
        if (lue.refus) {
            exiger(lue.refus->axe == i, "le refus nomme son axe");
            exiger(lue.refus->message.contains(QStringLiteral("Axe 0%1").arg(i)), "message");
            return 0;
        }
        sequence += OctetsLigne(lue.axe);
    }
    verifierSequence(sequence);
    return 0;
}
