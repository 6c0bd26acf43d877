#pragma once
// The library query of the browser: the grid "ssql" (statement text, purpose
// and the hidden number bh) filled from sqlt by two LIKE patterns made from
// the browser's edits, ordered by purpose.

#include "core/grid/grid.h"

#include <QString>
#include <memory>

namespace zorv::db {
class Transaction;
}

namespace zorv::sqllib {

// Columns of the query grid: sql "Sql语句", purpose "用途", bh (not shown).
QList<Column> ssqlColumns();
std::unique_ptr<Grid> makeSsqlGrid();

// "%" + the trimmed edit + "%": a match anywhere. Wildcards the user typed
// ("%", "_") stay wildcards; an empty edit matches every non-null text.
QString anywherePattern(const QString &edit);

// Replaces grid's rows with the entries whose statement text matches the
// first edit and whose purpose matches the second, both as anywherePattern.
// Returns the row count, or -1 with *error set (the rows then stay).
qint64 queryLibrary(db::Transaction &tx, Grid &grid, const QString &sqlEdit,
                    const QString &purposeEdit, QString *error);

// The number of the entry in row (1-based) of an ssql grid; 0 for no row.
qint64 numberAt(const Grid &grid, qint64 row);

} // namespace zorv::sqllib
