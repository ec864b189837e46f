// The operator's words for what the layers below say happened. core,
// system, port and run return facts (a kind and its data); this module
// alone makes sentences of them, in the language in force when it is
// called, one source file per domain: formulation_grille.cpp (the grid and
// its values), formulation_course.cpp (where a run takes the axes),
// formulation_fichiers.cpp (the files' formats, durations, languages),
// formulation_systeme.cpp (reading, writing, appending, the settings and
// limits files), formulation_port.cpp (the port's failures),
// formulation_verrous.cpp (the locks' refusals, the traces of a cut, the
// opening's warnings) and formulation_envoi.cpp (a run's failure, its
// steps). Both front
// ends and the board's window word through it. A sentence carries no final
// full stop: whoever shows it ends it, or adds to it.
#pragma once

#include "app/couche.h"
#include "core/course.h"
#include "core/echec.h"
#include "core/fichiers.h"
#include "core/langues.h"
#include "core/programme.h"
#include "port/etat_port.h"
#include "run/envoyer_sequence.h"
#include "run/execution_programme.h"
#include "run/journal.h"
#include "system/ajout.h"
#include "system/dossier_prive.h"
#include "system/ecriture.h"
#include "system/fichier_limites.h"
#include "system/fichier_reglages.h"
#include "system/lecture.h"

#include <QString>
#include <QStringList>

