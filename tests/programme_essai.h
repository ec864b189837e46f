// Runs a built program as a script on a machine without a screen would.
#pragma once

#include <QProcess>
#include <functional>

struct Sortie {
    int code = -1; // -1: it did not end normally
    QByteArray sortie, erreurs;
};

// Starts `programme` with no display, gives it `entree` on stdin; `pendant`
// runs while it is running, and may write more before stdin is closed;
// `dansLeFils` runs in the new process, just before the program starts.
inline Sortie lancer(const QString &programme, const QStringList &arguments,
                     const QByteArray &entree = {},
                     const std::function<void(QProcess &)> &pendant = {},
                     const std::function<void()> &dansLeFils = {})
{
    QProcess processus;
    if (dansLeFils)
        processus.setChildProcessModifier(dansLeFils);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *nom : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(nom));
    processus.setProcessEnvironment(env);
    processus.start(programme, arguments);
    if (!processus.waitForStarted())
        return {};
    processus.write(entree);
    if (pendant) // it may give more input; its end comes after it
        pendant(processus);
    processus.closeWriteChannel();
    if (!processus.waitForFinished(10000))
        processus.kill();
    processus.waitForFinished();
    return {processus.exitStatus() == QProcess::NormalExit ? processus.exitCode() : -1,
            processus.readAllStandardOutput(), processus.readAllStandardError()};
}
