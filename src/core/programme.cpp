#include "core/programme.h"

#include "core/fichiers.h"
#include "core/noms.h"

#include <algorithm>
#include <climits>

namespace tarvik::core {

namespace {

using Genre = EchecProgramme::Genre;

// The first element of every program: the format and its version.
const QByteArray Entete = QByteArrayLiteral("programme tarvik 1");

EchecProgramme ligne(qsizetype numero, Genre genre, const QString &mot = {})
{
    return {.genre = genre, .ligne = numero, .mot = mot};
}

// The value of a run of digits, or nothing; a long one stops growing past
// any limit a program has.
std::optional<qint64> nombre(const QByteArray &texte)
{
    if (texte.isEmpty())
        return std::nullopt;
    qint64 valeur = 0;
    for (char c : texte) {
        if (c < '0' || c > '9')
            return std::nullopt;
        valeur = std::min<qint64>(valeur * 10 + (c - '0'), qint64(INT_MAX) + 1);
    }
    return valeur;
}

// Seconds as "2.5", "0" or "3600", in tenths; nothing when they are written
// otherwise (a comma, more decimals, a sign, a unit).
std::optional<qint64> dixiemes(const QByteArray &texte)
{
    const qsizetype point = texte.indexOf('.');
    const std::optional<qint64> secondes = nombre(point < 0 ? texte : texte.first(point));
    if (!secondes || point < 0)
        return secondes ? std::optional(*secondes * 10) : std::nullopt;
    const QByteArray decimale = texte.sliced(point + 1);
    const std::optional<qint64> dixieme = nombre(decimale);
    if (!dixieme || decimale.size() != 1)
        return std::nullopt;
    return *secondes * 10 + *dixieme;
}

// Whether `l` is the keyword `mot`, alone or followed by a space and
// `reste`.
bool motCle(const QByteArray &l, QByteArrayView mot, QByteArray &reste)
{
    if (l == mot) {
        reste.clear();
        return true;
    }
    if (!l.startsWith(mot) || l.size() == mot.size() || l[mot.size()] != ' ')
        return false;
    reste = l.sliced(mot.size() + 1);
    return true;
}

// A line that stands between elements: blank, or a comment.
bool sautee(QByteArrayView l)
{
    if (l.startsWith('#'))
        return true;
    return std::all_of(l.begin(), l.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// A word folded: in lower case, without its accents.
QString replie(const QString &mot)
{
    QString replie;
    for (const QChar c : mot.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            replie += c.toLower();
    return replie;
}

// The first word of a line, as a message quotes it.
QString premierMot(const QByteArray &l)
{
    const qsizetype espace = l.indexOf(' ');
    return NomLisible(NomLocal(l.first(espace < 0 ? l.size() : espace).left(40)));
}

// Why a line that stands where a step or a wait is looked for holds a
// keyword the reader knows, but cannot take there: written with an accent
// or a capital, or out of its place. Nothing for any other line.
std::optional<EchecProgramme> motCleFautif(qsizetype numero, const QByteArray &l)
{
    const QString ecrit = premierMot(l);
    for (const char *mot : {"programme", "repeter", "etape", "attendre"})
        if (const QLatin1String cle(mot); ecrit != cle && replie(ecrit) == cle) {
            EchecProgramme faute = ligne(numero, Genre::MotCleMalEcrit, ecrit);
            faute.cle = cle;
            return faute;
        }
    QByteArray reste;
    if (motCle(l, "repeter", reste))
        return ligne(numero, Genre::RepeterDeplace);
    if (motCle(l, "programme", reste))
        return ligne(numero, Genre::EnteteDeplace);
    return std::nullopt;
}

// Why line `numero`, where a step must start, does not: the word read there
// and what is taken there instead; `premiere` before the first step.
EchecProgramme etapeAttendue(qsizetype numero, const QByteArray &l, bool premiere, bool horsFichier)
{
    if (horsFichier)
        return ligne(numero, Genre::FinAuLieuDEtape);
    if (auto faute = motCleFautif(numero, l))
        return *faute;
    return ligne(numero, premiere ? Genre::PremiereEtapeAttendue : Genre::EtapeApresAttente,
                 premierMot(l));
}

QByteArray sansRetour(const QByteArray &l)
{
    return l.endsWith('\r') ? l.chopped(1) : l;
}

// Reads a program file element by element, the lines numbered from 1.
class Lecteur {
public:
    explicit Lecteur(const QByteArray &contenu);
    ProgrammeAnalyse analyser();

private:
    // The next line that is neither blank nor a comment, from m_suivante;
    // past the last line at the end of the file.
    qsizetype prochaine();
    bool horsFichier(qsizetype numero) const { return numero > m_lignes.size(); }
    // Line `numero` without the CR before its line feed; empty past the end.
    QByteArray texte(qsizetype numero) const
    {
        return horsFichier(numero) ? QByteArray() : sansRetour(m_lignes[numero - 1]);
    }
    std::optional<EchecProgramme> lireEntete();
    std::optional<EchecProgramme> lireRepetitions();
    std::optional<EchecProgramme> lireEtapes();
    std::optional<EchecProgramme> lireEtape(qsizetype numero, const QByteArray &nom);
    std::optional<EchecProgramme> lireAttente(qsizetype numero, const QByteArray &secondes);

    QList<QByteArray> m_lignes; // as they are, a CR before the line feed kept
    bool m_termine = false;     // the last line has its line feed
    qsizetype m_suivante = 1;
    Programme m_programme;
};

Lecteur::Lecteur(const QByteArray &contenu)
    : m_lignes(contenu.split('\n'))
{
    m_termine = m_lignes.last().isEmpty();
    if (m_termine)
        m_lignes.removeLast();
}

ProgrammeAnalyse Lecteur::analyser()
{
    std::optional<EchecProgramme> refus = lireEntete();
    if (!refus)
        refus = lireRepetitions();
    if (!refus)
        refus = lireEtapes();
    if (refus)
        return {std::nullopt, refus};
    return {m_programme, std::nullopt};
}

qsizetype Lecteur::prochaine()
{
    while (!horsFichier(m_suivante) && sautee(texte(m_suivante)))
        ++m_suivante;
    return m_suivante;
}

std::optional<EchecProgramme> Lecteur::lireEntete()
{
    const qsizetype n = prochaine();
    const QByteArray l = texte(n);
    if (l == Entete) {
        m_suivante = n + 1;
        return std::nullopt;
    }
    QByteArray version;
    if (motCle(l, "programme tarvik", version) && nombre(version))
        return ligne(n, Genre::VersionInconnue);
    return ligne(n, Genre::EnteteAttendu);
}

// "repeter N", right after the header, or nothing.
std::optional<EchecProgramme> Lecteur::lireRepetitions()
{
    const qsizetype n = prochaine();
    QByteArray fois;
    if (!motCle(texte(n), "repeter", fois))
        return std::nullopt;
    const std::optional<qint64> repetitions = nombre(fois);
    if (!repetitions || *repetitions < 1 || *repetitions > RepetitionsMax)
        return ligne(n, Genre::Repetitions, NomLisible(NomLocal(fois.left(40))));
    m_programme.repetitions = int(*repetitions);
    m_suivante = n + 1;
    return std::nullopt;
}

std::optional<EchecProgramme> Lecteur::lireEtapes()
{
    qsizetype attente = 0; // the line of a wait that no step has followed yet
    for (;;) {
        const qsizetype n = prochaine();
        QByteArray reste;
        const bool etape = motCle(texte(n), "etape", reste);
        if (!m_programme.etapes.isEmpty() && attente == 0) { // after a step's seven lines
            if (horsFichier(n))
                return std::nullopt;
            if (auto faute = motCleFautif(n, texte(n)))
                return faute;
            if (!motCle(texte(n), "attendre", reste))
                return etape ? ligne(n, Genre::AttenteManquante)
                             : ligne(n, Genre::AttenteAttendue, premierMot(texte(n)));
            if (auto refus = lireAttente(n, reste))
                return refus;
            attente = n;
            continue;
        }
        if (horsFichier(n) && attente != 0)
            return ligne(attente, Genre::AttenteSansEtape);
        if (!etape)
            return etapeAttendue(n, texte(n), attente == 0, horsFichier(n));
        if (auto refus = lireEtape(n, reste))
            return refus;
        attente = 0;
    }
}

// A step, from its "etape" line `numero`: its name, then its seven lines.
std::optional<EchecProgramme> Lecteur::lireEtape(qsizetype numero, const QByteArray &nom)
{
    if (m_programme.etapes.size() == EtapesMax)
        return ligne(numero, Genre::TropDEtapes);
    const NomAnalyse lu = AnalyserNom(nom);
    if (lu.raison) {
        EchecProgramme refus = ligne(numero, Genre::NomEtape);
        refus.nom = lu.raison;
        return refus;
    }
    m_suivante = numero + 1;
    const qsizetype debut = prochaine();
    QByteArray sept; // as a sequence file holds them
    for (qsizetype k = debut; k < debut + NombreAxes && !horsFichier(k); ++k)
        sept += m_lignes[k - 1] + (k < m_lignes.size() || m_termine ? "\n" : "");
    const SequenceAnalysee sequence = AnalyserSequence(sept);
    if (!sequence.grille) {
        EchecProgramme refus = ligne(0, Genre::Sequence);
        refus.sequence = sequence.echec;
        refus.sequence->ligne += debut - 1;
        return refus;
    }
    m_programme.etapes.append({lu.nom, *sequence.grille, 0});
    m_suivante = debut + NombreAxes;
    return std::nullopt;
}

// "attendre S", the wait after the last step read.
std::optional<EchecProgramme> Lecteur::lireAttente(qsizetype numero, const QByteArray &secondes)
{
    const std::optional<qint64> attente = dixiemes(secondes);
    const QString lu = NomLisible(NomLocal(secondes.left(40)));
    if (!attente)
        return ligne(numero, Genre::AttenteIllisible, lu);
    if (*attente > AttenteMaxDixiemes)
        return ligne(numero, Genre::AttenteTropLongue, lu);
    m_programme.etapes.last().attenteDixiemes = int(*attente);
    m_suivante = numero + 1;
    return std::nullopt;
}

// A name on one line: its control characters left out.
QByteArray nomForme(const QString &nom)
{
    QString forme = nom;
    forme.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    return forme.toUtf8();
}

// Tenths of a second as seconds with one decimal: "2.5", "0.0".
QByteArray secondes(int dixiemes)
{
    const qint64 absolues = dixiemes < 0 ? -qint64(dixiemes) : dixiemes;
    return (dixiemes < 0 ? "-" : "") + QByteArray::number(absolues / 10) + '.' +
           QByteArray::number(absolues % 10);
}

} // namespace

bool EstUneSequence(const QByteArray &contenu)
{
    return contenu.startsWith('A');
}

ProgrammeAnalyse AnalyserProgramme(const QByteArray &contenu)
{
    if (contenu.size() > TailleMaxProgramme)
        return {std::nullopt, EchecProgramme{.genre = Genre::TropGros}};
    if (EstUneSequence(contenu)) {
        if (contenu.size() > TailleMaxSequence)
            return {std::nullopt, EchecProgramme{.genre = Genre::SequenceTropGrosse}};
        const SequenceAnalysee sequence = AnalyserSequence(contenu);
        if (!sequence.grille) {
            EchecProgramme refus{.genre = Genre::Sequence};
            refus.sequence = sequence.echec;
            return {std::nullopt, refus};
        }
        return {Programme{{EtapeProgramme{{}, *sequence.grille, 0}}, 1}, std::nullopt};
    }
    return Lecteur(contenu).analyser();
}

QByteArray FormerProgramme(const Programme &programme)
{
    QByteArray octets = Entete + '\n';
    if (programme.repetitions != 1)
        octets += "repeter " + QByteArray::number(programme.repetitions) + '\n';
    for (qsizetype k = 0; k < programme.etapes.size(); ++k) {
        const EtapeProgramme &etape = programme.etapes[k];
        const QByteArray nom = nomForme(etape.nom);
        octets += "\netape" + (nom.isEmpty() ? QByteArray() : ' ' + nom) + '\n';
        octets += FormerSequence(etape.grille);
        if (k + 1 < programme.etapes.size())
            octets += "attendre " + secondes(etape.attenteDixiemes) + '\n';
    }
    return octets;
}

int AttenteTotaleDixiemes(const Programme &programme)
{
    qint64 total = 0;
    for (qsizetype k = 0; k + 1 < programme.etapes.size(); ++k)
        total += programme.etapes[k].attenteDixiemes;
    return int(std::clamp<qint64>(total, INT_MIN, INT_MAX));
}

qint64 AttentesDepuis(const Programme &programme, int etape, int cycle)
{
    qint64 total = 0;
    for (qsizetype k = qMax(0, etape); k + 1 < programme.etapes.size(); ++k)
        total += programme.etapes[k].attenteDixiemes;
    return total +
           qint64(AttenteTotaleDixiemes(programme)) * qMax(0, programme.repetitions - 1 - cycle);
}

QList<ValeurRefusee> VerifierLimites(const Programme &programme, const Limites &limites,
                                     const NomsAxes &noms)
{
    QList<ValeurRefusee> refus;
    for (qsizetype k = 0; k < programme.etapes.size(); ++k) {
        const EtapeProgramme &etape = programme.etapes[k];
        for (ValeurRefusee valeur : VerifierLimites(etape.grille, limites, noms)) {
            if (programme.etapes.size() > 1) {
                valeur.etape = int(k);
                valeur.nomEtape = etape.nom;
            }
            refus << valeur;
        }
    }
    return refus;
}

} // namespace tarvik::core
