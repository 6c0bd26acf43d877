#pragma once
// Reads the sheet an import takes its rows from, telling the user (under the
// given message title) when the file cannot be read.

#include "core/imports/import_common.h"
#include "core/sheet/workbook.h"

#include <optional>

namespace zorv {
class ProgressSink;
}

namespace zorv::imports {

// Connects to the reader, then asks for the spreadsheet to import from
// ("选择文件"). nullopt when the reader is missing, when the dialog was
// cancelled ("信息提示" / "没有指定导入文件!") or gave an empty path.
std::optional<QString> connectAndChooseSheet();

// nullopt with *outcome Refused after the message naming the file, or
// Stopped (status line only) when the user pressed Esc while it was read.
std::optional<sheet::Sheet> readImportSheet(const QString &path, sheet::WhichSheet which,
                                            const QString &title, ProgressSink *progress,
                                            Outcome *outcome);

} // namespace zorv::imports
