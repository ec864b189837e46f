// Tarvik: the control panel of the seven-axis board.
#include "app/demarrage.h"
#include "app/executable.h"
#include "app/formulation.h"
#include "app/langue.h"
#include "app/options.h"
#include "app/poste_envoi.h"
#include "app/signaux.h"
#include "app/version.h"
#include "core/fichiers.h"
#include "core/langues.h"
#include "core/programme.h"
#include "system/lecture.h"
#include "system/noms.h"
#include "window/disposition.h"
#include "window/main_window.h"
#include "window/menus_panneau.h"
#include "window/style_panneau.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSocketNotifier>

namespace tarvik::window {

namespace {

const char *const Aide = QT_TRANSLATE_NOOP(
    "Aide", R"(Utilisation : tarvik [--port PERIPHERIQUE] [--langue LANGUE] [FICHIER]

Panneau de commande de la carte à sept axes. « TEST » envoie une ligne de
commande par axe, de A à G, à 38400 bauds, 8 bits, sans parité, 1 bit d'arrêt.

FICHIER s'ouvre au démarrage, sans rien envoyer : un programme (.prog) dans la
fenêtre « Programme », tout autre fichier comme une séquence dans la grille.
S'il ne peut pas être lu ou s'il est refusé, la raison est dite sur la sortie
d'erreur et le panneau ne démarre pas.

Options :
  --port PERIPHERIQUE  envoie sur ce périphérique (/dev/ttyUSB0,
                       /dev/serial/by-id/…, /dev/pts/3) jusqu'à la fermeture
                       du panneau, sans rien enregistrer
  --langue LANGUE      parle cette langue, parmi : %1 ;
                       sinon celle choisie par « Initialisation › Langue »,
                       sinon celle du système (LC_ALL, LC_MESSAGES, LANG),
                       le français par défaut
  -h, --help           affiche cette aide
  -v, --version        affiche la version

Le port utilisé est, dans l'ordre : celui de --port, celui choisi par
« Initialisation › Choisir le port série… » (enregistré dans
$XDG_CONFIG_HOME/Tarvik/tarvik.conf), le lien /dev/tarvik-port1 s'il existe,
puis /dev/ttyS0 (le port série 1).

Codes de sortie : 0 fenêtre fermée normalement, 1 FICHIER illisible ou
refusé, 2 mauvaise utilisation (option inconnue, sans valeur ou donnée deux
fois, plus d'un fichier), 129, 130, 131 ou 143
arrêté par SIGHUP, SIGINT, SIGQUIT ou SIGTERM (une séquence en cours est
abandonnée, le port et ses verrous sont rendus).
)");

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Tarvik)
};

// The file named on the command line, read as the panel opens it: why it
// cannot be, or nothing.
std::optional<Echec> verifierFichier(const QString &chemin)
{
    const bool programme = chemin.endsWith(QLatin1String(".prog"));
    const FichierLu lu = LireFichier(chemin, programme ? TailleMaxProgramme : TailleMaxFichier);
    if (lu.echec)
        return Echec{Formuler(*lu.echec)};
    if (programme) {
        if (const auto echec = AnalyserProgramme(lu.contenu).echec)
            return Echec{Formuler(*echec)};
    } else if (const auto echec = AnalyserSequence(lu.contenu).echec) {
        return Echec{Formuler(*echec)};
    }
    return std::nullopt;
}

// Reads the options before the GUI starts: --help, --version and wrong usage
// are answered with no display. The exit code when the program ends there.
std::optional<int> analyserOptions(QCommandLineParser &options, int argc, char *argv[],
                                   const QString &langue)
{
    QCoreApplication lecture(argc, argv);
    InstallerLangue(langue);
    const auto code = TraiterOptions(
        options, argc, argv, QCoreApplication::translate("Aide", Aide).arg(CodesDesLangues()),
        [](const auto &o) -> std::optional<Echec> {
            if (o.positionalArguments().size() <= 1)
                return std::nullopt;
            return Echec{Mots::tr("argument inattendu : %1").arg(o.positionalArguments()[1])};
        });
    if (code || options.positionalArguments().isEmpty())
        return code;
    // No window for a file that cannot be opened.
    const QString chemin = options.positionalArguments()[0];
    if (const auto echec = verifierFichier(chemin)) {
        Ecrire(stderr, Mots::tr("tarvik : « %1 » n'a pas été ouvert : %2.\n")
                           .arg(NomLisible(chemin), echec->message));
        return 1;
    }
    return std::nullopt;
}

} // namespace

} // namespace tarvik::window

int main(int argc, char *argv[])
{
    using namespace tarvik::window;
    OuvrirDescripteursStandard();
    const Demarrage demarrage = Demarrer(argc, argv); // the settings, read once
    QCommandLineParser options;
    if (const auto code = analyserOptions(options, argc, argv, demarrage.langue))
        return *code;
    const QString fichier = options.positionalArguments().value(0);

    QApplication application(argc, argv);
    InstallerLangue(demarrage.langue);
    InstallerTextesDeQt(demarrage.langue); // the dialogs' standard buttons follow
    NommerApplication();
    QApplication::setApplicationVersion(QStringLiteral(TARVIK_VERSION));
    QApplication::setWindowIcon(IconeTarvik());
    InstallerStylePanneau();
    QApplication::setDesktopFileName(QStringLiteral("org.tarvik.Tarvik"));

    PosteEnvoi poste(QStringLiteral("tarvik"));
    poste.setLimites(LireLimites()); // worded when said, in the language installed
    poste.setPort(DeterminerPort(options.value(OptionPort()), demarrage.reglages));
    // A signal ends a run in progress through the link, journaled, then the
    // program.
    const int reveil = EcouterSignaux();
    poste.setReveil(reveil);
    Form1 fenetre(poste);
    MenusPanneau menus(fenetre, poste, demarrage.reglages);
    QSocketNotifier signaux(reveil, QSocketNotifier::Read);
    signaux.setEnabled(reveil >= 0);
    QObject::connect(&signaux, &QSocketNotifier::activated, &application, [&poste] {
        const int signal = SignalRecu();
        poste.interrompre();
        QApplication::exit(128 + signal);
    });
    fenetre.show();
    // A program's window goes beside the panel: once the panel is placed.
    if (!fichier.isEmpty())
        QuandAPlace(fenetre, [&menus, fichier] { menus.ouvrirFichier(fichier); });
    return QApplication::exec();
}
