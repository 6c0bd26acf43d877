#pragma once
// The two halves of a row that waits for its target to become free (rows
// that swap or rotate names): the source is first moved or copied to a new
// temporary name in the target folder, and later put in place under its
// target name.

#include "core/files/batch_plan.h"

namespace zorv::files {

// Moves (move rows) or copies (copy rows) the task's source to a new name
// ".zorv-hold-…" in its target folder, creating missing folders below root.
// 0 or an errno value; *temp receives the full temporary path.
int holdSource(const Task &task, const QByteArray &root, QByteArray *temp);

// Puts the held file under the task's target name. A move never replaces:
// when the target is still taken, the file goes back to its source name
// ("无效", or "取消" without overwrite to another folder). A copy replaces
// the target (only copies with overwrite are ever held). Whatever fails, the
// file stays where it is and the outcome is "失败".
Outcome releaseHeld(const Task &task, const QByteArray &temp, bool overwrite);

} // namespace zorv::files
