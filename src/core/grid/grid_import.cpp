// Tab-separated text import. A file is read whole into memory of its own
// and parsed there when it is UTF-8 already; other encodings are decoded to
// UTF-8 first. Running out of memory refuses the import, rows untouched.
#include "core/grid/grid.h"

#include "core/grid/grid_impl.h"
#include "core/grid/grid_memory.h"
#include "core/grid/grid_tsv.h"
#include "core/platform/progress.h"
#include "core/text/gbtext.h"

#include <QFile>
#include <cerrno>
#include <system_error>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zorv {

using namespace gridimpl;

namespace {

constexpr qint64 kNotUtf8 = -100;

ImportResult outOfMemory() {
    return {-4, 0, u"内存不足，导入已取消，没有导入任何行。"_s};
}

ImportResult unreadable(const QString &path, const QFile &file) {
    return {-3, 0, u"无法读取文件“"_s + path + u"”："_s + file.errorString()};
}

// Reads [from, from + length) of the file at fd into out; the bytes read.
qint64 readRange(int fd, char *out, qint64 from, qint64 length) {
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, out + done, std::size_t(length - done), off_t(from + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

// The whole file, read into memory of our own: large files into huge pages
// (a few dozen page faults rather than one per 4 KiB) and by two threads at
// once, each reading half. A file that is shorter than it said by the time
// it is read gets one plain read of what it holds then.
QByteArray readWhole(QFile &file) {
    constexpr qint64 kOwnBufferFrom = qint64(4) << 20;
    constexpr qint64 kSplitFrom = qint64(16) << 20;
    const qint64 size = file.size();
    if (size < kOwnBufferFrom)
        return file.readAll();
    QByteArray bytes(size, Qt::Uninitialized);
    adviseHugePages(bytes.data(), std::size_t(size));
    const qint64 half = size >= kSplitFrom ? size / 2 : size;
    qint64 second = 0;
    try {
        std::thread reader;
        if (half < size)
            reader = std::thread(
                [&] { second = readRange(file.handle(), bytes.data() + half, half, size - half); });
        const qint64 first = readRange(file.handle(), bytes.data(), 0, half);
        if (reader.joinable())
            reader.join();
        if (first == half && second == size - half)
            return bytes;
    } catch (const std::system_error &) {
        // no second thread: one plain read below
    }
    bytes.clear();
    file.seek(0);
    return file.readAll();
}

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
    try {
        const QByteArray utf8 = text.toUtf8();
        return importUtf8(utf8.constData(), utf8.size(), firstLine, progress);
    } catch (const std::bad_alloc &) {
        return outOfMemory();
    }
}

ImportResult Grid::importFile(const QString &path, qint64 firstLine, ProgressSink *progress) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(path, file);
    try {
        // A copy rather than a mapping: another program may shorten the file
        // while it is parsed (a mapping then faults on the lost pages) or
        // rewrite it (the lines counted would no longer be the lines read).
        // What the copy holds is what the file held when it was read.
        const QByteArray bytes = readWhole(file);
        if (file.error() != QFileDevice::NoError)
            return unreadable(path, file);
        file.close();
        const qint64 size = bytes.size();
        // UTF-8 is parsed as it is; anything else (UTF-16, GBK) is decoded
        // first. Whether the text is UTF-8 shows while parsing it.
        const QByteArrayView view(bytes);
        const bool utf16 = view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF");
        if (!utf16) {
            const qsizetype skip = view.startsWith("\xEF\xBB\xBF") ? 3 : 0;
            const ImportResult r =
                importUtf8(bytes.constData() + skip, size - skip, firstLine, progress);
            if (r.rows != kNotUtf8)
                return r;
        }
        const QByteArray utf8 = text::decodeText(bytes).toUtf8();
        return importUtf8(utf8.constData(), utf8.size(), firstLine, progress);
    } catch (const std::bad_alloc &) {
        return outOfMemory();
    }
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
    const Storage::Mark mark = g.store.mark();
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
    if (r.tooManyRows)
        return {-1, 0,
                u"文本的行数超过表格能容纳的%1行，导入已取消，没有导入任何行。"_s.arg(
                    qint64(kMaxRowCount))};

    const std::size_t shownBefore = g.shown.size();
    const std::size_t selectedBefore = g.selected.size();
    try {
        g.shown.reserve(shownBefore + r.rows);
        g.order.reserve(g.order.size() + r.rows);
        g.selected.resize(selectedBefore + r.rows, 0);
    } catch (const std::bad_alloc &) {
        g.selected.resize(selectedBefore);
        g.store.rollback(mark);
        throw;
    }
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
