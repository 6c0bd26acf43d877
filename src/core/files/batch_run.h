#pragma once
// Step 4 of the file window ("4、执行", cb_3): runs the plan row by row,
// writing each row's outcome, with progress and a stop request (Esc).

#include "core/files/batch_plan.h"
#include "core/files/plan_check.h"

#include <functional>

namespace zorv {
class ProgressSink;
}

namespace zorv::files {

struct JournalPlace;

enum class RunEnd {
    Completed, // every shown row was visited
    Stopped,   // stop requested (Esc): rows done keep their outcome
    NoName,    // a row with an empty filen ended the run
    NoPath,    // a row with an empty npath ended the run
    EmptyGrid, // nothing to run
    Cancelled, // the user declined the run after its conflicts were shown
    NoJournal, // the run's journal could not be written: nothing touched
};

// Follows a run step by step (the run's journal). Step k is check.steps[k],
// or task k when check.steps is empty.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // Before step k touches the disk; false stops the run (once no file is
    // held under a temporary name).
    virtual bool beforeStep(size_t k) = 0;
    // The hold step of task put its source under temp (a full path).
    virtual void held(quint32 task, const QByteArray &temp) = 0;
    // A row's outcome, as onOutcome hears it.
    virtual void outcome(qint64 row, Outcome o) = 0;
    // True when the observer saw the source of step k, moments before, as a
    // regular file or a symbolic link: the run need not look at it again.
    virtual bool sourceLooked(size_t k) const {
        (void)k;
        return false;
    }
};

struct RunSummary {
    RunEnd end = RunEnd::Completed;
    qint64 executed = 0;  // rows that got an outcome
    qint64 succeeded = 0; // of them "成功"
    qint64 endRow = 0;    // the row where a Stopped / NoName / NoPath run ended
};

// Executes plan: for the i-th task, progress(i, total, "正在执行：" + i), one
// stop poll, then the disk work and onOutcome(row, outcome). Shows nothing.
// Tasks run in the order check gives; its conflicting rows get "失败"
// untouched. A stop waits until no file is held under a temporary name. The
// outcome of a move across file systems comes once its batch is flushed and
// its source removed: after later rows' outcomes, always before runPlan
// returns.
// observer, when given, hears of every step before its disk work and of every
// outcome; a false from it ends the run as a stop does.
RunSummary runPlan(const Plan &plan, const PlanCheck &check, ProgressSink &progress,
                   const std::function<void(qint64 row, Outcome)> &onOutcome,
                   RunObserver *observer = nullptr);
// The same after checkPlan(plan).
RunSummary runPlan(const Plan &plan, ProgressSink &progress,
                   const std::function<void(qint64 row, Outcome)> &onOutcome);

// Shows the conflicts of check through the platform's review (the first
// kConflictListLimit rows and a count of the rest, "取消" / "继续"); true
// when there are none or the user chose "继续".
bool confirmConflicts(const Plan &plan, const PlanCheck &check);

// cb_3 in full: "提示" / "还没有源文件" for an empty grid; plans the shown rows
// with targetRoot = state.ls_path2 and checks the plan; conflicts are shown
// first and "取消" ends the run with nothing touched (Cancelled); otherwise
// empties jg of the rows to carry out, then runs them writing jg; an empty
// name or path ends with "提示" / "文件名不能为空" or "目标文件路径不能为空"; a
// stop shows "提示" / "执行已停止" with the rows executed and their outcome
// counts; a completed run clears the grid's filter and shows "提示" /
// "操作完成" with the outcome counts on a second line ("成功 N，失败 M", every
// other outcome only when it occurred); the window enables "4、执行" again only
// then. The status line is emptied when the run ends.
// With journal, the run is journaled into a new file there (journal.h); when
// that file cannot be written the run does not start: "提示" and the reason
// (NoJournal).
RunSummary executeRun(Grid &grid, const FrnState &state, const RunOptions &options,
                      ProgressSink &progress, const JournalPlace *journal = nullptr);

} // namespace zorv::files
