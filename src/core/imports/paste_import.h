#pragma once
// Paste import: the clipboard's text is added to a grid as rows, its
// tab-separated fields filling the columns in order, from the first line on;
// a first line that is the grid's own header (the column titles, as the
// grid's copy writes them, or the column names) is not a row.

#include "core/imports/import_common.h"

namespace zorv {
class Grid;
class ProgressSink;
} // namespace zorv

namespace zorv::imports {

// An empty clipboard gives "提示" / "剪贴板中没有内容或不能粘贴" and leaves the
// grid alone. With replace (the file window without "累加") the grid's rows are
// replaced, but only once the clipboard test has passed and every line has
// converted. A line that does not convert is named in a "提示" message and
// nothing is added.
// The clipboard line the rows start at: 2 when line 1 is the grid's header.
qint64 firstDataLine(const Grid &grid, const QString &text);

ImportReport pasteImport(Grid &grid, bool replace = false, ProgressSink *progress = nullptr);

} // namespace zorv::imports
