#include "system/fichier_limites.h"

#include "core/noms.h"
#include "system/ecriture.h"
#include "system/erreurs.h"
#include "system/fichier_reglages.h"
#include "system/noms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace tarvik::system {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Limites)
};

const QString DossierMachine = QStringLiteral("/etc/xdg");
const QString NomFichier = QStringLiteral("/Tarvik/limites.conf");

// The groups of users besides root who may change a file of this mode,
// in words; empty when none may.
QString quiPeutModifier(quint32 mode)
{
    const bool groupe = mode & S_IWGRP, autres = mode & S_IWOTH;
    return groupe && autres ? Mots::tr("son groupe et tous les autres peuvent le modifier")
           : groupe         ? Mots::tr("son groupe peut le modifier")
           : autres         ? Mots::tr("tous les autres peuvent le modifier")
                            : QString();
}

QString enOctal(quint32 mode)
{
    return QStringLiteral("%1").arg(mode, 4, 8, QChar(u'0'));
}

// The commands that make `chemin`, of owner `proprietaire` and mode `mode`,
// root's and closed to its group and to others, in quotes, as a message
// ends with them.
QString commandes(const QString &chemin, uint proprietaire, quint32 mode)
{
    QStringList faire;
    if (proprietaire != 0)
        faire << QStringLiteral("sudo chown root: ") + PourLeShell(chemin);
    if (mode & (S_IWGRP | S_IWOTH))
        faire << QStringLiteral("sudo chmod go-w ") + PourLeShell(chemin);
    return Mots::tr("Pour le protéger : « %1 »").arg(faire.join(QStringLiteral(" && ")));
}

// Why the machine file `chemin`, read as `lu`, could be changed by another
// than root, and how to mend it, said after "it is not protected"; or
// nothing.
std::optional<Echec> raisonNonProtege(const QString &chemin, const FichierLu &lu)
{
    const QString corriger = commandes(chemin, lu.proprietaire, lu.mode);
    if (lu.proprietaire != 0)
        return Echec{Mots::tr("il appartient à l'utilisateur n° %1 et non à root (mode %2) : "
                              "cet utilisateur peut le changer. %3")
                         .arg(lu.proprietaire)
                         .arg(enOctal(lu.mode), corriger)};
    if (const QString qui = quiPeutModifier(lu.mode); !qui.isEmpty())
        return Echec{Mots::tr("il appartient bien à root, mais %1 (mode %2), alors que seul "
                              "root doit pouvoir le modifier. %3")
                         .arg(qui, enOctal(lu.mode), corriger)};
    return std::nullopt;
}

// Why the folder `dossier` (as lstat saw it) on the way to a machine file
// lets another than root change what stands in it; or nothing. A sticky
// folder of root's (/tmp) lets others remove only what is theirs:
// `collant` says what stands in it must then be root's.
std::optional<Echec> dossierOuvert(const QString &dossier, const struct stat &etat, bool &collant)
{
    const quint32 mode = etat.st_mode & 07777;
    collant = etat.st_uid == 0 && (mode & S_ISVTX);
    const QString corriger = commandes(dossier, etat.st_uid, collant ? 0 : mode);
    if (etat.st_uid != 0)
        return Echec{Mots::tr("le dossier « %1 », sur son chemin, appartient à l'utilisateur "
                              "n° %2 (mode %3) : chaque dossier jusqu'au fichier doit "
                              "appartenir à root. %4")
                         .arg(NomLisible(dossier))
                         .arg(etat.st_uid)
                         .arg(enOctal(mode), corriger)};
    if (const QString qui = quiPeutModifier(mode); !qui.isEmpty() && !collant)
        return Echec{Mots::tr("le dossier « %1 », sur son chemin, n'est pas protégé : %2 "
                              "(mode %3), et seul root doit pouvoir le modifier. %4")
                         .arg(NomLisible(dossier), qui, enOctal(mode), corriger)};
    return std::nullopt;
}

// A part of a path still to walk, and the link whose target it comes from
// (empty for the path's own parts).
struct Partie {
    QString nom;
    QString lien;
};

// How the walk down to a machine file ended: a part missing from a folder
// only root may change (`absent`), a doubtful part (`echec`), or the file
// reached (neither).
struct CheminMachine {
    bool absent = false;
    std::optional<Echec> echec;
};

