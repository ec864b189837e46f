// A serial bridge as an operator sets one up: socat joins two
// pseudo-terminals reached by links, the panel's end and the board's end.
// socat keeps the panel's end open for as long as it runs, as every bridge
// does: a mark a program leaves on it stays.
#pragma once

#include "pseudo_terminal.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>

class PontSocat {
public:
    PontSocat()
    {
        if (!m_dossier.isValid())
            return;
        ::chmod(QFile::encodeName(m_dossier.path()).constData(), 0755); // others reach it
        m_socat.setChildProcessModifier([] { ::setsid(); });            // its signals stay its own
        m_socat.start(
            QStringLiteral("socat"),
            {QStringLiteral("pty,rawer,mode=666,link=") + panneau(),
             QStringLiteral("pty,rawer,link=") + m_dossier.filePath(QStringLiteral("carte"))});
        m_socat.waitForStarted();
        static_cast<void>(QTest::qWaitFor( // its two links, 20 s at most; valide() says
            [this] {
                return m_socat.state() != QProcess::Running ||
                       (QFile::exists(panneau()) &&
                        QFile::exists(m_dossier.filePath(QStringLiteral("carte"))));
            },
            20000));
        m_carte = ::open(QFile::encodeName(m_dossier.filePath(QStringLiteral("carte"))).constData(),
                         O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        m_panneau = ::open(QFile::encodeName(panneau()).constData(),
                           O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    }
    ~PontSocat()
    {
        for (int fd : {m_carte, m_panneau})
            if (fd >= 0)
                ::close(fd);
        signaler(m_socat.processId(), SIGTERM);
        m_socat.waitForFinished(3000);
    }
    PontSocat(const PontSocat &) = delete;
    PontSocat &operator=(const PontSocat &) = delete;

    bool valide() const { return m_carte >= 0 && m_panneau >= 0; }
    // The link the program is given as its port.
    QString panneau() const { return m_dossier.filePath(QStringLiteral("panneau")); }
    // The device behind it.
    QString peripherique() const { return QFileInfo(panneau()).canonicalFilePath(); }

    // Output on the panel's end stops, as a board that holds the line would
    // make it: writes block until it resumes.
    void suspendre() { ::tcflow(m_panneau, TCOOFF); }
    void reprendre() { ::tcflow(m_panneau, TCOON); }
    // What closing and opening the bridge again does to a killed program's
    // exclusive mode.
    void effacerExclusivite() { ::ioctl(m_panneau, TIOCNXCL); }
    bool exclusif() const
    {
        int exclusif = 0;
        return ::ioctl(m_panneau, TIOCGEXCL, &exclusif) == 0 && exclusif;
    }

    // What the board received: `attendus` bytes (or what came within 20 s:
    // a loaded machine may take its time), and whatever follows within 100 ms.
    QByteArray lire(qsizetype attendus = 0)
    {
        QByteArray recu;
        QElapsedTimer chrono;
        chrono.start();
        for (;;) {
            pollfd p{m_carte, POLLIN, 0};
            char tampon[1024];
            ssize_t n = 0;
            if (::poll(&p, 1, recu.size() < attendus ? 50 : 100) > 0 &&
                (n = ::read(m_carte, tampon, sizeof tampon)) > 0) {
                recu.append(tampon, n);
                continue;
            }
            if (recu.size() >= attendus || chrono.elapsed() > 20000)
                return recu;
        }
    }

private:
    QTemporaryDir m_dossier;
    QProcess m_socat;
    int m_carte = -1, m_panneau = -1;
};
