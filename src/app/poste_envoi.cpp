#include "app/poste_envoi.h"

#include "core/course.h"
#include "port/etat_port.h"
#include "run/journal.h"
#include "system/lecture.h"
#include "system/noms.h"

#include <QCoreApplication>

#include <algorithm>

#include <poll.h>

namespace {

// The texts of this file, in the operator's language.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Poste)
};

using Fin = ResultatProgramme::Fin;

// Which steps of a run that ended early went, and which did not.
QString bilan(const FinEnvoi &fin)
{
    const QString parties = EtapesEnvoyees(fin.resultat, fin.cycles);
    const auto prochaine = PremiereNonEnvoyee(fin.resultat, fin.programme, fin.depuis, fin.cycles);
    if (!prochaine)
        return Textes::tr("%1, rien ne restait à envoyer").arg(parties);
    const QString cycle =
        fin.cycles > 1 ? Textes::tr(" (cycle %1 sur %2)").arg(prochaine->second).arg(fin.cycles)
                       : QString();
    return Textes::tr("%1 ; %2%3 et les suivantes n'ont pas été envoyées")
        .arg(parties, DesignationEtape(fin.programme, prochaine->first), cycle);
}

} // namespace

QString TexteRefus(const RefusEnvoi &refus)
{
    if (refus.genre == RefusEnvoi::Genre::LimitesDouteuses)
        return Textes::tr("%1.\nAucune valeur n'a été comparée aux limites : aucun envoi n'est "
                          "possible tant qu'un fichier de limites est douteux")
            .arg(refus.douteux);
    // Several values a box holds: one line each.
    const bool enLignes =
        refus.valeurs.size() > 1 &&
        std::all_of(refus.valeurs.begin(), refus.valeurs.end(),
                    [](const ValeurRefusee &valeur) { return !valeur.ligne.isEmpty(); });
    QStringList valeurs;
    for (const ValeurRefusee &valeur : refus.valeurs)
        valeurs << (enLignes ? valeur.ligne : valeur.message);
    if (enLignes)
        return Textes::tr("Ces %1 valeurs ne peuvent pas partir :\n– %2")
            .arg(valeurs.size())
            .arg(valeurs.join(Textes::tr(" ;\n– ")));
    return valeurs.join(QStringLiteral(".\n\n"));
}

PosteEnvoi::PosteEnvoi(const QString &programme, Horloge *horloge, QObject *parent)
    : QObject(parent)
    , m_programme(programme)
    , m_horloge(horloge ? horloge : &m_horlogeQt)
    , m_execution(m_lien, m_horloge)
    , m_surveillance([this] { return maintenant(); })
{
    using E = ExecutionProgramme;
    connect(&m_execution, &E::etapeCommencee, this, [this](int etape, int cycle) {
        m_etat.etape = etape;
        m_etat.cycle = cycle;
        Q_EMIT etatChange(m_etat);
        Q_EMIT etapeCommencee(etape, cycle);
    });
    connect(&m_execution, &E::ligneRemise, this, &PosteEnvoi::ligneRemise);
    connect(&m_execution, &E::etapeTerminee, this, &PosteEnvoi::etapeVue);
    connect(&m_execution, &E::attente, this, &PosteEnvoi::attente);
    connect(&m_execution, &E::pause, this, &PosteEnvoi::pause);
    connect(&m_execution, &E::termine, this, &PosteEnvoi::runVu);
    connect(&m_surveillance, &SurveillancePort::etatChange, this, &PosteEnvoi::etatVu);
    connect(&m_surveillance, &SurveillancePort::rebranche, this,
            &PosteEnvoi::consignerRebranchement);
}

PosteEnvoi::~PosteEnvoi()
{
    m_tests.clear();
    interrompre(); // a run the program's end cuts short is journaled too
}

void PosteEnvoi::setPort(const PortChoisi &port)
{
    m_lien.setPort(port);
    m_surveillance.surveiller(port);
    etatVu(m_surveillance.etat());
}

void PosteEnvoi::setLimites(const LimitesLues &limites)
{
    m_limites = limites;
    Q_EMIT limitesChangees();
    etatVu(m_surveillance.etat());
}

