// Fuzzes the grid's expression language (filters and finds) and sort
// strings on a small grid holding empty cells, Chinese text, numbers
// and date-times. Besides not crashing, a value quoted with Grid::quote must
// always be found again by an equality find, through the index and through
// the general evaluator.
#include "core/grid/grid.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;
using zorv::ColType;
using zorv::Grid;

namespace {

Grid &grid() {
    static Grid *g = [] {
        static int argc = 1;
        static char name[] = "fuzz_expr";
        static char *argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
        auto *grid = new Grid({{u"filey"_s, ColType::String, {}},
                               {u"al"_s, ColType::String, {}},
                               {u"xh"_s, ColType::Number, {}},
                               {u"rq"_s, ColType::DateTime, {}},
                               {u"jg"_s, ColType::String, {}}});
        grid->importText(u"abc.txt\tx\t0\t2024-01-05\t不同\n"
                         "it's\tx\t3\t2024-02-29 10:00:00\t找到\n"
                         "\t\t\t\t\n"
                         "a~b\ty\t-2.5\t1999-12-31\t找到\n"_s);
        return grid;
    }();
    return *g;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Grid &g = grid();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qint64 rows = g.rowCount();

    const qint64 found = g.find(text, 1, rows);
    if (found < -5 || found == -2 || found == -3 || found == -4 || found > rows)
        std::abort();
    g.find(text, rows, 1);
    if (g.setFilter(text) == 1) {
        g.filter();
        g.setFilter(QString());
        g.filter();
        if (g.rowCount() != rows)
            std::abort();
    }
    if (g.setSort(text) == 1)
        g.sort();

    // The input as a value: quoted, it must match itself.
    const qint64 row = g.insertRow(0);
    if (!g.setItem(row, 1, text))
        std::abort();
    const QString expr = u"filey = "_s + Grid::quote(g.getItemString(row, 1));
    const qint64 hit = g.find(expr, row, row);
    const qint64 general = g.find(u"("_s + expr + u")"_s, row, row);
    g.deleteRow(row);
    if (hit != row || general != row)
        std::abort();
    return 0;
}
