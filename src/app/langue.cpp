#include "app/langue.h"

#include "port/reglages.h"
#include "system/noms.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

std::optional<Langue> LangueDeCode(const QString &code)
{
    if (code == QLatin1String("fr"))
        return Langue::Francais;
    if (code == QLatin1String("en"))
        return Langue::Anglais;
    return std::nullopt;
}

QString CodeDeLangue(Langue langue)
{
    return langue == Langue::Anglais ? QStringLiteral("en") : QStringLiteral("fr");
}

Langue LangueDuSysteme()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray valeur = qgetenv(variable);
        if (!valeur.isEmpty()) // the first one set decides
            return valeur.startsWith("en") ? Langue::Anglais : Langue::Francais;
    }
    return Langue::Francais;
}

Langue ChoisirLangue(int argc, char *argv[])
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
        if (const auto langue = LangueDeCode(valeur))
            return *langue;
    }
    if (const auto enregistree = LangueDeCode(LireReglagesEnregistres().langue))
        return *enregistree;
    return LangueDuSysteme();
}

void InstallerLangue(Langue langue)
{
    static QTranslator nos;
    QCoreApplication::removeTranslator(&nos);
    if (langue == Langue::Anglais && nos.load(QStringLiteral(":/i18n/tarvik_en.qm")))
        QCoreApplication::installTranslator(&nos);
}

void InstallerTextesDeQt(Langue langue)
{
    static QTranslator ceuxDeQt;
    QCoreApplication::removeTranslator(&ceuxDeQt);
    if (langue == Langue::Francais &&
        ceuxDeQt.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&ceuxDeQt);
}
