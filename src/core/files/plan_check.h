#pragma once
// The check a run plan passes before any file is touched. Files are told
// apart by the identity of their folder (device and inode), so a folder
// reached through a symbolic link, ".." or a doubled "/" is the same folder.
// A row is refused when it would overwrite or take away what another row
// writes or still has to read (a second row with the same target, a second
// move of the same source); every row that reads a file another row writes
// is put before that row, and where rows form a ring (a→b, b→a) one file is
// held under a temporary name in its target folder until its target is free.

#include "core/files/batch_plan.h"

#include <QList>
#include <QStringList>
#include <vector>

namespace zorv::files {

struct Conflict {
    quint32 task = 0; // index into Plan::tasks
    QString reason;   // short text for the user
};

enum class StepKind : quint8 {
    Run,     // the task as planned (its outcome follows)
    Hold,    // the source goes to a temporary name in the target folder
    Release, // the held file goes to its target (the outcome follows)
    Skip,    // a conflicting row: "失败" without any disk work
};

struct Step {
    quint32 task = 0;
    StepKind kind = StepKind::Run;
};

inline constexpr quint32 kNoTask = quint32(-1);

struct PlanCheck {
    std::vector<Conflict> conflicts; // in row order
    // The order of the disk work; empty when the tasks simply run in row
    // order (no conflict and no row reads what another writes).
    std::vector<Step> steps;
    // With steps: for each task, the task that writes its source (kNoTask
    // for none). When a row fails to read its source, the copy that would
    // replace that source must not run either.
    std::vector<quint32> writerOf;
};

// Examines plan: one stat per distinct folder text, none per file.
PlanCheck checkPlan(const Plan &plan);

// The conflicting rows for the user, at most limit of them: row number,
// source, target and reason in each; *rest receives how many were left out.
QList<QStringList> conflictRows(const Plan &plan, const PlanCheck &check, qsizetype limit,
                                qsizetype *rest);
// One conflicting row as a line: "第 N 行：source → target：reason".
QString conflictLine(const QStringList &row);
// The conflict review's title and text, and the line that counts the rows
// left out of the list (empty when none were).
QString conflictTitle();
QStringList conflictHeaders(); // "行号", "源文件", "目标文件", "原因"
QString conflictText(qsizetype count);
QString conflictRestLine(qsizetype rest);
// The most rows a conflict review lists.
inline constexpr qsizetype kConflictListLimit = 200;

} // namespace zorv::files
