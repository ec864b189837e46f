#include "window/suivi_programme.h"

#include "app/executable.h"
#include "app/formulation.h"
#include "window/dialogues.h"
#include "window/fenetre_programme.h" // its texts are the window's, in its context

#include <QAccessible>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace tarvik::window {

namespace {

// A time left, rounded up: "12 s", "2 min 05 s", "1 h 05 min".
QString texteDuree(qint64 ms)
{
    const qint64 s = (ms + 999) / 1000;
    if (s < 60)
        return FenetreProgramme::tr("%1 s").arg(s);
    if (s < 3600)
        return FenetreProgramme::tr("%1 min %2 s").arg(s / 60).arg(s % 60, 2, 10, QChar(u'0'));
    return FenetreProgramme::tr("%1 h %2 min").arg(s / 3600).arg(s % 3600 / 60, 2, 10, QChar(u'0'));
}

// A total of waits, to the tenth as tarvik-envoyer says it, with its length
// past a minute: "6,5 s", "7200 s (2 h 00 min)".
QString texteTotal(qint64 dixiemes)
{
    const QString exact = TexteAttente(dixiemes);
    return dixiemes < 600 ? exact
                          : FenetreProgramme::tr("%1 (%2)").arg(exact, texteDuree(dixiemes * 100));
}

// Tells a screen reader that `etiquette` says something new.
void annoncer(QLabel *etiquette, QAccessible::Event genre = QAccessible::NameChanged)
{
    etiquette->setAccessibleName(etiquette->text());
    QAccessibleEvent evenement(etiquette, genre);
    QAccessible::updateAccessibility(&evenement);
}

// " · depuis l'étape 2, étape 1 non envoyée" when the run started past the
// first step; empty otherwise.
QString texteDepart(const DeroulementEnvoi &deroulement)
{
    return deroulement.depuis > 0
               ? FenetreProgramme::tr(" · depuis l'étape %1, %2")
                     .arg(QString::number(deroulement.depuis + 1),
                          EtapesSautees(deroulement.depuis, deroulement.programme.repetitions))
               : QString();
}

// An end's message with its second line saying the steps left out.
QString avecDepart(QString texte, const DeroulementEnvoi &deroulement)
{
    if (deroulement.depuis <= 0)
        return texte;
    const qsizetype saut = texte.indexOf(u'\n');
    return texte.insert(
        saut < 0 ? texte.size() : saut,
        u'\n' + FenetreProgramme::tr("Programme parti de l'étape %1 : %2.")
                    .arg(QString::number(deroulement.depuis + 1),
                         EtapesSautees(deroulement.depuis, deroulement.programme.repetitions)));
}

// The bar's text: "0/1 étape envoyée", "2/3 étapes envoyées", the count
// agreeing with the total in both languages.
QString formatBarre(qint64 total, int depuis)
{
    const int n = int(total);
    if (depuis)
        return (n == 1
                    ? FenetreProgramme::tr("%v/%n étape envoyée, depuis l'étape %1", nullptr, n)
                    : FenetreProgramme::tr("%v/%n étapes envoyées, depuis l'étape %1", nullptr, n))
            .arg(depuis + 1);
    return n == 1 ? FenetreProgramme::tr("%v/%n étape envoyée", nullptr, n)
                  : FenetreProgramme::tr("%v/%n étapes envoyées", nullptr, n);
}

} // namespace

SuiviProgramme::SuiviProgramme(PosteEnvoi &poste, QWidget *parent)
    : QWidget(parent)
    , m_poste(poste)
    , m_minuterie(new QTimer(this))
{
    m_progression = new QLabel(this);
    m_progression->setObjectName(QStringLiteral("progression"));
    m_progression->setTextFormat(Qt::PlainText);
    m_progression->setWordWrap(true); // never wider than the window the screen leaves
    m_barre = new QProgressBar(this);
    m_barre->setObjectName(QStringLiteral("barreProgression"));
    m_barre->setAccessibleName(FenetreProgramme::tr("Étapes envoyées"));
    m_barre->setFormat(formatBarre(1, 0));
    m_etat = new QLabel(this);
    m_etat->setObjectName(QStringLiteral("etatProgramme"));
    m_etat->setTextFormat(Qt::PlainText);
    m_etat->setWordWrap(true);
    m_etat->setText(FenetreProgramme::tr("Programme à l'arrêt"));
    m_etat->setAccessibleName(m_etat->text());
    auto *pile = new QVBoxLayout(this);
    pile->setContentsMargins(0, 0, 0, 0);
    pile->addWidget(m_progression);
    pile->addWidget(m_barre);
    pile->addWidget(m_etat);
    m_minuterie->setInterval(1000);
    connect(m_minuterie, &QTimer::timeout, this, &SuiviProgramme::montrerProgression);
    connect(&m_poste, &PosteEnvoi::commence, this, &SuiviProgramme::commence);
    connect(&m_poste, &PosteEnvoi::etapeCommencee, this, &SuiviProgramme::suivreEtape);
    connect(&m_poste, &PosteEnvoi::etapeTerminee, this, &SuiviProgramme::compterEtape);
    connect(&m_poste, &PosteEnvoi::attente, this, &SuiviProgramme::suivreAttente);
    connect(&m_poste, &PosteEnvoi::pause, this, &SuiviProgramme::suivrePause);
    connect(&m_poste, &PosteEnvoi::termine, this, &SuiviProgramme::termine);
}

