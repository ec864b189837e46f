// tarvik-carte: a virtual board on the desk, the far end of the panel's
// line. It reads what comes strictly, as the board would, shows where each
// axis is, and can stall, slow down or go away on purpose.
#include "app/demarrage.h"
#include "app/executable.h"
#include "app/formulation.h"
#include "app/langue.h"
#include "app/options.h"
#include "app/signaux.h"
#include "app/version.h"
#include "carte/etat_carte.h"
#include "carte/port_carte.h"
#include "carte/sortie.h"
#include "core/langues.h"
#include "system/fichier_limites.h"
#include "system/noms.h"
#include "window/fenetre_carte.h"
#include "window/formulation_carte.h"
#include "window/style_panneau.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace tarvik::window {

namespace {

const char *const Aide = QT_TRANSLATE_NOOP(
    "Aide",
    R"(Utilisation : tarvik-carte [--lien CHEMIN] [--sans-fenetre] [--sans-rythme | --lente F]
                    [--bloque-apres N] [--debranche-apres N [--rebranche-apres S]]
                    [--langue LANGUE]

Une carte virtuelle à l'autre bout de la ligne du panneau : elle crée une
paire de pseudo-terminaux, pose un lien vers le bout du panneau, le règle
comme la carte (38400 bauds, 8 bits, sans parité, 1 bit d'arrêt, brut) et
lit ce qui arrive au rythme de cette ligne (3840 octets par seconde). Elle
lit chaque ligne strictement (« A+00100:002 » et un saut de ligne), dit
chaque anomalie, et tient la position de chaque axe. Lancez ensuite
« tarvik --port LIEN », LIEN étant le port qu'elle dit.

Options :
  --lien CHEMIN        pose le lien là, au lieu de $XDG_RUNTIME_DIR/tarvik-carte
                       (sans XDG_RUNTIME_DIR, aucun lien : le port à choisir
                       est alors le pseudo-terminal lui-même, /dev/pts/N)
  --sans-fenetre       sans fenêtre ni écran : un objet JSON par ligne reçue
                       sur la sortie standard, un résumé sur la sortie
                       d'erreur à la fin (SIGINT, SIGTERM)
  --sans-rythme        lit aussi vite qu'elle peut
  --lente F            lit à la fraction F du rythme (0 < F ≤ 1 ; 0.1 : au
                       dixième)
  --bloque-apres N     cesse de lire après N lignes, comme une carte arrêtée :
                       la ligne se remplit et le panneau finit par son délai
  --debranche-apres N  après N lignes, ferme son bout et retire le lien,
                       comme un adaptateur débranché
  --rebranche-apres S  revient S secondes plus tard (de 0.1 à 3600) sur le
                       même lien, sur un nouveau pseudo-terminal
  --langue LANGUE      parle cette langue, parmi : %1 ; sinon celle choisie
                       dans le panneau, sinon celle du système (LC_ALL,
                       LC_MESSAGES, LANG), le français par défaut
  -h, --help           affiche cette aide
  -v, --version        affiche la version

Le lien n'est jamais posé sur ce qui existe déjà, sauf sur un lien laissé
par une carte qui ne s'est pas terminée (vers un /dev/pts/N disparu).

Codes de sortie : 0 fenêtre fermée, 2 mauvaise utilisation, 3 port ou lien
impossible à créer (ou à recréer au rebranchement), 129, 130, 131 ou 143
arrêtée par SIGHUP, SIGINT, SIGQUIT ou SIGTERM (le lien est retiré).
)");

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Carte)
};

constexpr int MauvaiseUtilisation = 2, PortImpossible = 3;
constexpr qint64 LignesMax = 1000000000;

// A whole number of lines an option gives, from `min` to LignesMax.
std::optional<qint64> lignes(const QCommandLineParser &o, const char *option, qint64 min)
{
    const QString texte = o.value(QLatin1String(option));
    bool lu = false;
    const qint64 n = texte.toLongLong(&lu);
    if (!lu || n < min || n > LignesMax || texte != QString::number(n))
        return std::nullopt;
    return n;
}

// A number written with a dot, within `min`..`max`.
std::optional<double> decimal(const QCommandLineParser &o, const char *option, double min,
                              double max)
{
    bool lu = false;
    const QString texte = o.value(QLatin1String(option));
    const double valeur = QLocale::c().toDouble(texte, &lu);
    if (!lu || !(valeur > min && valeur <= max))
        return std::nullopt;
    return valeur;
}

