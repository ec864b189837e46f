// The journal in a folder of the test's own, for as long as it lives.
#pragma once

#include "octets_essai.h"
#include "run/journal.h"

#include <QTemporaryDir>

using namespace tarvik::run;

class JournalEssai {
public:
    // In a folder made from `modele` (QTemporaryDir's), the system's
    // temporary folder's by default.
    explicit JournalEssai(const QString &modele = {})
        : m_dossier(modele.isEmpty() ? QTemporaryDir() : QTemporaryDir(modele))
    {
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_dossier.path()));
    }
    ~JournalEssai() { qputenv("XDG_STATE_HOME", m_avant); }
    QString fichier() const { return CheminJournal(); }
    QList<EnregistrementEnvoi> lus() const { return AnalyserJournal(lireFichier(fichier())); }
    // How each record ended, in order.
    QList<IssueEnvoi> issues() const
    {
        QList<IssueEnvoi> issues;
        for (const EnregistrementEnvoi &envoi : lus())
            issues << envoi.issue;
        return issues;
    }
    // A file of the test's own, beside the journal.
    QString chemin(const QString &nom) const { return m_dossier.filePath(nom); }

private:
    QByteArray m_avant = qgetenv("XDG_STATE_HOME");
    QTemporaryDir m_dossier;
};
