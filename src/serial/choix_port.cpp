#include "serial/choix_port.h"

#include "sequence/acces_fichiers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

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

// QSettings reads and writes files only by name. It works here on a private
// copy; the real file is only read through the bounded, non-blocking reader
// and only replaced whole through the checked writer.
class CopieReglages {
public:
    bool ouvrir(const QByteArray &contenu)
    {
        return m_copie.open() && m_copie.write(contenu) == contenu.size() && m_copie.flush();
    }
    QString chemin() const { return m_copie.fileName(); }

private:
    QTemporaryFile m_copie;
};

QString reglagesIllisibles(const QString &raison)
{
    return QStringLiteral("les réglages %1 sont illisibles (%2) : le port choisi n'est pas "
                          "connu, et rien n'est envoyé au hasard. Choisissez le port par %3, ou "
                          "donnez-le par --port.")
        .arg(FichierReglages(), raison, MenuPort);
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
    // Where QSettings puts the organisation's and program's settings.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tarvik/tarvik.conf");
}

ReglagePort LireReglagePort()
{
    const FichierLu lu = LireFichier(FichierReglages());
    if (lu.absent)
        return {};
    if (!lu.erreur.isEmpty())
        return {{}, reglagesIllisibles(lu.erreur.chopped(1))};
    CopieReglages copie;
    if (!copie.ouvrir(lu.contenu))
        return {{}, reglagesIllisibles(QStringLiteral("copie impossible"))};
    const QSettings reglages(copie.chemin(), QSettings::IniFormat);
    const QVariant valeur = reglages.value(ClePort);
    if (reglages.status() != QSettings::NoError ||
        (valeur.isValid() &&
         (valeur.typeId() != QMetaType::QString || !nomUtilisable(valeur.toString()))))
        return {{}, reglagesIllisibles(QStringLiteral("fichier abîmé"))};
    return {valeur.toString(), {}};
}

QString EnregistrerReglagePort(const QString &peripherique)
{
    const QString fichier = FichierReglages();
    if (!QDir().mkpath(QFileInfo(fichier).path()))
        return QStringLiteral("le dossier %1 ne peut pas être créé").arg(QFileInfo(fichier).path());
    // Whatever else the file holds is kept, when it can be read.
    CopieReglages copie;
    if (!copie.ouvrir(LireFichier(fichier).contenu))
        return QStringLiteral("copie impossible");
    {
        QSettings reglages(copie.chemin(), QSettings::IniFormat);
        if (peripherique.isEmpty())
            reglages.remove(ClePort);
        else
            reglages.setValue(ClePort, peripherique);
        reglages.sync();
        if (reglages.status() != QSettings::NoError)
            return QStringLiteral("écriture impossible");
    }
    // Read back: a short write by QSettings shows here, before the real file
    // is touched.
    const FichierLu ecrit = LireFichier(copie.chemin());
    if (!ecrit.erreur.isEmpty())
        return ecrit.erreur.chopped(1);
    if (QSettings(copie.chemin(), QSettings::IniFormat).value(ClePort).toString() != peripherique)
        return QStringLiteral("écriture incomplète");
    return EcrireFichier(fichier, ecrit.contenu).erreur;
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
