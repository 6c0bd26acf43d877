#include "core/lists/merge.h"

#include "core/text/gbtext.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace zorv::lists {

std::unique_ptr<Grid> makeHmalGrid(QObject *parent) {
    auto grid =
        std::make_unique<Grid>(QList<Column>{Column{u"al"_s, ColType::String, u"A列"_s, 1000},
                                             Column{u"bl"_s, ColType::String, u"B列"_s, 3000}},
                               parent);
    grid->setSummary(true, u"总数"_s);
    return grid;
}

QString separatorOf(const QString &fieldText) {
    return text::trim(fieldText);
}

MergeOutcome mergeColumnB(Grid &grid, const QString &separator) {
    MergeOutcome out;
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    grid.setSort(u"al A"_s);
    grid.sort();

    const qint64 rows = grid.rowCount();
    QString key = rows > 0 ? grid.getItemString(1, 1) : QString();
    qint64 first = 1;
    QString joined;
    // Joins B of rows first..last and writes it to each of them.
    auto joinGroup = [&](qint64 last) {
        if (last - first < 1 || key.isEmpty())
            return;
        joined.clear();
        for (qint64 r = first; r <= last; ++r) {
            if (r > first)
                joined += separator;
            joined += grid.getItemString(r, 2);
        }
        for (qint64 r = first; r <= last; ++r)
            grid.setItem(r, 2, joined);
        ++out.groups;
        out.rowsJoined += last - first + 1;
    };
    for (qint64 r = 2; r <= rows; ++r) {
        QString a = grid.getItemString(r, 1);
        if (a == key)
            continue;
        joinGroup(r - 1);
        key = std::move(a);
        first = r;
    }
    if (rows > 0)
        joinGroup(rows);
    grid.setRedraw(redraw);
    return out;
}

void applyDuplicateFilter(Grid &grid) {
    grid.setFilter(QString());
    grid.filter();
    grid.setSort(u"al A"_s);
    grid.sort();
    grid.setFilter(u"al<>al[-1] or GetRow () = 1 "_s);
    grid.filter();
}

void cancelFilter(Grid &grid) {
    grid.setFilter(QString());
    grid.filter();
}

} // namespace zorv::lists
