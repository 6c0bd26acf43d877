#pragma once
// Puts rows of text fields into a grid as one step. Every field bound for a
// number or date column is tried first on a scratch row, so either all rows
// go in or, when one field does not convert, none does and the grid is left
// exactly as it was.

#include "core/grid/grid.h"
#include "core/imports/import_common.h"

#include <QList>
#include <QStringList>

namespace zorv {
class ProgressSink;
} // namespace zorv

namespace zorv::imports {

struct FillPlan {
    QList<int> targets;       // grid column (1-based) for each field of a row
    QList<int> sourceColumns; // source column of each field, for messages (default 1, 2, ...)
    bool replace = false;     // empty the grid first, once every row has converted
    qint64 firstNumber = 1;   // source row number of the first row, for status and messages
};

struct FillResult {
    Outcome outcome = Outcome::Refused;
    qint64 rows = 0;
    QString refusal; // names the row, column and value that did not convert
};

// Checks the rows (reporting "正在导入..." + row number and polling for a
// stop), then adds them at the end of the grid with its painting suspended.
// Running out of memory throws std::bad_alloc with the grid as it was.
FillResult fillGrid(Grid &grid, const QList<QStringList> &rows, const FillPlan &plan,
                    ProgressSink *progress = nullptr);

// Deletes the first count shown rows, the old rows of a grid whose new rows
// were appended after them since `appended`. When memory runs out before
// they go, the new rows are taken back and std::bad_alloc thrown.
void dropOldRows(Grid &grid, qint64 count, const Grid::AppendMark &appended);

} // namespace zorv::imports
