#include "core/imports/import_common.h"

#include "core/platform/platform.h"

namespace zorv::imports {

namespace {
bool g_readerAvailable = true;
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
