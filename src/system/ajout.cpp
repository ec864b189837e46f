#include "system/ajout.h"

#include "system/erreurs.h"
#include "system/noms.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The texts of this file, in the operator's language.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Systeme)
};

// How long a writer waits for another one's turn before it gives up.
constexpr int AttenteMaxMs = 2000;

Echec echec(const QString &quoi, int erreur)
{
    return {Textes::tr("%1 (%2)").arg(quoi, TexteErreurSysteme(erreur))};
}

// Creates the folders down to `dossier`, each 0700.
bool creerDossiers(const QString &dossier)
{
    if (QFileInfo::exists(dossier))
        return true;
    if (!creerDossiers(QFileInfo(dossier).path()))
        return false;
    return ::mkdir(OctetsLocaux(dossier).constData(), 0700) == 0 || errno == EEXIST;
}

// The file at `chemin`, opened for appending and held for this writer's
// turn: the file that bears the name now, and a regular one. -1 when it
// cannot be, with the reason.
int ouvrirASonTour(const QByteArray &chemin, std::optional<Echec> &refus)
{
    QElapsedTimer attente;
    attente.start();
    while (attente.elapsed() < AttenteMaxMs) {
        struct stat vu {
        }, nom{};
        const int fd =
            ::open(chemin.constData(),
                   O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
        if (fd < 0 && errno != ENXIO && errno != EISDIR && errno != ELOOP) {
            refus = echec(Textes::tr("ouverture impossible"), errno);
            return -1;
        }
        if (fd < 0 || ::fstat(fd, &vu) != 0 || !S_ISREG(vu.st_mode)) {
            if (fd >= 0)
                ::close(fd);
            refus = Echec{Textes::tr("ce n'est pas un fichier ordinaire (dossier, tube ou "
                                     "lien) : il n'est pas touché")};
            return -1;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(chemin.constData(), &nom) == 0 &&
            nom.st_ino == vu.st_ino && nom.st_dev == vu.st_dev)
            return fd; // not moved away while another writer held it
        ::close(fd);
        QThread::msleep(1);
    }
    refus = Echec{
        Textes::tr("un autre programme le tient depuis plus de %1 s").arg(AttenteMaxMs / 1000)};
    return -1;
}

bool ecrireEnUneFois(int fd, const QByteArray &octets)
{
    ssize_t n = 0;
    do
        n = ::write(fd, octets.constData(), size_t(octets.size()));
    while (n < 0 && errno == EINTR);
    if (n >= 0 && n != octets.size())
        errno = ENOSPC; // a torn record would mix with the next one
    return n == octets.size();
}

} // namespace

std::optional<Echec> AjouterEnregistrement(const QString &chemin, const QByteArray &enregistrement,
                                           qint64 limite)
{
    if (!creerDossiers(QFileInfo(chemin).path()))
        return echec(Textes::tr("dossier impossible à créer"), errno);
    const QByteArray local = OctetsLocaux(chemin);
    std::optional<Echec> refus;
    int fd = ouvrirASonTour(local, refus);
    if (fd < 0)
        return refus;
    struct stat etat {};
    if (::fstat(fd, &etat) == 0 && etat.st_size > 0 &&
        etat.st_size + enregistrement.size() > limite &&
        ::rename(local.constData(), (local + ".1").constData()) == 0) {
        // Moved while this writer holds it: the others will find a new file.
        const int ancien = fd;
        fd = ouvrirASonTour(local, refus);
        ::close(ancien);
        if (fd < 0)
            return refus;
    }
    const bool ecrit = ecrireEnUneFois(fd, enregistrement) && ::fdatasync(fd) == 0;
    const int erreur = errno;
    ::close(fd); // ends this writer's turn
    if (!ecrit)
        return echec(Textes::tr("écriture impossible"), erreur);
    return std::nullopt;
}