namespace tarvik::app {

// The grid (formulation_grille.cpp).
QString NomAxe(int numero);                       // "Axe 03"
QString AxeNomme(int numero, const QString &nom); // "Pince (A)", "Axe 01 (A)"
QString NomColonne(Colonne colonne);              // "Pas", as the grid's heading
QString Formuler(const LectureCase &lecture);     // "lu comme 00001 : les blancs sont ignorés"
QString Formuler(const RefusCase &raison);        // "La vitesse doit être comprise entre 0 et 255"
// A value refused, whole: the box (or the travel), then why, over two lines.
QString Formuler(const ValeurRefusee &valeur);
// The same on one line, for a list of several; empty where the value is not
// a box's (a travel).
QString FormulerEnLigne(const ValeurRefusee &valeur);
// "Axe 01 (A), Pas : « 1O0 » partira comme « 00001 »"
QString Formuler(const CaseLue &lue);

// Where a run takes the axes (formulation_course.cpp).
// "l'étape 3 (prise) du parcours 2", "cet envoi" for a run of one step.
QString PointNomme(const PointDecrit &point);
QString PointNomme(const Course &course, PointCourse point);
// A travel refused, for `axe` as AxeNomme names it.
QString Formuler(const CourseRefusee &refus, const QString &axe);
// The travel figures as lines of text: first that the start is taken as 0,
// then, for each axis that moves, its travel per cycle, lowest and highest
// positions and position at the end, or from which step it is unknown.
QStringList LignesCourse(const Course &course, const NomsAxes &noms = {});
// A warning for each axis a run of more than one cycle drives a little
// further at every cycle: "l'axe B avance de +50 pas à chaque parcours :
// +150 après 3 parcours". A warning, never a refusal.
QStringList AvertissementsDerive(const Course &course, const NomsAxes &noms = {});

// The files' formats (formulation_fichiers.cpp).
QString Formuler(const EchecSequence &echec); // "Ligne 3 : …"
QString Formuler(const RefusNom &raison);
QString Formuler(const EchecNomsAxes &echec);
QString Formuler(const EchecProgramme &echec);
QString Formuler(const RefusValeur &raison); // a settings or limits value
QString Formuler(const EchecCles &echec);    // "ligne 3 (port) : …"
// A duration to the millisecond: "2 s", "0,5 s" in French (its decimal
// comma), "0.5 s" in English.
QString TexteSecondes(qint64 ms);
// "English (anglais)": a language's name in itself, then in the language spoken now.
QString NomsDeLangue(const Langue &langue);

// The system (formulation_systeme.cpp).
// A system error (errno), never the C library's English text.
QString TexteErreurSysteme(int erreur);
QString Formuler(const EchecLecture &echec);
QString Formuler(const EchecEcriture &echec);
// Says whether the record was written ("enregistrement écrit, mais…") or
// not ("enregistrement non écrit, …").
QString Formuler(const EchecAjout &echec);
QString Formuler(const EchecDossierPrive &echec);
QString Formuler(const EchecFichierCles &echec);
QString Formuler(const EchecEnregistrement &echec);
// "le fichier de limites « … » est douteux : …", each file, " ; " between them.
QString Formuler(const FichierLimitesDouteux &douteux);
QString Formuler(const LimitesDouteuses &douteuses);

// A program's run (formulation_envoi.cpp).
// The run of a program, `cycles` times, as the operator reads what happened
// to it: "étapes 1 à 2 envoyées au cycle 1 sur 3", "aucune étape envoyée".
QString EtapesEnvoyees(const ResultatProgramme &resultat, int cycles);
// "l'étape 3 (prise)", "l'étape 3".
QString DesignationEtape(const Programme &programme, int etape);
// The steps a run from step `depuis` leaves out of its first cycle: "étape
// 1 non envoyée", "étapes 1 à 3 non envoyées au cycle 1"; empty from the
// first step.
QString EtapesSautees(int depuis, int cycles);

// What the operator is told when the opening threw away `octets` bytes an
// earlier, interrupted run had left queued; empty when it threw none.
QString NoteOctetsJetes(int octets);
// What the operator is told when a run started with a lone line feed, for
// `coupure`; empty for Coupure::Aucune.
QString NoteLigneNeuve(Coupure coupure);
// What the opening of a run that went through tells the operator: bytes
// thrown away, a lone line feed sent first; none when it tells nothing.
QStringList NotesOuverture(const ResultatEnvoi &resultat);
// A run's failure said whole: the port's failure, which lines went (or that
// nothing did) and how the run started; empty when it did not fail.
QString TexteEchec(const ResultatEnvoi &resultat);

// A failure said whole, with its kind, for a front end that tells a
// failure by both.
struct EchecDit : Echec {
    EchecLien::Genre genre = EchecLien::Genre::OuvertureEchouee;
};
// The same as TexteEchec, with its kind.
std::optional<EchecDit> EchecEntier(const ResultatEnvoi &resultat);

// A run's reason in its record: its failure said whole, or what its opening
// tells (NotesOuverture), ". " between them.
QString RaisonEnregistrement(const ResultatEnvoi &resultat);

// The system journal's line for a record, in the language in force: how the
// run ended, on which port, "Séquence envoyée sur /dev/ttyS0 (7 lignes)".
QString MessageJournalSysteme(const EnregistrementEnvoi &envoi);

// The port (formulation_port.cpp).
// A failure of the link: "Port série /dev/ttyUSB0 : port absent", "Port
// série 1 (/dev/ttyS0) : …", "Port série inconnu : …".
QString Formuler(const EchecLien &echec);
// "le processus 1234 (minicom, de l'utilisateur alice)"
QString Formuler(const Processus &processus);
// What the port found: "c'est un tube, pas un port série", "port absent".
QString Formuler(const RaisonPort &raison);
// Why the port is busy or refused, in a few words: "minicom (1234,
// alice)", "dossier des verrous fermé"; empty when there is nothing to say.
QString RaisonEtat(const EtatPort &etat);
// Why no port is chosen: "aucun port n'a été donné", "les réglages … sont
// illisibles (…) : …".
QString Formuler(const PortInconnu &inconnu);

// The locks and the traces of a cut (formulation_verrous.cpp).
// Why the locks keep the port: "port occupé par le processus 1234 (minicom)
// (verrou /var/lock/LCK..ttyS0)", "le verrou … ne peut pas être créé (…)".
QString Formuler(const RefusVerrou &refus);
// Why a trace of a cut could not be kept in one place:
// "/var/lock/.tarvik.coupe.4.64 (permission refusée)".
QString Formuler(const EchecTrace &echec);
// What an opening that went through tells, each: "Le verrou périmé … est
// ignoré".
QString Formuler(const AvertissementPort &avertissement);
QStringList Formuler(const QList<AvertissementPort> &avertissements);

} // namespace tarvik::app
