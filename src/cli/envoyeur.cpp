#include "envoyeur.h"

#include "app/demarrage.h"
#include "app/programme.h"
#include "app/signaux.h"
#include "core/course.h"
#include "system/erreurs.h"
#include "system/noms.h"

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
    ecrireOctets(texte.toLocal8Bit());
}

void Sortie::ecrireOctets(const QByteArray &octets)
{
    if (!m_erreur.isEmpty())
        return;
    errno = 0;
    const bool ecrit = std::fwrite(octets.constData(), 1, size_t(octets.size()), stdout) ==
                           size_t(octets.size()) &&
                       std::fflush(stdout) == 0;
    if (!ecrit)
        m_erreur = TexteErreurSysteme(errno ? errno : EIO);
    std::clearerr(stdout);
}

QString decrirePort(const PortChoisi &port)
{
    return DecrirePort(port, Textes::tr("« Initialisation › Choisir le port série… » dans le "
                                        "panneau"));
}

int direRefus(const RefusEnvoi &refus)
{
    if (refus.genre == RefusEnvoi::Genre::LimitesDouteuses)
        return erreur(DepasseLesLimites,
                      Echec{TexteRefus(refus) + Textes::tr(".\nRien n'a été envoyé")});
    QStringList valeurs;
    for (const ValeurRefusee &valeur : refus.valeurs)
        valeurs << Phrase(valeur);
    QString raison = Textes::tr("au-delà des limites du banc, rien n'a été envoyé :\n%1")
                         .arg(valeurs.join(u'\n'));
    raison.chop(1); // Phrase ends each; erreur ends the whole
    return erreur(DepasseLesLimites, Echec{raison});
}

namespace {

// What the operator can do about a failure, where the sender knows; empty
// elsewhere.
QString conseil(EchecLien::Genre genre)
{
    if (genre == EchecLien::Genre::AucunPort)
        return Textes::tr("Donnez le port par --port, ou choisissez-le de nouveau dans le "
                          "panneau (« Initialisation › Choisir le port série… »).");
    return {};
}

// The exit code of a run that failed so.
int codeDe(const EchecLien &echec, int signal)
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
                  Echec{valide.arg(port.echec->message, conseil(EchecLien::Genre::AucunPort))});
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

void direNotes(const QStringList &notes)
{
    for (const QString &note : notes)
        Ecrire(stderr, Textes::tr("tarvik-envoyer : %1.\n").arg(note));
}

// How a run ended, said on stderr after its notes; the exit code.
int direFin(const FinEnvoi &fin, int signal, QStringList notes)
{
    using Fin = ResultatProgramme::Fin;
    const ResultatProgramme &resultat = fin.resultat;
    const ResultatEnvoi *rate = resultat.rate();
    if (!resultat.etapes.isEmpty()) {
        const ResultatEnvoi &premier = resultat.etapes.first().envoi;
        notes = premier.avertissements + notes;
        // A failure's own message says it already.
        if (!(fin.test && rate))
            notes = NotesOuverture(premier) + notes;
    }
    direNotes(notes);
    if (resultat.fin == Fin::Terminee)
        return Envoye;
    if (!fin.test && (resultat.fin == Fin::Arretee || resultat.fin == Fin::Interrompue)) {
        Ecrire(stderr, Textes::tr("tarvik-envoyer : programme arrêté par un signal ; étapes "
                                  "envoyées en entier : %1 ; rien n'a été envoyé ensuite. Des "
                                  "lignes remises au port ne se rappellent pas : pour arrêter la "
                                  "machine, utilisez son arrêt d'urgence.\n")
                           .arg(resultat.envoyees()));
        return 128 + (signal ? signal : SIGTERM);
    }
    if (!rate) { // a sequence a signal ended, nothing of its own having failed
        Ecrire(stderr, resultat.etapes.isEmpty()
                           ? Textes::tr("tarvik-envoyer : envoi interrompu par un signal "
                                        "avant sa première ligne : rien n'a été envoyé.\n")
                           : Textes::tr("tarvik-envoyer : interrompu par un signal une fois la "
                                        "séquence envoyée en entier.\n"));
        return 128 + (signal ? signal : SIGTERM);
    }
    if (!fin.test && !resultat.ouverture)
        Ecrire(stderr,
               Textes::tr("tarvik-envoyer : l'étape %1 a échoué au parcours %2, rien n'a été "
                          "envoyé après elle.\n")
                   .arg(nomEtape(fin.programme, resultat.etapes.last().etape))
                   .arg(resultat.etapes.last().cycle));
    const EchecLien &echec = *rate->echec;
    const QString plus = conseil(echec.genre);
    Ecrire(stderr, Textes::tr("tarvik-envoyer : %1\n")
                       .arg(plus.isEmpty() ? Phrase(echec) : Phrase(echec) + u'\n' + plus));
    return codeDe(echec, signal);
}

