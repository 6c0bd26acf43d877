#pragma once
// One worksheet read into memory: the cells that hold a value, addressed by
// 1-based row and column, each with its value as text and what it shows
// through its number format. Empty cells and empty strings are not stored:
// both read as empty.

#include "core/sheet/number_format.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zorv::sheet {

enum class CellKind : quint8 { Empty, Number, Text, Boolean, Error, Date };

struct Cell {
    CellKind kind = CellKind::Empty;
    double number = 0; // Number, Boolean (1 or 0), Date when the file stores a serial
    QString text;      // the value as text (numbers in general format); empty when empty
    QString shown;     // what the cell shows through its number format
    bool isEmpty() const { return kind == CellKind::Empty; }
    bool isNumeric() const { return kind == CellKind::Number || kind == CellKind::Boolean; }
};

// The largest sheet a spreadsheet program writes; cells beyond it are ignored.
inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;

class Sheet {
public:
    QString name() const { return m_name; }
    // The used range runs from A1 to the last row and column holding a value.
    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }
    qint64 cellCount() const { return static_cast<qint64>(m_cells.size()); }
    // Last row with a value in this column, 0 when the column is empty.
    int lastRow(int column) const;

    Cell cell(int row, int column) const;
    // The value as text: what a program asking for the cell's value gets
    // (numbers in general format, dates as dates, TRUE/FALSE, "#N/A").
    QString text(int row, int column) const;
    // What the cell shows through its number format ("97.4%", "1,234"), as a
    // copy of the sheet gives it; rowTexts(), rows() and column() show this.
    QString shown(int row, int column) const;
    // The value of a numeric cell (numbers and booleans); nullopt otherwise.
    std::optional<double> number(int row, int column) const;

    // Texts of columns 1..columns of one row (empty fields included).
    QStringList rowTexts(int row, int columns) const;
    // The used range from firstRow on, each row as `columns` fields (default
    // columnCount(); a caller that keeps only some columns says so, as a
    // stray far-away cell would otherwise widen every row).
    QList<QStringList> rows(int firstRow = 1, int columns = -1) const;
    // One column from firstRow to its own last value.
    QStringList column(int column, int firstRow = 1) const;

private:
    friend class SheetBuilder;
    enum class Stored : quint8 { Number, Boolean, Text, Shared, Error, DateSerial, DateText };
    struct Entry {
        quint32 row;
        quint16 column;
        Stored kind;
        quint8 format; // into m_formats; 0 is General
        union {
            double number;
            quint32 string;
        };
    };
    Cell toCell(const Entry &e) const;
    std::vector<Entry>::const_iterator find(int row, int column) const;
    QString entryText(const Entry &e) const;
    QString entryShown(const Entry &e) const;
    DateStyle dateStyle(const Entry &e) const { return m_formats[e.format].dateStyle(); }

    QString m_name;
    bool m_date1904 = false;
    int m_rows = 0;
    int m_columns = 0;
    std::vector<Entry> m_cells;     // ordered by row, then column
    std::vector<QString> m_strings; // texts of this sheet's own cells
    std::vector<QString> m_shared;  // the workbook's shared strings
    std::vector<NumberFormat> m_formats{NumberFormat()};
};

// Collects the cells of one sheet as a reader meets them, in any order.
class SheetBuilder {
public:
    explicit SheetBuilder(QString name, bool date1904 = false);

    // The slot of a number format for addNumber(), at most 255 per sheet;
    // -1 when the sheet has that many already.
    int addFormat(const NumberFormat &format);
    // A number shown through the format in slot format (0: General); a date
    // format makes it a date.
    void addNumber(int row, int column, double value, int format = 0);
    void addBoolean(int row, int column, bool value);
    void addText(int row, int column, const QString &text);
    // A cell holding the index-th of the workbook's shared strings, which may
    // arrive later through setSharedStrings().
    void addShared(int row, int column, quint32 index);
    void addError(int row, int column, const QString &text);
    void addDate(int row, int column, double serial, DateStyle style);
    void addDateText(int row, int column, const QString &text);
    qint64 size() const { return static_cast<qint64>(m_sheet.m_cells.size()); }
    // Room for about this many cells (a hint; more may still come).
    void reserve(size_t cells) { m_sheet.m_cells.reserve(cells); }

    void setSharedStrings(std::vector<QString> strings);
    // The finished sheet; nullopt with *reason when a cell names a shared
    // string the workbook does not have.
    std::optional<Sheet> finish(QString *reason = nullptr);

private:
    bool place(int row, int column, Sheet::Entry &e);
    void addString(int row, int column, Sheet::Stored kind, const QString &text);
    Sheet m_sheet;
    int m_dateSlots[4] = {-1, -1, -1, -1}; // by DateStyle, for addDate()
};

} // namespace zorv::sheet
