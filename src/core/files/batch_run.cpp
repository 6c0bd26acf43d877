#include "core/files/batch_run.h"

#include "core/files/file_ops.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {

RunSummary runPlan(const Plan &plan, ProgressSink &progress,
                   const std::function<void(qint64 row, Outcome)> &onOutcome) {
    RunSummary s;
    const qint64 total = qint64(plan.tasks.size());
    const QString executing = u"正在执行："_s;
    FolderCache folders;
    // Moves across file systems wait here for one flush per batch before
    // their sources go; every way out of the loop finishes them first.
    PendingMoves pending;
    const auto report = [&](qint64 row, Outcome o) {
        ++s.executed;
        if (o == Outcome::Success)
            ++s.succeeded;
        if (onOutcome)
            onOutcome(row, o);
    };
    qint64 i = 0;
    for (const Task &t : plan.tasks) {
        ++i;
        progress.progress(i - 1, total, executing + QString::number(t.row));
        if (progress.stopRequested()) {
            pending.finish(report);
            s.end = RunEnd::Stopped;
            s.endRow = t.row;
            return s;
        }
        if (t.action == Action::StopNoName || t.action == Action::StopNoPath) {
            pending.finish(report);
            s.end = t.action == Action::StopNoName ? RunEnd::NoName : RunEnd::NoPath;
            s.endRow = t.row;
            return s;
        }
        if (pending.full() || touchesPending(t, folders, pending))
            pending.finish(report);
        if (const std::optional<Outcome> o =
                executeTask(t, plan.root, plan.overwrite, folders, pending))
            report(t.row, *o);
    }
    pending.finish(report);
    progress.progress(total, total, QString());
    s.end = RunEnd::Completed;
    return s;
}

RunSummary executeRun(Grid &grid, const FrnState &state, const RunOptions &options,
                      ProgressSink &progress) {
    if (grid.rowCount() == 0) {
        platform().messageBox(u"提示"_s, u"还没有源文件"_s);
        return RunSummary{RunEnd::EmptyGrid, 0, 0, 0};
    }
    const Plan plan = buildPlan(grid, state.ls_path2, options);
    const int jg = FrnColumns(grid).jg;
    // The texts are made once: each row's cell shares one of them.
    const QString texts[] = {outcomeText(Outcome::Success), outcomeText(Outcome::Failed),
                             outcomeText(Outcome::SameName), outcomeText(Outcome::Invalid),
                             outcomeText(Outcome::Cancelled)};
    const RunSummary s = runPlan(
        plan, progress, [&](qint64 row, Outcome o) { grid.setItem(row, jg, texts[int(o)]); });
    switch (s.end) {
    case RunEnd::NoName:
        platform().messageBox(u"提示"_s, u"文件名不能为空"_s);
        break;
    case RunEnd::NoPath:
        platform().messageBox(u"提示"_s, u"目标文件路径不能为空"_s);
        break;
    case RunEnd::Completed:
        grid.setFilter(QString());
        grid.filter();
        platform().messageBox(u"提示"_s, u"操作完成"_s);
        break;
    case RunEnd::Stopped:
    case RunEnd::EmptyGrid:
        break;
    }
    return s;
}

} // namespace zorv::files
