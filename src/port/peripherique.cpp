#include "port/peripherique.h"

#include "system/lecture.h"
#include "system/noms.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tarvik::port {

namespace {

using G = EchecLien::Genre;
using R = RaisonPort::Genre;

EchecLien pasUnPort(const RaisonPort &raison)
{
    EchecLien echec;
    echec.genre = G::PasUnPortSerie;
    echec.raison = raison;
    return echec;
}

EchecLien refus(G genre, R raison)
{
    EchecLien echec;
    echec.genre = genre;
    echec.raison = RaisonPort{raison, 0, {}};
    return echec;
}

} // namespace

std::optional<RaisonPort> VerifierPeripheriqueNumeros(unsigned mode, quint64 rdev)
{
    const auto raison = [rdev](R genre) {
        return RaisonPort{genre, rdev, {}};
    };
    if (S_ISREG(mode))
        return raison(R::FichierOrdinaire);
    if (S_ISDIR(mode))
        return raison(R::Dossier);
    if (S_ISFIFO(mode))
        return raison(R::Tube);
    if (S_ISSOCK(mode))
        return raison(R::Socket);
    if (!S_ISCHR(mode))
        return raison(R::Disque);
    const unsigned majeur = major(rdev), mineur = minor(rdev);
    if (majeur == 5 && mineur == 2) // /dev/ptmx and /dev/pts/ptmx
        return raison(R::Multiplexeur);
    if (majeur == 5) // /dev/tty, /dev/console, /dev/ttyprintk
        return raison(R::TerminalSysteme);
    if (majeur == 4 && mineur < 64) // tty0 to tty63; ttyS0 and up follow
        return raison(R::ConsoleVirtuelle);
    if (majeur == 2 || (majeur >= 128 && majeur <= 135))
        return raison(R::CoteMaitre);
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

std::optional<RaisonPort> VerifierPeripheriqueNoyau(quint64 rdev)
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
        return RaisonPort{R::HorsDesTerminaux, rdev, classe};
    const Consoles consoles = consolesDuSysteme(sources);
    if (consoles.numeros.contains(rdev) || (!nom.isEmpty() && consoles.noms.contains(nom)))
        return RaisonPort{R::ConsoleDuSysteme, rdev, nom};
    if (surUnFluxStandard(rdev))
        return RaisonPort{R::TerminalDuProgramme, rdev, {}};
    return std::nullopt;
}

EchecLien RefusPortAbsent()
{
    return refus(G::PortAbsent, R::PortAbsent);
}

EchecLien RefusPermission()
{
    return refus(G::PermissionRefusee, R::PermissionRefusee);
}

std::optional<EchecLien> VerifierPeripheriqueChemin(const QString &reel, struct stat &etat)
{
    if (reel.isEmpty() || ::stat(OctetsLocaux(reel).constData(), &etat) != 0)
        return errno == EACCES ? RefusPermission() : RefusPortAbsent();
    if (const auto raison = VerifierPeripheriqueNumeros(etat.st_mode, etat.st_rdev))
        return pasUnPort(*raison);
    if (const auto raison = VerifierPeripheriqueNoyau(etat.st_rdev))
        return pasUnPort(*raison);
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
        return refus(G::PasUnPortSerie, R::PeripheriqueChange);
    // Only the terminal that controls this program answers with its session.
    if (pid_t session = 0; ::ioctl(fd, TIOCGSID, &session) == 0)
        return refus(G::PasUnPortSerie, R::TerminalDeControle);
    if (::tcgetattr(fd, &reglages) != 0)
        return refus(G::PasUnPortSerie, R::ReglagesIllisibles);
    return std::nullopt;
}

std::optional<RaisonPort> VerifierPeripherique(const QString &chemin)
{
    const QString reel = CheminReel(chemin);
    struct stat etat {};
    if (const auto refus = VerifierPeripheriqueChemin(reel, etat))
        return refus->genre == G::PermissionRefusee ? std::nullopt : refus->raison;
    const int fd = OuvrirPeripherique(reel);
    if (fd < 0) // busy or forbidden to this user: a run will say which
        return errno == ENOENT || errno == ENXIO || errno == ENODEV
                   ? std::optional(RaisonPort{R::PortAbsent, 0, {}})
                   : std::nullopt;
    termios reglages{};
    const auto refus = VerifierPeripheriqueOuvert(fd, etat, reglages);
    ::close(fd);
    return refus ? refus->raison : std::nullopt;
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
