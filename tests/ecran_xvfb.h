// An X screen of the test's own for the programs it starts and xdotool:
// Xvfb at 1024×768 on the first free display number from `premier`, ended
// with the test.
#pragma once

#include <QFileInfo>
#include <QProcess>
#include <QTest>

class EcranXvfb {
public:
    ~EcranXvfb()
    {
        m_xvfb.terminate();
        m_xvfb.waitForFinished(3000);
    }

    // ":N" once the screen takes clients, empty when none would start.
    QString demarrer(int premier)
    {
        for (int n = premier; n < premier + 30 && m_ecran.isEmpty(); ++n) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            m_xvfb.start(QStringLiteral("Xvfb"),
                         {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"),
                          QStringLiteral("0"), QStringLiteral("1024x768x24"),
                          QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (!m_xvfb.waitForStarted())
                return {};
            if (QTest::qWaitFor(
                    [&] {
                        return QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
                               m_xvfb.state() != QProcess::Running;
                    },
                    30000) &&
                m_xvfb.state() == QProcess::Running)
                m_ecran = QStringLiteral(":%1").arg(n);
        }
        return m_ecran;
    }

private:
    QProcess m_xvfb;
    QString m_ecran;
};
