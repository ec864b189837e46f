// The virtual board's window: one row per axis with its position, a bar
// within its travel band and its last command; below, the lines received,
// each anomaly marked by a sign as well as a colour; "Remise à zéro"; and a
// status line with the port and the pace. It shows what the board read; it
// sends nothing.
#pragma once

#include "carte/etat_carte.h"
#include "carte/port_carte.h"
#include "window/couche.h"

#include <QMainWindow>
#include <array>

class QGridLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace tarvik::window {

class BarreCourse;

class FenetreCarte : public QMainWindow {
    Q_OBJECT
public:
    // Shows `etat` as `port` fills it; both outlive the window. `note`, when
    // given, says why no travel band is shown (a doubtful limits file).
    FenetreCarte(PortCarte &port, EtatCarte &etat, const QString &note = {},
                 QWidget *parent = nullptr);

    // A line the board read, and what it did.
    void montrer(const EvenementCarte &evenement);
    // The port's state, on the status line.
    void montrerPort();
    // Says, on the status line, why the board could not come back.
    void signaler(const QString &texte);

    // The most lines the list keeps: the oldest go first.
    static constexpr int LignesGardees = 5000;

private:
    struct RangeeCarte {
        QLabel *position = nullptr;
        BarreCourse *barre = nullptr;
        QLabel *derniere = nullptr;
    };
    // The axes' rows under their headings, and the lines received with
    // "Remise à zéro" below them.
    QGridLayout *creerRangees(QWidget *zone);
    void creerLignes(QWidget *zone, QVBoxLayout *pile);
    void remettreAZero();
    void montrerAxe(int i);

    PortCarte &m_port;
    EtatCarte &m_etat;
    QString m_note;
    std::array<RangeeCarte, AxesCarte> m_rangees{};
    QListWidget *m_lignes = nullptr;
    QPushButton *m_remise = nullptr;
    QLabel *m_etatPort = nullptr;
    QString m_signale;
};

// The name of axis i (from 0) in the board's window: "Axe 01 (A)".
QString NomAxeCarte(int i);

} // namespace tarvik::window
