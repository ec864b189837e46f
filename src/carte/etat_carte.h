// Where the board's axes are: each one's position, the sum of the signed
// steps of the commands it took since the start or the last reset; its last
// command and when it came; the band its travel limit allows, from the
// machine's limits file, and whether it is beyond it.
#pragma once

#include "carte/couche.h"
#include "carte/lecteur.h"

#include <QDateTime>
#include <array>
#include <optional>

namespace tarvik::core {
struct Limites;
} // namespace tarvik::core

namespace tarvik::carte {

// A line as it reached the board, and what it did there.
struct EvenementCarte {
    qint64 numero = 0; // the line's number since the start, from 1
    QDateTime temps;
    LigneRecue ligne;
    // The position of the axis the line names after it (unchanged by a line
    // that was not taken); none when it names no axis.
    std::optional<qint64> position;
    bool horsCourse = false; // that position is beyond the axis's band
};

struct DerniereCommande {
    QByteArray octets;
    QDateTime temps;
};

// The travel band of each axis: -course to +course steps; none: no limit.
using CoursesCarte = std::array<std::optional<qint64>, AxesCarte>;
// The bands the machine's limits give (A.course …).
CoursesCarte CoursesDe(const Limites &machine);

class EtatCarte {
public:
    explicit EtatCarte(const CoursesCarte &courses = {})
        : m_courses(courses)
    {
    }

    // Takes a line that came at `temps`: a command moves its axis.
    EvenementCarte prendre(const LigneRecue &ligne, const QDateTime &temps);
    // Every position back to 0; the last commands and the counts stay.
    void remettreAZero() { m_positions.fill(0); }

    // Axis i, from 0 for A.
    qint64 position(int i) const { return m_positions.at(std::size_t(i)); }
    std::optional<qint64> course(int i) const { return m_courses.at(std::size_t(i)); }
    bool horsCourse(int i) const;
    const std::optional<DerniereCommande> &derniere(int i) const
    {
        return m_dernieres.at(std::size_t(i));
    }

    // Lines since the start: all of them, commands taken, resync lines,
    // anomalies.
    qint64 lignes() const { return m_lignes; }
    qint64 commandes() const { return m_commandes; }
    qint64 vides() const { return m_vides; }
    qint64 anomalies() const { return m_anomalies; }

private:
    CoursesCarte m_courses;
    std::array<qint64, AxesCarte> m_positions{};
    std::array<std::optional<DerniereCommande>, AxesCarte> m_dernieres{};
    qint64 m_lignes = 0, m_commandes = 0, m_vides = 0, m_anomalies = 0;
};

// One JSON object on one line, line feed included, for --sans-fenetre:
//   {"ligne":1,"temps":"2026-12-08T10:02:11.123+01:00","octets":"A+00100:002\n",
//    "genre":"commande","axe":"A","direction":"+","pas":100,"vitesse":2,
//    "position":100,"hors_course":false,"anomalie":null}
// Each byte received is the character of the same code (U+0000 to U+00FF),
// so that the bytes come back exactly; the object is plain ASCII.
QByteArray FormerJson(const EvenementCarte &evenement);

// The summary said at the end: the counts, and where each axis is.
QString ResumeCarte(const EtatCarte &etat);

} // namespace tarvik::carte
