#include "core/fichiers.h"

#include <QCoreApplication>
#include <QList>
#include <QStringDecoder>
#include <algorithm>

namespace tarvik::core {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Fichiers)
};

Echec ligne(qsizetype numero, const QString &texte)
{
    return {Mots::tr("Ligne %1 : %2").arg(numero).arg(texte)};
}

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
QString longueurFautive(QChar lettre, const QByteArray &l)
{
    const qsizetype deuxPoints = l.indexOf(char(SeparateurLigne), Champ::Pas);
    const QByteArray pas =
        deuxPoints < 0 ? QByteArray() : l.mid(Champ::Pas, deuxPoints - Champ::Pas);
    const QByteArray vitesse = deuxPoints < 0 ? QByteArray() : l.mid(deuxPoints + 1);
    const auto mauvaiseTaille = [](const QByteArray &champ, qsizetype taille) {
        return !champ.isEmpty() && champ.size() != taille && chiffres(champ);
    };
    if (mauvaiseTaille(pas, Champ::ChiffresPas)) {
        const QString raison = Mots::tr("le nombre de pas doit compter %1 chiffres, et « %2 » "
                                        "en a %3")
                                   .arg(Champ::ChiffresPas)
                                   .arg(cite(pas))
                                   .arg(pas.size());
        const char direction = l[Champ::Direction];
        if (direction < '0' || direction > '9')
            return raison;
        return Mots::tr("%1 (ou la direction manque entre la lettre et le nombre de pas, "
                        "comme %2+00100:010)")
            .arg(raison)
            .arg(lettre);
    }
    if (mauvaiseTaille(vitesse, Champ::ChiffresVitesse))
        return Mots::tr("la vitesse doit compter %1 chiffres, et « %2 » en a %3")
            .arg(Champ::ChiffresVitesse)
            .arg(cite(vitesse))
            .arg(vitesse.size());
    return Mots::tr("la ligne doit compter %1 caractères, comme %2+00100:010, et elle "
                    "en compte %3")
        .arg(Champ::Fin)
        .arg(lettre)
        .arg(l.size());
}

// Parses line k of a sequence file into `axe`; why it is refused, or an
// empty text.
QString analyserLigne(int k, const QByteArray &l, Axe &axe)
{
    const QChar lettre = LettreAxe(k);
    if (l.isEmpty() || QChar::fromLatin1(l[Champ::Lettre]) != lettre)
        return Mots::tr("la ligne doit commencer par la lettre %1 (axes A à G, dans "
                        "l'ordre)")
            .arg(lettre);
    if (l.size() != Champ::Fin)
        return longueurFautive(lettre, l);
    QStringDecoder decodeur("windows-1252");
    const QString direction = decodeur.decode(l.mid(Champ::Direction, 1));
    if (direction.size() != 1 || !DirectionValide(direction[0]))
        return Mots::tr("la direction (octet 0x%1) n'est pas un caractère imprimable")
            .arg(quint8(l[Champ::Direction]), 2, 16, QChar(u'0'));
    const QByteArray pas = l.mid(Champ::Pas, Champ::ChiffresPas);
    const QByteArray vitesse = l.mid(Champ::Vitesse, Champ::ChiffresVitesse);
    if (!chiffres(pas))
        return Mots::tr("le nombre de pas doit compter %1 chiffres de 0 à 9, et non « %2 »")
            .arg(Champ::ChiffresPas)
            .arg(cite(pas));
    if (QChar::fromLatin1(l[Champ::Separateur]) != QChar(SeparateurLigne))
        return Mots::tr("« %1 » est attendu après le nombre de pas, et non « %2 »")
            .arg(QChar(SeparateurLigne))
            .arg(cite(l.mid(Champ::Separateur, 1)));
    if (!chiffres(vitesse))
        return Mots::tr("la vitesse doit compter %1 chiffres de 0 à 9, et non « %2 »")
            .arg(Champ::ChiffresVitesse)
            .arg(cite(vitesse));
    if (vitesse.toInt() > VitesseMax)
        return Mots::tr("la vitesse %1 dépasse %2")
            .arg(QString::fromLatin1(vitesse))
            .arg(VitesseMax);
    axe = {lettre, direction[0], pas.toInt(), std::uint8_t(vitesse.toInt())};
    return {};
}

// The kinds of characters a name may not hold, named for the message.
QString genreInterdit(QChar::Category categorie)
{
    switch (categorie) {
    case QChar::Other_Control:
        return Mots::tr("caractère de contrôle");
    case QChar::Other_Format:
        return Mots::tr("caractère de mise en forme invisible");
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return Mots::tr("séparateur de ligne ou de paragraphe");
    default:
        return {};
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
    const auto refuser = [&analysee](qsizetype k, const QString &raison) {
        analysee.echec = ligne(k, raison);
        analysee.ligne = k;
        analysee.raison = raison;
        return analysee;
    };
    bool termine = false;
    const QList<QByteArray> ls = lignes(contenu, termine);
    std::array<Axe, NombreAxes> axes{};
    for (int k = 1; k <= NombreAxes; ++k) {
        if (k > ls.size())
            return refuser(k, Mots::tr("ligne manquante : il faut sept lignes, de A à G"));
        const QString refus = analyserLigne(k, ls[k - 1], axes[std::size_t(k - 1)]);
        if (!refus.isEmpty())
            return refuser(k, refus);
    }
    if (ls.size() == NombreAxes && !termine)
        return refuser(NombreAxes, Mots::tr("le saut de ligne final manque"));
    for (qsizetype k = NombreAxes; k < ls.size(); ++k)
        if (!blanche(ls[k]))
            return refuser(k + 1, Mots::tr("rien ne doit suivre la ligne de l'axe G"));
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
        return {{}, Mots::tr("texte UTF-8 invalide")};
    for (const char32_t c : texte.toUcs4())
        if (const QString genre = genreInterdit(QChar::category(c)); !genre.isEmpty())
            return {{}, Mots::tr("%1 (%2) interdit").arg(genre, CodePoint(c))};
    const QString nom = texte.trimmed();
    if (!std::any_of(nom.begin(), nom.end(), visible))
        return {};
    const qsizetype longueur = nom.toUcs4().size();
    if (longueur > LongueurMaxNom)
        return {
            {},
            Mots::tr("le nom compte %1 caractères, %2 au plus").arg(longueur).arg(LongueurMaxNom)};
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
            analyses.echec = ligne(k, *lu.raison);
            return analyses;
        }
        if (lu.nom.isEmpty())
            continue;
        if (k > NombreAxes) {
            analyses.echec = ligne(k, Mots::tr("il n'y a que sept axes : les lignes après la "
                                               "septième doivent rester vides"));
            return analyses;
        }
        analyses.noms[std::size_t(k - 1)] = lu.nom;
    }
    return analyses;
}

} // namespace tarvik::core
