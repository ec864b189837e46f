#include "run/journal.h"

#include "system/ajout.h"
#include "system/noms.h"

#include <QRandomGenerator>
#include <QStringDecoder>

#include <atomic>
#include <cstdlib>

namespace tarvik::run {

namespace {

// What starts the field of a run's id; no line sent starts so.
const QString PrefixeExecution = QStringLiteral("id=");

std::atomic<bool> journalSysteme{false};

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

// A new outcome must be named here: one left out of a switch stops the build.
#pragma GCC diagnostic push
#pragma GCC diagnostic error "-Wswitch"

// The outcome as the system's journal names it, and the entry's priority.
struct IssueSysteme {
    const char *mot;
    char priorite;
};
IssueSysteme issueSysteme(IssueEnvoi issue)
{
    switch (issue) {
    case IssueEnvoi::Envoyee:
        return {"sent", '6'};
    case IssueEnvoi::PortRefuse:
    case IssueEnvoi::HorsLimites:
        return {"refused", '4'};
    case IssueEnvoi::Echec:
        return {"failed", '3'};
    case IssueEnvoi::Interrompue:
        return {"interrupted", '4'};
    case IssueEnvoi::Rebranche: // the board may have restarted
        return {"replugged", '4'};
    case IssueEnvoi::Arretee:
        return {"stopped", '4'};
    }
    return {"unknown", '4'}; // not an outcome: a value the enum does not have
}

#pragma GCC diagnostic pop

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
    return echec ? IssueDe(echec->genre) : IssueEnvoi::Envoyee;
}

IssueEnvoi IssueDe(EchecLien::Genre genre)
{
    switch (genre) {
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
                             champ(envoi.executable),
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

EnregistrementEnvoi EnregistrementDe(const ResultatEnvoi &resultat, const QString &raison,
                                     const QDateTime &debut, const QString &executable,
                                     const QString &source)
{
    return {debut,
            executable,
            source,
            resultat.port.echec ? QStringLiteral("inconnu") : resultat.port.peripherique,
            resultat.peripherique,
            IssueDe(resultat.echec ? std::optional(resultat.echec->lien) : std::nullopt),
            raison,
            resultat.lignes,
            {}};
}

QList<EnregistrementEnvoi> AnalyserJournal(const QByteArray &octets)
{
    QList<EnregistrementEnvoi> enregistrements;
    qsizetype debut = 0;
    for (qsizetype saut; (saut = octets.indexOf('\n', debut)) >= 0; debut = saut + 1)
        if (auto enregistrement = analyserLigne(QByteArrayView(octets).sliced(debut, saut - debut)))
            enregistrements << std::move(*enregistrement);
    return enregistrements;
}

QList<ChampJournal> EntreeJournalSysteme(const EnregistrementEnvoi &envoi, const QString &message)
{
    const IssueSysteme issue = issueSysteme(envoi.issue);
    QList<ChampJournal> champs{{"MESSAGE", message.toUtf8()},
                               {"PRIORITY", QByteArray(1, issue.priorite)},
                               {"SYSLOG_IDENTIFIER", envoi.executable.toUtf8()},
                               {"TARVIK_OUTCOME", issue.mot},
                               {"TARVIK_PORT", NomLisible(envoi.portChoisi).toUtf8()}};
    const std::pair<const char *, QString> autres[] = {
        {"TARVIK_DEVICE", NomLisible(envoi.peripherique)},
        {"TARVIK_SOURCE", NomLisible(envoi.source)},
        {"TARVIK_RUN", envoi.execution},
        {"TARVIK_LINES", envoi.lignes.join(u'\n')},
        {"TARVIK_REASON", envoi.raison}};
    for (const auto &[nom, valeur] : autres)
        if (!valeur.isEmpty())
            champs.append({nom, valeur.toUtf8()});
    return champs;
}

void ActiverJournalSysteme(bool actif)
{
    journalSysteme = actif;
}

std::optional<EchecAjout> EcrireJournal(const EnregistrementEnvoi &envoi, const QString &message)
{
    auto echec =
        AjouterEnregistrement(CheminJournal(), FormerEnregistrement(envoi), TailleMaxJournal);
    // A copy for the machine's log, once the file has the record: dropped
    // rather than waited for, and never said to have failed.
    if (journalSysteme)
        EnvoyerAuJournalSysteme(EntreeJournalSysteme(envoi, message));
    return echec;
}

} // namespace tarvik::run