std::optional<Echec> verifierUsage(const QCommandLineParser &o)
{
    if (!o.positionalArguments().isEmpty())
        return Echec{Mots::tr("argument inattendu : %1").arg(o.positionalArguments()[0])};
    if (o.isSet(OptionPort()))
        return Echec{Mots::tr("--port est l'option du panneau : la carte pose son lien où "
                              "--lien le dit")};
    if (o.isSet(QStringLiteral("lien")) && o.value(QStringLiteral("lien")).isEmpty())
        return Echec{Mots::tr("--lien demande un chemin")};
    if (o.isSet(QStringLiteral("lente")) && o.isSet(QStringLiteral("sans-rythme")))
        return Echec{Mots::tr("--lente et --sans-rythme ne vont pas ensemble")};
    if (o.isSet(QStringLiteral("lente")) && !decimal(o, "lente", 0, 1))
        return Echec{Mots::tr("--lente prend une fraction du rythme, de plus de 0 à 1 "
                              "(0.1), et non « %1 »")
                         .arg(o.value(QStringLiteral("lente")))};
    for (const auto &[option, min] : {std::pair{"bloque-apres", 0}, {"debranche-apres", 1}})
        if (o.isSet(QLatin1String(option)) && !lignes(o, option, min))
            return Echec{Mots::tr("--%1 prend un nombre de lignes, de %2 à %3, et non « %4 »")
                             .arg(QLatin1String(option))
                             .arg(min)
                             .arg(LignesMax)
                             .arg(o.value(QLatin1String(option)))};
    if (o.isSet(QStringLiteral("rebranche-apres"))) {
        if (!o.isSet(QStringLiteral("debranche-apres")))
            return Echec{Mots::tr("--rebranche-apres va avec --debranche-apres")};
        if (!decimal(o, "rebranche-apres", 0.099, 3600))
            return Echec{Mots::tr("--rebranche-apres prend un nombre de secondes, de 0.1 à "
                                  "3600, et non « %1 »")
                             .arg(o.value(QStringLiteral("rebranche-apres")))};
    }
    return std::nullopt;
}

OptionsPortCarte optionsDuPort(const QCommandLineParser &o, const QString &lien)
{
    OptionsPortCarte options;
    options.lien = lien;
    options.sansRythme = o.isSet(QStringLiteral("sans-rythme"));
    if (o.isSet(QStringLiteral("lente")))
        options.fraction = *decimal(o, "lente", 0, 1);
    if (o.isSet(QStringLiteral("bloque-apres")))
        options.bloqueApres = lignes(o, "bloque-apres", 0);
    if (o.isSet(QStringLiteral("debranche-apres")))
        options.debrancheApres = lignes(o, "debranche-apres", 1);
    if (o.isSet(QStringLiteral("rebranche-apres")))
        options.rebrancheApres = decimal(o, "rebranche-apres", 0.099, 3600);
    return options;
}

void dire(const QString &texte)
{
    Ecrire(stderr, QStringLiteral("tarvik-carte : %1\n").arg(texte));
}

// The application: a window's, or a bare one without; in `langue`.
std::unique_ptr<QCoreApplication> Application(int &argc, char **argv, bool sansFenetre,
                                              const QString &langue)
{
    std::unique_ptr<QCoreApplication> application =
        sansFenetre ? std::make_unique<QCoreApplication>(argc, argv)
                    : std::make_unique<QApplication>(argc, argv);
    InstallerLangue(langue);
    NommerApplication();
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVIK_VERSION));
    if (!sansFenetre) {
        InstallerTextesDeQt(langue);
        QApplication::setWindowIcon(IconeTarvik());
        QApplication::setDesktopFileName(QStringLiteral("org.tarvik.TarvikCarte"));
    }
    return application;
}

// Where the link goes: --lien, else the user's place for it (said when
// there is none).
QString CheminDuLien(const QCommandLineParser &options)
{
    if (options.isSet(QStringLiteral("lien")))
        return QFileInfo(options.value(QStringLiteral("lien"))).absoluteFilePath();
    const LienParDefaut parDefaut = LienDeLaCarte();
    if (parDefaut.echec)
        dire(Mots::tr("%1 : aucun lien n'est posé, le port à choisir est le "
                      "pseudo-terminal lui-même (ou donnez --lien)")
                 .arg(TexteEchecCarte(*parDefaut.echec)));
    return parDefaut.chemin;
}

void DeclarerOptions(QCommandLineParser &options)
{
    options.addOption({QStringLiteral("lien"), {}, QStringLiteral("CHEMIN")});
    options.addOption({QStringLiteral("sans-fenetre"), {}});
    options.addOption({QStringLiteral("sans-rythme"), {}});
    options.addOption({QStringLiteral("lente"), {}, QStringLiteral("F")});
    options.addOption({QStringLiteral("bloque-apres"), {}, QStringLiteral("N")});
    options.addOption({QStringLiteral("debranche-apres"), {}, QStringLiteral("N")});
    options.addOption({QStringLiteral("rebranche-apres"), {}, QStringLiteral("S")});
}

// What shows the lines the board reads: its window, or one JSON object a
// line on stdout.
struct Affichage {
    std::unique_ptr<SortieEnFond> sortie;
    std::unique_ptr<FenetreCarte> fenetre;
};

