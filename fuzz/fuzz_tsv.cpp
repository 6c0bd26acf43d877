// Fuzzes the tab-separated import, from text and from a file (raw bytes in
// any encoding). The first input byte picks the first line. An import either
// adds rows (exactly the lines from there on when nothing is quoted) whose
// copied text pastes back as the same rows, or is refused and leaves the rows
// as they were.
#include "core/grid/grid.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;
using zorv::ColType;
using zorv::Grid;

namespace {

void init() {
    static bool done = false;
    if (done)
        return;
    done = true;
    static int argc = 1;
    static char name[] = "fuzz_tsv";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// Lines of bytes from line `first` on; a final line break adds no line.
qint64 linesFrom(const QByteArray &bytes, qint64 first) {
    qint64 lines = bytes.count('\n');
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        ++lines;
    return std::max<qint64>(0, lines - std::max<qint64>(first, 1) + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    init();
    if (size == 0)
        return 0;
    const qint64 first = data[0] % 4;
    const bool fromFile = data[0] & 0x80;
    const QByteArray body(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    Grid g({{u"md"_s, ColType::String, {}},
            {u"xh"_s, ColType::Number, {}},
            {u"rq"_s, ColType::DateTime, {}}});
    g.insertRow(0);
    g.setItem(1, 1, u"keep"_s);
    const QString before = g.toTsv(true);

    zorv::ImportResult r;
    qint64 expected = -1;
    if (fromFile) {
        static const QString path =
            QDir::tempPath() + u"/zorv-fuzz-tsv-%1.txt"_s.arg(QCoreApplication::applicationPid());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(body) != body.size())
            return 0;
        f.close();
        r = g.importFile(path, first);
    } else {
        const QString text = QString::fromUtf8(body);
        r = g.importText(text, first);
        if (!text.contains(u'"'))
            expected = linesFrom(text.toUtf8(), first);
    }
    if (r.ok()) {
        if (g.rowCount() != 1 + r.rows || (expected >= 0 && r.rows != expected))
            std::abort();
        const QString copied = g.toTsv(false);
        Grid pasted({{u"md"_s, ColType::String, {}},
                     {u"xh"_s, ColType::Number, {}},
                     {u"rq"_s, ColType::DateTime, {}}});
        if (!pasted.importText(copied).ok() || pasted.toTsv(false) != copied)
            std::abort();
        g.setSort(u"xh D, md A"_s);
        g.sort();
    } else if (g.rowCount() != 1 || g.toTsv(true) != before || r.error.isEmpty()) {
        std::abort();
    }
    return 0;
}
