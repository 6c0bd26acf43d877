// Raw UTF-8 access to text cells for callers that handle a million names at
// a time (the list comparison): no expression is parsed and no QString is
// made per cell.
#include "core/grid/grid.h"

#include "core/grid/grid_impl.h"

#include <algorithm>

namespace zorv {

using namespace gridimpl;

std::string_view Grid::textView(qint64 row, int column) const {
    if (!d->validRow(row) || !d->validColumn(column) ||
        d->columns[column - 1].type != ColType::String)
        return {};
    return d->store.str(column - 1, d->id(row));
}

qint64 Grid::appendTexts(int column, const std::vector<std::string_view> &texts) {
    if (!d->validColumn(column) || d->columns[column - 1].type != ColType::String)
        return -1;
    if (texts.empty())
        return 0;
    const std::size_t before = d->store.rows();
    if (before + texts.size() > std::size_t(kMaxRowCount))
        return -1;
    std::size_t bytes = 0;
    for (std::string_view t : texts)
        bytes += Storage::textSpace(t.size());
    const Storage::Mark mark = d->store.mark();
    const std::size_t shownBefore = d->shown.size();
    const std::size_t orderBefore = d->order.size();
    try {
        d->store.reserve(texts.size(), bytes);
        d->shown.reserve(shownBefore + texts.size());
        d->order.reserve(orderBefore + texts.size());
        d->selected.reserve(d->selected.size() + texts.size());
        const int target = column - 1;
        for (std::string_view t : texts) {
            for (int c = 0; c < d->store.columnCount(); ++c) {
                if (c == target)
                    d->store.pushStr(c, t);
                else if (d->store.type(c) == ColType::String)
                    d->store.pushStr(c, {});
                else
                    d->store.pushNum(c, 0, true);
            }
            d->store.endRow();
        }
    } catch (...) {
        d->store.rollback(mark);
        throw;
    }
    for (RowId id = RowId(before); id < RowId(before + texts.size()); ++id) {
        d->shown.push_back(id);
        d->order.push_back(d->nextOrder++);
        d->selected.push_back(0);
    }
    d->dropIndexes();
    if (d->redraw)
        emit rowsInserted(qint64(shownBefore) + 1, qint64(texts.size()));
    return qint64(texts.size());
}

bool Grid::setText(qint64 row, int column, std::string_view utf8) {
    if (!d->validRow(row) || !d->validColumn(column) ||
        d->columns[column - 1].type != ColType::String)
        return false;
    d->store.setStr(column - 1, d->id(row), utf8);
    d->dropIndex(column - 1);
    if (d->redraw)
        emit cellChanged(row, column);
    return true;
}

qint64 Grid::findText(int column, std::string_view text, qint64 first) {
    if (!d->validColumn(column) || d->columns[column - 1].type != ColType::String)
        return -1;
    const qint64 n = d->count();
    first = std::max<qint64>(first, 1);
    if (first > n)
        return 0;
    auto &index = d->indexes[std::size_t(column - 1)];
    if (!index)
        index = std::make_unique<TextIndex>(d->store, column - 1, d->shown.data(), d->shown.size());
    const auto hits = index->lookup(d->store, text);
    const auto it = std::lower_bound(hits.begin(), hits.end(), std::uint32_t(first - 1));
    return it != hits.end() ? qint64(*it) + 1 : 0;
}

} // namespace zorv