void PosteEnvoi::etatVu(const EtatPort &etat)
{
    m_etat.port = etat;
    m_etat.limites = m_limites.echec;
    m_etat.rebrancheA = m_surveillance.rebrancheA();
    Q_EMIT etatChange(m_etat);
}

std::optional<RefusEnvoi> PosteEnvoi::verifier(const Programme &programme, int depuis) const
{
    return refusDesLimites(programme, depuis);
}

std::optional<RefusEnvoi> PosteEnvoi::refusDesLimites(const Programme &programme, int depuis) const
{
    if (m_limites.echec)
        return RefusEnvoi{RefusEnvoi::Genre::LimitesDouteuses, m_limites.echec->message, {}};
    // Each value within the limits, then where the whole run takes each axis.
    QList<ValeurRefusee> valeurs = VerifierLimites(programme, m_limites.effectives, m_noms);
    valeurs += VerifierCourse(programme, m_limites.effectives, depuis,
                              qMax(1, programme.repetitions), m_noms);
    if (valeurs.isEmpty())
        return std::nullopt;
    return RefusEnvoi{RefusEnvoi::Genre::HorsLimites, {}, valeurs};
}

std::optional<RefusEnvoi> PosteEnvoi::envoyer(const Grille &grille, const QString &source)
{
    if (programmeEnCours()) // never queued behind a program, to leave when no one chose
        return RefusEnvoi{RefusEnvoi::Genre::ProgrammeEnCours, {}, {}};
    const Programme test{{EtapeProgramme{{}, grille, 0}}, 1};
    if (auto refus = refusDesLimites(test, 0)) {
        consignerRefus(*refus, source);
        return refus;
    }
    m_tests << Test{grille, source};
    if (!m_execution.enCours() && !m_finissant)
        testSuivant();
    return std::nullopt;
}

std::optional<RefusEnvoi> PosteEnvoi::tester(const TextesGrille &textes)
{
    if (programmeEnCours())
        return RefusEnvoi{RefusEnvoi::Genre::ProgrammeEnCours, {}, {}};
    if (m_limites.echec) {
        const RefusEnvoi refus{RefusEnvoi::Genre::LimitesDouteuses, m_limites.echec->message, {}};
        consignerRefus(refus, {});
        return refus;
    }
    const GrilleVerifiee verifiee = VerifierGrille(textes, m_noms, &m_limites.effectives);
    if (verifiee.grille)
        return envoyer(*verifiee.grille);
    // Every value refused at once; those beyond the limits journaled, once.
    const auto dehors = [](const ValeurRefusee &valeur) {
        return valeur.horsLimite;
    };
    const RefusEnvoi refus{std::all_of(verifiee.echecs.begin(), verifiee.echecs.end(), dehors)
                               ? RefusEnvoi::Genre::HorsLimites
                               : RefusEnvoi::Genre::ValeurRefusee,
                           {},
                           verifiee.echecs};
    RefusEnvoi consigne{RefusEnvoi::Genre::HorsLimites, {}, {}};
    std::copy_if(refus.valeurs.begin(), refus.valeurs.end(), std::back_inserter(consigne.valeurs),
                 dehors);
    if (!consigne.valeurs.isEmpty())
        consignerRefus(consigne, {});
    return refus;
}

std::optional<RefusEnvoi> PosteEnvoi::lancer(const Programme &programme, const QString &source,
                                             int depuis, Mode mode)
{
    if (occupe())
        return RefusEnvoi{programmeEnCours() ? RefusEnvoi::Genre::ProgrammeEnCours
                                             : RefusEnvoi::Genre::EnvoiEnCours,
                          {},
                          {}};
    if (auto refus = refusDesLimites(programme, depuis)) {
        consignerRefus(*refus, source);
        return refus;
    }
    if (!programme.etapes.isEmpty())
        commencer(programme, source, depuis, mode, false);
    return std::nullopt;
}

