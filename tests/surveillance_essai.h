// A watcher of the port that the test sets: what the station and the
// status line hear of the port, a device that came back included.
#pragma once

#include "app/surveillance.h"

class SurveillanceEssai : public tarvik::app::Surveillance {
public:
    using Surveillance::Surveillance;
    void surveiller(const tarvik::port::PortChoisi &) override {}
    void setActive(bool active) override { m_actif = active; }
    bool actif() const override { return m_actif; }
    const tarvik::port::EtatPort &etat() const override { return m_etat; }
    QDateTime rebrancheA() const override { return m_rebrancheA; }
    void oublierRebranchement() override { m_rebrancheA = {}; }
    void regarder() override {}
    // The port now in `etat`; came back at `quand`, when valid.
    void annoncer(const tarvik::port::EtatPort &etat, const QDateTime &quand = {})
    {
        m_etat = etat;
        if (quand.isValid()) {
            m_rebrancheA = quand;
            Q_EMIT rebranche(quand);
        }
        Q_EMIT etatChange(etat);
    }

private:
    bool m_actif = false;
    tarvik::port::EtatPort m_etat{tarvik::port::EtatPort::Etat::Pret, {}, 0, {}};
    QDateTime m_rebrancheA;
};
