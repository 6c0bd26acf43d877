#pragma once
// The disk work of one planned row, on POSIX calls. Every "does the target
// exist" test is an exclusive creation (O_EXCL, renameat2 RENAME_NOREPLACE or
// link), so a file that appears meanwhile is never replaced; a copy that fails
// part way leaves no partial target; a move across file systems copies,
// checks the copy, then removes the source, and leaves the source alone on
// any failure. Functions return 0 or an errno value.

#include "core/files/batch_plan.h"

namespace zorv::files {

// Copies src to a new file tgt, failing with EEXIST (nothing touched) when
// tgt exists. The copy keeps the source's permission bits (less the umask)
// and its modification time.
int copyNew(const char *src, const char *tgt);
// Copies src over tgt: the data goes to a temporary file in tgt's folder that
// then replaces tgt in one rename.
int copyReplacing(const char *src, const char *tgt);
// Moves src to tgt, failing with EEXIST (nothing touched) when tgt exists.
// Across file systems: copy, check, remove the source.
int moveNew(const char *src, const char *tgt);
// Creates the missing folders of targetDir one level at a time below root
// (only when targetDir is longer than root + 1); failures are left to the
// copy or move that follows.
void createMissingFolders(const QByteArray &targetDir, const QByteArray &root);

// The outcome of one task (Refuse gives Failed; Stop tasks are not executed).
Outcome executeTask(const Task &task, const QByteArray &root, bool overwrite);

} // namespace zorv::files