bool SuiviProgramme::suit(const QString &execution) const
{
    // The station serves TEST too: only a program's run counts.
    return m_poste.programmeEnCours() && m_poste.deroulement().execution == execution;
}

void SuiviProgramme::montrerResume(const Programme &programme, bool barre)
{
    // At rest, what a run would do.
    const qint64 envois = programme.etapes.size() * qint64(programme.repetitions);
    m_progression->setText(
        programme.etapes.isEmpty()
            ? FenetreProgramme::tr(
                  "Aucune étape : ajoutez la grille du panneau, ou ouvrez un programme.")
            : FenetreProgramme::tr("Étapes : %1 · parcours : %2 · attentes en tout : %3")
                  .arg(programme.etapes.size())
                  .arg(programme.repetitions)
                  .arg(texteTotal(AttentesDepuis(programme, 0))));
    m_progression->setAccessibleName(m_progression->text());
    if (!barre)
        return;
    // Nothing to count in an empty program: the bar says so.
    m_barre->setRange(0, int(qMax<qint64>(1, envois)));
    m_barre->setValue(0);
    m_barre->setFormat(envois ? formatBarre(envois, 0)
                              : FenetreProgramme::tr("Aucune étape à envoyer"));
}

void SuiviProgramme::commence(const DeroulementEnvoi &deroulement)
{
    if (deroulement.grilleSeule)
        return;
    const Programme &programme = deroulement.programme;
    const int depuis = deroulement.depuis;
    const qint64 total = programme.etapes.size() * qint64(programme.repetitions) - depuis;
    m_barre->setRange(0, int(total));
    m_barre->setValue(0);
    m_barre->setFormat(formatBarre(total, depuis));
    m_etat->setText(FenetreProgramme::tr("Programme lancé à %1 · attentes en tout : %2")
                        .arg(heure(), texteTotal(AttentesDepuis(programme, depuis))) +
                    texteDepart(deroulement));
    annoncer(m_etat);
}

void SuiviProgramme::suivreEtape(const QString &execution)
{
    if (!suit(execution))
        return;
    m_minuterie->stop();
    montrerProgression();
}

void SuiviProgramme::compterEtape(const QString &execution, const ResultatEtape &resultat)
{
    if (suit(execution) && !resultat.envoi.echec)
        m_barre->setValue(m_barre->value() + 1);
}

void SuiviProgramme::suivreAttente(const QString &execution)
{
    if (!suit(execution))
        return;
    m_minuterie->start();
    montrerProgression();
}

void SuiviProgramme::suivrePause(const QString &execution, int etape, int cycle)
{
    if (!suit(execution))
        return;
    const Programme &programme = m_poste.deroulement().programme;
    const int envoyee = m_poste.etat().etape;
    m_progression->setText(
        FenetreProgramme::tr("%1 envoyée · Pas à pas : %2 attend")
            .arg(TitreEtape(programme.etapes[envoyee], envoyee),
                 DesignationEtape(programme, etape)) +
        (programme.repetitions > 1
             ? FenetreProgramme::tr(" (parcours %1/%2)").arg(cycle + 1).arg(programme.repetitions)
             : QString()));
    annoncer(m_progression);
}

qint64 SuiviProgramme::reste() const
{
    // The waits after the current step, to the end of its cycle, then the
    // whole cycles left; the wait under way only for what is left of it.
    const EtatPoste &etat = m_poste.etat();
    const Programme &programme = m_poste.deroulement().programme;
    const qint64 courante = etat.finAttente.isValid()
                                ? qMax<qint64>(0, m_poste.maintenant().msecsTo(etat.finAttente))
                                : qint64(programme.etapes[etat.etape].attenteDixiemes) * 100;
    return AttentesDepuis(programme, etat.etape + 1, etat.cycle) * 100 + courante;
}

void SuiviProgramme::montrerProgression()
{
    if (!m_poste.programmeEnCours())
        return;
    const EtatPoste &etat = m_poste.etat();
    const DeroulementEnvoi &deroulement = m_poste.deroulement();
    QString texte = FenetreProgramme::tr("Étape %1/%2").arg(etat.etape + 1).arg(etat.etapes);
    if (etat.cycles > 1)
        texte += FenetreProgramme::tr(" · parcours %1/%2").arg(etat.cycle + 1).arg(etat.cycles);
    if (deroulement.mode == PosteEnvoi::Mode::Continu)
        texte += FenetreProgramme::tr(" · reste environ %1").arg(texteDuree(reste()));
    m_progression->setText(texte);
    annoncer(m_progression);
}

