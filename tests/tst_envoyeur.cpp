// The built tarvik-envoyer on pseudo-terminals, with no display: the bytes
// it sends, its exit codes, --verifier, and a signal during a blocked send.
#include "app/version.h"
#include "journal_essai.h"
#include "journal_systeme_essai.h"
#include "locale_essai.h"
#include "octets_essai.h"
#include "pont_socat.h"
#include "port/detenteurs.h"
#include "programme_essai.h"
#include "pseudo_terminal.h"
#include "run/journal.h"
#include "system/fichier_limites.h"
#include "system/fichier_reglages.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sched.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace tarvik::run;

namespace {

const QByteArray Sequence = "A+00001:001\nB-00100:010\nC\x80"
                            "99999:255\nD+00250:000\nE+12345:128\nF+00000:002\nG+54321:099\n";

Sortie lancer(const QStringList &arguments, const QByteArray &entree = {},
              const std::function<void(QProcess &)> &pendant = {})
{
    return lancer(QStringLiteral(TARVIK_ENVOYER), arguments, entree, pendant);
}

QString verrouQt(const QString &peripherique)
{
    return QStringLiteral("/run/lock/LCK..") + peripherique.mid(5).replace(u'/', u'_');
}

// Sees the lock file of `peripherique` made, as it is made: a wait that
// wakes on the event, not on a time (the run it stands for gives up in 2 s).
class VerrouVu {
public:
    explicit VerrouVu(const QString &peripherique)
        : m_nom(QFile::encodeName(QFileInfo(verrouQt(peripherique)).fileName()))
        , m_fd(::inotify_init1(IN_CLOEXEC))
    {
        ::inotify_add_watch(m_fd, "/run/lock", IN_CREATE | IN_MOVED_TO);
    }
    ~VerrouVu() { ::close(m_fd); }
    // Whether it was made within 20 s.
    bool attendre()
    {
        QDeadlineTimer echeance(20000);
        alignas(inotify_event) char tampon[4096];
        for (pollfd p{m_fd, POLLIN, 0}; ::poll(&p, 1, int(echeance.remainingTime())) > 0;) {
            const ssize_t n = ::read(m_fd, tampon, sizeof tampon);
            for (ssize_t k = 0; k < n;) {
                const auto *evenement = reinterpret_cast<const inotify_event *>(tampon + k);
                if (evenement->len && m_nom == evenement->name)
                    return true;
                k += ssize_t(sizeof(inotify_event) + evenement->len);
            }
        }
        return false;
    }

private:
    QByteArray m_nom;
    int m_fd;
};

// Whether the lock file of `peripherique` is the running `programme`'s: a
// stale one, left by a program that crashed on the same pty number, is not.
bool verrouDe(const QString &peripherique, const QProcess &programme)
{
    QFile verrou(verrouQt(peripherique));
    return verrou.open(QIODevice::ReadOnly) && verrou.read(64).simplified().split(' ').value(0) ==
                                                   QByteArray::number(programme.processId());
}

// The journal's records, each split into its tab-separated fields.
QList<QByteArrayList> enregistrements(const QString &fichier)
{
    QFile journal(fichier);
    QList<QByteArrayList> lus;
    if (journal.open(QIODevice::ReadOnly))
        for (const QByteArray &ligne : journal.readAll().split('\n'))
            if (!ligne.isEmpty())
                lus << ligne.split('\t');
    return lus;
}

// Whether process `pid` has its own handler for `signal` in place.
bool capte(qint64 pid, int signal)
{
    QFile etat(QStringLiteral("/proc/%1/status").arg(pid));
    if (etat.open(QIODevice::ReadOnly))
        for (const QByteArray &ligne : etat.readAll().split('\n'))
            if (ligne.startsWith("SigCgt:"))
                return (ligne.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

// A program of two steps, the second A+00002, 0.1 s apart, run twice.
const QByteArray Etape2 = QByteArray(Sequence).replace("A+00001", "A+00002");
const QByteArray Programme2 = "programme tarvik 1\nrepeter 2\n\netape prise\n" + Sequence +
                              "attendre 0.1\n\netape pose\n" + Etape2;

// The operator's limits file holds `contenu` while it lives.
class LimitesEssai {
public:
    explicit LimitesEssai(const QByteArray &contenu)
    {
        QDir().mkpath(QFileInfo(CheminLimitesOperateur()).path());
        m_ecrit = ecrireFichier(CheminLimitesOperateur(), contenu);
    }
    ~LimitesEssai() { QFile::remove(CheminLimitesOperateur()); }
    bool ecrit() const { return m_ecrit; }

private:
    bool m_ecrit = false;
};

// A pipe nobody reads, full: a writer to it blocks, as a pager that stops
// reading leaves one (`tarvik-envoyer … | less`).
class TubePlein {
public:
    explicit TubePlein(const QString &chemin)
        : m_chemin(QFile::encodeName(chemin))
    {
        ::unlink(m_chemin.constData());
        if (::mkfifo(m_chemin.constData(), 0600) != 0)
            return;
        m_lecteur = ::open(m_chemin.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC); // never reads
        const QByteArray page(4096, '.');
        while (m_lecteur >= 0 && ::write(m_lecteur, page.constData(), page.size()) > 0) {
        }
    }
    ~TubePlein() { ::close(m_lecteur); }
    bool valide() const { return m_lecteur >= 0; }
    // Puts the pipe in place of `fd`, in the child about to start.
    std::function<void()> pour(int fd) const
    {
        return [chemin = m_chemin, fd] {
            ::dup2(::open(chemin.constData(), O_WRONLY | O_CLOEXEC), fd);
        };
    }

private:
    QByteArray m_chemin;
    int m_lecteur = -1;
};

// Whether one of the threads of process `pid` waits to write to a full pipe.
bool bloqueSurUnTube(qint64 pid)
{
    const QString taches = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &tache : QDir(taches).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile attente(taches + u'/' + tache + QStringLiteral("/wchan"));
        if (attente.open(QIODevice::ReadOnly) && attente.readAll().contains("pipe_write"))
            return true;
    }
    return false;
}

// Waits, 20 s at most, for a state the program must be in before the test
// acts on it: never for a time that is meant to be long enough.
bool attendreQue(const std::function<bool()> &condition)
{
    return QTest::qWaitFor(condition, 20000);
}

// Waits, 20 s at most, for the running program to end.
bool finit(QProcess &programme)
{
    return programme.waitForFinished(20000);
}

// Sends `fichier` on `port` (none: the settings' port) in `langue` (none:
// the machine's), and stops the sender with SIGTERM once it holds the port
// when `arreter`.
Sortie envoyerSur(const QString &fichier, const QString &port, const QString &langue, bool arreter)
{
    QStringList arguments{fichier};
    if (!port.isEmpty())
        arguments << QStringLiteral("--port") << port;
    if (!langue.isEmpty())
        arguments << QStringLiteral("--langue") << langue;
    return lancer(arguments, {}, [&](QProcess &programme) {
        if (arreter)
            QVERIFY(attendreQue([&] { return verrouDe(port, programme); }) &&
                    signaler(programme.processId(), SIGTERM));
    });
}

} // namespace

class TestEnvoyeur : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void envoi_data();
    void envoi();
    void codes_data();
    void codes();
    void verifier();
    void sortiesStandard_data();
    void sortiesStandard();
    void entreeLente_data();
    void entreeLente();
    void aideEtVersion_data();
    void aideEtVersion();
    void portAuNomNonUtf8();
    void attendre_data();
    void attendre();
    void terminauxDuSysteme_data();
    void terminauxDuSysteme();
    void signalPendantUnEnvoiBloque_data();
    void signalPendantUnEnvoiBloque();
    void signalPendantLaLecture_data() { signalPendantUnEnvoiBloque_data(); }
    void signalPendantLaLecture();
    void signalSurUneSortiePleine_data() { signalPendantUnEnvoiBloque_data(); }
    void signalSurUneSortiePleine();
    void sortieBloquee_data();
    void sortieBloquee();
    void finBrutaleSurUnPont_data();
    void finBrutaleSurUnPont();
    void langue_data();
    void langue();
    void memesOctets_data();
    void memesOctets();
    void journal_data();
    void journal();
    void journalConcurrent();
    void journalImpossible_data();
    void journalImpossible();
    void limites_data();
    void limites();
    void limitesDeLaMachine();
    void programme_data();
    void programme();
    void programmeArrete();
    void journalSysteme_data();
    void journalSysteme();

private:
    QTemporaryDir m_dossier;
    QString m_fichier;
};

