// The board's end of the line: a pseudo-terminal pair whose slave the panel
// opens, found through a link at a fixed place, set as the board sets its
// line (38400 baud, 8 bits, no parity, 1 stop bit, raw), and read at the
// pace that line carries, or as fast as it can. The board holds both ends
// for as long as it is plugged in, as a socat bridge does: the slave, so
// that the pair never hangs up between two of the panel's runs. And the
// faults of a board, on purpose: it stops reading after N lines, reads
// slower, goes away as an unplugged adapter does, and comes back.
#pragma once

#include "carte/couche.h"
#include "carte/lecteur.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace tarvik::carte {

// What 38400 baud carries, 10 bits a byte.
constexpr qint64 OctetsParSecondeLigne = 3840;

struct OptionsPortCarte {
    QString lien;                         // where the link goes; empty: none
    bool sansRythme = false;              // reads as fast as it can
    double fraction = 1.0;                // of the line's pace (--lente)
    std::optional<qint64> bloqueApres;    // stops reading after so many lines
    std::optional<qint64> debrancheApres; // goes away after so many lines
    std::optional<double> rebrancheApres; // and comes back so many seconds later
};

// Why the board's line or its link could not be set up, as a fact: its
// kind and its data; the board's program words it (window/formulation_carte.cpp).
struct EchecCarte {
    enum class Genre {
        DossierInaccessible, // the link's folder `chemin` cannot be looked at: `erreur`
        PasUnDossier,        // `chemin` is no folder
        DossierAUnAutre,     // the folder `chemin` is another user's
        DossierOuvert,       // others may write in the folder `chemin`, not sticky: its `mode`
        SansDossierXdg,      // XDG_RUNTIME_DIR is not set, or no absolute path
        DossierXdgDouteux,   // XDG_RUNTIME_DIR, `chemin`, is not the user's own, closed to others
        LienPerime,          // a link a board left at `chemin` cannot be removed: `erreur`
        Existant,       // something stands at `chemin`: its `mode` (a link to `cible`, a folder…)
        LienImpossible, // the link `chemin` cannot be created: `erreur`
        SansPseudoTerminal,        // no pseudo-terminal pair could be made: `erreur`
        PseudoTerminalInjoignable, // the slave `chemin` cannot be opened: `erreur`
    };
    Genre genre = Genre::LienImpossible;
    QString chemin{};
    QString cible{};
    int erreur = 0;   // errno
    quint32 mode = 0; // st_mode; 0: nothing could be looked at
};

// The link's default place: $XDG_RUNTIME_DIR/tarvik-carte. None, with the
// reason, when that folder is not set, not an absolute path, or not the
// user's own and closed to others.
struct LienParDefaut {
    QString chemin;
    std::optional<EchecCarte> echec;
};
LienParDefaut LienDeLaCarte();

// Puts at `lien` a symbolic link to `cible`, never over anything: what
// stands there is left alone and named, unless it is a link of ours a
// board that did not end left (a link owned by the user to a /dev/pts
// device that is gone), which is replaced. The folder must be the user's
// or root's, and closed to others unless sticky (/tmp).
std::optional<EchecCarte> PoserLien(const QString &lien, const QString &cible);
// Takes the link away if it still is ours: a link to `cible`.
void RetirerLien(const QString &lien, const QString &cible);

class PortCarte : public QObject {
    Q_OBJECT
public:
    explicit PortCarte(const OptionsPortCarte &options, QObject *parent = nullptr);
    ~PortCarte() override; // unplugged, the link taken away

    // Makes the pair and its link, and starts reading.
    std::optional<EchecCarte> brancher();
    // Closes both ends and takes the link away: the port is gone.
    void debrancher();

    const OptionsPortCarte &options() const { return m_options; }
    bool branche() const { return m_maitre >= 0; }
    bool bloque() const { return m_bloque; }
    // What the panel is to be given: the link, else the device.
    QString port() const;
    QString peripherique() const { return m_peripherique; }
    // Bytes a second it reads; 0: as fast as it can.
    qint64 debit() const;
    qint64 lignes() const { return m_lignes; }
    // Bytes read but never looked at: after a stall, or the line under way.
    QByteArray enCours() const { return m_retenus + m_lecteur.enCours(); }
    // When it will come back, while unplugged with --rebranche-apres.
    QDateTime rebranchementA() const { return m_rebranchementA; }

Q_SIGNALS:
    void ligneRecue(const LigneRecue &ligne, const QDateTime &temps);
    // Plugged in, unplugged, stalled.
    void etatChange();
    // It could not come back.
    void rebranchementRate(const EchecCarte &echec);

private:
    void lire();
    qint64 credit();
    void attendreCredit();
    void fermer();

    OptionsPortCarte m_options;
    int m_maitre = -1, m_esclave = -1;
    QString m_peripherique;
    std::unique_ptr<QSocketNotifier> m_lecture;
    QTimer m_reprise;        // reading resumes once the pace allows
    QElapsedTimer m_horloge; // the pace's clock
    qint64 m_lus = 0;        // bytes counted against the pace
    LecteurCarte m_lecteur;
    qint64 m_lignes = 0;
    bool m_bloque = false, m_debranche = false;
    QByteArray m_retenus;
    QDateTime m_rebranchementA;
};

} // namespace tarvik::carte
