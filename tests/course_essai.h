// Programs written in a line, for the tests of where a run takes the axes.
#pragma once

#include "core/course.h"

#include <QStringList>

using namespace tarvik::core;

// A program from its steps, separated by " ; ", each as its moves ("B+100
// C-5", "prise: Bx0", "B_0" for a blank direction), a name before a colon;
// the axes not named stay.
inline Programme programme(const QString &etapes)
{
    QByteArray texte = "programme tarvik 1\n";
    const QStringList liste = etapes.split(u'|');
    for (qsizetype k = 0; k < liste.size(); ++k) {
        QStringList lignes;
        for (int numero = 1; numero <= NombreAxes; ++numero)
            lignes << QString(LettreAxe(numero)) + QStringLiteral("+00000:002");
        const QString nom = liste[k].section(u':', 0, -2), mouvements = liste[k].section(u':', -1);
        for (const QString &m : mouvements.split(u' ', Qt::SkipEmptyParts))
            lignes[m[0].unicode() - u'A'] =
                m.left(2).replace(u'_', u' ') + TextePas(m.mid(2).toInt()) + QStringLiteral(":002");
        texte += "\netape " + nom.toUtf8() + '\n' + lignes.join(u'\n').toLatin1() + '\n';
        if (k + 1 < liste.size())
            texte += "attendre 0\n";
    }
    const ProgrammeAnalyse lu = AnalyserProgramme(texte);
    if (!lu.programme)
        qFatal("programme d'essai refusé, ligne %lld", qlonglong(lu.echec->ligne));
    return *lu.programme;
}

// French typography's no-break spaces, as plain ones.
inline QString espaces(QString texte)
{
    return texte.replace(QChar(0xA0), u' ');
}