void TestEnvoyeur::initTestCase()
{
    // The sends meet the locks of this test alone: a lock folder of its own
    // over /run/lock (/var/lock leads there), in a mount namespace of its
    // own, which the senders it starts share. In the machine's, a live lock
    // of another user (any other program's, a test beside this one) would
    // refuse every send made as nobody, as it must.
    if (::geteuid() == 0 && QFileInfo(QStringLiteral("/run/lock")).isDir())
        QVERIFY(::unshare(CLONE_NEWNS) == 0 &&
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                ::mount("tmpfs", "/run/lock", "tmpfs", MS_NOSUID | MS_NODEV, "mode=1777") == 0);
    m_fichier = m_dossier.filePath(QStringLiteral("essai.seq"));
    QFile f(m_fichier);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(Sequence) == Sequence.size());
}

void TestEnvoyeur::envoi_data()
{
    QTest::addColumn<bool>("entreeStandard");
    QTest::newRow("fichier") << false;
    QTest::newRow("entrée standard") << true;
}

// Exactly the file's bytes (the € direction is 0x80), the lines on stdout.
void TestEnvoyeur::envoi()
{
    QFETCH(bool, entreeStandard);
    PseudoTerminal pty;
    const Sortie s =
        entreeStandard
            ? lancer({QStringLiteral("-"), QStringLiteral("--port"), pty.chemin()}, Sequence)
            : lancer({m_fichier, QStringLiteral("--port"), pty.chemin()});
    QVERIFY2(s.code == 0, s.erreurs.constData());
    QCOMPARE(pty.lire(84), Sequence);
    QCOMPARE(s.sortie, QString::fromLatin1(Sequence).replace(u'\x80', u'€').toUtf8());
    QCOMPARE(s.erreurs, QByteArray());
}

void TestEnvoyeur::codes_data()
{
    QTest::addColumn<QString>("cas");           // what stands in the way, if anything
    QTest::addColumn<QStringList>("arguments"); // FICHIER and PORT: the test's own
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("motif"); // on stderr
    const QStringList envoi{"--port", "PORT", "FICHIER"};
    // clang-format off
    QTest::newRow("fichier refusé")  << "refuse" << envoi << 1 << "» a été lu et refusé comme séquence.\nLigne 3 : la vitesse 256 dépasse 255.\nRien n'a été envoyé";
    QTest::newRow("programme refusé") << "programme" << envoi << 1 << "» a été lu et refusé comme programme.\nLigne 2 : « répéter » s'écrit « repeter »";
    QTest::newRow("fichier absent")  << "absent" << envoi << 1 << "» n'a pas pu être lu.\nLe fichier n'existe pas.\nRien n'a été envoyé";
    QTest::newRow("entrée refusée")  << "entree" << QStringList{"--port", "PORT", "-"} << 1 << "l'entrée standard a été lue et refusée comme séquence.\nLigne 3 : la vitesse 256";
    QTest::newRow("port absent")     << "" << QStringList{"--port", "/dev/tarvik-absent-pour-essai", "FICHIER"}
                                     << 3 << "port absent";
    QTest::newRow("port occupé")     << "occupe" << envoi << 3 << "port occupé par le processus";
    QTest::newRow("pas un port")     << "" << QStringList{"--port", "FICHIER", "FICHIER"} << 3 << "c'est un fichier ordinaire";
    QTest::newRow("sans fichier")    << "" << QStringList{"--port", "PORT"} << 2 << "il manque le fichier";
    QTest::newRow("deux fichiers")   << "" << envoi + QStringList{"FICHIER"} << 2 << "un seul fichier à la fois";
    QTest::newRow("option inconnue") << "" << envoi + QStringList{"--vite"} << 2 << "option inconnue : --vite";
    QTest::newRow("ligne bloquée")   << "bloque" << envoi << 4 << "délai dépassé";
    QTest::newRow("--verifier deux fois") << "" << QStringList{"--verifier", "FICHIER", "--verifier", "FICHIER"}
                                     << 2 << "l'option --verifier est donnée deux fois";
    QTest::newRow("--verifier, réglages douteux") << "douteux" << QStringList{"--verifier", "FICHIER"}
                                     << 3 << "ne serait pas envoyée";
    // What a send would do: refuse what is no serial port.
    QTest::newRow("--verifier sur /dev/null") << "" << QStringList{"--verifier", "FICHIER", "--port", "/dev/null"}
                                     << 3 << "mais elle ne serait pas envoyée";
    // clang-format on
}

// Each exit code with its cause; in none of them does a byte reach the line.
void TestEnvoyeur::codes()
{
    QFETCH(QString, cas);
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, motif);
    PseudoTerminal pty;
    QString fichier = m_fichier;
    int occupant = -1;
    const QByteArray refuse = QByteArray(Sequence).replace("C\x80"
                                                           "99999:255",
                                                           "C+99999:256");
    if (cas == QLatin1String("refuse")) {
        fichier = m_dossier.filePath(QStringLiteral("refuse.seq"));
        QVERIFY(ecrireFichier(fichier, refuse));
    } else if (cas == QLatin1String("programme")) {
        fichier = m_dossier.filePath(QStringLiteral("refuse.prog"));
        QVERIFY(ecrireFichier(fichier, "programme tarvik 1\nrépéter 2\netape\n" + Sequence));
    } else if (cas == QLatin1String("absent")) {
        fichier = m_dossier.filePath(QStringLiteral("absent.seq"));
    } else if (cas == QLatin1String("occupe")) {
        occupant =
            ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
        QCOMPARE(::flock(occupant, LOCK_EX | LOCK_NB), 0);
    } else if (cas == QLatin1String("bloque")) {
        QVERIFY(pty.remplir('.') > 0);
    } else if (cas == QLatin1String("douteux")) { // a dry run: its port from the settings
        QVERIFY(QDir().mkpath(QFileInfo(CheminReglages()).path()));
        QVERIFY(ecrireFichier(CheminReglages(), "port=ttyUSB0\n"));
    }
    const auto sansReglages = qScopeGuard([] { QFile::remove(CheminReglages()); });
    arguments.replaceInStrings(QStringLiteral("FICHIER"), fichier)
        .replaceInStrings(QStringLiteral("PORT"), pty.chemin());
    const Sortie s = lancer(arguments, cas == QLatin1String("entree") ? refuse : QByteArray());
    if (occupant >= 0)
        ::close(occupant);
    QCOMPARE(s.code, code);
    QVERIFY2(QString::fromUtf8(s.erreurs).contains(motif), s.erreurs.constData());
    // A dry run prints the lines before it says where they would not go.
    QCOMPARE(s.sortie, arguments[0] == QLatin1String("--verifier") && code == 3
                           ? QString::fromLatin1(Sequence).replace(u'\x80', u'€').toUtf8()
                           : QByteArray());
    QCOMPARE(pty.lire().replace('.', ""), QByteArray()); // nothing but the filler
    QCOMPARE(lireFichier(m_fichier), Sequence); // a regular file named as the port is never written
}

// --verifier prints what would be sent and never opens a port, not even the
// one saved as the choice.
void TestEnvoyeur::verifier()
{
    PseudoTerminal pty;
    QVERIFY(!EcrireReglages([&](Reglages &r) { r.port = pty.chemin(); }).echec);
    OuverturesVues ouvertures(pty.chemin());
    const Sortie s = lancer({QStringLiteral("--verifier"), m_fichier});
    QCOMPARE(s.code, 0);
    QCOMPARE(s.sortie, QString::fromLatin1(Sequence).replace(u'\x80', u'€').toUtf8());
    QCOMPARE(ouvertures.nombre(), 0);
    QCOMPARE(pty.lire(), QByteArray());
    QVERIFY2(QString::fromUtf8(s.erreurs).contains(pty.chemin() + QStringLiteral(" (choisi par")),
             s.erreurs.constData());
    QCOMPARE(lancer({QStringLiteral("--verifier"), m_dossier.path()}).code, 1);
    QVERIFY(!EcrireReglages([&](Reglages &r) { r.port = {}; }).echec);

    // The dry run takes the send's own command line, and names its port.
    PseudoTerminal autre;
    OuverturesVues autresOuvertures(autre.chemin());
    const Sortie avecPort =
        lancer({QStringLiteral("--verifier"), m_fichier, QStringLiteral("--port"), autre.chemin()});
    QCOMPARE(avecPort.code, 0);
    QCOMPARE(avecPort.sortie, s.sortie);
    QVERIFY2(QString::fromUtf8(avecPort.erreurs)
                 .contains(autre.chemin() + QStringLiteral(" (donné par --port)")),
             avecPort.erreurs.constData());
    QCOMPARE(autresOuvertures.nombre(), 0);
}

