#include "port/verrous.h"

#include "port/peripherique.h"
#include "system/ecriture.h"
#include "system/lecture.h"
#include "system/noms.h"

#include <QDateTime>
#include <QHash>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tarvik::port {

namespace {

// A lock file younger than this that holds no whole pid is being written.
constexpr qint64 AgeVerrouEnCoursMs = 5000;

// The word our lock files bear after the pid, as minicom writes its name.
const QByteArray NotreNom = "tarvik";

qint64 pidMax()
{
    const FichierLu lu = LireFichier(QStringLiteral("/proc/sys/kernel/pid_max"), 32);
    if (const qint64 max = lu.contenu.trimmed().toLongLong(); max > 0)
        return max;
    return 4194304; // the kernel's own limit
}

bool texte(const QByteArray &contenu)
{
    return std::all_of(contenu.begin(), contenu.end(), [](char c) {
        return (c >= 0x20 && c < 0x7f) || c == '\n' || c == '\t' || c == '\r';
    });
}

// Whole, as every locker writes it: ASCII ended by a line feed, or four
// bytes (the old binary int, or four ASCII digits).
bool complet(const QByteArray &contenu)
{
    return contenu.size() == 4 || (!contenu.isEmpty() && contenu.endsWith('\n'));
}

// The process a UUCP lock file names: the first integer of the ASCII forms
// ("      1234\n", "1234 minicom user\n", Qt's "1234\nname\nhost\n"), or the
// 4-byte int of the old binary form, which is not printable. Nothing when
// the file names no possible process.
std::optional<qint64> pidDuVerrou(const QByteArray &contenu)
{
    qint64 pid = 0;
    if (contenu.size() == 4 && !texte(contenu)) {
        std::int32_t binaire = 0;
        std::memcpy(&binaire, contenu.constData(), sizeof binaire);
        pid = binaire;
    } else {
        bool lu = false;
        pid = contenu.simplified().split(' ').value(0).toLongLong(&lu);
        if (!lu)
            return std::nullopt;
    }
    if (pid < 1 || pid > pidMax())
        return std::nullopt;
    return pid;
}

// Whether this program wrote the lock file: its name after the pid.
bool deNous(const QByteArray &contenu)
{
    return texte(contenu) && contenu.simplified().split(' ').value(1) == NotreNom;
}

// What our lock files hold: "      1234 tarvik alice\n". The user's name is
// looked up once for each effective user.
QByteArray contenuDeNotreVerrou()
{
    static uid_t vu = uid_t(-1);
    static QByteArray utilisateur;
    if (vu != ::geteuid()) {
        vu = ::geteuid();
        utilisateur = NomUtilisateur(vu).toUtf8();
        if (utilisateur.isEmpty() || !texte(utilisateur) || utilisateur.contains(' ') ||
            utilisateur.contains('\n'))
            utilisateur = QByteArray::number(vu);
    }
    return QByteArray::number(::getpid()).rightJustified(10, ' ') + ' ' + NotreNom + ' ' +
           utilisateur + '\n';
}

using G = RefusVerrou::Genre;

// Why the lock file `fichier` keeps the port, of `processus` when it names one.
RefusVerrou refus(G genre, const QString &fichier, Processus processus = {})
{
    RefusVerrou refus;
    refus.genre = genre;
    refus.fichier = fichier;
    refus.processus = std::move(processus);
    return refus;
}

// A lock file that cannot be read (`lecture`), or names no process.
RefusVerrou illisible(const QString &fichier, std::optional<EchecLecture> lecture)
{
    RefusVerrou illisible = refus(G::Illisible, fichier);
    illisible.lecture = std::move(lecture);
    // In the sticky lock folder only its owner, or an administrator, may
    // remove another user's file.
    struct stat etat {};
    if (::lstat(OctetsLocaux(fichier).constData(), &etat) == 0 && etat.st_uid != ::geteuid() &&
        ::geteuid() != 0)
        illisible.proprietaire = NomUtilisateur(etat.st_uid);
    return illisible;
}

// What a lock file's name designates: this device, another device, or
// none. "LCK..NAME" leads under /dev, as the name itself or with each '_'
// read as '/' (LCK..serial_by-id_…); "LCK.188.000" gives the numbers.
enum class Designe { CePeripherique, UnAutre, Aucun };
Designe designation(const QString &nom, quint64 rdev)
{
    if (!nom.startsWith(QLatin1String("LCK.."))) {
        const QStringList numeros = nom.mid(4).split(u'.');
        bool majeur = false, mineur = false;
        const quint64 lu =
            makedev(numeros.value(0).toUInt(&majeur), numeros.value(1).toUInt(&mineur));
        if (numeros.size() != 2 || !majeur || !mineur)
            return Designe::Aucun;
        return lu == rdev ? Designe::CePeripherique : Designe::UnAutre;
    }
    const QString reste = nom.mid(5);
    Designe vu = Designe::Aucun;
    for (const QString &candidat : {reste, QString(reste).replace(u'_', u'/')}) {
        struct stat etat {};
        if (::stat(OctetsLocaux(QStringLiteral("/dev/") + candidat).constData(), &etat) != 0 ||
            !S_ISCHR(etat.st_mode))
            continue;
        if (etat.st_rdev == rdev)
            return Designe::CePeripherique;
        vu = Designe::UnAutre;
    }
    return vu;
}

// The last component of a path: what follows its last '/'.
QStringView dernierePartie(const QString &chemin)
{
    return QStringView(chemin).mid(chemin.lastIndexOf(u'/') + 1);
}

// "LCK.." and `nom`, the form of a UUCP lock file's name.
QString verrouDe(QStringView nom)
{
    QString fichier = QStringLiteral("LCK..");
    return fichier.append(nom);
}

// Whether `nom` is a temporary file of ours whose process is dead:
// ".tarvik.PID.…", as prendre() names them.
bool temporaireAbandonne(const QString &nom)
{
    if (!nom.startsWith(QLatin1String(".tarvik.")))
        return false;
    bool numero = false;
    const qint64 pid = nom.section(u'.', 2, 2).toLongLong(&numero);
    return numero && pid > 0 && pid != ::getpid() && !ProcessusVivant(pid);
}

// Removes the file at `chemin` if it is a regular file, never following a link.
void retirerOrdinaire(const QString &chemin)
{
    const QByteArray local = OctetsLocaux(chemin);
    struct stat etat {};
    if (::lstat(local.constData(), &etat) == 0 && S_ISREG(etat.st_mode))
        ::unlink(local.constData());
}

// The lock folder's entries that concern a check: the lock files that name
// the device, the other lock files (another device's may be this one's
// too: a terminal program given ~/ttyS0, a link to it, locks LCK..ttyS0),
// the marks of cut runs, and the temporary files killed runs of ours left.
// A folder that is there but cannot be read (a lock folder of no read
// right, or of the wrong type by now) shows nothing free: `illisible` holds
// errno then.
struct Entrees {
    QStringList siens, autres, marques, abandonnes;
    int illisible = 0;
};
Entrees lireDossier(const QString &dossier, const QStringList &noms, quint64 rdev)
{
    Entrees entrees;
    DIR *d = ::opendir(OctetsLocaux(dossier).constData());
    if (!d) {
        entrees.illisible = errno == ENOENT ? 0 : errno; // gone since: no lock there
        return entrees;
    }
    while (const dirent *entree = ::readdir(d)) {
        const QString nom = NomLocal(entree->d_name);
        if (temporaireAbandonne(nom))
            entrees.abandonnes << nom;
        if (nom.startsWith(QLatin1String(".tarvik.coupe.")))
            entrees.marques << nom;
        if (!nom.startsWith(QLatin1String("LCK.")))
            continue;
        if (noms.contains(nom) || designation(nom, rdev) == Designe::CePeripherique)
            entrees.siens << nom;
        else
            entrees.autres << nom;
    }
    ::closedir(d);
    return entrees;
}

// A lock that names a process this program cannot see (`processus`: its
// pid alone), or examine: it may hold the port. An administrator sees every
// process, and what holds the device at `peripherique`.
RefusVerrou horsDeVue(const QString &fichier, Processus processus, const QString &peripherique,
                      bool examinable)
{
    RefusVerrou refus =
        port::refus(examinable ? G::HorsDeVue : G::NonExaminable, fichier, std::move(processus));
    refus.peripherique = peripherique;
    return refus;
}

} // namespace

