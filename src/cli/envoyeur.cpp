#include "envoyeur.h"

#include "app/demarrage.h"
#include "app/programme.h"
#include "app/signaux.h"
#include "run/execution_programme.h"
#include "run/journal.h"
#include "system/erreurs.h"
#include "system/noms.h"

#include <QDateTime>
#include <QEventLoop>
#include <QSocketNotifier>

#include <csignal>
#include <unistd.h>

int erreur(int code, const Echec &echec)
{
    Ecrire(stderr, Textes::tr("tarvik-envoyer : %1\n").arg(Phrase(echec)));
    return code;
}

Sortie::Sortie(bool fermee)
    : m_erreur(fermee ? Textes::tr("la sortie standard est fermée") : QString())
{
}

void Sortie::ecrire(const QString &texte)
{
    if (!m_erreur.isEmpty())
        return;
    if (const int erreur = Ecrire(stdout, texte))
        m_erreur = TexteErreurSysteme(erreur);
}

int codeDe(const EchecLien &echec)
{
    switch (IssueDe(echec)) {
    case IssueEnvoi::Echec:
        return EchecEcriture;
    case IssueEnvoi::Interrompue:
        if (const int signal = SignalRecu())
            return 128 + signal;
        return 128 + SIGTERM;
    case IssueEnvoi::PortRefuse:
    case IssueEnvoi::Envoyee:
    case IssueEnvoi::Rebranche:
    case IssueEnvoi::HorsLimites:
        break;
    }
    return PortIndisponible;
}

QString conseil(const EchecLien &echec)
{
    if (echec.genre == EchecLien::Genre::AucunPort)
        return Textes::tr("Donnez le port par --port, ou choisissez-le de nouveau dans le "
                          "panneau (« Initialisation › Choisir le port série… »).");
    return {};
}

QString decrirePort(const PortChoisi &port)
{
    return DecrirePort(port, Textes::tr("« Initialisation › Choisir le port série… » dans le "
                                        "panneau"));
}

void direNotes(const QStringList &notes)
{
    for (const QString &note : notes)
        Ecrire(stderr, Textes::tr("tarvik-envoyer : %1.\n").arg(note));
}

namespace {

// A journal that could not be written, as a note says it.
QString noteJournal(const Echec &rate)
{
    return Textes::tr("le journal des envois « %1 » : %2")
        .arg(NomLisible(CheminJournal()), rate.message);
}

// A step as the sender names it: "2/5" and its name, if any.
QString nomEtape(const Programme &programme, int etape)
{
    const QString nom = programme.etapes.at(etape).nom;
    const QString numero = QStringLiteral("%1/%2").arg(etape + 1).arg(programme.etapes.size());
    return nom.isEmpty() ? numero : Textes::tr("%1 (%2)").arg(numero, nom);
}

// Seconds from tenths, as the operator's language writes them: "2,5 s" in
// French, "2.5 s" in English.
QString secondes(qint64 dixiemes)
{
    if (dixiemes % 10 == 0)
        return Textes::tr("%1 s").arg(dixiemes / 10);
    return Textes::tr("%1,%2 s").arg(dixiemes / 10).arg(dixiemes % 10);
}

} // namespace

std::optional<int> refusDesLimites(const Programme &programme, const LimitesLues &limites,
                                   const PortChoisi &port, const QString &source)
{
    QString raison;
    if (limites.echec) {
        raison = Textes::tr("%1.\nAucun envoi n'est possible tant qu'il l'est")
                     .arg(limites.echec->message);
    } else {
        QStringList valeurs;
        for (const ValeurRefusee &valeur : VerifierLimites(programme, limites.effectives))
            valeurs << Phrase(valeur);
        if (valeurs.isEmpty())
            return std::nullopt;
        raison = Textes::tr("au-delà des limites du banc, rien n'a été envoyé :\n%1")
                     .arg(valeurs.join(u'\n'));
        raison.chop(1); // Phrase ends each; erreur ends the whole
    }
    if (!source.isEmpty())
        if (const auto rate = EcrireJournal({QDateTime::currentDateTime(),
                                             QStringLiteral("tarvik-envoyer"),
                                             source,
                                             port.peripherique,
                                             {},
                                             IssueEnvoi::HorsLimites,
                                             raison,
                                             {}}))
            direNotes({noteJournal(*rate)});
    return erreur(DepasseLesLimites, Echec{raison});
}