void TestEnvoyeur::sortiesStandard_data()
{
    QTest::addColumn<bool>("verifier");
    QTest::addColumn<QString>("redirection");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("motif"); // on stderr
    QTest::newRow("entrée fermée") << false << "<&-" << 2 << "l'entrée standard est fermée";
    QTest::newRow("--verifier, sortie pleine")
        << true << ">/dev/full" << 5 << "plus de place sur le disque";
    QTest::newRow("--verifier, sortie fermée")
        << true << ">&-" << 5 << "sortie standard est fermée";
    QTest::newRow("envoi, sortie pleine")
        << false << ">/dev/full" << 0 << "n'ont pas pu être écrites sur la sortie standard";
    QTest::newRow("envoi, sortie sans lecteur") // a pipe whose reader has gone
        << false << "3<>TUBE >TUBE 3<&-" << 0 << "n'ont pas pu être écrites sur la sortie standard";
}

// A closed stdin is not read; a full or closed stdout fails --verifier,
// whose whole job is to print, but leaves a send's code alone: the board has
// the lines.
void TestEnvoyeur::sortiesStandard()
{
    QFETCH(bool, verifier);
    QFETCH(QString, redirection);
    QFETCH(int, code);
    QFETCH(QString, motif);
    PseudoTerminal pty;
    const QString fichier = redirection == QLatin1String("<&-") ? QStringLiteral("-") : m_fichier;
    const QString tube = m_dossier.filePath(QStringLiteral("sortie"));
    if (redirection.contains(QLatin1String("TUBE"))) {
        QFile::remove(tube);
        QCOMPARE(::mkfifo(QFile::encodeName(tube).constData(), 0600), 0);
        redirection.replace(QLatin1String("TUBE"), tube);
    }
    const QStringList arguments =
        verifier ? QStringList{QStringLiteral("--verifier"), fichier}
                 : QStringList{fichier, QStringLiteral("--port"), pty.chemin()};
    const Sortie s = lancer(QStringLiteral("/bin/sh"),
                            QStringList{QStringLiteral("-c"),
                                        QStringLiteral("exec \"$0\" \"$@\" ") + redirection,
                                        QStringLiteral(TARVIK_ENVOYER)} +
                                arguments);
    QCOMPARE(s.code, code);
    QVERIFY2(QString::fromUtf8(s.erreurs).contains(motif), s.erreurs.constData());
    QCOMPARE(pty.lire(code == 0 ? 84 : 0), code == 0 ? Sequence : QByteArray());
}

void TestEnvoyeur::entreeLente_data()
{
    QTest::addColumn<bool>("nonBloquante");
    QTest::newRow("bloquante") << false;
    QTest::newRow("non bloquante") << true;
}

// A file that arrives through a slow pipe, in pieces, is read whole; a
// non-blocking one is waited for.
void TestEnvoyeur::entreeLente()
{
    QFETCH(bool, nonBloquante);
    PseudoTerminal pty;
    const auto sansAttente = [] {
        ::fcntl(STDIN_FILENO, F_SETFL, ::fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK);
    };
    const Sortie s = lancer(
        QStringLiteral(TARVIK_ENVOYER),
        {QStringLiteral("-"), QStringLiteral("--port"), pty.chemin()}, {},
        [](QProcess &p) {
            for (qsizetype debut = 0; debut < Sequence.size(); debut += 30) {
                p.write(Sequence.mid(debut, 30));
                p.waitForBytesWritten();
                QTest::qWait(100);
            }
        },
        nonBloquante ? std::function<void()>(sansAttente) : std::function<void()>());
    QVERIFY2(s.code == 0, s.erreurs.constData());
    QCOMPARE(pty.lire(84), Sequence);
}

void TestEnvoyeur::aideEtVersion_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("sortie");
    QTest::newRow("--help") << "--help"
                            << "Utilisation : tarvik-envoyer FICHIER";
    QTest::newRow("-h") << "-h"
                        << "Codes de sortie";
    QTest::newRow("--version") << "--version"
                               << "tarvik-envoyer " TARVIK_VERSION "\n";
}

// Answered before anything is checked or read, with no display.
void TestEnvoyeur::aideEtVersion()
{
    QFETCH(QString, option);
    QFETCH(QString, sortie);
    const Sortie s = lancer({option});
    QCOMPARE(s.code, 0);
    QVERIFY2(QString::fromUtf8(s.sortie).contains(sortie), s.sortie.constData());
    QCOMPARE(s.erreurs, QByteArray());
}

// A port named by bytes that are not UTF-8 is reached as named: the name
// goes from the command line to the system unchanged.
void TestEnvoyeur::portAuNomNonUtf8()
{
    PseudoTerminal pty;
    const QByteArray lien = QFile::encodeName(m_dossier.path()) + "/port\xff";
    QCOMPARE(::symlink(QFile::encodeName(pty.chemin()).constData(), lien.constData()), 0);
    const auto effacer = qScopeGuard([&] { ::unlink(lien.constData()); });
    const Sortie s =
        lancer(QStringLiteral("/bin/sh"),
               {QStringLiteral("-c"),
                QStringLiteral("exec \"$0\" \"$1\" --port \"$(printf '%s/port\\377' \"$2\")\""),
                QStringLiteral(TARVIK_ENVOYER), m_fichier, m_dossier.path()});
    QVERIFY2(s.code == 0, s.erreurs.constData());
    QCOMPARE(pty.lire(84), Sequence);
}

void TestEnvoyeur::attendre_data()
{
    QTest::addColumn<QString>("cas");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("dit"); // on stderr
    QTest::newRow("lien qui apparaît pendant l'attente") << "apparait" << 0 << "attente du port";
    QTest::newRow("occupé au-delà de l'attente") << "occupe" << 3 << "toujours occupé par";
    // The port free to a look, but held in exclusive mode: waited for until
    // a run can take it.
    QTest::newRow("exclusif, rendu pendant l'attente") << "exclusif" << 0 << "attente du port";
    QTest::newRow("absent une demi-seconde")
        << "absent" << 3 << "toujours absent après 0,5 s d'attente";
    QTest::newRow("--attendre sans nombre") << "usage" << 2 << "--attendre prend un nombre";
}

// --attendre waits for the port to be there and free, saying what for, then
// sends; a port still busy at the end is exit 3, and nothing is sent.
void TestEnvoyeur::attendre()
{
    QFETCH(QString, cas);
    QFETCH(int, code);
    QFETCH(QString, dit);
    PseudoTerminal pty;
    const QString lien = m_dossier.filePath(QStringLiteral("port-attendu"));
    QFile::remove(lien);
    const auto retirer = qScopeGuard([&] { QFile::remove(lien); });
    if (cas == QLatin1String("occupe"))
        QVERIFY(QFile::link(pty.chemin(), lien));
    const int autre =
        ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    const auto fermer = qScopeGuard([&] { ::close(autre); });
    if (cas == QLatin1String("occupe"))
        QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
    const bool exclusif = cas == QLatin1String("exclusif");
    if (exclusif)
        QVERIFY(QFile::link(pty.chemin(), lien) && ::ioctl(autre, TIOCEXCL) == 0);
    // The port comes once the program says it waits, well within its wait.
    const bool vient = exclusif || cas == QLatin1String("apparait");
    const QString secondes = cas == QLatin1String("usage")    ? QStringLiteral("bientôt")
                             : vient                          ? QStringLiteral("60")
                             : cas == QLatin1String("absent") ? QStringLiteral("0.5")
                                                              : QStringLiteral("1.5");
    bool attendu = false;
    const Sortie s = lancer(
        {m_fichier, QStringLiteral("--port"), lien, QStringLiteral("--attendre"), secondes}, {},
        [&](QProcess &p) {
            if (!vient)
                return;
            p.setReadChannel(QProcess::StandardError);
            attendu = attendreQue([&] { return p.peek(4096).contains("attente du port"); });
            exclusif ? void(::ioctl(autre, TIOCNXCL)) : void(QFile::link(pty.chemin(), lien));
        });
    QCOMPARE(attendu, vient);
    QCOMPARE(s.code, code);
    QVERIFY2(QString::fromUtf8(s.erreurs).contains(dit), s.erreurs.constData());
    QCOMPARE(pty.lire(code == 0 ? 84 : 0), code == 0 ? Sequence : QByteArray());
}

