// tarvik-envoyer: sends a saved sequence to the board without a window, as
// TEST sends a grid, for scripts and machines without a screen.
#include "envoyeur.h"

#include "app/demarrage.h"
#include "app/langue.h"
#include "app/options.h"
#include "app/programme.h"
#include "app/signaux.h"
#include "core/fichiers.h"
#include "core/langues.h"
#include "port/etat_port.h"
#include "run/envoyer_sequence.h"
#include "run/journal.h"
#include "system/erreurs.h"
#include "system/lecture.h"
#include "system/noms.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>

#include <csignal>
#include <poll.h>
#include <unistd.h>

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
        return Echec{Textes::tr("un seul fichier à la fois")};
    if (!verifier && fichiers.isEmpty())
        return Echec{Textes::tr("il manque le fichier de séquence")};
    const QString chemin = verifier ? o.value(QStringLiteral("verifier")) : fichiers[0];
    if (chemin == QLatin1String("-") && standard.entreeFermee)
        return Echec{Textes::tr("l'entrée standard est fermée : donnez le fichier par son nom")};
    if (o.isSet(QStringLiteral("attendre")) && !secondesDAttente(o))
        return Echec{Textes::tr("--attendre prend un nombre de secondes, de 0 à %1, et non « %2 »")
                         .arg(AttenteMaxS)
                         .arg(o.value(QStringLiteral("attendre")))};
    for (const auto &[option, max] : {std::pair{"depuis", EtapesMax}, {"repeter", RepetitionsMax}})
        if (o.isSet(QLatin1String(option)) && !entier(o, option, max))
            return Echec{Textes::tr("--%1 prend un nombre entier de 1 à %2, et non « %3 »")
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
    const std::optional<Echec> refus = fichier.echec ? fichier.echec : analyse.echec;
    if (!refus)
        return {analyse.programme, EstUneSequence(fichier.contenu), {}};
    return {
        {},
        false,
        Echec{(entree
                   ? Textes::tr("l'entrée standard a été refusée")
                   : Textes::tr("le fichier « %1 » n'a pas été ouvert").arg(NomLisible(chemin))) +
              Textes::tr(".\n%1.\nRien n'a été envoyé").arg(majuscule(refus->message))}};
}

// Waits until the port is there and free, at most `secondes`, saying on
// stderr what it waits for; a port refused for good is not waited for. The
// exit code when the program ends here.
std::optional<int> attendrePort(const PortChoisi &port, double secondes, int reveil,
                                const QString &source)
{
    const QDateTime debut = QDateTime::currentDateTime();
    const QDeadlineTimer echeance(qint64(secondes * 1000));
    QString dit;
    for (;;) {
        const EtatPort etat = SonderPort(port);
        using E = EtatPort::Etat;
        if (etat.etat == E::Pret || etat.etat == E::Refuse)
            return std::nullopt; // the send says the rest
        const QString quoi = etat.etat == E::Absent ? Textes::tr("absent")
                                                    : Textes::tr("occupé par %1").arg(etat.raison);
        if (echeance.hasExpired()) {
            const Echec refus{Textes::tr("le port %1 est toujours %2 après %3 s d'attente. Rien "
                                         "n'a été envoyé")
                                  .arg(decrirePort(port), quoi)
                                  .arg(secondes)};
            if (const auto rate = EcrireJournal({debut,
                                                 QStringLiteral("tarvik-envoyer"),
                                                 source,
                                                 port.peripherique,
                                                 etat.peripherique,
                                                 IssueEnvoi::PortRefuse,
                                                 refus.message,
                                                 {}}))
                Ecrire(stderr, Textes::tr("tarvik-envoyer : le journal des envois « %1 » : %2.\n")
                                   .arg(NomLisible(CheminJournal()), rate->message));
            return erreur(PortIndisponible, refus);
        }
        if (quoi != dit)
            Ecrire(stderr, Textes::tr("tarvik-envoyer : attente du port %1, %2…\n")
                               .arg(decrirePort(port), dit = quoi));
        pollfd p{reveil, POLLIN, 0};
        const timespec pause{0, 100'000'000};
        if (::ppoll(&p, 1, &pause, nullptr) > 0)
            if (const int signal = SignalRecu())
                return erreur(128 + signal, Echec{Textes::tr("interrompu pendant l'attente du "
                                                             "port, rien n'a été envoyé")});
    }
}

