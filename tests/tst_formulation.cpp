// The words of the facts that core, system, port and run return, in French
// and in English: one row for each kind of fact, word for word.
#include "app/formulation.h"
#include "app/langue.h"
#include "course_essai.h"

#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <functional>

using namespace tarvik::app;

namespace {

struct Mots {
    const char *nom;
    std::function<QString()> formule;
    const char16_t *francais, *anglais;
};

using G = LectureCase::Genre;
using R = RefusCase::Genre;
using S = EchecSequence::Genre;
using N = RefusNom::Genre;
using P = EchecProgramme::Genre;
using V = RefusValeur::Genre;
using L = EchecLecture::Genre;
using A = EchecAjout::Genre;
using D = EchecDossierPrive::Genre;
using E = EchecEnregistrement::Genre;
using T = EchecProtection::Genre;
using O = RefusVerrou::Genre;
using X = EchecTrace::Genre;
using W = AvertissementPort::Genre;
constexpr NiveauLimite Machine = NiveauLimite::Machine, Vous = NiveauLimite::Operateur;

QString lecture(G genre, const char *champ, const char *prefixe = "", const char *avecPoint = "")
{
    return Formuler(LectureCase{genre, QString::fromUtf8(champ), QString::fromUtf8(prefixe),
                                QString::fromUtf8(avecPoint)});
}

ValeurRefusee valeur(int axe, const char *nom, Colonne colonne, const char *texte, RefusCase raison)
{
    return {.axe = axe,
            .nom = QString::fromUtf8(nom),
            .colonne = colonne,
            .texte = QString::fromUtf8(texte),
            .raison = raison};
}

ValeurRefusee enEtape(ValeurRefusee valeur, int etape, const char *nom)
{
    valeur.etape = etape;
    valeur.nomEtape = QString::fromUtf8(nom);
    return valeur;
}

QString course(PointDecrit point, std::optional<qint64> position, QChar direction, int borne,
               NiveauLimite niveau)
{
    ValeurRefusee refus{.axe = 2};
    refus.course = CourseRefusee{point, position, direction, borne, niveau};
    return Formuler(refus);
}

QString sequence(qsizetype ligne, S genre, QChar lettre = {}, const char *champ = "",
                 qsizetype longueur = 0, quint8 octet = 0)
{
    return Formuler(EchecSequence{genre, ligne, lettre, QString::fromUtf8(champ), longueur, octet});
}

QString programme(P genre, qsizetype ligne = 0, const char *mot = "", const char *cle = "")
{
    return Formuler(EchecProgramme{genre, ligne, QString::fromUtf8(mot), QString::fromUtf8(cle)});
}

QString refus(V genre, const char *texte = "", qint64 longueur = 0, qint64 max = 0,
              char32_t point = 0, ChampLimite champ = ChampLimite::Pas)
{
    return Formuler(RefusValeur{.genre = genre,
                                .champ = champ,
                                .texte = QString::fromUtf8(texte),
                                .point = point,
                                .longueur = longueur,
                                .max = max});
}

QString formes()
{
    using F = RefusValeur::Forme;
    QStringList dites;
    for (F forme : {F::Guillemets, F::Arobase, F::BarreInverse, F::Virgule, F::BlancEnBordure})
        dites << Formuler(RefusValeur{.genre = V::FormeEtrangere, .forme = forme});
    return dites.join(u'\n');
}

QString cles(const QByteArray &contenu, bool limites)
{
    const auto echec =
        limites ? AnalyserLimites(contenu, Vous).echec : AnalyserReglages(contenu).echec;
    return echec ? Formuler(*echec) : QString();
}

QString douteux(const char *chemin,
                const std::variant<EchecLecture, EchecCles, EchecProtection> &raison)
{
    return Formuler(FichierLimitesDouteux{QString::fromUtf8(chemin), raison});
}

EchecProtection protection(T genre, const char *chemin, quint32 qui, quint32 mode,
                           const char *commandes = "", int erreur = 0)
{
    return {genre, QString::fromUtf8(chemin), qui, mode, erreur, QString::fromUtf8(commandes)};
}

QString erreurs(std::initializer_list<int> codes)
{
    QStringList dites;
    for (int code : codes)
        dites << TexteErreurSysteme(code);
    return dites.join(u'|');
}

// A send that failed `ou`, the port unplugged: `lignes`
// lines gone, the next one left unfinished or not, on a line of `genre`,
// after an opening that threw `jetes` bytes away and sent a lone line feed
// for `coupure`.
QString envoi(EchecEnvoi::Moment ou, qsizetype lignes = 0, bool inachevee = false,
              GenreLigne genre = GenreLigne::PortSerie, int jetes = 0,
              Coupure coupure = Coupure::Aucune)
{
    ResultatEnvoi resultat;
    resultat.lignes = QStringList(lignes, QStringLiteral("A+00000:002"));
    resultat.ligneInachevee = inachevee;
    resultat.genre = genre;
    resultat.octetsJetes = jetes;
    resultat.ligneNeuve = coupure;
    resultat.echec =
        EchecEnvoi{Refus(EchecLien::Genre::PortDebranche, {RaisonPort::Genre::Debranche}), ou};
    return TexteEchec(resultat);
}

// clang-format off
const Mots Table[] = {
    // The grid.
    {"axe", [] { return NomAxe(3) + u'|' + AxeNomme(5, QStringLiteral("Pince")); }, u"Axe 03|Pince (E)", u"Axis 03|Pince (E)"},
    {"colonnes", [] { return NomColonne(Colonne::Pas) + u'|' + NomColonne(Colonne::Direction) + u'|' + NomColonne(Colonne::Vitesse); }, u"Pas|Direction|Vitesse", u"Steps|Direction|Speed"},
    {"lu : vide", [] { return lecture(G::Vide, "00000"); }, u"case vide, lue comme 00000", u"empty box, read as 00000"},
    {"lu : préfixe sans chiffre", [] { return lecture(G::PrefixeSansChiffre, "00000", "&H"); },
     u"lu comme 00000 : « &H » annonce un nombre hexadécimal ou octal, et aucun de ses chiffres ne le suit", u"read as 00000: “&H” announces a hexadecimal or octal number, and none of its digits follows it"},
    {"lu : préfixe", [] { return lecture(G::Prefixe, "00016"); }, u"lu comme 00016 : « &H » et « &O » annoncent un nombre hexadécimal ou octal", u"read as 00016: “&H” and “&O” start a hexadecimal or octal number"},
    {"lu : blancs", [] { return lecture(G::BlancsIgnores, "00012"); }, u"lu comme 00012 : les blancs sont ignorés", u"read as 00012: blanks are ignored"},
    {"lu : aucun chiffre", [] { return lecture(G::AucunChiffre, "00000"); },
     u"lu comme 00000 : la case ne contient aucun chiffre, et une case sans nombre vaut 0", u"read as 00000: the box holds no digit, and a box without a number counts as 0"},
    {"lu : pas un nombre au début", [] { return lecture(G::PasUnNombreAuDebut, "00000"); },
     u"lu comme 00000 : la case ne commence pas par un nombre, et seul un nombre au début est lu (sans lui, elle vaut 0)", u"read as 00000: the box does not start with a number, and only a number at the start is read (without one, it counts as 0)"},
    {"lu : virgule", [] { return lecture(G::VirguleDecimale, "00012", "", "12.7"); },
     u"lu comme 00012 : la virgule arrête le nombre ; une décimale s'écrit avec un point (« 12.7 »)", u"read as 00012: the comma ends the number; decimals are written with a point (“12.7”)"},
    {"lu : nombre du début", [] { return lecture(G::NombreDuDebut, "00001"); }, u"lu comme 00001 : seul le nombre du début est lu, puis arrondi", u"read as 00001: only the number at the start is read, then rounded"},
    {"lu : direction vide", [] { return lecture(G::DirectionVide, " "); }, u"case vide, envoyée comme une espace", u"empty box, sent as a space"},
    {"lu : premier caractère", [] { return lecture(G::PremierCaractere, "+"); }, u"seul le premier caractère part : « + »", u"only the first character goes: “+”"},
    {"refus : pas", [] { return Formuler(RefusCase{R::PasHorsPlage}); }, u"Le nombre de pas doit être compris entre 0 et 99999", u"The step count must be between 0 and 99999"},
    {"refus : vitesse", [] { return Formuler(RefusCase{R::VitesseHorsPlage}); }, u"La vitesse doit être comprise entre 0 et 255", u"The speed must be between 0 and 255"},
    {"refus : direction", [] { return Formuler(RefusCase{R::DirectionInvalide}); },
     u"La direction doit être un caractère imprimable de la page de code Windows-1252", u"The direction must be a printable character of the Windows-1252 code page"},
    {"refus : strict, direction", [] { return Formuler(RefusCase{R::StricteDirection}); }, u"La lecture stricte du banc demande exactement un caractère", u"The bench's strict reading asks for exactly one character"},
    {"refus : strict, chiffres", [] { return Formuler(RefusCase{.genre = R::StricteChiffres, .lecture = LectureCase{G::BlancsIgnores, QStringLiteral("00012")}}); },
     u"La lecture stricte du banc demande des chiffres seulement (lu comme 00012 : les blancs sont ignorés)", u"The bench's strict reading asks for digits only (read as 00012: blanks are ignored)"},
    {"refus : limite de pas", [] { return Formuler(RefusCase{.genre = R::LimitePas, .limite = 5000}) + u'|' + Formuler(RefusCase{.genre = R::LimitePas, .limite = 1, .niveau = Vous}); },
     u"Cet axe va jusqu'à 5000 pas au plus (limite de la machine)|Cet axe va jusqu'à 1 pas au plus (votre limite)", u"This axis goes up to 5000 steps at most (the machine's limit)|This axis goes up to 1 step at most (your limit)"},
    {"refus : limite de vitesse", [] { return Formuler(RefusCase{.genre = R::LimiteVitesse, .limite = 120, .niveau = Vous}); }, u"Cet axe va jusqu'à la vitesse 120 au plus (votre limite)", u"This axis goes up to speed 120 at most (your limit)"},
    {"refus : limite de directions", [] { return Formuler(RefusCase{.genre = R::LimiteDirections, .directions = QStringLiteral("+-")}); },
     u"Cet axe n'accepte que les directions « +- » (limite de la machine)", u"This axis takes only the directions “+-” (the machine's limit)"},
    {"valeur refusée", [] { return Formuler(valeur(3, "", Colonne::Vitesse, "256", {R::VitesseHorsPlage})); },
     u"Valeur refusée pour Axe 03 (C), colonne « Vitesse » : « 256 ».\nLa vitesse doit être comprise entre 0 et 255", u"Value refused for Axis 03 (C), column “Speed”: “256”.\nThe speed must be between 0 and 255"},
    {"valeur refusée, nommée", [] { return Formuler(valeur(5, "Pince", Colonne::Direction, "\t", {R::DirectionInvalide})); },
     u"Valeur refusée pour Pince (E), colonne « Direction » : « U+0009 ».\nLa direction doit être un caractère imprimable de la page de code Windows-1252", u"Value refused for Pince (E), column “Direction”: “U+0009”.\nThe direction must be a printable character of the Windows-1252 code page"},
    {"valeur refusée, en ligne", [] { return FormulerEnLigne(valeur(1, "", Colonne::Pas, "100000", {R::PasHorsPlage})); },
     u"Axe 01 (A), Pas : « 100000 » — le nombre de pas doit être compris entre 0 et 99999", u"Axis 01 (A), Steps: “100000” — the step count must be between 0 and 99999"},
    {"valeur refusée, étape", [] { return Formuler(enEtape(valeur(1, "", Colonne::Pas, "00005", {.genre = R::LimitePas, .limite = 2, .niveau = Vous}), 1, "")); },
     u"Étape 2 : Valeur refusée pour Axe 01 (A), colonne « Pas » : « 00005 ».\nCet axe va jusqu'à 2 pas au plus (votre limite)", u"Step 2: Value refused for Axis 01 (A), column “Steps”: “00005”.\nThis axis goes up to 2 steps at most (your limit)"},
    {"valeur refusée, étape nommée, en ligne", [] { return FormulerEnLigne(enEtape(valeur(1, "", Colonne::Pas, "00005", {.genre = R::LimitePas, .limite = 2, .niveau = Vous}), 2, "pose")); },
     u"Étape 3 (pose) : Axe 01 (A), Pas : « 00005 » — cet axe va jusqu'à 2 pas au plus (votre limite)", u"Step 3 (pose): Axis 01 (A), Steps: “00005” — this axis goes up to 2 steps at most (your limit)"},
    {"case lue", [] { return Formuler(CaseLue{1, {}, Colonne::Pas, QStringLiteral("1O0"), QStringLiteral("00001")}); },
     u"Axe 01 (A), Pas : « 1O0 » partira comme « 00001 »", u"Axis 01 (A), Steps: “1O0” will go out as “00001”"},
    {"case lue, vide", [] { return Formuler(CaseLue{2, QStringLiteral("Bras"), Colonne::Direction, {}, QStringLiteral(" ")}); },
     u"Bras (B), Direction : case vide, partira comme une espace", u"Bras (B), Direction: empty box, will go out as a space"},
    // Where a run takes the axes.
    {"points", [] { return PointNomme({0, 0, {}, true}) + u'|' + PointNomme({1, 0, {}, false}) + u'|' + PointNomme({0, 4, QStringLiteral("va"), false}); },
     u"cet envoi|l'étape 2 du parcours 1|l'étape 1 (va) du parcours 5", u"this send|step 2 of cycle 1|step 1 (va) of cycle 5"},
    {"course refusée", [] { return course({1, 0, {}, false}, 120, u'+', 100, Machine); },
     u"Course refusée pour Axe 02 (B) : l'étape 2 du parcours 1 l'amène à +120 pas de son départ.\nCet axe ne va pas à plus de 100 pas de son départ, d'un côté comme de l'autre (limite de la machine)",
     u"Travel refused for Axis 02 (B): step 2 of cycle 1 takes it to +120 steps from its start.\nThis axis goes no further than 100 steps from its start, either way (the machine's limit)"},
    {"course refusée, cet envoi", [] { return course({0, 0, {}, true}, -3, u'-', 1, Vous); },
     u"Course refusée pour Axe 02 (B) : cet envoi l'amène à -3 pas de son départ.\nCet axe ne va pas à plus de 1 pas de son départ, d'un côté comme de l'autre (votre limite)",
     u"Travel refused for Axis 02 (B): this send takes it to -3 steps from its start.\nThis axis goes no further than 1 step from its start, either way (your limit)"},
    {"course refusée, direction", [] { return course({1, 0, {}, false}, {}, u'x', 1000, Machine); },
     u"Course refusée pour Axe 02 (B) : l'étape 2 du parcours 1 l'envoie dans la direction « x », ni « + » ni « - » : nul ne peut dire où elle l'amène.\nCet axe ne va pas à plus de 1000 pas de son départ (limite de la machine) : chacune de ses directions doit être « + » ou « - »",
     u"Travel refused for Axis 02 (B): step 2 of cycle 1 sends it in the direction “x”, neither “+” nor “-”: no one can tell where that takes it.\nThis axis goes no further than 1000 steps from its start (the machine's limit): each of its directions must be “+” or “-”"},
    {"course refusée, en ligne", [] { ValeurRefusee v{.axe = 2}; v.course = CourseRefusee{}; return FormulerEnLigne(v); }, u"", u""},
    {"lignes de course", [] { return LignesCourse(Course(programme(QStringLiteral("B+100|B-50")), 0, 3)).join(u'\n'); },
     u"Positions comptées depuis le départ du programme, pris comme 0 : Tarvik ne sait pas où se trouve vraiment la machine.\nAxe 02 (B) : +50 pas à chaque parcours ; au plus bas 0, au plus haut +200 ; à la fin +150.",
     u"Positions counted from the program's start, taken as 0: Tarvik does not know where the machine really is.\nAxis 02 (B): +50 steps each cycle; lowest 0, highest +200; at the end +150."},
    {"course inconnue", [] { return LignesCourse(Course(programme(QStringLiteral("B+10|Bx0|B+5")), 0, 2)).last(); },
     u"Axe 02 (B) : position inconnue dès l'étape 2 du parcours 1, dont la direction « x » n'est ni « + » ni « - » ; jusque-là, au plus bas 0, au plus haut +10.",
     u"Axis 02 (B): position unknown from step 2 of cycle 1, whose direction “x” is neither “+” nor “-”; until then, lowest 0, highest +10."},
    {"course inconnue au retour", [] { return LignesCourse(Course(programme(QStringLiteral("B_0|B+5")), 1, 2)).last(); },
     u"Axe 02 (B) : position inconnue dès l'étape 1 du parcours 2, dont la direction U+0020 n'est ni « + » ni « - » ; jusque-là, au plus bas 0, au plus haut +5.",
     u"Axis 02 (B): position unknown from step 1 of cycle 2, whose direction U+0020 is neither “+” nor “-”; until then, lowest 0, highest +5."},
    {"course sans parcours", [] { return LignesCourse(Course(programme(QStringLiteral("B_0|B+5")), 1, 1)).last(); },
     u"Axe 02 (B) : au plus bas 0, au plus haut +5 ; à la fin +5.", u"Axis 02 (B): lowest 0, highest +5; at the end +5."},
    {"aucun axe ne bouge", [] { return LignesCourse(Course(programme(QStringLiteral("B+0|C+0")), 0, 2)).last(); }, u"Aucun axe ne bouge.", u"No axis moves."},
    {"dérives", [] { return AvertissementsDerive(Course(programme(QStringLiteral("B+10 C-1|C-4")), 0, 2)).join(u'\n'); },
     u"l'axe B avance de +10 pas à chaque parcours : +20 après 2 parcours\nl'axe C recule de -5 pas à chaque parcours : -10 après 2 parcours",
     u"axis B moves on by +10 steps each cycle: +20 after 2 cycles\naxis C moves back by -5 steps each cycle: -10 after 2 cycles"},
    {"dérive nommée", [] { NomsAxes noms; noms[1] = QStringLiteral("Pince"); return AvertissementsDerive(Course(programme(QStringLiteral("B+100|B-50")), 0, 3), noms).join(u'\n'); },
     u"l'axe Pince (B) avance de +50 pas à chaque parcours : +150 après 3 parcours", u"axis Pince (B) moves on by +50 steps each cycle: +150 after 3 cycles"},
    // The files' formats.
    {"séquence : lettre", [] { return sequence(1, S::LettreAttendue, u'A'); }, u"Ligne 1 : la ligne doit commencer par la lettre A (axes A à G, dans l'ordre)", u"Line 1: the line must start with the letter A (axes A to G, in order)"},
    {"séquence : chiffres du pas", [] { return sequence(3, S::ChiffresPas, u'C', "0000", 4); }, u"Ligne 3 : le nombre de pas doit compter 5 chiffres, et « 0000 » en a 4", u"Line 3: the step count must have 5 digits, and “0000” has 4"},
    {"séquence : direction oubliée", [] { return sequence(3, S::ChiffresPasSansDirection, u'C', "0100", 4); },
     u"Ligne 3 : le nombre de pas doit compter 5 chiffres, et « 0100 » en a 4 (ou la direction manque entre la lettre et le nombre de pas, comme C+00100:010)",
     u"Line 3: the step count must have 5 digits, and “0100” has 4 (or the direction is missing between the letter and the step count, as in C+00100:010)"},
    {"séquence : chiffres de la vitesse", [] { return sequence(6, S::ChiffresVitesse, u'F', "0020", 4); }, u"Ligne 6 : la vitesse doit compter 3 chiffres, et « 0020 » en a 4", u"Line 6: the speed must have 3 digits, and “0020” has 4"},
    {"séquence : longueur", [] { return sequence(3, S::Longueur, u'C', "", 12); },
     u"Ligne 3 : la ligne doit compter 11 caractères, comme C+00100:010, et elle en compte 12", u"Line 3: the line must be 11 characters long, like C+00100:010, and it is 12"},
    {"séquence : direction", [] { return sequence(7, S::DirectionIllisible, u'G', "", 0, 0x09); }, u"Ligne 7 : la direction (octet 0x09) n'est pas un caractère imprimable", u"Line 7: the direction (byte 0x09) is not a printable character"},
    {"séquence : pas", [] { return sequence(2, S::PasNonChiffres, u'B', "00U+000D00"); }, u"Ligne 2 : le nombre de pas doit compter 5 chiffres de 0 à 9, et non « 00U+000D00 »", u"Line 2: the step count must have 5 digits from 0 to 9, not “00U+000D00”"},
    {"séquence : deux-points", [] { return sequence(5, S::SeparateurAttendu, u'E', ";"); }, u"Ligne 5 : « : » est attendu après le nombre de pas, et non « ; »", u"Line 5: “:” is expected after the step count, not “;”"},
    {"séquence : vitesse", [] { return sequence(6, S::VitesseNonChiffres, u'F', "0x2"); }, u"Ligne 6 : la vitesse doit compter 3 chiffres de 0 à 9, et non « 0x2 »", u"Line 6: the speed must have 3 digits from 0 to 9, not “0x2”"},
    {"séquence : vitesse 256", [] { return sequence(4, S::VitesseTropGrande, u'D', "256"); }, u"Ligne 4 : la vitesse 256 dépasse 255", u"Line 4: the speed 256 is over 255"},
    {"séquence : ligne manquante", [] { return sequence(7, S::LigneManquante); }, u"Ligne 7 : ligne manquante : il faut sept lignes, de A à G", u"Line 7: missing line: there must be seven lines, A to G"},
    {"séquence : saut final", [] { return sequence(7, S::SautFinalManquant); }, u"Ligne 7 : le saut de ligne final manque", u"Line 7: the final line feed is missing"},
    {"séquence : après G", [] { return sequence(8, S::RienApresG); }, u"Ligne 8 : rien ne doit suivre la ligne de l'axe G", u"Line 8: nothing may follow axis G's line"},
    {"noms : huit", [] { return Formuler(EchecNomsAxes{8, {}}); },
     u"Ligne 8 : il n'y a que sept axes : les lignes après la septième doivent rester vides", u"Line 8: there are only seven axes: the lines after the seventh must stay empty"},
    {"noms : trop long", [] { return Formuler(EchecNomsAxes{2, RefusNom{N::TropLong, 0, 41}}); }, u"Ligne 2 : le nom compte 41 caractères, 40 au plus", u"Line 2: the name is 41 characters long, 40 at most"},
    {"noms : interdits", [] { return Formuler(RefusNom{N::CaractereControle, 0x09}) + u'|' + Formuler(RefusNom{N::CaractereInvisible, 0x202E}) + u'|' + Formuler(RefusNom{N::SeparateurLigne, 0x2028}); },
     u"caractère de contrôle (U+0009) interdit|caractère de mise en forme invisible (U+202E) interdit|séparateur de ligne ou de paragraphe (U+2028) interdit",
     u"control character (U+0009) not allowed|invisible formatting character (U+202E) not allowed|line or paragraph separator (U+2028) not allowed"},
    {"noms : UTF-8", [] { return Formuler(EchecNomsAxes{3, RefusNom{N::Utf8Invalide}}); }, u"Ligne 3 : texte UTF-8 invalide", u"Line 3: invalid UTF-8 text"},
    {"programme : trop gros", [] { return programme(P::TropGros) + u'|' + programme(P::SequenceTropGrosse); }, u"le fichier dépasse 1 Mio|le fichier dépasse 64 Kio", u"the file is over 1 MiB|the file is larger than 64 KiB"},
    {"programme : séquence", [] { EchecProgramme e{P::Sequence}; e.sequence = EchecSequence{S::LigneManquante, 2}; return Formuler(e); },
     u"Ligne 2 : ligne manquante : il faut sept lignes, de A à G", u"Line 2: missing line: there must be seven lines, A to G"},
    {"programme : version", [] { return programme(P::VersionInconnue, 2); }, u"Ligne 2 : version du format inconnue : cette version de Tarvik lit « programme tarvik 1 »", u"Line 2: unknown format version: this version of Tarvik reads “programme tarvik 1”"},
    {"programme : en-tête", [] { return programme(P::EnteteAttendu, 1); },
     u"Ligne 1 : « programme tarvik 1 » est attendu en tête du fichier (seuls des commentaires et des lignes vides peuvent le précéder)",
     u"Line 1: “programme tarvik 1” is expected at the top of the file (only comments and blank lines may come before it)"},
    {"programme : repeter", [] { return programme(P::Repetitions, 2, "0"); }, u"Ligne 2 : « repeter » prend un nombre entier de 1 à 10000, et non « 0 »", u"Line 2: “repeter” takes a whole number from 1 to 10000, not “0”"},
    {"programme : mot-clé", [] { return programme(P::MotCleMalEcrit, 2, "répéter", "repeter"); },
     u"Ligne 2 : « répéter » s'écrit « repeter » : les mots-clés d'un programme n'ont ni accent ni majuscule", u"Line 2: “répéter” is written “repeter”: a program's keywords have no accents and no capitals"},
    {"programme : repeter déplacé", [] { return programme(P::RepeterDeplace, 10); },
     u"Ligne 10 : « repeter » n'a sa place qu'une fois, juste après « programme tarvik 1 », avant la première étape", u"Line 10: “repeter” belongs only once, right after “programme tarvik 1”, before the first step"},
    {"programme : en-tête déplacé", [] { return programme(P::EnteteDeplace, 2); }, u"Ligne 2 : « programme tarvik 1 » n'a sa place qu'une fois, en tête du fichier", u"Line 2: “programme tarvik 1” belongs only once, at the head of the file"},
    {"programme : fin", [] { return programme(P::FinAuLieuDEtape, 3); },
     u"Ligne 3 : le fichier s'arrête là où « etape NOM » est attendu : un programme a au moins une étape, de sept lignes", u"Line 3: the file ends where “etape NAME” is expected: a program has at least one step, of seven lines"},
    {"programme : première étape", [] { return programme(P::PremiereEtapeAttendue, 2, "etap"); },
     u"Ligne 2 : « etap » est lu là où « etape NOM » est attendu (ou « repeter N », juste après « programme tarvik 1 »)", u"Line 2: “etap” is read where “etape NAME” is expected (or “repeter N”, right after “programme tarvik 1”)"},
    {"programme : étape après attente", [] { return programme(P::EtapeApresAttente, 11, "A+00000:002"); },
     u"Ligne 11 : « A+00000:002 » est lu là où « etape NOM » est attendu : une attente est toujours suivie d'une étape", u"Line 11: “A+00000:002” is read where “etape NAME” is expected: a wait is always followed by a step"},
    {"programme : attente manquante", [] { return programme(P::AttenteManquante, 10); }, u"Ligne 10 : « attendre SECONDES » manque avant cette étape", u"Line 10: “attendre SECONDS” is missing before this step"},
    {"programme : attente attendue", [] { return programme(P::AttenteAttendue, 23, "fin"); },
     u"Ligne 23 : « fin » est lu là où « attendre SECONDES » (puis l'étape suivante) ou la fin du fichier est attendu", u"Line 23: “fin” is read where “attendre SECONDS” (then the next step) or the end of the file is expected"},
    {"programme : attente finale", [] { return programme(P::AttenteSansEtape, 20); }, u"Ligne 20 : aucune étape ne suit cette attente : la dernière étape n'en a pas", u"Line 20: no step follows this wait: the last step has none"},
    {"programme : étapes", [] { return programme(P::TropDEtapes, 9002); }, u"Ligne 9002 : un programme a au plus 1000 étapes", u"Line 9002: a program has 1000 steps at most"},
    {"programme : nom", [] { EchecProgramme e{P::NomEtape, 2}; e.nom = RefusNom{N::CaractereControle, 0x09}; return Formuler(e); }, u"Ligne 2 : caractère de contrôle (U+0009) interdit", u"Line 2: control character (U+0009) not allowed"},
    {"programme : attente", [] { return programme(P::AttenteIllisible, 10, "-1"); },
     u"Ligne 10 : l'attente s'écrit en secondes, au dixième près, comme « attendre 2.5 » ou « attendre 10 », et non « -1 »", u"Line 10: the wait is written in seconds, to the tenth, as in “attendre 2.5” or “attendre 10”, not “-1”"},
    {"programme : attente longue", [] { return programme(P::AttenteTropLongue, 10, "3600.1"); }, u"Ligne 10 : l'attente de 3600.1 s dépasse 3600 s, le plus long permis", u"Line 10: the wait of 3600.1 s goes past 3600 s, the longest allowed"},
    {"valeur : vide", [] { return refus(V::Vide); }, u"valeur vide", u"empty value"},
    {"valeur : formes", [] { return formes(); },
     u"valeur écrite sous une forme que Tarvik ne lit pas : des guillemets en tête\nvaleur écrite sous une forme que Tarvik ne lit pas : « @ » en tête, comme un @Variant\nvaleur écrite sous une forme que Tarvik ne lit pas : une barre oblique inverse\nvaleur écrite sous une forme que Tarvik ne lit pas : une virgule, comme une liste\nvaleur écrite sous une forme que Tarvik ne lit pas : un blanc en bordure",
     u"value written in a form Tarvik does not read: quotes at the start\nvalue written in a form Tarvik does not read: “@” at the start, as in an @Variant\nvalue written in a form Tarvik does not read: a backslash\nvalue written in a form Tarvik does not read: a comma, as in a list\nvalue written in a form Tarvik does not read: a blank at either end"},
    {"valeur : chemin relatif", [] { return refus(V::CheminRelatif); },
     u"c'est un chemin relatif, qui mènerait ailleurs selon le dossier d'où le programme est lancé : le chemin doit partir de la racine (/)",
     u"it is a relative path, which would lead elsewhere depending on the folder the program is started from: the path must start at the root (/)"},
    {"valeur : trop longue", [] { return refus(V::TropLongue, "", 5001, 4096); }, u"valeur de 5001 caractères, 4096 au plus", u"value of 5001 characters, 4096 at most"},
    {"valeur : invisible", [] { return refus(V::Invisible, "", 0, 0, 0x1B); }, u"caractère de contrôle ou invisible (U+001B) dans la valeur", u"control or invisible character (U+001B) in the value"},
    {"valeur : langue", [] { return refus(V::LangueInconnue, "xx"); }, u"langue inconnue « xx » (fr, en)", u"unknown language “xx” (fr, en)"},
    {"valeur : oui ou non", [] { return refus(V::NiOuiNiNon, "Non"); }, u"« Non » au lieu de oui ou non", u"“Non” instead of oui or non"},
    {"valeur : en chiffres", [] { return refus(V::PasEnChiffres, "-5", 0, 99999999, 0, ChampLimite::Course); },
     u"la course doit s'écrire en chiffres seuls, de 0 à 99999999 (« -5 »)", u"the travel must be written in digits alone, from 0 to 99999999 (“-5”)"},
    {"valeur : dépasse", [] { return refus(V::Depasse, "100000", 0, 99999) + u'|' + refus(V::Depasse, "256", 0, 255, 0, ChampLimite::Vitesse); },
     u"le nombre de pas 100000 dépasse 99999|la vitesse 256 dépasse 255", u"the step count 100000 is over 99999|the speed 256 is over 255"},
    {"valeur : aucune direction", [] { return refus(V::AucuneDirection); }, u"aucune direction donnée", u"no direction given"},
    {"valeur : direction blanche", [] { return refus(V::DirectionBlanche, " ", 0, 0, U' '); }, u"une direction ne peut pas être un blanc (U+0020)", u"a direction cannot be a blank (U+0020)"},
    {"valeur : direction impossible", [] { return refus(V::DirectionImpossible, "Ω", 0, 0, 0x3A9); },
     u"« Ω » (U+03A9) n'est pas une direction possible : il faut un caractère imprimable de Windows-1252", u"“Ω” (U+03A9) cannot be a direction: it takes a printable Windows-1252 character"},
    {"valeur : direction deux fois", [] { return refus(V::DirectionDeuxFois, "+"); }, u"la direction « + » est donnée deux fois", u"the direction “+” is given twice"},
    {"valeur : lecture", [] { return refus(V::LectureInconnue, "oui"); }, u"la lecture est « stricte » ou « souple », pas « oui »", u"reading is “stricte” or “souple”, not “oui”"},
    {"clés : BOM", [] { return cles("\xEF\xBB\xBF" "A.pas=1\n", true); },
     u"ligne 1 : marque d'ordre des octets (BOM) au début du fichier : enregistrez-le en UTF-8 sans BOM", u"line 1: byte order mark (BOM) at the start of the file: save it as UTF-8 without a BOM"},
    {"clés : groupe", [] { return cles("[Serial]\nport=/dev/ttyUSB0\n", false); }, u"ligne 1 : groupe inconnu « [Serial] » (le seul groupe est [General])", u"line 1: unknown group “[Serial]” (the only group is [General])"},
    {"clés : sans =", [] { return cles("[General]\nport\n", false); },
     u"ligne 2 : « = » manque dans « port » : une ligne s'écrit clé=valeur, comme port=/dev/ttyUSB0", u"line 2: “=” is missing in “port”: a line is written key=value, as in port=/dev/ttyUSB0"},
    {"clés : casse", [] { return cles("[General]\nPort=/dev/ttyUSB0\n", false); },
     u"ligne 2 : clé « Port » : écrivez « port », les clés distinguent majuscules et minuscules", u"line 2: key “Port”: write “port”, keys are case-sensitive"},
    {"clés : inconnue, réglages", [] { return cles("couleur=bleu\n", false); },
     u"ligne 1 : clé inconnue « couleur » (les clés sont port, langue, designation, journal_systeme, dossier, recent1, recent2, recent3, recent4, recent5, recent6)", u"line 1: unknown key “couleur” (the keys are port, langue, designation, journal_systeme, dossier, recent1, recent2, recent3, recent4, recent5, recent6)"},
    {"clés : inconnue, limites", [] { return cles("[Limites]\nH.pas=5\n", true); },
     u"ligne 2 : clé inconnue « H.pas » (les clés sont lecture, et pour chaque axe de A à G : A.pas, A.vitesse, A.directions, A.course)",
     u"line 2: unknown key “H.pas” (the keys are lecture, and for each axis from A to G: A.pas, A.vitesse, A.directions, A.course)"},
    {"clés : deux fois", [] { return cles("A.pas=1\n#\nA.pas=2\n", true); }, u"ligne 3 : « A.pas » est donnée deux fois", u"line 3: “A.pas” is given twice"},
    {"clés : valeur", [] { return cles("A.vitesse=256\n", true); }, u"ligne 1 (A.vitesse) : la vitesse 256 dépasse 255", u"line 1 (A.vitesse): the speed 256 is over 255"},
    {"secondes", [] { return TexteSecondes(2000) + u'|' + TexteSecondes(1500) + u'|' + TexteSecondes(250); }, u"2 s|1,5 s|0,25 s", u"2 s|1.5 s|0.25 s"},
    {"langues", [] { return NomsDeLangue(Langues()[0]) + u'|' + NomsDeLangue(Langues()[1]); }, u"Français (français)|English (anglais)", u"Français (French)|English (English)"},
    // The system.
    {"erreurs", [] { return erreurs({ENOSPC, EIO, EDQUOT, EROFS, EACCES, ECHILD}); },
     u"plus de place sur le disque|erreur d'entrée-sortie|quota d'espace disque dépassé|système de fichiers en lecture seule|permission refusée|erreur système 10 (ECHILD)",
     u"no space left on the disk|input/output error|disk quota exceeded|read-only file system|permission denied|system error 10 (ECHILD)"},
    {"lecture", [] { return Formuler(EchecLecture{L::Absent}) + u'|' + Formuler(EchecLecture{L::Impossible, EACCES}) + u'|' + Formuler(EchecLecture{L::PasOrdinaire}) + u'|' + Formuler(EchecLecture{L::Interrompue}); },
     u"le fichier n'existe pas|lecture impossible (permission refusée)|ce n'est pas un fichier ordinaire|lecture interrompue", u"the file does not exist|cannot read (permission denied)|it is not a regular file|reading interrupted"},
    {"lecture : trop gros", [] { return Formuler(EchecLecture{L::TropGros, 0, 64 * 1024}) + u'|' + Formuler(EchecLecture{L::TropGros, 0, 256}); },
     u"le fichier dépasse 64 Kio|le fichier dépasse 256 octets", u"the file is over 64 KiB|the file is over 256 bytes"},
    {"lecture : lien", [] { return Formuler(EchecFichierCles(EchecLecture{L::LienSansCible})); }, u"c'est un lien qui ne mène à aucun fichier", u"it is a link that leads to no file"},
    {"écriture", [] { return Formuler(EchecEcriture{EchecEcriture::Genre::Impossible, ENOSPC}) + u'|' + Formuler(EchecEcriture{EchecEcriture::Genre::LienSansCible}); },
     u"plus de place sur le disque|le lien ne mène à aucun fichier", u"no space left on the disk|the link leads to no file"},
    {"écriture : pas ordinaire", [] { return Formuler(EchecEcriture{EchecEcriture::Genre::PasOrdinaire}); },
     u"ce n'est pas un fichier ordinaire (dossier, tube ou périphérique) : il n'est pas remplacé", u"it is not a regular file (a folder, a pipe or a device): it is not replaced"},
    {"ajout : dossier", [] { return Formuler(EchecAjout{A::DossierImpossible, EACCES}); }, u"enregistrement non écrit, dossier impossible à créer (permission refusée)", u"record not written, cannot create the folder (permission denied)"},
    {"ajout : ouverture", [] { return Formuler(EchecAjout{A::OuvertureImpossible, EROFS}); },
     u"enregistrement non écrit, ouverture impossible (système de fichiers en lecture seule)", u"record not written, cannot open (read-only file system)"},
    {"ajout : pas ordinaire", [] { return Formuler(EchecAjout{A::PasOrdinaire}); },
     u"enregistrement non écrit, ce n'est pas un fichier ordinaire (dossier, tube ou lien) : il n'est pas touché", u"record not written, it is not a regular file (a folder, a pipe or a link): it is left alone"},
    {"ajout : verrou", [] { return Formuler(EchecAjout{A::VerrouImpossible, EIO}); }, u"enregistrement non écrit, verrou impossible (erreur d'entrée-sortie)", u"record not written, cannot lock (input/output error)"},
    {"ajout : tenu", [] { return Formuler(EchecAjout{A::TenuAilleurs}); }, u"enregistrement non écrit, un autre programme le tient depuis plus de 10 s", u"record not written, another program has held it for more than 10 s"},
    {"ajout : écriture", [] { return Formuler(EchecAjout{A::EcritureImpossible, ENOSPC}); }, u"enregistrement non écrit, écriture impossible (plus de place sur le disque)", u"record not written, cannot write (no space left on the disk)"},
    {"ajout : déchiré", [] { return Formuler(EchecAjout{A::EcritureDechiree, ENOSPC, EIO}); },
     u"enregistrement non écrit, écriture impossible (plus de place sur le disque), et le début de l'enregistrement est resté dans le fichier (erreur d'entrée-sortie)",
     u"record not written, cannot write (no space left on the disk), and the start of the record stayed in the file (input/output error)"},
    {"ajout : rotation", [] { return Formuler(EchecAjout{A::RotationImpossible, EISDIR, 0, QStringLiteral("/j/journal.log.1")}); },
     u"enregistrement écrit, mais le fichier n'a pas pu devenir « /j/journal.log.1 » (c'est un dossier) : il grandit au-delà de sa limite", u"record written, but the file could not become “/j/journal.log.1” (it is a folder): it grows past its limit"},
    {"ajout : vidage", [] { return Formuler(EchecAjout{A::ViderImpossible, EIO}); }, u"enregistrement écrit, mais il n'a pas pu être vidé sur le disque (erreur d'entrée-sortie)", u"record written, but it could not be flushed to the disk (input/output error)"},
    {"dossier privé : relatif", [] { return Formuler(EchecDossierPrive{D::NonAbsolu, QStringLiteral("e/t")}); }, u"e/t n'est pas un chemin absolu", u"e/t is not an absolute path"},
    {"dossier privé : créé, ouvert", [] { const QString e = QStringLiteral("/e/t"); return Formuler(EchecDossierPrive{D::CreationImpossible, e, EACCES}) + u'|' + Formuler(EchecDossierPrive{D::OuvertureImpossible, e, EACCES}); },
     u"/e/t ne peut pas être créé (permission refusée)|/e/t ne peut pas être ouvert (permission refusée)", u"/e/t cannot be created (permission denied)|/e/t cannot be opened (permission denied)"},
    {"dossier privé : pas un dossier, lu", [] { const QString e = QStringLiteral("/e/t"); return Formuler(EchecDossierPrive{D::PasUnDossier, e, ELOOP}) + u'|' + Formuler(EchecDossierPrive{D::LectureImpossible, e, EIO}); },
     u"/e/t ne peut pas être ouvert (ce n'est pas un dossier, ou c'est un lien)|/e/t ne peut pas être lu (erreur d'entrée-sortie)", u"/e/t cannot be opened (it is not a folder, or it is a link)|/e/t cannot be read (input/output error)"},
    {"dossier privé : à d'autres", [] { const QString e = QStringLiteral("/e/t"); return Formuler(EchecDossierPrive{D::AutreProprietaire, e, 0, 1000, 0755}) + u'|' + Formuler(EchecDossierPrive{D::OuvertAuxAutres, e, 0, 0, 0777}); },
     u"/e/t appartient à un autre utilisateur (numéro 1000)|d'autres utilisateurs peuvent écrire dans /e/t (droits 0777)", u"/e/t belongs to another user (number 1000)|other users may write in /e/t (mode 0777)"},
    {"enregistrement", [] { return Formuler(EchecEnregistrement{.genre = E::DossierImpossible, .dossier = QStringLiteral("/x/Tarvik")}) + u'|' + Formuler(EchecEnregistrement{.genre = E::MiseDeCoteImpossible, .erreur = EACCES}) + u'|' + Formuler(EchecEnregistrement{.genre = E::Ecriture, .ecriture = EchecEcriture{EchecEcriture::Genre::Impossible, ENOSPC}}); },
     u"le dossier /x/Tarvik ne peut pas être créé|le fichier illisible ne peut pas être mis de côté (permission refusée)|plus de place sur le disque",
     u"the folder /x/Tarvik cannot be created|the unreadable file cannot be set aside (permission denied)|no space left on the disk"},
    {"enregistrement : limites", [] { return Formuler(EchecEnregistrement{.genre = E::LimitesRefusees, .cles = AnalyserLimites("A.pas=100000\n", Vous).echec}); },
     u"ces limites ne peuvent pas être enregistrées : ligne 1 (A.pas) : le nombre de pas 100000 dépasse 99999", u"these limits cannot be saved: line 1 (A.pas): the step count 100000 is over 99999"},
    {"douteux : modifiable", [] { return douteux("/m/l.conf", protection(T::FichierModifiable, "/m/l.conf", 0, 0666, "sudo chmod go-w /m/l.conf")); },
     u"le fichier de limites « /m/l.conf » est douteux, car il n'est pas protégé : il appartient bien à root, mais son groupe et tous les autres peuvent le modifier (mode 0666), alors que seul root doit pouvoir le modifier. Pour le protéger : « sudo chmod go-w /m/l.conf »",
     u"the limits file “/m/l.conf” is doubtful, as it is not protected: it does belong to root, but its group and everyone else may change it (mode 0666), while only root may change it. To protect it: “sudo chmod go-w /m/l.conf”"},
    {"douteux : modifiable par tous", [] { return douteux("/m/l.conf", protection(T::FichierModifiable, "/m/l.conf", 0, 0646, "x")); },
     u"le fichier de limites « /m/l.conf » est douteux, car il n'est pas protégé : il appartient bien à root, mais tous les autres peuvent le modifier (mode 0646), alors que seul root doit pouvoir le modifier. Pour le protéger : « x »",
     u"the limits file “/m/l.conf” is doubtful, as it is not protected: it does belong to root, but everyone else may change it (mode 0646), while only root may change it. To protect it: “x”"},
    {"douteux : à un autre", [] { return douteux("/m/l.conf", protection(T::FichierAUnAutre, "/m/l.conf", 65534, 0644, "sudo chown root: /m/l.conf")); },
     u"le fichier de limites « /m/l.conf » est douteux, car il n'est pas protégé : il appartient à l'utilisateur n° 65534 et non à root (mode 0644) : cet utilisateur peut le changer. Pour le protéger : « sudo chown root: /m/l.conf »",
     u"the limits file “/m/l.conf” is doubtful, as it is not protected: it belongs to user ID 65534, not to root (mode 0644): that user can change it. To protect it: “sudo chown root: /m/l.conf”"},
    {"douteux : dossier à un autre", [] { return douteux("/m/l.conf", protection(T::DossierAUnAutre, "/m", 65534, 0755, "sudo chown root: /m")); },
     u"le fichier de limites « /m/l.conf » est douteux : le dossier « /m », sur son chemin, appartient à l'utilisateur n° 65534 (mode 0755) : chaque dossier jusqu'au fichier doit appartenir à root. Pour le protéger : « sudo chown root: /m »",
     u"the limits file “/m/l.conf” is doubtful: the folder “/m”, on its path, belongs to user ID 65534 (mode 0755): every folder down to the file must belong to root. To protect it: “sudo chown root: /m”"},
    {"douteux : dossier ouvert", [] { return douteux("/m/l.conf", protection(T::DossierModifiable, "/m", 0, 0775, "sudo chmod go-w /m")); },
     u"le fichier de limites « /m/l.conf » est douteux : le dossier « /m », sur son chemin, n'est pas protégé : son groupe peut le modifier (mode 0775), et seul root doit pouvoir le modifier. Pour le protéger : « sudo chmod go-w /m »",
     u"the limits file “/m/l.conf” is doubtful: the folder “/m”, on its path, is not protected: its group may change it (mode 0775), and only root may change it. To protect it: “sudo chmod go-w /m”"},
    {"douteux : dossier collant", [] { return douteux("/m/l.conf", protection(T::PartieAUnAutre, "/m/T", 65534, 0, "sudo chown -h root: /m/T")); },
     u"le fichier de limites « /m/l.conf » est douteux : « /m/T » appartient à l'utilisateur n° 65534, dans un dossier ouvert à tous : lui seul, ou root, peut l'y remplacer. Pour le protéger : « sudo chown -h root: /m/T »",
     u"the limits file “/m/l.conf” is doubtful: “/m/T” belongs to user ID 65534, in a folder open to everyone: only that user, or root, can replace it there. To protect it: “sudo chown -h root: /m/T”"},
    {"douteux : chemin", [] { return douteux("/m/l.conf", protection(T::Inexaminable, "/m", 0, 0, "", EACCES)) + u'|' + douteux("/m/l.conf", protection(T::LienVersRien, "/m/T", 0, 0)); },
     u"le fichier de limites « /m/l.conf » est douteux : « /m » ne peut pas être examiné (permission refusée)|le fichier de limites « /m/l.conf » est douteux : le lien « /m/T » ne mène à rien",
     u"the limits file “/m/l.conf” is doubtful: “/m” cannot be examined (permission denied)|the limits file “/m/l.conf” is doubtful: the link “/m/T” leads nowhere"},
    {"douteux : lien, dossier", [] { return douteux("/m/l.conf", protection(T::LienNonSuivi, "/m/T", 0, 0)) + u'|' + douteux("/m/l.conf", protection(T::PasUnDossier, "/m/f", 0, 0)); },
     u"le fichier de limites « /m/l.conf » est douteux : le lien « /m/T » ne peut pas être suivi|le fichier de limites « /m/l.conf » est douteux : « /m/f » n'est pas un dossier",
     u"the limits file “/m/l.conf” is doubtful: the link “/m/T” cannot be followed|the limits file “/m/l.conf” is doubtful: “/m/f” is not a folder"},
    {"douteux : pas compris", [] { return douteux("/m/l.conf", *AnalyserLimites("B.pas=5\n#\nB.pas=1\n", Machine).echec); },
     u"le fichier de limites « /m/l.conf » est douteux : ligne 3 : « B.pas » est donnée deux fois", u"the limits file “/m/l.conf” is doubtful: line 3: “B.pas” is given twice"},
    {"douteux : deux fichiers", [] { return Formuler(LimitesDouteuses{{{QStringLiteral("/m/l.conf"), EchecLecture{L::Impossible, EACCES}}, {QStringLiteral("/o/l.conf"), EchecLecture{L::LienSansCible}}}}); },
     u"le fichier de limites « /m/l.conf » est douteux : lecture impossible (permission refusée) ; le fichier de limites « /o/l.conf » est douteux : c'est un lien qui ne mène à aucun fichier",
     u"the limits file “/m/l.conf” is doubtful: cannot read (permission denied); the limits file “/o/l.conf” is doubtful: it is a link that leads to no file"},
    // How a send failed, said whole: where, the lines that went, the opening's notes.
    {"envoi : ouverture", [] { return envoi(EchecEnvoi::Moment::Ouverture, 0, false, GenreLigne::PortSerie, 9); }, 
     u"port débranché.\nRien n'a été envoyé",
     u"port unplugged.\nNothing was sent"},
    {"envoi : saut de ligne seul", [] { return envoi(EchecEnvoi::Moment::LigneNeuve); }, 
     u"port débranché.\nRien n'a été envoyé, pas même le saut de ligne seul qui devait séparer ce qu'un envoi précédent, coupé, a pu laisser à la carte",
     u"port unplugged.\nNothing was sent, not even the lone line feed that was to set apart what an earlier, cut send may have left at the board"},
    {"envoi : aucune ligne", [] { return envoi(EchecEnvoi::Moment::Lignes); }, 
     u"port débranché.\nAucune ligne n'a été envoyée",
     u"port unplugged.\nNo line was sent"},
    {"envoi : ligne en partie, série", [] { return envoi(EchecEnvoi::Moment::Lignes, 1, true); }, 
     u"port débranché.\nLignes parties avant l'échec : A. La ligne B n'est partie qu'en partie, et le reste a été retiré : la carte a pu en recevoir le début, une ligne incomplète. La prochaine séquence sur ce port commencera par un saut de ligne seul",
     u"port unplugged.\nLines that went out before the failure: A. Line B went out only in part, and the rest was taken back: the board may have received its start, an incomplete line. The next sequence on this port will start with a lone line feed"},
    {"envoi : ligne en partie, notes", [] { return envoi(EchecEnvoi::Moment::Lignes, 2, true, GenreLigne::PseudoTerminal, 5, Coupure::Marque); }, 
     u"port débranché.\nLignes parties avant l'échec : A à B. La ligne C n'a été remise qu'en partie au programme d'en face : ce début y reste, et la carte peut le recevoir comme une ligne incomplète. La prochaine séquence sur ce port commencera par un saut de ligne seul.\nUne séquence précédente, interrompue, avait laissé des octets en attente sur le port (5) : ils ont été abandonnés avant cette séquence, et la carte a pu recevoir une ligne incomplète.\nUn envoi précédent sur ce port s'est arrêté au milieu d'une ligne, et l'a marqué dans le dossier des verrous : un saut de ligne seul est parti avant la première ligne, pour que la carte écarte comme une ligne à part le début de ligne qu'elle a pu en recevoir",
     u"port unplugged.\nLines that went out before the failure: A to B. Line C was handed only in part to the program at the other end: that start stays there, and the board may receive it as an incomplete line. The next sequence on this port will start with a lone line feed.\nAn earlier sequence, interrupted, had left bytes waiting on the port (5): they were dropped before this sequence, and the board may have received an incomplete line.\nAn earlier send on this port stopped in the middle of a line, and marked it in the lock folder: a lone line feed went out before the first line, so that the board drops the start of a line it may have received as a line of its own"},
    {"envoi : coupures", [] { return NoteLigneNeuve(Coupure::CeLien) + u'|' + NoteLigneNeuve(Coupure::Aucune); }, 
     u"La séquence précédente sur ce port s'est arrêtée au milieu d'une ligne : un saut de ligne seul est parti avant la première ligne, pour que la carte écarte comme une ligne à part le début de ligne qu'elle a pu en recevoir|",
     u"The previous sequence on this port stopped in the middle of a line: a lone line feed went out before the first line, so that the board drops the start of a line it may have received as a line of its own|"},
    // The locks: why they keep the port, with what they quote; what an opening tells.
    {"verrou : illisible", [] { const QString f = QStringLiteral("/v/LCK..a"); return Formuler(RefusVerrou{.genre = O::Illisible, .fichier = f, .lecture = EchecLecture{L::Absent}, .proprietaire = QStringLiteral("alice")}) + u'|' + Formuler(RefusVerrou{.genre = O::Illisible, .fichier = f}); },
     u"port occupé : le verrou /v/LCK..a est illisible (le fichier n'existe pas). Il appartient à l'utilisateur alice : s'il n'appartient à aucun programme, un administrateur doit le supprimer|port occupé : le verrou /v/LCK..a est illisible (il ne désigne aucun processus lisible). Supprimez-le s'il n'appartient à aucun programme",
     u"port busy: the lock /v/LCK..a is unreadable (the file does not exist). It belongs to user alice: if it belongs to no program, an administrator must delete it|port busy: the lock /v/LCK..a is unreadable (it names no readable process). Delete it if it belongs to no program"},
    {"verrou : hors de vue, autre espace", [] { const QString f = QStringLiteral("/v/LCK..a"); return Formuler(RefusVerrou{.genre = O::HorsDeVue, .fichier = f, .processus = {1234}, .peripherique = QStringLiteral("/dev/ttyS0")}) + u'|' + Formuler(RefusVerrou{.genre = O::AutreEspace, .fichier = f, .processus = {4321, QStringLiteral("minicom"), QStringLiteral("bob")}, .pid = 12}); },
     u"port occupé : le verrou /v/LCK..a nomme le processus 1234, que ce programme ne peut pas voir d'ici (il tourne dans un autre espace de noms de processus, ou /proc en cache) : un programme que vous ne pouvez pas voir peut tenir le port. Un administrateur peut le nommer, avec « fuser -v /dev/ttyS0 » ou d'après le verrou, et supprimer celui-ci s'il n'appartient à aucun programme|port occupé par le processus 4321 (minicom, de l'utilisateur bob), qui porte le numéro 12 dans un autre espace de noms de processus (verrou /v/LCK..a)",
     u"port busy: the lock /v/LCK..a names process 1234, which this program cannot see from here (it runs in another pid namespace, or /proc hides it): a program you cannot see may hold the port. An administrator can name it, with “fuser -v /dev/ttyS0” or from the lock, and remove the lock if it belongs to no program|port busy: held by process 4321 (minicom, run by bob), which bears the number 12 in another pid namespace (lock /v/LCK..a)"},
    {"verrou : création", [] { const auto creation = [](int erreur) { return Formuler(RefusVerrou{.genre = O::CreationImpossible, .fichier = QStringLiteral("/v/LCK..a"), .dossier = QStringLiteral("/v"), .erreur = erreur}); }; return creation(EACCES) + u'|' + creation(EIO); },
     u"le verrou /v/LCK..a ne peut pas être créé (permission refusée) : sans lui, les autres programmes série ne verraient pas que le port est pris. Le dossier des verrous /v devrait être ouvert à tous, comme sur une installation habituelle (droits 1777) : un administrateur peut le rétablir, par exemple avec chmod 1777 /v|le verrou /v/LCK..a ne peut pas être créé (erreur d'entrée-sortie) : sans lui, les autres programmes série ne verraient pas que le port est pris",
     u"the lock /v/LCK..a cannot be created (permission denied): without it, other serial programs would not see that the port is taken. The lock folder /v should be open to all, as on a usual installation (mode 1777): an administrator can restore it, for example with chmod 1777 /v|the lock /v/LCK..a cannot be created (input/output error): without it, other serial programs would not see that the port is taken"},
    {"verrou : sans marque", [] { return Formuler(RefusVerrou{.genre = O::SansMarque, .fichier = QStringLiteral("/v/LCK..a"), .marques = {{X::Ecriture, QStringLiteral("/v/.tarvik.coupe.4.64"), EACCES}, {X::PriseParAutre, QStringLiteral("/t/coupe.4.64"), 0, QStringLiteral("bob")}}}); },
     u"port occupé : le verrou /v/LCK..a, d'un envoi de ce programme arrêté brutalement, reste en place, car la marque qui fera commencer l'envoi suivant par un saut de ligne seul ne peut être écrite nulle part (/v/.tarvik.coupe.4.64 (permission refusée) ; /t/coupe.4.64 est pris par autre chose qu'une marque de ce programme, de l'utilisateur bob)",
     u"port busy: the lock /v/LCK..a, of a send of this program that was killed, stays in place, because the mark that will make the next send start with a lone line feed cannot be written anywhere (/v/.tarvik.coupe.4.64 (permission denied) ; /t/coupe.4.64 is taken by something other than a mark of this program, belonging to user bob)"},
    {"avertissements", [] { return Formuler(QList<AvertissementPort>{{.genre = W::VerrouIgnore, .fichier = QStringLiteral("/v/LCK..a"), .pid = 77, .erreur = EIO}, {.genre = W::SansTrace, .trace = {.genre = X::DossierPrive, .dossier = EchecDossierPrive{D::NonAbsolu, QStringLiteral("e")}}}}).join(u'|'); },
     u"Le verrou périmé /v/LCK..a (le processus 77 n'existe plus) n'a pas pu être supprimé (erreur d'entrée-sortie) : il est ignoré|Sans dossier des verrous, la trace de cet envoi ne peut pas être gardée (e n'est pas un chemin absolu) : chaque envoi commencera par un saut de ligne seul",
     u"The stale lock /v/LCK..a (process 77 no longer exists) could not be deleted (input/output error): it is ignored|With no lock folder, the trace of this send cannot be kept (e is not an absolute path): every send will start with a lone line feed"},
};
// clang-format on

} // namespace

class TestFormulation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mots_data();
    void mots();
};

void TestFormulation::mots_data()
{
    QTest::addColumn<int>("ligne");
    for (int k = 0; k < int(std::size(Table)); ++k)
        QTest::newRow(Table[k].nom) << k;
}

// Each fact worded whole, in the language in force when it is worded.
void TestFormulation::mots()
{
    QFETCH(int, ligne);
    const Mots &mots = Table[ligne];
    const auto retablir = qScopeGuard([] { InstallerLangue(QStringLiteral("fr")); });
    InstallerLangue(QStringLiteral("fr"));
    QCOMPARE(mots.formule(), QString::fromUtf16(mots.francais));
    InstallerLangue(QStringLiteral("en"));
    QCOMPARE(mots.formule(), QString::fromUtf16(mots.anglais));
}

QTEST_GUILESS_MAIN(TestFormulation)
#include "tst_formulation.moc"
