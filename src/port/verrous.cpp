#include "port/verrous.h"

#include "system/ecriture.h"
#include "system/erreurs.h"
#include "system/lecture.h"
#include "system/noms.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// The texts of this file, in the operator's language.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Port)
};

// A lock file younger than this that holds no whole pid is being written.
constexpr qint64 AgeVerrouEnCoursMs = 5000;

QString nomProcessus(qint64 pid)
{
    const FichierLu comm = LireFichier(QStringLiteral("/proc/%1/comm").arg(pid), 64);
    return QString::fromUtf8(comm.contenu).trimmed();
}

bool processusVivant(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

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

QString nomUtilisateur(uid_t uid)
{
    const passwd *compte = ::getpwuid(uid);
    return compte ? NomLocal(compte->pw_name) : QString::number(uid);
}

Echec illisible(const QString &fichier, const QString &raison)
{
    // In the sticky lock folder only its owner, or an administrator, may
    // remove another user's file.
    struct stat etat {};
    const bool autre = ::lstat(OctetsLocaux(fichier).constData(), &etat) == 0 &&
                       etat.st_uid != ::geteuid() && ::geteuid() != 0;
    return {Textes::tr("port occupé : le verrou %1 est illisible (%2). %3")
                .arg(NomLisible(fichier), raison,
                     autre ? Textes::tr("Il appartient à l'utilisateur %1 : s'il n'appartient à "
                                        "aucun programme, un administrateur doit le supprimer")
                                 .arg(nomUtilisateur(etat.st_uid))
                           : Textes::tr("Supprimez-le s'il n'appartient à aucun programme"))};
}

// The character device a lock file's name leads to under /dev: the name
// itself, or with each '_' read as '/' (LCK..serial_by-id_…).
bool designe(const QString &nom, quint64 rdev)
{
    if (!nom.startsWith(QLatin1String("LCK..")))
        return false;
    const QString reste = nom.mid(5);
    for (const QString &candidat : {reste, QString(reste).replace(u'_', u'/')}) {
        struct stat etat {};
        if (::stat(OctetsLocaux(QStringLiteral("/dev/") + candidat).constData(), &etat) == 0 &&
            S_ISCHR(etat.st_mode) && etat.st_rdev == rdev)
            return true;
    }
    return false;
}

} // namespace

QString DecrireProcessus(qint64 pid)
{
    const QString nom = nomProcessus(pid);
    struct stat etat {};
    if (::stat(QStringLiteral("/proc/%1").arg(pid).toLatin1().constData(), &etat) != 0)
        return nom.isEmpty() ? Textes::tr("le processus %1").arg(pid)
                             : Textes::tr("le processus %1 (%2)").arg(pid).arg(nom);
    const QString utilisateur = nomUtilisateur(etat.st_uid);
    return nom.isEmpty()
               ? Textes::tr("le processus %1 (de l'utilisateur %2)").arg(pid).arg(utilisateur)
               : Textes::tr("le processus %1 (%2, de l'utilisateur %3)")
                     .arg(pid)
                     .arg(nom, utilisateur);
}

QString DecrireProcessusCourt(qint64 pid)
{
    const QString nom = nomProcessus(pid);
    struct stat etat {};
    const QString utilisateur =
        ::stat(QStringLiteral("/proc/%1").arg(pid).toLatin1().constData(), &etat) == 0
            ? nomUtilisateur(etat.st_uid)
            : QString();
    const QString qui = utilisateur.isEmpty() ? QString::number(pid)
                                              : QStringLiteral("%1, %2").arg(pid).arg(utilisateur);
    return nom.isEmpty() ? qui : QStringLiteral("%1 (%2)").arg(nom, qui);
}

