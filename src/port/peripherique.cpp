#include "port/peripherique.h"

#include "system/lecture.h"
#include "system/noms.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tarvik::port {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Port)
};

using G = EchecLien::Genre;

EchecLien pasUnPort(const QString &raison)
{
    return Refus(G::PasUnPortSerie, raison);
}

} // namespace

std::optional<Echec> VerifierPeripheriqueNumeros(unsigned mode, quint64 rdev)
{
    const auto raison = [](const QString &texte) {
        return Echec{texte};
    };
    if (S_ISREG(mode))
        return raison(Mots::tr("c'est un fichier ordinaire, pas un port série"));
    if (S_ISDIR(mode))
        return raison(Mots::tr("c'est un dossier, pas un port série"));
    if (S_ISFIFO(mode))
        return raison(Mots::tr("c'est un tube, pas un port série"));
    if (S_ISSOCK(mode))
        return raison(Mots::tr("c'est une socket, pas un port série"));
    if (!S_ISCHR(mode))
        return raison(Mots::tr("ce n'est pas un port série (disque)"));
    const unsigned majeur = major(rdev), mineur = minor(rdev);
    if (majeur == 5 && mineur == 2) // /dev/ptmx and /dev/pts/ptmx
        return raison(
            Mots::tr("c'est le multiplexeur des pseudo-terminaux : chaque ouverture crée un "
                     "terminal que personne ne lit, pas un port série"));
    if (majeur == 5) // /dev/tty, /dev/console, /dev/ttyprintk
        return raison(
            Mots::tr("c'est un terminal du système (console ou terminal de contrôle), pas un "
                     "port série"));
    if (majeur == 4 && mineur < 64) // tty0 to tty63; ttyS0 and up follow
        return raison(Mots::tr("c'est une console virtuelle, pas un port série"));
    if (majeur == 2 || (majeur >= 128 && majeur <= 135))
        return raison(Mots::tr("c'est le côté maître d'un pseudo-terminal, pas un port série"));
    return std::nullopt;
}

bool EstPseudoTerminal(quint64 rdev)
{
    const unsigned majeur = major(rdev);
    return majeur == 3 || (majeur >= 136 && majeur <= 143);
}

namespace {

// The last component of the link at `chemin`; empty when there is none,
// and `absent` when nothing at all is there.
QString cibleDuLien(const QString &chemin, bool *absent = nullptr)
{
    char cible[4096];
    const ssize_t n = ::readlink(OctetsLocaux(chemin).constData(), cible, sizeof cible - 1);
    if (absent)
        *absent = n < 0 && errno == ENOENT;
    return n > 0 ? NomLocal(QByteArrayView(cible, n)).section(u'/', -1) : QString();
}

// Where the kernel keeps no entry for a device (pseudo-terminals, or no
// /sys at all): the majors serial ports and pseudo-terminals have always had.
bool majeurDeTerminal(unsigned majeur)
{
    constexpr std::array<unsigned, 6> serie{3, 4, 166, 188, 204, 207}; // ttyp, ttyS, ACM, USB…
    return (majeur >= 136 && majeur <= 143) ||
           std::find(serie.begin(), serie.end(), majeur) != serie.end();
}

// The consoles the system writes to: their kernel names and device numbers.
struct Consoles {
    QStringList noms;
    QList<quint64> numeros;
};
Consoles consolesDuSysteme(const SourcesTerminaux &sources)
{
    Consoles consoles;
    // "ttyS0                -W- (EC  p a)    4:64": its name first, its numbers last.
    for (const QByteArray &ligne : LireFichier(sources.consoles, 16384).contenu.split('\n')) {
        const QByteArray champs = ligne.simplified(); // one space between two fields
        const qsizetype espace = champs.indexOf(' ');
        const QByteArrayView numero = QByteArrayView(champs).sliced(champs.lastIndexOf(' ') + 1);
        const qsizetype deuxPoints = numero.indexOf(':');
        if (espace < 0 || deuxPoints < 0 || numero.lastIndexOf(':') != deuxPoints)
            continue;
        bool majeurLu = false, mineurLu = false;
        const unsigned majeur = numero.first(deuxPoints).toUInt(&majeurLu);
        const unsigned mineur = numero.sliced(deuxPoints + 1).toUInt(&mineurLu);
        if (!majeurLu || !mineurLu)
            continue;
        consoles.noms << QString::fromLatin1(champs.first(espace));
        consoles.numeros << makedev(majeur, mineur);
    }
    // Every active console is there too, by its terminal's numbers: the
    // kernel lists both from the console's own device. The active ones'
    // names are read only where that list is missing or names none.
    if (consoles.numeros.isEmpty()) {
        const FichierLu actives = LireFichier(sources.consolesActives, 4096);
        consoles.noms
            << QString::fromLatin1(actives.contenu).simplified().split(u' ', Qt::SkipEmptyParts);
    }
    return consoles;
}

bool surUnFluxStandard(quint64 rdev)
{
    for (int fd = 0; fd < 3; ++fd) {
        struct stat etat {};
        if (::fstat(fd, &etat) == 0 && S_ISCHR(etat.st_mode) && etat.st_rdev == rdev)
            return true;
    }
    return false;
}

} // namespace

