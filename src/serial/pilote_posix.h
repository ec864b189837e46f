// The serial port on Linux: one descriptor, driven with termios, that takes
// the locks, sets the line, writes, drains and closes.
#pragma once

#include "serial/pilote_ligne.h"
#include "serial/verrous.h"

#include <termios.h>

// Why a file of this type and these device numbers (st_mode, st_rdev) cannot
// be a serial port, or an empty text. Terminals that are not ports are
// refused by their numbers: /dev/tty, /dev/console, /dev/ptmx, the virtual
// consoles and the master side of pseudo-terminals.
QString RaisonPasUnPort(unsigned mode, quint64 rdev);

// Why the thing a path leads to cannot be a serial port, or an empty text:
// the same checks as an opening, the line settings read included, without
// locks and without writing anything. A device that is busy or forbidden
// to this user passes: an opening will say which.
QString RaisonPasUnPort(const QString &chemin);

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

    // Where UUCP lock files are looked for, and the folders of the device's
    // stable links (tests use folders of their own).
    void setDossiersVerrou(const QStringList &dossiers) { m_verrous.setDossiers(dossiers); }
    void setDossiersLiens(const QStringList &dossiers) { m_dossiersLiens = dossiers; }

protected:
    // The steps a test driver may replace.
    virtual int enAttente();   // TIOCOUTQ: bytes still queued; -1 unknown
    virtual int drainer();     // tcdrain: 0, or errno
    virtual int reglerLigne(); // tcsetattr 38400 8N1 raw: 0, or errno
    int descripteur() const { return m_fd; }

private:
    std::optional<EchecLien> refusOuverture(int erreur, quint64 appareil, quint64 inode);
    // Everything after the open: the checks on the descriptor, flock,
    // exclusive mode, our lock file and the line settings.
    std::optional<EchecLien> prendre(const QString &chemin);
    // Waits until the line takes bytes again; a failure on the deadline or
    // a wake-up.
    std::optional<EchecLien> attendreLigne(QDeadlineTimer echeance);
    bool reveille() const;

    QStringList m_dossiersLiens{QStringLiteral("/dev/serial/by-id"),
                                QStringLiteral("/dev/serial/by-path")};
    VerrousUucp m_verrous;
    QString m_chemin; // the device the name led to
    int m_fd = -1;
    bool m_exclusif = false;          // TIOCEXCL is ours to clear
    std::optional<termios> m_origine; // the settings to give back
};
