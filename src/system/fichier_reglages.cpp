#include "system/fichier_reglages.h"

#include "system/ecriture.h"
#include "system/lecture.h"
#include "system/noms.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace tarvik::system {

namespace {

// Reads the file at `chemin`; its bytes go to `contenu`.
ReglagesLus lire(const QString &chemin, QByteArray &contenu)
{
    const FichierLu lu = LireFichierReglages(chemin);
    if (lu.absent)
        return {};
    if (lu.echec)
        return {{}, *lu.echec};
    contenu = lu.contenu;
    const ReglagesAnalyses analyses = AnalyserReglages(lu.contenu);
    if (analyses.echec)
        return {{}, *analyses.echec};
    return {analyses.reglages, std::nullopt};
}

} // namespace

QString CheminReglages()
{
    return DossierXdg("XDG_CONFIG_HOME", QStringLiteral(".config")) +
           QStringLiteral("/Tarvik/tarvik.conf");
}

ReglagesLus LireReglages()
{
    QByteArray contenu;
    return lire(CheminReglages(), contenu);
}

EcritureReglages EcrireReglages(const std::function<void(Reglages &)> &changer)
{
    EcritureReglages resultat;
    ReglagesLus lus;
    static_cast<EcritureCles &>(resultat) = EcrireCles(
        CheminReglages(),
        [&] {
            QByteArray avant;
            lus = lire(CheminReglages(), avant);
            return ContenuCles{avant, lus.echec};
        },
        [&](const QByteArray &avant) {
            resultat.reglages = lus.reglages;
            changer(resultat.reglages);
            return NouveauContenuCles{FormerReglages(resultat.reglages, avant), {}};
        });
    return resultat;
}

EcritureCles EcrireCles(const QString &fichier, const std::function<ContenuCles()> &lire,
                        const std::function<NouveauContenuCles(const QByteArray &avant)> &former)
{
    const QString dossier = QFileInfo(fichier).path();
    EcritureCles resultat;
    if (!QDir().mkpath(dossier)) {
        resultat.echec = EchecEnregistrement{.genre = EchecEnregistrement::Genre::DossierImpossible,
                                             .dossier = dossier};
        return resultat;
    }
    // Whatever else the file holds is kept; a file not understood is set aside.
    const ContenuCles avant = lire();
    const NouveauContenuCles forme = former(avant.incompris ? QByteArray() : avant.contenu);
    if (forme.refus) {
        resultat.echec = EchecEnregistrement{.genre = EchecEnregistrement::Genre::LimitesRefusees,
                                             .cles = forme.refus};
        return resultat;
    }
    if (avant.incompris) {
        resultat.misDeCote = MettreDeCote(fichier);
        if (resultat.misDeCote.isEmpty()) {
            resultat.echec = EchecEnregistrement{
                .genre = EchecEnregistrement::Genre::MiseDeCoteImpossible, .erreur = errno};
            return resultat;
        }
        resultat.incompris = avant.incompris;
    }
    if (const auto echec = EcrireFichier(fichier, forme.octets).echec)
        resultat.echec =
            EchecEnregistrement{.genre = EchecEnregistrement::Genre::Ecriture, .ecriture = echec};
    return resultat;
}

FichierLu LireFichierReglages(const QString &chemin)
{
    FichierLu lu = LireFichier(chemin);
    struct stat etat {};
    if (lu.absent && ::lstat(OctetsLocaux(chemin).constData(), &etat) == 0 &&
        S_ISLNK(etat.st_mode)) {
        lu.absent = false;
        lu.echec = EchecLecture{.genre = EchecLecture::Genre::LienSansCible};
    }
    return lu;
}

QString MettreDeCote(const QString &fichier)
{
    QString destination = fichier + QStringLiteral(".illisible");
    struct stat etat {};
    for (int n = 2; ::lstat(OctetsLocaux(destination).constData(), &etat) == 0; ++n)
        destination = fichier + QStringLiteral(".illisible.%1").arg(n); // never over an older one
    if (::rename(OctetsLocaux(fichier).constData(), OctetsLocaux(destination).constData()) != 0)
        return {};
    return destination;
}

} // namespace tarvik::system
