// tarvik-envoyer: sends a saved sequence to the board without a window, as
// TEST sends a grid, for scripts and machines without a screen.
#include "envoyeur.h"
#include "impression.h"

#include "app/consignation.h"
#include "app/demarrage.h"
#include "app/executable.h"
#include "app/formulation.h"
#include "app/langue.h"
#include "app/options.h"
#include "app/poste_envoi.h"
#include "app/signaux.h"
#include "core/fichiers.h"
#include "core/langues.h"
#include "system/fichier_limites.h"
#include "system/lecture.h"
#include "system/noms.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>

#include <csignal>
#include <poll.h>
#include <unistd.h>

namespace tarvik::cli {

namespace {

const char *const Aide = QT_TRANSLATE_NOOP(
    "Aide", R"(Utilisation : tarvik-envoyer FICHIER [--port PERIPHERIQUE] [--attendre SECONDES]
                             [--depuis N] [--repeter N] [--langue LANGUE]
              tarvik-envoyer --verifier FICHIER [--port PERIPHERIQUE]
                             [--depuis N] [--repeter N]

Envoie à la carte les sept lignes d'un fichier de séquence (.seq), comme
« TEST » les envoie depuis le panneau : le fichier entier est vérifié avant
l'ouverture du port, avec les mêmes verrous, la même attente de vidage et la
même limite de 2 s. FICHIER « - » lit l'entrée standard jusqu'à sa fin, même
lente ou non bloquante. Les lignes envoyées s'affichent sur la sortie
standard, les messages sur la sortie d'erreur.

FICHIER peut aussi être un programme (.prog) : ses étapes partent l'une après
l'autre, avec les attentes qu'il donne, le port gardé du début à la fin.
L'avancement s'affiche sur la sortie d'erreur quand c'est un terminal.
SIGINT (Ctrl+C) arrête le programme comme « Arrêter » dans le panneau : plus
rien n'est envoyé, mais des lignes remises au port ne se rappellent pas ;
pour arrêter la machine, utilisez son arrêt d'urgence.

Options :
  --port PERIPHERIQUE  envoie sur ce périphérique au lieu du port choisi
  --verifier FICHIER   vérifie seulement, affiche les lignes qui seraient
                       envoyées (pour un programme : chaque étape, puis le
                       total des attentes) et nomme (sur la sortie d'erreur)
                       le port où elles partiraient, sans ouvrir aucun
                       port ; accepte les mêmes options que l'envoi
  --attendre SECONDES  attend, au plus ce nombre de secondes, que le port
                       soit présent et libre, en disant sur la sortie
                       d'erreur ce qu'il attend, puis envoie ; rien n'est
                       jamais renvoyé
  --depuis N           commence le programme à l'étape N (la première est 1)
  --repeter N          parcourt le programme N fois (de 1 à 10000) au lieu
                       du nombre qu'il donne ; les parcours suivants
                       reprennent à la première étape
  --langue LANGUE      parle cette langue, parmi : %1 ;
                       sinon celle choisie dans le panneau, sinon celle du
                       système (LC_ALL, LC_MESSAGES, LANG), le français par
                       défaut. Les octets envoyés ne changent jamais.
  -h, --help           affiche cette aide
  -v, --version        affiche la version

Le port utilisé est, dans l'ordre : celui de --port, celui choisi dans le
panneau (« Initialisation › Choisir le port série… »), le lien
/dev/tarvik-port1 s'il existe, puis /dev/ttyS0 (le port série 1). Des
réglages illisibles ne mènent jamais au port série 1 : l'envoi est refusé.

Les limites des axes (celles de la machine, /etc/xdg/Tarvik/limites.conf,
et les vôtres) valent ici comme dans le panneau : chaque valeur qui les
dépasse est nommée, et rien n'est envoyé.

Si la sortie standard est pleine ou fermée, un envoi garde son code (la
carte a reçu les lignes) et la sortie d'erreur le signale ; --verifier,
dont c'est tout le travail, échoue avec le code 5.

Codes de sortie :
  0    séquence ou programme envoyé et vidé (ou, avec --verifier, fichier
       valide)
  1    fichier refusé, rien n'a été envoyé
  2    mauvaise utilisation (option inconnue ou donnée deux fois, fichier
       manquant ou en trop, entrée standard fermée avec « - », --depuis
       au-delà de la dernière étape)
  3    port refusé ou indisponible, rien n'a été envoyé (avec --attendre :
       encore absent ou occupé au bout de l'attente ; avec --verifier :
       réglages illisibles, l'envoi serait refusé)
  4    échec pendant l'écriture, port débranché compris (les lignes parties
       sont nommées ; pour un programme, l'étape aussi, et rien n'est
       envoyé après elle)
  5    --verifier n'a pas pu écrire les lignes sur la sortie standard
  6    hors limites : une valeur dépasse les limites des axes, ou un fichier
       de limites est douteux ; rien n'a été envoyé
  129, 130, 131, 143
       interrompu par SIGHUP, SIGINT, SIGQUIT ou SIGTERM (128 + le numéro du
       signal) : ce qui attendait est abandonné, le port et ses verrous
       rendus ; pendant la lecture de l'entrée standard, rien n'est envoyé

Chaque envoi qui a passé la vérification du fichier laisse une ligne dans le
journal des envois, $XDG_STATE_HOME/tarvik/journal.log ; une ligne par étape
pour un programme (FICHIER:N, N le numéro de l'étape).
)");

// The longest wait --attendre takes: a day.
constexpr int AttenteMaxS = 86400;

// The seconds --attendre gives, when they are a number of them in bounds.
std::optional<double> secondesDAttente(const QCommandLineParser &o)
{
    bool lu = false;
    const double secondes = o.value(QStringLiteral("attendre")).toDouble(&lu);
    if (!lu || !(secondes >= 0 && secondes <= AttenteMaxS))
        return std::nullopt;
    return secondes;
}

// The whole number an option gives, from 1 to `max`.
std::optional<int> entier(const QCommandLineParser &o, const char *option, int max)
{
    const QString texte = o.value(QLatin1String(option));
    bool lu = false;
    const int n = texte.toInt(&lu);
    if (!lu || n < 1 || n > max || texte != QString::number(n))
        return std::nullopt;
    return n;
}

// The usage the options describe, or why not.
std::optional<Echec> verifierUsage(const QCommandLineParser &o,
                                   const DescripteursStandard &standard)
{
    const QStringList fichiers = o.positionalArguments();
    const bool verifier = o.isSet(QStringLiteral("verifier"));
    if (fichiers.size() > (verifier ? 0 : 1))
        return Echec{Mots::tr("un seul fichier à la fois")};
    if (!verifier && fichiers.isEmpty())
        return Echec{Mots::tr("il manque le fichier de séquence")};
    const QString chemin = verifier ? o.value(QStringLiteral("verifier")) : fichiers[0];
    if (chemin == QLatin1String("-") && standard.entreeFermee)
        return Echec{Mots::tr("l'entrée standard est fermée : donnez le fichier par son nom")};
    if (o.isSet(QStringLiteral("attendre")) && !secondesDAttente(o))
        return Echec{Mots::tr("--attendre prend un nombre de secondes, de 0 à %1, et non « %2 »")
                         .arg(AttenteMaxS)
                         .arg(o.value(QStringLiteral("attendre")))};
    for (const auto &[option, max] : {std::pair{"depuis", EtapesMax}, {"repeter", RepetitionsMax}})
        if (o.isSet(QLatin1String(option)) && !entier(o, option, max))
            return Echec{Mots::tr("--%1 prend un nombre entier de 1 à %2, et non « %3 »")
                             .arg(QLatin1String(option))
                             .arg(max)
                             .arg(o.value(QLatin1String(option)))};
    return std::nullopt;
}

// A reason as the start of a sentence.
QString majuscule(QString texte)
{
    if (!texte.isEmpty())
        texte[0] = texte[0].toUpper();
    return texte;
}

// Reads the whole file and parses it straight into a checked program (a
// sequence file: one step), or says why it is refused. Reading stdin stops
// when `reveil` says a signal came.
struct ProgrammeLu {
    std::optional<Programme> programme;
    bool sequence = false; // a sequence file
    std::optional<Echec> echec;
};
ProgrammeLu lireProgramme(const QString &chemin, int reveil)
{
    const bool entree = chemin == QLatin1String("-");
    FichierLu fichier;
    if (entree)
        fichier.echec = LireDescripteur(STDIN_FILENO, fichier.contenu, TailleMaxProgramme, reveil);
    else
        fichier = LireFichier(chemin, TailleMaxProgramme);
    ProgrammeAnalyse analyse;
    if (!fichier.echec)
        analyse = AnalyserProgramme(fichier.contenu);
    if (!fichier.echec && !analyse.echec)
        return {analyse.programme, EstUneSequence(fichier.contenu), {}};
    const QString nom = NomLisible(chemin);
    QString quoi;
    if (fichier.echec)
        quoi = entree ? Mots::tr("l'entrée standard n'a pas pu être lue")
                      : Mots::tr("le fichier « %1 » n'a pas pu être lu").arg(nom);
    else if (EstUneSequence(fichier.contenu))
        quoi = entree ? Mots::tr("l'entrée standard a été lue et refusée comme séquence")
                      : Mots::tr("le fichier « %1 » a été lu et refusé comme séquence").arg(nom);
    else
        quoi = entree ? Mots::tr("l'entrée standard a été lue et refusée comme programme")
                      : Mots::tr("le fichier « %1 » a été lu et refusé comme programme").arg(nom);
    const QString refus = fichier.echec ? Formuler(*fichier.echec) : Formuler(*analyse.echec);
    return {{}, false, Echec{quoi + Mots::tr(".\n%1.\nRien n'a été envoyé").arg(majuscule(refus))}};
}

// Sends, or with --verifier only checks, the program read: from the step
// --depuis names, as many times as --repeter says, on the port the order of
// choice gives. The exit code.
int envoyer(const QCommandLineParser &options, const ProgrammeLu &lu, const QString &chemin,
            const Demarrage &demarrage, const DescripteursStandard &standard, int reveil)
{
    Programme programme = *lu.programme;
    const int depuis = entier(options, "depuis", EtapesMax).value_or(1) - 1;
    if (depuis >= programme.etapes.size())
        return erreur(MauvaiseUtilisation,
                      Echec{Mots::tr("--depuis %1 : le fichier s'arrête à l'étape %2")
                                .arg(depuis + 1)
                                .arg(programme.etapes.size())});
    programme.repetitions =
        entier(options, "repeter", RepetitionsMax).value_or(programme.repetitions);
    PosteEnvoi poste(QStringLiteral("tarvik-envoyer"));
    auto *journal = new ConsignationEnvois(poste); // before anything else hears it
    poste.setLimites(LireLimites());               // worded when said, in the language installed
    // The same order of choice for a dry run as for a send.
    poste.setPort(DeterminerPort(options.value(OptionPort()), demarrage.reglages));
    poste.setReveil(reveil); // a signal ends a wait for the port, and a run
    if (const auto nonLus = ReglagesNonLus(demarrage.reglages)) // even with --port
        Dire(Mots::tr("tarvik-envoyer : %1.\n").arg(nonLus->message));
    Sortie sortie(standard.sortieFermee);
    // A sequence file alone is sent as TEST sends a grid.
    const bool sequence = lu.sequence && programme.repetitions == 1 && depuis == 0;
    const Grille &premiere = programme.etapes.first().grille;
    const auto refus = poste.examiner(programme, depuis);
    if (options.isSet(QStringLiteral("verifier"))) {
        if (refus)
            return direRefus(*refus);
        const int code = sequence ? verifierSequence(premiere, poste.port(), sortie)
                                  : verifierProgramme(programme, depuis, poste.port(), sortie);
        if (code == Envoye)
            direCourse(programme, depuis, true);
        return code;
    }
    if (!refus)
        direCourse(programme, depuis, false);                // a drift is said, never refused
    if (options.isSet(QStringLiteral("attendre")) && !refus) // a refusal is not waited for
        if (const auto code =
                AttendrePort(poste, *journal, *secondesDAttente(options), reveil, chemin))
            return *code;
    return executer(
        poste, *journal, programme,
        [&] {
            return sequence ? poste.envoyer(premiere, chemin)
                            : poste.lancer(programme, chemin, depuis);
        },
        sortie, reveil);
}

} // namespace

} // namespace tarvik::cli

int main(int argc, char *argv[])
{
    using namespace tarvik::cli;
    const DescripteursStandard standard = OuvrirDescripteursStandard();
    QCoreApplication application(argc, argv);
    NommerApplication();
    const Demarrage demarrage = Demarrer(argc, argv); // the settings, read once
    InstallerLangue(demarrage.langue);                // --help and usage errors speak it too
    QCommandLineParser options;
    options.addOption({QStringLiteral("verifier"), {}, QStringLiteral("FICHIER")});
    options.addOption({QStringLiteral("attendre"), {}, QStringLiteral("SECONDES")});
    options.addOption({QStringLiteral("depuis"), {}, QStringLiteral("N")});
    options.addOption({QStringLiteral("repeter"), {}, QStringLiteral("N")});
    if (const auto code = TraiterOptions(
            options, argc, argv, QCoreApplication::translate("Aide", Aide).arg(CodesDesLangues()),
            [&](const auto &o) { return verifierUsage(o, standard); }))
        return *code;

    std::signal(SIGPIPE, SIG_IGN); // a closed stdout must not end a send halfway
    // From here on the signals that end the program only wake it, even while
    // a slow stdin is read.
    const int reveil = EcouterSignaux();

    // The whole file is read and checked before any port is touched.
    const bool verifier = options.isSet(QStringLiteral("verifier"));
    const QString chemin =
        verifier ? options.value(QStringLiteral("verifier")) : options.positionalArguments()[0];
    const ProgrammeLu lu = lireProgramme(chemin, reveil);
    if (verifier) // a dry run holds nothing: from here a signal ends it at once
        SortirAuxSignaux();
    if (const int signal = SignalRecu())
        return Terminer(
            erreur(128 + signal, Echec{Mots::tr("interrompu pendant la lecture de la séquence, "
                                                "rien n'a été envoyé")}),
            reveil);
    if (lu.echec)
        return Terminer(erreur(FichierRefuse, *lu.echec), reveil);
    return Terminer(envoyer(options, lu, chemin, demarrage, standard, reveil), reveil);
}