// --verifier: the lines that would be sent, on stdout, and the port they
// would go to; nothing is opened.
int verifierSeulement(const Grille &grille, const PortChoisi &port, Sortie &sortie)
{
    for (const QString &ligne : grille.lignes())
        sortie.ecrire(ligne + u'\n');
    if (!sortie.erreur().isEmpty())
        return erreur(SortieImpossible,
                      Echec{Textes::tr("les lignes n'ont pas pu être écrites sur la sortie "
                                       "standard (%1)")
                                .arg(sortie.erreur())});
    if (port.echec)
        return erreur(
            PortIndisponible,
            Echec{Textes::tr("la séquence est valide, mais elle ne serait pas "
                             "envoyée. Port série inconnu : %1.\n%2")
                      .arg(port.echec->message, conseil(Refus(EchecLien::Genre::AucunPort, {})))});
    Ecrire(stderr, Textes::tr("tarvik-envoyer : séquence valide, rien n'a été envoyé ; elle "
                              "partirait sur %1.\n")
                       .arg(decrirePort(port)));
    return Envoye;
}

int envoyer(const Grille &grille, const QString &source, const PortChoisi &port, Sortie &sortie,
            int reveil)
{
    if (reveil < 0)
        return erreur(PortIndisponible, Echec{Textes::tr("signaux impossibles à surveiller")});
    LienSerie lien;
    lien.setPort(port);
    lien.setReveil(reveil);
    const QDateTime debut = QDateTime::currentDateTime();
    const ResultatEnvoi resultat = EnvoyerSequence(grille, lien, {{}, [&](const QString &ligne) {
                                                                      sortie.ecrire(ligne + u'\n');
                                                                  }});
    QStringList notes = resultat.avertissements;
    if (const QString jetes = NoteOctetsJetes(resultat.octetsJetes);
        !resultat.echec && !jetes.isEmpty())
        notes << jetes;   // a failure's message says it already
    if (const auto rate = // the run does not depend on it
        EcrireJournal(EnregistrementDe(resultat, debut, QStringLiteral("tarvik-envoyer"), source)))
        notes << Textes::tr("le journal des envois « %1 » : %2")
                     .arg(NomLisible(CheminJournal()), rate->message);
    if (!sortie.erreur().isEmpty()) // the board has the lines: the code stays
        notes << Textes::tr("les lignes envoyées n'ont pas pu être écrites sur la sortie "
                            "standard (%1)")
                     .arg(sortie.erreur());
    for (const QString &note : notes)
        Ecrire(stderr, Textes::tr("tarvik-envoyer : %1.\n").arg(note));
    if (!resultat.echec)
        return Envoye;
    const QString plus = conseil(*resultat.echec);
    Ecrire(stderr, Textes::tr("tarvik-envoyer : %1\n")
                       .arg(plus.isEmpty() ? Phrase(*resultat.echec)
                                           : Phrase(*resultat.echec) + u'\n' + plus));
    return codeDe(*resultat.echec);
}

} // namespace

int main(int argc, char *argv[])
{
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
    if (const auto fin = TraiterOptions(
            options, argc, argv, QCoreApplication::translate("Aide", Aide).arg(CodesDesLangues()),
            [&](const auto &o) { return verifierUsage(o, standard); }))
        return *fin;

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
        return erreur(128 + signal,
                      Echec{Textes::tr("interrompu pendant la lecture de la séquence, rien n'a été "
                                       "envoyé")});
    if (lu.echec)
        return erreur(FichierRefuse, *lu.echec);
    Programme programme = *lu.programme;
    const int depuis = entier(options, "depuis", EtapesMax).value_or(1) - 1;
    if (depuis >= programme.etapes.size())
        return erreur(MauvaiseUtilisation,
                      Echec{Textes::tr("--depuis %1 : le fichier s'arrête à l'étape %2")
                                .arg(depuis + 1)
                                .arg(programme.etapes.size())});
    programme.repetitions =
        entier(options, "repeter", RepetitionsMax).value_or(programme.repetitions);
    // The same order of choice for a dry run as for a send.
    const PortChoisi port = DeterminerPort(options.value(OptionPort()), demarrage.reglages);
    if (const auto refus =
            refusDesLimites(programme, demarrage.limites, port, verifier ? QString() : chemin))
        return *refus;
    if (!verifier && options.isSet(QStringLiteral("attendre")))
        if (const auto fin = attendrePort(port, *secondesDAttente(options), reveil, chemin))
            return *fin;
    Sortie sortie(standard.sortieFermee);
    // A sequence file alone is sent as TEST sends a grid.
    const bool grille = lu.sequence && programme.repetitions == 1 && depuis == 0;
    const Grille &premiere = programme.etapes.first().grille;
    if (verifier)
        return grille ? verifierSeulement(premiere, port, sortie)
                      : verifierProgramme(programme, depuis, port, sortie);
    return grille ? envoyer(premiere, chemin, port, sortie, reveil)
                  : executerProgramme(programme, depuis, programme.repetitions, chemin, port,
                                      sortie, reveil);
}
