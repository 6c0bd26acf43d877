// Tab-separated text import: fields go straight from the UTF-8 bytes into the
// column arrays, and a refused import drops everything it appended.
#include "core/grid/grid.h"

#include "core/grid/grid_impl.h"
#include "core/grid/grid_value.h"
#include "core/platform/progress.h"
#include "core/text/gbtext.h"

#include <QFile>
#include <cstring>

using namespace Qt::StringLiterals;

namespace zorv {

using namespace gridimpl;

namespace {

constexpr qint64 kProgressLines = 65536;

QString fieldForMessage(std::string_view v) {
    QString s = QString::fromUtf8(v.data(), qsizetype(v.size()));
    if (s.size() > 40)
        s = s.left(40) + u"…"_s;
    return s;
}

} // namespace

ImportResult Grid::importText(const QString &text, qint64 firstLine, ProgressSink *progress) {
    const QByteArray utf8 = text.toUtf8();
    return importUtf8(utf8.constData(), utf8.size(), firstLine, progress);
}

ImportResult Grid::importFile(const QString &path, qint64 firstLine, ProgressSink *progress) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {-3, 0, u"无法读取文件“"_s + path + u"”："_s + file.errorString()};
    QByteArray bytes = file.readAll();
    file.close();
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    qsizetype skip = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    if (utf16 || !QByteArrayView(bytes).sliced(skip).isValidUtf8()) {
        bytes = text::decodeText(bytes).toUtf8();
        skip = 0;
    }
    return importUtf8(bytes.constData() + skip, bytes.size() - skip, firstLine, progress);
}

ImportResult Grid::importUtf8(const char *data, qint64 size, qint64 firstLine,
                              ProgressSink *progress) {
    Impl &g = *d;
    const char *const end = data + size;
    qint64 lines = 0;
    for (const char *p = data; p < end; ++lines) {
        const void *nl = std::memchr(p, '\n', std::size_t(end - p));
        p = nl ? static_cast<const char *>(nl) + 1 : end;
    }

    const Storage::Mark mark = g.store.mark();
    const std::size_t shownBefore = g.shown.size();
    const std::size_t orderBefore = g.order.size();
    const std::uint64_t nextOrderBefore = g.nextOrder;
    auto rollback = [&] {
        g.store.rollback(mark);
        g.shown.resize(shownBefore);
        g.order.resize(orderBefore);
        g.selected.resize(orderBefore);
        g.nextOrder = nextOrderBefore;
    };
    const std::size_t expected = std::size_t(std::max<qint64>(0, lines - firstLine + 1));
    g.store.reserve(expected, std::size_t(size));
    g.shown.reserve(shownBefore + expected);
    g.order.reserve(orderBefore + expected);
    g.selected.reserve(orderBefore + expected);

    const int columns = g.store.columnCount();
    qint64 lineNo = 0;
    for (const char *p = data; p < end;) {
        const void *nl = std::memchr(p, '\n', std::size_t(end - p));
        const char *lineEnd = nl ? static_cast<const char *>(nl) : end;
        const char *next = nl ? lineEnd + 1 : end;
        ++lineNo;
        if (lineNo < firstLine) {
            p = next;
            continue;
        }
        if (lineEnd > p && lineEnd[-1] == '\r')
            --lineEnd;
        const char *f = p;
        for (int c = 0; c < columns; ++c) {
            std::string_view field;
            if (f <= lineEnd) {
                const void *tab = std::memchr(f, '\t', std::size_t(lineEnd - f));
                const char *fieldEnd = tab ? static_cast<const char *>(tab) : lineEnd;
                field = std::string_view(f, std::size_t(fieldEnd - f));
                f = fieldEnd + 1;
            }
            const ColType type = g.store.type(c);
            if (type == ColType::String) {
                g.store.pushStr(c, field);
                continue;
            }
            double v;
            bool isNull;
            const bool ok = type == ColType::Number ? parseNumber(field, v, isNull)
                                                    : parseDateTime(field, v, isNull);
            if (!ok) {
                rollback();
                const Column &col = g.columns[c];
                const QString name = col.caption.isEmpty() ? col.name : col.caption;
                const QString kind = type == ColType::Number ? u"数字"_s : u"日期时间"_s;
                return {-1, lineNo,
                        u"第%1行第%2列（%3）的内容“%4”不是有效的%5，导入已取消，没有导入任何行。"_s
                            .arg(lineNo)
                            .arg(c + 1)
                            .arg(name, fieldForMessage(field), kind)};
            }
            g.store.pushNum(c, v, isNull);
        }
        g.store.endRow();
        g.shown.push_back(g.store.rows() - 1);
        g.order.push_back(g.nextOrder++);
        g.selected.push_back(0);
        if (progress && lineNo % kProgressLines == 0) {
            progress->progress(next - data, size, u"正在导入第%1行"_s.arg(lineNo));
            if (progress->stopRequested()) {
                rollback();
                return {-2, lineNo, u"导入已中止，没有导入任何行。"_s};
            }
        }
        p = next;
    }
    const qint64 added = qint64(g.shown.size() - shownBefore);
    if (added > 0) {
        g.dropIndexes();
        if (g.redraw)
            emit rowsInserted(qint64(shownBefore) + 1, added);
    }
    if (progress)
        progress->progress(size, size, QString());
    return {added, 0, QString()};
}

} // namespace zorv
