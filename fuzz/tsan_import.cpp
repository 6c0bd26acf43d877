// Runs the parallel text import (several parts parsed by threads of their
// own) under ThreadSanitizer: a large import, one refused by a field in its
// last part, one stopped half-way, and one from a file. fuzz/run.sh builds
// it with -fsanitize=thread; any race report fails the run.
#include "core/grid/grid.h"
#include "core/platform/progress.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Big enough to be cut into parts for every core (8 MiB a part at least).
QByteArray table(int lines) {
    QByteArray text;
    text.reserve(qsizetype(lines) * 48);
    for (int i = 0; i < lines; ++i)
        text += "名" + QByteArray::number(i) + "\t" + QByteArray::number(i) +
                "\t2024-02-29 10:00:00\tsome text in the last column\n";
    return text;
}

class StopHalfWay : public zorv::ProgressSink {
public:
    bool stopRequested() override { return ++m_polls > 1; }

private:
    int m_polls = 0;
};

int failed(const char *what) {
    std::fprintf(stderr, "tsan_import: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QList<zorv::Column> columns{{u"md"_s, zorv::ColType::String, {}},
                                      {u"xh"_s, zorv::ColType::Number, {}},
                                      {u"rq"_s, zorv::ColType::DateTime, {}},
                                      {u"bz"_s, zorv::ColType::String, {}}};
    constexpr int kLines = 600'000; // about 40 MiB
    const QByteArray text = table(kLines);
    const QString asText = QString::fromUtf8(text);

    zorv::Grid whole(columns);
    if (whole.importText(asText).rows != kLines || whole.getItemString(kLines, 2) != u"599999"_s)
        return failed("large import");

    zorv::Grid refused(columns);
    refused.importText(u"kept\t1\n"_s);
    const zorv::ImportResult r = refused.importText(asText + u"bad\tnot a number\n"_s);
    if (r.rows != -1 || r.errorLine != kLines + 1 || refused.rowCount() != 1)
        return failed("refusal in the last part");

    zorv::Grid stopped(columns);
    StopHalfWay sink;
    if (stopped.importText(asText, 1, &sink).rows != -2 || stopped.rowCount() != 0)
        return failed("stop");

    QTemporaryDir dir;
    const QString path = dir.filePath(u"table.txt"_s);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return failed("cannot write the table file");
    f.close();
    zorv::Grid fromFile(columns);
    if (fromFile.importFile(path).rows != kLines)
        return failed("file import");
    std::puts("tsan_import: parallel imports clean");
    return 0;
}
