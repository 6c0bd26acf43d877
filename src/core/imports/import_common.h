#pragma once
// What every import routine shares: its outcome, the fixed titles and texts
// of its message boxes and dialogs, and the check that the spreadsheet reader
// is there.

#include <QString>
#include <QtGlobal>
#include <new>

namespace zorv {
struct ImportResult;
}

namespace zorv::imports {

enum class Outcome {
    Imported, // rows were added (possibly none); follow-up steps may run
    Refused,  // cancelled, bad file or unconvertible value: the grid is as it was
    Stopped,  // the user pressed Esc: the grid is as it was
};

struct ImportReport {
    Outcome outcome = Outcome::Refused;
    qint64 rows = 0;
    bool imported() const { return outcome == Outcome::Imported; }
};

namespace msg {
inline QString hintTitle() {
    return QStringLiteral("提示");
}
inline QString infoTitle() {
    return QStringLiteral("信息提示");
}
inline QString clipboardEmpty() {
    return QStringLiteral("剪贴板中没有内容或不能粘贴");
}
inline QString readerMissing() {
    return QStringLiteral("连接EXCEL失败，请检查计算机中是否安装了EXCEL!");
}
inline QString noImportFile() {
    return QStringLiteral("没有指定导入文件!");
}
inline QString fileChoiceFailed() {
    return QStringLiteral("文件选择失败!");
}
inline QString fileNameEmpty() {
    return QStringLiteral("文件名不能为空!");
}
inline QString importDone() {
    return QStringLiteral("导入完成!");
}
inline QString rowsImported() {
    return QStringLiteral("共导入行数：");
}
inline QString importing() {
    return QStringLiteral("正在导入...");
}
inline QString chooseFileTitle() {
    return QStringLiteral("选择文件");
}
inline QString openFileTitle() {
    return QStringLiteral("打开文件");
}
inline QString sheetFilter() {
    return QStringLiteral("Excel文件(*.xls),*.xls");
}
// The comparison window offers spreadsheets first, then text files.
inline QString sheetOrTextFilter() {
    return QStringLiteral("Excel文件(*.xls),*.xls,文本文件 (*.TXT),*.TXT,");
}
// The file window's name-list and new-name imports.
inline QString listFilter() {
    return QStringLiteral("Excel文件 (*.xls),*.xls,文本文件 (*.TXT),*.TXT");
}
inline QString stopped() {
    return QStringLiteral("导入已中止，没有导入任何行。");
}
inline QString outOfMemory() {
    return QStringLiteral("内存不足，导入已取消，没有导入任何行。");
}
} // namespace msg

// Shows "提示" / the out-of-memory text; the import is refused.
void reportOutOfMemory();

// Runs one import routine; when memory runs out on the way, the message is
// shown and the routine's refusal (its result type's default) returned. The
// routines leave the grid as it was in that case.
template <class Import> auto refusingOnOutOfMemory(Import import) -> decltype(import()) {
    try {
        return import();
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return {};
    }
}

// Turns the grid's own import answer (pasted text, a text file) into a report:
// a stop is shown in the status line, a refusal under "提示" with its reason.
ImportReport reportGridImport(const ImportResult &r);

// The built-in reader is always there; "connecting" to it fails only when a
// test turns it off, so the message of that path stays reachable.
bool sheetReaderAvailable();
void setSheetReaderAvailable(bool available);

// Shows "信息提示" / the connection failure when the reader is unavailable.
bool connectSheetReader();

// The file holds a spreadsheet, told by its content whatever its name
// (.xls, .xlsx, .xlsm, or none); a file that cannot be opened is judged by
// its name, so that the spreadsheet reader's message names the fault.
bool isSpreadsheetPath(const QString &path);
// Shows a message under title and answers true when the file is binary data
// that is no spreadsheet, which a text list must not read.
bool refuseBinaryList(const QString &path, const QString &title);

} // namespace zorv::imports
