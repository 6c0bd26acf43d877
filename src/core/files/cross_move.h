#pragma once
// Moves across file systems whose copies are complete under their final names
// while their sources are still in place. A source is removed only after the
// copies were flushed to disk (one flush per batch) and the source was found
// to be the very file that was copied; otherwise the source stays, the copy
// goes and the row fails.

#include "core/files/frn_grid.h"

#include <QByteArray>

#include <fcntl.h>
#include <functional>
#include <map>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace zorv::files {

class PendingMoves {
public:
    struct Move {
        qint64 row = 0;
        int sourceDir = AT_FDCWD; // names relative to these folders; a run
        QByteArray source;        // gives whole paths, as the folders it has
        int targetDir = AT_FDCWD; // open change from row to row
        QByteArray target;
        struct stat copied {}; // the source as it was copied
        dev_t copyDev = 0;     // the copy, by identity
        ino_t copyIno = 0;
        qint64 bytes = 0;
    };

    PendingMoves() = default;
    ~PendingMoves();
    PendingMoves(const PendingMoves &) = delete;
    PendingMoves &operator=(const PendingMoves &) = delete;

    // Takes a move whose copy has just been published.
    void add(Move move);
    bool empty() const { return m_moves.empty(); }
    // Enough waits for one flush.
    bool full() const;
    // True when st (of a file a later row is about to use) is the source of a
    // waiting move: that row must wait for the batch to finish.
    bool holdsSource(const struct stat &st) const;

    // Flushes the file systems of the copies, then checks and removes each
    // source; reports every move's outcome (Success or Failed) in order.
    void finish(const std::function<void(qint64 row, Outcome)> &report);

    // A test seam: called with each source's path right before its check.
    static void setBeforeSourceCheck(std::function<void(const QByteArray &source)> hook);

private:
    std::vector<Move> m_moves;
    std::set<std::pair<dev_t, ino_t>> m_sources;
    std::map<dev_t, int> m_flush; // a descriptor on each target file system
    qint64 m_bytes = 0;
};

} // namespace zorv::files