void SuiviProgramme::termine(const DeroulementEnvoi &deroulement)
{
    if (deroulement.grilleSeule)
        return;
    m_minuterie->stop();
    using F = ResultatProgramme::Fin;
    const ResultatProgramme &resultat = deroulement.resultat;
    const QString envoyees = EtapesEnvoyees(resultat, deroulement.cycles);
    m_etat->setText(
        (resultat.fin == F::Terminee ? FenetreProgramme::tr("Programme terminé à %1").arg(heure())
         : resultat.fin == F::Arretee
             ? FenetreProgramme::tr("Programme arrêté à %1 : %2").arg(heure(), envoyees)
             : FenetreProgramme::tr("Programme non terminé à %1 : %2").arg(heure(), envoyees)) +
        texteDepart(deroulement));
    annoncer(m_etat, QAccessible::Alert);
    signalerFin(deroulement);
}

void SuiviProgramme::signalerFin(const DeroulementEnvoi &deroulement)
{
    if (!window()->isVisible())
        return; // closed during the run, which that stopped: nothing more to tell
    switch (deroulement.resultat.fin) {
    case ResultatProgramme::Fin::Arretee:
        Afficher(this, GenreMessage::Avertissement, FenetreProgramme::tr("Programme arrêté"),
                 avecDepart(texteArret(deroulement), deroulement));
        break;
    case ResultatProgramme::Fin::Echec:
        Afficher(this, GenreMessage::Erreur, FenetreProgramme::tr("Programme non terminé"),
                 avecDepart(texteEchec(deroulement), deroulement));
        break;
    case ResultatProgramme::Fin::Terminee:    // the status says it
    case ResultatProgramme::Fin::Interrompue: // the panel is ending
        break;
    }
}

QString SuiviProgramme::texteArret(const DeroulementEnvoi &deroulement) const
{
    const ResultatProgramme &resultat = deroulement.resultat;
    const Programme &programme = deroulement.programme;
    const QString envoyees = EtapesEnvoyees(resultat, deroulement.cycles);
    const QString rappel =
        FenetreProgramme::tr("Une ligne remise au port ne peut pas être rappelée : pour "
                             "arrêter la machine elle-même, utilisez son arrêt d'urgence.");
    if (resultat.etapes.isEmpty())
        return FenetreProgramme::tr(
            "Programme arrêté avant sa première étape : rien n'a été envoyé.");
    const ResultatEtape &derniere = resultat.etapes.last();
    if (derniere.envoi.echec) // stopped while it was being sent
        return FenetreProgramme::tr("Programme arrêté pendant %1 : %2.\n%3\n%4")
            .arg(DesignationEtape(programme, derniere.etape), envoyees,
                 Phrase(*EchecEntier(derniere.envoi)), rappel);
    const auto suivante =
        PremiereNonEnvoyee(resultat, programme, deroulement.depuis, deroulement.cycles);
    if (!suivante)
        return FenetreProgramme::tr("Programme arrêté : %1, rien ne restait à envoyer.\n%2")
            .arg(envoyees, rappel);
    return FenetreProgramme::tr("Programme arrêté : %1, %2 ne l'a pas été.\n%3")
        .arg(envoyees, DesignationEtape(programme, suivante->first), rappel);
}

QString SuiviProgramme::texteEchec(const DeroulementEnvoi &deroulement) const
{
    const ResultatProgramme &resultat = deroulement.resultat;
    if (resultat.ouverture || resultat.etapes.isEmpty()) {
        const ResultatEnvoi &ouverture = resultat.ouverture ? *resultat.ouverture : ResultatEnvoi{};
        return ouverture.echec ? FenetreProgramme::tr("Le programme n'a pas commencé.\n%1")
                                     .arg(Phrase(*EchecEntier(ouverture)))
                               : FenetreProgramme::tr("Le programme n'a pas commencé.");
    }
    const ResultatEtape &rate = resultat.etapes.last();
    QString quoi = DesignationEtape(deroulement.programme, rate.etape);
    quoi.front() = quoi.front().toUpper();
    return FenetreProgramme::tr(
               "%1 n'est pas passée : rien n'a été envoyé après elle (%2).\n%3\nVérifiez la "
               "carte, son câble et l'état de la machine avant de relancer le programme.")
        .arg(quoi, EtapesEnvoyees(resultat, deroulement.cycles),
             rate.envoi.echec ? Phrase(*EchecEntier(rate.envoi)) : QString());
}

QString SuiviProgramme::heure() const
{
    return m_poste.maintenant().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace tarvik::window
