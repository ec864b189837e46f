// What the tests expect on the wire, and files written and read whole.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// The grid's lines as the panel starts: every axis at rest, speed 2.
inline QStringList lignesInitiales()
{
    QStringList lignes;
    for (QChar lettre : QStringLiteral("ABCDEFG"))
        lignes << lettre + QStringLiteral("+00000:002");
    return lignes;
}

inline QByteArray surLeFil(const QStringList &lignes)
{
    return (lignes.join(u'\n') + u'\n').toLatin1();
}

inline bool ecrireFichier(const QString &chemin, const QByteArray &contenu)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(contenu) == contenu.size();
}

inline QByteArray lireFichier(const QString &chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
