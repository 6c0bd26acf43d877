#pragma once
// What a file-format reader gives the Workbook: sheet names, the active sheet
// and the cells of one sheet. Failures carry a short reason in Chinese; the
// Workbook turns it into a message for the user.

#include "core/sheet/sheet.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <optional>

namespace zorv::sheet {

// Shared between the thread that reads and the one that shows progress.
struct ReadControl {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0}; // 0 while unknown
    std::atomic<bool> cancel{false};
    // The read failed because the file unpacks to more than its size allows.
    std::atomic<bool> tooLarge{false};
};

class BookReader {
public:
    virtual ~BookReader() = default;
    virtual QStringList sheetNames() const = 0;
    virtual int activeSheet() const = 0;
    // Reads one sheet, counting progress in control and stopping early (with
    // nullopt) once control.cancel is set.
    virtual std::optional<Sheet> readSheet(int index, ReadControl &control, QString *reason) = 0;
};

// TooLarge: over the reader's budget for the file's size. Unsupported: a
// spreadsheet of a kind not read here; the reason names it.
enum class OpenFailure { None, NotSpreadsheet, Damaged, Password, NoSheets, TooLarge, Unsupported };

// Each returns nullptr with *failure and *reason set when the file cannot be read.
std::unique_ptr<BookReader> openXls(const QString &path, ReadControl &control, OpenFailure *failure,
                                    QString *reason);
std::unique_ptr<BookReader> openXlsx(const QString &path, OpenFailure *failure, QString *reason);

} // namespace zorv::sheet
