// A grid where every row differs from the initial one, and the sequence file
// it gives: the same seven lines the board receives.
#pragma once

#include <QByteArray>
#include <QStringList>

// A grid where every row differs from the initial one.
inline const QStringList GrilleVariee = {
    QStringLiteral("00001"), QStringLiteral("+"),      QStringLiteral("001"),
    QStringLiteral("00100"), QStringLiteral("-"),      QStringLiteral("010"),
    QStringLiteral("99999"), QStringLiteral("\u20ac"), QStringLiteral("255"),
    QStringLiteral("00250"), QStringLiteral(" "),      QStringLiteral("000"),
    QStringLiteral("12345"), QStringLiteral("\u00e9"), QStringLiteral("128"),
    QStringLiteral("00000"), QStringLiteral("<"),      QStringLiteral("002"),
    QStringLiteral("54321"), QStringLiteral(">"),      QStringLiteral("099"),
};

inline const QByteArray SequenceVariee = "A+00001:001\nB-00100:010\nC\x80"
                                         "99999:255\nD 00250:000\nE\xe9"
                                         "12345:128\nF<00000:002\nG>54321:099\n";