std::optional<Echec> VerifierPeripheriqueNoyau(quint64 rdev)
{
    const SourcesTerminaux &sources = *SourcesSysteme;
    const QString entree = sources.peripheriques + u'/' + QString::number(major(rdev)) + u':' +
                           QString::number(minor(rdev));
    // The kernel's entry of the device, read once: its name, and its class
    // when it has an entry at all (a pseudo-terminal has none).
    bool sansEntree = false;
    const QString nom = cibleDuLien(entree, &sansEntree);
    const QString classe =
        sansEntree ? QString() : cibleDuLien(entree + QStringLiteral("/subsystem"));
    if (classe.isEmpty() ? !majeurDeTerminal(major(rdev)) : classe != QLatin1String("tty"))
        return Echec{Mots::tr("ce n'est pas un port série : le noyau range ce périphérique "
                              "(%1:%2) parmi « %3 », pas parmi les terminaux. Il n'a pas "
                              "été ouvert")
                         .arg(major(rdev))
                         .arg(minor(rdev))
                         .arg(classe.isEmpty() ? Mots::tr("les inconnus") : classe)};
    const Consoles consoles = consolesDuSysteme(sources);
    if (consoles.numeros.contains(rdev) || (!nom.isEmpty() && consoles.noms.contains(nom)))
        return Echec{Mots::tr("c'est une console du système (%1) : les lignes iraient à "
                              "l'écran ou au journal de la console, pas à la carte. Il n'a "
                              "pas été ouvert : choisissez un autre port")
                         .arg(nom.isEmpty()
                                  ? QStringLiteral("%1:%2").arg(major(rdev)).arg(minor(rdev))
                                  : nom)};
    if (surUnFluxStandard(rdev))
        return Echec{Mots::tr("c'est le terminal de ce programme (son entrée, sa sortie ou sa "
                              "sortie d'erreur) : les lignes s'y afficheraient au lieu de "
                              "partir vers la carte")};
    return std::nullopt;
}

EchecLien RefusPortAbsent()
{
    return Refus(G::PortAbsent, Mots::tr("port absent"));
}

EchecLien RefusPermission()
{
    return Refus(G::PermissionRefusee,
                 Mots::tr("permission refusée (l'utilisateur doit pouvoir écrire sur le "
                          "port, par exemple comme membre du groupe dialout)"));
}