QStringList LiensVers(quint64 rdev, const QStringList &dossiers)
{
    QStringList liens;
    for (const QString &dossier : dossiers) {
        DIR *d = ::opendir(OctetsLocaux(dossier).constData());
        if (!d)
            continue;
        while (const dirent *entree = ::readdir(d)) {
            if (entree->d_name[0] == '.')
                continue;
            const QString lien = dossier + u'/' + NomLocal(entree->d_name);
            struct stat etat {};
            if (::stat(OctetsLocaux(lien).constData(), &etat) == 0 && S_ISCHR(etat.st_mode) &&
                etat.st_rdev == rdev)
                liens << lien;
        }
        ::closedir(d);
    }
    return liens;
}

QStringList NomsDeVerrou(const QStringList &noms, quint64 rdev)
{
    QStringList fichiers;
    for (const QString &nom : noms) {
        if (const QStringView dernier = dernierePartie(nom); !dernier.isEmpty())
            fichiers << verrouDe(dernier);
        if (nom.startsWith(QLatin1String("/dev/")))
            fichiers << verrouDe(nom.mid(5).replace(u'/', u'_'));
    }
    char numeros[32];
    std::snprintf(numeros, sizeof numeros, "LCK.%03u.%03u", major(rdev), minor(rdev));
    fichiers << QLatin1String(numeros);
    fichiers.removeDuplicates();
    return fichiers;
}

