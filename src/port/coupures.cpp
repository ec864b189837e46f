#include "port/coupures.h"

#include "port/detenteurs.h"
#include "system/dossier_prive.h"
#include "system/ecriture.h"
#include "system/lecture.h"
#include "system/noms.h"

#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <array>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tarvik::port {

namespace {

// The most a trace holds, and the most marks of a lock folder one look
// reads through: a folder that holds more is a doubt.
constexpr qsizetype TailleTrace = 4096;
constexpr int MarquesLues = 32;
// The most entries of the private folder one look goes through.
constexpr int EntreesPrivees = 256;

// A trace's content: "136:5 1234 ligne\n" (the device's numbers, the
// process, why), then each name the device was reached by, one a line.
// Before these, a mark was an empty file: a cut, no more said.
struct Contenu {
    quint64 rdev = 0;
    qint64 pid = 0;
    RaisonTrace raison = RaisonTrace::Ligne;
    QStringList noms;
};
constexpr std::array<const char *, 4> Raisons{"ligne", "tue", "exclusif", "envoi"};

QByteArray former(const Contenu &contenu)
{
    QByteArray octets = QByteArray::number(major(contenu.rdev)) + ':' +
                        QByteArray::number(minor(contenu.rdev)) + ' ' +
                        QByteArray::number(contenu.pid) + ' ' + Raisons[int(contenu.raison)] + '\n';
    for (const QString &nom : contenu.noms)
        if (const QByteArray local = OctetsLocaux(nom); local.startsWith('/') &&
                                                        !local.contains('\n') &&
                                                        octets.size() + local.size() < TailleTrace)
            octets += local + '\n';
    return octets;
}

std::optional<Contenu> analyser(const QByteArray &octets)
{
    if (!octets.endsWith('\n'))
        return std::nullopt;
    QList<QByteArray> lignes = octets.chopped(1).split('\n');
    const QList<QByteArray> entete = lignes.takeFirst().split(' ');
    const QList<QByteArray> numeros = entete.value(0).split(':');
    bool majeur = false, mineur = false, processus = false;
    Contenu contenu;
    contenu.rdev = makedev(numeros.value(0).toUInt(&majeur), numeros.value(1).toUInt(&mineur));
    contenu.pid = entete.value(1).toLongLong(&processus);
    const auto raison = std::find(Raisons.begin(), Raisons.end(), entete.value(2));
    if (entete.size() != 3 || numeros.size() != 2 || !majeur || !mineur || !processus ||
        contenu.pid <= 0 || raison == Raisons.end())
        return std::nullopt;
    contenu.raison = RaisonTrace(raison - Raisons.begin());
    for (const QByteArray &nom : lignes) {
        if (!nom.startsWith('/'))
            return std::nullopt;
        contenu.noms << NomLocal(nom);
    }
    return contenu;
}

// What a trace holds once `nouveau` joins what it held (`ancien`): the
// names of both, and a killed run's reason and process rather than another.
QByteArray fusionner(const QByteArray &ancien, Contenu nouveau)
{
    const auto tue = [](RaisonTrace raison) {
        return raison == RaisonTrace::Tue || raison == RaisonTrace::Envoi;
    };
    if (const auto lu = analyser(ancien); lu && lu->rdev == nouveau.rdev) {
        if (tue(lu->raison) && !tue(nouveau.raison)) {
            nouveau.raison = lu->raison;
            nouveau.pid = lu->pid;
        }
        for (const QString &nom : lu->noms)
            if (!nouveau.noms.contains(nom))
                nouveau.noms << nom;
    }
    return former(nouveau);
}

// The device numbers a trace's name ends with: coupe.136.5,
// .tarvik.coupe.136.5, envoi.1234.136.5.
std::optional<quint64> numerosDuNom(QByteArrayView nom)
{
    const QList<QByteArray> parties = nom.toByteArray().split('.');
    bool majeur = false, mineur = false;
    const quint64 rdev =
        makedev(parties.value(parties.size() - 2).toUInt(&majeur), parties.last().toUInt(&mineur));
    if (parties.size() < 3 || !majeur || !mineur)
        return std::nullopt;
    return rdev;
}

QByteArray nomDeMarque(quint64 rdev)
{
    return "coupe." + QByteArray::number(major(rdev)) + '.' + QByteArray::number(minor(rdev));
}

// Writes `contenu` (mode `droits`) as `nom` in the folder open at
// `dossier`, whole or not at all: into `temporaire` beside it first, then
// renamed over it, or, when `seul`, linked in place only where nothing
// stands. 0, or errno.
int ecrireDans(int dossier, const QByteArray &temporaire, const QByteArray &nom,
               const QByteArray &contenu, mode_t droits, bool seul)
{
    const int fd = ::openat(dossier, temporaire.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, droits);
    if (fd < 0)
        return errno;
    int erreur = EcrireTout(fd, contenu) && ::fchmod(fd, droits) == 0 ? 0 : errno;
    if (::close(fd) != 0 && erreur == 0)
        erreur = errno;
    if (erreur == 0)
        erreur = (seul ? ::linkat(dossier, temporaire.constData(), dossier, nom.constData(), 0)
                       : ::renameat(dossier, temporaire.constData(), dossier, nom.constData())) == 0
                     ? 0
                     : errno;
    if (erreur != 0 || seul)
        ::unlinkat(dossier, temporaire.constData(), 0);
    return erreur;
}

// The name of a file being written in the lock folder, as a lock's: a run
// killed meanwhile leaves it, and the next one removes it.
QByteArray temporairePartage()
{
    return ".tarvik." + QByteArray::number(::getpid()) + '.' +
           QByteArray::number(QRandomGenerator::global()->generate(), 16);
}

// Writes the mark `contenu` in the lock folder `partage`, as `.tarvik.` +
// `nom`: in place where none stands, joined to the one this user left
// there, or left as it is when it is root's. False, with why, when
// something else stands there, which another user could remove.
bool ecrirePartagee(const QString &partage, const QByteArray &nom, const Contenu &contenu,
                    EchecTrace &echec)
{
    const QString chemin = partage + QStringLiteral("/.tarvik.") + NomLocal(nom);
    const int dossier =
        ::open(OctetsLocaux(partage).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int erreur = dossier < 0 ? errno : 0;
    const QByteArray fichier = ".tarvik." + nom;
    struct stat etat {};
    for (int essai = 0; erreur == 0 && essai < 2; ++essai) {
        if (::fstatat(dossier, fichier.constData(), &etat, AT_SYMLINK_NOFOLLOW) != 0) {
            erreur = errno == ENOENT ? ecrireDans(dossier, temporairePartage(), fichier,
                                                  former(contenu), 0644, true)
                                     : errno;
            if (erreur != EEXIST) // else one came meanwhile: looked at again
                break;
            erreur = 0;
            continue;
        }
        if (S_ISREG(etat.st_mode) && etat.st_uid == ::geteuid())
            erreur = ecrireDans(
                dossier, temporairePartage(), fichier,
                fusionner(LireFichierDans(dossier, fichier, TailleTrace).contenu, contenu), 0644,
                false);
        else if (!S_ISREG(etat.st_mode) || etat.st_uid != 0)
            erreur = -1;
        break;
    }
    if (dossier >= 0)
        ::close(dossier);
    if (erreur > 0)
        echec = {EchecTrace::Genre::Ecriture, chemin, erreur};
    else if (erreur < 0)
        echec = {EchecTrace::Genre::PriseParAutre, chemin, 0, NomUtilisateur(etat.st_uid)};
    return erreur == 0;
}

// Writes the trace `contenu` in the private folder open at `dossier`, as
// `nom`, joined to what it held. 0, or errno.
int ecrirePrivee(int dossier, const QByteArray &nom, const Contenu &contenu)
{
    const QByteArray temporaire = '.' + nom + '.' + QByteArray::number(::getpid());
    ::unlinkat(dossier, temporaire.constData(), 0); // a killed run of the same number's
    const FichierLu ancien = LireFichierDans(dossier, nom, TailleTrace);
    return ecrireDans(dossier, temporaire, nom,
                      ancien.absent ? former(contenu) : fusionner(ancien.contenu, contenu), 0600,
                      false);
}

} // namespace

QString CheminDossierTraces()
{
    if (!DossierTraces->isEmpty())
        return *DossierTraces;
    return DossierXdg("XDG_STATE_HOME", QStringLiteral(".local/state")) +
           QStringLiteral("/tarvik/traces");
}

void Traces::trouver(const Trouvee &trouvee)
{
    if (std::none_of(m_trouvees.begin(), m_trouvees.end(),
                     [&](const Trouvee &autre) { return autre.chemin == trouvee.chemin; }))
        m_trouvees << trouvee;
}

void Traces::lire(const Appareil &appareil)
{
    m_appareil = appareil;
    m_trouvees.clear();
    m_lues = 0;
    std::optional<EchecDossierPrive> echec;
    // None, or one this program cannot trust: nothing of it is believed.
    const int dossier = OuvrirDossierPrive(CheminDossierTraces(), false, echec);
    DIR *d = dossier >= 0 ? ::fdopendir(::dup(dossier)) : nullptr;
    if (!d) {
        if (dossier >= 0)
            ::close(dossier);
        return;
    }
    int vues = 0;
    while (const dirent *entree = ::readdir(d)) {
        const QByteArray nom(entree->d_name);
        const bool envoi = nom.startsWith("envoi.");
        const auto numeros = numerosDuNom(nom);
        if ((!envoi && !nom.startsWith("coupe.")) || !numeros)
            continue;
        if (++vues > EntreesPrivees)
            break;
        // A run in progress: its own, or one of ours that holds its device still.
        const qint64 pid = envoi ? nom.split('.').value(1).toLongLong() : 0;
        if (envoi && (pid == ::getpid() ||
                      (ProcessusVivant(pid) && TientPeripherique(pid, *numeros) != Tenu::Non)))
            continue;
        const FichierLu lu = LireFichierDans(dossier, nom, TailleTrace);
        const auto contenu = lu.echec ? std::nullopt : analyser(lu.contenu);
        if (*numeros != appareil.rdev &&
            !(contenu && std::any_of(contenu->noms.begin(), contenu->noms.end(),
                                     [&](const QString &n) { return appareil.noms.contains(n); })))
            continue;
        Trouvee trouvee{CheminDossierTraces() + u'/' + NomLocal(nom), true};
        trouvee.raison = envoi     ? RaisonTrace::Envoi
                         : contenu ? contenu->raison
                                   : RaisonTrace::Ligne;
        trouvee.pid = envoi ? pid : contenu ? contenu->pid : 0;
        trouvee.douteuse = !contenu;
        trouvee.sure = true;
        trouver(trouvee);
    }
    ::closedir(d);
    ::close(dossier);
}

void Traces::lirePartagee(const QString &dossier, const QString &nom)
{
    const auto numeros = numerosDuNom(OctetsLocaux(nom));
    if (!numeros)
        return;
    Trouvee trouvee{dossier + u'/' + nom};
    if (++m_lues > MarquesLues) { // one more than can be read: it may be about this device
        trouvee.douteuse = true;
        trouver(trouvee);
        return;
    }
    const FichierLu lu = LireFichier(trouvee.chemin, TailleTrace, Liens::Refuses);
    if (lu.absent)
        return;
    const bool vide = !lu.echec && lu.contenu.isEmpty(); // as marks were once written
    const auto contenu = lu.echec ? std::nullopt : analyser(lu.contenu);
    if (*numeros != m_appareil.rdev &&
        !(contenu && std::any_of(contenu->noms.begin(), contenu->noms.end(),
                                 [&](const QString &n) { return m_appareil.noms.contains(n); })))
        return;
    trouvee.raison = contenu ? contenu->raison : RaisonTrace::Ligne;
    trouvee.pid = contenu ? contenu->pid : 0;
    trouvee.douteuse = !contenu && !vide;
    trouvee.sure = contenu && (lu.proprietaire == ::geteuid() || lu.proprietaire == 0);
    trouver(trouvee);
}

Coupure Traces::coupure() const
{
    const auto trouve = [&](auto &&critere) {
        return std::any_of(m_trouvees.begin(), m_trouvees.end(), critere);
    };
    constexpr std::array<std::pair<RaisonTrace, Coupure>, 4> ordre{{
        {RaisonTrace::Tue, Coupure::VerrouPerime},
        {RaisonTrace::Envoi, Coupure::TraceEnvoi},
        {RaisonTrace::Ligne, Coupure::Marque},
        {RaisonTrace::Exclusif, Coupure::ExclusifLaisse},
    }};
    for (const auto &[raison, coupure] : ordre)
        if (trouve([&, r = raison](const Trouvee &t) { return !t.douteuse && t.raison == r; }))
            return coupure;
    return trouve([](const Trouvee &t) { return t.douteuse; }) ? Coupure::MarqueDouteuse
                                                               : Coupure::Aucune;
}

bool Traces::envoiTermine() const
{
    return std::any_of(m_trouvees.begin(), m_trouvees.end(), [](const Trouvee &t) {
        // A stale lock bearing this process's number was a killed run's.
        const bool fini = (t.raison == RaisonTrace::Tue && t.pid == ::getpid()) ||
                          (t.pid != ::getpid() && !ProcessusVivant(t.pid));
        return !t.douteuse && t.sure && t.raison != RaisonTrace::Exclusif && t.pid > 0 && fini;
    });
}

bool Traces::marquer(const QString &partage, RaisonTrace raison, qint64 pid, bool trouvee,
                     QList<EchecTrace> &echec)
{
    const Contenu contenu{m_appareil.rdev, pid, raison, m_appareil.noms};
    const QByteArray nom = nomDeMarque(m_appareil.rdev);
    QList<EchecTrace> pourquoi;
    QList<Trouvee> ecrites;
    EchecTrace sansPartage;
    if (!partage.isEmpty() && ecrirePartagee(partage, nom, contenu, sansPartage))
        ecrites << Trouvee{partage + QStringLiteral("/.tarvik.") + NomLocal(nom), false};
    else if (!partage.isEmpty())
        pourquoi << sansPartage;
    std::optional<EchecDossierPrive> sansPrive;
    if (const int dossier = OuvrirDossierPrive(CheminDossierTraces(), true, sansPrive);
        dossier >= 0) {
        const int erreur = ecrirePrivee(dossier, nom, contenu);
        ::close(dossier);
        const QString chemin = CheminDossierTraces() + u'/' + NomLocal(nom);
        if (erreur == 0)
            ecrites << Trouvee{chemin, true};
        else
            pourquoi << EchecTrace{EchecTrace::Genre::Ecriture, chemin, erreur};
    } else {
        pourquoi << EchecTrace{.genre = EchecTrace::Genre::DossierPrive, .dossier = sansPrive};
    }
    for (Trouvee &ecrite : ecrites) {
        ecrite.raison = raison;
        ecrite.pid = pid;
        ecrite.sure = true;
        if (trouvee)
            trouver(ecrite);
    }
    echec = pourquoi;
    return !ecrites.isEmpty();
}

bool Traces::commencer(EchecTrace &echec)
{
    std::optional<EchecDossierPrive> prive;
    const int dossier = OuvrirDossierPrive(CheminDossierTraces(), true, prive);
    if (dossier < 0) {
        echec = {.genre = EchecTrace::Genre::DossierPrive, .dossier = prive};
        return false;
    }
    const QByteArray nom = "envoi." + QByteArray::number(::getpid()) + '.' +
                           QByteArray::number(major(m_appareil.rdev)) + '.' +
                           QByteArray::number(minor(m_appareil.rdev));
    const int erreur = ecrireDans(
        dossier, '.' + nom, nom,
        former({m_appareil.rdev, ::getpid(), RaisonTrace::Envoi, m_appareil.noms}), 0600, false);
    ::close(dossier);
    if (erreur != 0) {
        echec = {EchecTrace::Genre::Ecriture, CheminDossierTraces() + u'/' + NomLocal(nom), erreur};
        return false;
    }
    m_enCours = NomLocal(nom);
    return true;
}

void Traces::finir()
{
    if (m_enCours.isEmpty())
        return;
    std::optional<EchecDossierPrive> echec;
    if (const int dossier = OuvrirDossierPrive(CheminDossierTraces(), false, echec); dossier >= 0) {
        ::unlinkat(dossier, OctetsLocaux(m_enCours).constData(), 0);
        ::close(dossier);
    }
    m_enCours.clear();
}

QList<AvertissementPort> Traces::effacer()
{
    QList<AvertissementPort> notes;
    static QSet<QString> dites; // the same traces would be met by every run
    std::optional<EchecDossierPrive> echec;
    const int prive = OuvrirDossierPrive(CheminDossierTraces(), false, echec);
    for (const Trouvee &trouvee : std::as_const(m_trouvees)) {
        if (trouvee.privee) {
            if (prive >= 0)
                ::unlinkat(prive, OctetsLocaux(trouvee.chemin.section(u'/', -1)).constData(), 0);
            continue;
        }
        const QByteArray local = OctetsLocaux(trouvee.chemin);
        struct stat etat {};
        if (::lstat(local.constData(), &etat) != 0)
            continue;
        // What is not a file is nobody's mark: it stays, and keeps counting as a cut.
        const int erreur = !S_ISREG(etat.st_mode)             ? -1
                           : ::unlink(local.constData()) == 0 ? 0
                                                              : errno;
        if (erreur == 0 || erreur == ENOENT || dites.contains(trouvee.chemin))
            continue;
        dites.insert(trouvee.chemin);
        using A = AvertissementPort::Genre;
        notes << (erreur < 0 ? AvertissementPort{.genre = A::AutreALaPlace,
                                                 .fichier = trouvee.chemin,
                                                 .utilisateur = NomUtilisateur(etat.st_uid)}
                             : AvertissementPort{.genre = A::MarqueRestee,
                                                 .fichier = trouvee.chemin,
                                                 .erreur = erreur});
    }
    if (prive >= 0)
        ::close(prive);
    m_trouvees.clear();
    return notes;
}

} // namespace tarvik::port
