#pragma once
// Shared helpers of the list comparison tests: loading names into the
// comparison's grids and reading them back as lines "md|xh|jg".

#include "core/grid/grid.h"
#include "core/lists/compare_grids.h"

#include <QStringList>
#include <string>
#include <vector>

namespace zorv::test {

// Appends names to a list grid and numbers the whole list.
inline void fillList(Grid &list, const QStringList &names) {
    std::vector<QByteArray> utf8;
    std::vector<std::string_view> views;
    for (const QString &n : names)
        utf8.push_back(n.toUtf8());
    for (const QByteArray &b : utf8)
        views.emplace_back(b.constData(), std::size_t(b.size()));
    list.appendTexts(lists::kMd, views);
    lists::numberList(list);
}

// Every shown row as its cells joined by "|".
inline QStringList rowsOf(const Grid &grid) {
    QStringList out;
    for (qint64 r = 1; r <= grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c <= grid.columnCount(); ++c)
            cells << grid.getItemString(r, c);
        out << cells.join(u'|');
    }
    return out;
}

} // namespace zorv::test
