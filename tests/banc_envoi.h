// What the tests of a run and of the locks share: a grid's texts and the
// list a run fills, the lines of the initial grid, and ways to look at the
// locks and descriptors a run may leave behind.
#pragma once

#include "app/formulation.h"
#include "octets_essai.h"
#include "port/coupures.h"
#include "port/verrous.h"
#include "pseudo_terminal.h"
#include "run/envoyer_sequence.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace tarvik::run;

// A run that failed, as the tests look at it: a value the grid's check
// refused, or the link's failure.
struct EchecEssai : Echec {
    std::optional<ValeurRefusee> valeur;
    std::optional<EchecLien::Genre> lien;
};

// A grid's texts, the list a run fills, its link, and hooks into its steps.
// It sends as the panel does: the grid is checked, then the run sends it.
struct GrilleEssai {
    GrilleEssai()
    {
        for (int i = 1; i <= NombreAxes; ++i)
            rangee(i, QStringLiteral("00000"), QStringLiteral("+"), QStringLiteral("002"));
    }
    void rangee(int i, const QString &pas, const QString &direction, const QString &vitesse)
    {
        textes[std::size_t(i - 1)] = {pas, direction, vitesse};
    }
    std::optional<EchecEssai> envoyer()
    {
        const GrilleVerifiee verifiee = VerifierGrille(textes);
        if (verifiee.echec) {
            EchecEssai refus; // a value refused: said by its fact alone
            refus.valeur = verifiee.echec;
            return refus;
        }
        resultat = OuvrirEnvoyerFermer(*verifiee.grille, lien,
                                       {[this] {
                                            liste.clear();
                                            if (apresVider)
                                                apresVider();
                                        },
                                        [this](const QString &ligne) {
                                            liste.append(ligne);
                                            if (apresAjout)
                                                apresAjout();
                                        }});
        if (!resultat.echec)
            return std::nullopt;
        EchecEssai echec;
        echec.message = tarvik::app::TexteEchec(resultat);
        echec.lien = resultat.echec->genre();
        return echec;
    }

    TextesGrille textes;
    QStringList liste;
    LienSerie lien;
    ResultatEnvoi resultat; // the last run's
    std::function<void()> apresVider, apresAjout;
};

// The private folder of the traces of cut runs, one of each test's own:
// what a row leaves there never reaches another row's terminal, which may
// bear the same numbers.
struct TracesEssai {
    QTemporaryDir dossier;
    Substituable<QString>::Remplacement remplacement{DossierTraces.remplacer(dossier.path())};
};

// A lock folder of the test's own, open to all as /run/lock is: a row that
// runs as a user who cannot examine other programs then never meets the
// live lock a program elsewhere on the machine holds (held, to that user).
struct VerrousEssai {
    VerrousEssai() { ::chmod(QFile::encodeName(dossier.path()).constData(), 01777); }
    QTemporaryDir dossier;
    Substituable<QStringList>::Remplacement remplacement{
        DossiersVerrou.remplacer({dossier.path()})};
};

inline QString fichierUucp(const QString &peripherique)
{
    QString nom = peripherique.mid(5);
    return QStringLiteral("/run/lock/LCK..") + nom.replace(u'/', u'_');
}

// True when nobody holds a flock on the device any more.
inline bool flockLibre(const QString &peripherique)
{
    const int fd =
        ::open(QFile::encodeName(peripherique).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool libre = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return libre;
}

inline int descripteursOuverts()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).count());
}
