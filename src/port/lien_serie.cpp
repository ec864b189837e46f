#include "port/lien_serie.h"

#include "port/pilote_posix.h"

namespace tarvik::port {

namespace {

std::unique_ptr<PiloteLigne> pilote()
{
    if (*NouveauPilote)
        return (*NouveauPilote)();
    return std::make_unique<PilotePosix>();
}

} // namespace

LienSerie::LienSerie()
    : m_port{{}, OriginePort::Option, PortInconnu{}}
    , m_pilote(pilote())
{
}

LienSerie::~LienSerie()
{
    abandonner();
}

EchecLien LienSerie::situer(const EchecLien &refus) const
{
    EchecLien situe = refus;
    situe.port = PortSitue{m_port.peripherique, m_pilote->peripherique(),
                           m_port.origine == OriginePort::Port1};
    return situe;
}

EchecLien LienSerie::enRetard(int lignes, int delaiMs) const
{
    EchecLien retard;
    retard.genre = EchecLien::Genre::DelaiDepasse;
    retard.retard = Retard{lignes, delaiMs};
    return situer(retard);
}

std::optional<EchecLien> LienSerie::ouvrir()
{
    if (m_port.echec) {
        EchecLien inconnu;
        inconnu.genre = EchecLien::Genre::AucunPort;
        inconnu.inconnu = m_port.echec;
        return inconnu;
    }
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