int verifierProgramme(const Programme &programme, int depuis, const PortChoisi &port,
                      Sortie &sortie)
{
    QString texte = QStringLiteral("programme tarvik 1\n");
    if (programme.repetitions != 1)
        texte += QStringLiteral("repeter %1\n").arg(programme.repetitions);
    qint64 premier = 0; // the waits of the first run, from `depuis`
    for (qsizetype k = 0; k < programme.etapes.size(); ++k) {
        const EtapeProgramme &etape = programme.etapes[k];
        texte += etape.nom.isEmpty() ? QStringLiteral("\netape\n")
                                     : QStringLiteral("\netape %1\n").arg(etape.nom);
        texte += etape.grille.lignes().join(u'\n') + u'\n';
        if (k + 1 < programme.etapes.size()) {
            texte += QStringLiteral("attendre %1.%2\n")
                         .arg(etape.attenteDixiemes / 10)
                         .arg(etape.attenteDixiemes % 10);
            if (k >= depuis)
                premier += etape.attenteDixiemes;
        }
    }
    sortie.ecrire(texte);
    if (!sortie.erreur().isEmpty())
        return erreur(SortieImpossible,
                      Echec{Textes::tr("les étapes n'ont pas pu être écrites sur la sortie "
                                       "standard (%1)")
                                .arg(sortie.erreur())});
    const qint64 total =
        premier + qint64(AttenteTotaleDixiemes(programme)) * (programme.repetitions - 1);
    if (port.echec)
        return erreur(
            PortIndisponible,
            Echec{Textes::tr("le programme est valide, mais il ne serait pas envoyé. "
                             "Port série inconnu : %1.\n%2")
                      .arg(port.echec->message, conseil(Refus(EchecLien::Genre::AucunPort, {})))});
    Ecrire(stderr,
           Textes::tr("tarvik-envoyer : programme valide, rien n'a été envoyé. Étapes : %1, "
                      "depuis l'étape %2 ; parcours : %3 ; attentes en tout : %4. Il "
                      "partirait sur %5.\n")
               .arg(programme.etapes.size())
               .arg(depuis + 1)
               .arg(programme.repetitions)
               .arg(secondes(total), decrirePort(port)));
    return Envoye;
}

