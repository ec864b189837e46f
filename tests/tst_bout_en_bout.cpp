// The built program as a person uses it: a pseudo-terminal bound over the
// device of port 1 in a private mount namespace, the panel started under
// Xvfb, TEST pressed from the keyboard, the bytes read back.
#include "pseudo_terminal.h"
#include "serial/serial_link.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {

QString xdotool(const QStringList &arguments, int delaiMs = 10000)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    if (!p.waitForFinished(delaiMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// A free X display number, and Xvfb serving it.
bool demarrerXvfb(QProcess &xvfb, QString &ecran)
{
    for (int n = 90; n < 120; ++n) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        ecran = QStringLiteral(":%1").arg(n);
        xvfb.start(QStringLiteral("Xvfb"), {ecran, QStringLiteral("-screen"), QStringLiteral("0"),
                                            QStringLiteral("1024x768x24"),
                                            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!xvfb.waitForStarted())
            return false;
        for (int essai = 0; essai < 100; ++essai) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
                return true;
            if (xvfb.waitForFinished(50))
                break; // that display was taken after all
        }
    }
    return false;
}

} // namespace

class TestBoutEnBout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void toucheTest();
};

void TestBoutEnBout::toucheTest()
{
    for (const char *outil : {"Xvfb", "xdotool"})
        if (QStandardPaths::findExecutable(QLatin1String(outil)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 n'est pas installé").arg(QLatin1String(outil))));

    // The device port 1 maps to on this host; never written to: the
    // pseudo-terminal covers it, in this process's own mount namespace.
    const QString port1 = QFileInfo(PeripheriquePort(1)).canonicalFilePath();
    if (port1.isEmpty())
        QSKIP(qPrintable(PeripheriquePort(1) + QStringLiteral(" n'existe pas sur cet hôte")));
    if (::unshare(CLONE_NEWNS) != 0)
        QSKIP(qPrintable(QStringLiteral("espace de montage privé impossible (%1) : il faut être "
                                        "root")
                             .arg(QString::fromLocal8Bit(strerror(errno)))));
    QVERIFY(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0);

    PseudoTerminal pty;
    QVERIFY(pty.valide());
    QVERIFY2(::mount(QFile::encodeName(pty.chemin()).constData(),
                     QFile::encodeName(port1).constData(), nullptr, MS_BIND, nullptr) == 0,
             strerror(errno));
    struct stat vu {
    }, attendu{};
    QVERIFY(::stat(QFile::encodeName(port1).constData(), &vu) == 0);
    QVERIFY(::stat(QFile::encodeName(pty.chemin()).constData(), &attendu) == 0);
    QVERIFY2(vu.st_rdev == attendu.st_rdev, "le pseudo-terminal ne couvre pas le port 1");

    QProcess xvfb;
    QString ecran;
    QVERIFY2(demarrerXvfb(xvfb, ecran), "Xvfb ne démarre pas");
    qputenv("DISPLAY", ecran.toLocal8Bit());

    QProcess panneau;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("DISPLAY"), ecran);
    panneau.setProcessEnvironment(env);
    panneau.start(QStringLiteral(TARVIK_BINAIRE), {});
    QVERIFY(panneau.waitForStarted());

    const QString fenetre = xdotool({QStringLiteral("search"), QStringLiteral("--sync"),
                                     QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                     QStringLiteral("^Form1$")})
                                .section(u'\n', 0, 0);
    QVERIFY2(!fenetre.isEmpty(), "la fenêtre Form1 n'apparaît pas");
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), fenetre});

    // The focus starts in Text1(1): 21 tabs reach TEST, space presses it.
    QStringList touches{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("30")};
    for (int k = 0; k < 21; ++k)
        touches << QStringLiteral("Tab");
    touches << QStringLiteral("space");
    xdotool(touches);

    QByteArray attendus;
    for (char lettre = 'A'; lettre <= 'G'; ++lettre)
        attendus += lettre + QByteArray("+00000:002\n");
    QByteArray recu;
    for (int essai = 0; essai < 50 && recu.size() < attendus.size(); ++essai)
        recu += pty.lire(attendus.size() - recu.size());
    QCOMPARE(recu, attendus);
    QCOMPARE(panneau.state(), QProcess::Running); // still up for the next click

    panneau.terminate();
    panneau.waitForFinished(3000);
    xvfb.terminate();
    xvfb.waitForFinished(3000);
}

QTEST_GUILESS_MAIN(TestBoutEnBout)
#include "tst_bout_en_bout.moc"
