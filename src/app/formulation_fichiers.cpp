// The files' formats in words: sequence files, axis names, programs, the
// settings' and the limits' keys and values; durations and languages.
#include "app/formulation.h"

#include <QCoreApplication>

namespace tarvik::app {

namespace {

// The texts of this file, in the operator's language, each in the context
// its format's texts have always had.
struct MotsFichiers {
    Q_DECLARE_TR_FUNCTIONS(Fichiers)
};
struct MotsProgramme {
    Q_DECLARE_TR_FUNCTIONS(Programme)
};
struct MotsCles {
    Q_DECLARE_TR_FUNCTIONS(FichierCles)
};
struct MotsLimites {
    Q_DECLARE_TR_FUNCTIONS(Limites)
};
struct MotsReglages {
    Q_DECLARE_TR_FUNCTIONS(Reglages)
};
struct MotsLangues {
    Q_DECLARE_TR_FUNCTIONS(Langues)
};

// The steps' digits miscounted, or the direction missing before them.
QString raisonChiffresPas(const EchecSequence &echec)
{
    const QString raison = MotsFichiers::tr("le nombre de pas doit compter %1 chiffres, et « %2 » "
                                            "en a %3")
                               .arg(Champ::ChiffresPas)
                               .arg(echec.champ)
                               .arg(echec.longueur);
    if (echec.genre == EchecSequence::Genre::ChiffresPas)
        return raison;
    return MotsFichiers::tr("%1 (ou la direction manque entre la lettre et le nombre de pas, "
                            "comme %2+00100:010)")
        .arg(raison)
        .arg(echec.lettre);
}

// Why a line of a sequence file is refused, after its number.
QString raison(const EchecSequence &echec)
{
    using G = EchecSequence::Genre;
    switch (echec.genre) {
    case G::LettreAttendue:
        return MotsFichiers::tr("la ligne doit commencer par la lettre %1 (axes A à G, dans "
                                "l'ordre)")
            .arg(echec.lettre);
    case G::ChiffresPas:
    case G::ChiffresPasSansDirection:
        return raisonChiffresPas(echec);
    case G::ChiffresVitesse:
        return MotsFichiers::tr("la vitesse doit compter %1 chiffres, et « %2 » en a %3")
            .arg(Champ::ChiffresVitesse)
            .arg(echec.champ)
            .arg(echec.longueur);
    case G::Longueur:
        return MotsFichiers::tr("la ligne doit compter %1 caractères, comme %2+00100:010, et elle "
                                "en compte %3")
            .arg(Champ::Fin)
            .arg(echec.lettre)
            .arg(echec.longueur);
    case G::DirectionIllisible:
        return MotsFichiers::tr("la direction (octet 0x%1) n'est pas un caractère imprimable")
            .arg(echec.octet, 2, 16, QChar(u'0'));
    case G::PasNonChiffres:
        return MotsFichiers::tr("le nombre de pas doit compter %1 chiffres de 0 à 9, et non « %2 »")
            .arg(Champ::ChiffresPas)
            .arg(echec.champ);
    case G::SeparateurAttendu:
        return MotsFichiers::tr("« %1 » est attendu après le nombre de pas, et non « %2 »")
            .arg(QChar(SeparateurLigne))
            .arg(echec.champ);
    case G::VitesseNonChiffres:
        return MotsFichiers::tr("la vitesse doit compter %1 chiffres de 0 à 9, et non « %2 »")
            .arg(Champ::ChiffresVitesse)
            .arg(echec.champ);
    case G::VitesseTropGrande:
        return MotsFichiers::tr("la vitesse %1 dépasse %2").arg(echec.champ).arg(VitesseMax);
    case G::LigneManquante:
        return MotsFichiers::tr("ligne manquante : il faut sept lignes, de A à G");
    case G::SautFinalManquant:
        return MotsFichiers::tr("le saut de ligne final manque");
    case G::RienApresG:
        break;
    }
    return MotsFichiers::tr("rien ne doit suivre la ligne de l'axe G");
}

QString ligne(qsizetype numero, const QString &texte)
{
    return MotsFichiers::tr("Ligne %1 : %2").arg(numero).arg(texte);
}

// Why a program's line is refused where a step or a wait is read.
QString raisonEtapes(const EchecProgramme &echec)
{
    using G = EchecProgramme::Genre;
    switch (echec.genre) {
    case G::FinAuLieuDEtape:
        return MotsProgramme::tr(
            "le fichier s'arrête là où « etape NOM » est attendu : un programme a "
            "au moins une étape, de sept lignes");
    case G::PremiereEtapeAttendue:
        return MotsProgramme::tr("« %1 » est lu là où « etape NOM » est attendu (ou « repeter N », "
                                 "juste après « programme tarvik 1 »)")
            .arg(echec.mot);
    case G::EtapeApresAttente:
        return MotsProgramme::tr(
                   "« %1 » est lu là où « etape NOM » est attendu : une attente est toujours "
                   "suivie d'une étape")
            .arg(echec.mot);
    case G::AttenteManquante:
        return MotsProgramme::tr("« attendre SECONDES » manque avant cette "
                                 "étape");
    case G::AttenteAttendue:
        return MotsProgramme::tr("« %1 » est lu là où « attendre SECONDES » (puis "
                                 "l'étape suivante) ou la fin du fichier est "
                                 "attendu")
            .arg(echec.mot);
    case G::AttenteSansEtape:
        return MotsProgramme::tr("aucune étape ne suit cette attente : la dernière "
                                 "étape n'en a pas");
    case G::TropDEtapes:
        return MotsProgramme::tr("un programme a au plus %1 étapes").arg(EtapesMax);
    case G::NomEtape:
        return echec.nom ? Formuler(*echec.nom) : QString();
    case G::AttenteIllisible:
        return MotsProgramme::tr("l'attente s'écrit en secondes, au dixième près, comme "
                                 "« attendre 2.5 » ou « attendre 10 », et non « %1 »")
            .arg(echec.mot);
    case G::AttenteTropLongue:
        return MotsProgramme::tr("l'attente de %1 s dépasse %2 s, le plus long permis")
            .arg(echec.mot)
            .arg(AttenteMaxDixiemes / 10);
    default:
        break; // the file's head, raison()'s own
    }
    return {};
}

// Why a program's line is refused, after its number.
QString raison(const EchecProgramme &echec)
{
    using G = EchecProgramme::Genre;
    switch (echec.genre) {
    case G::TropGros:
    case G::SequenceTropGrosse:
    case G::Sequence:
        break; // said whole, with no line of their own
    case G::VersionInconnue:
        return MotsProgramme::tr("version du format inconnue : cette version de Tarvik lit "
                                 "« programme tarvik 1 »");
    case G::EnteteAttendu:
        return MotsProgramme::tr("« programme tarvik 1 » est attendu en tête du fichier (seuls "
                                 "des commentaires et des lignes vides peuvent le précéder)");
    case G::Repetitions:
        return MotsProgramme::tr("« repeter » prend un nombre entier de 1 à %1, et non « %2 »")
            .arg(RepetitionsMax)
            .arg(echec.mot);
    case G::MotCleMalEcrit:
        return MotsProgramme::tr("« %1 » s'écrit « %2 » : les mots-clés d'un programme n'ont ni "
                                 "accent ni majuscule")
            .arg(echec.mot, echec.cle);
    case G::RepeterDeplace:
        return MotsProgramme::tr(
            "« repeter » n'a sa place qu'une fois, juste après « programme tarvik "
            "1 », avant la première étape");
    case G::EnteteDeplace:
        return MotsProgramme::tr(
            "« programme tarvik 1 » n'a sa place qu'une fois, en tête du fichier");
    case G::FinAuLieuDEtape:
    case G::PremiereEtapeAttendue:
    case G::EtapeApresAttente:
    case G::AttenteManquante:
    case G::AttenteAttendue:
    case G::AttenteSansEtape:
    case G::TropDEtapes:
    case G::NomEtape:
    case G::AttenteIllisible:
    case G::AttenteTropLongue:
        return raisonEtapes(echec);
    }
    return {};
}

// What a limit is, as a refusal names it.
QString nomDuChamp(ChampLimite champ)
{
    switch (champ) {
    case ChampLimite::Pas:
        return MotsLimites::tr("le nombre de pas");
    case ChampLimite::Vitesse:
        return MotsLimites::tr("la vitesse");
    case ChampLimite::Directions:
    case ChampLimite::Course:
        break;
    }
    return MotsLimites::tr("la course");
}

// What, in a settings value, other programs would read otherwise.
QString nomDeLaForme(RefusValeur::Forme forme)
{
    using F = RefusValeur::Forme;
    switch (forme) {
    case F::Guillemets:
        return MotsReglages::tr("des guillemets en tête");
    case F::Arobase:
        return MotsReglages::tr("« @ » en tête, comme un @Variant");
    case F::BarreInverse:
        return MotsReglages::tr("une barre oblique inverse");
    case F::Virgule:
        return MotsReglages::tr("une virgule, comme une liste");
    case F::BlancEnBordure:
        break;
    }
    return MotsReglages::tr("un blanc en bordure");
}

// The keys of a file, as a refusal lists them.
QString nomsDesCles(const FormeCles &forme)
{
    if (forme.fichier == FichierCles::Limites)
        return MotsLimites::tr("lecture, et pour chaque axe de A à G : A.pas, A.vitesse, "
                               "A.directions, A.course");
    return QString::fromLatin1(forme.noms.join(", "));
}

} // namespace

QString Formuler(const EchecSequence &echec)
{
    return ligne(echec.ligne, raison(echec));
}

QString Formuler(const RefusNom &raison)
{
    using G = RefusNom::Genre;
    switch (raison.genre) {
    case G::Utf8Invalide:
        return MotsFichiers::tr("texte UTF-8 invalide");
    case G::CaractereControle:
        return MotsFichiers::tr("%1 (%2) interdit")
            .arg(MotsFichiers::tr("caractère de contrôle"), CodePoint(raison.point));
    case G::CaractereInvisible:
        return MotsFichiers::tr("%1 (%2) interdit")
            .arg(MotsFichiers::tr("caractère de mise en forme invisible"), CodePoint(raison.point));
    case G::SeparateurLigne:
        return MotsFichiers::tr("%1 (%2) interdit")
            .arg(MotsFichiers::tr("séparateur de ligne ou de paragraphe"), CodePoint(raison.point));
    case G::TropLong:
        break;
    }
    return MotsFichiers::tr("le nom compte %1 caractères, %2 au plus")
        .arg(raison.longueur)
        .arg(LongueurMaxNom);
}

QString Formuler(const EchecNomsAxes &echec)
{
    return ligne(echec.ligne, echec.nom ? Formuler(*echec.nom)
                                        : MotsFichiers::tr("il n'y a que sept axes : les lignes "
                                                           "après la septième doivent rester "
                                                           "vides"));
}

QString Formuler(const EchecProgramme &echec)
{
    using G = EchecProgramme::Genre;
    switch (echec.genre) {
    case G::TropGros:
        return MotsProgramme::tr("le fichier dépasse %1 Mio").arg(TailleMaxProgramme >> 20);
    case G::SequenceTropGrosse:
        return MotsProgramme::tr("le fichier dépasse %1 Kio").arg(TailleMaxSequence / 1024);
    case G::Sequence:
        return echec.sequence ? Formuler(*echec.sequence) : QString();
    default:
        break;
    }
    return ligne(echec.ligne, raison(echec));
}

QString Formuler(const RefusValeur &raison)
{
    using G = RefusValeur::Genre;
    switch (raison.genre) {
    case G::Vide:
        return MotsReglages::tr("valeur vide");
    case G::FormeEtrangere:
        return MotsReglages::tr("valeur écrite sous une forme que Tarvik ne lit pas : %1")
            .arg(nomDeLaForme(raison.forme));
    case G::CheminRelatif:
        return MotsReglages::tr("c'est un chemin relatif, qui mènerait ailleurs selon le dossier "
                                "d'où le programme est lancé : le chemin doit partir de la "
                                "racine (/)");
    case G::TropLongue:
        return MotsReglages::tr("valeur de %1 caractères, %2 au plus")
            .arg(raison.longueur)
            .arg(raison.max);
    case G::Invisible:
        return MotsReglages::tr("caractère de contrôle ou invisible (%1) dans la valeur")
            .arg(CodePoint(raison.point));
    case G::LangueInconnue:
        return MotsReglages::tr("langue inconnue « %1 » (%2)").arg(raison.texte, CodesDesLangues());
    case G::NiOuiNiNon:
        return MotsReglages::tr("« %1 » au lieu de oui ou non").arg(raison.texte);
    case G::PasEnChiffres:
        return MotsLimites::tr("%1 doit s'écrire en chiffres seuls, de 0 à %2 (« %3 »)")
            .arg(nomDuChamp(raison.champ))
            .arg(raison.max)
            .arg(raison.texte);
    case G::Depasse:
        return MotsLimites::tr("%1 %2 dépasse %3")
            .arg(nomDuChamp(raison.champ), raison.texte)
            .arg(raison.max);
    case G::AucuneDirection:
        return MotsLimites::tr("aucune direction donnée");
    case G::DirectionBlanche:
        return MotsLimites::tr("une direction ne peut pas être un blanc (%1)")
            .arg(CodePoint(raison.point));
    case G::DirectionImpossible:
        return MotsLimites::tr("« %1 » (%2) n'est pas une direction possible : il faut un "
                               "caractère imprimable de Windows-1252")
            .arg(raison.texte, CodePoint(raison.point));
    case G::DirectionDeuxFois:
        return MotsLimites::tr("la direction « %1 » est donnée deux fois").arg(raison.texte);
    case G::LectureInconnue:
        break;
    }
    return MotsLimites::tr("la lecture est « stricte » ou « souple », pas « %1 »")
        .arg(raison.texte);
}

QString Formuler(const EchecCles &echec)
{
    using G = EchecCles::Genre;
    QString raison;
    switch (echec.genre) {
    case G::Bom:
        raison = MotsCles::tr("marque d'ordre des octets (BOM) au début du fichier : "
                              "enregistrez-le en UTF-8 sans BOM");
        break;
    case G::GroupeInconnu:
        raison = MotsCles::tr("groupe inconnu « %1 » (le seul groupe est %2)")
                     .arg(echec.texte, QLatin1String(echec.forme.groupe));
        break;
    case G::SansEgal:
        raison = MotsCles::tr("« = » manque dans « %1 » : une ligne s'écrit "
                              "clé=valeur, comme %2")
                     .arg(echec.texte, QLatin1String(echec.forme.exemple));
        break;
    case G::Casse:
        raison = MotsCles::tr("clé « %1 » : écrivez « %2 », les clés "
                              "distinguent majuscules et minuscules")
                     .arg(echec.texte, echec.cle);
        break;
    case G::CleInconnue:
        raison = MotsCles::tr("clé inconnue « %1 » (les clés sont %2)")
                     .arg(echec.texte, nomsDesCles(echec.forme));
        break;
    case G::DeuxFois:
        raison = MotsCles::tr("« %1 » est donnée deux fois").arg(echec.cle);
        break;
    case G::Valeur:
        return MotsCles::tr("ligne %1 (%2) : %3")
            .arg(echec.ligne)
            .arg(echec.cle, echec.valeur ? Formuler(*echec.valeur) : QString());
    }
    return MotsCles::tr("ligne %1 : %2").arg(echec.ligne).arg(raison);
}

QString TexteSecondes(qint64 ms)
{
    QString decimales = QString::number(ms % 1000).rightJustified(3, u'0');
    while (decimales.endsWith(u'0'))
        decimales.chop(1);
    if (decimales.isEmpty())
        return MotsProgramme::tr("%1 s").arg(ms / 1000);
    return MotsProgramme::tr("%1,%2 s", "seconds with their decimals")
        .arg(QString::number(ms / 1000), decimales);
}

QString NomsDeLangue(const Langue &langue)
{
    // Its name in the language spoken now: one line for each language.
    QString ici = langue.code;
    if (langue.code == QLatin1String("fr"))
        ici = MotsLangues::tr("français");
    else if (langue.code == QLatin1String("en"))
        ici = MotsLangues::tr("anglais");
    return QStringLiteral("%1 (%2)").arg(langue.nom, ici);
}

} // namespace tarvik::app
