// Tab-separated text import. Files are mapped rather than read when they
// are UTF-8 already; other encodings are decoded to UTF-8 first.
#include "core/grid/grid.h"

#include "core/grid/grid_impl.h"
#include "core/grid/grid_tsv.h"
#include "core/platform/progress.h"
#include "core/text/gbtext.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace zorv {

using namespace gridimpl;

namespace {

constexpr qint64 kNotUtf8 = -100;

} // namespace

QString fieldRefusalText(const Column &column, qint64 line, int sourceColumn,
                         const QString &value) {
    constexpr int kMax = 40;
    const QString shown = value.size() <= kMax ? value : value.left(kMax) + u"…"_s;
    const QString kind = column.type == ColType::Number ? u"数字"_s : u"日期时间"_s;
    return u"第%1行第%2列（%3）的内容“%4”不是有效的%5，导入已取消，没有导入任何行。"_s.arg(line)
        .arg(sourceColumn)
        .arg(column.title(), shown, kind);
}

ImportResult Grid::importText(const QString &text, qint64 firstLine, ProgressSink *progress) {
    const QByteArray utf8 = text.toUtf8();
    return importUtf8(utf8.constData(), utf8.size(), firstLine, progress);
}

ImportResult Grid::importFile(const QString &path, qint64 firstLine, ProgressSink *progress) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {-3, 0, u"无法读取文件“"_s + path + u"”："_s + file.errorString()};
    const qint64 size = file.size();
    if (size == 0)
        return importUtf8(nullptr, 0, firstLine, progress);
    QByteArray copy;
    const char *bytes = reinterpret_cast<const char *>(file.map(0, size));
    if (!bytes) {
        copy = file.readAll();
        if (copy.size() != size)
            return {-3, 0, u"无法读取文件“"_s + path + u"”："_s + file.errorString()};
        bytes = copy.constData();
    }
    // UTF-8 is parsed in place; anything else (UTF-16, GBK) is decoded first.
    // Whether the text is UTF-8 shows while parsing it.
    const QByteArrayView view(bytes, size);
    const bool utf16 = view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF");
    if (!utf16) {
        const qsizetype skip = view.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        const ImportResult r = importUtf8(bytes + skip, size - skip, firstLine, progress);
        if (r.rows != kNotUtf8)
            return r;
    }
    // The bytes are decoded where they lie, mapped or read, without a copy.
    const QByteArray utf8 = text::decodeText(QByteArray::fromRawData(bytes, size)).toUtf8();
    file.close();
    return importUtf8(utf8.constData(), utf8.size(), firstLine, progress);
}

ImportResult Grid::importUtf8(const char *data, qint64 size, qint64 firstLine,
                              ProgressSink *progress) {
    Impl &g = *d;
    std::function<bool(std::size_t, std::size_t, qint64)> tick;
    if (progress)
        tick = [progress](std::size_t done, std::size_t total, qint64 line) {
            progress->progress(qint64(done), qint64(total), u"正在导入第%1行"_s.arg(line));
            return !progress->stopRequested();
        };
    const RowId before = g.store.rows();
    const TsvOutcome r = appendTsv(g.store, data, std::size_t(size), firstLine, tick);
    if (r.errorLine)
        return {-1, r.errorLine,
                fieldRefusalText(
                    g.columns[r.errorColumn], r.errorLine, r.errorColumn + 1,
                    QString::fromUtf8(r.errorField.data(), qsizetype(r.errorField.size())))};
    if (r.stopped)
        return {-2, 0, u"导入已中止，没有导入任何行。"_s};
    if (r.notUtf8)
        return {kNotUtf8, 0, QString()};

    const std::size_t shownBefore = g.shown.size();
    g.shown.reserve(shownBefore + r.rows);
    g.order.reserve(g.order.size() + r.rows);
    g.selected.resize(g.selected.size() + r.rows, 0);
    for (RowId id = before; id < before + r.rows; ++id) {
        g.shown.push_back(id);
        g.order.push_back(g.nextOrder++);
    }
    if (r.rows > 0) {
        g.dropIndexes();
        if (g.redraw)
            emit rowsInserted(qint64(shownBefore) + 1, qint64(r.rows));
    }
    if (progress)
        progress->progress(size, size, QString());
    return {qint64(r.rows), 0, QString()};
}

} // namespace zorv
