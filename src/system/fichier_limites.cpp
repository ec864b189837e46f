#include "system/fichier_limites.h"

#include "core/noms.h"
#include "system/ecriture.h"
#include "system/fichier_reglages.h"
#include "system/noms.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace tarvik::system {

namespace {

using Genre = EchecProtection::Genre;

const QString DossierMachine = QStringLiteral("/etc/xdg");
const QString NomFichier = QStringLiteral("/Tarvik/limites.conf");

// The commands that make `chemin`, of owner `proprietaire` and mode `mode`,
// root's and closed to its group and to others.
QString commandes(const QString &chemin, uint proprietaire, quint32 mode)
{
    QStringList faire;
    if (proprietaire != 0)
        faire << QStringLiteral("sudo chown root: ") + PourLeShell(chemin);
    if (mode & (S_IWGRP | S_IWOTH))
        faire << QStringLiteral("sudo chmod go-w ") + PourLeShell(chemin);
    return faire.join(QStringLiteral(" && "));
}

// Why the machine file `chemin`, read as `lu`, could be changed by another
// than root; or nothing.
std::optional<EchecProtection> raisonNonProtege(const QString &chemin, const FichierLu &lu)
{
    if (lu.proprietaire == 0 && (lu.mode & (S_IWGRP | S_IWOTH)) == 0)
        return std::nullopt;
    return EchecProtection{.genre = lu.proprietaire != 0 ? Genre::FichierAUnAutre
                                                         : Genre::FichierModifiable,
                           .chemin = chemin,
                           .proprietaire = lu.proprietaire,
                           .mode = lu.mode,
                           .commandes = commandes(chemin, lu.proprietaire, lu.mode)};
}

// Why the folder `dossier` (as lstat saw it) on the way to a machine file
// lets another than root change what stands in it; or nothing. A sticky
// folder of root's (/tmp) lets others remove only what is theirs:
// `collant` says what stands in it must then be root's.
std::optional<EchecProtection> dossierOuvert(const QString &dossier, const struct stat &etat,
                                             bool &collant)
{
    const quint32 mode = etat.st_mode & 07777;
    collant = etat.st_uid == 0 && (mode & S_ISVTX);
    const bool modifiable = (mode & (S_IWGRP | S_IWOTH)) != 0 && !collant;
    if (etat.st_uid == 0 && !modifiable)
        return std::nullopt;
    return EchecProtection{.genre =
                               etat.st_uid != 0 ? Genre::DossierAUnAutre : Genre::DossierModifiable,
                           .chemin = dossier,
                           .proprietaire = etat.st_uid,
                           .mode = mode,
                           .commandes = commandes(dossier, etat.st_uid, collant ? 0 : mode)};
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
    std::optional<EchecProtection> echec;
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
std::optional<EchecProtection> partieDouteuse(const QString &suivant, const struct stat &etat,
                                              bool collant)
{
    if (collant && etat.st_uid != 0)
        return EchecProtection{.genre = Genre::PartieAUnAutre,
                               .chemin = suivant,
                               .proprietaire = etat.st_uid,
                               .commandes =
                                   QStringLiteral("sudo chown -h root: ") + PourLeShell(suivant)};
    return std::nullopt;
}

EchecProtection echecChemin(Genre genre, const QString &chemin, int erreur = 0)
{
    return {.genre = genre, .chemin = chemin, .erreur = erreur};
}

// Enters `dossier`, / or a folder already walked through: why it is
// doubtful, or nothing, and `collant` set for what stands in it.
std::optional<EchecProtection> entrer(const QString &dossier, bool &collant)
{
    struct stat etat {};
    if (::lstat(OctetsLocaux(dossier).constData(), &etat) != 0)
        return echecChemin(Genre::Inexaminable, dossier, errno);
    return dossierOuvert(dossier, etat, collant);
}

// What lstat could not see at `suivant`: a part missing from the path
// itself (the file is absent), or a link that leads nowhere.
CheminMachine manquant(const Partie &partie, const QString &suivant, int erreur)
{
    if (erreur == ENOENT && partie.lien.isEmpty())
        return {true, std::nullopt};
    if (erreur == ENOENT || erreur == ENOTDIR)
        return {false, echecChemin(Genre::LienVersRien, partie.lien)};
    return {false, echecChemin(Genre::Inexaminable, suivant, erreur)};
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
                return {false, echecChemin(Genre::LienNonSuivi, suivant)};
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
            return {false, echecChemin(Genre::PasUnDossier, suivant)};
        if (auto faute = dossierOuvert(suivant, etat, collant))
            return {false, faute};
        dossier = suivant;
    }
    return {};
}

// A limits file, read and parsed; a machine file's protection checked.
struct FichierLimites {
    bool absent = false;
    std::optional<FichierLimitesDouteux> doute; // why it is doubtful
    Limites limites;
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
    const auto douter = [&](const auto &raison) {
        lu.doute = FichierLimitesDouteux{chemin, raison};
        return lu;
    };
    if (niveau == NiveauLimite::Machine && (lu.absent || !fichier.echec)) {
        const CheminMachine vu = examinerChemin(chemin);
        const bool absentLu = lu.absent;
        lu.absent = !vu.echec && (vu.absent || lu.absent);
        if (vu.echec)
            return douter(*vu.echec);
        if (!absentLu)
            if (const auto protection = raisonNonProtege(chemin, fichier))
                return douter(*protection);
    } else if (fichier.echec)
        return douter(*fichier.echec);
    if (lu.absent)
        return lu;
    lu.contenu = fichier.contenu;
    const LimitesAnalysees analysees = AnalyserLimites(fichier.contenu, niveau);
    if (analysees.echec)
        return douter(*analysees.echec);
    lu.limites = analysees.limites;
    return lu;
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
    LimitesDouteuses doutes;
    for (const QString &chemin : CheminsLimitesMachine()) {
        const FichierLimites lu = lireLimites(chemin, NiveauLimite::Machine);
        if (lu.doute)
            doutes.fichiers << *lu.doute;
        else if (!lu.absent) {
            lues.machine = PlusStrictes(lues.machine, lu.limites);
            lues.fichiersMachine << chemin;
        }
    }
    const FichierLimites lu = lireLimites(CheminLimitesOperateur(), NiveauLimite::Operateur);
    if (lu.doute)
        doutes.fichiers << *lu.doute;
    else
        lues.operateur = lu.limites;
    lues.effectives = PlusStrictes(lues.machine, lues.operateur);
    if (!doutes.fichiers.isEmpty())
        lues.echec = doutes;
    return lues;
}

EcritureLimites EcrireLimitesOperateur(const Limites &operateur)
{
    const QString fichier = CheminLimitesOperateur();
    return EcrireCles(
        fichier,
        [&] {
            const FichierLimites avant = lireLimites(fichier, NiveauLimite::Operateur);
            std::optional<EchecFichierCles> incompris;
            if (avant.doute)
                std::visit(
                    [&](const auto &raison) {
                        if constexpr (!std::is_same_v<std::decay_t<decltype(raison)>,
                                                      EchecProtection>)
                            incompris = raison;
                    },
                    avant.doute->raison);
            return ContenuCles{avant.contenu, incompris};
        },
        [&](const QByteArray &avant) {
            const QByteArray octets = FormerLimites(operateur, avant);
            return NouveauContenuCles{octets,
                                      AnalyserLimites(octets, NiveauLimite::Operateur).echec};
        });
}

} // namespace tarvik::system
