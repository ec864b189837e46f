#include "port/etat_port.h"

#include "port/peripherique.h"
#include "port/verrous.h"
#include "system/noms.h"

#include <fcntl.h>
#include <unistd.h>

namespace tarvik::port {

namespace {

using Etat = EtatPort::Etat;
using Raison = EtatPort::Raison;

// Who holds the port, as a run would find it before opening: a lock file
// under any of its names (or under another, whose process has it open),
// or a flock; else whether our lock files could be created.
EtatPort sonderVerrous(const PortChoisi &port, const struct stat &etat, EtatPort sonde)
{
    VerrousUucp verrous;
    QStringList noms{port.peripherique, sonde.peripherique, NomPropre(etat.st_rdev)};
    noms.removeAll(QString());
    noms << LiensVers(etat.st_rdev, *DossiersLiens);
    if (const auto occupe = verrous.examinerDossiers(NomsDeVerrou(noms, etat.st_rdev), etat.st_rdev,
                                                     VerrousUucp::Perimes::Laisses)) {
        sonde.etat = Etat::Occupe;
        if (verrous.detenteur()) {
            sonde.raison = Raison::Processus;
            sonde.qui = LireProcessus(verrous.detenteur());
        } else if (verrous.invisible()) {
            sonde.raison = Raison::Invisible;
        } else {
            sonde.raison = Raison::Verrou;
            sonde.verrou = occupe;
        }
        return sonde;
    }
    // A flock whose taker has died is held by a child it left.
    if (const Flock flock = FlockSur(etat.st_dev, etat.st_ino, etat.st_rdev); flock.pris) {
        sonde.etat = Etat::Occupe;
        sonde.raison = flock.pid         ? Raison::Processus
                       : flock.invisible ? Raison::Invisible
                                         : Raison::AutreProgramme;
        if (flock.pid)
            sonde.qui = LireProcessus(flock.pid);
        return sonde;
    }
    if (!verrous.dossierOuvert()) {
        sonde.etat = Etat::Refuse;
        sonde.raison = Raison::DossierFerme;
        return sonde;
    }
    sonde.etat = Etat::Pret;
    return sonde;
}

} // namespace

EtatPort SonderPort(const PortChoisi &port)
{
    EtatPort sonde;
    if (port.echec) {
        sonde.etat = Etat::Refuse;
        sonde.raison = Raison::ReglagesDouteux;
        return sonde;
    }
    sonde.peripherique = CheminReel(port.peripherique);
    struct stat etat {};
    if (const auto refus = VerifierPeripheriqueChemin(sonde.peripherique, etat)) {
        using G = EchecLien::Genre;
        sonde.etat = refus->genre == G::PortAbsent ? Etat::Absent : Etat::Refuse;
        sonde.raison = refus->genre == G::PermissionRefusee ? Raison::Permission
                       : refus->genre == G::PortAbsent      ? Raison::Aucune
                                                            : Raison::PasUnPort;
        if (refus->genre == G::PortAbsent)
            sonde.peripherique.clear();
        return sonde;
    }
    sonde.numero = etat.st_rdev;
    // As the opening would check it, with the effective ids.
    if (::faccessat(AT_FDCWD, OctetsLocaux(sonde.peripherique).constData(), W_OK, AT_EACCESS) !=
        0) {
        sonde.etat = Etat::Refuse;
        sonde.raison = Raison::Permission;
        return sonde;
    }
    return sonderVerrous(port, etat, sonde);
}

} // namespace tarvik::port
