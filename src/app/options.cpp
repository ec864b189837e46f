#include "app/options.h"

#include "app/executable.h"
#include "app/version.h"
#include "core/langues.h"
#include "system/noms.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace tarvik::app {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Options)
};

// The first option given a second time, by whichever of its names, as it
// was written; empty when each is given once at most.
QString optionRepetee(const QCommandLineParser &parseur)
{
    QStringList vues;
    for (const QString &nom : parseur.optionNames()) {
        const QString option = nom == QLatin1String("h")   ? QStringLiteral("help")
                               : nom == QLatin1String("v") ? QStringLiteral("version")
                                                           : nom;
        if (vues.contains(option))
            return (nom.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + nom;
        vues << option;
    }
    return {};
}

} // namespace

QString OptionPort()
{
    return QStringLiteral("port");
}

std::optional<Echec> AnalyserOptions(QCommandLineParser &parseur, const QStringList &arguments)
{
    parseur.addOptions({
        {{QStringLiteral("h"), QStringLiteral("help")}, Mots::tr("Affiche cette aide.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, Mots::tr("Affiche la version.")},
        {OptionPort(), Mots::tr("Utilise ce périphérique."), QStringLiteral("PERIPHERIQUE")},
        {QStringLiteral("langue"), Mots::tr("Parle cette langue (%1).").arg(CodesDesLangues()),
         QStringLiteral("LANGUE")},
    });
    if (!parseur.parse(arguments)) {
        if (const QStringList inconnues = parseur.unknownOptionNames(); !inconnues.isEmpty()) {
            const QString &nom = inconnues.first();
            return Echec{
                Mots::tr("option inconnue : %1%2")
                    .arg(nom.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), nom)};
        }
        // The other refusal: an option that takes a value ends the line.
        const QString derniere = arguments.value(arguments.size() - 1);
        return Echec{Mots::tr("valeur manquante après %1")
                         .arg(derniere.startsWith(u'-') ? derniere : Mots::tr("une option"))};
    }
    // Which of the two would win is anyone's guess: neither does.
    if (const QString repetee = optionRepetee(parseur); !repetee.isEmpty())
        return Echec{Mots::tr("l'option %1 est donnée deux fois").arg(repetee)};
    if (parseur.isSet(OptionPort()) && parseur.value(OptionPort()).isEmpty())
        return Echec{Mots::tr("--port demande un périphérique, par exemple /dev/ttyUSB0")};
    if (parseur.isSet(QStringLiteral("langue")) &&
        !LangueDeCode(parseur.value(QStringLiteral("langue"))))
        return Echec{Mots::tr("--langue prend %1, et non « %2 »")
                         .arg(CodesDesLangues(), parseur.value(QStringLiteral("langue")))};
    return std::nullopt;
}

std::optional<int>
TraiterOptions(QCommandLineParser &parseur, int argc, char *argv[], const QString &aide,
               const std::function<std::optional<Echec>(const QCommandLineParser &)> &verifier)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << NomLocal(argv[i]); // file and device names reach the system unchanged
    const QString executable = QFileInfo(arguments.value(0)).fileName();
    std::optional<Echec> erreur = AnalyserOptions(parseur, arguments);
    const bool aideOuVersion =
        parseur.isSet(QStringLiteral("help")) || parseur.isSet(QStringLiteral("version"));
    if (!erreur && !aideOuVersion)
        erreur = verifier(parseur);
    if (erreur) {
        Ecrire(stderr,
               Mots::tr("%1 : %2\nEssayez « %1 --help ».\n").arg(executable, erreur->message));
        return 2;
    }
    if (parseur.isSet(QStringLiteral("help")))
        Ecrire(stdout, aide);
    else if (parseur.isSet(QStringLiteral("version")))
        Ecrire(stdout, QStringLiteral("%1 %2\n").arg(executable, QStringLiteral(TARVIK_VERSION)));
    return aideOuVersion ? std::optional<int>(0) : std::nullopt;
}

} // namespace tarvik::app
