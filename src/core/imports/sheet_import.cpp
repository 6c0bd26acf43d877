#include "core/imports/sheet_import.h"
#include "core/sheet/workbook.h"

#include "core/grid/grid.h"
#include "core/imports/grid_fill.h"
#include "core/imports/sheet_source.h"
#include "core/platform/platform.h"

namespace zorv::imports {

namespace {

const QString kSheetExt = QStringLiteral("xls");

QList<int> allColumns(const Grid &grid) {
    QList<int> targets;
    for (int c = 1; c <= grid.columnCount(); ++c)
        targets << c;
    return targets;
}

// Reports a fill that did not go through: the refusal in a message box under
// title, a stop in the status line.
ImportReport finishFill(const FillResult &r, const QString &title) {
    if (r.outcome == Outcome::Refused)
        platform().messageBox(title, r.refusal, MsgIcon::Warning);
    else if (r.outcome == Outcome::Stopped)
        platform().setStatusText(msg::stopped());
    return {r.outcome, r.rows};
}

} // namespace

ImportReport importSheetConnectFirst(Grid &grid, const ConnectFirstOptions &options,
                                     ProgressSink *progress) {
    return refusingOnOutOfMemory([&]() -> ImportReport {
        const auto path = connectAndChooseSheet();
        if (!path)
            return {};
        auto reading = [&](bool on) {
            if (options.reading)
                options.reading(on);
        };
        reading(true);
        Outcome outcome = Outcome::Refused;
        const auto sheet =
            readImportSheet(*path, sheet::WhichSheet::Active, msg::infoTitle(), progress, &outcome);
        if (!sheet) {
            reading(false);
            return {outcome, 0};
        }
        if (options.noticeBeforeRows)
            platform().messageBox(msg::infoTitle(), QString());
        FillPlan plan;
        plan.targets = allColumns(grid);
        const FillResult filled =
            fillGrid(grid, sheet->rows(1, grid.columnCount()), plan, progress);
        reading(false);
        return finishFill(filled, msg::infoTitle());
    });
}

FileFirstOptions comparisonListOptions(int column, qint64 firstRow) {
    FileFirstOptions o;
    o.dialogTitle = msg::openFileTitle();
    o.filter = msg::sheetOrTextFilter();
    o.column = column;
    o.firstRow = firstRow;
    o.acceptText = true;
    return o;
}

ImportReport importSheetFileFirst(Grid &grid, const FileFirstOptions &options,
                                  ProgressSink *progress) {
    return refusingOnOutOfMemory([&]() -> ImportReport {
        const auto choice = platform().openFile(options.dialogTitle, kSheetExt, options.filter);
        if (!choice) {
            platform().messageBox(msg::hintTitle(), msg::fileChoiceFailed());
            return {};
        }
        const QString path = choice->path;
        if (path.isEmpty()) {
            platform().messageBox(msg::hintTitle(), msg::fileNameEmpty());
            return {};
        }

        qint64 added = 0;
        // The content decides: text goes to the grid's text import, whatever the
        // file is called; anything else to the spreadsheet reader.
        if (options.acceptText && sheet::sniffFile(path) == sheet::FileKind::Text) {
            const ImportReport r = reportGridImport(grid.importFile(path, 1, progress));
            if (!r.imported())
                return r;
            added = r.rows;
        } else {
            if (!connectSheetReader())
                return {};
            Outcome outcome = Outcome::Refused;
            const auto sheet = readImportSheet(path, sheet::WhichSheet::Active, msg::hintTitle(),
                                               progress, &outcome);
            if (!sheet)
                return {outcome, 0};
            FillPlan plan;
            plan.firstNumber = std::max<qint64>(options.firstRow, 1);
            QList<QStringList> rows;
            if (options.column <= 0) {
                plan.targets = allColumns(grid);
                rows = sheet->rows(int(std::min<qint64>(plan.firstNumber, sheet::kMaxRows + 1)),
                                   grid.columnCount());
            } else {
                plan.targets = {1};
                plan.sourceColumns = {options.column};
                const QStringList values = sheet->column(
                    options.column, int(std::min<qint64>(plan.firstNumber, sheet::kMaxRows + 1)));
                rows.reserve(values.size());
                for (const QString &v : values)
                    rows.append(QStringList{v});
            }
            const FillResult filled = fillGrid(grid, rows, plan, progress);
            if (filled.outcome != Outcome::Imported)
                return finishFill(filled, msg::hintTitle());
            added = filled.rows;
        }
        if (options.followUp)
            options.followUp(grid);
        platform().messageBox(msg::infoTitle(), msg::importDone());
        return {Outcome::Imported, added};
    });
}

} // namespace zorv::imports
