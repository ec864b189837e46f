// The built program as a person uses it: a pseudo-terminal bound over the
// device of port 1 in a private mount namespace, the panel started under
// Xvfb, TEST pressed from the keyboard, the bytes read back. Also what a
// person may do to it: kill it in the middle of a run, or start it twice.
#include "ecran_xvfb.h"
#include "pseudo_terminal.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <memory>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {

QString xdotool(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    if (!p.waitForFinished(30000)) { // a loaded machine may take its time to show a window
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

QByteArray sequenceAttendue(const QByteArray &pas1 = "00000")
{
    QByteArray octets;
    for (char lettre = 'A'; lettre <= 'G'; ++lettre)
        octets += lettre + QByteArray("+") + (lettre == 'A' ? pas1 : "00000") + ":002\n";
    return octets;
}

// One running panel and its window.
class Panneau {
public:
    explicit Panneau(const QString &ecran, const QStringList &arguments = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("DISPLAY"), ecran);
        m_processus.setProcessEnvironment(env);
        m_processus.start(QStringLiteral(TARVIK_BINAIRE), arguments);
        if (m_processus.waitForStarted())
            m_fenetre = xdotool({QStringLiteral("search"), QStringLiteral("--all"),
                                 QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--pid"), QString::number(pid()),
                                 QStringLiteral("--name"), QStringLiteral("^Form1$")})
                            .section(u'\n', 0, 0);
    }
    // Ended as an operator would end it, so that a run still going releases
    // its lock and leaves no fragment for the next row; killed only if that
    // fails.
    ~Panneau()
    {
        if (m_processus.state() != QProcess::NotRunning && arreter(SIGTERM) == -2) {
            m_processus.kill();
            m_processus.waitForFinished(3000);
        }
    }
    bool pret() const { return !m_fenetre.isEmpty(); }
    qint64 pid() const { return m_processus.processId(); }
    bool enMarche() const { return m_processus.state() == QProcess::Running; }

    // Keys typed into the window, which gets the keyboard first.
    void touches(const QStringList &noms)
    {
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), m_fenetre});
        xdotool(
            QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("20")} +
            noms);
    }
    // From the focus the window opens with (Text1(1)): 21 tabs reach TEST.
    void presserTest()
    {
        QStringList noms;
        for (int k = 0; k < 21; ++k)
            noms << QStringLiteral("Tab");
        touches(noms << QStringLiteral("space"));
    }
    // The window of the error message, if one is shown.
    QString fenetreErreur()
    {
        return xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--pid"),
                        QString::number(pid()), QStringLiteral("--name"),
                        QStringLiteral("Séquence non envoyée")})
            .section(u'\n', 0, 0);
    }
    bool afficheErreur() { return !fenetreErreur().isEmpty(); }
    // Entrée on the error message: its first button.
    void fermerErreur()
    {
        const QString dialogue = fenetreErreur();
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), dialogue});
        xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    }
    // Sends `signal`; the exit code once it has ended (-1: killed outright,
    // -2: still running after 20 s, or never started).
    int arreter(int signal)
    {
        if (!signaler(pid(), signal) || !m_processus.waitForFinished(20000))
            return -2;
        return m_processus.exitStatus() == QProcess::NormalExit ? m_processus.exitCode() : -1;
    }

private:
    QProcess m_processus;
    QString m_fenetre;
};

// Waits for a state a panel must reach, 30 s at most: a panel started on a
// loaded machine, or under the sanitizers, may take its time.
bool attendre(const std::function<bool()> &condition)
{
    return QTest::qWaitFor(condition, 30000);
}

// The lock folders of this mount namespace, of its own: another run of
// these tests on the machine, with a port 1 of its own, takes its own
// LCK..ttyS0. Only once every mount here is private.
bool verrousAnous()
{
    for (const char *dossier : {"/run/lock", "/var/lock"})
        if (QFileInfo(QLatin1String(dossier)).isDir() &&
            !QFileInfo(QLatin1String(dossier)).isSymLink() &&
            ::mount("tarvik-verrous", dossier, "tmpfs", 0, "mode=1777") != 0)
            return false;
    return true;
}