void PosteEnvoi::testSuivant()
{
    while (!m_tests.isEmpty() && !m_execution.enCours()) {
        const Test test = m_tests.takeFirst();
        const Programme programme{{EtapeProgramme{{}, test.grille, 0}}, 1};
        // The limits may have changed while it waited.
        if (auto refus = refusDesLimites(programme, 0)) {
            consignerRefus(*refus, test.source);
            FinEnvoi fin;
            fin.test = true;
            fin.debut = fin.fin = maintenant();
            fin.programme = programme;
            fin.source = test.source;
            fin.refus = refus;
            m_finissant = true;
            Q_EMIT termine(fin);
            m_finissant = false;
            continue;
        }
        commencer(programme, test.source, 0, Mode::Continu, true);
    }
}

void PosteEnvoi::commencer(const Programme &programme, const QString &source, int depuis, Mode mode,
                           bool test)
{
    m_identifiant = NouvelleExecution();
    m_run = {};
    m_run.test = test;
    m_run.debut = maintenant();
    m_run.programme = programme;
    m_run.depuis = depuis;
    m_run.cycles = qMax(1, programme.repetitions);
    m_run.source = source;
    m_surveillance.oublierRebranchement(); // said until this run
    m_etat.rebrancheA = {};
    m_etat.usage = test ? EtatPoste::Usage::Test : EtatPoste::Usage::Programme;
    m_etat.source = source;
    m_etat.etape = depuis;
    m_etat.etapes = int(programme.etapes.size());
    m_etat.cycle = 1;
    m_etat.cycles = m_run.cycles;
    Q_EMIT etatChange(m_etat);
    m_execution.demarrer(programme, depuis, m_run.cycles, mode);
}

void PosteEnvoi::interrompre()
{
    m_tests.clear(); // the program is ending: no other run
    m_execution.interrompre();
}

void PosteEnvoi::etapeVue(const ResultatEtape &etape)
{
    // A step that failed or was cut short is journaled with the run's end,
    // which says what went and what did not.
    if (!etape.envoi.echec)
        consigner(enregistrement(etape.envoi, etape.debut, etape.etape));
    Q_EMIT etapeTerminee(etape);
}

void PosteEnvoi::runVu(const ResultatProgramme &resultat)
{
    FinEnvoi fin = m_run;
    fin.fin = maintenant();
    fin.resultat = resultat;
    using G = EchecLien::Genre;
    if (const ResultatEnvoi *rate = resultat.rate(); rate && fin.test)
        fin.reessayable = rate->lignes.isEmpty() && (rate->echec->genre == G::PortOccupe ||
                                                     rate->echec->genre == G::PortAbsent);
    consignerFin(fin);
    m_etat.usage = EtatPoste::Usage::Aucun;
    if (m_surveillance.actif())
        m_surveillance.verifier(); // the run may have found the port in another state
    Q_EMIT etatChange(m_etat);
    if (resultat.fin == Fin::Interrompue)
        m_tests.clear();
    m_finissant = true;
    Q_EMIT termine(fin);
    m_finissant = false;
    testSuivant();
}

EnregistrementEnvoi PosteEnvoi::enregistrement(const ResultatEnvoi &envoi, const QDateTime &debut,
                                               int etape) const
{
    const QString source =
        m_run.test ? m_run.source : QStringLiteral("%1:%2").arg(m_run.source).arg(etape + 1);
    EnregistrementEnvoi enregistrement = EnregistrementDe(envoi, debut, m_programme, source);
    enregistrement.execution = m_identifiant;
    return enregistrement;
}

