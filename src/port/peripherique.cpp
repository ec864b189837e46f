#include "port/peripherique.h"

#include "system/noms.h"

#include <QCoreApplication>

#include <cerrno>
#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// The texts of this file, in the operator's language.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Port)
};

using G = EchecLien::Genre;

EchecLien pasUnPort(const QString &raison)
{
    return Refus(G::PasUnPortSerie, raison);
}

} // namespace

std::optional<Echec> RaisonPasUnPort(unsigned mode, quint64 rdev)
{
    const auto raison = [](const QString &texte) {
        return Echec{texte};
    };
    if (S_ISREG(mode))
        return raison(Textes::tr("c'est un fichier ordinaire, pas un port série"));
    if (S_ISDIR(mode))
        return raison(Textes::tr("c'est un dossier, pas un port série"));
    if (S_ISFIFO(mode))
        return raison(Textes::tr("c'est un tube, pas un port série"));
    if (S_ISSOCK(mode))
        return raison(Textes::tr("c'est une socket, pas un port série"));
    if (!S_ISCHR(mode))
        return raison(Textes::tr("ce n'est pas un port série (disque)"));
    const unsigned majeur = major(rdev), mineur = minor(rdev);
    if (majeur == 5 && mineur == 2) // /dev/ptmx and /dev/pts/ptmx
        return raison(
            Textes::tr("c'est le multiplexeur des pseudo-terminaux : chaque ouverture crée un "
                       "terminal que personne ne lit, pas un port série"));
    if (majeur == 5) // /dev/tty, /dev/console, /dev/ttyprintk
        return raison(
            Textes::tr("c'est un terminal du système (console ou terminal de contrôle), pas un "
                       "port série"));
    if (majeur == 4 && mineur < 64) // tty0 to tty63; ttyS0 and up follow
        return raison(Textes::tr("c'est une console virtuelle, pas un port série"));
    if (majeur == 2 || (majeur >= 128 && majeur <= 135))
        return raison(Textes::tr("c'est le côté maître d'un pseudo-terminal, pas un port série"));
    return std::nullopt;
}

EchecLien RefusPortAbsent()
{
    return Refus(G::PortAbsent, Textes::tr("port absent"));
}

EchecLien RefusPermission()
{
    return Refus(G::PermissionRefusee,
                 Textes::tr("permission refusée (l'utilisateur doit pouvoir écrire sur le "
                            "port, par exemple comme membre du groupe dialout)"));
}

std::optional<EchecLien> ExaminerPeripherique(const QString &reel, struct stat &etat)
{
    if (reel.isEmpty() || ::stat(OctetsLocaux(reel).constData(), &etat) != 0)
        return errno == EACCES ? RefusPermission() : RefusPortAbsent();
    if (const auto raison = RaisonPasUnPort(etat.st_mode, etat.st_rdev))
        return pasUnPort(raison->message);
    return std::nullopt;
}

int OuvrirPeripherique(const QString &reel)
{
    return ::open(OctetsLocaux(reel).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

std::optional<EchecLien> ControlerDescripteur(int fd, const struct stat &attendu, termios &reglages)
{
    struct stat vu {};
    if (::fstat(fd, &vu) != 0 || vu.st_rdev != attendu.st_rdev ||
        RaisonPasUnPort(vu.st_mode, vu.st_rdev))
        return pasUnPort(Textes::tr("le périphérique a changé pendant son ouverture"));
    if (::tcgetattr(fd, &reglages) != 0)
        return pasUnPort(
            Textes::tr("ce n'est pas un port série : ses réglages de ligne ne peuvent pas "
                       "être lus"));
    return std::nullopt;
}

std::optional<Echec> VerifierPeripherique(const QString &chemin)
{
    const QString reel = CheminReel(chemin);
    struct stat etat {};
    if (const auto refus = ExaminerPeripherique(reel, etat))
        return refus->genre == G::PermissionRefusee ? std::nullopt : std::optional<Echec>(*refus);
    const int fd = OuvrirPeripherique(reel);
    if (fd < 0) // busy or forbidden to this user: a run will say which
        return errno == ENOENT || errno == ENXIO || errno == ENODEV
                   ? std::optional(Echec{Textes::tr("port absent")})
                   : std::nullopt;
    termios reglages{};
    const auto refus = ControlerDescripteur(fd, etat, reglages);
    ::close(fd);
    return refus ? std::optional<Echec>(*refus) : std::nullopt;
}
