#include "serial/choix_port.h"

#include "sequence/acces_fichiers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QString ClePort = QStringLiteral("port");
const QString MenuPort = QStringLiteral("« Initialisation › Choisir le port série… »");

// A device name as a settings file may hold it: a path of reasonable length
// with nothing unprintable in it.
bool nomUtilisable(const QString &nom)
{
    return !nom.isEmpty() && nom.size() <= 4096 &&
           std::none_of(nom.begin(), nom.end(), [](QChar c) {
               return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
           });
}

// The settings file, as this program writes it:
//
//   [General]
//   port=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
//
// Blank lines and lines starting with ';' or '#' are passed over. Anything
// else (another group, an unknown key or one written in another case, a key
// given twice, a value quoted or escaped as other programs write them) is not
// understood, and a file that is not understood is not trusted.
const QStringList ClesConnues = {ClePort};

QString ligneReglage(int numero, const QString &raison)
{
    return QStringLiteral("ligne %1 : %2").arg(numero).arg(raison);
}

// Why a value cannot be read back exactly as it was written, or empty.
QString raisonValeur(const QString &valeur)
{
    if (valeur.isEmpty())
        return QStringLiteral("valeur vide");
    if (valeur.startsWith(u'"') || valeur.startsWith(u'@') || valeur.contains(u'\\') ||
        valeur.contains(u',') || valeur.front().isSpace() || valeur.back().isSpace())
        return QStringLiteral("valeur écrite sous une forme que Tarvik ne lit pas (guillemets, "
                              "@Variant, liste, barre oblique inverse ou espace en bordure)");
#ifndef Q_OS_WIN
    if (!valeur.startsWith(u'/'))
        return QStringLiteral("le chemin du périphérique doit partir de la racine (/)");
#endif
    if (!nomUtilisable(valeur))
        return QStringLiteral("valeur trop longue, ou qui contient un caractère de contrôle");
    return {};
}

QString reglagesIllisibles(const QString &raison)
{
    return QStringLiteral("les réglages %1 sont illisibles (%2) : le port choisi n'est pas "
                          "connu, et rien n'est envoyé au hasard. Choisissez le port par %3, ou "
                          "donnez-le par --port.")
        .arg(NomLisible(FichierReglages()), raison, MenuPort);
}

// What stands at `chemin` when reading it found nothing: a link that leads
// nowhere is a damaged file, not an absent one.
bool lienCasse(const QString &chemin)
{
    struct stat etat {};
    return ::lstat(OctetsLocaux(chemin).constData(), &etat) == 0 && S_ISLNK(etat.st_mode);
}

// Reads the settings file: absent gives empty settings; a file that cannot
// be read, or is not understood, says why.
Reglages lireFichierReglages(const QString &fichier)
{
    const FichierLu lu = LireFichier(fichier);
    if (lu.absent)
        return lienCasse(fichier)
                   ? Reglages{{}, QStringLiteral("c'est un lien qui ne mène à aucun fichier")}
                   : Reglages{};
    if (!lu.erreur.isEmpty())
        return {{}, lu.erreur.chopped(1)};
    return LireReglages(lu.contenu);
}

// Moves a damaged settings file out of the way, beside it; returns where,
// or an empty text with errno set.
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

QString PeripheriquePort(int numero, const QString &dossier)
{
#ifdef Q_OS_WIN
    Q_UNUSED(dossier);
    return QStringLiteral("COM%1").arg(numero);
#else
    const QString lien = QStringLiteral("%1/tarvik-port%2").arg(dossier).arg(numero);
    if (QFileInfo(lien).isSymLink())
        return lien;
    return QStringLiteral("%1/ttyS%2").arg(dossier).arg(numero - 1);
#endif
}

PortChoisi DeterminerPort(const QString &option, const ReglagePort &reglage, const QString &port1)
{
    if (!option.isEmpty())
        return {option, OriginePort::Option, {}};
    if (!reglage.erreur.isEmpty())
        return {{}, OriginePort::Reglage, reglage.erreur};
    if (!reglage.peripherique.isEmpty())
        return {reglage.peripherique, OriginePort::Reglage, {}};
    return {port1, OriginePort::Port1, {}};
}

PortChoisi DeterminerPort(const QString &option)
{
    if (!option.isEmpty()) // the settings are not even read
        return DeterminerPort(option, {}, {});
    return DeterminerPort(option, LireReglagePort(), PeripheriquePort(1));
}

QString DecrirePort(const PortChoisi &port)
{
    switch (port.origine) {
    case OriginePort::Option:
        return QStringLiteral("%1 (donné par --port)").arg(port.peripherique);
    case OriginePort::Reglage:
        if (!port.erreur.isEmpty())
            return QStringLiteral("inconnu (réglages illisibles)");
        return QStringLiteral("%1 (choisi par %2)").arg(port.peripherique, MenuPort);
    case OriginePort::Port1:
        break;
    }
    return QStringLiteral("%1 (port série 1)").arg(port.peripherique);
}

void NommerApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tarvik"));
    QCoreApplication::setApplicationName(QStringLiteral("tarvik"));
}

QString FichierReglages()
{
    return DossierXdg("XDG_CONFIG_HOME", QStringLiteral(".config")) +
           QStringLiteral("/Tarvik/tarvik.conf");
}

Reglages LireReglages(const QByteArray &contenu)
{
    Reglages lus;
    if (contenu.startsWith("\xEF\xBB\xBF"))
        return {{}, QStringLiteral("marque d'ordre des octets (BOM) au début du fichier")};
    QList<QByteArray> lignes = contenu.split('\n');
    QStringList vues;
    for (int k = 0; k < lignes.size(); ++k) {
        QByteArray ligne = lignes[k];
        if (ligne.endsWith('\r'))
            ligne.chop(1);
        const QString texte = NomLocal(ligne);
        if (texte.trimmed().isEmpty() || texte.startsWith(u';') || texte.startsWith(u'#') ||
            texte == QLatin1String("[General]"))
            continue;
        if (texte.startsWith(u'['))
            return {{}, ligneReglage(k + 1, QStringLiteral("groupe inconnu « %1 »").arg(texte))};
        const qsizetype egal = texte.indexOf(u'=');
        const QString cle = texte.left(egal);
        if (egal < 0 || !ClesConnues.contains(cle))
            return {{},
                    ligneReglage(k + 1, QStringLiteral("clé inconnue « %1 » (la seule clé est %2)")
                                            .arg(NomLisible(texte.left(40)), ClePort))};
        if (vues.contains(cle))
            return {{},
                    ligneReglage(k + 1, QStringLiteral("« %1 » est donnée deux fois").arg(cle))};
        vues << cle;
        const QString valeur = texte.mid(egal + 1);
        if (const QString raison = raisonValeur(valeur); !raison.isEmpty())
            return {{}, ligneReglage(k + 1, raison)};
        lus.port = valeur;
    }
    return lus;
}

QByteArray EcrireReglages(const Reglages &reglages)
{
    QByteArray octets = "[General]\n";
    if (!reglages.port.isEmpty())
        octets += "port=" + OctetsLocaux(reglages.port) + '\n';
    return octets;
}

ReglagePort LireReglagePort()
{
    const Reglages lus = lireFichierReglages(FichierReglages());
    if (!lus.erreur.isEmpty())
        return {{}, reglagesIllisibles(lus.erreur)};
    return {lus.port, {}};
}

EnregistrementReglage EnregistrerReglagePort(const QString &peripherique)
{
    const QString fichier = FichierReglages();
    const QString dossier = QFileInfo(fichier).path();
    if (!QDir().mkpath(dossier))
        return {QStringLiteral("le dossier %1 ne peut pas être créé").arg(NomLisible(dossier)), {}};
    if (!peripherique.isEmpty())
        if (const QString raison = raisonValeur(peripherique); !raison.isEmpty())
            return {QStringLiteral("ce nom ne peut pas être enregistré : %1").arg(raison), {}};
    // Whatever else the file holds is kept; a damaged file is set aside.
    Reglages reglages = lireFichierReglages(fichier);
    EnregistrementReglage resultat;
    if (!reglages.erreur.isEmpty()) {
        resultat.misDeCote = mettreDeCote(fichier);
        if (resultat.misDeCote.isEmpty())
            return {QStringLiteral("le fichier illisible ne peut pas être mis de côté (%1)")
                        .arg(TexteErreurSysteme(errno)),
                    {}};
        resultat.raison = reglages.erreur;
        reglages = {};
    }
    reglages.port = peripherique;
    resultat.erreur = EcrireFichier(fichier, EcrireReglages(reglages)).erreur;
    return resultat;
}

QList<PortDecouvert> PortsDuSysteme()
{
    QList<PortDecouvert> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortDecouvert port{info.systemLocation(),
                           NomStable(info.systemLocation()),
                           info.description(),
                           info.manufacturer(),
                           info.serialNumber(),
                           {},
                           {}};
        if (info.hasVendorIdentifier())
            port.vendeur = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.produit = info.productIdentifier();
        ports << port;
    }
    return ports;
}

QString NomStable(const QString &peripherique, const QString &dossier)
{
    const QString reel = CheminReel(peripherique);
    if (reel.isEmpty())
        return {};
    const QFileInfoList liens =
        QDir(dossier).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &lien : liens)
        if (lien.isSymLink() && CheminReel(lien.absoluteFilePath()) == reel)
            return lien.absoluteFilePath();
    return {};
}
