#include "core/imports/import_common.h"
#include "core/sheet/workbook.h"

#include "core/grid/grid.h"
#include "core/platform/platform.h"

namespace zorv::imports {

namespace {
bool g_readerAvailable = true;
}

ImportReport reportGridImport(const ImportResult &r) {
    if (r.ok())
        return {Outcome::Imported, r.rows};
    if (r.rows == -2) {
        platform().setStatusText(r.error.isEmpty() ? msg::stopped() : r.error);
        return {Outcome::Stopped, 0};
    }
    platform().messageBox(msg::hintTitle(), r.error, MsgIcon::Warning);
    return {Outcome::Refused, 0};
}

void reportOutOfMemory() {
    platform().messageBox(msg::hintTitle(), msg::outOfMemory(), MsgIcon::Warning);
}

bool sheetReaderAvailable() {
    return g_readerAvailable;
}

void setSheetReaderAvailable(bool available) {
    g_readerAvailable = available;
}

bool connectSheetReader() {
    if (sheetReaderAvailable())
        return true;
    platform().messageBox(msg::infoTitle(), msg::readerMissing());
    return false;
}

bool isSpreadsheetPath(const QString &path) {
    switch (sheet::sniffFile(path)) {
    case sheet::FileKind::Spreadsheet:
        return true;
    case sheet::FileKind::Unreadable: {
        // Missing or locked: the name decides which reader says so.
        const QString upper = path.toUpper();
        return upper.endsWith(QStringLiteral("XLS")) || upper.endsWith(QStringLiteral(".XLSX")) ||
               upper.endsWith(QStringLiteral(".XLSM"));
    }
    default:
        return false;
    }
}

bool refuseBinaryList(const QString &path, const QString &title) {
    if (sheet::sniffFile(path) != sheet::FileKind::Binary)
        return false;
    platform().messageBox(
        title, QStringLiteral("文件“%1”既不是文本文件也不是电子表格，无法作为名单读取。").arg(path),
        MsgIcon::Warning);
    return true;
}

} // namespace zorv::imports
