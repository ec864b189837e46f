// The program parser: an accepted program has steps within the limits, each
// grid forms a valid sequence, and the program forms back to bytes that give
// the same program. Where its run takes each axis agrees with itself: a
// travel limit as wide as the farthest position keeps it, one step less
// does not.
#include "core/course.h"
#include "core/fichiers.h"
#include "core/programme.h"
#include "invariants.h"

using namespace tarvik::core;

namespace {

void verifierEtape(const EtapeProgramme &etape, bool derniere)
{
    verifierSequence(FormerSequence(etape.grille));
    exiger(etape.attenteDixiemes >= 0 && etape.attenteDixiemes <= AttenteMaxDixiemes,
           "attente de 0 à 3600 s");
    exiger(!derniere || etape.attenteDixiemes == 0, "aucune attente après la dernière étape");
    exiger(etape.nom.toUcs4().size() <= LongueurMaxNom, "nom de 40 caractères au plus");
    exiger(etape.nom == etape.nom.trimmed(), "nom sans blancs autour");
    for (QChar c : etape.nom)
        exiger(c.category() != QChar::Other_Control && c.category() != QChar::Other_Format,
               "nom sans caractère de contrôle ni de mise en forme");
}

void verifierCourse(const Programme &programme)
{
    const Course course(programme, 0, programme.repetitions);
    for (int numero = 1; numero <= NombreAxes; ++numero) {
        const CourseAxe &axe = course.axe(numero);
        exiger(axe.plusBas <= 0 && axe.plusHaut >= 0, "le départ est entre les extrêmes");
        exiger(axe.arrivee.has_value() == !axe.inconnue, "une fin connue, sauf position inconnue");
        const qint64 loin = std::max(-axe.plusBas, axe.plusHaut);
        const auto dedans = course.sortie(numero, loin);
        exiger(!dedans || !dedans->position, "la plus large course suffit");
        const auto dehors = course.sortie(numero, loin - 1);
        exiger(loin == 0 || (dehors && dehors->position &&
                             (*dehors->position == loin || *dehors->position == -loin)),
               "une course plus étroite est dépassée, au plus loin");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QByteArray contenu(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    const ProgrammeAnalyse lu = AnalyserProgramme(contenu);
    if (lu.echec) {
        exiger(!lu.programme, "un refus ne rend aucun programme");
        const EchecProgramme &echec = *lu.echec;
        const qsizetype ligne = echec.genre == EchecProgramme::Genre::Sequence && echec.sequence
                                    ? echec.sequence->ligne
                                    : echec.ligne;
        exiger(contenu.size() > TailleMaxProgramme ||
                   echec.genre == EchecProgramme::Genre::SequenceTropGrosse ||
                   (ligne >= 1 && ligne <= LignesNommables(contenu)),
               "le refus nomme sa ligne");
        return 0;
    }
    const Programme &programme = *lu.programme;
    exiger(!programme.etapes.isEmpty() && programme.etapes.size() <= EtapesMax,
           "de 1 à 1000 étapes");
    exiger(programme.repetitions >= 1 && programme.repetitions <= RepetitionsMax,
           "de 1 à 10000 répétitions");
    for (qsizetype k = 0; k < programme.etapes.size(); ++k)
        verifierEtape(programme.etapes[k], k + 1 == programme.etapes.size());
    const QByteArray octets = FormerProgramme(programme);
    const ProgrammeAnalyse relu = AnalyserProgramme(octets);
    exiger(relu.programme && *relu.programme == programme, "un programme formé se relit le même");
    exiger(FormerProgramme(*relu.programme) == octets, "un programme se forme toujours pareil");
    verifierCourse(programme);
    return 0;
}
