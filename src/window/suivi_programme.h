// What a program's run shows as it goes, under the program window's
// commands: what it does now (the step, the cycle, the waits left), the
// steps sent on a bar, and its state, then what the operator is told of
// its end; at rest, what a run would do. All of it comes from the
// station's signals and its state: it keeps no copy of the run.
#pragma once

#include "app/poste_envoi.h"
#include "window/couche.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

namespace tarvik::window {

class SuiviProgramme : public QWidget {
    Q_OBJECT
public:
    SuiviProgramme(PosteEnvoi &poste, QWidget *parent);

    // At rest: what `programme` would send; the bar at 0 unless `barre` is
    // false (it keeps what the last run sent).
    void montrerResume(const Programme &programme, bool barre = true);

private:
    // Whether the station's run `execution` is the program under way.
    bool suit(const QString &execution) const;
    void commence(const DeroulementEnvoi &deroulement);
    void suivreEtape(const QString &execution);
    void compterEtape(const QString &execution, const ResultatEtape &resultat);
    void suivreAttente(const QString &execution);
    void suivrePause(const QString &execution, int etape, int cycle);
    void termine(const DeroulementEnvoi &deroulement);
    void montrerProgression();
    // The waits still to come, in ms.
    qint64 reste() const;
    // What the operator is told at the end, while the window is shown;
    // nothing for a normal end.
    void signalerFin(const DeroulementEnvoi &deroulement);
    QString texteArret(const DeroulementEnvoi &deroulement) const;
    QString texteEchec(const DeroulementEnvoi &deroulement) const;
    QString heure() const; // "14:05:09", by the station's clock

    PosteEnvoi &m_poste;
    QLabel *m_progression = nullptr, *m_etat = nullptr;
    QProgressBar *m_barre = nullptr;
    QTimer *m_minuterie = nullptr; // the time left, told each second of a wait
};

} // namespace tarvik::window
