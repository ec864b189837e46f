#include "port/lien_serie.h"

#include "core/axes.h"
#include "port/pilote_posix.h"
#include "system/citations.h"
#include "system/noms.h"

#include <QCoreApplication>

namespace tarvik::port {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Port)
};

// The texts of a sequence's run.
struct MotsSequence {
    Q_DECLARE_TR_FUNCTIONS(Sequence)
};

std::unique_ptr<PiloteLigne> pilote()
{
    if (*NouveauPilote)
        return (*NouveauPilote)();
    return std::make_unique<PilotePosix>();
}

} // namespace

LienSerie::LienSerie()
    : m_port{{}, OriginePort::Option, Echec{Mots::tr("aucun port n'a été donné")}}
    , m_pilote(pilote())
{
}

LienSerie::~LienSerie()
{
    abandonner();
}

EchecLien LienSerie::situer(const EchecLien &refus) const
{
    const QString nom = NomLisible(m_port.peripherique);
    const QString reel = NomLisible(m_pilote->peripherique());
    const QString appareil =
        reel.isEmpty() || reel == nom ? nom : QStringLiteral("%1 → %2").arg(nom, reel);
    return Refus(refus.genre, m_port.origine == OriginePort::Port1
                                  ? Mots::tr("Port série 1 (%1) : %2").arg(appareil, refus.message)
                                  : Mots::tr("Port série %1 : %2").arg(appareil, refus.message));
}

EchecLien LienSerie::enRetard(int lignes, int delaiMs) const
{
    return situer(Refus(EchecLien::Genre::DelaiDepasse,
                        lignes == NombreAxes
                            ? MotsSequence::tr("délai dépassé : les sept lignes sont parties, "
                                               "mais en plus de %1")
                                  .arg(CiterDuree(delaiMs))
                            : MotsSequence::tr("délai dépassé : la séquence a pris plus de %1")
                                  .arg(CiterDuree(delaiMs))));
}

std::optional<EchecLien> LienSerie::ouvrir()
{
    if (m_port.echec)
        return Refus(EchecLien::Genre::AucunPort,
                     Mots::tr("Port série inconnu : ") + m_port.echec->message);
    if (auto refus = m_pilote->ouvrir(m_port.peripherique))
        return situer(*refus);
    return std::nullopt;
}

std::optional<EchecLien> LienSerie::ecrire(const QByteArray &ligne, QDeadlineTimer echeance)
{
    if (auto refus = m_pilote->ecrire(ligne, echeance))
        return situer(*refus);
    return std::nullopt;
}

std::optional<EchecLien> LienSerie::reprendreLigne(QDeadlineTimer echeance)
{
    if (auto refus = m_pilote->reprendreLigne(echeance))
        return situer(*refus);
    return std::nullopt;
}

void LienSerie::fermer()
{
    m_pilote->fermer();
}

std::optional<EchecLien> LienSerie::vider(QDeadlineTimer echeance)
{
    if (const auto refus = m_pilote->vider(echeance))
        return situer(*refus);
    return std::nullopt;
}

void LienSerie::abandonner()
{
    if (m_pilote->estOuvert())
        m_pilote->jeter();
    m_pilote->fermer();
}

} // namespace tarvik::port
