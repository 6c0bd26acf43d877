#pragma once
// One worksheet read into memory: the cells that hold a value, addressed by
// 1-based row and column, and what each shows as text. Empty cells and empty
// strings are not stored: both read as empty.

#include "core/sheet/numformat.h"

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
    QString text;      // what the cell shows; empty for an empty cell
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
    QString text(int row, int column) const;
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
        DateStyle style;
        union {
            double number;
            quint32 string;
        };
    };
    Cell toCell(const Entry &e) const;
    std::vector<Entry>::const_iterator find(int row, int column) const;
    QString entryText(const Entry &e) const;

    QString m_name;
    bool m_date1904 = false;
    int m_rows = 0;
    int m_columns = 0;
    std::vector<Entry> m_cells;     // ordered by row, then column
    std::vector<QString> m_strings; // texts of this sheet's own cells
    std::vector<QString> m_shared;  // the workbook's shared strings
};

// Collects the cells of one sheet as a reader meets them, in any order.
class SheetBuilder {
public:
    explicit SheetBuilder(QString name, bool date1904 = false);

    void addNumber(int row, int column, double value);
    void addBoolean(int row, int column, bool value);
    void addText(int row, int column, const QString &text);
    // A cell holding the index-th of the workbook's shared strings, which may
    // arrive later through setSharedStrings().
    void addShared(int row, int column, quint32 index);
    void addError(int row, int column, const QString &text);
    void addDate(int row, int column, double serial, DateStyle style);
    void addDateText(int row, int column, const QString &text);
    qint64 size() const { return static_cast<qint64>(m_sheet.m_cells.size()); }

    void setSharedStrings(std::vector<QString> strings);
    // The finished sheet; nullopt with *reason when a cell names a shared
    // string the workbook does not have.
    std::optional<Sheet> finish(QString *reason = nullptr);

private:
    bool place(int row, int column, Sheet::Entry &e);
    void addString(int row, int column, Sheet::Stored kind, const QString &text);
    Sheet m_sheet;
};

} // namespace zorv::sheet
