// Standard output written away from the reading of the line: a reader of
// it that stops (a pipe nobody empties, a suspended terminal) holds up a
// thread of its own, never the board, which goes on reading as a board
// does. What waits is kept in memory, up to a bound past which lines are
// counted as lost rather than kept.
#pragma once

#include "carte/couche.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <memory>

namespace tarvik::carte {

class SortieEnFond {
public:
    // Past this, what is written is dropped and counted.
    static constexpr qint64 AttenteMax = 64 * 1024 * 1024;

    explicit SortieEnFond(int fd);
    // Waits for nothing: a thread still stuck in a write is left to the end
    // of the process.
    ~SortieEnFond();
    SortieEnFond(const SortieEnFond &) = delete;
    SortieEnFond &operator=(const SortieEnFond &) = delete;

    void ecrire(const QByteArray &octets);
    // Waits, until `echeance`, for everything to be written; whether it was.
    bool vider(QDeadlineTimer echeance);
    // What was dropped: past the bound, or after a write failed.
    qint64 perdus() const;
    // The errno of the write that failed (a closed pipe), or 0.
    int erreur() const;

private:
    struct Partage;
    std::shared_ptr<Partage> m_partage;
};

} // namespace tarvik::carte
