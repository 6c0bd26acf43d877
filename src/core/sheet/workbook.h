#pragma once
// A spreadsheet file opened for reading: .xls (BIFF records, in a compound
// document read with libgsf, or a single Excel 2.x-4.0 worksheet) or .xlsx /
// .xlsm (Office Open XML, streamed with libzip and expat). The kind is told by the
// file's content, not its extension. Every failure gives a message that names
// the file and says what is wrong, ready to show to the user.

#include "core/sheet/sheet.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace zorv {
class ProgressSink;
}

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
    // With a progress sink the file is read on a worker thread while this one
    // reports progress (keeping windows painted) and polls for a stop.
    bool open(const QString &path, ProgressSink *progress = nullptr);
    bool isOpen() const;
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }
    // The last open or read failed because the progress sink asked to stop.
    bool wasStopped() const { return m_stopped; }

    int sheetCount() const;
    QStringList sheetNames() const;
    // 0-based index of the sheet that was active when the file was saved.
    int activeSheet() const;
    int sheetIndex(WhichSheet which) const;

    // Reads one sheet (0-based); nullopt with errorString() set when its data
    // is damaged or the reading was stopped.
    std::optional<Sheet> readSheet(int index, ProgressSink *progress = nullptr);

private:
    QString m_path;
    QString m_error;
    bool m_stopped = false;
    std::unique_ptr<BookReader> m_reader;
};

// Opens path and reads its active or first sheet; nullopt with *error set
// (and *stopped when the sink asked to stop).
std::optional<Sheet> readSheet(const QString &path, WhichSheet which, QString *error = nullptr,
                               ProgressSink *progress = nullptr, bool *stopped = nullptr);

// What a file holds, told by its first bytes: a spreadsheet (compound
// document, zip package or Excel 2.x-4.0 worksheet), text, or other binary
// data; Unreadable when it cannot be opened.
enum class FileKind { Spreadsheet, Text, Binary, Unreadable };
FileKind sniffFile(const QString &path);

} // namespace zorv::sheet