QStringList NomsDeNosVerrous(const QString &donne, const QString &chemin, QString propre)
{
    // As Qt and the kernel's own names spell it: /dev/pts/3 gives pts_3.
    if (propre.isEmpty())
        propre = chemin;
    const QString soi = propre.startsWith(QLatin1String("/dev/"))
                            ? propre.mid(5).replace(u'/', u'_')
                            : dernierePartie(propre).toString();
    QStringList noms{verrouDe(soi)};
    // Given by its own name, however spelt, the device needs no other: a
    // name of its last part alone ("LCK..3" for /dev/pts/3) would stand for
    // nothing. A link, or a file it is bound on, leads elsewhere.
    struct stat etat {};
    const bool lien = ::lstat(OctetsLocaux(donne).constData(), &etat) == 0 && S_ISLNK(etat.st_mode);
    for (const QString &nom : {donne, chemin}) {
        const QStringView dernier = dernierePartie(nom);
        if (nom == propre || (chemin == propre && !lien) || dernier.isEmpty() ||
            dernier == QLatin1String(".") || dernier == QLatin1String(".."))
            continue;
        noms << verrouDe(dernier);
    }
    noms.removeDuplicates();
    return noms;
}

const QStringList &VerrousUucp::dossiers()
{
    // /var/lock is often a link to /run/lock: each folder once, worked out
    // once for each list of folders, by each thread: the status line looks
    // from the window's while a run takes the port from its own.
    thread_local QHash<QStringList, QStringList> existants;
    auto trouve = existants.find(*DossiersVerrou);
    if (trouve == existants.end()) {
        QStringList reels, dossiers;
        for (const QString &dossier : *DossiersVerrou) {
            const QString reel = CheminReel(dossier);
            if (!reel.isEmpty() && !reels.contains(reel)) {
                reels << reel;
                dossiers << dossier;
            }
        }
        trouve = existants.insert(*DossiersVerrou, dossiers);
    }
    return *trouve;
}

