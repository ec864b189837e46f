// How carte, which still words its own failures, quotes a fact of system
// inside them, until it returns facts too.
#pragma once

#include "system/couche.h"
#include "system/dossier_prive.h"
#include "system/fichier_reglages.h"

#include <QString>

namespace tarvik::system {

// The words of the program's wording module (app/formulation.h), which
// puts them here once (InstallerCitations): a layer below it cannot call
// it. Until then a system error is quoted by its name (EACCES), a
// duration in milliseconds, a file not read by its errno's name, and the
// rest not at all.
struct Citations {
    QString (*erreurSysteme)(int erreur) = nullptr;
    QString (*duree)(qint64 ms) = nullptr;
    QString (*lecture)(const EchecLecture &echec) = nullptr;
    QString (*dossierPrive)(const EchecDossierPrive &echec) = nullptr;
    QString (*fichierCles)(const EchecFichierCles &echec) = nullptr;
};
inline Citations MotsDesCitations;

// A system error (errno), "permission refusée"; a duration, "1,5 s".
QString CiterErreurSysteme(int erreur);
QString CiterDuree(qint64 ms);
// A file not read; a private folder refused; a settings file not understood.
QString Citer(const EchecLecture &echec);
QString Citer(const EchecDossierPrive &echec);
QString Citer(const EchecFichierCles &echec);

} // namespace tarvik::system
