// A program's run with a clock and a driver of the test's own, no real
// wait: what the runner and the send station are tested on.
#pragma once

#include "run/execution_programme.h"
#include "system/lecture.h"

#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <poll.h>

using namespace tarvik::run;

// A clock that waits for the test: what it was asked to wait, and the
// next step, run when the test says so.
class HorlogeEssai : public Horloge {
public:
    void planifier(qint64 ms, std::function<void()> suite) override
    {
        attentes << ms;
        m_suite = std::move(suite);
    }
    void annuler() override { m_suite = {}; }
    // Ends the wait under way; false when none.
    bool sonner()
    {
        auto suite = std::exchange(m_suite, {});
        if (suite)
            suite();
        return bool(suite);
    }
    QList<qint64> attentes;

private:
    std::function<void()> m_suite;
};

// What the driver saw, and how it misbehaves.
struct EtatPilote {
    QStringList actes;    // "ouvrir", each line written, "vider", "jeter", "fermer"
    int echouerA = -1;    // the write, counted from 0, that fails
    bool bloquer = false; // writes wait for the Stop
    std::atomic<bool> bloque = false;
    std::optional<EchecLien> refusOuverture; // the opening's, when it is refused
    bool coupee = false; // an earlier run left the line cut: the opening sends a lone line feed
    // Called before each write with its number, from 0: a Stop or a signal
    // asked there is heard by that write.
    std::function<void(int ecriture)> avantEcriture;
    std::function<void()> apresVider; // once a step's lines have left
};

class PiloteEssai : public PiloteLigne {
public:
    explicit PiloteEssai(EtatPilote &etat)
        : m_etat(etat)
    {
    }
    std::optional<EchecLien> ouvrir(const QString &) override
    {
        if (m_etat.refusOuverture)
            return m_etat.refusOuverture;
        m_etat.actes << QStringLiteral("ouvrir");
        m_ouvert = true;
        m_coupure = m_etat.coupee ? Coupure::Marque : Coupure::Aucune;
        return std::nullopt;
    }
    std::optional<EchecLien> ecrire(QByteArrayView octets, QDeadlineTimer) override
    {
        if (m_etat.bloquer) {
            m_etat.bloque = true;
            pollfd arret{m_arret, POLLIN, 0};
            ::poll(&arret, 1, 5000);
            return Refus(EchecLien::Genre::Interrompu, {RaisonPort::Genre::EnvoiInterrompu});
        }
        if (m_etat.avantEcriture)
            m_etat.avantEcriture(m_ecritures);
        if (DescripteurLisible(m_arret) || DescripteurLisible(m_reveil))
            return Refus(EchecLien::Genre::Interrompu, {RaisonPort::Genre::EnvoiInterrompu});
        if (m_ecritures++ == m_etat.echouerA)
            return Refus(EchecLien::Genre::EcritureEchouee,
                         {.genre = RaisonPort::Genre::EcritureEchouee, .erreur = EIO});
        m_etat.actes << QString::fromLatin1(octets.toByteArray().trimmed());
        return std::nullopt;
    }
    std::optional<EchecLien> vider(QDeadlineTimer) override
    {
        m_etat.actes << QStringLiteral("vider");
        if (m_etat.apresVider)
            m_etat.apresVider();
        return std::nullopt;
    }
    void jeter() override { m_etat.actes << QStringLiteral("jeter"); }
    void fermer() override
    {
        if (m_ouvert)
            m_etat.actes << QStringLiteral("fermer");
        m_ouvert = false;
    }
    bool estOuvert() const override { return m_ouvert; }
    QString peripherique() const override { return QStringLiteral("/dev/ttyESSAI"); }
    QList<AvertissementPort> avertissements() const override { return {}; }

private:
    EtatPilote &m_etat;
    bool m_ouvert = false;
    int m_ecritures = 0;
};

// Step k's grid: axis A moves k steps, the other axes stay.
inline Grille grille(int k)
{
    TextesGrille textes;
    for (TextesRangee &rangee : textes)
        rangee = {QStringLiteral("00000"), QStringLiteral("+"), QStringLiteral("002")};
    textes[0].pas = QString::number(k);
    return *VerifierGrille(textes).grille;
}

// Three steps, 1 s then 2.5 s apart.
inline Programme troisEtapes()
{
    return {{{QStringLiteral("prise"), grille(1), 10},
             {QStringLiteral("levée"), grille(2), 25},
             {QStringLiteral("pose"), grille(3), 0}},
            1};
}

// The steps the driver was given, each by its number, from axis A's lines.
inline QString etapesEcrites(const QStringList &actes)
{
    QString etapes;
    for (const QString &acte : actes)
        if (acte.startsWith(u'A'))
            etapes += acte.at(6); // "A+0000k:002"
    return etapes;
}