std::optional<EchecLien> VerifierPeripheriqueChemin(const QString &reel, struct stat &etat)
{
    if (reel.isEmpty() || ::stat(OctetsLocaux(reel).constData(), &etat) != 0)
        return errno == EACCES ? RefusPermission() : RefusPortAbsent();
    if (const auto raison = VerifierPeripheriqueNumeros(etat.st_mode, etat.st_rdev))
        return pasUnPort(raison->message);
    if (const auto raison = VerifierPeripheriqueNoyau(etat.st_rdev))
        return pasUnPort(raison->message);
    return std::nullopt;
}

int OuvrirPeripherique(const QString &reel)
{
    return ::open(OctetsLocaux(reel).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

std::optional<EchecLien> VerifierPeripheriqueOuvert(int fd, const struct stat &attendu,
                                                    termios &reglages)
{
    struct stat vu {};
    if (::fstat(fd, &vu) != 0 || vu.st_rdev != attendu.st_rdev ||
        VerifierPeripheriqueNumeros(vu.st_mode, vu.st_rdev))
        return pasUnPort(Mots::tr("le périphérique a changé pendant son ouverture"));
    // Only the terminal that controls this program answers with its session.
    if (pid_t session = 0; ::ioctl(fd, TIOCGSID, &session) == 0)
        return pasUnPort(Mots::tr("c'est le terminal de contrôle de ce programme : les lignes "
                                  "s'y afficheraient au lieu de partir vers la carte"));
    if (::tcgetattr(fd, &reglages) != 0)
        return pasUnPort(
            Mots::tr("ce n'est pas un port série : ses réglages de ligne ne peuvent pas "
                     "être lus"));
    return std::nullopt;
}

std::optional<Echec> VerifierPeripherique(const QString &chemin)
{
    const QString reel = CheminReel(chemin);
    struct stat etat {};
    if (const auto refus = VerifierPeripheriqueChemin(reel, etat))
        return refus->genre == G::PermissionRefusee ? std::nullopt
                                                    : std::optional(Echec{refus->cause});
    const int fd = OuvrirPeripherique(reel);
    if (fd < 0) // busy or forbidden to this user: a run will say which
        return errno == ENOENT || errno == ENXIO || errno == ENODEV
                   ? std::optional(Echec{Mots::tr("port absent")})
                   : std::nullopt;
    termios reglages{};
    const auto refus = VerifierPeripheriqueOuvert(fd, etat, reglages);
    ::close(fd);
    return refus ? std::optional(Echec{refus->cause}) : std::nullopt;
}

QString NomPropre(quint64 rdev)
{
    // Unix98 pseudo-terminals number on from major 136: /dev/pts/300 is
    // 136:300, or 137:44 where minors stop at 255.
    const unsigned majeur = major(rdev), mineur = minor(rdev);
    for (const unsigned numero : {mineur, (majeur - 136) * 256 + mineur}) {
        const QString pts = QStringLiteral("/dev/pts/%1").arg(numero);
        struct stat etat {};
        if (majeur >= 136 && majeur <= 143 && ::stat(OctetsLocaux(pts).constData(), &etat) == 0 &&
            S_ISCHR(etat.st_mode) && etat.st_rdev == rdev)
            return pts;
    }
    const FichierLu evenement = LireFichier(QStringLiteral("%1/%2:%3/uevent")
                                                .arg(SourcesSysteme->peripheriques)
                                                .arg(majeur)
                                                .arg(mineur),
                                            4096);
    for (const QByteArray &ligne : evenement.contenu.split('\n'))
        if (const QString nom = NomLocal(ligne.mid(8));
            ligne.startsWith("DEVNAME=") && !nom.isEmpty() && !nom.contains(QLatin1String("..")))
            return QStringLiteral("/dev/") + nom;
    return {};
}

bool PseudoTerminalNumerote(const QString &nom)
{
    struct stat etat {};
    const bool lien = ::lstat(OctetsLocaux(nom).constData(), &etat) == 0 && S_ISLNK(etat.st_mode);
    const QString reel = CheminReel(nom);
    return !lien && reel.startsWith(QLatin1String("/dev/pts/")) &&
           std::all_of(reel.begin() + 9, reel.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace tarvik::port
