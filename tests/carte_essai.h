// tarvik-carte as a test's far end: started headless on a link of the
// test's own, its JSON lines gathered as they come, ended by SIGTERM.
#pragma once

#include "pseudo_terminal.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class CarteLancee {
public:
    explicit CarteLancee(const QStringList &options = {})
        : m_lien(m_dossier.filePath(QStringLiteral("carte")))
    {
        QObject::connect(&m_processus, &QProcess::readyReadStandardOutput,
                         [this] { lireSortie(); });
        QObject::connect(&m_processus, &QProcess::readyReadStandardError,
                         [this] { m_erreurs += m_processus.readAllStandardError(); });
        m_processus.start(
            QStringLiteral(TARVIK_CARTE),
            QStringList{QStringLiteral("--sans-fenetre"), QStringLiteral("--lien"), m_lien} +
                options);
    }
    ~CarteLancee() { arreter(); }

    // Waits, 30 s at most, until it says it is ready.
    bool prete()
    {
        return QTest::qWaitFor(
                   [this] {
                       return m_erreurs.contains("Carte prête") ||
                              m_processus.state() == QProcess::NotRunning;
                   },
                   30000) &&
               m_erreurs.contains("Carte prête");
    }
    QString lien() const { return m_lien; }
    QString erreurs() const { return QString::fromUtf8(m_erreurs); }
    const QList<QJsonObject> &lignes() const { return m_lignes; }

    // The bytes of the commands it took, line feeds left out.
    QStringList commandes() const { return selon(u"commande"); }
    // The lines it found wrong, as received.
    QStringList anomalies() const { return selon(u"anomalie"); }
    // Where axis `lettre` is, as its last line left it.
    qint64 position(char lettre) const
    {
        for (auto l = m_lignes.crbegin(); l != m_lignes.crend(); ++l)
            if (l->value(QStringLiteral("axe")).toString() == QLatin1Char(lettre))
                return l->value(QStringLiteral("position")).toInteger();
        return 0;
    }
    // Waits, 30 s at most, until it has taken `n` commands.
    bool attendreCommandes(qsizetype n)
    {
        return QTest::qWaitFor([&] { return commandes().size() >= n; }, 30000);
    }
    // SIGTERM; its exit code (-1: it did not end within 20 s, or was not running).
    int arreter()
    {
        if (m_processus.state() == QProcess::NotRunning)
            return m_processus.exitCode();
        if (!signaler(m_processus.processId(), SIGTERM) || !m_processus.waitForFinished(20000)) {
            m_processus.kill();
            m_processus.waitForFinished(3000);
            return -1;
        }
        lireSortie();
        m_erreurs += m_processus.readAllStandardError();
        return m_processus.exitCode();
    }

private:
    void lireSortie()
    {
        m_sortie += m_processus.readAllStandardOutput();
        for (qsizetype fin; (fin = m_sortie.indexOf('\n')) >= 0;) {
            m_lignes << QJsonDocument::fromJson(m_sortie.left(fin)).object();
            m_sortie.remove(0, fin + 1);
        }
    }
    QStringList selon(QStringView genre) const
    {
        QStringList octets;
        for (const QJsonObject &l : m_lignes)
            if (l.value(QStringLiteral("genre")).toString() == genre)
                octets << l.value(QStringLiteral("octets"))
                              .toString()
                              .chopped(l.value(QStringLiteral("octets")).toString().endsWith(u'\n')
                                           ? 1
                                           : 0);
        return octets;
    }

    QTemporaryDir m_dossier;
    QString m_lien;
    QProcess m_processus;
    QByteArray m_sortie, m_erreurs;
    QList<QJsonObject> m_lignes;
};