void TestEnvoyeur::terminauxDuSysteme_data()
{
    QTest::addColumn<QString>("terminal"); // what the port is to the program
    QTest::addColumn<QString>("motif");
    QTest::newRow("son entrée") << "entree"
                                << "c'est le terminal de ce programme";
    QTest::newRow("sa sortie") << "sortie"
                               << "c'est le terminal de ce programme";
    QTest::newRow("sa sortie d'erreur") << "erreurs"
                                        << "c'est le terminal de ce programme";
    QTest::newRow("son terminal de contrôle") << "controle"
                                              << "terminal de contrôle";
    QTest::newRow("une console du système") << "console"
                                            << "console du système";
}

// The program's own terminal ($(tty), /proc/self/fd/0, the terminal its
// output or its errors go to) and a console of the system are refused: the
// lines would show on a screen, not reach a board. The console is one here
// by a /proc/consoles of the program's own. Its errors on that terminal,
// the refusal shows there.
void TestEnvoyeur::terminauxDuSysteme()
{
    QFETCH(QString, terminal);
    QFETCH(QString, motif);
    const bool console = terminal == QLatin1String("console");
    if (console && ::geteuid() != 0)
        QSKIP("il faut être root pour donner au programme un /proc/consoles à lui");
    PseudoTerminal pty;
    const QByteArray chemin = QFile::encodeName(pty.chemin());
    struct stat etat {};
    QCOMPARE(::stat(chemin.constData(), &etat), 0);
    const QString consoles = m_dossier.filePath(QStringLiteral("consoles"));
    QVERIFY(ecrireFichier(consoles, QStringLiteral("ttyS9 -W- (EC p a) %1:%2\n")
                                        .arg(major(etat.st_rdev))
                                        .arg(minor(etat.st_rdev))
                                        .toLatin1()));
    const QByteArray faux = QFile::encodeName(consoles);
    QProcess programme;
    programme.setChildProcessModifier([&] {
        if (terminal == QLatin1String("entree")) {
            ::dup2(::open(chemin.constData(), O_RDWR | O_NOCTTY), 0);
        } else if (terminal == QLatin1String("sortie") || terminal == QLatin1String("erreurs")) {
            ::dup2(::open(chemin.constData(), O_RDWR | O_NOCTTY),
                   terminal == QLatin1String("sortie") ? 1 : 2);
        } else if (terminal == QLatin1String("controle")) {
            ::setsid();
            ::close(::open(chemin.constData(), O_RDWR)); // it becomes the session's
        } else if (::unshare(CLONE_NEWNS) != 0 ||
                   ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                   ::mount(faux.constData(), "/proc/consoles", nullptr, MS_BIND, nullptr) != 0) {
            ::_exit(99);
        }
    });
    OuverturesVues ouvertures(pty.chemin());
    programme.start(
        QStringLiteral(TARVIK_ENVOYER),
        {m_fichier, QStringLiteral("--port"),
         terminal == QLatin1String("entree") ? QStringLiteral("/proc/self/fd/0") : pty.chemin()});
    QVERIFY(finit(programme));
    const QByteArray surLeTerminal = pty.lire();
    const bool erreursLa = terminal == QLatin1String("erreurs");
    const QByteArray erreurs = erreursLa ? surLeTerminal : programme.readAllStandardError();
    QCOMPARE(programme.exitCode(), 3);
    QVERIFY2(QString::fromUtf8(erreurs).contains(motif), erreurs.constData());
    if (erreursLa) // the message only, never a line of the sequence
        QVERIFY2(!surLeTerminal.contains(Sequence.left(11)), surLeTerminal.constData());
    else
        QCOMPARE(surLeTerminal, QByteArray());
    if (console)
        QCOMPARE(ouvertures.nombre(), 0); // refused by its numbers, never opened
}

void TestEnvoyeur::signalPendantUnEnvoiBloque_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGQUIT") << int(SIGQUIT);
}

// A full line nobody reads: the signal ends the send at once, releases
// every lock, and the next send goes through whole.
void TestEnvoyeur::signalPendantUnEnvoiBloque()
{
    QFETCH(int, signal);
    PseudoTerminal pty;
    QVERIFY(pty.remplir() > 0);
    const QStringList arguments{m_fichier, QStringLiteral("--port"), pty.chemin()};
    bool arrete = false;
    VerrouVu verrou(pty.chemin());
    const Sortie s = lancer(arguments, {}, [&](QProcess &programme) {
        // Its lock taken, the send is under way: the full line holds its
        // first write, for 2 s at most. The signal goes as the lock is made.
        arrete = verrou.attendre() && verrouDe(pty.chemin(), programme) &&
                 signaler(programme.processId(), signal) && finit(programme);
    });
    QVERIFY2(arrete, "le programme ne s'est pas arrêté sur le signal");
    QCOMPARE(s.code, 128 + signal);
    const QString erreurs = QString::fromUtf8(s.erreurs);
    // Nothing handed to the far end is taken back from it.
    QVERIFY2(erreurs.contains(QStringLiteral("envoi interrompu")) &&
                 !erreurs.contains(QStringLiteral("abandonné")),
             s.erreurs.constData());
    QVERIFY(!QFile::exists(verrouQt(pty.chemin())));

    QByteArray recu = pty.lire();
    while (recu.startsWith('x'))
        recu.remove(0, 1);
    QVERIFY2(Sequence.startsWith(recu), recu.constData()); // nothing but whole lines, if any
    QCOMPARE(lancer(arguments).code, 0);
    QCOMPARE(pty.lire(84), Sequence);
}

// A signal while stdin is still coming ends the program at once, with the
// same code as during a send: nothing is sent, nothing dumped.
void TestEnvoyeur::signalPendantLaLecture()
{
    QFETCH(int, signal);
    PseudoTerminal pty;
    bool arrete = false;
    const Sortie s = lancer({QStringLiteral("-"), QStringLiteral("--port"), pty.chemin()},
                            Sequence.left(30), [&](QProcess &p) {
                                arrete =
                                    attendreQue([&] { return capte(p.processId(), signal); }) &&
                                    signaler(p.processId(), signal) && finit(p);
                            });
    QVERIFY2(arrete, "le programme ne s'est pas arrêté pendant la lecture");
    QCOMPARE(s.code, 128 + signal);
    QCOMPARE(pty.lire(), QByteArray());
}

// A dry run holds nothing to give back: once the file is read, a signal ends
// it at once, with the same code, even while it waits on a full stdout.
void TestEnvoyeur::signalSurUneSortiePleine()
{
    QFETCH(int, signal);
    const TubePlein tube(m_dossier.filePath(QStringLiteral("pleine")));
    QVERIFY(tube.valide());
    bool arrete = false;
    const Sortie s = lancer(
        QStringLiteral(TARVIK_ENVOYER), {QStringLiteral("--verifier"), m_fichier}, {},
        [&](QProcess &p) {
            arrete = attendreQue([&] { return bloqueSurUnTube(p.processId()); }) &&
                     signaler(p.processId(), signal) && finit(p);
        },
        tube.pour(STDOUT_FILENO));
    QVERIFY2(arrete, "le programme ne s'est pas arrêté");
    QCOMPARE(s.code, 128 + signal);
}

void TestEnvoyeur::sortieBloquee_data()
{
    QTest::addColumn<int>("bloquee"); // the descriptor whose reader stopped
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("issue"); // the last record's
    QTest::newRow("sortie standard, programme en cours") << 1 << 128 + SIGTERM << "interrompue";
    QTest::newRow("sortie d'erreur, port absent") << 2 << 3 << "port refusé";
}

// A reader that stops (a pager, a full pipe) never holds a run up nor keeps
// the port: once the program waits on it, SIGTERM ends the program, the
// port and its lock are given back, and the record is written.
void TestEnvoyeur::sortieBloquee()
{
    QFETCH(int, bloquee);
    QFETCH(int, code);
    QFETCH(QString, issue);
    JournalEssai journal;
    PseudoTerminal pty;
    const TubePlein tube(m_dossier.filePath(QStringLiteral("arretee")));
    QVERIFY(tube.valide());
    const QString programme = m_dossier.filePath(QStringLiteral("long.prog"));
    QVERIFY(ecrireFichier(programme, QByteArray(Programme2).replace("attendre 0.1", "attendre 5")));
    const QString port =
        bloquee == 1 ? pty.chemin() : QStringLiteral("/dev/tarvik-absent-pour-essai");
    bool arrete = false;
    const Sortie s = lancer(
        QStringLiteral(TARVIK_ENVOYER),
        {programme, QStringLiteral("--repeter"), QStringLiteral("100"), QStringLiteral("--port"),
         port},
        {},
        [&](QProcess &p) {
            // A refusal is recorded before the signal comes: the program
            // then waits on its reader alone (its progress may block it
            // before the port has been tried).
            const bool refus = code != 128 + SIGTERM;
            arrete =
                attendreQue([&] {
                    return bloqueSurUnTube(p.processId()) && (!refus || !journal.lus().isEmpty());
                }) &&
                signaler(p.processId(), SIGTERM) && finit(p);
        },
        tube.pour(bloquee));
    QVERIFY2(arrete, "le programme ne s'est pas arrêté");
    QCOMPARE(s.code, code);
    QVERIFY(!QFile::exists(verrouQt(pty.chemin())));
    const QList<EnregistrementEnvoi> lus = journal.lus();
    QVERIFY(!lus.isEmpty());
    QCOMPARE(NomIssue(lus.last().issue), issue);
}

