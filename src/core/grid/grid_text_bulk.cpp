// Raw UTF-8 access to text cells for callers that handle a million names at
// a time (the list comparison): no expression is parsed and no QString is
// made per cell.
#include "core/grid/grid.h"

#include "core/grid/grid_impl.h"

#include <algorithm>
#include <cstring>
#include <string>

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
    // The texts go straight into fresh rows and one stretch of new text
    // space. Texts lying in the grid's own text are copied out first, as
    // growing that space may move it.
    std::size_t bytes = 0;
    bool own = false;
    const char *arena = d->store.arenaData();
    const std::size_t arenaSize = d->store.mark().arena;
    for (std::string_view t : texts) {
        bytes += Storage::textSpace(t.size());
        own = own || (arena && !t.empty() && t.data() >= arena && t.data() < arena + arenaSize);
    }
    std::string copied;
    std::vector<std::string_view> copies;
    if (own) {
        copied.reserve(bytes);
        for (std::string_view t : texts)
            copied.append(t);
        copies.reserve(texts.size());
        std::size_t from = 0;
        for (std::string_view t : texts) {
            copies.emplace_back(copied.data() + from, t.size());
            from += t.size();
        }
    }
    const std::vector<std::string_view> &source = own ? copies : texts;
    const Storage::Mark mark = d->store.mark();
    const std::size_t shownBefore = d->shown.size();
    const std::size_t orderBefore = d->order.size();
    try {
        d->shown.reserve(shownBefore + texts.size());
        d->order.reserve(orderBefore + texts.size());
        d->selected.reserve(d->selected.size() + texts.size());
        d->store.growRows(RowId(texts.size()));
        std::size_t at = d->store.growArena(bytes);
        char *data = d->store.arenaData();
        RowId id = RowId(before);
        for (std::string_view t : source) {
            if (!t.empty())
                std::memcpy(data + at, t.data(), t.size());
            at += d->store.putText(column - 1, id++, at, t.size());
        }
        d->store.endFill(at, 0);
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

bool Grid::setTexts(int column, const std::vector<qint64> &rows, std::string_view utf8) {
    if (!d->validColumn(column) || d->columns[column - 1].type != ColType::String)
        return false;
    const int c = column - 1;
    const std::string text(utf8); // utf8 may lie in the text space, which may move
    d->store.reserve(0, rows.size() * Storage::textSpace(text.size()));
    for (qint64 row : rows)
        if (d->validRow(row))
            d->store.setStr(c, d->id(row), text);
    d->dropIndex(c);
    if (d->redraw && !rows.empty())
        emit modelReset();
    return true;
}

bool Grid::fillText(int column, std::string_view utf8) {
    if (!d->validColumn(column) || d->columns[column - 1].type != ColType::String)
        return false;
    const int c = column - 1;
    const std::string text(utf8); // utf8 may lie in the text space, which may move
    d->store.reserve(0, d->shown.size() * Storage::textSpace(text.size()));
    for (RowId id : d->shown)
        d->store.setStr(c, id, text);
    d->dropIndex(c);
    if (d->redraw && !d->shown.empty())
        emit modelReset();
    return true;
}

bool Grid::fillRowNumbers(int column) {
    if (!d->validColumn(column) || d->columns[column - 1].type != ColType::Number)
        return false;
    const int c = column - 1;
    for (std::size_t i = 0; i < d->shown.size(); ++i)
        d->store.setNum(c, d->shown[i], double(i + 1));
    d->dropIndex(c);
    if (d->redraw && !d->shown.empty())
        emit modelReset();
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
