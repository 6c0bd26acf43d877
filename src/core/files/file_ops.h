#pragma once
// The disk work of one planned row, on POSIX calls. Every "does the target
// exist" test is an exclusive creation (O_EXCL, renameat2 RENAME_NOREPLACE or
// link), so a file that appears meanwhile is never replaced; a copy that fails
// part way leaves no partial target; a move across file systems copies,
// checks the copy, then removes the source, and leaves the source alone on
// any failure. Functions return 0 or an errno value.

#include "core/files/batch_plan.h"

#include <fcntl.h>

namespace zorv::files {

// A file named relative to an open folder (AT_FDCWD: relative to the working
// folder, or an absolute name).
struct At {
    int dir = AT_FDCWD;
    const char *name = nullptr;
};

// Copies src to a new file tgt, failing with EEXIST (nothing touched) when
// tgt exists. The copy keeps the source's permission bits (less the umask)
// and its modification time.
int copyNew(At src, At tgt);
// Copies src over tgt: the data goes to a temporary file in tgt's folder that
// then replaces tgt in one rename.
int copyReplacing(At src, At tgt);
// Moves src to tgt, failing with EEXIST (nothing touched) when tgt exists.
// Across file systems: copy, check, remove the source.
int moveNew(At src, At tgt);

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
};

// The outcome of one task (Refuse gives Failed; Stop tasks are not executed).
// folders may be null.
Outcome executeTask(const Task &task, const QByteArray &root, bool overwrite,
                    FolderCache *folders = nullptr);

} // namespace zorv::files