void TestEnvoyeur::finBrutaleSurUnPont_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("autreUtilisateur"); // the sends run as "nobody"
    QTest::newRow("SIGKILL, root") << int(SIGKILL) << false;
    QTest::newRow("SIGHUP, root") << int(SIGHUP) << false;
    QTest::newRow("SIGKILL, nobody") << int(SIGKILL) << true;
    QTest::newRow("SIGHUP, nobody") << int(SIGHUP) << true;
}

// A send ended while it waits on a socat bridge whose output is held. A
// signal it can catch leaves nothing behind: the next send goes through,
// for the same user too. SIGKILL leaves the exclusive mode on the bridge,
// which socat keeps open, and the dead run's lock: socat holds the port,
// so root clears nothing and is told to open the bridge again; another
// user, who cannot see who holds it, is told how to free it. Nothing is
// sent until the bridge is opened again, and the first send then starts on
// a fresh line: the dead run's lock, gone meanwhile, left its mark.
void TestEnvoyeur::finBrutaleSurUnPont()
{
    QFETCH(int, signal);
    QFETCH(bool, autreUtilisateur);
    if (::geteuid() != 0)
        QSKIP("il faut être root pour envoyer aussi comme un autre utilisateur");
    if (QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty())
        QSKIP("socat n'est pas installé");
    if (signal == SIGKILL && !VoitTousLesProcessus())
        QSKIP("le verrou d'un envoi tué ne se montre périmé que d'où l'on voit tous les processus");
    PontSocat pont;
    QVERIFY(pont.valide());
    // A copy anyone may run, wherever the build tree lies.
    QTemporaryDir dossier;
    const QString programme = dossier.filePath(QStringLiteral("tarvik-envoyer"));
    QVERIFY(QFile::copy(QStringLiteral(TARVIK_ENVOYER), programme));
    QCOMPARE(::chmod(QFile::encodeName(dossier.path()).constData(), 0755), 0);
    QCOMPARE(::chmod(QFile::encodeName(m_dossier.path()).constData(), 0755), 0);
    QCOMPARE(::chmod(QFile::encodeName(m_fichier).constData(), 0644), 0);
    const auto envoyer = [&](bool autre, const std::function<void(QProcess &)> &pendant = {}) {
        QStringList arguments{m_fichier, QStringLiteral("--port"), pont.panneau()};
        if (!autre)
            return lancer(programme, arguments, {}, pendant);
        return lancer(QStringLiteral("setpriv"),
                      QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                  QStringLiteral("--clear-groups"), programme} +
                          arguments,
                      {}, pendant);
    };
    const QString verrou = verrouQt(pont.peripherique());

    pont.suspendre();
    // The signal lands once the port is held whole: its lock file there, and
    // its exclusive mode set, which only a signal it can catch takes off.
    bool tenu = false, arrete = false;
    const Sortie tuee = envoyer(autreUtilisateur, [&](QProcess &p) {
        tenu = attendreQue([&] { return verrouDe(pont.peripherique(), p) && pont.exclusif(); });
        arrete = tenu && signaler(p.processId(), signal) && finit(p);
    });
    QVERIFY2(tenu, "l'envoi ne prend pas le port");
    QVERIFY(arrete);
    pont.reprendre();
    pont.lire(); // whatever got through before the signal
    if (signal != SIGKILL) {
        QCOMPARE(tuee.code, 128 + signal);
        QVERIFY(!QFile::exists(verrou));
        QVERIFY(!pont.exclusif());
    }

    const Sortie suivante = envoyer(autreUtilisateur);
    const QString erreurs = QString::fromUtf8(suivante.erreurs);
    if (signal == SIGKILL) {
        QCOMPARE(suivante.code, 3);
        QVERIFY2(autreUtilisateur
                     ? erreurs.contains(QStringLiteral("que vous ne pouvez pas voir")) &&
                           erreurs.contains(QStringLiteral("fuser -v")) &&
                           !erreurs.contains(QStringLiteral("aucun programme"))
                     : erreurs.contains(QStringLiteral("rouvrez le pont")),
                 suivante.erreurs.constData());
        QCOMPARE(pont.lire(), QByteArray());
        QVERIFY(pont.exclusif());
        pont.effacerExclusivite(); // the bridge closed and opened again
        const Sortie rouverte = envoyer(autreUtilisateur);
        QVERIFY2(rouverte.code == 0, rouverte.erreurs.constData());
        QCOMPARE(pont.lire(85), '\n' + Sequence);
    } else {
        QVERIFY2(suivante.code == 0, suivante.erreurs.constData());
        QCOMPARE(pont.lire(84), Sequence);
    }
    QVERIFY(!pont.exclusif());
    QVERIFY(!QFile::exists(verrou));
}

void TestEnvoyeur::langue_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("aide");        // how --help starts; empty: refused
    QTest::addColumn<QString>("enregistree"); // the language saved in the settings
    const QString fr = QStringLiteral("Utilisation : tarvik-envoyer FICHIER"),
                  en = QStringLiteral("Usage: tarvik-envoyer FILE");
    QTest::newRow("anglais du système")
        << QByteArray("en_US.UTF-8") << QStringList() << 0 << en << "";
    QTest::newRow("C : français") << QByteArray("C") << QStringList() << 0 << fr << "";
    QTest::newRow("autre langue : français")
        << QByteArray("de_DE.UTF-8") << QStringList() << 0 << fr << "";
    QTest::newRow("--langue fr sur un anglais")
        << QByteArray("en_US.UTF-8") << QStringList{"--langue", "fr"} << 0 << fr << "";
    QTest::newRow("--langue=en sur C")
        << QByteArray("C") << QStringList{"--langue=en"} << 0 << en << "";
    QTest::newRow("--langue de refusée")
        << QByteArray("C") << QStringList{"--langue", "de"} << 2 << QString() << "";
    QTest::newRow("langue=en enregistrée") << QByteArray("C") << QStringList() << 0 << en << "en";
    QTest::newRow("--langue fr sur langue=en enregistrée")
        << QByteArray("C") << QStringList{"--langue", "fr"} << 0 << fr << "en";
    QTest::newRow("--langue deux fois")
        << QByteArray("C") << QStringList{"--langue", "fr", "--langue", "en"} << 2 << QString()
        << "";
}

// The language of --help: the one --langue gives, else the one saved, else
// the system's (English for English, French for any other); any other
// --langue, or two of them, is refused.
void TestEnvoyeur::langue()
{
    QFETCH(QByteArray, lang);
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QString, aide);
    QFETCH(QString, enregistree);
    LocaleEssai locale(lang);
    const auto sansReglages = qScopeGuard([] { QFile::remove(CheminReglages()); });
    if (!enregistree.isEmpty())
        QVERIFY(!EcrireReglages([&](Reglages &r) { r.langue = enregistree; }).echec);
    const Sortie s = lancer(options << QStringLiteral("--help"));
    QCOMPARE(s.code, code);
    if (code == 0)
        QVERIFY2(QString::fromUtf8(s.sortie).startsWith(aide), s.sortie.left(80).constData());
    else
        QVERIFY2(s.erreurs.contains("--langue"), s.erreurs.constData());
}

void TestEnvoyeur::memesOctets_data()
{
    QTest::addColumn<QString>("langue");
    QTest::addColumn<QString>("refus"); // what the refused file's message says
    QTest::newRow("fr") << "fr"
                        << "Ligne 3 : la vitesse 256 dépasse 255";
    QTest::newRow("en") << "en"
                        << "Line 3: the speed 256 is over 255";
}

// The board receives the same bytes in either language; a refused file
// sends nothing in either, and says why in its language.
void TestEnvoyeur::memesOctets()
{
    QFETCH(QString, langue);
    QFETCH(QString, refus);
    PseudoTerminal pty;
    const QStringList options{QStringLiteral("--langue"), langue, QStringLiteral("--port"),
                              pty.chemin()};
    QCOMPARE(lancer(options + QStringList{m_fichier}).code, 0);
    QCOMPARE(pty.lire(84), Sequence);
    const Sortie refusee = lancer(options + QStringList{QStringLiteral("-")},
                                  QByteArray(Sequence).replace("C\x80"
                                                               "99999:255",
                                                               "C+99999:256"));
    QCOMPARE(refusee.code, 1);
    QVERIFY2(QString::fromUtf8(refusee.erreurs).contains(refus), refusee.erreurs.constData());
    QCOMPARE(pty.lire(), QByteArray());
}

