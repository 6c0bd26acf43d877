#pragma once
// A list file chosen for the name-list match (cb_10) or the new-name import
// (cb_4), as the import readers hand it over: either text lines or the cells
// of a spreadsheet's first worksheet. The file logic only asks for values.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace zorv::files {

class ListSource {
public:
    virtual ~ListSource() = default;
    // True for a spreadsheet, false for a text file.
    virtual bool isSheet() const = 0;
    // Text file: the next line without its line end; false at the end.
    virtual bool nextLine(QString *line) {
        Q_UNUSED(line);
        return false;
    }
    // Spreadsheet: the text of cell (row, column) of the first worksheet,
    // both 1-based; "" for an empty cell or beyond the data.
    virtual QString cell(qint64 row, int column) {
        Q_UNUSED(row);
        Q_UNUSED(column);
        return {};
    }
};

// Text lines already read (and decoded) by the caller.
class TextLines final : public ListSource {
public:
    explicit TextLines(QStringList lines) : m_lines(std::move(lines)) {}
    // Splits decoded text at LF or CR LF; a final line end adds no empty line.
    static std::unique_ptr<TextLines> fromText(const QString &text);
    bool isSheet() const override { return false; }
    bool nextLine(QString *line) override;

private:
    QStringList m_lines;
    qsizetype m_next = 0;
};

// Spreadsheet cells served by a callback (the sheet reader of the imports).
class SheetCells final : public ListSource {
public:
    explicit SheetCells(std::function<QString(qint64, int)> cell) : m_cell(std::move(cell)) {}
    bool isSheet() const override { return true; }
    QString cell(qint64 row, int column) override { return m_cell(row, column); }

private:
    std::function<QString(qint64, int)> m_cell;
};

// Opens a chosen list file. Returns nullptr when it cannot be read, after
// showing its own message (e.g. "信息提示" / "连接EXCEL失败，请检查计算机中是否安装了EXCEL!").
using ListOpener = std::function<std::unique_ptr<ListSource>(const QString &path)>;

// A file the handlers read as a spreadsheet: its last three characters,
// upper-cased, are "XLS", or it ends in ".xlsx".
bool isSheetPath(const QString &path);

// The value of a text line of a list: trimmed, cut at its first tab, and
// trimmed again (blanks before the tab are not part of a name).
QString listLineValue(const QString &line);

// The dialog the list handlers show: title "打开文件", extension "TXT", filter
// "Excel文件 (*.xls),*.xls,文本文件 (*.TXT),*.TXT".
QString listDialogTitle();
QString listDialogFilter();

} // namespace zorv::files
