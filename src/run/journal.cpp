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

QString CheminJournal()
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
    case IssueEnvoi::Rebranche:
        return QStringLiteral("rebranché");
    case IssueEnvoi::Interrompue:
        break;
    }
    return QStringLiteral("interrompue");
}

IssueEnvoi IssueDe(const std::optional<EchecLien> &echec)
{
    if (!echec)
        return IssueEnvoi::Envoyee;
    switch (echec->genre) {
    case EchecLien::Genre::EcritureEchouee:
    case EchecLien::Genre::PortDebranche:
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

EnregistrementEnvoi EnregistrementDe(const ResultatEnvoi &resultat, const QDateTime &debut,
                                     const QString &programme, const QString &source)
{
    return {debut,
            programme,
            source,
            resultat.port.echec ? QStringLiteral("inconnu") : resultat.port.peripherique,
            resultat.peripherique,
            IssueDe(resultat.echec),
            resultat.echec ? resultat.echec->message : NoteOctetsJetes(resultat.octetsJetes),
            resultat.lignes};
}

std::optional<Echec> EcrireJournal(const EnregistrementEnvoi &envoi)
{
    return AjouterEnregistrement(CheminJournal(), FormerEnregistrement(envoi), TailleMaxJournal);
}
