#include "system/fichier_limites.h"

#include "system/ecriture.h"
#include "system/erreurs.h"
#include "system/fichier_reglages.h"
#include "system/noms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace {

// The texts of this file, in the operator's language.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Limites)
};

const QString DossierMachine = QStringLiteral("/etc/xdg");
const QString NomFichier = QStringLiteral("/Tarvik/limites.conf");

// Only root may change what is owned by root and that neither its group nor
// others may write.
bool protege(quint32 proprietaire, quint32 mode)
{
    return proprietaire == 0 && (mode & (S_IWGRP | S_IWOTH)) == 0;
}

QString enOctal(quint32 mode)
{
    return QStringLiteral("%1").arg(mode, 4, 8, QChar(u'0'));
}

// Why the machine file at `chemin`, read as `lu`, or the folder it stands
// in (the one it leads to as well, through a link), could be changed by
// another than root; or nothing.
std::optional<Echec> raisonNonProtege(const QString &chemin, const FichierLu &lu)
{
    if (!protege(lu.proprietaire, lu.mode))
        return Echec{Textes::tr("il n'est pas protégé (propriétaire n° %1, mode %2) : il doit "
                                "appartenir à root et n'être modifiable que par lui")
                         .arg(lu.proprietaire)
                         .arg(enOctal(lu.mode))};
    QStringList dossiers{QFileInfo(chemin).path()};
    if (const QString reel = CheminReel(chemin); !reel.isEmpty())
        dossiers << QFileInfo(reel).path();
    dossiers.removeDuplicates();
    for (const QString &dossier : dossiers) {
        struct stat etat {};
        if (::stat(OctetsLocaux(dossier).constData(), &etat) != 0)
            return Echec{Textes::tr("son dossier « %1 » ne peut pas être examiné (%2)")
                             .arg(NomLisible(dossier), TexteErreurSysteme(errno))};
        if (!protege(etat.st_uid, etat.st_mode & 07777))
            return Echec{Textes::tr("son dossier « %1 » n'est pas protégé (propriétaire n° %2, "
                                    "mode %3) : il doit appartenir à root et n'être "
                                    "modifiable que par lui")
                             .arg(NomLisible(dossier))
                             .arg(etat.st_uid)
                             .arg(enOctal(etat.st_mode & 07777))};
    }
    return std::nullopt;
}

// A limits file, read and parsed; a machine file's protection checked.
struct FichierLimites {
    bool absent = false;
    LimitesAnalysees analysees; // its limits, or why it is doubtful
    QByteArray contenu;
};
FichierLimites lireLimites(const QString &chemin, NiveauLimite niveau)
{
    FichierLimites lu;
    const FichierLu fichier = LireFichierReglages(chemin);
    lu.absent = fichier.absent;
    if (lu.absent)
        return lu;
    lu.analysees.echec = fichier.echec;
    if (!lu.analysees.echec && niveau == NiveauLimite::Machine)
        lu.analysees.echec = raisonNonProtege(chemin, fichier);
    if (lu.analysees.echec)
        return lu;
    lu.contenu = fichier.contenu;
    lu.analysees = AnalyserLimites(fichier.contenu, niveau);
    return lu;
}

QString douteux(const QString &chemin, const Echec &raison)
{
    return Textes::tr("le fichier de limites « %1 » est douteux : %2")
        .arg(NomLisible(chemin), raison.message);
}

} // namespace

QStringList CheminsLimitesMachine()
{
    QStringList dossiers;
    for (const QString &dossier :
         NomLocal(qgetenv("XDG_CONFIG_DIRS")).split(u':', Qt::SkipEmptyParts))
        if (dossier.startsWith(u'/'))
            dossiers << QDir::cleanPath(dossier);
    dossiers << DossierMachine; // always
    dossiers.removeDuplicates();
    QStringList chemins;
    for (const QString &dossier : std::as_const(dossiers))
        chemins << (dossier == QLatin1String("/") ? QString() : dossier) + NomFichier;
    return chemins;
}

QString CheminLimitesOperateur()
{
    return DossierXdg("XDG_CONFIG_HOME", QStringLiteral(".config")) + NomFichier;
}

LimitesLues LireLimites()
{
    LimitesLues lues;
    QStringList doutes;
    for (const QString &chemin : CheminsLimitesMachine()) {
        const FichierLimites lu = lireLimites(chemin, NiveauLimite::Machine);
        if (lu.analysees.echec)
            doutes << douteux(chemin, *lu.analysees.echec);
        else if (!lu.absent) {
            lues.machine = PlusStrictes(lues.machine, lu.analysees.limites);
            lues.fichiersMachine << chemin;
        }
    }
    const QString chemin = CheminLimitesOperateur();
    const FichierLimites lu = lireLimites(chemin, NiveauLimite::Operateur);
    if (lu.analysees.echec)
        doutes << douteux(chemin, *lu.analysees.echec);
    else
        lues.operateur = lu.analysees.limites;
    lues.effectives = PlusStrictes(lues.machine, lues.operateur);
    if (!doutes.isEmpty())
        lues.echec = Echec{doutes.join(QStringLiteral(" ; "))};
    return lues;
}

EcritureLimites EcrireLimitesOperateur(const Limites &operateur)
{
    const QString fichier = CheminLimitesOperateur();
    const QString dossier = QFileInfo(fichier).path();
    EcritureLimites resultat;
    if (!QDir().mkpath(dossier)) {
        resultat.echec =
            Echec{Textes::tr("le dossier %1 ne peut pas être créé").arg(NomLisible(dossier))};
        return resultat;
    }
    // Whatever else the file holds is kept; a file not understood is set aside.
    const FichierLimites avant = lireLimites(fichier, NiveauLimite::Operateur);
    const QByteArray octets =
        FormerLimites(operateur, avant.analysees.echec ? QByteArray() : avant.contenu);
    if (const auto refus = AnalyserLimites(octets, NiveauLimite::Operateur).echec) {
        resultat.echec = Echec{
            Textes::tr("ces limites ne peuvent pas être enregistrées : %1").arg(refus->message)};
        return resultat;
    }
    if (avant.analysees.echec) {
        resultat.misDeCote = MettreDeCote(fichier);
        if (resultat.misDeCote.isEmpty()) {
            resultat.echec = Echec{Textes::tr("le fichier illisible ne peut pas être mis de "
                                              "côté (%1)")
                                       .arg(TexteErreurSysteme(errno))};
            return resultat;
        }
        resultat.raison = avant.analysees.echec->message;
    }
    resultat.echec = EcrireFichier(fichier, octets).echec;
    return resultat;
}