bool VerrousUucp::dossierOuvert()
{
    return dossiers().isEmpty() ||
           ::faccessat(AT_FDCWD, OctetsLocaux(dossiers().first()).constData(), W_OK | X_OK,
                       AT_EACCESS) == 0;
}

std::optional<RefusVerrou> VerrousUucp::examinerDossiers(const QStringList &noms, quint64 rdev,
                                                         Perimes perimes,
                                                         const QStringList &chemins)
{
    m_ignores.clear();
    m_avertissements.clear();
    m_detenteur = 0;
    m_invisible = false;
    m_notrePerime = false;
    m_sansTrace = false;
    m_imbriques.reset();
    m_traces.lire({rdev, chemins});
    for (const QString &dossier : dossiers()) {
        const Entrees entrees = lireDossier(dossier, noms, rdev);
        if (entrees.illisible)
            return RefusVerrou{
                .genre = G::DossierIllisible, .dossier = dossier, .erreur = entrees.illisible};
        if (perimes == Perimes::Supprimes)
            for (const QString &nom : entrees.abandonnes)
                retirerOrdinaire(dossier + u'/' + nom);
        for (const QString &nom : entrees.marques)
            m_traces.lirePartagee(dossier, nom);
        for (const QString &nom : entrees.siens)
            if (auto refus = examiner(dossier + u'/' + nom, perimes))
                return refus;
        for (const QString &nom : entrees.autres)
            if (auto refus = examinerAutre(dossier + u'/' + nom, rdev))
                return refus;
    }
    return std::nullopt;
}

std::optional<RefusVerrou> VerrousUucp::horsDeVue(const QString &fichier, qint64 pid, bool siens,
                                                  quint64 rdev)
{
    const QString peripherique = NomPropre(rdev);
    if (!VoitTousLesProcessus()) {
        m_invisible = true;
        return port::horsDeVue(fichier, Processus{pid}, peripherique, true);
    }
    // Looked for once a check meets such a lock, and only then: the
    // processes of every nested namespace.
    if (!m_imbriques)
        m_imbriques = ProcessusImbriques();
    for (const qint64 ici : m_imbriques->ici.values(pid)) {
        const Tenu tenu = siens ? Tenu::Oui : TientPeripherique(ici, rdev);
        if (tenu == Tenu::Non)
            continue;
        m_detenteur = ici;
        if (tenu == Tenu::Inconnu) {
            m_invisible = true;
            return port::horsDeVue(fichier, LireProcessus(ici), peripherique, false);
        }
        RefusVerrou ailleurs = refus(G::AutreEspace, fichier, LireProcessus(ici));
        ailleurs.pid = pid;
        return ailleurs;
    }
    if (!m_imbriques->complet) {
        m_invisible = true;
        return port::horsDeVue(fichier, Processus{pid}, peripherique, true);
    }
    return std::nullopt;
}

std::optional<RefusVerrou> VerrousUucp::examinerAutre(const QString &fichier, quint64 rdev)
{
    // Anything else there (a tube, a link, a lock that names no process) is
    // another device's business.
    const FichierLu lu = LireFichier(fichier, 256, Liens::Refuses);
    const auto pid = lu.echec ? std::nullopt : pidDuVerrou(lu.contenu);
    if (!pid || *pid == ::getpid())
        return std::nullopt;
    if (!ProcessusVivant(*pid))
        return horsDeVue(fichier, *pid, false, rdev);
    switch (TientPeripherique(*pid, rdev)) {
    case Tenu::Non:
        return std::nullopt;
    case Tenu::Inconnu:
        m_invisible = true;
        return port::horsDeVue(fichier, LireProcessus(*pid), NomPropre(rdev), false);
    case Tenu::Oui:
        break;
    }
    m_detenteur = *pid;
    return refus(G::AutreNomOuvert, fichier, LireProcessus(*pid));
}

