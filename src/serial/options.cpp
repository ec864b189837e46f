#include "serial/options.h"

#include "sequence/acces_fichiers.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

QString OptionPort()
{
    return QStringLiteral("port");
}

QString LireOptions(QCommandLineParser &parseur, const QStringList &arguments)
{
    parseur.addOptions({
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Affiche cette aide.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Affiche la version.")},
        {OptionPort(), QStringLiteral("Utilise ce périphérique."), QStringLiteral("PERIPHERIQUE")},
    });
    if (!parseur.parse(arguments)) {
        if (const QStringList inconnues = parseur.unknownOptionNames(); !inconnues.isEmpty()) {
            const QString &nom = inconnues.first();
            return QStringLiteral("option inconnue : %1%2")
                .arg(nom.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), nom);
        }
        // Qt's text is "Missing value after '--port'.": the name is quoted.
        const QString texte = parseur.errorText();
        const qsizetype debut = texte.indexOf(u'\''), fin = texte.lastIndexOf(u'\'');
        return QStringLiteral("valeur manquante après %1")
            .arg(fin > debut ? texte.mid(debut + 1, fin - debut - 1)
                             : QStringLiteral("une option"));
    }
    if (parseur.isSet(OptionPort()) && parseur.value(OptionPort()).isEmpty())
        return QStringLiteral("--port demande un périphérique, par exemple /dev/ttyUSB0");
    return {};
}

std::optional<int>
TraiterOptions(QCommandLineParser &parseur, int argc, char *argv[], const QString &aide,
               const std::function<QString(const QCommandLineParser &)> &verifier)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << NomLocal(argv[i]); // file and device names reach the system unchanged
    const QString programme = QFileInfo(arguments.value(0)).fileName();
    QString erreur = LireOptions(parseur, arguments);
    const bool aideOuVersion =
        parseur.isSet(QStringLiteral("help")) || parseur.isSet(QStringLiteral("version"));
    if (erreur.isEmpty() && !aideOuVersion)
        erreur = verifier(parseur);
    if (!erreur.isEmpty()) {
        Ecrire(stderr, QStringLiteral("%1 : %2\nEssayez « %1 --help ».\n").arg(programme, erreur));
        return 2;
    }
    if (parseur.isSet(QStringLiteral("help")))
        Ecrire(stdout, aide);
    else if (parseur.isSet(QStringLiteral("version")))
        Ecrire(stdout, QStringLiteral("%1 " TARVIK_VERSION "\n").arg(programme));
    return aideOuVersion ? std::optional<int>(0) : std::nullopt;
}

int Ecrire(std::FILE *flux, const QString &texte)
{
    errno = 0;
    const bool ecrit = std::fputs(texte.toLocal8Bit().constData(), flux) >= 0 &&
                       std::fflush(flux) == 0 && !std::ferror(flux);
    const int erreur = ecrit ? 0 : (errno ? errno : EIO);
    std::clearerr(flux);
    return erreur;
}

DescripteursStandard OuvrirDescripteursStandard()
{
    bool ferme[3] = {};
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        ferme[fd] = true;
        // The lowest free number: this one.
        if (const int nul = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
            nul != fd && nul >= 0)
            ::close(nul);
    }
    return {ferme[0], ferme[1], ferme[2]};
}
