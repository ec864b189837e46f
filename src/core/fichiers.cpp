#include "core/fichiers.h"

#include <QList>
#include <QStringDecoder>
#include <algorithm>

namespace tarvik::core {

namespace {

using Genre = EchecSequence::Genre;

bool chiffres(QByteArrayView octets)
{
    for (char c : octets)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool blanche(QByteArrayView octets)
{
    for (char c : octets)
        if (c != ' ' && c != '\t' && c != '\r')
            return false;
    return true;
}

// The lines of a text file: split at line feeds, one CR before each dropped.
// `termine` says whether the last line had its line feed.
QList<QByteArray> lignes(const QByteArray &contenu, bool &termine)
{
    QList<QByteArray> resultat = contenu.split('\n');
    termine = resultat.last().isEmpty();
    if (termine)
        resultat.removeLast();
    for (QByteArray &l : resultat)
        if (l.endsWith('\r'))
            l.chop(1);
    return resultat;
}

// A field's bytes as a message quotes them: each character as itself when
// it prints, else spelled out (U+000D).
QString cite(const QByteArray &octets)
{
    QStringDecoder decodeur("windows-1252");
    const QString texte = decodeur.decode(octets);
    QString cite;
    for (const QChar c : texte)
        cite += c.isPrint() ? QString(c) : CodePoint(c.unicode());
    return cite;
}

// A line of the wrong length, told by the field at fault when the ':'
// sets the step count apart from the speed and that field holds digits
// alone; else by the whole line's length.
EchecSequence longueurFautive(QChar lettre, const QByteArray &l)
{
    const qsizetype deuxPoints = l.indexOf(char(SeparateurLigne), Champ::Pas);
    const QByteArray pas =
        deuxPoints < 0 ? QByteArray() : l.mid(Champ::Pas, deuxPoints - Champ::Pas);
    const QByteArray vitesse = deuxPoints < 0 ? QByteArray() : l.mid(deuxPoints + 1);
    const auto mauvaiseTaille = [](const QByteArray &champ, qsizetype taille) {
        return !champ.isEmpty() && champ.size() != taille && chiffres(champ);
    };
    if (mauvaiseTaille(pas, Champ::ChiffresPas)) {
        const char direction = l[Champ::Direction];
        const bool chiffre = direction >= '0' && direction <= '9';
        return {.genre = chiffre ? Genre::ChiffresPasSansDirection : Genre::ChiffresPas,
                .lettre = lettre,
                .champ = cite(pas),
                .longueur = pas.size()};
    }
    if (mauvaiseTaille(vitesse, Champ::ChiffresVitesse))
        return {.genre = Genre::ChiffresVitesse,
                .lettre = lettre,
                .champ = cite(vitesse),
                .longueur = vitesse.size()};
    return {.genre = Genre::Longueur, .lettre = lettre, .longueur = l.size()};
}

// Parses line k of a sequence file into `axe`; why it is refused, or
// nothing.
std::optional<EchecSequence> analyserLigne(int k, const QByteArray &l, Axe &axe)
{
    const QChar lettre = LettreAxe(k);
    if (l.isEmpty() || QChar::fromLatin1(l[Champ::Lettre]) != lettre)
        return EchecSequence{.genre = Genre::LettreAttendue, .lettre = lettre};
    if (l.size() != Champ::Fin)
        return longueurFautive(lettre, l);
    QStringDecoder decodeur("windows-1252");
    const QString direction = decodeur.decode(l.mid(Champ::Direction, 1));
    if (direction.size() != 1 || !DirectionValide(direction[0]))
        return EchecSequence{.genre = Genre::DirectionIllisible,
                             .lettre = lettre,
                             .octet = quint8(l[Champ::Direction])};
    const QByteArray pas = l.mid(Champ::Pas, Champ::ChiffresPas);
    const QByteArray vitesse = l.mid(Champ::Vitesse, Champ::ChiffresVitesse);
    if (!chiffres(pas))
        return EchecSequence{.genre = Genre::PasNonChiffres, .lettre = lettre, .champ = cite(pas)};
    if (QChar::fromLatin1(l[Champ::Separateur]) != QChar(SeparateurLigne))
        return EchecSequence{.genre = Genre::SeparateurAttendu,
                             .lettre = lettre,
                             .champ = cite(l.mid(Champ::Separateur, 1))};
    if (!chiffres(vitesse))
        return EchecSequence{
            .genre = Genre::VitesseNonChiffres, .lettre = lettre, .champ = cite(vitesse)};
    if (vitesse.toInt() > VitesseMax)
        return EchecSequence{.genre = Genre::VitesseTropGrande,
                             .lettre = lettre,
                             .champ = QString::fromLatin1(vitesse)};
    axe = {lettre, direction[0], pas.toInt(), std::uint8_t(vitesse.toInt())};
    return std::nullopt;
}

// The kinds of characters a name may not hold; nothing for any other.
std::optional<RefusNom::Genre> genreInterdit(QChar::Category categorie)
{
    switch (categorie) {
    case QChar::Other_Control:
        return RefusNom::Genre::CaractereControle;
    case QChar::Other_Format:
        return RefusNom::Genre::CaractereInvisible;
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return RefusNom::Genre::SeparateurLigne;
    default:
        return std::nullopt;
    }
}

// A character that leaves a mark on the label: not a space, not a mark alone.
bool visible(QChar c)
{
    switch (c.category()) {
    case QChar::Separator_Space:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing:
        return false;
    default:
        return true;
    }
}

} // namespace

SequenceAnalysee AnalyserSequence(const QByteArray &contenu)
{
    SequenceAnalysee analysee;
    const auto refuser = [&analysee](qsizetype k, EchecSequence echec) {
        echec.ligne = k;
        analysee.echec = echec;
        return analysee;
    };
    bool termine = false;
    const QList<QByteArray> ls = lignes(contenu, termine);
    std::array<Axe, NombreAxes> axes{};
    for (int k = 1; k <= NombreAxes; ++k) {
        if (k > ls.size())
            return refuser(k, {.genre = Genre::LigneManquante});
        if (const auto refus = analyserLigne(k, ls[k - 1], axes[std::size_t(k - 1)]))
            return refuser(k, *refus);
    }
    if (ls.size() == NombreAxes && !termine)
        return refuser(NombreAxes, {.genre = Genre::SautFinalManquant});
    for (qsizetype k = NombreAxes; k < ls.size(); ++k)
        if (!blanche(ls[k]))
            return refuser(k + 1, {.genre = Genre::RienApresG});
    analysee.grille = Grille(axes);
    return analysee;
}

QByteArray FormerSequence(const Grille &grille)
{
    QByteArray octets;
    for (const QString &ligne : grille.lignes())
        octets += FormerLigne(ligne);
    return octets;
}

NomAnalyse AnalyserNom(const QByteArray &octets)
{
    QStringDecoder decodeur(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString texte = decodeur.decode(octets);
    if (decodeur.hasError())
        return {{}, RefusNom{.genre = RefusNom::Genre::Utf8Invalide}};
    for (const char32_t c : texte.toUcs4())
        if (const auto genre = genreInterdit(QChar::category(c)))
            return {{}, RefusNom{.genre = *genre, .point = c}};
    const QString nom = texte.trimmed();
    if (!std::any_of(nom.begin(), nom.end(), visible))
        return {};
    const qsizetype longueur = nom.toUcs4().size();
    if (longueur > LongueurMaxNom)
        return {{}, RefusNom{.genre = RefusNom::Genre::TropLong, .longueur = longueur}};
    return {nom, std::nullopt};
}

NomsAnalyses AnalyserNomsAxes(const QByteArray &contenu)
{
    NomsAnalyses analyses;
    bool termine = false;
    QList<QByteArray> ls = lignes(contenu, termine);
    if (!ls.isEmpty() && ls[0].startsWith("\xEF\xBB\xBF"))
        ls[0].remove(0, 3); // byte order mark
    for (qsizetype k = 1; k <= ls.size(); ++k) {
        const NomAnalyse lu = AnalyserNom(ls[k - 1]);
        if (lu.raison) {
            analyses.echec = EchecNomsAxes{.ligne = k, .nom = lu.raison};
            return analyses;
        }
        if (lu.nom.isEmpty())
            continue;
        if (k > NombreAxes) {
            analyses.echec = EchecNomsAxes{.ligne = k};
            return analyses;
        }
        analyses.noms[std::size_t(k - 1)] = lu.nom;
    }
    return analyses;
}

} // namespace tarvik::core