constexpr int LiensMax = 40; // as the kernel's own limit

// The target of the link at `lien`, read bounded; empty when it cannot be.
QString cibleDe(const QString &lien)
{
    char cible[4096];
    const ssize_t n = ::readlink(OctetsLocaux(lien).constData(), cible, sizeof cible);
    return n > 0 && size_t(n) < sizeof cible ? NomLocal(QByteArrayView(cible, n)) : QString();
}

// Puts the parts of `cible`, the target of `lien`, before those left to walk.
void suivreLien(const QString &lien, const QString &cible, QList<Partie> &reste)
{
    const QStringList parties = cible.split(u'/', Qt::SkipEmptyParts);
    for (auto partie = parties.crbegin(); partie != parties.crend(); ++partie)
        reste.prepend({*partie, lien});
}

// What stands at `suivant`, in the folder walked so far, as lstat saw it:
// why it makes the file doubtful, or nothing.
std::optional<Echec> partieDouteuse(const QString &suivant, const struct stat &etat, bool collant)
{
    if (collant && etat.st_uid != 0)
        return Echec{Mots::tr("« %1 » appartient à l'utilisateur n° %2, dans un dossier ouvert "
                              "à tous : lui seul, ou root, peut l'y remplacer. Pour le "
                              "protéger : « %3 »")
                         .arg(NomLisible(suivant))
                         .arg(etat.st_uid)
                         .arg(QStringLiteral("sudo chown -h root: ") + PourLeShell(suivant))};
    return std::nullopt;
}

// Enters `dossier`, / or a folder already walked through: why it is
// doubtful, or nothing, and `collant` set for what stands in it.
std::optional<Echec> entrer(const QString &dossier, bool &collant)
{
    struct stat etat {};
    if (::lstat(OctetsLocaux(dossier).constData(), &etat) != 0)
        return Echec{Mots::tr("« %1 » ne peut pas être examiné (%2)")
                         .arg(NomLisible(dossier), TexteErreurSysteme(errno))};
    return dossierOuvert(dossier, etat, collant);
}

// What lstat could not see at `suivant`: a part missing from the path
// itself (the file is absent), or a link that leads nowhere.
CheminMachine manquant(const Partie &partie, const QString &suivant, int erreur)
{
    if (erreur == ENOENT && partie.lien.isEmpty())
        return {true, std::nullopt};
    if (erreur == ENOENT || erreur == ENOTDIR)
        return {false,
                Echec{Mots::tr("le lien « %1 » ne mène à rien").arg(NomLisible(partie.lien))}};
    return {false, Echec{Mots::tr("« %1 » ne peut pas être examiné (%2)")
                             .arg(NomLisible(suivant), TexteErreurSysteme(erreur))}};
}

// Walks from / down to the machine file `chemin`, one part at a time,
// following each link one step at a time (at most LiensMax of them): every
// folder met, on the path and along every link, must be root's and closed
// to its group and to others.
CheminMachine examinerChemin(const QString &chemin)
{
    QList<Partie> reste;
    suivreLien(QString(), chemin, reste);
    QString dossier = QStringLiteral("/");
    bool collant = false;
    if (auto faute = entrer(dossier, collant))
        return {false, faute};
    for (int liens = 0; !reste.isEmpty();) {
        const Partie partie = reste.takeFirst();
        if (partie.nom == QLatin1String("."))
            continue;
        if (partie.nom == QLatin1String("..")) {
            dossier = QFileInfo(dossier).path();
            if (auto faute = entrer(dossier, collant))
                return {false, faute};
            continue;
        }
        const QString suivant =
            (dossier == QLatin1String("/") ? QString() : dossier) + u'/' + partie.nom;
        struct stat etat {};
        if (::lstat(OctetsLocaux(suivant).constData(), &etat) != 0)
            return manquant(partie, suivant, errno);
        if (auto faute = partieDouteuse(suivant, etat, collant))
            return {false, faute};
        if (S_ISLNK(etat.st_mode)) {
            const QString cible = cibleDe(suivant);
            if (++liens > LiensMax || cible.isEmpty())
                return {false, Echec{Mots::tr("le lien « %1 » ne peut pas être suivi")
                                         .arg(NomLisible(suivant))}};
            if (cible.startsWith(u'/'))
                dossier = QStringLiteral("/");
            if (auto faute = entrer(dossier, collant))
                return {false, faute};
            suivreLien(suivant, cible, reste);
            continue;
        }
        if (reste.isEmpty()) // the file itself: checked once open
            return {};
        if (!S_ISDIR(etat.st_mode))
            return {false, Echec{Mots::tr("« %1 » n'est pas un dossier").arg(NomLisible(suivant))}};
        if (auto faute = dossierOuvert(suivant, etat, collant))
            return {false, faute};
        dossier = suivant;
    }
    return {};
}

