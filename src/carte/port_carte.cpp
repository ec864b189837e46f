#include "carte/port_carte.h"

#include "system/noms.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSocketNotifier>

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace tarvik::carte {

namespace {

// The most bytes the pace lets pile up while the line is quiet, taken at
// once when bytes come: a UART's receive FIFO, twice over.
constexpr qint64 Rafale = 32;

using G = EchecCarte::Genre;

// A folder the link may go in: the user's or root's, and no one else may
// put something in its place unless the folder is sticky.
std::optional<EchecCarte> verifierDossier(const QString &dossier)
{
    struct stat etat {};
    if (::stat(OctetsLocaux(dossier).constData(), &etat) != 0) {
        const int erreur = errno;
        return EchecCarte{.genre = G::DossierInaccessible, .chemin = dossier, .erreur = erreur};
    }
    if (!S_ISDIR(etat.st_mode))
        return EchecCarte{.genre = G::PasUnDossier, .chemin = dossier};
    if (etat.st_uid != ::geteuid() && etat.st_uid != 0)
        return EchecCarte{.genre = G::DossierAUnAutre, .chemin = dossier};
    if ((etat.st_mode & (S_IWGRP | S_IWOTH)) && !(etat.st_mode & S_ISVTX))
        return EchecCarte{.genre = G::DossierOuvert, .chemin = dossier, .mode = etat.st_mode};
    return std::nullopt;
}

// A link a board of ours left when it did not end: the user's, to a
// pseudo-terminal's slave that is gone.
bool lienPerime(const QByteArray &lien)
{
    struct stat etat {};
    if (::lstat(lien.constData(), &etat) != 0 || !S_ISLNK(etat.st_mode) ||
        etat.st_uid != ::geteuid())
        return false;
    char cible[256] = {};
    const ssize_t n = ::readlink(lien.constData(), cible, sizeof cible - 1);
    static const QRegularExpression pts(QStringLiteral("^/dev/pts/[0-9]+$"));
    if (n <= 0 || !pts.match(QString::fromLatin1(cible, n)).hasMatch())
        return false;
    struct stat vise {};
    return ::stat(lien.constData(), &vise) != 0 && errno == ENOENT;
}

// What stands at `lien`, where the link was to go: its mode, and where it
// leads when it is a link.
EchecCarte existant(const QString &lien)
{
    EchecCarte echec{.genre = G::Existant, .chemin = lien};
    const QByteArray chemin = OctetsLocaux(lien);
    struct stat etat {};
    if (::lstat(chemin.constData(), &etat) != 0)
        return echec;
    echec.mode = etat.st_mode;
    if (S_ISLNK(etat.st_mode)) {
        char cible[4096] = {};
        const ssize_t n = ::readlink(chemin.constData(), cible, sizeof cible - 1);
        echec.cible = QFile::decodeName(QByteArray(cible, qMax<ssize_t>(0, n)));
    }
    return echec;
}

} // namespace

LienParDefaut LienDeLaCarte()
{
    const QString dossier = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (dossier.isEmpty() || !QFileInfo(dossier).isAbsolute())
        return {{}, EchecCarte{.genre = G::SansDossierXdg}};
    struct stat etat {};
    if (::stat(OctetsLocaux(dossier).constData(), &etat) != 0 || !S_ISDIR(etat.st_mode) ||
        etat.st_uid != ::geteuid() || (etat.st_mode & (S_IWGRP | S_IWOTH)))
        return {{}, EchecCarte{.genre = G::DossierXdgDouteux, .chemin = dossier}};
    return {dossier + QStringLiteral("/tarvik-carte"), std::nullopt};
}

std::optional<EchecCarte> PoserLien(const QString &lien, const QString &cible)
{
    if (auto refus = verifierDossier(QFileInfo(lien).absolutePath()))
        return refus;
    const QByteArray chemin = OctetsLocaux(lien), vers = OctetsLocaux(cible);
    if (lienPerime(chemin) && ::unlink(chemin.constData()) != 0 && errno != ENOENT) {
        const int erreur = errno;
        return EchecCarte{.genre = G::LienPerime, .chemin = lien, .erreur = erreur};
    }
    if (::symlink(vers.constData(), chemin.constData()) == 0)
        return std::nullopt;
    const int erreur = errno;
    if (erreur == EEXIST)
        return existant(lien);
    return EchecCarte{.genre = G::LienImpossible, .chemin = lien, .erreur = erreur};
}

void RetirerLien(const QString &lien, const QString &cible)
{
    const QByteArray chemin = OctetsLocaux(lien);
    struct stat etat {};
    char vers[4096] = {};
    if (::lstat(chemin.constData(), &etat) != 0 || !S_ISLNK(etat.st_mode))
        return;
    const ssize_t n = ::readlink(chemin.constData(), vers, sizeof vers - 1);
    if (n > 0 && QByteArray(vers, n) == OctetsLocaux(cible))
        ::unlink(chemin.constData());
}

PortCarte::PortCarte(const OptionsPortCarte &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_bloque(options.bloqueApres && *options.bloqueApres <= 0)
{
    m_reprise.setSingleShot(true);
    m_reprise.setTimerType(Qt::PreciseTimer);
    connect(&m_reprise, &QTimer::timeout, this, [this] {
        if (m_lecture && !m_bloque)
            m_lecture->setEnabled(true);
    });
}

PortCarte::~PortCarte()
{
    fermer();
}

QString PortCarte::port() const
{
    return m_options.lien.isEmpty() ? m_peripherique : m_options.lien;
}

qint64 PortCarte::debit() const
{
    if (m_options.sansRythme)
        return 0;
    return qMax<qint64>(1,
                        qint64(std::llround(double(OctetsParSecondeLigne) * m_options.fraction)));
}

std::optional<EchecCarte> PortCarte::brancher()
{
    fermer();
    m_rebranchementA = {};
    const int maitre = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char nom[128] = {};
    if (maitre < 0 || ::grantpt(maitre) != 0 || ::unlockpt(maitre) != 0 ||
        ::ptsname_r(maitre, nom, sizeof nom) != 0) {
        const int erreur = errno;
        if (maitre >= 0)
            ::close(maitre);
        return EchecCarte{.genre = G::SansPseudoTerminal, .erreur = erreur};
    }
    const int esclave = ::open(nom, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios ligne{};
    if (esclave < 0 || ::tcgetattr(esclave, &ligne) != 0) {
        const int erreur = errno;
        ::close(maitre);
        if (esclave >= 0)
            ::close(esclave);
        return EchecCarte{.genre = G::PseudoTerminalInjoignable,
                          .chemin = QString::fromLocal8Bit(nom),
                          .erreur = erreur};
    }
    // The board's own settings, which the panel finds and gives back.
    ::cfmakeraw(&ligne);
    ::cfsetispeed(&ligne, B38400);
    ::cfsetospeed(&ligne, B38400);
    ligne.c_cflag = (ligne.c_cflag & ~(CSIZE | PARENB | CSTOPB | CRTSCTS)) | CS8 | CREAD | CLOCAL;
    ::tcsetattr(esclave, TCSANOW, &ligne);
    ::fcntl(maitre, F_SETFL, ::fcntl(maitre, F_GETFL) | O_NONBLOCK);
    m_maitre = maitre;
    m_esclave = esclave;
    m_peripherique = QString::fromLocal8Bit(nom);
    if (!m_options.lien.isEmpty())
        if (auto refus = PoserLien(m_options.lien, m_peripherique)) {
            fermer();
            return refus;
        }
    m_lecture = std::make_unique<QSocketNotifier>(m_maitre, QSocketNotifier::Read);
    connect(m_lecture.get(), &QSocketNotifier::activated, this, &PortCarte::lire);
    m_lecture->setEnabled(!m_bloque);
    m_horloge.start();
    m_lus = 0;
    Q_EMIT etatChange();
    return std::nullopt;
}

void PortCarte::fermer()
{
    m_reprise.stop();
    if (m_lecture) {
        m_lecture->setEnabled(false);
        m_lecture.release()->deleteLater(); // it may be the one calling
    }
    if (m_maitre >= 0 && !m_options.lien.isEmpty())
        RetirerLien(m_options.lien, m_peripherique);
    for (int *fd : {&m_maitre, &m_esclave})
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    m_lecteur.oublier(); // what was on the way goes with the adapter
}

void PortCarte::debrancher()
{
    const bool etaitBranche = branche();
    fermer();
    if (!etaitBranche)
        return;
    if (m_options.rebrancheApres) {
        const auto ms = qint64(*m_options.rebrancheApres * 1000);
        m_rebranchementA = QDateTime::currentDateTime().addMSecs(ms);
        QTimer::singleShot(std::chrono::milliseconds(ms), this, [this] {
            if (auto echec = brancher())
                Q_EMIT rebranchementRate(*echec);
        });
    }
    Q_EMIT etatChange();
}

qint64 PortCarte::credit()
{
    const qint64 permis = qint64(double(m_horloge.nsecsElapsed()) * double(debit()) / 1e9) - m_lus;
    if (permis > Rafale) { // a quiet line piles up no more than the FIFO
        m_lus += permis - Rafale;
        return Rafale;
    }
    return permis;
}

void PortCarte::attendreCredit()
{
    m_lecture->setEnabled(false);
    const qint64 manque = Rafale / 2 - credit();
    m_reprise.start(int(qMax<qint64>(1, (manque * 1000 + debit() - 1) / debit())));
}

void PortCarte::lire()
{
    if (m_maitre < 0 || m_bloque)
        return;
    char tampon[4096];
    const qint64 permis = m_options.sansRythme ? qint64(sizeof tampon) : credit();
    if (permis <= 0)
        return attendreCredit();
    const ssize_t n = ::read(m_maitre, tampon, size_t(qMin<qint64>(permis, sizeof tampon)));
    if (n <= 0) {
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        // The slave side hung up, which holding it should prevent: look
        // again in a moment rather than spin.
        m_lecture->setEnabled(false);
        m_reprise.start(100);
        return;
    }
    m_lus += n;
    for (ssize_t k = 0; k < n; ++k) {
        const auto ligne = m_lecteur.ajouter(tampon[k]);
        if (!ligne)
            continue;
        ++m_lignes;
        Q_EMIT ligneRecue(*ligne, QDateTime::currentDateTime());
        if (m_options.bloqueApres && m_lignes >= *m_options.bloqueApres) {
            // A stalled board: the rest stays in its buffer, and nothing more
            // is read.
            m_bloque = true;
            m_retenus.append(tampon + k + 1, n - k - 1);
            m_lecture->setEnabled(false);
            Q_EMIT etatChange();
            return;
        }
        if (m_options.debrancheApres && !m_debranche && m_lignes >= *m_options.debrancheApres) {
            m_debranche = true; // once: what came after it is lost with the adapter
            debrancher();
            return;
        }
    }
    if (!m_options.sansRythme && credit() <= 0)
        attendreCredit();
}

} // namespace tarvik::carte