void TestEnvoyeur::journal_data()
{
    QTest::addColumn<QString>("port");  // "absent"; "grille": a grid refused, no run
    QTest::addColumn<QString>("issue"); // empty: no record
    QTest::addColumn<QString>("raison");
    QTest::addColumn<int>("lignes");
    // clang-format off
    QTest::newRow("envoyée")        << ""       << "envoyée"     << ""            << 7;
    QTest::newRow("port refusé")    << "absent" << "port refusé" << "port absent" << 0;
    QTest::newRow("grille refusée") << "grille" << ""            << ""            << 0;
    // clang-format on
}

// A run that got past the file's checks leaves one whole record: when, who,
// which file, the port chosen and its device, how it ended, and the lines.
// A grid refused before the port leaves none.
void TestEnvoyeur::journal()
{
    QFETCH(QString, port);
    QFETCH(QString, issue);
    QFETCH(QString, raison);
    QFETCH(int, lignes);
    JournalEssai journal;
    PseudoTerminal pty;
    if (port == QLatin1String("grille")) {
        const QString refuse = m_dossier.filePath(QStringLiteral("vitesse-256.seq"));
        QVERIFY(ecrireFichier(refuse, QByteArray(Sequence).replace("255", "256")));
        QCOMPARE(lancer({refuse, QStringLiteral("--port"), pty.chemin()}).code, 1);
    } else {
        port = port.isEmpty() ? pty.chemin() : QStringLiteral("/dev/tarvik-absent-pour-essai");
        lancer({m_fichier, QStringLiteral("--port"), port});
    }
    const QList<QByteArrayList> lus = enregistrements(journal.fichier());
    QCOMPARE(lus.size(), issue.isEmpty() ? 0 : 1);
    if (issue.isEmpty())
        return;
    QByteArrayList champs = lus[0];
    QVERIFY2(champs.last().startsWith("id="), champs.last().constData()); // the run's, last
    champs.removeLast();
    QCOMPARE(champs.size(), 7 + lignes);
    QVERIFY2(QRegularExpression(
                 QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$)"))
                 .match(QString::fromUtf8(champs[0]))
                 .hasMatch(),
             champs[0].constData());
    QCOMPARE(champs[1], QByteArray("tarvik-envoyer"));
    QCOMPARE(QString::fromUtf8(champs[2]), m_fichier);
    QCOMPARE(QString::fromUtf8(champs[3]), port);
    QCOMPARE(QString::fromUtf8(champs[4]), port == pty.chemin() ? port : QString());
    QCOMPARE(QString::fromUtf8(champs[5]), issue);
    QVERIFY2(raison.isEmpty() ? champs[6].isEmpty() : QString::fromUtf8(champs[6]).contains(raison),
             champs[6].constData());
    const QByteArray affichees = QString::fromLatin1(Sequence).replace(u'\x80', u'€').toUtf8();
    QCOMPARE(champs.mid(7).join('\n') + (lignes ? "\n" : ""), lignes ? affichees : QByteArray());
}

// Two senders, 50 runs each, into one journal: 100 whole records.
void TestEnvoyeur::journalConcurrent()
{
    JournalEssai journal;
    PseudoTerminal a, b;
    QList<QProcess *> envois;
    for (const PseudoTerminal *pty : {&a, &b}) {
        auto *envoi = new QProcess(this);
        envoi->start(QStringLiteral("/bin/sh"),
                     {QStringLiteral("-c"),
                      QStringLiteral("for i in $(seq 50); do \"$0\" \"$1\" --port \"$2\" "
                                     ">/dev/null 2>&1; done"),
                      QStringLiteral(TARVIK_ENVOYER), m_fichier, pty->chemin()});
        envois << envoi;
    }
    for (QProcess *envoi : envois)
        QVERIFY(envoi->waitForFinished(60000));
    const QList<QByteArrayList> lus = enregistrements(journal.fichier());
    QCOMPARE(lus.size(), 100);
    for (const QByteArrayList &champs : lus)
        QVERIFY2(champs.size() == 15 && champs[5] == QStringLiteral("envoyée").toUtf8(),
                 champs.join('|').constData());
    qDeleteAll(envois);
}

void TestEnvoyeur::journalImpossible_data()
{
    QTest::addColumn<QString>("place"); // what stands where the journal goes
    QTest::addColumn<QString>("motif"); // on stderr
    const QString nonEcrit = QStringLiteral("journal.log » : enregistrement non écrit, ");
    QTest::newRow("dossier") << "dossier" << nonEcrit;
    QTest::newRow("tube") << "tube" << nonEcrit;
    QTest::newRow("lien") << "lien" << nonEcrit;
    QTest::newRow("dossier à la place de .1")
        << "ancien"
        << "journal.log » : enregistrement écrit, mais le fichier n'a pas pu devenir";
}

// A journal that cannot be written changes nothing in the run or its code;
// it is said on stderr, and a link there never leads to its target. A full
// journal that cannot move aside gets the record all the same, and says so.
void TestEnvoyeur::journalImpossible()
{
    QFETCH(QString, place);
    QFETCH(QString, motif);
    JournalEssai journal;
    const QString fichier = journal.fichier();
    QVERIFY(QDir().mkpath(QFileInfo(fichier).path()));
    const QString cible = QFileInfo(fichier).path() + QStringLiteral("/cible");
    QVERIFY(QFile(cible).open(QIODevice::WriteOnly));
    if (place == QLatin1String("dossier"))
        QVERIFY(QDir().mkdir(fichier));
    else if (place == QLatin1String("tube"))
        QCOMPARE(::mkfifo(QFile::encodeName(fichier).constData(), 0600), 0);
    else if (place == QLatin1String("lien"))
        QVERIFY(QFile::link(cible, fichier));
    else
        QVERIFY(ecrireFichier(fichier, QByteArray(TailleMaxJournal, '\n')) &&
                QDir().mkdir(fichier + QStringLiteral(".1")));
    PseudoTerminal pty;
    const Sortie s = lancer({m_fichier, QStringLiteral("--port"), pty.chemin()});
    QCOMPARE(s.code, 0);
    QCOMPARE(pty.lire(84), Sequence);
    QVERIFY2(QString::fromUtf8(s.erreurs).contains(QStringLiteral("le journal des envois")) &&
                 QString::fromUtf8(s.erreurs).contains(motif),
             s.erreurs.constData());
    QCOMPARE(QFileInfo(cible).size(), 0);
    if (place == QLatin1String("ancien"))
        QCOMPARE(enregistrements(fichier).size(), 1);
}

void TestEnvoyeur::limites_data()
{
    QTest::addColumn<QByteArray>("limites"); // the operator's file
    QTest::addColumn<QString>("comment");    // file, stdin, program, --verifier
    QTest::addColumn<QStringList>("motifs"); // on stderr, each
    const QByteArray deux = "A.pas=0\nE.vitesse=100\n";
    const QStringList lesDeux{"Axe 01 (A)", "Axe 05 (E)", "vitesse 100"};
    // clang-format off
    QTest::newRow("fichier")            << deux << "fichier" << lesDeux;
    QTest::newRow("stdin")              << deux << "stdin" << lesDeux;
    QTest::newRow("--verifier")         << deux << "verifier" << lesDeux;
    QTest::newRow("programme, étape 2") << QByteArray("A.pas=1\n") << "programme"
                                        << QStringList{"Étape 2 (pose)", "Axe 01 (A)"};
    QTest::newRow("fichier douteux")    << QByteArray("A.pas=un\n") << "fichier"
                                        << QStringList{"tarvik-envoyer : le fichier de limites « ", "limites.conf » est douteux : ligne 1 (A.pas)",
                                                       "Aucune valeur n'a été comparée aux limites : aucun envoi n'est possible tant qu'un fichier de limites est douteux.\nRien n'a été envoyé."};
    QTest::newRow("course, parcours 2") << QByteArray("B.course=300\n") << "programme"
                                        << QStringList{"Course refusée pour Axe 02 (B)",
                                                       "l'étape 2 (pose) du parcours 2", "-400"};
    // Read once the language is installed: said in it, every word.
    QTest::newRow("douteux, en anglais") << QByteArray("A.pas=un\n") << "verifier en"
                                        << QStringList{"the limits file", "is doubtful: line 1 (A.pas)",
                                                       "No value was compared with the limits: nothing can be sent while a limits file is doubtful.\nNothing was sent."};
    // clang-format on
}