std::optional<RefusVerrou> VerrousUucp::examiner(const QString &fichier, Perimes perimes)
{
    for (int essai = 0; essai < 3; ++essai) {
        const FichierLu lu = LireFichier(fichier, 256, Liens::Refuses);
        if (lu.absent)
            return std::nullopt;
        if (lu.echec)
            return illisible(fichier, lu.echec);
        // A time to come is no sign of a lock being written.
        const qint64 age = QDateTime::currentMSecsSinceEpoch() - lu.modifieMs;
        if (!complet(lu.contenu) && age >= 0 && age < AgeVerrouEnCoursMs)
            return refus(G::EnCours, fichier);
        const auto pid = pidDuVerrou(lu.contenu);
        if (!pid)
            return illisible(fichier, std::nullopt);
        // This program holds no lock before it takes its own: one naming it
        // is a dead run's whose pid came back.
        if (*pid != ::getpid() && ProcessusVivant(*pid)) {
            m_detenteur = *pid;
            return refus(G::Vivant, fichier, LireProcessus(*pid));
        }
        if (*pid != ::getpid())
            if (auto refus = horsDeVue(fichier, *pid, true, m_traces.rdev()))
                return refus;
        const bool notre = deNous(lu.contenu);
        m_notrePerime |= notre;
        if (perimes == Perimes::Laisses)
            return std::nullopt;
        bool remplace = false;
        auto refus = retirerPerime(fichier, lu, *pid, notre, remplace);
        if (!remplace)
            return refus;
    }
    return refus(G::Instable, fichier);
}

std::optional<RefusVerrou> VerrousUucp::retirerPerime(const QString &fichier, const FichierLu &lu,
                                                      qint64 pid, bool notre, bool &remplace)
{
    // A run of ours was killed there, maybe in the middle of a line:
    // that is marked before its lock goes, so that whichever run gets
    // the port first starts on a fresh line.
    QList<EchecTrace> sansMarque;
    if (notre && !m_traces.marquer(dossiers().first(), RaisonTrace::Tue, pid, true, sansMarque)) {
        RefusVerrou garde = refus(G::SansMarque, fichier);
        garde.marques = sansMarque;
        return garde;
    }

    // Stale: removed if it is still the file just read.
    const QByteArray local = OctetsLocaux(fichier);
    struct stat etat {};
    if (::lstat(local.constData(), &etat) != 0)
        return std::nullopt; // gone meanwhile
    if (etat.st_dev != lu.appareil || etat.st_ino != lu.inode) {
        remplace = true; // replaced meanwhile: read again
        return std::nullopt;
    }
    if (::unlink(local.constData()) == 0 || errno == ENOENT)
        return std::nullopt;
    const int erreur = errno;
    m_ignores << fichier;
    m_avertissements << AvertissementPort{.genre = AvertissementPort::Genre::VerrouIgnore,
                                          .fichier = fichier,
                                          .pid = pid,
                                          .erreur = erreur};
    return std::nullopt;
}

namespace {

// Writes our lock's content into a new file in `dossier`, to be linked
// into place under each of our names: its path, and its identity in
// `etat`; empty, with errno in `erreur`, when it cannot be.
QByteArray ecrireTemporaire(const QString &dossier, struct stat &etat, int &erreur)
{
    const QByteArray temporaire = OctetsLocaux(dossier) + "/.tarvik." +
                                  QByteArray::number(::getpid()) + '.' +
                                  QByteArray::number(QRandomGenerator::global()->generate(), 16);
    const int fd =
        ::open(temporaire.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        erreur = errno;
        return {};
    }
    // The mode asked for, whatever the umask took away from it.
    erreur = EcrireTout(fd, contenuDeNotreVerrou()) && ::fstat(fd, &etat) == 0 &&
                     ((etat.st_mode & 07777) == 0644 || ::fchmod(fd, 0644) == 0)
                 ? 0
                 : errno;
    if (::close(fd) != 0 && erreur == 0)
        erreur = errno;
    if (erreur == 0)
        return temporaire;
    ::unlink(temporaire.constData());
    return {};
}

// Why our lock file `fichier` could not be created in `dossier`, errno `erreur`.
RefusVerrou refusCreation(const QString &dossier, const QString &fichier, int erreur)
{
    return {
        .genre = G::CreationImpossible, .fichier = fichier, .dossier = dossier, .erreur = erreur};
}

} // namespace

