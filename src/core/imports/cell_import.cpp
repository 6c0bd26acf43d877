#include "core/imports/cell_import.h"

#include "core/grid/grid.h"
#include "core/imports/grid_fill.h"
#include "core/imports/sheet_source.h"
#include "core/platform/platform.h"
#include "core/text/gbtext.h"

#include <cmath>

namespace zorv::imports {

namespace {

// Builds the fields of sheet row r; false when its stop cell is empty.
using RowReader = std::function<bool(const sheet::Sheet &, int r, QStringList &fields)>;

// Sets the window's busy flag for the lifetime of one import.
class BusyFlag {
public:
    explicit BusyFlag(const std::function<void(bool)> &set) : m_set(set) {
        if (m_set)
            m_set(false);
    }
    ~BusyFlag() {
        if (m_set)
            m_set(true);
    }
    BusyFlag(const BusyFlag &) = delete;
    BusyFlag &operator=(const BusyFlag &) = delete;

private:
    const std::function<void(bool)> &m_set;
};

ImportReport cellByCell(Grid &grid, const QList<int> &targets, const CellImportOptions &options,
                        ProgressSink *progress, const RowReader &readRow) {
    return refusingOnOutOfMemory([&]() -> ImportReport {
        const auto path = connectAndChooseSheet();
        if (!path)
            return {};

        const BusyFlag busy(options.busy);
        Outcome outcome = Outcome::Refused;
        const auto sheet =
            readImportSheet(*path, sheet::WhichSheet::Active, msg::infoTitle(), progress, &outcome);
        if (!sheet)
            return {outcome, 0};

        QList<QStringList> rows;
        QStringList fields;
        for (int r = 1; r <= sheet->rowCount(); ++r) {
            fields.clear();
            if (!readRow(*sheet, r, fields))
                break;
            rows.append(fields);
        }

        FillPlan plan;
        plan.targets = targets;
        plan.replace = !options.append;
        const FillResult filled = fillGrid(grid, rows, plan, progress);
        platform().setStatusText(filled.outcome == Outcome::Stopped ? msg::stopped() : QString());
        if (filled.outcome == Outcome::Refused)
            platform().messageBox(msg::infoTitle(), filled.refusal, MsgIcon::Warning);
        if (filled.outcome != Outcome::Imported)
            return {filled.outcome, 0};
        platform().messageBox(msg::infoTitle(), msg::rowsImported() + QString::number(filled.rows));
        return {Outcome::Imported, filled.rows};
    });
}

// A cell as a whole number: numbers and numeric text lose their fraction;
// other text is passed on as it is, for the grid to refuse by name.
QString wholeNumber(const sheet::Cell &cell) {
    double v = 0;
    bool ok = cell.isNumeric();
    if (ok) {
        v = cell.number;
    } else if (cell.kind == sheet::CellKind::Text) {
        v = zorv::text::trim(cell.text).toDouble(&ok);
        ok = ok && std::isfinite(v);
    }
    return ok ? sheet::formatGeneral(std::trunc(v)) : cell.text;
}

} // namespace

CellColumnsSpec savedFileListSpec() {
    CellColumnsSpec spec;
    spec.targets = {QStringLiteral("xh"),    QStringLiteral("ypath"), QStringLiteral("filey"),
                    QStringLiteral("filen"), QStringLiteral("npath"), QStringLiteral("jg"),
                    QStringLiteral("zml")};
    spec.stopColumn = 2;
    spec.wholeNumberColumn = 1;
    return spec;
}

ImportReport importCellsByColumn(Grid &grid, const CellColumnsSpec &spec,
                                 const CellImportOptions &options, ProgressSink *progress) {
    QList<int> targets;
    for (const QString &name : spec.targets)
        targets << grid.columnNumber(name);
    const int columns = int(spec.targets.size());
    return cellByCell(
        grid, targets, options, progress, [&](const sheet::Sheet &s, int r, QStringList &fields) {
            if (s.cell(r, spec.stopColumn).isEmpty())
                return false;
            for (int c = 1; c <= columns; ++c)
                fields << (c == spec.wholeNumberColumn ? wholeNumber(s.cell(r, c)) : s.text(r, c));
            return true;
        });
}

void splitFullPath(const QString &path, QString *folder, QString *name) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1;
    *folder = path.left(cut);
    *name = path.mid(cut);
}

ImportReport importPathsByCell(Grid &grid, const PathListSpec &spec,
                               const CellImportOptions &options, ProgressSink *progress) {
    const QList<int> targets{grid.columnNumber(spec.number), grid.columnNumber(spec.folder),
                             grid.columnNumber(spec.name)};
    const qint64 offset = options.append ? grid.rowCount() : 0;
    return cellByCell(grid, targets, options, progress,
                      [&](const sheet::Sheet &s, int r, QStringList &fields) {
                          if (s.cell(r, spec.column).isEmpty())
                              return false;
                          QString folder, name;
                          splitFullPath(zorv::text::trim(s.text(r, spec.column)), &folder, &name);
                          fields << QString::number(offset + r) << folder << name;
                          return true;
                      });
}

} // namespace zorv::imports
