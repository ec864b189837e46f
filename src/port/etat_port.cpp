#include "port/etat_port.h"

#include "port/peripherique.h"
#include "port/verrous.h"
#include "system/noms.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <unistd.h>

namespace tarvik::port {

namespace {

// The texts of this file, in the operator's language.
struct Mots {
    Q_DECLARE_TR_FUNCTIONS(Port)
};

using Etat = EtatPort::Etat;

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
        sonde.raison = verrous.detenteur()   ? DecrireProcessusCourt(verrous.detenteur())
                       : verrous.invisible() ? Mots::tr("un programme que vous ne pouvez pas voir")
                                             : occupe->message;
        return sonde;
    }
    // A flock whose taker has died is held by a child it left.
    if (const Flock flock = FlockSur(etat.st_dev, etat.st_ino, etat.st_rdev); flock.pris) {
        sonde.etat = Etat::Occupe;
        sonde.raison = flock.pid         ? DecrireProcessusCourt(flock.pid)
                       : flock.invisible ? Mots::tr("un programme que vous ne pouvez pas voir")
                                         : Mots::tr("un autre programme");
        return sonde;
    }
    if (!verrous.dossierOuvert()) {
        sonde.etat = Etat::Refuse;
        sonde.raison = Mots::tr("dossier des verrous fermé");
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
        sonde.raison = Mots::tr("réglages douteux");
        return sonde;
    }
    sonde.peripherique = CheminReel(port.peripherique);
    struct stat etat {};
    if (const auto refus = VerifierPeripheriqueChemin(sonde.peripherique, etat)) {
        using G = EchecLien::Genre;
        sonde.etat = refus->genre == G::PortAbsent ? Etat::Absent : Etat::Refuse;
        sonde.raison = refus->genre == G::PermissionRefusee
                           ? Mots::tr("permission refusée (groupe dialout)")
                       : refus->genre == G::PortAbsent ? QString()
                                                       : Mots::tr("pas un port série");
        if (refus->genre == G::PortAbsent)
            sonde.peripherique.clear();
        return sonde;
    }
    sonde.numero = etat.st_rdev;
    // As the opening would check it, with the effective ids.
    if (::faccessat(AT_FDCWD, OctetsLocaux(sonde.peripherique).constData(), W_OK, AT_EACCESS) !=
        0) {
        sonde.etat = Etat::Refuse;
        sonde.raison = Mots::tr("permission refusée (groupe dialout)");
        return sonde;
    }
    return sonderVerrous(port, etat, sonde);
}

} // namespace tarvik::port
