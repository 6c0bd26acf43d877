#pragma once
// Storing an import list (one line per column: table, column, type, length,
// purpose) into the catalogue. Lines go in grid order: a table the catalogue
// does not have yet is added with the purpose of its first line ("Null" when
// that is empty); a table already there keeps its purpose and only gains the
// columns it lacks; a column already there keeps its type and length.
//
// The whole save is one transaction. Before anything is stored every length
// is checked (empty, or a whole number from 0 to 32767). A line with an empty
// table name, column name or type ends the save there: the lines before it
// are stored. A failed insert or a stop request (Esc) undoes the whole save.

#include "core/db/transaction.h"

#include <QString>

namespace zorv {
class Grid;
class ProgressSink;
} // namespace zorv

namespace zorv::catalogue {

enum class SaveResult {
    Saved,      // every line stored or already there; the grid was emptied
    EmptyField, // stopped at `row`: the lines before it are stored
    BadLength,  // `row` has a length out of range: nothing stored
    Failed,     // a statement failed at `row` (0: begin or commit): nothing stored
    Stopped,    // the user stopped the save: nothing stored
};

struct SaveReport {
    SaveResult result = SaveResult::Saved;
    qint64 row = 0;
    qint64 tablesAdded = 0;
    qint64 columnsAdded = 0;
    QString error; // the database's text for Failed
    bool stored() const { return result == SaveResult::Saved; }
};

// The length cell of an import line as stored: a null QVariant for an empty
// cell or the whole number; *ok false when it is no whole number in 0..32767.
QVariant storedLength(const QVariant &cell, bool *ok);

// Saves the rows of an import grid (makeImportGrid's columns) and shows the
// outcome's message through the platform: "信息提示" for an empty field or a bad length,
// "保存失败" with the row and "出错信息:" for a failed statement. A completed
// save empties the grid; otherwise the grid keeps every row.
SaveReport saveImportGrid(db::Transaction &tx, Grid &grid, ProgressSink *progress = nullptr);

// The texts the save shows.
namespace msg {
QString emptyField(); // "表名、字段名、字段类型不能为空!"
QString badLength(qint64 row, const QString &value);
QString failed(qint64 row, const QString &databaseText);
QString stopped();
} // namespace msg

} // namespace zorv::catalogue