Affichage Afficher(PortCarte &port, EtatCarte &etat, const QString &note, bool sansFenetre)
{
    Affichage affichage;
    if (sansFenetre) {
        affichage.sortie = std::make_unique<SortieEnFond>(STDOUT_FILENO);
        QObject::connect(&port, &PortCarte::ligneRecue,
                         [&etat, sortie = affichage.sortie.get()](const LigneRecue &ligne,
                                                                  const QDateTime &temps) {
                             sortie->ecrire(FormerJson(etat.prendre(ligne, temps)));
                         });
    } else {
        affichage.fenetre = std::make_unique<FenetreCarte>(port, etat, note);
        QObject::connect(&port, &PortCarte::ligneRecue,
                         [&etat, fenetre = affichage.fenetre.get()](const LigneRecue &ligne,
                                                                    const QDateTime &temps) {
                             fenetre->montrer(etat.prendre(ligne, temps));
                         });
        affichage.fenetre->show();
    }
    return affichage;
}

// The summary said at the end without a window: what stdout still held is
// written first (2 s at most), and what it lost is said.
QString ResumeDeFin(const EtatCarte &etat, SortieEnFond &sortie)
{
    const bool ecrit = sortie.vider(QDeadlineTimer(2000));
    QString resume = ResumeCarte(etat);
    if (!ecrit || sortie.perdus() > 0)
        resume += Mots::tr(" ; sortie standard incomplète (%1 lignes perdues, %2)")
                      .arg(sortie.perdus())
                      .arg(sortie.erreur() ? TexteErreurSysteme(sortie.erreur())
                                           : Mots::tr("personne ne la lit"));
    return resume;
}

// The travel bands: the machine's limits, read once the language speaks;
// none, with `note` saying why, where the limits are doubtful.
CoursesCarte BandesDeCourse(QString &note)
{
    const LimitesLues limites = LireLimites();
    if (limites.echec) {
        note = Mots::tr("limites douteuses, aucune course montrée");
        dire(Formuler(*limites.echec) + u'.');
    }
    return CoursesDe(limites.machine);
}

// Reads the options, in `langue`; the exit code when the program ends
// there (--help, --version, a wrong use).
std::optional<int> LireOptions(QCommandLineParser &options, int &argc, char **argv,
                               const QString &langue)
{
    DeclarerOptions(options);
    QCoreApplication lecture(argc, argv);
    InstallerLangue(langue);
    return TraiterOptions(options, argc, argv,
                          QCoreApplication::translate("Aide", Aide).arg(CodesDesLangues()),
                          verifierUsage);
}

// Says when the board goes away and when it comes back.
void DireBranchements(PortCarte &port)
{
    QObject::connect(&port, &PortCarte::etatChange, [&port, branche = true]() mutable {
        if (port.branche() != branche)
            dire(port.branche() ? Mots::tr("Carte rebranchée : le port « %1 » est revenu")
                                      .arg(NomLisible(port.port()))
                                : Mots::tr("Carte débranchée : le port « %1 » a disparu")
                                      .arg(NomLisible(port.port())));
        branche = port.branche();
    });
}

} // namespace

} // namespace tarvik::window

int main(int argc, char *argv[])
{
    using namespace tarvik::window;
    OuvrirDescripteursStandard();
    const Demarrage demarrage = Demarrer(argc, argv); // the settings, read once: the language
    QCommandLineParser options;
    if (const auto code = LireOptions(options, argc, argv, demarrage.langue))
        return *code;
    const bool sansFenetre = options.isSet(QStringLiteral("sans-fenetre"));
    const auto application = Application(argc, argv, sansFenetre, demarrage.langue);
    std::signal(SIGPIPE, SIG_IGN); // a closed stdout is said, never the end of the board
    const int reveil = EcouterSignaux();

    QString note; // why no travel band shows
    EtatCarte etat(BandesDeCourse(note));

    PortCarte port(optionsDuPort(options, CheminDuLien(options)));
    if (const auto echec = port.brancher()) {
        dire(Phrase(Echec{TexteEchecCarte(*echec)}));
        return PortImpossible;
    }
    dire(Mots::tr("Carte prête : choisissez le port « %1 »").arg(NomLisible(port.port())));
    DireBranchements(port);

    const Affichage affichage = Afficher(port, etat, note, sansFenetre);
    // The end, from a signal or a port that could not come back: the summary
    // and the link taken away.
    const auto finir = [&](int code) {
        QObject::disconnect(&port, &PortCarte::etatChange, nullptr, nullptr);
        port.debrancher();
        if (affichage.sortie)
            dire(ResumeDeFin(etat, *affichage.sortie));
        QCoreApplication::exit(code);
    };
    QObject::connect(&port, &PortCarte::rebranchementRate, [&](const EchecCarte &refus) {
        const Echec echec{TexteEchecCarte(refus)};
        dire(Phrase(echec));
        if (affichage.fenetre)
            affichage.fenetre->signaler(echec.message);
        else
            finir(PortImpossible);
    });
    QSocketNotifier signaux(reveil, QSocketNotifier::Read);
    signaux.setEnabled(reveil >= 0);
    QObject::connect(&signaux, &QSocketNotifier::activated, [&] { finir(128 + SignalRecu()); });
    return QCoreApplication::exec();
}
