#include "app/options.h"

#include "app/programme.h"
#include "app/version.h"
#include "system/noms.h"

#include <QCommandLineParser>
#include <QFileInfo>

QString OptionPort()
{
    return QStringLiteral("port");
}

std::optional<Echec> LireOptions(QCommandLineParser &parseur, const QStringList &arguments)
{
    parseur.addOptions({
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Affiche cette aide.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Affiche la version.")},
        {OptionPort(), QStringLiteral("Utilise ce périphérique."), QStringLiteral("PERIPHERIQUE")},
    });
    if (!parseur.parse(arguments)) {
        if (const QStringList inconnues = parseur.unknownOptionNames(); !inconnues.isEmpty()) {
            const QString &nom = inconnues.first();
            return Echec{
                QStringLiteral("option inconnue : %1%2")
                    .arg(nom.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), nom)};
        }
        // Qt's text is "Missing value after '--port'.": the name is quoted.
        const QString texte = parseur.errorText();
        const qsizetype debut = texte.indexOf(u'\''), fin = texte.lastIndexOf(u'\'');
        return Echec{QStringLiteral("valeur manquante après %1")
                         .arg(fin > debut ? texte.mid(debut + 1, fin - debut - 1)
                                          : QStringLiteral("une option"))};
    }
    if (parseur.isSet(OptionPort()) && parseur.value(OptionPort()).isEmpty())
        return Echec{QStringLiteral("--port demande un périphérique, par exemple /dev/ttyUSB0")};
    return std::nullopt;
}

std::optional<int>
TraiterOptions(QCommandLineParser &parseur, int argc, char *argv[], const QString &aide,
               const std::function<std::optional<Echec>(const QCommandLineParser &)> &verifier)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << NomLocal(argv[i]); // file and device names reach the system unchanged
    const QString programme = QFileInfo(arguments.value(0)).fileName();
    std::optional<Echec> erreur = LireOptions(parseur, arguments);
    const bool aideOuVersion =
        parseur.isSet(QStringLiteral("help")) || parseur.isSet(QStringLiteral("version"));
    if (!erreur && !aideOuVersion)
        erreur = verifier(parseur);
    if (erreur) {
        Ecrire(stderr,
               QStringLiteral("%1 : %2\nEssayez « %1 --help ».\n").arg(programme, erreur->message));
        return 2;
    }
    if (parseur.isSet(QStringLiteral("help")))
        Ecrire(stdout, aide);
    else if (parseur.isSet(QStringLiteral("version")))
        Ecrire(stdout, QStringLiteral("%1 %2\n").arg(programme, QStringLiteral(TARVIK_VERSION)));
    return aideOuVersion ? std::optional<int>(0) : std::nullopt;
}
