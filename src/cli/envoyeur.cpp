#include "envoyeur.h"

#include "impression.h"

#include "app/demarrage.h"
#include "app/executable.h"
#include "app/formulation.h"
#include "app/phrases_poste.h"
#include "app/signaux.h"
#include "core/course.h"
#include "port/etat_port.h"
#include "port/peripherique.h"
#include "system/noms.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSocketNotifier>

#include <csignal>
#include <poll.h>
#include <unistd.h>

namespace tarvik::cli {

int erreur(int code, const Echec &echec)
{
    Dire(Mots::tr("tarvik-envoyer : %1\n").arg(Phrase(echec)));
    return code;
}

Sortie::Sortie(bool fermee)
    : m_fermee(fermee)
{
}

void Sortie::ecrire(const QString &texte)
{
    ecrireOctets(texte.toLocal8Bit());
}

void Sortie::ecrireOctets(const QByteArray &octets)
{
    if (!m_fermee)
        Imprimer(STDOUT_FILENO, octets);
}

QString Sortie::erreur() const
{
    if (m_fermee)
        return Mots::tr("la sortie standard est fermée");
    const int erreur = ErreurImpression(STDOUT_FILENO);
    return erreur ? TexteErreurSysteme(erreur) : QString();
}

QString decrirePort(const PortChoisi &port)
{
    return DecrirePort(port, Mots::tr("« Initialisation › Choisir le port série… » dans le "
                                      "panneau"));
}

int direRefus(const RefusEnvoi &refus)
{
    if (refus.genre == RefusEnvoi::Genre::LimitesDouteuses)
        return erreur(DepasseLesLimites,
                      Echec{TexteRefus(refus) + Mots::tr(".\nRien n'a été envoyé")});
    QStringList valeurs;
    for (const ValeurRefusee &valeur : refus.valeurs)
        valeurs << Formuler(valeur) + u'.';
    QString raison =
        Mots::tr("au-delà des limites du banc, rien n'a été envoyé :\n%1").arg(valeurs.join(u'\n'));
    raison.chop(1); // Phrase ends each; erreur ends the whole
    return erreur(DepasseLesLimites, Echec{raison});
}

namespace {

// A failure of the wait for the port, in these words.
EchecDit echecDAttente(EchecLien::Genre genre, const QString &message)
{
    EchecDit echec;
    echec.message = message;
    echec.genre = genre;
    return echec;
}

// What the operator can do about a failure, where the sender knows; empty
// elsewhere.
QString conseil(EchecLien::Genre genre)
{
    if (genre == EchecLien::Genre::AucunPort)
        return Mots::tr("Donnez le port par --port, ou choisissez-le de nouveau dans le "
                        "panneau (« Initialisation › Choisir le port série… »).");
    return {};
}

// The exit code of a run that failed so.
int codeDe(const EchecDit &echec, int signal)
{
    using G = EchecLien::Genre;
    switch (echec.genre) {
    case G::EcritureEchouee:
    case G::PortDebranche:
    case G::DelaiDepasse:
        return EchecEcriture;
    case G::Interrompu:
        return 128 + (signal ? signal : SIGTERM);
    case G::AucunPort:
    case G::PortAbsent:
    case G::PasUnPortSerie:
    case G::PortOccupe:
    case G::PermissionRefusee:
    case G::OuvertureEchouee:
        break;
    }
    return PortIndisponible;
}

// A port that cannot be known, as --verifier says it after `valide`.
int portInconnu(const PortChoisi &port, const QString &valide)
{
    return erreur(PortIndisponible,
                  Echec{valide.arg(Formuler(*port.echec), conseil(EchecLien::Genre::AucunPort))});
}

// A step as the sender names it: "2/5" and its name, if any.
QString nomEtape(const Programme &programme, int etape)
{
    const QString nom = programme.etapes.at(etape).nom;
    const QString numero = QStringLiteral("%1/%2").arg(etape + 1).arg(programme.etapes.size());
    return nom.isEmpty() ? numero : Mots::tr("%1 (%2)").arg(numero, nom);
}

void direNotes(const QStringList &notes)
{
    for (const QString &note : notes)
        Dire(Mots::tr("tarvik-envoyer : %1.\n").arg(note));
}

// How a run ended, said on stderr after its notes; the exit code.
int direFin(const DeroulementEnvoi &deroulement, int signal, QStringList notes)
{
    using Fin = ResultatProgramme::Fin;
    const ResultatProgramme &resultat = deroulement.resultat;
    const ResultatEnvoi *rate = resultat.rate();
    if (!resultat.etapes.isEmpty()) {
        const ResultatEnvoi &premier = resultat.etapes.first().envoi;
        notes = Formuler(premier.avertissements) + notes;
        // A failure's own message says it already.
        if (!(deroulement.grilleSeule && rate))
            notes = NotesOuverture(premier) + notes;
    }
    direNotes(notes);
    if (resultat.fin == Fin::Terminee)
        return Envoye;
    if (!deroulement.grilleSeule &&
        (resultat.fin == Fin::Arretee || resultat.fin == Fin::Interrompue)) {
        Dire(Mots::tr("tarvik-envoyer : programme arrêté par un signal ; étapes "
                      "envoyées en entier : %1 ; rien n'a été envoyé ensuite. Des "
                      "lignes remises au port ne se rappellent pas : pour arrêter la "
                      "machine, utilisez son arrêt d'urgence.\n")
                 .arg(resultat.envoyees()));
        return 128 + (signal ? signal : SIGTERM);
    }
    if (!rate) { // a sequence a signal ended, nothing of its own having failed
        Dire(resultat.etapes.isEmpty()
                 ? Mots::tr("tarvik-envoyer : envoi interrompu par un signal "
                            "avant sa première ligne : rien n'a été envoyé.\n")
                 : Mots::tr("tarvik-envoyer : interrompu par un signal une fois la "
                            "séquence envoyée en entier.\n"));
        return 128 + (signal ? signal : SIGTERM);
    }
    if (!deroulement.grilleSeule && !resultat.ouverture)
        Dire(Mots::tr("tarvik-envoyer : l'étape %1 a échoué au parcours %2, rien n'a été "
                      "envoyé après elle.\n")
                 .arg(nomEtape(deroulement.programme, resultat.etapes.last().etape))
                 .arg(resultat.etapes.last().cycle + 1));
    const EchecDit echec = *EchecEntier(*rate);
    const QString plus = conseil(echec.genre);
    Dire(Mots::tr("tarvik-envoyer : %1\n")
             .arg(plus.isEmpty() ? Phrase(echec) : Phrase(echec) + u'\n' + plus));
    return codeDe(echec, signal);
}

// Tells a program's progress on stderr, when that is a terminal.
void suivreProgres(PosteEnvoi &poste, const Programme &programme)
{
    if (::isatty(STDERR_FILENO) != 1)
        return;
    QObject::connect(&poste, &PosteEnvoi::etapeCommencee, &poste,
                     [&poste, &programme](const QString &, int etape, int cycle) {
                         if (poste.programmeEnCours())
                             Dire(Mots::tr("tarvik-envoyer : étape %1, parcours %2/%3\n")
                                      .arg(nomEtape(programme, etape))
                                      .arg(cycle + 1)
                                      .arg(poste.etat().cycles));
                     });
    QObject::connect(&poste, &PosteEnvoi::attente, &poste, [](const QString &, qint64 ms) {
        if (ms > 0)
            Dire(Mots::tr("tarvik-envoyer : attente de %1…\n").arg(TexteSecondes(ms)));
    });
}

// What a send would meet at the port, found without opening it: a device
// that is no serial port, or that this user may not write to, refused for
// good; one absent for now is said. The exit code when it is refused.
std::optional<int> verifierPort(const PortChoisi &port, const QString &refuse)
{
    struct stat etat {};
    const auto refus = VerifierPeripheriqueChemin(CheminReel(port.peripherique), etat);
    if (refus && refus->genre == EchecLien::Genre::PortAbsent) {
        Dire(Mots::tr("tarvik-envoyer : %1 est absent pour l'instant : un envoi serait refusé "
                      "tant qu'il l'est.\n")
                 .arg(decrirePort(port)));
        return std::nullopt;
    }
    if (refus)
        return erreur(PortIndisponible, Echec{refuse.arg(decrirePort(port), Formuler(*refus))});
    return std::nullopt;
}

// A dry run, once what would be sent is printed: where it stops (the
// printing failed, the port unknown or refused: `sortieImpossible`,
// `inconnu`, `refuse`, the sentences that say so), or nothing when it would
// go.
std::optional<int> verifierJusquAuPort(const PortChoisi &port, const Sortie &sortie,
                                       const QString &sortieImpossible, const QString &inconnu,
                                       const QString &refuse)
{
    AttendreImpression(-1); // a signal ends a dry run at once
    if (!sortie.erreur().isEmpty())
        return erreur(SortieImpossible, Echec{sortieImpossible.arg(sortie.erreur())});
    if (port.echec)
        return portInconnu(port, inconnu);
    return verifierPort(port, refuse);
}

} // namespace

int verifierSequence(const Grille &grille, const PortChoisi &port, Sortie &sortie)
{
    for (const QString &ligne : grille.lignes())
        sortie.ecrire(ligne + u'\n');
    if (const auto code =
            verifierJusquAuPort(port, sortie,
                                Mots::tr("les lignes n'ont pas pu être écrites sur la sortie "
                                         "standard (%1)"),
                                Mots::tr("la séquence est valide, mais elle ne serait pas "
                                         "envoyée. Port série inconnu : %1.\n%2"),
                                Mots::tr("la séquence est valide, mais elle ne "
                                         "serait pas envoyée. Port %1 : %2")))
        return *code;
    Dire(Mots::tr("tarvik-envoyer : séquence valide, rien n'a été envoyé ; elle "
                  "partirait sur %1.\n")
             .arg(decrirePort(port)));
    return Envoye;
}

int verifierProgramme(const Programme &programme, int depuis, const PortChoisi &port,
                      Sortie &sortie)
{
    sortie.ecrireOctets(FormerProgramme(programme));
    if (const auto code =
            verifierJusquAuPort(port, sortie,
                                Mots::tr("les étapes n'ont pas pu être écrites sur la sortie "
                                         "standard (%1)"),
                                Mots::tr("le programme est valide, mais il ne serait pas envoyé. "
                                         "Port série inconnu : %1.\n%2"),
                                Mots::tr("le programme est valide, mais il ne "
                                         "serait pas envoyé. Port %1 : %2")))
        return *code;
    const qint64 total = AttentesDepuis(programme, depuis); // as the panel counts them
    Dire(Mots::tr("tarvik-envoyer : programme valide, rien n'a été envoyé. Étapes : %1, "
                  "depuis l'étape %2 ; parcours : %3 ; attentes en tout : %4. Il "
                  "partirait sur %5.\n")
             .arg(programme.etapes.size())
             .arg(depuis + 1)
             .arg(programme.repetitions)
             .arg(TexteSecondes(total * 100), decrirePort(port)));
    return Envoye;
}

void direCourse(const Programme &programme, int depuis, bool figures)
{
    const Course course(programme, depuis, programme.repetitions);
    if (figures)
        for (const QString &ligne : LignesCourse(course))
            Dire(Mots::tr("tarvik-envoyer : %1\n").arg(ligne));
    for (const QString &derive : AvertissementsDerive(course))
        Dire(Mots::tr("tarvik-envoyer : attention, %1.\n").arg(derive));
}

int executer(PosteEnvoi &poste, ConsignationEnvois &journal, const Programme &programme,
             const std::function<std::optional<RefusEnvoi>()> &lancer, Sortie &sortie, int reveil)
{
    if (reveil < 0)
        return erreur(PortIndisponible, Echec{Mots::tr("signaux impossibles à surveiller")});
    poste.setReveil(reveil);
    QStringList notes;
    // A signal is the operator's Stop: nothing more is sent.
    QSocketNotifier signaux(reveil, QSocketNotifier::Read);
    QObject::connect(&signaux, &QSocketNotifier::activated, [&] {
        SignalRecu();
        poste.interrompre();
    });
    // Handed to the printer: the run never waits for a reader.
    QObject::connect(
        &poste, &PosteEnvoi::ligneRemise,
        [&sortie](const QString &, const QString &ligne) { sortie.ecrire(ligne + u'\n'); });
    QObject::connect(&journal, &ConsignationEnvois::journalRate, [&notes](const Echec &rate) {
        if (notes.isEmpty()) // said once
            notes << rate.message;
    });
    suivreProgres(poste, programme);
    std::optional<DeroulementEnvoi> deroulement;
    QEventLoop boucle;
    QObject::connect(&poste, &PosteEnvoi::termine, [&](const DeroulementEnvoi &vue) {
        deroulement = vue;
        boucle.quit();
    });
    if (const auto refus = lancer())
        return direRefus(*refus);
    if (!deroulement)
        boucle.exec();
    // The port is released and the record written: the lines are printed
    // before the last words, unless a signal says not to wait for them.
    if (!PremierSignal())
        AttendreImpression(reveil);
    if (!sortie.erreur().isEmpty()) // the board has the lines: the code stays
        notes << Mots::tr("les lignes envoyées n'ont pas pu être écrites sur la sortie "
                          "standard (%1)")
                     .arg(sortie.erreur());
    return direFin(*deroulement, PremierSignal(), notes);
}

std::optional<int> AttendrePort(PosteEnvoi &poste, ConsignationEnvois &journal, double secondes,
                                int reveil, const QString &source)
{
    using G = EchecLien::Genre;
    const QDateTime debut = poste.maintenant();
    const qint64 ms = qint64(secondes * 1000);
    const QDeadlineTimer echeance(ms);
    const auto conclure = [&](int code, const EchecDit &echec, const QString &peripherique) {
        journal.consignerAttente(debut, source, echec, peripherique);
        return erreur(code, echec);
    };
    QString dit;
    for (;;) {
        // The run's own opening, which only a run that can take the port passes.
        const auto echec = poste.prendrePort();
        const bool signal = echec && echec->genre == G::Interrompu;
        if (!signal && (!echec || (echec->genre != G::PortOccupe && echec->genre != G::PortAbsent)))
            return std::nullopt; // taken, or refused for good: the run says the rest
        const EtatPort etat = SonderPort(poste.port()); // who holds it, when a look can tell
        pollfd p{reveil, POLLIN, 0};
        if (signal || ::poll(&p, 1, 0) > 0)
            return conclure(
                128 + SignalRecu(),
                echecDAttente(G::Interrompu, Mots::tr("interrompu pendant l'attente du port, rien "
                                                      "n'a été envoyé")),
                etat.peripherique);
        const QString quoi = echec->genre == G::PortAbsent ? Mots::tr("absent")
                             : etat.etat == EtatPort::Etat::Occupe
                                 ? Mots::tr("occupé par %1").arg(RaisonEtat(etat))
                                 : Mots::tr("occupé");
        if (echeance.hasExpired())
            return conclure(
                PortIndisponible,
                echecDAttente(echec->genre, Mots::tr("le port %1 est toujours %2 après %3 "
                                                     "d'attente. Rien n'a été envoyé")
                                                .arg(NomLisible(poste.port().peripherique), quoi,
                                                     TexteSecondes(ms))),
                etat.peripherique);
        if (quoi != dit)
            Dire(Mots::tr("tarvik-envoyer : attente du port %1, %2…\n")
                     .arg(decrirePort(poste.port()), dit = quoi));
        ::poll(&p, 1, int(qMin<qint64>(100, echeance.remainingTime())));
    }
}

int Terminer(int code, int reveil)
{
    // Calm this long after a signal: the printing has stopped going forward.
    constexpr int CalmeMs = 500;
    if (!PremierSignal() && AttendreImpression(reveil))
        return code;
    while (SignalRecu()) {
    }
    if (AttendreImpression(reveil, CalmeMs))
        return code;
    Dire(Mots::tr("tarvik-envoyer : arrêté par un signal avant d'avoir tout écrit : ce qui "
                  "précède peut être incomplet. Le journal des envois garde l'issue de chaque "
                  "envoi tenté.\n"));
    if (!AttendreImpression(reveil, CalmeMs, STDERR_FILENO) || !AttendreImpression(reveil, 0))
        ::_exit(code); // a reader that stopped: nothing is left to release
    return code;
}

} // namespace tarvik::cli
