#pragma once
// Cell-by-cell imports of the file window: rows are read from the active
// sheet from row 1 down until a stop cell is empty, then added to the grid in
// one step (after the rows already there with "累加", else in their place).
// Both end with "信息提示" / "共导入行数：" + the count.

#include "core/imports/import_common.h"

#include <QStringList>
#include <functional>

namespace zorv {
class Grid;
class ProgressSink;
} // namespace zorv

namespace zorv::imports {

struct CellImportOptions {
    bool append = false; // add after the grid's rows instead of replacing them
    // Called with false before the file is read and true when the import has
    // ended, whichever way: the window refuses to close meanwhile.
    std::function<void(bool)> busy;
};

// Sheet columns 1, 2, ... into the named grid columns.
struct CellColumnsSpec {
    QStringList targets;
    int stopColumn = 1;        // the row whose cell here is empty ends the import
    int wholeNumberColumn = 0; // this column's values lose their fraction; 0: none
};
// A list saved from the file window: seven columns, ended by an empty column 2,
// column 1 a whole number.
CellColumnsSpec savedFileListSpec();
ImportReport importCellsByColumn(Grid &grid, const CellColumnsSpec &spec,
                                 const CellImportOptions &options = {},
                                 ProgressSink *progress = nullptr);

// Full paths in one sheet column, trimmed and split after their last "/" (or
// "\") into a folder and a name; a third grid column numbers the rows.
struct PathListSpec {
    int column = 1;
    QString number = QStringLiteral("xh");
    QString folder = QStringLiteral("ypath");
    QString name = QStringLiteral("filey");
};
ImportReport importPathsByCell(Grid &grid, const PathListSpec &spec = {},
                               const CellImportOptions &options = {},
                               ProgressSink *progress = nullptr);

// "C:\a\b.txt" or "/a/b.txt" -> folder "…\" or "/a/" (separator kept), name "b.txt".
void splitFullPath(const QString &path, QString *folder, QString *name);

} // namespace zorv::imports