// Tells a program's progress on stderr, when that is a terminal.
void suivreProgres(PosteEnvoi &poste, const Programme &programme)
{
    if (::isatty(STDERR_FILENO) != 1)
        return;
    QObject::connect(
        &poste, &PosteEnvoi::etapeCommencee, &poste, [&poste, &programme](int etape, int cycle) {
            if (poste.programmeEnCours())
                Ecrire(stderr, Textes::tr("tarvik-envoyer : étape %1, parcours %2/%3\n")
                                   .arg(nomEtape(programme, etape))
                                   .arg(cycle)
                                   .arg(poste.etat().cycles));
        });
    QObject::connect(&poste, &PosteEnvoi::attente, &poste, [](qint64 ms) {
        if (ms > 0)
            Ecrire(stderr, Textes::tr("tarvik-envoyer : attente de %1…\n").arg(secondes(ms / 100)));
    });
}

} // namespace

int verifierSequence(const Grille &grille, const PortChoisi &port, Sortie &sortie)
{
    for (const QString &ligne : grille.lignes())
        sortie.ecrire(ligne + u'\n');
    if (!sortie.erreur().isEmpty())
        return erreur(SortieImpossible,
                      Echec{Textes::tr("les lignes n'ont pas pu être écrites sur la sortie "
                                       "standard (%1)")
                                .arg(sortie.erreur())});
    if (port.echec)
        return portInconnu(port, Textes::tr("la séquence est valide, mais elle ne serait pas "
                                            "envoyée. Port série inconnu : %1.\n%2"));
    Ecrire(stderr, Textes::tr("tarvik-envoyer : séquence valide, rien n'a été envoyé ; elle "
                              "partirait sur %1.\n")
                       .arg(decrirePort(port)));
    return Envoye;
}

int verifierProgramme(const Programme &programme, int depuis, const PortChoisi &port,
                      Sortie &sortie)
{
    sortie.ecrireOctets(FormerProgramme(programme));
    if (!sortie.erreur().isEmpty())
        return erreur(SortieImpossible,
                      Echec{Textes::tr("les étapes n'ont pas pu être écrites sur la sortie "
                                       "standard (%1)")
                                .arg(sortie.erreur())});
    const qint64 total = AttentesDepuis(programme, depuis); // as the panel counts them
    if (port.echec)
        return portInconnu(port,
                           Textes::tr("le programme est valide, mais il ne serait pas envoyé. "
                                      "Port série inconnu : %1.\n%2"));
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

void direCourse(const Programme &programme, int depuis, bool figures)
{
    const Course course(programme, depuis, programme.repetitions);
    if (figures)
        for (const QString &ligne : LignesCourse(course))
            Ecrire(stderr, Textes::tr("tarvik-envoyer : %1\n").arg(ligne));
    for (const QString &derive : AvertissementsDerive(course))
        Ecrire(stderr, Textes::tr("tarvik-envoyer : attention, %1.\n").arg(derive));
}

int executer(PosteEnvoi &poste, const Programme &programme,
             const std::function<std::optional<RefusEnvoi>()> &lancer, Sortie &sortie, int reveil)
{
    if (reveil < 0)
        return erreur(PortIndisponible, Echec{Textes::tr("signaux impossibles à surveiller")});
    poste.setReveil(reveil);
    int signal = 0;
    QStringList notes;
    // A signal is the operator's Stop: nothing more is sent.
    QSocketNotifier signaux(reveil, QSocketNotifier::Read);
    QObject::connect(&signaux, &QSocketNotifier::activated, [&] {
        if (const int recu = SignalRecu(); recu && !signal)
            signal = recu;
        poste.interrompre();
    });
    QObject::connect(&poste, &PosteEnvoi::ligneRemise,
                     [&sortie](const QString &ligne) { sortie.ecrire(ligne + u'\n'); });
    QObject::connect(&poste, &PosteEnvoi::journalRate, [&notes](const Echec &rate) {
        if (notes.isEmpty()) // said once
            notes << rate.message;
    });
    suivreProgres(poste, programme);
    std::optional<FinEnvoi> fin;
    QEventLoop boucle;
    QObject::connect(&poste, &PosteEnvoi::termine, [&](const FinEnvoi &vue) {
        fin = vue;
        boucle.quit();
    });
    if (const auto refus = lancer())
        return direRefus(*refus);
    if (!fin)
        boucle.exec();
    if (!signal) // the send gave up on it before it was read
        signal = SignalRecu();
    if (!sortie.erreur().isEmpty()) // the board has the lines: the code stays
        notes << Textes::tr("les lignes envoyées n'ont pas pu être écrites sur la sortie "
                            "standard (%1)")
                     .arg(sortie.erreur());
    return direFin(*fin, signal, notes);
}
