// The system's journal as the tests stand in for it: a datagram socket of the
// test's own, and the entries it takes read back into fields. At journald's
// own place it lives in a mount namespace of the test process's own, which
// the programs it starts inherit: the machine's journal never sees them.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using ChampsEntree = QMap<QByteArray, QByteArray>;

// An entry's fields from its datagram ("NOM=valeur\n", or "NOM\n", the length
// in 64 bits little-endian, the value, "\n"); nothing when it is not one.
inline std::optional<ChampsEntree> LireEntree(const QByteArray &datagramme)
{
    ChampsEntree champs;
    for (qsizetype i = 0, fin; i < datagramme.size(); i = fin + 1) {
        if ((fin = datagramme.indexOf('\n', i)) < 0)
            return std::nullopt;
        const QByteArray ligne = datagramme.mid(i, fin - i);
        const qsizetype egal = ligne.indexOf('=');
        QByteArray nom = ligne.left(egal < 0 ? ligne.size() : egal), valeur = ligne.mid(egal + 1);
        if (egal < 0) {
            const qsizetype debut = fin + 9, reste = datagramme.size() - debut;
            const quint64 taille =
                reste > 0 ? qFromLittleEndian<quint64>(datagramme.data() + fin + 1) : 0;
            if (reste < 1 || taille >= quint64(reste) ||
                datagramme.at(debut + qsizetype(taille)) != '\n')
                return std::nullopt;
            valeur = datagramme.mid(debut, qsizetype(taille));
            fin = debut + qsizetype(taille);
        }
        if (nom.isEmpty() || champs.contains(nom))
            return std::nullopt;
        champs.insert(nom, valeur);
    }
    return champs;
}

// A datagram socket bound at `chemin`, which nobody reads but the test.
class SocketJournalEssai {
public:
    explicit SocketJournalEssai(const QString &chemin)
        : m_chemin(QFile::encodeName(chemin))
    {
        sockaddr_un adresse{AF_UNIX, {}};
        std::strncpy(adresse.sun_path, m_chemin.constData(), sizeof adresse.sun_path - 1);
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (::bind(m_fd, reinterpret_cast<sockaddr *>(&adresse), sizeof adresse) != 0)
            m_fd = (::close(m_fd), -1);
    }
    ~SocketJournalEssai()
    {
        if (m_fd >= 0 && ::close(m_fd) == 0)
            ::unlink(m_chemin.constData());
    }
    Q_DISABLE_COPY(SocketJournalEssai)
    bool valide() const { return m_fd >= 0; }
    // The entries' bytes that came since the last call, in their order: a
    // datagram's, or those of the sealed memory file an empty one carries.
    QList<QByteArray> datagrammes()
    {
        QList<QByteArray> recus;
        QByteArray tampon(256 * 1024, '\0');
        for (;;) {
            iovec morceau{tampon.data(), size_t(tampon.size())};
            alignas(cmsghdr) char controle[CMSG_SPACE(sizeof(int))] = {};
            msghdr message{};
            message.msg_iov = &morceau;
            message.msg_iovlen = 1;
            message.msg_control = controle;
            message.msg_controllen = sizeof controle;
            const ssize_t n = ::recvmsg(m_fd, &message, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
            if (n < 0)
                return recus;
            const cmsghdr *joint = CMSG_FIRSTHDR(&message);
            if (!joint || joint->cmsg_type != SCM_RIGHTS) {
                recus << tampon.left(n);
                continue;
            }
            int fd = -1;
            std::memcpy(&fd, CMSG_DATA(joint), sizeof fd);
            recus << (n == 0 ? lireScelle(fd) : QByteArray("(octets et descripteur)"));
            ::close(fd);
            ++m_parDescripteur;
        }
    }
    // How many entries came as a memory file.
    int parDescripteur() const { return m_parDescripteur; }
    // The same as entries; one that is not an entry reads as none.
    QList<ChampsEntree> entrees()
    {
        QList<ChampsEntree> lues;
        for (const QByteArray &datagramme : datagrammes())
            lues << LireEntree(datagramme).value_or(ChampsEntree{});
        return lues;
    }

private:
    // A memory file's bytes, when it is sealed as journald wants it.
    static QByteArray lireScelle(int fd)
    {
        const int voulus = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;
        if ((::fcntl(fd, F_GET_SEALS) & voulus) != voulus)
            return "(non scellé)";
        QByteArray octets;
        char tampon[65536];
        for (ssize_t n; (n = ::pread(fd, tampon, sizeof tampon, octets.size())) > 0;)
            octets.append(tampon, n);
        return octets;
    }

    QByteArray m_chemin;
    int m_fd = -1;
    int m_parDescripteur = 0;
};

// /run/systemd/journal covered by a tmpfs in the test process's own mount
// namespace (made at the first use), with a socket that stands in for
// journald's there, or none (`ecouter` false). Root only; `refus` says why not.
class JournalSystemeEssai {
public:
    explicit JournalSystemeEssai(bool ecouter = true)
    {
        static const QString espacePrive = faireEspacePrive();
        if (!(m_refus = espacePrive).isEmpty() || !(m_refus = couvrir()).isEmpty() || !ecouter)
            return;
        if (!m_socket.emplace(QStringLiteral("/run/systemd/journal/socket")).valide())
            m_refus = QStringLiteral("socket impossible à lier (%1)").arg(erreur());
    }
    ~JournalSystemeEssai()
    {
        m_socket.reset();
        if (!m_monte.isEmpty())
            ::umount2(m_monte.constData(), MNT_DETACH);
    }
    Q_DISABLE_COPY(JournalSystemeEssai)
    QString refus() const { return m_refus; }
    QList<ChampsEntree> entrees() { return m_socket ? m_socket->entrees() : QList<ChampsEntree>{}; }

private:
    static QString erreur() { return QString::fromLocal8Bit(std::strerror(errno)); }
    static QString faireEspacePrive()
    {
        if (::geteuid() != 0)
            return QStringLiteral("il faut être root pour couvrir /run/systemd/journal dans un "
                                  "espace de montage privé");
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return QStringLiteral("espace de montage privé impossible ici (%1)").arg(erreur());
        return {};
    }
    // The deepest folder of the way that exists takes the tmpfs: the
    // journal's own, /run/systemd, or /run, whose lock folder is made again.
    QString couvrir()
    {
        for (const char *dossier : {"/run/systemd/journal", "/run/systemd", "/run"}) {
            if (!QFileInfo(QLatin1String(dossier)).isDir())
                continue;
            if (::mount("tarvik-essai", dossier, "tmpfs", 0, "size=1m,mode=755") != 0)
                return QStringLiteral("tmpfs impossible sur %1 (%2)").arg(dossier, erreur());
            m_monte = dossier;
            if (m_monte == "/run" && ::mkdir("/run/lock", 01777) == 0)
                ::chmod("/run/lock", 01777);
            QDir().mkpath(QStringLiteral("/run/systemd/journal"));
            return {};
        }
        return QStringLiteral("pas de dossier /run sur cette machine");
    }

    QString m_refus;
    QByteArray m_monte;
    std::optional<SocketJournalEssai> m_socket;
};
