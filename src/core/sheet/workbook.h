#pragma once
// A spreadsheet file opened for reading: .xls (BIFF, through FreeXL) or .xlsx
// (Office Open XML, streamed with libzip and expat). The kind is told by the
// file's content, not its extension. Every failure gives a message that names
// the file and says what is wrong, ready to show to the user.

#include "core/sheet/sheet.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace zorv::sheet {

class BookReader;

enum class WhichSheet { Active, First };

class Workbook {
public:
    Workbook();
    ~Workbook();
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    // False when the file is missing, damaged or no spreadsheet; see errorString().
    bool open(const QString &path);
    bool isOpen() const;
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

    int sheetCount() const;
    QStringList sheetNames() const;
    // 0-based index of the sheet that was active when the file was saved
    // (.xls files answer their first sheet).
    int activeSheet() const;
    int sheetIndex(WhichSheet which) const;

    // Reads one sheet (0-based); nullopt with errorString() set when its data is damaged.
    std::optional<Sheet> readSheet(int index);

private:
    QString m_path;
    QString m_error;
    std::unique_ptr<BookReader> m_reader;
};

// Opens path and reads its active or first sheet; nullopt with *error set.
std::optional<Sheet> readSheet(const QString &path, WhichSheet which, QString *error = nullptr);

} // namespace zorv::sheet
