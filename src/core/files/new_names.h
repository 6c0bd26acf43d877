#pragma once
// Step 2 of the file window, the list route: new names imported from a list
// file ("导入新文件名", cb_4) and the source names exported to a text file
// ("导出源文件名", cb_2).

#include "core/files/frn_grid.h"
#include "core/files/list_source.h"

namespace zorv {
class ProgressSink;
}

namespace zorv::files {

// The number of rows an import fills: the grid's row count, or, for an empty
// grid, the integer typed into sle_1. Below 1 shows "提示" / "还没有源文件。如想
// 用于合并Excel文件的列，请在“源文件名包含”后输入总行数" and returns 0.
qint64 newNameRowTotal(const Grid &grid, const QString &sle1Text);

// Fills filen of rows 1..rows from list. Spreadsheet: filen of row r = the
// trimmed cells (r, 1..columns) joined; an empty grid gets its rows inserted.
// Text: line r's value (listLineValue); rows beyond the last line get ""; no
// rows are inserted. Returns the rows filled.
qint64 applyNewNames(Grid &grid, ListSource &list, qint64 rows, int columns,
                     ProgressSink &progress);

// cb_4 in full: row total, the "打开文件" dialog through the platform
// ("信息提示" / "没有指定导入文件!" when none), open, apply. True when names
// were imported (the window then enables "4、执行").
bool importNewNames(Grid &grid, int columns, const QString &sle1Text, const ListOpener &open,
                    ProgressSink &progress);

// Writes filey of every shown row, one UTF-8 line each (LF), replacing path.
// Messages: "提示" / "文件不能打开", "提示" / "文件写入错误". A name holding a
// line break would not read back as one line: nothing is written and the
// message names its row.
bool exportSourceNames(const Grid &grid, const QString &path);
// cb_2 in full: "提示" / "还没有源文件" for an empty grid, the save dialog
// (title "打开文件", extension "TXT", filter "文本文件 (*.TXT),*.TXT,Excel文件
// (*.xls),*.xls"), then exportSourceNames. A cancelled dialog does nothing.
bool exportSourceNamesChosen(const Grid &grid);

} // namespace zorv::files
