#pragma once
// What a file-format reader gives the Workbook: sheet names, the active sheet
// and the cells of one sheet. Failures carry a short technical reason; the
// Workbook turns it into a message for the user.

#include "core/sheet/sheet.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace zorv::sheet {

class BookReader {
public:
    virtual ~BookReader() = default;
    virtual QStringList sheetNames() const = 0;
    virtual int activeSheet() const = 0;
    virtual std::optional<Sheet> readSheet(int index, QString *reason) = 0;
};

enum class OpenFailure { None, NotSpreadsheet, Damaged, Password, NoSheets };

// Each returns nullptr with *failure and *reason set when the file cannot be read.
std::unique_ptr<BookReader> openXls(const QString &path, OpenFailure *failure, QString *reason);
std::unique_ptr<BookReader> openXlsx(const QString &path, OpenFailure *failure, QString *reason);

} // namespace zorv::sheet
