#include "port/reglages.h"

#include "system/ecriture.h"
#include "system/erreurs.h"
#include "system/lecture.h"
#include "system/noms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace {

// The texts of this file, in the operator's language.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Port)
};

} // namespace

// The settings file, as this program writes it:
//
//   [General]
//   port=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
//   langue=en
//
// Blank lines and lines starting with ';' or '#' are passed over. Anything
// else (another group, an unknown key or one written in another case, a key
// given twice, a value quoted or escaped as other programs write them) is not
// understood, and a file that is not understood is not trusted.
namespace {

std::optional<Echec> raisonValeur(const QString &valeur);
std::optional<Echec> raisonLangue(const QString &valeur);

// The keys, each with where its value goes and what it may hold.
struct Cle {
    const char *nom;
    QString Reglages::*valeur;
    std::optional<Echec> (*verifier)(const QString &valeur);
};
const Cle Cles[] = {{"port", &Reglages::port, raisonValeur},
                    {"langue", &Reglages::langue, raisonLangue}};

Echec ligneReglage(int numero, const QString &raison)
{
    return {Textes::tr("ligne %1 : %2").arg(numero).arg(raison)};
}

// A device name as a settings file may hold it: a path of reasonable length
// with nothing unprintable in it.
bool nomUtilisable(const QString &nom)
{
    return nom.size() <= 4096 && std::none_of(nom.begin(), nom.end(), [](QChar c) {
               return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
           });
}

// Why a device name cannot be written, and read back exactly as it was, or
// nothing.
std::optional<Echec> raisonValeur(const QString &valeur)
{
    if (valeur.isEmpty())
        return Echec{Textes::tr("valeur vide")};
    if (valeur.startsWith(u'"') || valeur.startsWith(u'@') || valeur.contains(u'\\') ||
        valeur.contains(u',') || valeur.front().isSpace() || valeur.back().isSpace())
        return Echec{Textes::tr("valeur écrite sous une forme que Tarvik ne lit pas "
                                "(guillemets, @Variant, liste, barre oblique inverse ou "
                                "espace en bordure)")};
#ifndef Q_OS_WIN
    if (!valeur.startsWith(u'/'))
        return Echec{Textes::tr("le chemin du périphérique doit partir de la racine (/)")};
#endif
    if (!nomUtilisable(valeur))
        return Echec{Textes::tr("valeur trop longue, ou qui contient un caractère de "
                                "contrôle")};
    return std::nullopt;
}

std::optional<Echec> raisonLangue(const QString &valeur)
{
    if (valeur == QLatin1String("fr") || valeur == QLatin1String("en"))
        return std::nullopt;
    return Echec{Textes::tr("langue inconnue « %1 » (fr ou en)").arg(NomLisible(valeur.left(40)))};
}

// Reads one line `texte` (number `numero`) into `lus`; `vues` are the keys
// read so far. Why it is not understood, or nothing.
std::optional<Echec> lireLigne(int numero, const QString &texte, Reglages &lus, QStringList &vues)
{
    if (texte.trimmed().isEmpty() || texte.startsWith(u';') || texte.startsWith(u'#') ||
        texte == QLatin1String("[General]"))
        return std::nullopt;
    if (texte.startsWith(u'['))
        return ligneReglage(numero, Textes::tr("groupe inconnu « %1 »").arg(NomLisible(texte)));
    const QString cle = texte.section(u'=', 0, 0);
    const auto connue = std::find_if(std::begin(Cles), std::end(Cles),
                                     [&](const Cle &c) { return cle == QLatin1String(c.nom); });
    if (!texte.contains(u'=') || connue == std::end(Cles))
        return ligneReglage(numero, Textes::tr("clé inconnue « %1 » (les clés sont port et langue)")
                                        .arg(NomLisible(texte.left(40))));
    if (vues.contains(cle))
        return ligneReglage(numero, Textes::tr("« %1 » est donnée deux fois").arg(cle));
    vues << cle;
    const QString valeur = texte.mid(cle.size() + 1);
    if (auto raison = connue->verifier(valeur))
        return ligneReglage(numero, raison->message);
    lus.*(connue->valeur) = valeur;
    return std::nullopt;
}

Echec reglagesIllisibles(const QString &raison)
{
    return {Textes::tr("les réglages %1 sont illisibles (%2) : le port choisi n'est pas "
                       "connu, et rien n'est envoyé au hasard. Choisissez le port par %3, ou "
                       "donnez-le par --port")
                .arg(NomLisible(FichierReglages()), raison, MenuChoixPort())};
}

// What stands at `chemin` when reading it found nothing: a link that leads
// nowhere is a damaged file, not an absent one.
bool lienCasse(const QString &chemin)
{
    struct stat etat {};
    return ::lstat(OctetsLocaux(chemin).constData(), &etat) == 0 && S_ISLNK(etat.st_mode);
}

// Reads the settings file: absent gives empty settings; a file that cannot
// be read, or is not understood, says why. Its bytes go to `contenu`.
Reglages lireFichierReglages(const QString &fichier, QByteArray *contenu = nullptr)
{
    const FichierLu lu = LireFichier(fichier);
    if (lu.absent && lienCasse(fichier))
        return {{}, {}, Echec{Textes::tr("c'est un lien qui ne mène à aucun fichier")}};
    if (lu.absent)
        return {};
    if (lu.echec)
        return {{}, {}, lu.echec};
    if (contenu)
        *contenu = lu.contenu;
    return LireReglages(lu.contenu);
}

// A key's line, ended as `fin` says.
QByteArray ligneCle(const Cle &cle, const Reglages &reglages, const char *fin)
{
    return QByteArray(cle.nom) + '=' + OctetsLocaux(reglages.*(cle.valeur)) + fin;
}

// Moves a damaged settings file out of the way, beside it; where it went, or
// an empty text with errno set.
QString mettreDeCote(const QString &fichier)
{
    QString destination = fichier + QStringLiteral(".illisible");
    struct stat etat {};
    for (int n = 2; ::lstat(OctetsLocaux(destination).constData(), &etat) == 0; ++n)
        destination = fichier + QStringLiteral(".illisible.%1").arg(n); // never over an older one
    if (::rename(OctetsLocaux(fichier).constData(), OctetsLocaux(destination).constData()) != 0)
        return {};
    return destination;
}

} // namespace

