#pragma once
// The data grid model: typed columns, the shown rows and the filtered-out
// rows, selection, current row, filter, sort, find, imports and exports.
// Rows are numbered from 1 in display order, as the windows address them.
// It knows nothing of widgets; GridTableModel (gui) shows it.

#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <memory>
#include <string_view>
#include <vector>

namespace zorv {

class ProgressSink;

enum class ColType { String, Number, DateTime };

struct Column {
    QString name; // e.g. "filey"; its header caption object is name + "_t"
    ColType type = ColType::String;
    QString caption; // header text, e.g. "源文件名"
    int width = 0;   // declared length: a display hint only, values are never cut

    // What users see as the column's name: the caption, else the name.
    QString title() const { return caption.isEmpty() ? name : caption; }
};

// The refusal of an import when a field does not convert to its number or
// date-time column; nothing was imported. Long values are cut short.
QString fieldRefusalText(const Column &column, qint64 line, int sourceColumn, const QString &value);

// Outcome of a text import: rows added (>= 0) or a negative code, with the
// 1-based line that failed and a message for the caller to show.
struct ImportResult {
    qint64 rows = 0;
    qint64 errorLine = 0;
    QString error;
    bool ok() const { return rows >= 0; }
};

enum class SaveFormat { Tsv, Csv, Xlsx, Html };

class Grid : public QObject {
    Q_OBJECT
public:
    explicit Grid(QList<Column> columns, QObject *parent = nullptr);
    ~Grid() override;

    const QList<Column> &columns() const;
    int columnCount() const;
    ColType columnType(int column) const; // 1-based
    // 1-based column number of name, 0 when there is none.
    int columnNumber(const QString &name) const;

    // --- rows (shown rows only unless said otherwise) ---
    qint64 rowCount() const;
    qint64 filteredCount() const;
    // Inserts an empty row before row `before` (0 = append); returns its number.
    qint64 insertRow(qint64 before = 0);
    bool deleteRow(qint64 row);
    // Deletes the given rows (any order, duplicates and rows out of range
    // ignored) in one pass with one reset signal; returns how many went.
    qint64 deleteRows(const QList<qint64> &rows);
    void reset();

    // Taking back an append: rows appended at the end after the mark was
    // taken, and only filled since, are dropped again without allocating,
    // so an import that runs out of memory half-way leaves the rows as they
    // were. No signal is sent.
    struct AppendMark {
        qint64 shown = 0;
        quint32 stored = 0;
        std::size_t arena = 0, garbage = 0, order = 0;
        quint64 nextOrder = 0;
    };
    AppendMark appendMark() const;
    void rollbackAppend(const AppendMark &mark);

    // Cells; column is 1-based or a name. A value that does not convert to
    // the column's type is refused (false) and the cell keeps its value.
    bool setItem(qint64 row, int column, const QVariant &value);
    bool setItem(qint64 row, const QString &column, const QVariant &value);
    // Text straight into a cell: converted like an imported field.
    bool setItem(qint64 row, int column, const QString &text);
    bool setItemNumber(qint64 row, int column, double value);
    QVariant item(qint64 row, int column) const; // null QVariant for an empty cell
    QString getItemString(qint64 row, int column) const;
    QString getItemString(qint64 row, const QString &column) const;
    double getItemNumber(qint64 row, int column) const;
    double getItemNumber(qint64 row, const QString &column) const;
    bool isNull(qint64 row, int column) const;

    // The summary line: a label followed by the row count ("总数:" and the
    // count by default). Grids without one call setSummary(false).
    void setSummary(bool shown, const QString &label = QStringLiteral("总数:"));
    bool hasSummary() const;
    QString summaryText() const;

    // --- filter, sort, find: expressions of the grid's little language ---
    // setFilter returns 1 on success, -1 for a malformed expression (the old
    // filter stays); "" removes the filter. filter() applies it to every row,
    // shown or filtered out, and returns 1. Rows keep one order among all rows:
    // rows coming back take their former places (as the last sort left them,
    // or in insertion order); rows that leave are deselected.
    int setFilter(const QString &expr);
    int filter();
    QString filterExpression() const;
    // spec: "col A", "col D", "col" (ascending), several keys separated by ",".
    int setSort(const QString &spec);
    int sort(); // stable; numbers compare as numbers
    QString sortSpec() const;
    // First shown row in [first, last] where expr holds (last < first searches
    // backwards); 0 none, -5 malformed expression (an unknown column name
    // included), -1 other failure (a negative row). Rows past the last one are
    // not searched: a search starting beyond the last row finds nothing, so a
    // "find next from row + 1" loop ends. An equality on a text column
    // ("col = 'text'") is answered from a hash index of that column, built on
    // the first such find and dropped when the column or the row order changes.
    qint64 find(const QString &expr, qint64 first, qint64 last);
    // Quotes a value for an expression: every "~" becomes "~~" and every "'"
    // becomes "~'", wrapped in single quotes.
    static QString quote(const QString &value);

