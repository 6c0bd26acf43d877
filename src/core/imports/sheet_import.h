#pragma once
// Sheet-copy imports: a spreadsheet's rows (the whole active sheet, all its
// columns, or one column from a given row) added to a grid in one step. The
// file is read directly; the user's clipboard is neither used nor emptied.

#include "core/imports/import_common.h"

#include <QString>
#include <functional>

namespace zorv {
class Grid;
class ProgressSink;
} // namespace zorv

namespace zorv::imports {

// The SQL and catalogue import windows: "connect" first, then the "选择文件"
// dialog ("信息提示" / "没有指定导入文件!" when cancelled, silence for an empty
// path), then the whole active sheet from row 1.
struct ConnectFirstOptions {
    // Shows "信息提示" with an empty text before the grid takes the rows.
    bool noticeBeforeRows = false;
    // Called with true before the file is read and false when the import ends
    // (a "正在导入......" label shown meanwhile).
    std::function<void(bool)> reading;
};
ImportReport importSheetConnectFirst(Grid &grid, const ConnectFirstOptions &options = {},
                                     ProgressSink *progress = nullptr);

// The merge, split and comparison windows: the file is chosen first ("提示" /
// "文件选择失败!" when cancelled, "提示" / "文件名不能为空!" for an empty path).
struct FileFirstOptions {
    QString dialogTitle = msg::chooseFileTitle();
    QString filter = msg::sheetFilter();
    int column = 0;          // 0: every column of the sheet; n: column n only
    qint64 firstRow = 1;     // the first sheet row imported
    bool acceptText = false; // a path ending in "TXT" is read as tab-separated text
    // Runs after the rows are in, before the closing "信息提示" / "导入完成!".
    std::function<void(Grid &)> followUp;
};
// The comparison window's options: its dialog, text files, column and first row.
FileFirstOptions comparisonListOptions(int column, qint64 firstRow);
ImportReport importSheetFileFirst(Grid &grid, const FileFirstOptions &options = {},
                                  ProgressSink *progress = nullptr);

} // namespace zorv::imports
