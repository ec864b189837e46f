#include "app/langue.h"

#include "core/langues.h"
#include "core/noms.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tarvik::app {

QString LangueDuSysteme()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString valeur = QString::fromLatin1(qgetenv(variable));
        if (valeur.isEmpty())
            continue;
        for (const Langue &langue : Langues()) // the first one set decides
            if (valeur.startsWith(langue.code))
                return langue.code;
        break;
    }
    return Langues().first().code;
}

QString ChoisirLangue(int argc, char *argv[], const Reglages &reglages)
{
    for (int i = 1; i < argc; ++i) {
        const QString argument = NomLocal(argv[i]);
        if (argument == QLatin1String("--"))
            break;
        QString valeur;
        if (argument == QLatin1String("--langue") && i + 1 < argc)
            valeur = NomLocal(argv[i + 1]);
        else if (argument.startsWith(QLatin1String("--langue=")))
            valeur = argument.mid(9);
        if (LangueDeCode(valeur))
            return valeur;
    }
    if (LangueDeCode(reglages.langue))
        return reglages.langue;
    return LangueDuSysteme();
}

void InstallerLangue(const QString &code)
{
    static QTranslator nos;
    QCoreApplication::removeTranslator(&nos);
    if (code != Langues().first().code && nos.load(QStringLiteral(":/i18n/tarvik_%1.qm").arg(code)))
        QCoreApplication::installTranslator(&nos);
}

void InstallerTextesDeQt(const QString &code)
{
    static QTranslator ceuxDeQt;
    QCoreApplication::removeTranslator(&ceuxDeQt);
    if (code != QLatin1String("en") &&
        ceuxDeQt.load(QLocale(code), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&ceuxDeQt);
}

} // namespace tarvik::app