// Everything the board receives until `fini` holds, and what was still on
// the line then; 30 s at most.
QByteArray lireJusqua(PseudoTerminal &pty, const std::function<bool()> &fini)
{
    QByteArray recu;
    attendre([&] {
        recu += pty.lire();
        return fini();
    });
    return recu + pty.lire();
}

} // namespace

class TestBoutEnBout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void toucheTest();
    void arreteEnPleineSequence_data();
    void arreteEnPleineSequence();
    void deuxInstances();
    void optionPort();

private:
    std::unique_ptr<PseudoTerminal> m_pty;
    EcranXvfb m_xvfb;
    QString m_ecran;
    QString m_verrouQt; // the lock file Qt takes for the device
};

void TestBoutEnBout::initTestCase()
{
    for (const char *outil : {"Xvfb", "xdotool"})
        if (QStandardPaths::findExecutable(QLatin1String(outil)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 n'est pas installé").arg(QLatin1String(outil))));

    // The device port 1 maps to on this host, by the rule the panel is meant
    // to follow: the udev link where there is one, ttyS0 otherwise. Never
    // written to: the pseudo-terminal covers it, in this process's own mount
    // namespace.
    const QString lien = QStringLiteral("/dev/tarvik-port1");
    const QString port1 =
        QFileInfo(QFileInfo(lien).isSymLink() ? lien : QStringLiteral("/dev/ttyS0"))
            .canonicalFilePath();
    if (port1.isEmpty())
        QSKIP("ni /dev/tarvik-port1 ni /dev/ttyS0 n'existent sur cet hôte : rien à couvrir");
    if (::unshare(CLONE_NEWNS) != 0)
        QSKIP(qPrintable(QStringLiteral("espace de montage privé impossible (%1) : il faut être "
                                        "root")
                             .arg(QString::fromLocal8Bit(strerror(errno)))));
    // Nothing mounted here may reach the host: every mount below "/" is made
    // private, or at least those below the device's folder (a chroot has no
    // mount at "/").
    const QByteArray dossier = QFile::encodeName(QFileInfo(port1).path());
    const bool toutPrive = ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    if (!toutPrive &&
        ::mount(nullptr, dossier.constData(), nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        QSKIP(qPrintable(QStringLiteral("montages privés impossibles ici (%1)")
                             .arg(QString::fromLocal8Bit(strerror(errno)))));
    QVERIFY2(!toutPrive || verrousAnous(), strerror(errno));

    m_pty = std::make_unique<PseudoTerminal>();
    QVERIFY(m_pty->valide());
    QVERIFY2(::mount(QFile::encodeName(m_pty->chemin()).constData(),
                     QFile::encodeName(port1).constData(), nullptr, MS_BIND, nullptr) == 0,
             strerror(errno));
    struct stat vu {
    }, attendu{};
    QVERIFY(::stat(QFile::encodeName(port1).constData(), &vu) == 0);
    QVERIFY(::stat(QFile::encodeName(m_pty->chemin()).constData(), &attendu) == 0);
    QVERIFY2(vu.st_rdev == attendu.st_rdev, "le pseudo-terminal ne couvre pas le port 1");
    m_verrouQt = QStringLiteral("/run/lock/LCK..") + port1.mid(5).replace(u'/', u'_');

    m_ecran = m_xvfb.demarrer(90);
    QVERIFY2(!m_ecran.isEmpty(), "Xvfb ne démarre pas");
    qputenv("DISPLAY", m_ecran.toLocal8Bit()); // for xdotool
}

// Each test finds the line read and free: a row that failed midway may
// have left a killed panel's exclusive mode on it.
void TestBoutEnBout::init()
{
    m_pty->lire();
    m_pty->effacerExclusivite();
}

void TestBoutEnBout::toucheTest()
{
    Panneau panneau(m_ecran);
    QVERIFY2(panneau.pret(), "la fenêtre Form1 n'apparaît pas");
    panneau.presserTest();
    QCOMPARE(m_pty->lire(84), sequenceAttendue());
    QVERIFY(panneau.enMarche()); // still up for the next click
}

void TestBoutEnBout::arreteEnPleineSequence_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGKILL") << int(SIGKILL);
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

// Ended while it waits on a line nobody reads. A signal it can catch ends
// the run and releases the port, its lock file and its exclusive mode at
// once; after SIGKILL, its stale lock file does not keep the next start
// from sending, and the next run arrives whole.
void TestBoutEnBout::arreteEnPleineSequence()
{
    QFETCH(int, signal);
    QVERIFY(m_pty->remplir() > 0);
    {
        Panneau premier(m_ecran);
        QVERIFY(premier.pret());
        premier.presserTest();
        // The signal lands once the port is held whole: its lock file, then its exclusive mode.
        QVERIFY2(attendre([&] { return QFileInfo::exists(m_verrouQt) && m_pty->exclusif(); }),
                 "la séquence ne démarre pas");
        const int code = premier.arreter(signal);
        if (signal != SIGKILL) {
            QCOMPARE(code, 128 + signal);
            QVERIFY(!QFileInfo::exists(m_verrouQt));
            QVERIFY(!m_pty->exclusif());
        } else {
            QVERIFY(m_pty->exclusif()); // no other process may take it for a leftover
            m_pty->effacerExclusivite();
        }
    }
    m_pty->lire(); // the board reads again: filler and whatever was queued

    Panneau second(m_ecran);
    QVERIFY(second.pret());
    second.presserTest();
    // After SIGKILL its stale lock says a line may have been cut: a lone
    // line feed goes first, so that the board drops the fragment.
    QCOMPARE(m_pty->lire(signal == SIGKILL ? 85 : 84),
             (signal == SIGKILL ? "\n" : "") + sequenceAttendue());
    // Its lock goes as the run ends, a moment after its last byte.
    QVERIFY(attendre([&] { return !QFileInfo::exists(m_verrouQt); }));
    QVERIFY(!second.afficheErreur());
}

// Two panels on one port: while one sends, the other is refused; nothing
// of the two ever mixes on the line.
void TestBoutEnBout::deuxInstances()
{
    Panneau premier(m_ecran), second(m_ecran);
    QVERIFY(premier.pret() && second.pret());
    second.touches({QStringLiteral("ctrl+a"), QStringLiteral("2"), QStringLiteral("2"),
                    QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("2")});

    QVERIFY(m_pty->remplir() > 0); // the first run waits on the line
    premier.presserTest();
    QVERIFY2(attendre([&] { return QFileInfo::exists(m_verrouQt) && m_pty->exclusif(); }),
             "la première séquence ne démarre pas");
    // Held in its send for as long as the second one tries, whatever the
    // machine's load: suspended, as a stalled process would be.
    QVERIFY(signaler(premier.pid(), SIGSTOP));
    second.presserTest(); // 22222 is in its Text1(1): Tab then goes on from there
    const bool refuse = attendre([&] { return second.afficheErreur(); });
    QVERIFY(signaler(premier.pid(), SIGCONT));
    QVERIFY2(refuse, "le second panneau n'a pas été refusé");

    // Past its deadline, the first run gives up as the board reads again:
    // whole lines at most, then its lock goes.
    QByteArray recu = lireJusqua(*m_pty, [&] { return !QFileInfo::exists(m_verrouQt); });
    while (recu.startsWith('x'))
        recu.remove(0, 1);
    QVERIFY2(!recu.contains("22222"), recu.constData());
    QVERIFY2(recu.size() % 12 == 0 && sequenceAttendue().startsWith(recu), recu.constData());
    qInfo("premier panneau : %lld octets arrivés après le déblocage", qint64(recu.size()));

    // Once the port is free, Entrée on « Réessayer » sends the second
    // panel's own lines, once.
    second.fermerErreur();
    QVERIFY(attendre([&] { return !second.afficheErreur(); }));
    QCOMPARE(m_pty->lire(84), sequenceAttendue("22222"));
    QCOMPARE(m_pty->lire(), QByteArray());
    QVERIFY(premier.enMarche() && second.enMarche());
}

// Started with --port, the panel sends there, and nothing to port 1.
void TestBoutEnBout::optionPort()
{
    PseudoTerminal autre;
    Panneau panneau(m_ecran, {QStringLiteral("--port"), autre.chemin()});
    QVERIFY(panneau.pret());
    panneau.presserTest();
    QCOMPARE(autre.lire(84), sequenceAttendue());
    QCOMPARE(m_pty->lire(), QByteArray());
}

QTEST_GUILESS_MAIN(TestBoutEnBout)
#include "tst_bout_en_bout.moc"
