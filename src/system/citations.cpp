#include "system/citations.h"

#include <cstring>

namespace tarvik::system {

QString CiterErreurSysteme(int erreur)
{
    if (MotsDesCitations.erreurSysteme)
        return MotsDesCitations.erreurSysteme(erreur);
    const char *nom = strerrorname_np(erreur);
    return nom ? QString::fromLatin1(nom) : QString::number(erreur);
}

QString CiterDuree(qint64 ms)
{
    return MotsDesCitations.duree ? MotsDesCitations.duree(ms)
                                  : QString::number(ms) + QStringLiteral(" ms");
}

QString Citer(const EchecLecture &echec)
{
    return MotsDesCitations.lecture ? MotsDesCitations.lecture(echec)
                                    : CiterErreurSysteme(echec.erreur);
}

QString Citer(const EchecDossierPrive &echec)
{
    return MotsDesCitations.dossierPrive ? MotsDesCitations.dossierPrive(echec) : QString();
}

QString Citer(const EchecFichierCles &echec)
{
    return MotsDesCitations.fichierCles ? MotsDesCitations.fichierCles(echec) : QString();
}

} // namespace tarvik::system
