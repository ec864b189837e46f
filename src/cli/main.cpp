// tarvik-envoyer: sends a saved sequence to the board without a window, as
// TEST sends a grid, for scripts and machines without a screen.
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

// The texts of this file, in the operator's language.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Envoyeur)
};

// Exit codes, for scripts (2, wrong usage, comes from TraiterOptions).
enum Code {
    Envoye = 0,           // sent and drained
    FichierRefuse = 1,    // nothing sent
    PortIndisponible = 3, // refused or unavailable, nothing sent
    EchecEcriture = 4,    // failed while writing; stderr names the lines handed over
    SortieImpossible = 5, // --verifier could not print the lines
};

const char *const Aide = QT_TRANSLATE_NOOP(
    "Aide", R"(Utilisation : tarvik-envoyer FICHIER [--port PERIPHERIQUE] [--attendre SECONDES]
                             [--langue LANGUE]
              tarvik-envoyer --verifier FICHIER [--port PERIPHERIQUE]

Envoie à la carte les sept lignes d'un fichier de séquence (.seq), comme
« TEST » les envoie depuis le panneau : le fichier entier est vérifié avant
l'ouverture du port, avec les mêmes verrous, la même attente de vidage et la
même limite de 2 s. FICHIER « - » lit l'entrée standard jusqu'à sa fin, même
lente ou non bloquante. Les lignes envoyées s'affichent sur la sortie
standard, les messages sur la sortie d'erreur.

Options :
  --port PERIPHERIQUE  envoie sur ce périphérique au lieu du port choisi
  --verifier FICHIER   vérifie seulement, affiche les lignes qui seraient
                       envoyées et nomme (sur la sortie d'erreur) le port où
                       elles partiraient, sans ouvrir aucun port ; accepte
                       les mêmes options que l'envoi
  --attendre SECONDES  attend, au plus ce nombre de secondes, que le port
                       soit présent et libre, en disant sur la sortie
                       d'erreur ce qu'il attend, puis envoie ; rien n'est
                       jamais renvoyé
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

Si la sortie standard est pleine ou fermée, un envoi garde son code (la
carte a reçu les lignes) et la sortie d'erreur le signale ; --verifier,
dont c'est tout le travail, échoue avec le code 5.

Codes de sortie :
  0    séquence envoyée et vidée (ou, avec --verifier, fichier valide)
  1    fichier refusé, rien n'a été envoyé
  2    mauvaise utilisation (option inconnue ou donnée deux fois, fichier
       manquant ou en trop, entrée standard fermée avec « - »)
  3    port refusé ou indisponible, rien n'a été envoyé (avec --attendre :
       encore absent ou occupé au bout de l'attente ; avec --verifier :
       réglages illisibles, l'envoi serait refusé)
  4    échec pendant l'écriture, port débranché compris (les lignes parties
       sont nommées)
  5    --verifier n'a pas pu écrire les lignes sur la sortie standard
  129, 130, 131, 143
       interrompu par SIGHUP, SIGINT, SIGQUIT ou SIGTERM (128 + le numéro du
       signal) : ce qui attendait est abandonné, le port et ses verrous
       rendus ; pendant la lecture de l'entrée standard, rien n'est envoyé

Chaque envoi qui a passé la vérification du fichier laisse une ligne dans le
journal des envois, $XDG_STATE_HOME/tarvik/journal.log.
)");

int erreur(int code, const Echec &echec)
{
    Ecrire(stderr, Textes::tr("tarvik-envoyer : %1\n").arg(Phrase(echec)));
    return code;
}

// Standard output, where the lines go. The first failure is kept: the
// lines may have reached the board all the same.
class Sortie {
public:
    explicit Sortie(bool fermee)
        : m_erreur(fermee ? Textes::tr("la sortie standard est fermée") : QString())
    {
    }
    void ecrire(const QString &texte)
    {
        if (!m_erreur.isEmpty())
            return;
        if (const int erreur = Ecrire(stdout, texte))
            m_erreur = TexteErreurSysteme(erreur);
    }
    QString erreur() const { return m_erreur; }

private:
    QString m_erreur;
};

int codeDe(const EchecLien &echec)
{
    switch (IssueDe(echec)) {
    case IssueEnvoi::Echec:
        return EchecEcriture;
    case IssueEnvoi::Interrompue:
        if (const int signal = SignalRecu())
            return 128 + signal;
        return 128 + SIGTERM;
    case IssueEnvoi::PortRefuse:
    case IssueEnvoi::Envoyee:
    case IssueEnvoi::Rebranche:
    case IssueEnvoi::HorsLimites:
        break;
    }
    return PortIndisponible;
}

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
    return std::nullopt;
}

// Reads the whole file and parses it straight into a checked grid, or says
// why it is refused. Reading stdin stops when `reveil` says a signal came.
struct SequenceLue {
    std::optional<Grille> grille;
    std::optional<Echec> echec;
};
SequenceLue lireSequence(const QString &chemin, int reveil)
{
    const bool entree = chemin == QLatin1String("-");
    FichierLu fichier;
    if (entree)
        fichier.echec = LireDescripteur(STDIN_FILENO, fichier.contenu, TailleMaxFichier, reveil);
    else
        fichier = LireFichier(chemin);
    SequenceAnalysee analysee;
    if (!fichier.echec)
        analysee = AnalyserSequence(fichier.contenu);
    const std::optional<Echec> refus = fichier.echec ? fichier.echec : analysee.echec;
    if (!refus)
        return {analysee.grille, {}};
    return {
        {},
        Echec{(entree
                   ? Textes::tr("l'entrée standard a été refusée")
                   : Textes::tr("le fichier « %1 » n'a pas été ouvert").arg(NomLisible(chemin))) +
              Textes::tr(".\n%1.\nRien n'a été envoyé").arg(refus->message)}};
}

// The port as the sender names it.
QString decrirePort(const PortChoisi &port)
{
    return DecrirePort(port, Textes::tr("« Initialisation › Choisir le port série… » dans le "
                                        "panneau"));
}

// What the operator can do about a failure, where the sender knows.
QString conseil(const EchecLien &echec)
{
    if (echec.genre == EchecLien::Genre::AucunPort)
        return Textes::tr("Donnez le port par --port, ou choisissez-le de nouveau dans le "
                          "panneau (« Initialisation › Choisir le port série… »).");
    return {};
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
    const SequenceLue sequence = lireSequence(chemin, reveil);
    if (verifier) // a dry run holds nothing: from here a signal ends it at once
        SortirAuxSignaux();
    if (const int signal = SignalRecu())
        return erreur(128 + signal,
                      Echec{Textes::tr("interrompu pendant la lecture de la séquence, rien n'a été "
                                       "envoyé")});
    if (sequence.echec)
        return erreur(FichierRefuse, *sequence.echec);
    // The same order of choice for a dry run as for a send.
    const PortChoisi port = DeterminerPort(options.value(OptionPort()), demarrage.reglages);
    if (!verifier && options.isSet(QStringLiteral("attendre")))
        if (const auto fin = attendrePort(port, *secondesDAttente(options), reveil, chemin))
            return *fin;
    Sortie sortie(standard.sortieFermee);
    return verifier ? verifierSeulement(*sequence.grille, port, sortie)
                    : envoyer(*sequence.grille, chemin, port, sortie, reveil);
}
