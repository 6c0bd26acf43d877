#include "cli/grid_stream.h"

#include "cli/cli_args.h"
#include "core/grid/grid.h"
#include "core/text/gbtext.h"

#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

constexpr int kColumns = 7;
const QByteArray kFilterDirective = QByteArrayLiteral("#filter");

bool parseNumber(const QByteArray &field, QVariant *out) {
    if (field.isEmpty()) {
        *out = QVariant();
        return true;
    }
    bool ok = false;
    const qlonglong n = field.toLongLong(&ok);
    if (ok) {
        *out = n;
        return true;
    }
    const double d = field.toDouble(&ok);
    if (ok && std::isfinite(d)) {
        *out = d;
        return true;
    }
    return false;
}

void appendNumber(QByteArray &buf, const QVariant &v) {
    if (v.isNull() || !v.isValid())
        return;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) {
        buf += escapeField(v.toString());
        return;
    }
    // The grid's own text of a number: an integer without ".0", else the
    // shortest text that reads back as the same value.
    char text[64];
    const auto r = std::trunc(d) == d && std::fabs(d) < 1e15
                       ? std::to_chars(text, text + sizeof text, static_cast<long long>(d))
                       : std::to_chars(text, text + sizeof text, d);
    buf.append(text, r.ptr - text);
}

// The rows of body (lines after the header) straight into the grid through
// its parallel text import, when that reads them exactly as the cell-by-cell
// path would: columns in stream order, no escape to undo, no quote the grid
// would take for spreadsheet quoting, every line a row of seven fields with a
// number or nothing in xh. False leaves the grid as it was and the caller
// takes the cell-by-cell path, which also names the error.
bool bulkImport(QByteArrayView body, Grid &grid) {
    if (body.contains('\\') || body.contains('"'))
        return false;
    for (qsizetype pos = 0; pos < body.size();) {
        qsizetype end = body.indexOf('\n', pos);
        if (end < 0)
            end = body.size();
        const QByteArrayView line = body.sliced(pos, end - pos);
        if (line.startsWith('#') || line.count('\t') != kColumns - 1)
            return false;
        const QByteArrayView xh = line.first(line.indexOf('\t'));
        const bool digits = xh.size() < 16 && std::all_of(xh.begin(), xh.end(), [](char c) {
                                return c >= '0' && c <= '9';
                            });
        QVariant number;
        if (!digits && !parseNumber(xh.toByteArray(), &number))
            return false;
        pos = end + 1;
    }
    return grid.importText(QString::fromUtf8(body)).ok();
}

// The shown rows through the grid's own tab-separated export, when it wrote
// them exactly as the stream wants: no field was quoted (no '"' at all) and
// none needs an escape, so every row is one line of seven fields.
bool bulkRows(const Grid &grid, QByteArray *out) {
    QByteArray tsv = grid.toTsv(false).toUtf8();
    const qsizetype rows = grid.rowCount();
    if (tsv.contains('"') || tsv.contains('\\') || tsv.count('\t') != rows * (kColumns - 1) ||
        tsv.count('\n') != rows || tsv.count('\r') != rows)
        return false;
    tsv.replace("\r\n", "\n");
    *out = std::move(tsv);
    return true;
}

bool flush(QByteArray &buf, std::FILE *out) {
    if (buf.isEmpty())
        return true;
    const bool ok = std::fwrite(buf.constData(), 1, size_t(buf.size()), out) == size_t(buf.size());
    buf.clear();
    return ok;
}

} // namespace

const QStringList &streamColumns() {
    static const QStringList names{u"xh"_s,    u"ypath"_s, u"filey"_s, u"filen"_s,
                                   u"npath"_s, u"jg"_s,    u"zml"_s};
    return names;
}

