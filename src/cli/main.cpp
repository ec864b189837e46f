// tarvik-envoyer: sends a saved sequence to the board without a window, as
// TEST sends a grid, for scripts and machines without a screen.
#include "sequence/envoyer_sequence.h"
#include "sequence/fichiers.h"
#include "serial/options.h"
#include "serial/signaux.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Exit codes, for scripts (2, wrong usage, comes from TraiterOptions).
enum Code {
    Envoye = 0,           // sent and drained
    FichierRefuse = 1,    // nothing sent
    PortIndisponible = 3, // refused or unavailable, nothing sent
    EchecEcriture = 4,    // failed while writing; stderr names the lines handed over
};

const char *const Aide = R"(Utilisation : tarvik-envoyer FICHIER [--port PERIPHERIQUE]
              tarvik-envoyer --verifier FICHIER

Envoie à la carte les sept lignes d'un fichier de séquence (.seq), comme
« TEST » les envoie depuis le panneau : le fichier entier est vérifié avant
l'ouverture du port, avec les mêmes verrous, la même attente de vidage et la
même limite de 2 s. FICHIER « - » lit l'entrée standard. Les lignes envoyées
s'affichent sur la sortie standard, les messages sur la sortie d'erreur.

Options :
  --port PERIPHERIQUE  envoie sur ce périphérique au lieu du port choisi
  --verifier FICHIER   vérifie seulement et affiche les lignes qui seraient
                       envoyées, sans ouvrir de port
  -h, --help           affiche cette aide
  -v, --version        affiche la version

Le port utilisé est, dans l'ordre : celui de --port, celui choisi dans le
panneau (« Initialisation › Choisir le port série… »), le lien
/dev/tarvik-port1 s'il existe, puis /dev/ttyS0 (le port série 1).

Codes de sortie :
  0    séquence envoyée et vidée
  1    fichier refusé, rien n'a été envoyé
  2    mauvaise utilisation
  3    port refusé ou indisponible, rien n'a été envoyé
  4    échec pendant l'écriture (les lignes remises au port sont nommées)
  129, 130, 131, 143
       interrompu par SIGHUP, SIGINT, SIGQUIT ou SIGTERM (128 + le numéro du
       signal) : ce qui attendait est abandonné, le port et ses verrous rendus
)";

int erreur(int code, const QString &message)
{
    Ecrire(stderr, QStringLiteral("tarvik-envoyer : %1\n").arg(message));
    return code;
}

// The rows of a sequence file, as a run reads a grid; the lines it lists go
// to standard output as they are sent.
class SequenceFichier : public FenetreSequence {
public:
    explicit SequenceFichier(const SequenceLue &lue)
        : m_lue(lue)
    {
    }
    QString Text1(int i) const override { return m_lue.rangees.at(i).pas; }
    QString Text2(int i) const override { return m_lue.rangees.at(i).vitesse; }
    QString Text3(int i) const override { return m_lue.rangees.at(i).direction; }
    void ViderList1() override {}
    void AjouterList1(const QString &ligne) override { Ecrire(stdout, ligne + u'\n'); }
    LienSerie &MSComm1() override { return m_lien; }

private:
    const SequenceLue &m_lue;
    LienSerie m_lien;
};

int codeDe(const EchecSequence &echec)
{
    if (!echec.lien)
        return FichierRefuse;
    switch (*echec.lien) {
    case EchecLien::Genre::EcritureEchouee:
    case EchecLien::Genre::DelaiDepasse:
        return EchecEcriture;
    case EchecLien::Genre::Interrompu:
        if (const int signal = SignalRecu())
            return 128 + signal;
        return 128 + SIGTERM;
    default:
        return PortIndisponible;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCommandLineParser options;
    options.addOption({QStringLiteral("verifier"), {}, QStringLiteral("FICHIER")});
    const auto fin =
        TraiterOptions(options, argc, argv, QString::fromUtf8(Aide), [](const auto &o) {
            const QStringList fichiers = o.positionalArguments();
            if (o.isSet(QStringLiteral("verifier")))
                return fichiers.isEmpty() && !o.isSet(OptionPort())
                           ? QString()
                           : QStringLiteral(
                                 "--verifier prend un seul fichier et n'ouvre aucun port");
            if (fichiers.size() != 1)
                return fichiers.isEmpty() ? QStringLiteral("il manque le fichier de séquence")
                                          : QStringLiteral("un seul fichier à la fois");
            return QString();
        });
    if (fin)
        return *fin;

    QCoreApplication application(argc, argv);
    NommerApplication();
    std::signal(SIGPIPE, SIG_IGN); // a closed stdout must not end a send halfway

    // The whole file is read and checked before any port is touched.
    const bool verifier = options.isSet(QStringLiteral("verifier"));
    const QString chemin =
        verifier ? options.value(QStringLiteral("verifier")) : options.positionalArguments()[0];
    const bool entree = chemin == QLatin1String("-");
    FichierLu fichier;
    if (entree)
        fichier.erreur = LireDescripteur(STDIN_FILENO, fichier.contenu);
    else
        fichier = LireFichier(chemin);
    const QByteArray &contenu = fichier.contenu;
    QString refus = fichier.erreur;
    const SequenceLue lue = refus.isEmpty() ? LireSequence(contenu) : SequenceLue{};
    if (refus.isEmpty())
        refus = lue.erreur;
    SequenceFichier sequence(lue);
    Grille grille{};
    if (refus.isEmpty())
        if (const auto echec = LireGrille(sequence, grille))
            refus = echec->message;
    if (!refus.isEmpty())
        return erreur(FichierRefuse,
                      (entree
                           ? QStringLiteral("l'entrée standard a été refusée.")
                           : QStringLiteral("le fichier « %1 » n'a pas été ouvert.").arg(chemin)) +
                          QStringLiteral("\n%1\nRien n'a été envoyé.").arg(refus));
    if (verifier) {
        for (int i = 1; i <= NombreAxes; ++i)
            Ecrire(stdout, LigneAxe(grille[i]) + u'\n');
        return Envoye;
    }

    const int reveil = EcouterSignaux();
    if (reveil < 0)
        return erreur(PortIndisponible, QStringLiteral("signaux impossibles à surveiller."));
    LienSerie &lien = sequence.MSComm1();
    lien.setPeripherique(options.value(OptionPort()));
    lien.setReveil(reveil);
    const auto echec = EnvoyerSequence(sequence);
    for (const QString &avertissement : lien.avertissements())
        Ecrire(stderr, QStringLiteral("tarvik-envoyer : %1\n").arg(avertissement));
    if (echec)
        return erreur(codeDe(*echec), echec->message);
    return Envoye;
}
