#include "core/files/batch_run.h"

#include "core/files/file_ops.h"
#include "core/files/held_file.h"
#include "core/files/run_journal.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

#include <charconv>
#include <optional>
#include <unistd.h>
#include <unordered_map>

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {

RunSummary runPlan(const Plan &plan, const PlanCheck &check, ProgressSink &progress,
                   const std::function<void(qint64 row, Outcome)> &onOutcome,
                   RunObserver *observer) {
    RunSummary s;
    const qint64 total = qint64(plan.tasks.size());
    // "正在执行：" + the row, rewritten in place for each row: no text is made
    // per row unless the sink keeps one.
    QString status = u"正在执行："_s;
    const qsizetype statusPrefix = status.size();
    FolderCache folders;
    // Temporary names of held files (rows waiting for their target); an
    // empty name for a row whose hold failed.
    std::unordered_map<quint32, QByteArray> held;
    // Copies that must not replace their target: a row that was to read it
    // first failed.
    std::vector<char> blocked(check.writerOf.size(), 0);
    const auto readFailed = [&](quint32 task) {
        if (blocked.empty())
            return;
        const quint32 w = check.writerOf[task];
        if (w != kNoTask && plan.tasks[w].action == Action::Copy && plan.overwrite)
            blocked[w] = 1;
    };
    // The task of a row, for outcomes that arrive after their step (moves
    // across file systems); only needed when rows depend on each other.
    std::unordered_map<qint64, quint32> taskOfRow;
    if (!blocked.empty())
        for (quint32 k = 0; k < quint32(plan.tasks.size()); ++k)
            taskOfRow.emplace(plan.tasks[k].row, k);
    const auto report = [&](qint64 row, Outcome o) {
        ++s.executed;
        if (o == Outcome::Success)
            ++s.succeeded;
        if (o == Outcome::Failed && !taskOfRow.empty())
            readFailed(taskOfRow.at(row));
        if (observer)
            observer->outcome(row, o);
        if (onOutcome)
            onOutcome(row, o);
    };
    // Moves across file systems wait here for one flush per batch before
    // their sources go; every way out of the loop finishes them first.
    PendingMoves pending;
    const size_t steps = check.steps.empty() ? plan.tasks.size() : check.steps.size();
    qint64 i = 0;
    for (size_t k = 0; k < steps; ++k) {
        const Step step = check.steps.empty() ? Step{quint32(k), StepKind::Run} : check.steps[k];
        const Task &t = plan.tasks[step.task];
        if (step.kind != StepKind::Release) {
            char digits[24];
            const char *end = std::to_chars(digits, digits + sizeof digits, t.row).ptr;
            status.truncate(statusPrefix);
            status.append(QLatin1StringView(digits, end - digits));
            progress.progress(i, total, status);
            if (held.empty() && progress.stopRequested()) {
                pending.finish(report);
                s.end = RunEnd::Stopped;
                s.endRow = t.row;
                return s;
            }
        }
        if (t.action == Action::StopNoName || t.action == Action::StopNoPath) {
            pending.finish(report);
            s.end = t.action == Action::StopNoName ? RunEnd::NoName : RunEnd::NoPath;
            s.endRow = t.row;
            return s;
        }
        // Temporary names and rows that read or replace a waiting move's
        // source see every earlier move finished.
        if (step.kind != StepKind::Run || pending.full() || touchesPending(t, folders, pending))
            pending.finish(report);
        if (observer && !observer->beforeStep(k) && held.empty()) {
            pending.finish(report);
            s.end = RunEnd::Stopped;
            s.endRow = t.row;
            return s;
        }
        const bool isBlocked = !blocked.empty() && blocked[step.task];
        Outcome o = Outcome::Failed;
        switch (step.kind) {
        case StepKind::Hold: {
            QByteArray temp;
            if (!isBlocked && holdSource(t, plan.root, &temp) == 0) {
                if (observer)
                    observer->held(step.task, temp);
                held.emplace(step.task, std::move(temp));
                continue; // the outcome comes with the release
            }
            held.emplace(step.task, QByteArray());
            readFailed(step.task);
            break;
        }
        case StepKind::Release: {
            const auto h = held.find(step.task);
            const QByteArray temp = h->second;
            held.erase(h);
            if (temp.isEmpty())
                continue;         // its hold failed and was reported then
            folders.dropTarget(); // forget a folder state older than the held file
            if (isBlocked)
                unlink(temp.constData()); // only copies are blocked: the source stays
            else
                o = releaseHeld(t, temp, plan.overwrite);
            break;
        }
        case StepKind::Skip:
            break;
        case StepKind::Run:
            ++i;
            if (isBlocked) {
                report(t.row, Outcome::Failed);
            } else if (const std::optional<Outcome> r =
                           executeTask(t, plan.root, plan.overwrite, folders, pending,
                                       observer && observer->sourceLooked(k))) {
                report(t.row, *r);
            }
            continue;
        }
        ++i;
        report(t.row, o);
    }
    pending.finish(report);
    progress.progress(total, total, QString());
    s.end = RunEnd::Completed;
    return s;
}

RunSummary runPlan(const Plan &plan, ProgressSink &progress,
                   const std::function<void(qint64 row, Outcome)> &onOutcome) {
    return runPlan(plan, checkPlan(plan), progress, onOutcome);
}

bool confirmConflicts(const Plan &plan, const PlanCheck &check) {
    if (check.conflicts.empty())
        return true;
    qsizetype rest = 0;
    const QList<QStringList> rows = conflictRows(plan, check, kConflictListLimit, &rest);
    return platform().reviewRows(conflictTitle(), conflictText(qsizetype(check.conflicts.size())),
                                 conflictHeaders(), rows, conflictRestLine(rest), u"取消"_s,
                                 u"继续"_s);
}

namespace {

// "成功 1200，失败 3，同名 2": the successes and every other outcome that occurred.
QString outcomeCountsText(const qint64 (&counts)[kOutcomeKinds]) {
    QStringList parts;
    for (int k = 0; k < kOutcomeKinds; ++k)
        if (counts[k] > 0 || Outcome(k) == Outcome::Success)
            parts << outcomeText(Outcome(k)) + u' ' + QString::number(counts[k]);
    return parts.join(u"，"_s);
}

} // namespace

RunSummary executeRun(Grid &grid, const FrnState &state, const RunOptions &options,
                      ProgressSink &progress, const JournalPlace *journal) {
    if (grid.rowCount() == 0) {
        platform().messageBox(u"提示"_s, u"还没有源文件"_s);
        return RunSummary{RunEnd::EmptyGrid, 0, 0, 0};
    }
    const Plan plan = buildPlan(grid, state.ls_path2, options);
    const PlanCheck check = checkPlan(plan);
    if (!confirmConflicts(plan, check))
        return RunSummary{RunEnd::Cancelled, 0, 0, 0};
    std::optional<RunJournal> log;
    if (journal) {
        log.emplace(plan, check, options.move);
        QString why;
        if (!log->open(*journal, &why)) {
            platform().messageBox(u"提示"_s, why + u"\n未执行任何操作"_s);
            return RunSummary{RunEnd::NoJournal, 0, 0, 0};
        }
    }
    const int jg = FrnColumns(grid).jg;
    // Every row this run is to carry out shows its outcome or nothing: a
    // stopped run leaves no earlier run's result on the rows it never reached
    // ("找到" of the name-list filter stays until the row's outcome replaces it).
    for (const Task &t : plan.tasks)
        if (t.action != Action::StopNoName && t.action != Action::StopNoPath)
            clearOutcome(grid, t.row, jg);
    // The texts are made once: each row's cell shares one of them.
    QString texts[kOutcomeKinds];
    for (int k = 0; k < kOutcomeKinds; ++k)
        texts[k] = outcomeText(Outcome(k));
    qint64 counts[kOutcomeKinds] = {};
    const RunSummary s = runPlan(
        plan, check, progress,
        [&](qint64 row, Outcome o) {
            grid.setItem(row, jg, texts[int(o)]);
            ++counts[int(o)];
        },
        log ? &*log : nullptr);
    // A journal that failed on the way stopped the run; its reason follows
    // the run's message.
    const QString journalError = log && !log->finish(s) ? u"\n"_s + log->error() : QString();
    // The run is over: its last "正在执行：" status goes.
    platform().setStatusText(QString());
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
        platform().messageBox(u"提示"_s,
                              u"操作完成\n"_s + outcomeCountsText(counts) + journalError);
        break;
    case RunEnd::Stopped: {
        QString done = u"执行已停止\n已执行 "_s + QString::number(s.executed) + u" 行"_s;
        if (s.executed > 0)
            done += u"："_s + outcomeCountsText(counts);
        platform().messageBox(u"提示"_s, done + journalError);
        break;
    }
    case RunEnd::EmptyGrid:
    case RunEnd::Cancelled:
    case RunEnd::NoJournal:
        break;
    }
    return s;
}

} // namespace zorv::files