// A limits file, read and parsed; a machine file's protection checked.
struct FichierLimites {
    bool absent = false;
    bool nonProtege = false;    // a machine file others than root may change: `echec` says who
    LimitesAnalysees analysees; // its limits, or why it is doubtful
    QByteArray contenu;
};
FichierLimites lireLimites(const QString &chemin, NiveauLimite niveau)
{
    FichierLimites lu;
    const FichierLu fichier = LireFichierReglages(chemin);
    lu.absent = fichier.absent;
    // A folder the operator's environment names may as well not be named:
    // a file absent from it adds nothing. Absent from /etc/xdg, it is
    // believed only when no one but root could have taken it away.
    if (lu.absent &&
        (niveau == NiveauLimite::Operateur || !chemin.startsWith(DossierMachine + u'/')))
        return lu;
    if (niveau == NiveauLimite::Machine && (lu.absent || !fichier.echec)) {
        const CheminMachine vu = examinerChemin(chemin);
        lu.analysees.echec = vu.echec    ? vu.echec
                             : lu.absent ? std::nullopt
                                         : raisonNonProtege(chemin, fichier);
        lu.nonProtege = !vu.echec && lu.analysees.echec;
        lu.absent = !vu.echec && (vu.absent || lu.absent);
    } else
        lu.analysees.echec = fichier.echec;
    if (lu.absent || lu.analysees.echec)
        return lu;
    lu.contenu = fichier.contenu;
    lu.analysees = AnalyserLimites(fichier.contenu, niveau);
    return lu;
}

// The doubtful file first, and why, as the refusals it causes say it.
QString douteux(const QString &chemin, const FichierLimites &lu)
{
    return (lu.nonProtege ? Mots::tr("le fichier de limites « %1 » est douteux, car il n'est "
                                     "pas protégé : %2")
                          : Mots::tr("le fichier de limites « %1 » est douteux : %2"))
        .arg(NomLisible(chemin), lu.analysees.echec->message);
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
            doutes << douteux(chemin, lu);
        else if (!lu.absent) {
            lues.machine = PlusStrictes(lues.machine, lu.analysees.limites);
            lues.fichiersMachine << chemin;
        }
    }
    const QString chemin = CheminLimitesOperateur();
    const FichierLimites lu = lireLimites(chemin, NiveauLimite::Operateur);
    if (lu.analysees.echec)
        doutes << douteux(chemin, lu);
    else
        lues.operateur = lu.analysees.limites;
    lues.effectives = PlusStrictes(lues.machine, lues.operateur);
    if (!doutes.isEmpty())
        lues.echec = Echec{doutes.join(Mots::tr(" ; ", "between two reasons"))};
    return lues;
}

EcritureLimites EcrireLimitesOperateur(const Limites &operateur)
{
    const QString fichier = CheminLimitesOperateur();
    return EcrireCles(
        fichier,
        [&] {
            const FichierLimites avant = lireLimites(fichier, NiveauLimite::Operateur);
            return ContenuCles{avant.contenu, avant.analysees.echec};
        },
        [&](const QByteArray &avant) {
            const QByteArray octets = FormerLimites(operateur, avant);
            std::optional<Echec> refus;
            if (const auto echec = AnalyserLimites(octets, NiveauLimite::Operateur).echec)
                refus = Echec{Mots::tr("ces limites ne peuvent pas être enregistrées : %1")
                                  .arg(echec->message)};
            return NouveauContenuCles{octets, refus};
        });
}

} // namespace tarvik::system
