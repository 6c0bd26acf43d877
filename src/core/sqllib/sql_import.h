#pragma once
// The import of statement/purpose pairs into the library: the grid
// "loadsql" (sqlu, sqlp) is stored row by row with numbers counting up from
// the largest stored one, then exact duplicates are swept out of the whole
// library. Both happen in one transaction: a failed insert or delete, or a
// stop request, leaves the library as it was before the save. With several
// writers on one database the transaction runs at the strictest isolation
// and again from the start when another writer got in the way, so two
// imports at once never share a number and a sweep never removes part of an
// import that is still under way.

#include "core/grid/grid.h"

#include <QString>
#include <memory>

namespace zorv {
class ProgressSink;
}
namespace zorv::db {
class Transaction;
}

namespace zorv::sqllib {

// Columns of the import grid: sqlu "Sql语句", sqlp "用途".
QList<Column> loadsqlColumns();
std::unique_ptr<Grid> makeLoadsqlGrid();

struct ImportSave {
    enum Status { Saved, Stopped, InsertFailed, SweepFailed, Failed };
    Status status = Failed;
    qint64 inserted = 0;    // rows stored (kept only when Saved)
    qint64 firstNumber = 0; // number of the first stored row
    qint64 removed = 0;     // duplicates deleted by the sweep
    qint64 failedRow = 0;   // InsertFailed: the 1-based grid row
    QString error;          // the database's text
    bool ok() const { return status == Saved; }
};

// Stores every row of grid (its first two columns, taken as they are: no
// trimming; an empty cell is stored as null) numbered from the largest
// stored bh + 1 (1 on an empty library), then sweeps duplicates, then
// commits. An empty grid stores nothing and still sweeps.
ImportSave saveImport(db::Transaction &tx, const Grid &grid, ProgressSink *progress = nullptr);

// The duplicate sweep on its own, inside the transaction the caller holds
// open: the library is read in purpose order (equal purposes by number) and
// within each purpose an entry whose statement text equals an earlier one's
// is deleted, so every run of copies keeps its first member. Null texts and
// null purposes never match. Returns the count deleted, or -1 with *error.
qint64 sweepDuplicates(db::Transaction &tx, ProgressSink *progress, QString *error,
                       bool *stopped = nullptr);

// The window's messages for a save that did not succeed ("保存失败" naming the
// grid row and the database's text, the sweep's "数据库错!cur_product", or
// the stop notice); a successful save only writes the status line.
void reportImportSave(const ImportSave &r);

} // namespace zorv::sqllib
