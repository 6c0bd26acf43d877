#pragma once
// Loading a name list into a list grid: a text file (one name per line, the
// text before the first tab), a column of a spreadsheet from a given row, or
// the clipboard; then the numbering of the whole list.

#include "core/imports/import_common.h"

#include <QByteArray>
#include <optional>
#include <string_view>
#include <vector>

namespace zorv {
class Grid;
class ProgressSink;
} // namespace zorv

namespace zorv::lists {

// The names of a text list held in memory: `names` view into `text`.
struct ListText {
    QByteArray text; // UTF-8
    std::vector<std::string_view> names;
};

// Splits file bytes into names. A UTF-8 byte-order mark and a CR before a
// line end are not part of any name; the name is the text before the first
// tab, kept otherwise as it stands (blanks included); a final line end adds
// no row, an empty line in between gives an empty name. Bytes that are not
// valid UTF-8 are read as GB18030 (UTF-16 with a byte-order mark as such).
ListText splitListText(QByteArray bytes);

// The names of the text file at path, or nothing when it cannot be read
// (nor held in memory). Shows no message and touches no grid, so it may run
// on a helper thread while another list loads.
std::optional<ListText> readListText(const QString &path);

// Appends names to md of the list grid; no numbering. More rows than the
// grid holds are refused with a message and add nothing.
imports::ImportReport appendListText(Grid &list, const ListText &names,
                                     ProgressSink *progress = nullptr);

// Appends the names of the text file at path to md of the list grid; no
// numbering. A file that cannot be read is refused under "提示" naming it.
imports::ImportReport loadTextList(Grid &list, const QString &path,
                                   ProgressSink *progress = nullptr);

// Appends column `column` of the spreadsheet's active sheet, from row
// firstRow to the end of the used range, to md of the list grid.
imports::ImportReport loadSheetList(Grid &list, const QString &path, int column, qint64 firstRow,
                                    ProgressSink *progress = nullptr);

// A text file goes to loadTextList, anything else to loadSheetList (told by
// the file's content).
imports::ImportReport loadListFile(Grid &list, const QString &path, int column, qint64 firstRow,
                                   ProgressSink *progress = nullptr);

// "导入文件" of the comparison window: the "打开文件" dialog (spreadsheets,
// then text files), the load, the numbering of the whole list and "信息提示"
// / "导入完成!". Refusals leave the list as it was.
imports::ImportReport importChosenList(Grid &list, int column, qint64 firstRow,
                                       ProgressSink *progress = nullptr);

// "粘贴导入": the clipboard's lines appended (tab-separated fields in column
// order), then the numbering and "导入完成!"; an empty clipboard gives "提示" /
// "剪贴板中没有内容或不能粘贴".
imports::ImportReport pasteList(Grid &list, ProgressSink *progress = nullptr);

// "选择文件夹" (cb_3) after the folder was chosen: every file of the tree
// below folder, depth first in listing order with hidden and read-only files,
// appended as its full path with xh = its row number and jg = "不同"; the rows
// already there are neither renumbered nor re-marked. A folder that cannot
// be read adds nothing.
imports::ImportReport loadFolderTree(Grid &list, const QString &folder,
                                     ProgressSink *progress = nullptr);

} // namespace zorv::lists
