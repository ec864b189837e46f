#include "run/journal.h"

#include "system/ajout.h"
#include "system/noms.h"

#include <QRandomGenerator>
#include <QStringDecoder>

#include <cstdlib>

namespace {

// What starts the field of a run's id; no line sent starts so.
const QString PrefixeExecution = QStringLiteral("id=");

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

// One line of the journal, without its line feed; nothing when it is not a
// record.
std::optional<EnregistrementEnvoi> analyserLigne(QByteArrayView ligne)
{
    enum { Heure, Programme, Source, Port, Peripherique, Issue, Raison, Lignes };
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QStringList champs = QString(utf8.decode(ligne)).split(u'\t');
    QString execution;
    if (champs.size() > Lignes && champs.last().startsWith(PrefixeExecution))
        execution = champs.takeLast().mid(PrefixeExecution.size());
    if (utf8.hasError() || champs.size() < Lignes || champs.size() > Lignes + NombreAxes)
        return std::nullopt;
    // The time as the journal writes it, and nothing looser.
    const QDateTime debut = QDateTime::fromString(champs[Heure], Qt::ISODateWithMs);
    const std::optional<IssueEnvoi> issue = AnalyserIssue(champs[Issue]);
    if (!debut.isValid() || horodatage(debut) != champs[Heure] || !issue)
        return std::nullopt;
    return EnregistrementEnvoi{debut,          champs[Programme],    champs[Source],
                               champs[Port],   champs[Peripherique], *issue,
                               champs[Raison], champs.mid(Lignes),   execution};
}

} // namespace

QString NouvelleExecution()
{
    return QStringLiteral("%1").arg(QRandomGenerator::system()->generate64(), 16, 16, QChar(u'0'));
}

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
    case IssueEnvoi::HorsLimites:
        return QStringLiteral("hors limites");
    case IssueEnvoi::Arretee:
        return QStringLiteral("arrêtée");
    case IssueEnvoi::Interrompue:
        break;
    }
    return QStringLiteral("interrompue");
}

std::optional<IssueEnvoi> AnalyserIssue(QStringView nom)
{
    for (IssueEnvoi issue :
         {IssueEnvoi::Envoyee, IssueEnvoi::PortRefuse, IssueEnvoi::Echec, IssueEnvoi::Interrompue,
          IssueEnvoi::Rebranche, IssueEnvoi::HorsLimites, IssueEnvoi::Arretee})
        if (nom == NomIssue(issue))
            return issue;
    return std::nullopt;
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
    if (!envoi.execution.isEmpty())
        champs << champ(PrefixeExecution + envoi.execution);
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
            resultat.lignes,
            {}};
}

QList<EnregistrementEnvoi> AnalyserJournal(const QByteArray &octets)
{
    QList<EnregistrementEnvoi> enregistrements;
    qsizetype debut = 0;
    for (qsizetype fin; (fin = octets.indexOf('\n', debut)) >= 0; debut = fin + 1)
        if (auto enregistrement = analyserLigne(QByteArrayView(octets).sliced(debut, fin - debut)))
            enregistrements << std::move(*enregistrement);
    return enregistrements;
}

std::optional<Echec> EcrireJournal(const EnregistrementEnvoi &envoi)
{
    return AjouterEnregistrement(CheminJournal(), FormerEnregistrement(envoi), TailleMaxJournal);
}