// Beyond the bench's limits, by any route, nothing is sent: every value
// beyond them is said, with exit code 6, and a send leaves a record.
void TestEnvoyeur::limites()
{
    QFETCH(QByteArray, limites);
    QFETCH(QString, comment);
    QFETCH(QStringList, motifs);
    JournalEssai journal;
    LimitesEssai fichierLimites(limites);
    QVERIFY(fichierLimites.ecrit());
    PseudoTerminal pty;
    const QString programme = m_dossier.filePath(QStringLiteral("deux.prog"));
    QVERIFY(ecrireFichier(programme, Programme2));
    const QStringList port{QStringLiteral("--port"), pty.chemin()};
    const bool entree = comment == QLatin1String("stdin");
    const QStringList anglais{QStringLiteral("--langue"), QStringLiteral("en")};
    const Sortie s =
        lancer(comment.startsWith(QLatin1String("verifier"))
                   ? QStringList{QStringLiteral("--verifier"), m_fichier} +
                         (comment.endsWith(QLatin1String(" en")) ? anglais : QStringList())
               : comment == QLatin1String("programme")
                   ? QStringList{programme} + port
                   : QStringList{entree ? QStringLiteral("-") : m_fichier} + port,
               entree ? Sequence : QByteArray());
    QCOMPARE(s.code, 6);
    for (const QString &motif : motifs)
        QVERIFY2(QString::fromUtf8(s.erreurs).contains(motif), s.erreurs.constData());
    QCOMPARE(s.sortie, QByteArray());
    QCOMPARE(pty.lire(), QByteArray());
    const auto lus = enregistrements(journal.fichier());
    QCOMPARE(lus.size(), comment.startsWith(QLatin1String("verifier")) ? 0 : 1);
    QVERIFY(lus.isEmpty() || lus[0][5] == "hors limites");
    // A doubtful file's record names the file first, and no value.
    if (!lus.isEmpty() && motifs[0].contains(QLatin1String("fichier de limites")))
        QVERIFY2(lus[0][6].startsWith("le fichier de limites") &&
                     lus[0][6].contains("Aucune valeur n'a été comparée aux limites :"),
                 lus[0][6].constData());
    QVERIFY2(!comment.endsWith(QLatin1String(" en")) || !s.erreurs.contains("fichier"),
             s.erreurs.constData());
}

// The machine's limits hold for another user, who can neither change the
// file nor loosen it with limits of their own.
void TestEnvoyeur::limitesDeLaMachine()
{
    if (::geteuid() != 0)
        QSKIP("il faut être root pour installer un fichier de la machine");
    if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        QSKIP("setpriv n'est pas installé");
    QTemporaryDir machine, maison;
    const QString fichier = machine.filePath(QStringLiteral("Tarvik/limites.conf"));
    QVERIFY(QDir().mkpath(QFileInfo(fichier).path()) && ecrireFichier(fichier, "A.pas=0\n"));
    for (const QString &chemin : {machine.path(), QFileInfo(fichier).path(), fichier})
        QCOMPARE(::chmod(QFile::encodeName(chemin).constData(), chemin == fichier ? 0644 : 0755),
                 0);
    QVERIFY(QDir().mkpath(maison.filePath(QStringLiteral("Tarvik"))));
    QVERIFY(ecrireFichier(maison.filePath(QStringLiteral("Tarvik/limites.conf")), "A.pas=99999\n"));
    QCOMPARE(::chown(QFile::encodeName(maison.path()).constData(), 65534, 65534), 0);
    QCOMPARE(::chmod(QFile::encodeName(m_dossier.path()).constData(), 0755), 0);
    QCOMPARE(::chmod(QFile::encodeName(m_fichier).constData(), 0644), 0);
    const auto enAutre = [&](const QStringList &commande) {
        return lancer(QStringLiteral("env"),
                      QStringList{QStringLiteral("XDG_CONFIG_DIRS=") + machine.path(),
                                  QStringLiteral("XDG_CONFIG_HOME=") + maison.path(),
                                  QStringLiteral("XDG_STATE_HOME=") + maison.path(),
                                  QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                                  QStringLiteral("--regid=65534"),
                                  QStringLiteral("--clear-groups")} +
                          commande);
    };
    PseudoTerminal pty;
    const Sortie s = enAutre(
        {QStringLiteral(TARVIK_ENVOYER), m_fichier, QStringLiteral("--port"), pty.chemin()});
    QCOMPARE(s.code, 6);
    QVERIFY2(s.erreurs.contains("limite de la machine"), s.erreurs.constData());
    QCOMPARE(pty.lire(), QByteArray());
    QVERIFY(enAutre({QStringLiteral("sh"), QStringLiteral("-c"),
                     QStringLiteral("echo A.pas=99999 > '%1'").arg(fichier)})
                .code != 0);
    QCOMPARE(lireFichier(fichier), QByteArray("A.pas=0\n"));
}

void TestEnvoyeur::programme_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("etapes"); // the steps that arrive, in order
    QTest::addColumn<QString>("derive"); // axis B's drift, warned of; empty: none
    QTest::addColumn<int>("code");
    // clang-format off
    QTest::newRow("deux fois")              << QStringList{} << "1212" << "recule de -200 pas à chaque parcours : -400 après 2 parcours" << 0;
    QTest::newRow("--depuis 2")             << QStringList{"--depuis", "2"} << "212" << "-300 après 2 parcours" << 0;
    QTest::newRow("--repeter 1")            << QStringList{"--repeter", "1"} << "12" << "" << 0;
    QTest::newRow("--depuis 2 --repeter 1") << QStringList{"--depuis", "2", "--repeter", "1"} << "2" << "" << 0;
    QTest::newRow("séquence --repeter 3")   << QStringList{"SEQ", "--repeter", "3"} << "111" << "-300 après 3 parcours" << 0;
    // One past the last step: nothing goes, not even the last step.
    QTest::newRow("--depuis 3 de 2")        << QStringList{"--depuis", "3"} << "" << "" << 2;
    // clang-format on
}

// A program's steps arrive whole and in order, from the step asked for, as
// many times as asked, each on stdout and in the journal as file:step.
void TestEnvoyeur::programme()
{
    QFETCH(QStringList, options);
    QFETCH(QString, etapes);
    QFETCH(QString, derive);
    QFETCH(int, code);
    JournalEssai journal;
    PseudoTerminal pty;
    const bool sequence = options.removeAll(QStringLiteral("SEQ")) > 0;
    const QString fichier = sequence ? m_fichier : m_dossier.filePath(QStringLiteral("deux.prog"));
    QVERIFY(sequence || ecrireFichier(fichier, Programme2));
    const Sortie s = lancer(QStringList{fichier, QStringLiteral("--port"), pty.chemin()} + options);
    QVERIFY2(s.code == code, s.erreurs.constData());
    QByteArray attendu;
    for (const QChar etape : etapes)
        attendu += etape == u'1' ? Sequence : Etape2;
    QCOMPARE(pty.lire(attendu.size()), attendu);
    QCOMPARE(s.sortie, QString::fromLatin1(attendu).replace(u'\x80', u'€').toUtf8());
    const auto lus = enregistrements(journal.fichier());
    QCOMPARE(lus.size(), etapes.size());
    const Sortie v = lancer(
        QStringList{QStringLiteral("--verifier"), fichier, QStringLiteral("--port"), pty.chemin()} +
        options);
    QCOMPARE(v.code, code);
    if (code != 0) // the dry run refuses it as well
        return;
    QCOMPARE(QString::fromUtf8(lus.last()[2]), fichier + u':' + etapes.back());
    QVERIFY2(v.erreurs.contains("attentes en tout") &&
                 v.sortie.contains((sequence ? "etape\n" : "etape pose\n") + Etape2.left(12)) !=
                     sequence,
             v.erreurs.constData());
    // A drift is warned of, by the send and by --verifier, beside the figures.
    for (const QString &erreurs : {QString::fromUtf8(s.erreurs), QString::fromUtf8(v.erreurs)})
        QVERIFY2(derive.isEmpty()
                     ? !erreurs.contains(QStringLiteral("l'axe B"))
                     : erreurs.contains(QStringLiteral("l'axe B")) && erreurs.contains(derive),
                 qPrintable(erreurs));
    QVERIFY2(v.erreurs.contains("Axe 02 (B)") && v.erreurs.contains("pris comme 0"),
             v.erreurs.constData());
}

