// What the tests of a run and of the locks share: a grid's texts and the
// list a run fills, the lines of the initial grid, and ways to look at the
// locks and descriptors a run may leave behind.
#pragma once

#include "octets_essai.h"
#include "pseudo_terminal.h"
#include "run/envoyer_sequence.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <functional>
#include <sys/file.h>
#include <sys/wait.h>

// A grid's texts, the list a run fills, its link, and hooks into its steps.
struct GrilleEssai {
    GrilleEssai()
    {
        for (int i = 1; i <= NombreAxes; ++i)
            rangee(i, QStringLiteral("00000"), QStringLiteral("+"), QStringLiteral("002"));
    }
    void rangee(int i, const QString &pas, const QString &direction, const QString &vitesse)
    {
        textes[i] = {pas, direction, vitesse};
    }
    std::optional<EchecSequence> envoyer()
    {
        return EnvoyerSequence(textes, lien,
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
    }

    TextesGrille textes;
    QStringList liste;
    LienSerie lien;
    std::function<void()> apresVider, apresAjout;
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
