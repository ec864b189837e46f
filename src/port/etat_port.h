// The state of the chosen port, as the panel's status line shows it: from
// the checks and lock checks a run makes, without ever opening the device
// (opening a serial port may reset the board behind it) and without
// removing any lock.
#pragma once

#include "port/choix_port.h"
#include "port/couche.h"
#include "port/detenteurs.h"
#include "port/faits_verrous.h"

#include <QString>

namespace tarvik::port {

struct EtatPort {
    enum class Etat { Pret, Absent, Occupe, Refuse };
    // Busy: by whom; refused: why.
    enum class Raison {
        Aucune,
        Processus,       // `qui`
        Invisible,       // perhaps a process out of sight
        AutreProgramme,  // a flock whose holder is not known
        Verrou,          // a lock file: `verrou`, why it keeps the port
        DossierFerme,    // our lock files could not be created
        ReglagesDouteux, // no port is chosen
        Permission,
        PasUnPort,
    };
    Etat etat = Etat::Absent;
    QString peripherique; // the device the port's name leads to; empty when none
    quint64 numero = 0;   // its device number (st_rdev); 0 when none
    Raison raison = Raison::Aucune;
    Processus qui{};
    std::optional<RefusVerrou> verrou{};
    bool operator==(const EtatPort &autre) const = default;
};

// Looks at the port now. A device where there was none, or another one,
// is said by `peripherique` and `numero`.
EtatPort SonderPort(const PortChoisi &port);

} // namespace tarvik::port
