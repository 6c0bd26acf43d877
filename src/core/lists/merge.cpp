#include "core/lists/merge.h"

#include "core/text/gbtext.h"

#include <QStringList>
#include <string>

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

    // The work is done on the cells' UTF-8 text. Writing a cell may move the
    // grid's text, so nothing is held as a view across a write: the group's
    // key and joined value are copies.
    const QByteArray sep = separator.toUtf8();
    const std::string_view sepText(sep.constData(), std::size_t(sep.size()));
    const qint64 rows = grid.rowCount();
    std::string key(rows > 0 ? grid.textView(1, 1) : std::string_view());
    qint64 first = 1;
    std::string joined;
    // Joins B of rows first..last and writes it to each of them.
    auto joinGroup = [&](qint64 last) {
        if (last - first < 1 || key.empty())
            return;
        joined.clear();
        for (qint64 r = first; r <= last; ++r) {
            if (r > first)
                joined += sepText;
            joined += grid.textView(r, 2);
        }
        for (qint64 r = first; r <= last; ++r)
            grid.setText(r, 2, joined);
        ++out.groups;
        out.rowsJoined += last - first + 1;
    };
    for (qint64 r = 2; r <= rows; ++r) {
        if (grid.textView(r, 1) == key)
            continue;
        joinGroup(r - 1);
        key.assign(grid.textView(r, 1));
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