Detenteurs DetenteursOuverts(quint64 rdev)
{
    Detenteurs detenteurs;
    DIR *processus = ::opendir("/proc");
    if (!processus) {
        detenteurs.invisibles = true;
        return detenteurs;
    }
    const QByteArray moi = QByteArray::number(::getpid());
    while (const dirent *entree = ::readdir(processus)) {
        const QByteArray pid(entree->d_name);
        bool numero = false;
        pid.toLongLong(&numero);
        if (!numero || pid == moi)
            continue;
        const QByteArray dossier = "/proc/" + pid + "/fd";
        DIR *fds = ::opendir(dossier.constData());
        if (!fds) {
            detenteurs.invisibles |= errno == EACCES || errno == EPERM;
            continue; // or it has just ended
        }
        while (const dirent *fd = ::readdir(fds)) {
            struct stat etat {};
            if (fd->d_name[0] != '.' &&
                ::stat((dossier + '/' + fd->d_name).constData(), &etat) == 0 &&
                S_ISCHR(etat.st_mode) && etat.st_rdev == rdev) {
                detenteurs.pids << pid.toLongLong();
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(processus);
    return detenteurs;
}

qint64 DetenteurFlock(quint64 appareil, quint64 inode)
{
    const FichierLu verrous = LireFichier(QStringLiteral("/proc/locks"), 1 << 20);
    const QByteArray cle = QStringLiteral("%1:%2:%3")
                               .arg(major(appareil), 2, 16, QChar(u'0'))
                               .arg(minor(appareil), 2, 16, QChar(u'0'))
                               .arg(inode)
                               .toLatin1();
    for (const QByteArray &ligne : verrous.contenu.split('\n')) {
        const QList<QByteArray> champs = ligne.simplified().split(' ');
        // "1: FLOCK ADVISORY WRITE 1234 00:05:7 0 EOF"
        // A holder that has died left the lock to a child: its pid says nothing.
        if (champs.size() >= 6 && champs[1] == "FLOCK" && champs[5] == cle) {
            const qint64 pid = champs[4].toLongLong();
            return processusVivant(pid) ? pid : 0;
        }
    }
    return 0;
}

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
        if (const QString dernier = nom.section(u'/', -1); !dernier.isEmpty())
            fichiers << QStringLiteral("LCK..") + dernier;
        if (nom.startsWith(QLatin1String("/dev/")))
            fichiers << QStringLiteral("LCK..") + nom.mid(5).replace(u'/', u'_');
    }
    fichiers << QStringLiteral("LCK.%1.%2")
                    .arg(major(rdev), 3, 10, QChar(u'0'))
                    .arg(minor(rdev), 3, 10, QChar(u'0'));
    fichiers.removeDuplicates();
    return fichiers;
}

QString NomDeNotreVerrou(const QString &chemin)
{
    // As Qt and the kernel's own names spell it: /dev/pts/3 gives pts_3.
    return QStringLiteral("LCK..") + (chemin.startsWith(QLatin1String("/dev/"))
                                          ? chemin.mid(5).replace(u'/', u'_')
                                          : chemin.section(u'/', -1));
}

const QStringList &VerrousUucp::dossiers()
{
    // /var/lock is often a link to /run/lock: each folder once, worked out
    // once for each list of folders.
    static QHash<QStringList, QStringList> existants;
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

std::optional<Echec> VerrousUucp::verifier(const QStringList &noms, quint64 rdev, Perimes perimes)
{
    m_ignores.clear();
    m_avertissements.clear();
    m_detenteur = 0;
    for (const QString &dossier : dossiers()) {
        QStringList fichiers;
        if (DIR *d = ::opendir(OctetsLocaux(dossier).constData())) {
            while (const dirent *entree = ::readdir(d))
                if (const QString nom = NomLocal(entree->d_name);
                    nom.startsWith(QLatin1String("LCK.")) &&
                    (noms.contains(nom) || designe(nom, rdev)))
                    fichiers << nom;
            ::closedir(d);
        }
        for (const QString &nom : fichiers)
            if (auto refus = examiner(dossier + u'/' + nom, perimes))
                return refus;
    }
    return std::nullopt;
}

std::optional<Echec> VerrousUucp::examiner(const QString &fichier, Perimes perimes)
{
    for (int essai = 0; essai < 3; ++essai) {
        const FichierLu lu = LireFichier(fichier, 256, Liens::Refuses);
        if (lu.absent)
            return std::nullopt;
        if (lu.echec)
            return illisible(fichier, lu.echec->message);
        // A time to come is no sign of a lock being written.
        const qint64 age = QDateTime::currentMSecsSinceEpoch() - lu.modifieMs;
        if (!complet(lu.contenu) && age >= 0 && age < AgeVerrouEnCoursMs)
            return Echec{Textes::tr("port occupé : un autre programme est en train de le "
                                    "prendre (verrou %1)")
                             .arg(NomLisible(fichier))};
        const auto pid = pidDuVerrou(lu.contenu);
        if (!pid)
            return illisible(fichier, Textes::tr("il ne désigne aucun processus lisible"));
        // This program holds no lock before it takes its own: one naming it
        // is a dead run's whose pid came back.
        if (*pid != ::getpid() && processusVivant(*pid)) {
            m_detenteur = *pid;
            return Echec{Textes::tr("port occupé par %1 (verrou %2)")
                             .arg(DecrireProcessus(*pid), NomLisible(fichier))};
        }
        if (perimes == Perimes::Laisses)
            return std::nullopt;

        // Stale: removed if it is still the file just read.
        const QByteArray local = OctetsLocaux(fichier);
        struct stat etat {};
        if (::lstat(local.constData(), &etat) != 0)
            return std::nullopt; // gone meanwhile
        if (etat.st_dev != lu.appareil || etat.st_ino != lu.inode)
            continue; // replaced meanwhile: read again
        if (::unlink(local.constData()) == 0 || errno == ENOENT)
            return std::nullopt;
        m_ignores << fichier;
        m_avertissements << Textes::tr("Le verrou périmé %1 (le processus %2 n'existe plus) "
                                       "n'a pas pu être supprimé (%3) : il est ignoré")
                                .arg(NomLisible(fichier))
                                .arg(*pid)
                                .arg(TexteErreurSysteme(errno));
        return std::nullopt;
    }
    return Echec{
        Textes::tr("port occupé : le verrou %1 change sans cesse").arg(NomLisible(fichier))};
}

std::optional<Echec> VerrousUucp::prendre(const QString &nom)
{
    rendre();
    if (dossiers().isEmpty())
        return std::nullopt; // no lock folder on this host: the flock alone
    const QString dossier = dossiers().first();
    const QString fichier = dossier + u'/' + nom;
    if (m_ignores.contains(fichier))
        return std::nullopt; // another user's stale lock stands there
    const QString temporaire =
        dossier + QStringLiteral("/.tarvik.%1.%2")
                      .arg(::getpid())
                      .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
    const QByteArray local = OctetsLocaux(temporaire);
    const int fd =
        ::open(local.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    int erreur = errno;
    bool pris = fd >= 0;
    struct stat etat {};
    if (pris) {
        pris = EcrireTout(fd, QByteArray::number(::getpid()).rightJustified(10, ' ') + '\n') &&
               ::fchmod(fd, 0644) == 0 && ::fstat(fd, &etat) == 0;
        erreur = errno;
        if (::close(fd) != 0 && pris) {
            pris = false;
            erreur = errno;
        }
        if (pris && ::link(local.constData(), OctetsLocaux(fichier).constData()) != 0) {
            pris = false;
            erreur = errno;
        }
        ::unlink(local.constData());
    }
    if (pris) {
        m_fichier = fichier;
        m_appareil = etat.st_dev;
        m_inode = etat.st_ino;
        return std::nullopt;
    }
    if (erreur == EEXIST) // taken between the look and now
        return examiner(fichier).value_or(
            Echec{Textes::tr("port occupé : un autre programme vient de le prendre (verrou %1)")
                      .arg(NomLisible(fichier))});
    QString message = Textes::tr("le verrou %1 ne peut pas être créé (%2) : sans lui, les "
                                 "autres programmes série ne verraient pas que le port est pris")
                          .arg(NomLisible(fichier), TexteErreurSysteme(erreur));
    if (erreur == EACCES || erreur == EPERM)
        message += Textes::tr(". Le dossier des verrous %1 devrait être ouvert à tous, comme "
                              "sur une installation habituelle (droits 1777) : un administrateur "
                              "peut le rétablir, par exemple avec chmod 1777 %1")
                       .arg(NomLisible(dossier));
    return Echec{message};
}

void VerrousUucp::rendre()
{
    if (m_fichier.isEmpty())
        return;
    const QByteArray local = OctetsLocaux(m_fichier);
    struct stat etat {};
    if (::lstat(local.constData(), &etat) == 0 && etat.st_dev == m_appareil &&
        etat.st_ino == m_inode)
        ::unlink(local.constData());
    m_fichier.clear();
}
