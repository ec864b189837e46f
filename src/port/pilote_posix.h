// The serial port on Linux: one descriptor, driven with termios, that takes
// the locks, sets the line, writes, drains and closes.
#pragma once

#include "port/pilote_ligne.h"
#include "port/verrous.h"
#include "system/lecture.h"

#include <termios.h>

class PilotePosix : public PiloteLigne {
public:
    ~PilotePosix() override;

    std::optional<EchecLien> ouvrir(const QString &nom) override;
    std::optional<EchecLien> ecrire(QByteArrayView octets, QDeadlineTimer echeance) override;
    std::optional<EchecLien> vider(QDeadlineTimer echeance) override;
    void jeter() override;
    void fermer() override;
    bool estOuvert() const override { return m_fd >= 0; }
    QString peripherique() const override { return m_chemin; }
    QStringList avertissements() const override { return m_verrous.avertissements(); }

protected:
    // The steps a test driver may replace.
    virtual int enAttente();   // TIOCOUTQ: bytes still queued; -1 unknown
    virtual int drainer();     // tcdrain: 0, or errno
    virtual int reglerLigne(); // tcsetattr 38400 8N1 raw: 0, or errno
    // write: how many of the bytes the line took (a serial port may take
    // part of them), or -1 and errno.
    virtual ssize_t transmettre(const char *octets, size_t taille);
    int descripteur() const { return m_fd; }

private:
    std::optional<EchecLien> refusOuverture(int erreur, const struct stat &etat);
    // Exclusive mode is set on the device: who holds it, or nothing when no
    // other process has it open (a killed program's leftover).
    std::optional<EchecLien> refusExclusif(quint64 rdev, bool ouvert);
    // Everything after the open: the checks on the descriptor, flock,
    // exclusive mode, our lock file and the line settings.
    std::optional<EchecLien> prendre(const QString &chemin, quint64 rdev);
    // Waits until the line takes bytes again; a failure on the deadline or
    // a wake-up.
    std::optional<EchecLien> attendreLigne(QDeadlineTimer echeance);
    bool reveille() const { return DescripteurLisible(m_reveil) || DescripteurLisible(m_arret); }

    VerrousUucp m_verrous;
    QString m_chemin; // the device the name led to
    int m_fd = -1;
    bool m_exclusif = false;          // TIOCEXCL is ours to clear
    std::optional<termios> m_origine; // the settings to give back
};