QString FichierReglages()
{
    return DossierXdg("XDG_CONFIG_HOME", QStringLiteral(".config")) +
           QStringLiteral("/Tarvik/tarvik.conf");
}

QString MenuChoixPort()
{
    return Textes::tr("« Initialisation › Choisir le port série… »");
}

Reglages LireReglages(const QByteArray &contenu)
{
    if (contenu.startsWith("\xEF\xBB\xBF"))
        return {{}, {}, Echec{Textes::tr("marque d'ordre des octets (BOM) au début du fichier")}};
    Reglages lus;
    QStringList vues;
    const QList<QByteArray> lignes = contenu.split('\n');
    for (int k = 0; k < lignes.size(); ++k) {
        QByteArray ligne = lignes[k];
        if (ligne.endsWith('\r'))
            ligne.chop(1);
        if (auto refus = lireLigne(k + 1, NomLocal(ligne), lus, vues))
            return {{}, {}, refus};
    }
    return lus;
}

QByteArray EcrireReglages(const Reglages &reglages, const QByteArray &avant)
{
    QList<QByteArray> lignes = (avant.isEmpty() ? QByteArray("[General]") : avant).split('\n');
    if (lignes.size() > 1 && lignes.last().isEmpty())
        lignes.removeLast(); // what follows the last line's end
    QByteArray octets;
    bool vue[std::size(Cles)] = {};
    for (const QByteArray &ligne : lignes) {
        const auto cle = std::find_if(std::begin(Cles), std::end(Cles), [&](const Cle &c) {
            return ligne.startsWith(QByteArray(c.nom) + '=');
        });
        if (cle == std::end(Cles)) {
            octets += ligne + '\n'; // comments, blank lines, the group: as they were
            continue;
        }
        vue[cle - std::begin(Cles)] = true;
        if (!(reglages.*(cle->valeur)).isEmpty()) // an empty value takes its line away
            octets += ligneCle(*cle, reglages, ligne.endsWith('\r') ? "\r\n" : "\n");
    }
    for (const Cle &cle : Cles)
        if (!vue[&cle - std::begin(Cles)] && !(reglages.*(cle.valeur)).isEmpty())
            octets += ligneCle(cle, reglages, "\n");
    return octets;
}

Reglages LireReglagesEnregistres()
{
    Reglages lus = lireFichierReglages(FichierReglages());
    return lus.echec ? Reglages{} : lus;
}

ReglagePort LireReglagePort()
{
    const Reglages lus = lireFichierReglages(FichierReglages());
    if (lus.echec)
        return {{}, reglagesIllisibles(lus.echec->message)};
    return {lus.port, {}};
}

EnregistrementReglage EnregistrerReglages(const std::function<void(Reglages &)> &changer)
{
    const QString fichier = FichierReglages();
    const QString dossier = QFileInfo(fichier).path();
    EnregistrementReglage resultat;
    if (!QDir().mkpath(dossier)) {
        resultat.echec =
            Echec{Textes::tr("le dossier %1 ne peut pas être créé").arg(NomLisible(dossier))};
        return resultat;
    }
    // Whatever else the file holds is kept; a damaged file is set aside.
    QByteArray avant;
    Reglages reglages = lireFichierReglages(fichier, &avant);
    if (reglages.echec) {
        resultat.misDeCote = mettreDeCote(fichier);
        if (resultat.misDeCote.isEmpty()) {
            resultat.echec = Echec{Textes::tr("le fichier illisible ne peut pas être mis de "
                                              "côté (%1)")
                                       .arg(TexteErreurSysteme(errno))};
            return resultat;
        }
        resultat.raison = reglages.echec->message;
        reglages = {};
        avant.clear();
    }
    changer(reglages);
    resultat.echec = EcrireFichier(fichier, EcrireReglages(reglages, avant)).echec;
    return resultat;
}

EnregistrementReglage EnregistrerReglagePort(const QString &peripherique)
{
    if (const auto raison = peripherique.isEmpty() ? std::nullopt : raisonValeur(peripherique)) {
        EnregistrementReglage refus;
        refus.echec =
            Echec{Textes::tr("ce nom ne peut pas être enregistré : %1").arg(raison->message)};
        return refus;
    }
    return EnregistrerReglages([&](Reglages &reglages) { reglages.port = peripherique; });
}
