#include "core/imports/grid_fill.h"

#include "core/grid/grid.h"
#include "core/platform/progress.h"

namespace zorv::imports {

namespace {

constexpr qint64 kProgressEvery = 256;

} // namespace

void dropOldRows(Grid &grid, qint64 count, const Grid::AppendMark &appended) {
    if (count <= 0)
        return;
    const qint64 all = grid.rowCount();
    try {
        QList<qint64> rows;
        rows.reserve(count);
        for (qint64 r = 1; r <= count; ++r)
            rows.append(r);
        grid.deleteRows(rows);
    } catch (const std::bad_alloc &) {
        if (grid.rowCount() != all)
            return; // the old rows went; only tidying up after them ran short
        grid.rollbackAppend(appended);
        throw;
    }
}

FillResult fillGrid(Grid &grid, const QList<QStringList> &rows, const FillPlan &plan,
                    ProgressSink *progress) {
    FillResult result;
    const qint64 count = rows.size();
    QList<int> checked; // fields bound for number and date columns
    for (int k = 0; k < plan.targets.size(); ++k) {
        const int target = plan.targets[k];
        if (target >= 1 && target <= grid.columnCount() &&
            grid.columnType(target) != ColType::String)
            checked << k;
    }

    Grid probe(grid.columns());
    probe.setRedraw(false);
    probe.insertRow(0);
    for (qint64 i = 0; i < count; ++i) {
        const QStringList &fields = rows[i];
        for (int k : checked) {
            const QString value = fields.value(k);
            if (!probe.setItem(1, plan.targets[k], value)) {
                result.refusal =
                    fieldRefusalText(grid.columns().at(plan.targets[k] - 1), plan.firstNumber + i,
                                     plan.sourceColumns.value(k, k + 1), value);
                return result;
            }
        }
        if (progress) {
            if (i % kProgressEvery == 0 || i + 1 == count)
                progress->progress(i + 1, count,
                                   msg::importing() + QString::number(plan.firstNumber + i));
            if (progress->stopRequested()) {
                result.outcome = Outcome::Stopped;
                return result;
            }
        }
    }

    const bool painting = grid.redraw();
    grid.setRedraw(false);
    // The old rows go only once the new ones are in, so that running out of
    // memory on the way leaves the grid as it was; rows a filter hides cannot
    // wait that way and go first.
    const bool dropOldAfter = plan.replace && grid.filteredCount() == 0;
    if (plan.replace && !dropOldAfter)
        grid.reset();
    const qint64 before = grid.rowCount();
    const Grid::AppendMark mark = grid.appendMark();
    try {
        for (const QStringList &fields : rows) {
            const qint64 row = grid.insertRow(0);
            for (int k = 0; k < plan.targets.size(); ++k) {
                const int target = plan.targets[k];
                if (target >= 1 && target <= grid.columnCount() && k < fields.size())
                    grid.setItem(row, target, fields[k]);
            }
        }
        if (dropOldAfter)
            dropOldRows(grid, before, mark);
    } catch (const std::bad_alloc &) {
        grid.rollbackAppend(mark);
        if (painting)
            grid.setRedraw(true);
        throw;
    }
    if (painting)
        grid.setRedraw(true);
    result.outcome = Outcome::Imported;
    result.rows = count;
    return result;
}

} // namespace zorv::imports
