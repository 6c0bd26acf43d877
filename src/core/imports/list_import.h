#pragma once
// Reading the file window's name lists and new-name lists: one value per
// line of a text file, or per row of the first worksheet of a spreadsheet.

#include "core/imports/import_common.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace zorv {
class ProgressSink;
}

namespace zorv::imports {

// The "打开文件" dialog (default extension "TXT", spreadsheets and text files
// offered); nullopt after "信息提示" / "没有指定导入文件!" when no file is chosen.
std::optional<QString> chooseListFile();

// The value a text line gives: the text before its first tab, trimmed.
QString lineValue(const QString &line);

// Hands each name of a list file to take(position, name), positions counting
// 1, 2, 3 … in list order, and polls for a stop before each name. A
// spreadsheet gives column 1 of its first worksheet from row 1 down to the
// first empty cell; a text file gives its lines' values, empty ones skipped.
// take returns false to end the list early. The report counts the names
// given; a file that cannot be read is refused with a message naming it.
ImportReport readNameList(const QString &path,
                          const std::function<bool(qint64, const QString &)> &take,
                          ProgressSink *progress = nullptr);

// New names for the first `rows` rows of a grid. A spreadsheet gives, for each
// row r, the trimmed texts of cells 1…columns of its first worksheet joined
// without separator (empty cells give empty text); a text file gives the
// value of each line in turn, so a short file gives fewer values.
struct ListValues {
    Outcome outcome = Outcome::Refused;
    QStringList values;
};
ListValues readNewNames(const QString &path, qint64 rows, int columns,
                        ProgressSink *progress = nullptr);

} // namespace zorv::imports
