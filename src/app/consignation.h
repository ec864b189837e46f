// The journal of a station's runs (run/journal.h): a record for each step
// sent, for a run that ended otherwise (what went and what did not), for a
// send refused by the bench's limits, for a device that came back, and for
// a wait for the port that ended without it. Each goes to the journal's
// file and, when it is on, to the system's journal. It hears the station
// as any front end does, through its signals.
//
// The panel and tarvik-envoyer each make one for their station, before
// anything else hears the station: a run's records are written before the
// front ends hear of what they record.
#pragma once

#include "app/couche.h"
#include "app/formulation.h"
#include "app/poste_envoi.h"
#include "core/echec.h"

#include <QObject>

namespace tarvik::app {

class ConsignationEnvois : public QObject {
    Q_OBJECT
public:
    // Belongs to `poste`, whose runs it hears to their very end: the last
    // one, cut short by the program's end, is journaled too.
    explicit ConsignationEnvois(PosteEnvoi &poste);

    // The record of a wait for the port (tarvik-envoyer --attendre), started
    // at `debut`, that ended without it: still busy or absent, or a signal.
    void consignerAttente(const QDateTime &debut, const QString &source, const EchecDit &echec,
                          const QString &peripherique);

Q_SIGNALS:
    // A record could not be written; the runs go on.
    void journalRate(const Echec &rate);

private:
    void etapeVue(const QString &execution, const ResultatEtape &etape);
    void finVue(const DeroulementEnvoi &deroulement);
    void refusVu(const QString &execution, const RefusEnvoi &refus, const QString &source);
    void rebranchementVu(const QDateTime &quand, const QString &peripherique);
    // The record of one step of `deroulement`, or of its opening.
    EnregistrementEnvoi enregistrement(const DeroulementEnvoi &deroulement,
                                       const ResultatEnvoi &envoi, const QDateTime &debut,
                                       int etape) const;
    // The port as chosen, as a record names it.
    QString portChoisi() const;
    void consigner(EnregistrementEnvoi enregistrement);

    PosteEnvoi &m_poste;
};

} // namespace tarvik::app