std::optional<RefusVerrou> VerrousUucp::lier(const QByteArray &temporaire, const QString &dossier,
                                             const QString &nom, const struct stat &etat)
{
    const QString fichier = dossier + u'/' + nom;
    if (m_ignores.contains(fichier))
        return std::nullopt; // another user's stale lock stands there
    if (::link(temporaire.constData(), OctetsLocaux(fichier).constData()) == 0) {
        m_fichiers << fichier;
        m_identites << std::pair<quint64, quint64>(etat.st_dev, etat.st_ino);
        return std::nullopt;
    }
    if (errno == EEXIST) // taken between the look and now
        return examiner(fichier).value_or(refus(G::PrisEntreTemps, fichier));
    return refusCreation(dossier, fichier, errno);
}

std::optional<RefusVerrou> VerrousUucp::prendre(const QStringList &noms)
{
    rendre();
    if (dossiers().isEmpty()) {
        // No lock folder on this host: the flock alone holds the port, and
        // nothing there would tell that a run was killed. Only then does a
        // run write down that it is in progress, where it stays: its lock
        // file does it otherwise.
        EchecTrace sansTrace;
        m_sansTrace = !m_traces.commencer(sansTrace);
        static QList<EchecTrace> dits; // the same for every run
        if (m_sansTrace && !dits.contains(sansTrace)) {
            dits << sansTrace;
            m_avertissements << AvertissementPort{.genre = AvertissementPort::Genre::SansTrace,
                                                  .trace = sansTrace};
        }
        return std::nullopt;
    }
    if (noms.isEmpty())
        return std::nullopt;
    const QString dossier = dossiers().first();
    struct stat etat {};
    int erreur = 0;
    const QByteArray temporaire = ecrireTemporaire(dossier, etat, erreur);
    if (temporaire.isEmpty())
        return refusCreation(dossier, dossier + u'/' + noms.first(), erreur);
    std::optional<RefusVerrou> refus;
    for (auto nom = noms.begin(); !refus && nom != noms.end(); ++nom)
        refus = lier(temporaire, dossier, *nom, etat);
    ::unlink(temporaire.constData());
    if (refus)
        rendre();
    return refus;
}

void VerrousUucp::rendre()
{
    m_traces.finir();
    for (qsizetype i = 0; !m_garder && i < m_fichiers.size(); ++i) {
        const QByteArray local = OctetsLocaux(m_fichiers[i]);
        struct stat etat {};
        if (::lstat(local.constData(), &etat) == 0 && etat.st_dev == m_identites[i].first &&
            etat.st_ino == m_identites[i].second)
            ::unlink(local.constData());
    }
    m_fichiers.clear();
    m_identites.clear();
    m_garder = false;
}

bool VerrousUucp::marquerCoupure(RaisonTrace raison)
{
    QList<EchecTrace> echec;
    // Exclusive mode left is this run's own finding: gone with the others
    // once this run has started on a fresh line.
    const bool marquee = m_traces.marquer(dossiers().value(0), raison, ::getpid(),
                                          raison == RaisonTrace::Exclusif, echec);
    // Our lock files, left behind, tell the next run that a run of ours
    // ended badly: it starts on a fresh line.
    m_garder |= !marquee && raison == RaisonTrace::Ligne && !m_fichiers.isEmpty();
    return marquee;
}

Coupure VerrousUucp::coupure() const
{
    const Coupure trouvee = m_traces.coupure();
    return trouvee == Coupure::Aucune && m_sansTrace ? Coupure::SansTrace : trouvee;
}

} // namespace tarvik::port
