// The serial port on Linux: one descriptor, driven with termios, that takes
// the locks, sets the line, writes, drains and closes.
#pragma once

#include "port/couche.h"
#include "port/pilote_ligne.h"
#include "port/verrous.h"
#include "system/lecture.h"

#include <termios.h>

namespace tarvik::port {

class PilotePosix : public PiloteLigne {
public:
    ~PilotePosix() override;

    std::optional<EchecLien> ouvrir(const QString &nom) override;
    std::optional<EchecLien> ecrire(QByteArrayView ligne, QDeadlineTimer echeance) override;
    std::optional<EchecLien> vider(QDeadlineTimer echeance) override;
    void jeter() override;
    std::optional<EchecLien> reprendreLigne(QDeadlineTimer echeance) override;
    void fermer() override;
    bool estOuvert() const override { return m_fd >= 0; }
    QString peripherique() const override { return m_chemin; }
    QList<AvertissementPort> avertissements() const override
    {
        return m_verrous.avertissements() + m_avertissements;
    }

protected:
    // The steps a test driver may replace.
    virtual int enAttente();   // TIOCOUTQ: bytes still queued; -1 unknown
    virtual int drainer();     // tcdrain: 0, or errno
    virtual int reglerLigne(); // tcsetattr 38400 8N1 raw: 0, or errno
    // write: how many of the bytes the line took (a serial port may take
    // part of them), or -1 and errno.
    virtual ssize_t transmettre(const char *octets, size_t taille);
    // What the device `rdev` is, from its numbers.
    virtual GenreLigne genreDe(quint64 rdev);
    int descripteur() const { return m_fd; }

private:
    // A line's wait: its deadline, and whether a Stop or a signal was heard
    // during it (a serial port then gives the line in flight a short grace
    // to leave, and hears no more).
    struct Attente {
        QDeadlineTimer echeance;
        bool grace = false;
    };

    std::optional<EchecLien> refusOuverture(int erreur, const struct stat &etat);
    // The locks other programs hold, or left, under every name of the device
    // `etat` describes, reached as `nom`; and the traces of a cut there.
    std::optional<EchecLien> examinerVerrous(const QString &nom, const struct stat &etat);
    // Exclusive mode is set on the device: who holds it (`detenteurs`),
    // that one may be out of sight, or that nobody does and nothing shows
    // it was a run of ours; and what the operator can do.
    EchecLien refusExclusif(const Detenteurs &detenteurs) const;
    // Everything after the open: the checks on the descriptor, flock,
    // exclusive mode, our lock files and the line settings.
    std::optional<EchecLien> prendre(const QString &donne, quint64 rdev);
    // Exclusive mode found on the device once it is ours: cleared when a
    // killed run of ours shows it left it and nobody holds it, else why not.
    std::optional<EchecLien> leverExclusif(quint64 rdev);
    // Once open: throws away what an earlier writer left queued, and says
    // why the line may hold an earlier run's unfinished line.
    void constaterCoupure();
    // Writes the line, a part at a time if need be; `fait`: how much went.
    std::optional<EchecLien> transmettreLigne(QByteArrayView ligne, Attente &attente,
                                              qsizetype &fait);
    // Waits until the line takes bytes again.
    std::optional<EchecLien> attendreLigne(Attente &attente, qsizetype taille);
    // Waits until what the line holds has left (TIOCOUTQ at 0, then tcdrain).
    std::optional<EchecLien> attendreDepart(Attente &attente, qsizetype taille);
    // A Stop or a signal, when one is heard: why a pseudo-terminal stops
    // now; a serial port starts its line's grace instead.
    std::optional<EchecLien> entendre(Attente &attente, qsizetype taille);
    // A line that failed once `fait` of its bytes were handed over: on a
    // serial port what has not left is taken back; the far end may keep
    // the start, and the next run is told.
    void laisserLigne(qsizetype fait);
    // A Stop or a signal was heard: one look at both descriptors.
    bool reveille() const;

    VerrousUucp m_verrous;
    QString m_chemin; // the device the name led to
    QString m_propre; // its own name (NomPropre), for this run
    quint64 m_rdev = 0;
    int m_fd = -1;
    bool m_exclusif = false;                   // TIOCEXCL is ours to clear
    std::optional<termios> m_origine;          // the settings to give back
    QList<AvertissementPort> m_avertissements; // the opening's own, besides the locks'
    quint64 m_coupe = 0; // the device where this link's last run stopped mid-line; 0: none
};

} // namespace tarvik::port