namespace {

// How a program ended, said on stderr; the exit code.
int direFin(const Programme &programme, const ResultatProgramme &resultat, int signal,
            QStringList notes)
{
    using Fin = ResultatProgramme::Fin;
    if (!resultat.etapes.isEmpty()) {
        const ResultatEnvoi &premier = resultat.etapes.first().envoi;
        notes = premier.avertissements + notes;
        if (const QString jetes = NoteOctetsJetes(premier.octetsJetes); !jetes.isEmpty())
            notes.prepend(jetes);
    }
    direNotes(notes);
    const ResultatEnvoi *rate = resultat.ouverture          ? &*resultat.ouverture
                                : resultat.etapes.isEmpty() ? nullptr
                                                            : &resultat.etapes.last().envoi;
    if (resultat.fin == Fin::Terminee)
        return Envoye;
    if (resultat.fin == Fin::Arretee || resultat.fin == Fin::Interrompue) {
        const int envoyees = int(resultat.etapes.size()) - (rate && rate->echec ? 1 : 0);
        Ecrire(stderr, Textes::tr("tarvik-envoyer : programme arrêté par un signal ; étapes "
                                  "envoyées en entier : %1 ; rien n'a été envoyé ensuite. Des "
                                  "lignes remises au port ne se rappellent pas : pour arrêter la "
                                  "machine, utilisez son arrêt d'urgence.\n")
                           .arg(envoyees));
        return 128 + (signal ? signal : SIGTERM);
    }
    const EchecLien &echec = *rate->echec;
    if (!resultat.ouverture)
        Ecrire(stderr, Textes::tr("tarvik-envoyer : l'étape %1 a échoué au parcours %2, rien n'a été "
                                  "envoyé après elle.\n")
                           .arg(nomEtape(programme, resultat.etapes.last().etape))
                           .arg(resultat.etapes.last().cycle));
    const QString plus = conseil(echec);
    Ecrire(stderr, Textes::tr("tarvik-envoyer : %1\n")
                       .arg(plus.isEmpty() ? Phrase(echec) : Phrase(echec) + u'\n' + plus));
    return codeDe(echec);
}

// Follows a program's run: its lines on stdout, its progress on stderr when
// that is a terminal, a journal record per step, under "source:N".
void suivre(ExecutionProgramme &execution, const Programme &programme, int repetitions,
            const QString &source, Sortie &sortie, QStringList &notes)
{
    const bool progres = ::isatty(STDERR_FILENO) == 1;
    QObject::connect(&execution, &ExecutionProgramme::ligneRemise,
                     [&sortie](const QString &ligne) { sortie.ecrire(ligne + u'\n'); });
    QObject::connect(&execution, &ExecutionProgramme::etapeCommencee,
                     [&programme, progres, repetitions](int etape, int cycle) {
                         if (progres)
                             Ecrire(stderr,
                                    Textes::tr("tarvik-envoyer : étape %1, parcours %2/%3\n")
                                        .arg(nomEtape(programme, etape))
                                        .arg(cycle)
                                        .arg(repetitions));
                     });
    QObject::connect(&execution, &ExecutionProgramme::attente, [progres](qint64 ms) {
        if (progres && ms > 0)
            Ecrire(stderr, Textes::tr("tarvik-envoyer : attente de %1…\n").arg(secondes(ms / 100)));
    });
    QObject::connect(
        &execution, &ExecutionProgramme::etapeTerminee, [&source, &notes](const ResultatEtape &r) {
            const QString etape = QStringLiteral("%1:%2").arg(source).arg(r.etape + 1);
            if (const auto rate = EcrireJournal(
                    EnregistrementDe(r.envoi, r.debut, QStringLiteral("tarvik-envoyer"), etape)))
                if (notes.isEmpty())
                    notes << noteJournal(*rate);
        });
}

} // namespace

int executerProgramme(const Programme &programme, int depuis, int repetitions,
                      const QString &source, const PortChoisi &port, Sortie &sortie, int reveil)
{
    if (reveil < 0)
        return erreur(PortIndisponible, Echec{Textes::tr("signaux impossibles à surveiller")});
    LienSerie lien;
    lien.setPort(port);
    ExecutionProgramme execution(lien);
    int signal = 0;
    QStringList notes;
    // A signal is the operator's Stop: nothing more is sent.
    QSocketNotifier signaux(reveil, QSocketNotifier::Read);
    QObject::connect(&signaux, &QSocketNotifier::activated, [&] {
        if (const int recu = SignalRecu(); recu && !signal)
            signal = recu;
        execution.arreter();
    });
    suivre(execution, programme, repetitions, source, sortie, notes);
    ResultatProgramme resultat;
    QEventLoop boucle;
    QObject::connect(&execution, &ExecutionProgramme::termine, [&](const ResultatProgramme &fin) {
        resultat = fin;
        boucle.quit();
    });
    const QDateTime debut = QDateTime::currentDateTime();
    execution.demarrer(programme, depuis, repetitions);
    if (execution.enCours())
        boucle.exec();
    if (resultat.ouverture)
        if (const auto rate = EcrireJournal(
                EnregistrementDe(*resultat.ouverture, debut, QStringLiteral("tarvik-envoyer"),
                                 QStringLiteral("%1:%2").arg(source).arg(depuis + 1))))
            notes << noteJournal(*rate);
    if (!sortie.erreur().isEmpty()) // the board has the lines: the code stays
        notes << Textes::tr("les lignes envoyées n'ont pas pu être écrites sur la sortie "
                            "standard (%1)")
                     .arg(sortie.erreur());
    return direFin(programme, resultat, signal, notes);
}