// SIGINT during a wait stops the program as Stop does: nothing more is
// sent, the port and its lock are given back at once.
void TestEnvoyeur::programmeArrete()
{
    PseudoTerminal pty;
    const QString fichier = m_dossier.filePath(QStringLiteral("lent.prog"));
    QVERIFY(ecrireFichier(fichier, QByteArray(Programme2).replace("attendre 0.1", "attendre 60")));
    JournalEssai journal;
    bool arrete = false;
    QByteArray premiere;
    const Sortie s =
        lancer({fichier, QStringLiteral("--port"), pty.chemin()}, {}, [&](QProcess &p) {
            premiere = pty.lire(84);
            // The first step's record is written as it ends, just before the wait.
            arrete = attendreQue([&] { return journal.lus().size() == 1; }) &&
                     signaler(p.processId(), SIGINT) && finit(p);
        });
    QCOMPARE(premiere, Sequence); // the first step, whole
    QVERIFY2(arrete, "le programme ne s'est pas arrêté");
    QCOMPARE(s.code, 128 + SIGINT);
    QVERIFY2(s.erreurs.contains("arrêt d'urgence"), s.erreurs.constData());
    QVERIFY(!QFile::exists(verrouQt(pty.chemin())));
    QCOMPARE(pty.lire(), QByteArray());
}

void TestEnvoyeur::journalSysteme_data()
{
    QTest::addColumn<QByteArray>("reglages"); // tarvik.conf's lines; empty: no file
    QTest::addColumn<QString>("port");        // pty, absent, plein (stopped by SIGTERM), reglages
    QTest::addColumn<bool>("ecoute");         // a journal takes entries
    QTest::addColumn<QString>("langue");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("issue");      // the file's record
    QTest::addColumn<QByteArray>("systeme"); // the entry's TARVIK_OUTCOME; empty: no entry
    QTest::addColumn<QByteArray>("priorite");
    QTest::addColumn<QString>("message"); // how the entry's MESSAGE starts, %1 the port
    const QByteArray oui = "[General]\njournal_systeme=oui\n", non = "journal_systeme=non\n";
    const QString envoyee = QStringLiteral("Séquence envoyée sur %1 (7 lignes)"),
                  refusee = QStringLiteral("Séquence refusée par le port %1\u00a0: "),
                  coupee = QStringLiteral("Envoi interrompu sur %1\u00a0: Port série");
    const int arret = 128 + SIGTERM;
    // clang-format off
    QTest::newRow("envoyée")        << QByteArray() << "pty"    << true << "" << 0 << "envoyée" << QByteArray("sent") << QByteArray("6") << envoyee;
    QTest::newRow("en anglais")     << QByteArray() << "pty"    << true << "en" << 0 << "envoyée" << QByteArray("sent") << QByteArray("6") << "Sequence sent on %1 (7 lines)";
    QTest::newRow("port refusé")    << QByteArray() << "absent" << true << "" << 3 << "port refusé" << QByteArray("refused") << QByteArray("4") << refusee;
    QTest::newRow("interrompue")    << QByteArray() << "plein"  << true << "" << arret << "interrompue" << QByteArray("interrupted") << QByteArray("4") << coupee;
    QTest::newRow("oui")            << oui          << "pty"    << true << "" << 0 << "envoyée" << QByteArray("sent") << QByteArray("6") << envoyee;
    QTest::newRow("non")            << non          << "pty"    << true << "" << 0 << "envoyée" << QByteArray() << QByteArray() << "";
    QTest::newRow("non, refusée")   << non          << "absent" << true << "" << 3 << "port refusé" << QByteArray() << QByteArray() << "";
    QTest::newRow("ni oui ni non")  << QByteArray("journal_systeme=Non\n") << "reglages" << true << "" << 3 << "port refusé"
                                    << QByteArray("refused") << QByteArray("4") << QString(refusee).replace(QStringLiteral("%1"), QStringLiteral("inconnu"));
    // Doubtful settings are not read, even with --port: the entries go, as
    // with no settings, and the operator is told.
    QTest::newRow("Non, --port")    << QByteArray("journal_systeme=Non\n") << "pty" << true << "" << 0 << "envoyée" << QByteArray("sent") << QByteArray("6") << envoyee;
    QTest::newRow("casse, --port")  << QByteArray("Journal_systeme=non\n") << "pty" << true << "" << 0 << "envoyée" << QByteArray("sent") << QByteArray("6") << envoyee;
    QTest::newRow("en double, --port") << QByteArray("journal_systeme=non\njournal_systeme=non\n") << "pty" << true << "" << 0 << "envoyée" << QByteArray("sent") << QByteArray("6") << envoyee;
    QTest::newRow("sans journal")   << QByteArray() << "pty"    << false << "" << 0 << "envoyée" << QByteArray() << QByteArray() << "";
    QTest::newRow("sans journal, refusée") << QByteArray() << "absent" << false << "" << 3 << "port refusé" << QByteArray() << QByteArray() << "";
    QTest::newRow("sans journal, interrompue") << QByteArray() << "plein" << false << "" << arret << "interrompue" << QByteArray() << QByteArray() << "";
    // clang-format on
}

// Each record goes to the system's journal too, once written, as one entry
// whose fields are the record's; journal_systeme=non keeps it from there. A
// machine without a journal, or a setting that says no, changes nothing to
// the run: the same code, the same record. Seen on a journal socket of the
// test's own, in its own mount namespace, which the program inherits.
void TestEnvoyeur::journalSysteme()
{
    QFETCH(QByteArray, reglages);
    QFETCH(QString, port);
    QFETCH(bool, ecoute);
    QFETCH(QString, langue);
    QFETCH(int, code);
    QFETCH(QString, issue);
    QFETCH(QByteArray, systeme);
    QFETCH(QByteArray, priorite);
    QFETCH(QString, message);
    JournalSystemeEssai journalSysteme(ecoute);
    if (!journalSysteme.refus().isEmpty())
        QSKIP(qPrintable(journalSysteme.refus()));
    JournalEssai journal;
    QVERIFY(QDir().mkpath(QFileInfo(CheminReglages()).path()));
    const auto effacer = qScopeGuard([] { QFile::remove(CheminReglages()); });
    QVERIFY(reglages.isEmpty() || ecrireFichier(CheminReglages(), reglages));
    PseudoTerminal pty;
    QVERIFY(port != QLatin1String("plein") || pty.remplir() > 0);
    const QString nom = port == QLatin1String("absent")
                            ? QStringLiteral("/dev/tarvik-absent-pour-essai")
                            : pty.chemin();
    const Sortie s = envoyerSur(m_fichier, port == QLatin1String("reglages") ? QString() : nom,
                                langue, port == QLatin1String("plein"));
    QVERIFY2(s.code == code, s.erreurs.constData());
    if (AnalyserReglages(reglages).echec) // said, with what it means for the entries
        QVERIFY2(s.erreurs.contains("journal du système"), s.erreurs.constData());
    const QList<EnregistrementEnvoi> lus = journal.lus();
    QCOMPARE(lus.size(), 1);
    QCOMPARE(NomIssue(lus[0].issue), issue);

    const QList<ChampsEntree> entrees = journalSysteme.entrees();
    QCOMPARE(entrees.size(), systeme.isEmpty() ? 0 : 1);
    if (systeme.isEmpty())
        return;
    const ChampsEntree &entree = entrees[0];
    const EnregistrementEnvoi &envoi = lus[0];
    QCOMPARE(entree.value("SYSLOG_IDENTIFIER"), QByteArray("tarvik-envoyer"));
    QCOMPARE(entree.value("TARVIK_OUTCOME"), systeme);
    QCOMPARE(entree.value("PRIORITY"), priorite);
    QVERIFY2(QString::fromUtf8(entree.value("MESSAGE"))
                 .startsWith(message.replace(QStringLiteral("%1"), nom)),
             entree.value("MESSAGE").constData());
    QVERIFY(!entree.value("MESSAGE").contains('\n'));
    QCOMPARE(QString::fromUtf8(entree.value("TARVIK_PORT")), envoi.portChoisi);
    QCOMPARE(QString::fromUtf8(entree.value("TARVIK_DEVICE")), envoi.peripherique);
    QCOMPARE(QString::fromUtf8(entree.value("TARVIK_SOURCE")), m_fichier);
    QCOMPARE(QString::fromUtf8(entree.value("TARVIK_LINES")), envoi.lignes.join(u'\n'));
    QCOMPARE(QString::fromUtf8(entree.value("TARVIK_REASON")).replace(u'\n', u' '), envoi.raison);
}

QTEST_GUILESS_MAIN(TestEnvoyeur)
#include "tst_envoyeur.moc"
