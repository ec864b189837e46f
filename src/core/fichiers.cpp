#include "core/fichiers.h"

#include <QCoreApplication>
#include <QList>
#include <QStringDecoder>
#include <algorithm>

namespace {

// The texts of this file, in the operator's language.
struct Textes {
    Q_DECLARE_TR_FUNCTIONS(Fichiers)
};

Echec ligne(qsizetype numero, const QString &texte)
{
    return {Textes::tr("Ligne %1 : %2").arg(numero).arg(texte)};
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

// Checks line k of a sequence file, and reads its fields into `rangee`;
// why it is refused, or an empty text.
QString lireLigneSequence(int k, const QByteArray &l, TextesRangee &rangee)
{
    const QChar lettre = LettreAxe(k);
    if (l.isEmpty() || QChar::fromLatin1(l[Champ::Lettre]) != lettre)
        return Textes::tr("la ligne doit commencer par la lettre %1 (axes A à G, dans "
                          "l'ordre)")
            .arg(lettre);
    if (l.size() != Champ::Fin)
        return Textes::tr("la ligne doit compter %1 caractères, comme %2+00100:010, et elle "
                          "en compte %3")
            .arg(Champ::Fin)
            .arg(lettre)
            .arg(l.size());
    QStringDecoder decodeur("windows-1252");
    const QString direction = decodeur.decode(l.mid(Champ::Direction, 1));
    if (direction.size() != 1 || !DirectionValide(direction[0]))
        return Textes::tr("la direction (octet 0x%1) n'est pas un caractère imprimable")
            .arg(quint8(l[Champ::Direction]), 2, 16, QChar(u'0'));
    const QByteArray pas = l.mid(Champ::Pas, Champ::ChiffresPas);
    const QByteArray vitesse = l.mid(Champ::Vitesse, Champ::ChiffresVitesse);
    if (!chiffres(pas))
        return Textes::tr("le nombre de pas doit compter cinq chiffres");
    if (QChar::fromLatin1(l[Champ::Separateur]) != QChar(SeparateurLigne))
        return Textes::tr("« %1 » est attendu après le nombre de pas").arg(QChar(SeparateurLigne));
    if (!chiffres(vitesse))
        return Textes::tr("la vitesse doit compter trois chiffres");
    if (vitesse.toInt() > VitesseMax)
        return Textes::tr("la vitesse %1 dépasse %2")
            .arg(QString::fromLatin1(vitesse))
            .arg(VitesseMax);
    rangee = {QString::fromLatin1(pas), direction, QString::fromLatin1(vitesse)};
    return {};
}

// The kinds of characters a name may not hold, named for the message.
QString genreInterdit(QChar::Category categorie)
{
    switch (categorie) {
    case QChar::Other_Control:
        return Textes::tr("caractère de contrôle");
    case QChar::Other_Format:
        return Textes::tr("caractère de mise en forme invisible");
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return Textes::tr("séparateur de ligne ou de paragraphe");
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

SequenceLue LireSequence(const QByteArray &contenu)
{
    SequenceLue lue;
    bool termine = false;
    const QList<QByteArray> ls = lignes(contenu, termine);
    for (int k = 1; k <= NombreAxes; ++k) {
        if (k > ls.size()) {
            lue.echec = ligne(k, Textes::tr("ligne manquante : il faut sept lignes, de A à G"));
            return lue;
        }
        const QString refus = lireLigneSequence(k, ls[k - 1], lue.rangees[k]);
        if (!refus.isEmpty()) {
            lue.echec = ligne(k, refus);
            return lue;
        }
    }
    if (ls.size() == NombreAxes && !termine) {
        lue.echec = ligne(NombreAxes, Textes::tr("le saut de ligne final manque"));
        return lue;
    }
    for (qsizetype k = NombreAxes; k < ls.size(); ++k) {
        if (!blanche(ls[k])) {
            lue.echec = ligne(k + 1, Textes::tr("rien ne doit suivre la ligne de l'axe G"));
            return lue;
        }
    }
    return lue;
}

QByteArray EcrireSequence(const Grille &axes)
{
    QByteArray octets;
    for (int i = 1; i <= NombreAxes; ++i)
        octets += OctetsLigne(axes[i]);
    return octets;
}

NomsLus LireNomsAxes(const QByteArray &contenu)
{
    NomsLus lus;
    bool termine = false;
    QList<QByteArray> ls = lignes(contenu, termine);
    if (!ls.isEmpty() && ls[0].startsWith("\xEF\xBB\xBF"))
        ls[0].remove(0, 3); // byte order mark
    for (qsizetype k = 1; k <= ls.size(); ++k) {
        QStringDecoder decodeur(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString texte = decodeur.decode(ls[k - 1]);
        if (decodeur.hasError()) {
            lus.echec = ligne(k, Textes::tr("texte UTF-8 invalide"));
            return lus;
        }
        for (QChar c : texte) {
            if (const QString genre = genreInterdit(c.category()); !genre.isEmpty()) {
                lus.echec = ligne(k, Textes::tr("%1 (%2) interdit").arg(genre, CodePoint(c)));
                return lus;
            }
        }
        const QString nom = texte.trimmed();
        if (!std::any_of(nom.begin(), nom.end(), visible))
            continue;
        if (k > NombreAxes) {
            lus.echec = ligne(k, Textes::tr("il n'y a que sept axes : les lignes après la "
                                            "septième doivent rester vides"));
            return lus;
        }
        const qsizetype longueur = nom.toUcs4().size();
        if (longueur > LongueurMaxNom) {
            lus.echec = ligne(k, Textes::tr("le nom compte %1 caractères, %2 au plus")
                                     .arg(longueur)
                                     .arg(LongueurMaxNom));
            return lus;
        }
        lus.noms[k] = nom;
    }
    return lus;
}
