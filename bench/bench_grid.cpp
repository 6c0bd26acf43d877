// Benchmarks of the grid model. bench_grid.sh runs each beside its baseline.
//   bench_grid gen DIR N        writes DIR/a.txt, DIR/b.txt (names) and DIR/table.tsv
//   bench_grid find A B         equality find of every name of B in a grid of A
//   bench_grid sort TABLE       sort by the name column, and std::stable_sort of the names
//   bench_grid filter TABLE     filter "jg = '相同'"
//   bench_grid import TABLE     import of the whole table
//   bench_grid sheet FILE       a spreadsheet's active sheet read and turned into the
//                               rows of text the sheet-copy imports hand the grid
// Each prints its seconds (and counts) on one line.
#include "core/grid/grid.h"
#include "core/sheet/workbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;
using zorv::ColType;
using zorv::Grid;

namespace {

QList<zorv::Column> tableColumns() {
    return {{u"xh"_s, ColType::Number, u"序号"_s},   {u"md"_s, ColType::String, u"名单"_s},
            {u"jg"_s, ColType::String, u"结果"_s},   {u"rq"_s, ColType::DateTime, u"日期"_s},
            {u"bs"_s, ColType::Number, u"标识号"_s}, {u"filey"_s, ColType::String, u"文件"_s},
            {u"bz"_s, ColType::String, u"备注"_s}};
}

std::string nameOf(std::uint64_t i, std::mt19937_64 &rng) {
    static const char *const chars[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵",
                                        "吴", "周", "小", "明", "华", "伟", "芳", "娜",
                                        "静", "强", "磊", "军", "洋", "勇", "艳", "杰"};
    std::string s;
    const int n = 2 + int(rng() % 2);
    for (int k = 0; k < n; ++k)
        s += chars[rng() % std::size(chars)];
    s += '_';
    s += std::to_string(100000 + i);
    return s;
}

bool writeAll(const QString &path, const std::string &data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write(data.data(), qint64(data.size())) == qint64(data.size());
}

int generate(const QString &dir, std::uint64_t n) {
    std::mt19937_64 rng(20240229);
    std::vector<std::uint64_t> ids(n);
    for (std::uint64_t i = 0; i < n; ++i)
        ids[i] = i;
    std::shuffle(ids.begin(), ids.end(), rng);
    std::vector<std::string> names(n);
    std::string a, table;
    for (std::uint64_t i = 0; i < n; ++i) {
        names[i] = nameOf(ids[i], rng);
        a += names[i];
        a += '\n';
        char date[32];
        std::snprintf(date, sizeof date, "2024-%02d-%02d %02d:%02d:%02d", int(1 + rng() % 12),
                      int(1 + rng() % 28), int(rng() % 24), int(rng() % 60), int(rng() % 60));
        table += std::to_string(i + 1) + '\t' + names[i] + '\t' + (rng() % 2 ? "相同" : "不同") +
                 '\t' + date + '\t' + std::to_string(1 + rng() % 9) + '\t' + names[i] + ".jpg\t" +
                 (rng() % 4 ? "" : "已核对") + '\n';
    }
    // List B: half of A's names, half absent from A, shuffled.
    std::vector<std::string> b;
    b.reserve(n);
    for (std::uint64_t i = 0; i < n; ++i)
        b.push_back(i % 2 ? names[rng() % n] : nameOf(n + i, rng));
    std::shuffle(b.begin(), b.end(), rng);
    std::string bs;
    for (const std::string &s : b)
        bs += s + '\n';
    return writeAll(dir + u"/a.txt"_s, a) && writeAll(dir + u"/b.txt"_s, bs) &&
                   writeAll(dir + u"/table.tsv"_s, table)
               ? 0
               : 1;
}

QStringList readLines(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

int findBench(const QString &aPath, const QString &bPath) {
    Grid g({{u"md"_s, ColType::String, u"名单"_s}});
    if (!g.importFile(aPath).ok())
        return 1;
    const QStringList names = readLines(bPath);
    QElapsedTimer t;
    t.start();
    qint64 hits = 0;
    const qint64 rows = g.rowCount();
    for (const QString &name : names)
        if (g.find(u"md = "_s + Grid::quote(name), 1, rows) > 0)
            ++hits;
    std::printf("%lld %.3f\n", static_cast<long long>(hits), double(t.nsecsElapsed()) / 1e9);
    return 0;
}

int sortBench(const QString &table) {
    Grid g(tableColumns());
    if (!g.importFile(table).ok())
        return 1;
    std::vector<std::string> names;
    names.reserve(size_t(g.rowCount()));
    for (qint64 r = 1; r <= g.rowCount(); ++r)
        names.push_back(g.getItemString(r, 2).toStdString());
    QElapsedTimer t;
    t.start();
    g.setSort(u"md A"_s);
    g.sort();
    const double grid = double(t.nsecsElapsed()) / 1e9;
    t.restart();
    std::stable_sort(names.begin(), names.end());
    const double plain = double(t.nsecsElapsed()) / 1e9;
    const bool same = g.getItemString(1, 2).toStdString() == names.front() &&
                      g.getItemString(g.rowCount(), 2).toStdString() == names.back();
    std::printf("%.3f %.3f %s\n", grid, plain, same ? "same" : "DIFFERENT");
    return same ? 0 : 1;
}

int filterBench(const QString &table) {
    Grid g(tableColumns());
    if (!g.importFile(table).ok())
        return 1;
    QElapsedTimer t;
    t.start();
    g.setFilter(u"jg = '相同'"_s);
    g.filter();
    std::printf("%lld %.3f\n", static_cast<long long>(g.rowCount()),
                double(t.nsecsElapsed()) / 1e9);
    return 0;
}

int importBench(const QString &table) {
    Grid g(tableColumns());
    QElapsedTimer t;
    t.start();
    const zorv::ImportResult r = g.importFile(table);
    std::printf("%lld %.3f\n", static_cast<long long>(r.rows), double(t.nsecsElapsed()) / 1e9);
    return r.ok() ? 0 : 1;
}

int sheetBench(const QString &file) {
    QElapsedTimer t;
    t.start();
    QString error;
    const auto sheet = zorv::sheet::readSheet(file, zorv::sheet::WhichSheet::Active, &error);
    if (!sheet) {
        std::fprintf(stderr, "%s\n", error.toUtf8().constData());
        return 1;
    }
    const QList<QStringList> rows = sheet->rows();
    std::printf("%lld %.3f\n", static_cast<long long>(rows.size()), double(t.nsecsElapsed()) / 1e9);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString cmd = args.value(1);
    if (cmd == u"gen"_s && args.size() == 4)
        return generate(args[2], args[3].toULongLong());
    if (cmd == u"find"_s && args.size() == 4)
        return findBench(args[2], args[3]);
    if (cmd == u"sort"_s && args.size() == 3)
        return sortBench(args[2]);
    if (cmd == u"filter"_s && args.size() == 3)
        return filterBench(args[2]);
    if (cmd == u"import"_s && args.size() == 3)
        return importBench(args[2]);
    if (cmd == u"sheet"_s && args.size() == 3)
        return sheetBench(args[2]);
    std::fprintf(
        stderr, "usage: bench_grid gen DIR N | find A B | sort|filter|import TABLE | sheet FILE\n");
    return 2;
}
