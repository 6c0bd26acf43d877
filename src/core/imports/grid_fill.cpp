#include "core/imports/grid_fill.h"

#include "core/grid/grid.h"
#include "core/platform/progress.h"

namespace zorv::imports {

namespace {

constexpr qint64 kProgressEvery = 256;

} // namespace

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
    if (plan.replace)
        grid.reset();
    for (const QStringList &fields : rows) {
        const qint64 row = grid.insertRow(0);
        for (int k = 0; k < plan.targets.size(); ++k) {
            const int target = plan.targets[k];
            if (target >= 1 && target <= grid.columnCount() && k < fields.size())
                grid.setItem(row, target, fields[k]);
        }
    }
    if (painting)
        grid.setRedraw(true);
    result.outcome = Outcome::Imported;
    result.rows = count;
    return result;
}

} // namespace zorv::imports