void PosteEnvoi::consignerFin(const FinEnvoi &fin)
{
    const ResultatProgramme &resultat = fin.resultat;
    if (resultat.ouverture) {
        consigner(enregistrement(*resultat.ouverture, fin.debut, fin.depuis));
        return;
    }
    if (const ResultatEnvoi *rate = resultat.rate()) {
        const ResultatEtape &etape = resultat.etapes.last();
        EnregistrementEnvoi cut = enregistrement(*rate, etape.debut, etape.etape);
        if (resultat.fin == Fin::Arretee && rate->echec->genre == EchecLien::Genre::Interrompu)
            cut.issue = IssueEnvoi::Arretee; // the operator's Stop, not a signal
        if (!fin.test)
            cut.raison += QStringLiteral(". ") + bilan(fin);
        consigner(cut);
        return;
    }
    if (!resultat.entreDeuxEtapes)
        return;
    // Stopped with no send under way: the run's own record says so.
    const auto prochaine = PremiereNonEnvoyee(resultat, fin.programme, fin.depuis, fin.cycles);
    EnregistrementEnvoi arret = enregistrement({}, fin.fin, prochaine ? prochaine->first : 0);
    arret.portChoisi = port().echec ? QStringLiteral("inconnu") : port().peripherique;
    arret.peripherique = m_lien.peripherique();
    arret.issue = resultat.fin == Fin::Arretee ? IssueEnvoi::Arretee : IssueEnvoi::Interrompue;
    arret.raison = Textes::tr("%1 : %2").arg(
        resultat.fin == Fin::Arretee ? Textes::tr("arrêté par l'opérateur entre deux étapes")
                                     : Textes::tr("interrompu par un signal entre deux étapes"),
        bilan(fin));
    consigner(arret);
}

void PosteEnvoi::consignerRefus(const RefusEnvoi &refus, const QString &source)
{
    consigner({maintenant(),
               m_programme,
               source,
               port().echec ? QStringLiteral("inconnu") : port().peripherique,
               {},
               IssueEnvoi::HorsLimites,
               TexteRefus(refus),
               {},
               NouvelleExecution()});
}

void PosteEnvoi::consignerRebranchement()
{
    consigner({m_surveillance.rebrancheA(),
               m_programme,
               {},
               port().peripherique,
               m_surveillance.etat().peripherique,
               IssueEnvoi::Rebranche,
               Textes::tr("débranché puis rebranché : la carte a pu redémarrer ; rien n'a été "
                          "renvoyé"),
               {},
               {}});
    etatVu(m_surveillance.etat());
}

void PosteEnvoi::consigner(EnregistrementEnvoi enregistrement)
{
    enregistrement.programme = m_programme;
    if (const auto rate = EcrireJournal(enregistrement))
        Q_EMIT journalRate(Echec{Textes::tr("le journal des envois « %1 » : %2")
                                     .arg(NomLisible(CheminJournal()), rate->message)});
}

std::optional<EchecLien> PosteEnvoi::attendrePort(double secondes, int reveil,
                                                  const std::function<void(const QString &)> &dire,
                                                  const QString &source)
{
    const QDateTime debut = maintenant();
    const QDeadlineTimer echeance(qint64(secondes * 1000));
    const auto refuser = [&](EchecLien::Genre genre, IssueEnvoi issue, const QString &raison,
                             const QString &peripherique) {
        consigner({debut,
                   m_programme,
                   source,
                   port().peripherique,
                   peripherique,
                   issue,
                   raison,
                   {},
                   NouvelleExecution()});
        return std::optional(Refus(genre, raison));
    };
    QString dit;
    for (;;) {
        const EtatPort etat = SonderPort(port());
        using E = EtatPort::Etat;
        if (etat.etat == E::Pret || etat.etat == E::Refuse)
            return std::nullopt; // the send says the rest
        const QString quoi = etat.etat == E::Absent ? Textes::tr("absent")
                                                    : Textes::tr("occupé par %1").arg(etat.raison);
        if (echeance.hasExpired())
            return refuser(EchecLien::Genre::PortOccupe, IssueEnvoi::PortRefuse,
                           Textes::tr("le port %1 est toujours %2 après %3 s d'attente. Rien "
                                      "n'a été envoyé")
                               .arg(NomLisible(port().peripherique), quoi)
                               .arg(secondes),
                           etat.peripherique);
        if (quoi != dit)
            dire(dit = quoi);
        pollfd p{reveil, POLLIN, 0};
        const timespec pause{0, 100'000'000};
        if (::ppoll(&p, 1, &pause, nullptr) > 0 && DescripteurLisible(reveil))
            return refuser(EchecLien::Genre::Interrompu, IssueEnvoi::Interrompue,
                           Textes::tr("interrompu pendant l'attente du port, rien n'a été "
                                      "envoyé"),
                           etat.peripherique);
    }
}
