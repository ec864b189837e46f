#include "run/journal.h"

#include "system/ajout.h"
#include "system/noms.h"

#include <cstdlib>

namespace {

// A field of a record: no tab, no line feed, whatever the text held.
QByteArray champ(const QString &texte)
{
    QString propre = texte;
    propre.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
    return propre.toUtf8();
}

// ISO 8601, local time, with milliseconds and the offset from UTC:
// 2026-12-07T21:15:03.123+01:00.
QString horodatage(const QDateTime &moment)
{
    const int ecart = moment.offsetFromUtc();
    return moment.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")) +
           QStringLiteral("%1%2:%3")
               .arg(QChar(ecart < 0 ? u'-' : u'+'))
               .arg(std::abs(ecart) / 3600, 2, 10, QChar(u'0'))
               .arg(std::abs(ecart) % 3600 / 60, 2, 10, QChar(u'0'));
}

} // namespace

QString FichierJournal()
{
    return DossierXdg("XDG_STATE_HOME", QStringLiteral(".local/state")) +
           QStringLiteral("/tarvik/journal.log");
}

QString NomIssue(IssueEnvoi issue)
{
    switch (issue) {
    case IssueEnvoi::Envoyee:
        return QStringLiteral("envoyée");
    case IssueEnvoi::PortRefuse:
        return QStringLiteral("port refusé");
    case IssueEnvoi::Echec:
        return QStringLiteral("échec");
    case IssueEnvoi::Interrompue:
        break;
    }
    return QStringLiteral("interrompue");
}

IssueEnvoi IssueDe(const std::optional<EchecSequence> &echec)
{
    if (!echec || !echec->lien)
        return IssueEnvoi::Envoyee;
    switch (*echec->lien) {
    case EchecLien::Genre::EcritureEchouee:
    case EchecLien::Genre::DelaiDepasse:
        return IssueEnvoi::Echec;
    case EchecLien::Genre::Interrompu:
        return IssueEnvoi::Interrompue;
    default:
        return IssueEnvoi::PortRefuse;
    }
}

QByteArray FormerEnregistrement(const EnregistrementEnvoi &envoi)
{
    QList<QByteArray> champs{champ(horodatage(envoi.debut)),
                             champ(envoi.programme),
                             champ(NomLisible(envoi.source)),
                             champ(NomLisible(envoi.portChoisi)),
                             champ(NomLisible(envoi.peripherique)),
                             champ(NomIssue(envoi.issue)),
                             champ(envoi.raison)};
    for (const QString &ligne : envoi.lignes)
        champs << champ(ligne);
    return champs.join('\t') + '\n';
}

JournalEnvoi::JournalEnvoi(const QString &programme, const QString &source)
    : m_debut(QDateTime::currentDateTime())
    , m_programme(programme)
    , m_source(source)
{
}

ObservateurEnvoi JournalEnvoi::observateur(const ObservateurEnvoi &suite)
{
    return {suite.commence, [this, suite](const QString &ligne) {
                m_lignes << ligne;
                if (suite.ligneRemise)
                    suite.ligneRemise(ligne);
            }};
}

std::optional<Echec> JournalEnvoi::consigner(const std::optional<EchecSequence> &echec,
                                             const LienSerie &lien)
{
    if (echec && echec->valeur)
        return std::nullopt; // the grid never reached the port
    const PortChoisi &port = lien.port();
    EnregistrementEnvoi envoi{m_debut,
                              m_programme,
                              m_source,
                              port.echec ? QStringLiteral("inconnu") : port.peripherique,
                              lien.peripherique(),
                              IssueDe(echec),
                              echec ? echec->message : NoteOctetsJetes(lien),
                              m_lignes};
    return AjouterEnregistrement(FichierJournal(), FormerEnregistrement(envoi), TailleMaxJournal);
}
