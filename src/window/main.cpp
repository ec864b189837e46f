// Tarvik: the control panel of the seven-axis board.
#include "app/options.h"
#include "app/programme.h"
#include "app/signaux.h"
#include "app/version.h"
#include "window/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QSocketNotifier>
#include <QTranslator>

namespace {

const char *const Aide = R"(Utilisation : tarvik [--port PERIPHERIQUE]

Panneau de commande de la carte à sept axes. « TEST » envoie une ligne de
commande par axe, de A à G, à 38400 bauds, 8 bits, sans parité, 1 bit d'arrêt.

Options :
  --port PERIPHERIQUE  envoie sur ce périphérique (/dev/ttyUSB0,
                       /dev/serial/by-id/…, /dev/pts/3) jusqu'à la fermeture
                       du panneau, sans rien enregistrer
  -h, --help           affiche cette aide
  -v, --version        affiche la version

Le port utilisé est, dans l'ordre : celui de --port, celui choisi par
« Initialisation › Choisir le port série… » (enregistré dans
$XDG_CONFIG_HOME/Tarvik/tarvik.conf), le lien /dev/tarvik-port1 s'il existe,
puis /dev/ttyS0 (le port série 1).

Codes de sortie : 0 fenêtre fermée normalement, 2 mauvaise utilisation,
129, 130, 131 ou 143 arrêté par SIGHUP, SIGINT, SIGQUIT ou SIGTERM (une
séquence en cours est abandonnée, le port et ses verrous sont rendus).
)";

} // namespace

int main(int argc, char *argv[])
{
    // The options are decided before the GUI starts: --help and --version
    // need no display.
    OuvrirDescripteursStandard();
    QCommandLineParser options;
    const auto fin = TraiterOptions(
        options, argc, argv, QString::fromUtf8(Aide), [](const auto &o) -> std::optional<Echec> {
            if (o.positionalArguments().isEmpty())
                return std::nullopt;
            return Echec{QStringLiteral("argument inattendu : %1").arg(o.positionalArguments()[0])};
        });
    if (fin)
        return *fin;

    QApplication application(argc, argv);
    NommerApplication();
    QApplication::setApplicationVersion(QStringLiteral(TARVIK_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tarvik/tarvik.png")));
    QApplication::setDesktopFileName(QStringLiteral("org.tarvik.Tarvik"));

    // The panel speaks French, Qt's own dialogs (files, buttons) too.
    QTranslator traductionQt;
    if (traductionQt.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traductionQt);

    Form1 fenetre;
    fenetre.imposerPort(options.value(OptionPort()));
    // A signal ends a run in progress through the link, then the program.
    const int reveil = EcouterSignaux();
    fenetre.MSComm1().setReveil(reveil);
    QSocketNotifier signaux(reveil, QSocketNotifier::Read);
    signaux.setEnabled(reveil >= 0);
    QObject::connect(&signaux, &QSocketNotifier::activated, &application,
                     [] { QApplication::exit(128 + SignalRecu()); });
    fenetre.show();
    return QApplication::exec();
}
