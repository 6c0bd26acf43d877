#pragma once
// The disk work of one planned row, on POSIX calls. Every "does the target
// exist" test is an exclusive creation (renameat2 RENAME_NOREPLACE or link),
// so a file that appears meanwhile is never replaced. A copy is written under
// a temporary name in the target folder and renamed to its final name only
// when complete (temp_file.h). A move across file systems copies, flushes,
// checks that the source is still the file copied, then removes it, and
// leaves the source alone on any failure (cross_move.h). A source that is
// gone or no longer a regular file (a FIFO, a device, a folder) is refused
// before any target test, without blocking. Functions return 0 or an errno
// value.

#include "core/files/batch_plan.h"
#include "core/files/cross_move.h"
#include "core/files/temp_file.h"

#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace zorv::files {

// What a move takes as its source: a regular file or a symbolic link.
inline bool movableMode(mode_t mode) {
    return S_ISREG(mode) || S_ISLNK(mode);
}

// Copies src to a new file tgt, failing with EEXIST (nothing touched) when
// tgt exists. The copy keeps the source's permission bits (less the umask)
// and its modification time. sweep, when given, first clears tgt's folder of
// temporary files left by processes that no longer run.
int copyNew(At src, At tgt, StaleSweep *sweep = nullptr);
// Copies src over tgt: the complete copy replaces tgt in one rename.
int copyReplacing(At src, At tgt, StaleSweep *sweep = nullptr);
// Moves src to tgt, failing with EEXIST (nothing touched) when tgt exists.
// Across file systems: copy, flush, check, remove the source.
int moveNew(At src, At tgt, StaleSweep *sweep = nullptr);

inline int copyNew(const char *src, const char *tgt) {
    return copyNew(At{AT_FDCWD, src}, At{AT_FDCWD, tgt});
}
inline int copyReplacing(const char *src, const char *tgt) {
    return copyReplacing(At{AT_FDCWD, src}, At{AT_FDCWD, tgt});
}
inline int moveNew(const char *src, const char *tgt) {
    return moveNew(At{AT_FDCWD, src}, At{AT_FDCWD, tgt});
}

// Creates the missing folders of targetDir one level at a time below root
// (only when targetDir is longer than root + 1); failures are left to the
// copy or move that follows.
void createMissingFolders(const QByteArray &targetDir, const QByteArray &root);

// Open descriptors of the source and target folders of the last rows, so
// that a run of rows in the same folders names files relative to them
// instead of walking the whole path for every file.
class FolderCache {
public:
    // The run's sweep of stale temporary files.
    StaleSweep &sweep() { return m_sweep; }

    FolderCache() = default;
    ~FolderCache();
    FolderCache(const FolderCache &) = delete;
    FolderCache &operator=(const FolderCache &) = delete;

    // The descriptor of folder ("" = AT_FDCWD), or -1 when it cannot be opened.
    int source(const QByteArray &folder) { return get(m_source, folder); }
    int target(const QByteArray &folder);
    // Forgets the target folder (after folders were created below the root).
    void dropTarget();

private:
    struct Slot {
        QByteArray path;
        int fd = -1;
    };
    int get(Slot &slot, const QByteArray &folder);
    Slot m_source;
    Slot m_target;
    StaleSweep m_sweep;
};

// The outcome of one task (Refuse gives Failed; Stop tasks are not executed).
// folders may be null.
Outcome executeTask(const Task &task, const QByteArray &root, bool overwrite,
                    FolderCache *folders = nullptr);
// The same within a run: a move across file systems whose copy is published
// joins pending and has no outcome yet (nullopt); pending.finish() gives it.
// sourceLooked: the run saw the source as a regular file or a symbolic link
// moments ago, so a move need not look at it again.
std::optional<Outcome> executeTask(const Task &task, const QByteArray &root, bool overwrite,
                                   FolderCache &folders, PendingMoves &pending,
                                   bool sourceLooked = false);
// True when a file task reads or replaces is the source of a move in
// pending: the batch must finish before task runs.
bool touchesPending(const Task &task, FolderCache &folders, const PendingMoves &pending);

} // namespace zorv::files
