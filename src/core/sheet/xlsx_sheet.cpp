#include "core/sheet/xlsx_parts.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace zorv::sheet {

namespace {

// "AB12" -> column 28, row 12; row 0 when the reference has no digits.
bool parseReference(const char *ref, int &row, int &column) {
    column = 0;
    row = 0;
    const char *p = ref;
    for (; (*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z'); ++p) {
        column = column * 26 + ((*p | 0x20) - 'a' + 1);
        if (column > kMaxColumns)
            return false;
    }
    for (; *p >= '0' && *p <= '9'; ++p) {
        row = row * 10 + (*p - '0');
        if (row > kMaxRows)
            return false;
    }
    return *p == '\0' && column > 0;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() &&
           (s.front() == ' ' || s.front() == '\n' || s.front() == '\r' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() &&
           (s.back() == ' ' || s.back() == '\n' || s.back() == '\r' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace

void WorksheetHandler::startElement(std::string_view name, const char **attrs) {
    if (m_inInline) {
        m_inlineText.start(name);
    } else if (name == "c") {
        startCell(attrs);
    } else if (name == "v") {
        m_inValue = m_inCell;
    } else if (name == "is") {
        m_inInline = m_inCell;
        m_inlineText.take();
    } else if (name == "dimension") {
        reserveCells(attribute(attrs, "ref"));
    } else if (name == "row") {
        const char *r = attribute(attrs, "r");
        int row = 0;
        if (r && std::from_chars(r, r + std::strlen(r), row).ec == std::errc() && row > 0)
            m_row = row;
        else
            ++m_row;
        m_column = 0;
    }
}

// Room for the cells of the used range the sheet states ("A1:B1000000"), so
// that the cell list does not grow step by step; never more than the part
// could hold or the budget allows, whatever a damaged range says.
void WorksheetHandler::reserveCells(const char *ref) {
    if (!ref || m_reserveCap <= 0)
        return;
    const std::string_view range = ref;
    const size_t colon = range.find(':');
    if (colon == std::string_view::npos)
        return;
    int firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
    const std::string first(range.substr(0, colon)), last(range.substr(colon + 1));
    if (!parseReference(first.c_str(), firstRow, firstColumn) ||
        !parseReference(last.c_str(), lastRow, lastColumn) || lastRow < firstRow ||
        lastColumn < firstColumn)
        return;
    const qint64 area = qint64(lastRow - firstRow + 1) * (lastColumn - firstColumn + 1);
    m_builder.reserve(size_t(std::min({area, m_reserveCap, m_maxCells})));
}

void WorksheetHandler::endElement(std::string_view name) {
    if (name == "is") {
        m_inInline = false;
    } else if (m_inInline) {
        m_inlineText.end(name);
    } else if (name == "v") {
        m_inValue = false;
    } else if (name == "c" && m_inCell) {
        finishCell();
        m_inCell = false;
    }
}

void WorksheetHandler::characters(std::string_view text) {
    if (m_inValue && m_value.size() + text.size() <= RichText::kMaxBytes)
        m_value.append(text);
    else if (m_inValue)
        failure = QStringLiteral("第 %1 行的单元格值过长").arg(m_row);
    else if (m_inInline)
        m_inlineText.characters(text);
}

void WorksheetHandler::startCell(const char **attrs) {
    m_inCell = true;
    m_inValue = false;
    m_value.clear();
    m_type = 'n';
    m_style = -1;
    int row = 0, column = 0;
    for (int i = 0; attrs[i]; i += 2) {
        const std::string_view key = localName(attrs[i]);
        const char *value = attrs[i + 1];
        if (key == "r" && parseReference(value, row, column)) {
            if (row > 0)
                m_row = row;
            m_column = column;
        } else if (key == "t") {
            const std::string_view t = value;
            m_type = t == "s"           ? 's'
                     : t == "inlineStr" ? 'i'
                     : t == "str"       ? 'f'
                     : t == "b"         ? 'b'
                     : t == "e"         ? 'e'
                     : t == "d"         ? 'd'
                                        : 'n';
        } else if (key == "s") {
            unsigned index = 0;
            if (std::from_chars(value, value + std::strlen(value), index).ec == std::errc() &&
                index < m_styles.size())
                m_style = int(index);
        }
    }
    if (column == 0)
        ++m_column; // no reference: the cell after the previous one
}

void WorksheetHandler::finishCell() {
    if (++m_cells > m_maxCells) {
        failure = QStringLiteral("单元格超过 %1 个").arg(m_maxCells);
        overBudget = true;
        return;
    }
    const std::string_view v = m_type == 'i' ? std::string_view() : trimmed(m_value);
    switch (m_type) {
    case 's': {
        quint32 index = 0;
        if (v.empty())
            return;
        if (std::from_chars(v.data(), v.data() + v.size(), index).ec != std::errc()) {
            failure = QStringLiteral("第 %1 行的共享字符串编号无效").arg(m_row);
            return;
        }
        m_builder.addShared(m_row, m_column, index);
        return;
    }
    case 'i':
        if (m_inlineText.tooLong) {
            failure = QStringLiteral("第 %1 行的字符串过长").arg(m_row);
            return;
        }
        m_builder.addText(m_row, m_column, m_inlineText.take());
        return;
    case 'f':
        m_builder.addText(m_row, m_column, QString::fromStdString(decodeXmlEscapes(m_value)));
        return;
    case 'b':
        if (!v.empty())
            m_builder.addBoolean(m_row, m_column, v == "1" || v == "true");
        return;
    case 'e':
        m_builder.addError(m_row, m_column, QString::fromUtf8(v.data(), qsizetype(v.size())));
        return;
    case 'd': {
        // ISO 8601 ("2024-02-29T13:45:00Z"): shown as date and time.
        QString iso = QString::fromUtf8(v.data(), qsizetype(v.size()));
        iso.replace(u'T', u' ');
        if (iso.endsWith(u'Z'))
            iso.chop(1);
        if (iso.endsWith(QStringLiteral(" 00:00:00")))
            iso.chop(9);
        m_builder.addDateText(m_row, m_column, iso);
        return;
    }
    default:
        break;
    }
    if (v.empty())
        return;
    double number = 0;
    const char *begin = v.data(), *end = v.data() + v.size();
    if (*begin == '+')
        ++begin;
    auto res = std::from_chars(begin, end, number);
    if (res.ec != std::errc() || res.ptr != end)
        m_builder.addText(m_row, m_column, QString::fromUtf8(v.data(), qsizetype(v.size())));
    else if (m_style < 0)
        m_builder.addNumber(m_row, m_column, number);
    else {
        int &slot = m_slots[size_t(m_style)];
        if (slot < 0)
            slot = std::max(0, m_builder.addFormat(m_styles[size_t(m_style)]));
        m_builder.addNumber(m_row, m_column, number, slot);
    }
}

} // namespace zorv::sheet