QByteArray escapeField(const QString &value) {
    QByteArray raw = value.toUtf8();
    if (!raw.contains('\\') && !raw.contains('\t') && !raw.contains('\n') && !raw.contains('\r'))
        return raw;
    QByteArray out;
    out.reserve(raw.size() + 8);
    for (char c : raw) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool unescapeField(QByteArray &field) {
    const qsizetype first = field.indexOf('\\');
    if (first < 0)
        return true;
    QByteArray out = field.left(first);
    for (qsizetype i = first; i < field.size(); ++i) {
        const char c = field[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= field.size())
            return false;
        switch (field[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return false;
        }
    }
    field = out;
    return true;
}

bool readGridStream(const QByteArray &bytes, Grid &grid, StreamError *error) {
    auto fail = [&](qint64 line, const QString &msg) {
        error->line = line;
        error->message = msg;
        return false;
    };
    // Every line the writer puts ends in a line feed: a last line without one
    // is where the stream was cut off, and its row would be taken for whole.
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        return fail(bytes.count('\n') + 1, u"最后一行没有换行符，输入不完整（可能被截断）"_s);
    if (!QByteArrayView(bytes).isValidUtf8()) {
        // Name the first line that is not UTF-8.
        qint64 line = 1;
        qsizetype start = 0;
        while (start <= bytes.size()) {
            qsizetype end = bytes.indexOf('\n', start);
            if (end < 0)
                end = bytes.size();
            if (!QByteArrayView(bytes.constData() + start, end - start).isValidUtf8())
                break;
            start = end + 1;
            ++line;
        }
        return fail(line, u"不是有效的 UTF-8 文本"_s);
    }

    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qint64 lineNo = 0;
    auto nextLine = [&](QByteArrayView *line) {
        if (pos >= bytes.size())
            return false;
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        qsizetype len = end - pos;
        if (len > 0 && bytes[pos + len - 1] == '\r')
            --len;
        *line = QByteArrayView(bytes.constData() + pos, len);
        pos = end + 1;
        ++lineNo;
        return true;
    };

    QByteArrayView line;
    if (!nextLine(&line))
        return fail(1, u"没有表头行（应为 "_s + streamColumns().join(u' ') + u"）"_s);

    // Header: every stream column exactly once, in any order.
    QStringList header; // column name of each field of a line
    for (const QByteArray &n : line.toByteArray().split('\t')) {
        const QString name = QString::fromUtf8(n).trimmed();
        if (!streamColumns().contains(name))
            return fail(lineNo, u"表头有未知的列 "_s + quoteInput(name) + u"（应为 "_s +
                                    streamColumns().join(u' ') + u"）"_s);
        if (header.contains(name))
            return fail(lineNo, u"表头的列 "_s + name + u" 重复"_s);
        header << name;
    }
    for (const QString &c : streamColumns())
        if (!header.contains(c))
            return fail(lineNo, u"表头缺少列 "_s + c);
    int target[kColumns]; // grid column of each field
    for (int i = 0; i < kColumns; ++i)
        target[i] = grid.columnNumber(header[i]);
    const int numberField = int(header.indexOf(u"xh"_s));
    bool inStreamOrder = header == streamColumns() && grid.columnCount() == kColumns;
    for (int i = 0; i < kColumns; ++i)
        inStreamOrder = inStreamOrder && target[i] == i + 1;

    QString filterExpr;
    qint64 filterLine = 0;
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    QByteArray field;
    while (nextLine(&line)) {
        if (line.startsWith('#')) {
            const QList<QByteArray> parts = line.toByteArray().split('\t');
            if (parts.size() != 2 || parts[0] != kFilterDirective || filterLine)
                return fail(lineNo, u"无法识别的指令行（只允许一行 \"#filter<TAB>表达式\"）"_s);
            field = parts[1];
            if (!unescapeField(field))
                return fail(lineNo, u"过滤表达式中有无效的反斜杠转义"_s);
            filterExpr = QString::fromUtf8(field);
            filterLine = lineNo;
            continue;
        }
        if (inStreamOrder) {
            inStreamOrder = false; // tried once, at the first row
            const qsizetype start = line.data() - bytes.constData();
            if (grid.rowCount() == 0 && bulkImport(QByteArrayView(bytes).sliced(start), grid))
                break;
        }
        QVarLengthArray<QByteArrayView, kColumns> fields;
        qsizetype from = 0;
        while (true) {
            const qsizetype tab = line.indexOf('\t', from);
            if (tab < 0) {
                fields.append(line.sliced(from));
                break;
            }
            fields.append(line.sliced(from, tab - from));
            from = tab + 1;
            if (fields.size() > kColumns)
                break;
        }
        if (fields.size() != kColumns)
            return fail(lineNo,
                        u"应有 7 列，实有 "_s + (fields.size() > kColumns
                                                     ? u"7 列以上"_s
                                                     : QString::number(fields.size()) + u" 列"_s));
        const qint64 row = grid.insertRow(0);
        for (int i = 0; i < kColumns; ++i) {
            if (fields[i].isEmpty())
                continue;
            field = fields[i].toByteArray();
            if (!unescapeField(field))
                return fail(lineNo, u"列 "_s + header[i] + u" 有无效的反斜杠转义"_s);
            if (i == numberField) {
                QVariant v;
                if (!parseNumber(field, &v))
                    return fail(lineNo,
                                u"序号 xh 不是数字："_s + quoteInput(QString::fromUtf8(field)));
                grid.setItem(row, target[i], v);
            } else {
                grid.setItem(row, target[i], text::fromUtf8Exact(field.constData(), field.size()));
            }
        }
    }
    if (!filterExpr.isEmpty()) {
        if (grid.setFilter(filterExpr) != 1 || grid.filter() != 1)
            return fail(filterLine, u"无效的过滤表达式："_s + quoteInput(filterExpr));
    }
    grid.setRedraw(redraw);
    return true;
}

bool writeGridStream(Grid &grid, std::FILE *out) {
    const QString filterExpr = grid.filterExpression();
    if (!filterExpr.isEmpty()) {
        // Bring the hidden rows back so they travel too; the reader hides them again.
        grid.setFilter(QString());
        grid.filter();
    }
    QByteArray buf;
    buf.reserve(1 << 20);
    buf += streamColumns().join(u'\t').toUtf8() + '\n';
    if (!filterExpr.isEmpty())
        buf += kFilterDirective + '\t' + escapeField(filterExpr) + '\n';
    int cols[kColumns];
    bool inStreamOrder = grid.columnCount() == kColumns;
    for (int i = 0; i < kColumns; ++i) {
        cols[i] = grid.columnNumber(streamColumns()[i]);
        inStreamOrder = inStreamOrder && cols[i] == i + 1;
    }
    bool ok = true;
    QByteArray rowsText;
    if (inStreamOrder && bulkRows(grid, &rowsText)) {
        ok = flush(buf, out);
        ok = flush(rowsText, out) && ok;
        return std::fflush(out) == 0 && ok;
    }
    const qint64 rows = grid.rowCount();
    for (qint64 r = 1; r <= rows; ++r) {
        appendNumber(buf, grid.item(r, cols[0]));
        for (int i = 1; i < kColumns; ++i) {
            buf += '\t';
            const QVariant v = grid.item(r, cols[i]);
            if (!v.isNull())
                buf += escapeField(v.toString());
        }
        buf += '\n';
        if (buf.size() > (1 << 20) - 4096)
            ok = flush(buf, out) && ok;
    }
    ok = flush(buf, out) && ok;
    return std::fflush(out) == 0 && ok;
}

} // namespace zorv::cli
