#include "core/sheet/sheet.h"

#include <algorithm>

namespace zorv::sheet {

namespace {

bool before(quint32 r1, quint16 c1, quint32 r2, quint16 c2) {
    return r1 < r2 || (r1 == r2 && c1 < c2);
}

} // namespace

Cell Sheet::toCell(const Entry &e) const {
    Cell c;
    switch (e.kind) {
    case Stored::Number:
        c.kind = CellKind::Number;
        c.number = e.number;
        c.text = formatGeneral(e.number);
        c.shown = entryShown(e);
        return c;
    case Stored::Boolean:
        c.kind = CellKind::Boolean;
        c.number = e.number;
        c.text = e.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        break;
    case Stored::Text:
        c.kind = CellKind::Text;
        c.text = m_strings[e.string];
        break;
    case Stored::Shared:
        c.kind = CellKind::Text;
        c.text = m_shared[e.string];
        break;
    case Stored::Error:
        c.kind = CellKind::Error;
        c.text = m_strings[e.string];
        break;
    case Stored::DateSerial:
        c.kind = CellKind::Date;
        c.number = e.number;
        c.text = formatSerial(e.number, dateStyle(e), m_date1904);
        c.shown = entryShown(e);
        return c;
    case Stored::DateText:
        c.kind = CellKind::Date;
        c.text = m_strings[e.string];
        break;
    }
    c.shown = c.text;
    return c;
}

std::vector<Sheet::Entry>::const_iterator Sheet::find(int row, int column) const {
    if (row < 1 || column < 1 || row > m_rows || column > m_columns)
        return m_cells.end();
    const auto r = static_cast<quint32>(row);
    const auto c = static_cast<quint16>(column);
    auto it = std::lower_bound(m_cells.begin(), m_cells.end(), 0,
                               [&](const Entry &e, int) { return before(e.row, e.column, r, c); });
    if (it != m_cells.end() && it->row == r && it->column == c)
        return it;
    return m_cells.end();
}

QString Sheet::entryText(const Entry &e) const {
    switch (e.kind) {
    case Stored::Number:
        return formatGeneral(e.number);
    case Stored::Shared:
        return m_shared[e.string];
    case Stored::Text:
    case Stored::Error:
    case Stored::DateText:
        return m_strings[e.string];
    default:
        return toCell(e).text;
    }
}

QString Sheet::entryShown(const Entry &e) const {
    if (e.kind == Stored::Number || e.kind == Stored::DateSerial)
        return m_formats[e.format].show(e.number, m_date1904);
    return entryText(e);
}

Cell Sheet::cell(int row, int column) const {
    auto it = find(row, column);
    return it == m_cells.end() ? Cell{} : toCell(*it);
}

QString Sheet::text(int row, int column) const {
    auto it = find(row, column);
    return it == m_cells.end() ? QString() : entryText(*it);
}

QString Sheet::shown(int row, int column) const {
    auto it = find(row, column);
    return it == m_cells.end() ? QString() : entryShown(*it);
}

std::optional<double> Sheet::number(int row, int column) const {
    auto it = find(row, column);
    if (it == m_cells.end() || (it->kind != Stored::Number && it->kind != Stored::Boolean))
        return std::nullopt;
    return it->number;
}

int Sheet::lastRow(int column) const {
    for (auto it = m_cells.rbegin(); it != m_cells.rend(); ++it)
        if (it->column == column)
            return static_cast<int>(it->row);
    return 0;
}

QStringList Sheet::rowTexts(int row, int columns) const {
    QStringList out;
    if (columns <= 0)
        return out;
    out.reserve(columns);
    const auto r = static_cast<quint32>(std::max(row, 0));
    auto it = std::lower_bound(m_cells.begin(), m_cells.end(), 0,
                               [&](const Entry &e, int) { return e.row < r; });
    for (int c = 1; c <= columns; ++c) {
        if (it != m_cells.end() && it->row == r && it->column == c) {
            out.append(entryShown(*it));
            ++it;
        } else {
            out.append(QString());
        }
    }
    return out;
}

QList<QStringList> Sheet::rows(int firstRow, int columns) const {
    QList<QStringList> out;
    firstRow = std::max(firstRow, 1);
    if (columns < 0 || columns > m_columns)
        columns = m_columns;
    if (firstRow > m_rows)
        return out;
    out.reserve(m_rows - firstRow + 1);
    for (int r = firstRow; r <= m_rows; ++r)
        out.append(rowTexts(r, columns));
    return out;
}

QStringList Sheet::column(int column, int firstRow) const {
    QStringList out;
    firstRow = std::max(firstRow, 1);
    const int last = lastRow(column);
    for (int r = firstRow; r <= last; ++r)
        out.append(shown(r, column));
    return out;
}

SheetBuilder::SheetBuilder(QString name, bool date1904) {
    m_sheet.m_name = std::move(name);
    m_sheet.m_date1904 = date1904;
}

void SheetBuilder::setSharedStrings(std::vector<QString> strings) {
    m_sheet.m_shared = std::move(strings);
}

bool SheetBuilder::place(int row, int column, Sheet::Entry &e) {
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
        return false;
    e.row = static_cast<quint32>(row);
    e.column = static_cast<quint16>(column);
    e.format = 0;
    return true;
}

int SheetBuilder::addFormat(const NumberFormat &format) {
    auto &formats = m_sheet.m_formats;
    if (format.isGeneral())
        return 0;
    for (size_t i = 1; i < formats.size(); ++i)
        if (formats[i].code() == format.code())
            return int(i);
    if (formats.size() > 255)
        return -1;
    formats.push_back(format);
    return int(formats.size() - 1);
}

void SheetBuilder::addNumber(int row, int column, double value, int format) {
    Sheet::Entry e;
    if (!place(row, column, e))
        return;
    if (format < 0 || size_t(format) >= m_sheet.m_formats.size())
        format = 0;
    e.format = static_cast<quint8>(format);
    e.kind = m_sheet.m_formats[size_t(format)].dateStyle() != DateStyle::None
                 ? Sheet::Stored::DateSerial
                 : Sheet::Stored::Number;
    e.number = value;
    m_sheet.m_cells.push_back(e);
}

void SheetBuilder::addBoolean(int row, int column, bool value) {
    Sheet::Entry e;
    if (!place(row, column, e))
        return;
    e.kind = Sheet::Stored::Boolean;
    e.number = value ? 1 : 0;
    m_sheet.m_cells.push_back(e);
}

void SheetBuilder::addString(int row, int column, Sheet::Stored kind, const QString &text) {
    Sheet::Entry e;
    if (text.isEmpty() || !place(row, column, e))
        return;
    e.kind = kind;
    e.string = static_cast<quint32>(m_sheet.m_strings.size());
    m_sheet.m_strings.push_back(text);
    m_sheet.m_cells.push_back(e);
}

void SheetBuilder::addText(int row, int column, const QString &text) {
    addString(row, column, Sheet::Stored::Text, text);
}

void SheetBuilder::addShared(int row, int column, quint32 index) {
    Sheet::Entry e;
    if (!place(row, column, e))
        return;
    e.kind = Sheet::Stored::Shared;
    e.string = index;
    m_sheet.m_cells.push_back(e);
}

void SheetBuilder::addError(int row, int column, const QString &text) {
    addString(row, column, Sheet::Stored::Error, text);
}

void SheetBuilder::addDate(int row, int column, double serial, DateStyle style) {
    int &slot = m_dateSlots[static_cast<int>(style) & 3];
    if (slot < 0) {
        const int id = style == DateStyle::Time ? 21 : style == DateStyle::DateTime ? 22 : 14;
        slot = style == DateStyle::None ? 0 : addFormat(NumberFormat::builtin(id));
    }
    addNumber(row, column, serial, std::max(slot, 0));
}

void SheetBuilder::addDateText(int row, int column, const QString &text) {
    addString(row, column, Sheet::Stored::DateText, text);
}

std::optional<Sheet> SheetBuilder::finish(QString *reason) {
    auto &cells = m_sheet.m_cells;
    auto less = [](const Sheet::Entry &a, const Sheet::Entry &b) {
        return before(a.row, a.column, b.row, b.column);
    };
    if (!std::is_sorted(cells.begin(), cells.end(), less))
        std::stable_sort(cells.begin(), cells.end(), less);
    // A cell written twice keeps its last value; an empty shared string is an
    // empty cell.
    const auto &shared = m_sheet.m_shared;
    size_t out = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        const Sheet::Entry &e = cells[i];
        if (e.kind == Sheet::Stored::Shared) {
            if (e.string >= shared.size()) {
                if (reason)
                    *reason = QStringLiteral("第 %1 行第 %2 列引用的共享字符串 %3 不存在")
                                  .arg(e.row)
                                  .arg(e.column)
                                  .arg(e.string);
                return std::nullopt;
            }
            if (shared[e.string].isEmpty()) {
                if (out > 0 && cells[out - 1].row == e.row && cells[out - 1].column == e.column)
                    --out; // the empty value replaces the earlier one
                continue;
            }
        }
        if (out > 0 && cells[out - 1].row == e.row && cells[out - 1].column == e.column)
            cells[out - 1] = e;
        else
            cells[out++] = e;
    }
    cells.resize(out);
    cells.shrink_to_fit();
    m_sheet.m_rows = cells.empty() ? 0 : static_cast<int>(cells.back().row);
    m_sheet.m_columns = 0;
    for (const auto &e : cells)
        m_sheet.m_columns = std::max<int>(m_sheet.m_columns, e.column);
    return std::move(m_sheet);
}

} // namespace zorv::sheet
