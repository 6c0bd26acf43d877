#include "core/imports/import_common.h"

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
    return path.right(3).toUpper() == QStringLiteral("XLS") ||
           path.toUpper().endsWith(QStringLiteral(".XLSX"));
}

bool isTextPath(const QString &path) {
    return path.right(3).toUpper() == QStringLiteral("TXT");
}

} // namespace zorv::imports
