// What every accepted grid or file must turn into: seven lines of exactly 12
// bytes, letters A to G in order, a printable direction byte, five digits,
// ":", three digits, a line feed. A breach stops the fuzzer.
#pragma once

#include <QByteArray>
#include <cstdio>
#include <cstdlib>

inline void exiger(bool condition, const char *quoi)
{
    if (!condition) {
        std::fprintf(stderr, "invariant rompu : %s\n", quoi);
        std::abort();
    }
}

inline bool chiffre(char c)
{
    return c >= '0' && c <= '9';
}

// A byte that Windows-1252 prints: not a control, not one of its five holes.
inline bool imprimable1252(unsigned char o)
{
    return o >= 0x20 && o != 0x7f && o != 0x81 && o != 0x8d && o != 0x8f && o != 0x90 && o != 0x9d;
}

inline void verifierLigne(const QByteArray &l, int axe)
{
    exiger(l.size() == 12, "12 octets par ligne");
    exiger(l[0] == char('A' + axe - 1), "lettre A à G dans l'ordre");
    exiger(imprimable1252(static_cast<unsigned char>(l[1])), "direction imprimable");
    for (int k = 2; k < 7; ++k)
        exiger(chiffre(l[k]), "cinq chiffres de pas");
    exiger(l[7] == ':', "deux-points");
    for (int k = 8; k < 11; ++k)
        exiger(chiffre(l[k]), "trois chiffres de vitesse");
    exiger(l.mid(8, 3).toInt() <= 255, "vitesse au plus 255");
    exiger(l[11] == '\n', "saut de ligne final");
}

inline void verifierSequence(const QByteArray &octets)
{
    exiger(octets.size() == 84, "84 octets par séquence");
    for (int axe = 1; axe <= 7; ++axe)
        verifierLigne(octets.mid(12 * (axe - 1), 12), axe);
}

// The lines of `contenu` a refusal may name: each one, the last even when
// unended, and the one awaited after it.
inline qsizetype LignesNommables(const QByteArray &contenu)
{
    return contenu.count('\n') + 2;
}