    // --- selection and current row ---
    void selectRow(qint64 row, bool on); // row 0 = all rows
    bool isSelected(qint64 row) const;
    qint64 selectedCount() const;
    QList<qint64> selectedRows() const; // ascending
    qint64 getRow() const;
    void setRow(qint64 row);

    // --- painting ---
    // While redraw is off no change signals are sent; turning it on sends one reset.
    void setRedraw(bool on);
    bool redraw() const;

    // --- imports and exports ---
    // Appends the lines of text as rows, tab-separated fields in column order,
    // skipping lines before firstLine (1-based). Lines end with LF or CR LF; a
    // final line break adds no row. Fields beyond the columns are ignored,
    // missing fields leave their cells empty, and text is kept whole. A field
    // that does not convert to its column's type refuses the whole import: no
    // row is added, rows is -1, errorLine names the line and error says why.
    // A stop request gives -2 and no rows; a file that cannot be read -3;
    // running out of memory -4; more rows than a grid holds -1 (errorLine 0).
    // Files may be UTF-8 (with or without BOM), UTF-16 with BOM or GBK.
    ImportResult importText(const QString &text, qint64 firstLine = 1,
                            ProgressSink *progress = nullptr);
    ImportResult importFile(const QString &path, qint64 firstLine = 1,
                            ProgressSink *progress = nullptr);
    // Shown rows as tab-separated lines (CR LF), with or without the header
    // line of captions. A value holding a tab or a line break, or starting
    // with a double quote, is quoted the way spreadsheet programs paste it.
    QString toTsv(bool withHeader) const;
    // Writes every shown row to path, header captions first: tab-separated
    // and CSV (RFC 4180 quoting) as UTF-8 with BOM, .xlsx (numbers as numbers,
    // date-times with a date format), or an HTML table. The file is replaced
    // only once complete; false with error filled on failure, including an
    // .xlsx cell over the format's 32767 characters (values are not cut).
    bool saveAs(const QString &path, SaveFormat format, QString *error = nullptr) const;

    // --- raw text of long lists (grid_text_bulk.cpp): no expression, no QString per cell ---
    // The UTF-8 text of a cell of a text column (column 1-based) in a shown
    // row; empty for an empty cell or a row or column out of range. The view
    // lives until the grid's rows or cells next change.
    std::string_view textView(qint64 row, int column) const;
    // Appends one row per text: each text goes whole into text column
    // `column` (tabs, quotes and line breaks are part of it), the other cells
    // stay empty. Returns the rows added; -1 when column is no text column or
    // the grid would pass its row limit (nothing added).
    qint64 appendTexts(int column, const std::vector<std::string_view> &texts);
    // Writes UTF-8 text into a text cell of a shown row; false when the row or
    // column is out of range or not a text column.
    bool setText(qint64 row, int column, std::string_view utf8);
    // Writes the same UTF-8 text into a text column of the given shown rows
    // (rows out of range are passed over), or of every shown row. False when
    // column is not a text column.
    bool setTexts(int column, const std::vector<qint64> &rows, std::string_view utf8);
    bool fillText(int column, std::string_view utf8);
    // Every shown row gets its row number (1, 2, ...) in a number column;
    // false when column is not one.
    bool fillRowNumbers(int column);
    // The first shown row at or after `first` whose text column holds exactly
    // `text`, answered from the column's equality index (as find() answers
    // "col = 'text'"); 0 when there is none, -1 for a bad column.
    qint64 findText(int column, std::string_view text, qint64 first = 1);

    // --- database retrieval ---
    // Runs sql with the arguments bound in order, replaces the rows with the
    // result (columns in select order), applies the filter and returns the
    // shown row count; -1 with error filled when the statement fails or a
    // value does not convert to its column's type (the rows then stay).
    qint64 retrieve(QSqlDatabase db, const QString &sql, const QVariantList &args,
                    QString *error = nullptr);

signals:
    void modelReset();
    void rowsInserted(qint64 first, qint64 count); // 1-based
    void rowsRemoved(qint64 first, qint64 count);
    void cellChanged(qint64 row, int column);
    void selectionChanged();
    void currentRowChanged(qint64 row);

private:
    ImportResult importUtf8(const char *data, qint64 size, qint64 firstLine,
                            ProgressSink *progress);
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zorv
