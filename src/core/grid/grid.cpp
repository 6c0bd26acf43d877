#include "core/grid/grid.h"

#include "core/grid/grid_impl.h"
#include "core/grid/grid_value.h"
#include "core/text/gbtext.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace zorv {

using namespace gridimpl;

// --- private helpers ---

Grid::Impl::RowId Grid::Impl::newRow() {
    const RowId id = store.appendRow();
    order.push_back(nextOrder++);
    selected.push_back(0);
    return id;
}

std::vector<Grid::Impl::RowId> Grid::Impl::allRows() const {
    std::vector<RowId> all(shown.size() + hidden.size());
    std::merge(shown.begin(), shown.end(), hidden.begin(), hidden.end(), all.begin(),
               [this](RowId a, RowId b) { return order[a] < order[b]; });
    return all;
}

void Grid::Impl::compactIfSparse() {
    const std::size_t live = shown.size() + hidden.size();
    if (deadRows < 65536 || deadRows < live)
        return;
    const std::vector<RowId> all = allRows();
    std::vector<RowId> newId(store.rows(), 0);
    for (std::size_t i = 0; i < all.size(); ++i)
        newId[all[i]] = RowId(i);
    std::vector<std::uint8_t> newSelected(all.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        newSelected[i] = selected[all[i]];
    store = store.compacted(all);
    for (RowId &r : shown)
        r = newId[r];
    for (RowId &r : hidden)
        r = newId[r];
    selected = std::move(newSelected);
    order.resize(all.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        order[i] = i;
    nextOrder = all.size();
    deadRows = 0;
    dropIndexes();
}

void Grid::Impl::applyFilter() {
    std::vector<RowId> all = allRows();
    if (!filterExpr) {
        shown = std::move(all);
        hidden.clear();
    } else {
        std::vector<RowId> pass, fail;
        pass.reserve(all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (filterExpr->eval(store, all.data(), all.size(), i)) {
                pass.push_back(all[i]);
            } else {
                fail.push_back(all[i]);
                if (selected[all[i]]) {
                    selected[all[i]] = 0;
                    --selectedCount;
                }
            }
        }
        shown = std::move(pass);
        hidden = std::move(fail);
    }
    current = std::min(current, count());
    dropIndexes();
}

void Grid::Impl::clearRows() {
    store.clear();
    shown = {};
    hidden = {};
    order = {};
    selected = {};
    selectedCount = 0;
    nextOrder = 0;
    deadRows = 0;
    current = 0;
    dropIndexes();
}

// --- construction and columns ---

Grid::Grid(QList<Column> columns, QObject *parent) : QObject(parent), d(new Impl) {
    d->columns = std::move(columns);
    for (int i = 0; i < d->columns.size(); ++i)
        d->names.insert(d->columns[i].name.toLower(), i);
    d->store.init(d->columns);
    d->summaryLabel = u"总数:"_s;
    d->dropIndexes();
}

Grid::~Grid() = default;

const QList<Column> &Grid::columns() const {
    return d->columns;
}
int Grid::columnCount() const {
    return int(d->columns.size());
}

ColType Grid::columnType(int column) const {
    return d->validColumn(column) ? d->columns[column - 1].type : ColType::String;
}

int Grid::columnNumber(const QString &name) const {
    const auto it = d->names.constFind(name.toLower());
    return it == d->names.cend() ? 0 : it.value() + 1;
}

// --- rows ---

qint64 Grid::rowCount() const {
    return d->count();
}
qint64 Grid::filteredCount() const {
    return qint64(d->hidden.size());
}

qint64 Grid::insertRow(qint64 before) {
    qint64 row;
    if (before <= 0 || before > d->count()) {
        d->shown.push_back(d->newRow());
        row = d->count();
    } else {
        const std::uint64_t key = d->order[d->id(before)];
        for (RowId r : d->shown)
            if (d->order[r] >= key)
                ++d->order[r];
        for (RowId r : d->hidden)
            if (d->order[r] >= key)
                ++d->order[r];
        const RowId id = d->newRow();
        d->order[id] = key;
        d->shown.insert(d->shown.begin() + (before - 1), id);
        row = before;
        if (d->current >= row)
            ++d->current;
    }
    d->dropIndexes();
    if (d->redraw)
        emit rowsInserted(row, 1);
    return row;
}

bool Grid::deleteRow(qint64 row) {
    if (!d->validRow(row))
        return false;
    const RowId id = d->id(row);
    d->shown.erase(d->shown.begin() + (row - 1));
    if (d->selected[id]) {
        d->selected[id] = 0;
        --d->selectedCount;
    }
    d->store.clearRow(id);
    ++d->deadRows;
    if (d->current > row || d->current > d->count())
        --d->current;
    d->dropIndexes();
    d->compactIfSparse();
    d->store.compactArenaIfWasteful();
    if (d->redraw)
        emit rowsRemoved(row, 1);
    return true;
}

qint64 Grid::deleteRows(const QList<qint64> &rows) {
    std::vector<std::uint8_t> doomed(d->shown.size(), 0);
    for (qint64 r : rows)
        if (d->validRow(r))
            doomed[std::size_t(r - 1)] = 1;
    std::size_t kept = 0;
    qint64 gone = 0, goneBeforeCurrent = 0;
    for (std::size_t i = 0; i < d->shown.size(); ++i) {
        const RowId id = d->shown[i];
        if (!doomed[i]) {
            d->shown[kept++] = id;
            continue;
        }
        if (d->selected[id]) {
            d->selected[id] = 0;
            --d->selectedCount;
        }
        d->store.clearRow(id);
        ++d->deadRows;
        ++gone;
        if (qint64(i) + 1 < d->current)
            ++goneBeforeCurrent;
    }
    if (gone == 0)
        return 0;
    d->shown.resize(kept);
    d->current = std::min(d->current - goneBeforeCurrent, d->count());
    d->dropIndexes();
    d->compactIfSparse();
    d->store.compactArenaIfWasteful();
    if (d->redraw)
        emit modelReset();
    return gone;
}

Grid::AppendMark Grid::appendMark() const {
    const gridimpl::Storage::Mark m = d->store.mark();
    return {d->count(), m.rows, m.arena, m.garbage, d->order.size(), d->nextOrder};
}

void Grid::rollbackAppend(const AppendMark &mark) {
    if (d->count() < mark.shown)
        return;
    d->shown.resize(std::size_t(mark.shown));
    d->store.rollback({mark.stored, mark.arena, mark.garbage});
    d->order.resize(std::min(d->order.size(), mark.order));
    d->selected.resize(std::min(d->selected.size(), mark.order));
    d->nextOrder = mark.nextOrder;
    d->current = std::min(d->current, d->count());
    d->dropIndexes();
}

void Grid::reset() {
    d->clearRows();
    if (d->redraw)
        emit modelReset();
}

// --- cells ---

bool Grid::setItem(qint64 row, int column, const QVariant &value) {
    if (!d->validRow(row) || !d->validColumn(column))
        return false;
    const int c = column - 1;
    std::string text;
    double number;
    bool isNull;
    if (!convertVariant(value, d->columns[c].type, text, number, isNull))
        return false;
    const RowId id = d->id(row);
    if (d->columns[c].type == ColType::String)
        d->store.setStr(c, id, text);
    else if (isNull)
        d->store.setNull(c, id);
    else
        d->store.setNum(c, id, number);
    d->dropIndex(c);
    if (d->redraw)
        emit cellChanged(row, column);
    return true;
}

bool Grid::setItem(qint64 row, int column, const QString &text) {
    if (!d->validRow(row) || !d->validColumn(column))
        return false;
    const int c = column - 1;
    const RowId id = d->id(row);
    const QByteArray utf8 = text.toUtf8();
    const std::string_view v(utf8.constData(), std::size_t(utf8.size()));
    switch (d->columns[c].type) {
    case ColType::String:
        d->store.setStr(c, id, v);
        break;
    case ColType::Number:
    case ColType::DateTime: {
        double value;
        bool isNull;
        const bool ok = d->columns[c].type == ColType::Number ? parseNumber(v, value, isNull)
                                                              : parseDateTime(v, value, isNull);
        if (!ok)
            return false;
        if (isNull)
            d->store.setNull(c, id);
        else
            d->store.setNum(c, id, value);
        break;
    }
    }
    d->dropIndex(c);
    if (d->redraw)
        emit cellChanged(row, column);
    return true;
}

bool Grid::setItemNumber(qint64 row, int column, double value) {
    if (!d->validRow(row) || !d->validColumn(column) || !std::isfinite(value))
        return false;
    const int c = column - 1;
    switch (d->columns[c].type) {
    case ColType::String:
        return setItem(row, column, numberText(value));
    case ColType::Number:
        d->store.setNum(c, d->id(row), value == 0 ? 0.0 : value);
        break;
    case ColType::DateTime:
        return false;
    }
    d->dropIndex(c);
    if (d->redraw)
        emit cellChanged(row, column);
    return true;
}

bool Grid::setItem(qint64 row, const QString &column, const QVariant &value) {
    return setItem(row, columnNumber(column), value);
}

QVariant Grid::item(qint64 row, int column) const {
    if (!d->validRow(row) || !d->validColumn(column))
        return {};
    const int c = column - 1;
    const RowId id = d->id(row);
    if (d->store.empty(c, id))
        return {};
    switch (d->columns[c].type) {
    case ColType::String: {
        const std::string_view v = d->store.str(c, id);
        return text::fromUtf8Exact(v.data(), qsizetype(v.size()));
    }
    case ColType::Number:
        return d->store.num(c, id);
    case ColType::DateTime:
        return toDateTime(d->store.num(c, id));
    }
    return {};
}

QString Grid::getItemString(qint64 row, int column) const {
    if (!d->validRow(row) || !d->validColumn(column))
        return {};
    std::string buf;
    const std::string_view v = cellAsText(d->store, column - 1, d->id(row), buf);
    return text::fromUtf8Exact(v.data(), qsizetype(v.size()));
}

QString Grid::getItemString(qint64 row, const QString &column) const {
    return getItemString(row, columnNumber(column));
}

double Grid::getItemNumber(qint64 row, int column) const {
    if (!d->validRow(row) || !d->validColumn(column))
        return 0;
    const int c = column - 1;
    const RowId id = d->id(row);
    switch (d->columns[c].type) {
    case ColType::String: {
        double v;
        bool isNull;
        return parseNumber(d->store.str(c, id), v, isNull) && !isNull ? v : 0;
    }
    case ColType::Number:
        return d->store.num(c, id);
    case ColType::DateTime:
        return 0;
    }
    return 0;
}

double Grid::getItemNumber(qint64 row, const QString &column) const {
    return getItemNumber(row, columnNumber(column));
}

bool Grid::isNull(qint64 row, int column) const {
    return !d->validRow(row) || !d->validColumn(column) || d->store.empty(column - 1, d->id(row));
}

// --- summary ---

void Grid::setSummary(bool shown, const QString &label) {
    d->summaryShown = shown;
    d->summaryLabel = label;
}

bool Grid::hasSummary() const {
    return d->summaryShown;
}

QString Grid::summaryText() const {
    return d->summaryShown ? d->summaryLabel + QString::number(d->count()) : QString();
}

// --- filter, sort, find ---

int Grid::setFilter(const QString &expr) {
    if (expr.trimmed().isEmpty()) {
        d->filterText.clear();
        d->filterExpr.reset();
        return 1;
    }
    auto compiled = Expr::compile(expr, d->store, d->names);
    if (!compiled)
        return -1;
    d->filterText = expr;
    d->filterExpr = std::move(compiled);
    return 1;
}

int Grid::filter() {
    d->applyFilter();
    if (d->redraw)
        emit modelReset();
    return 1;
}

QString Grid::filterExpression() const {
    return d->filterText;
}

int Grid::setSort(const QString &spec) {
    std::vector<SortKey> keys;
    if (!parseSortSpec(spec, d->names, columnCount(), keys))
        return -1;
    d->sortText = spec;
    d->sortKeys = std::move(keys);
    return 1;
}

QString Grid::sortSpec() const {
    return d->sortText;
}

int Grid::sort() {
    if (d->sortKeys.empty())
        return 1;
    sortRows(d->store, d->sortKeys, d->shown);
    sortRows(d->store, d->sortKeys, d->hidden);
    // Renumber the order keys so that the filtered-out rows, when they come
    // back, sit where the same sort would have put them.
    const std::vector<std::uint64_t> &old = d->order;
    std::vector<RowId> all(d->shown.size() + d->hidden.size());
    std::merge(d->shown.begin(), d->shown.end(), d->hidden.begin(), d->hidden.end(), all.begin(),
               [&](RowId a, RowId b) {
                   const int c = compareRows(d->store, d->sortKeys, a, b);
                   return c != 0 ? c < 0 : old[a] < old[b];
               });
    for (std::size_t i = 0; i < all.size(); ++i)
        d->order[all[i]] = i;
    d->nextOrder = all.size();
    d->dropIndexes();
    if (d->redraw)
        emit modelReset();
    return 1;
}

qint64 Grid::find(const QString &expr, qint64 first, qint64 last) {
    int column;
    const bool equality = Expr::matchTextEquality(expr, d->store, d->names, column, d->literal);
    if (!equality && expr != d->findText) {
        d->findExpr = Expr::compile(expr, d->store, d->names);
        d->findText = expr;
    }
    if (!equality && !d->findExpr)
        return -5;
    if (first < 0 || last < 0)
        return -1;
    const qint64 n = d->count();
    if (first > n || n == 0)
        return 0;
    const bool forward = first <= last;
    const qint64 from = std::max<qint64>(first, 1);
    const qint64 to = forward ? std::min(last, n) : std::max<qint64>(last, 1);
    if (forward ? from > to : from < to)
        return 0;
    if (equality) {
        auto &index = d->indexes[std::size_t(column)];
        if (!index)
            index = std::make_unique<TextIndex>(d->store, column, d->shown.data(), d->shown.size());
        const auto hits = index->lookup(d->store, d->literal);
        if (forward) {
            auto it = std::lower_bound(hits.begin(), hits.end(), std::uint32_t(from - 1));
            return it != hits.end() && *it <= to - 1 ? qint64(*it) + 1 : 0;
        }
        auto it = std::upper_bound(hits.begin(), hits.end(), std::uint32_t(from - 1));
        if (it == hits.begin())
            return 0;
        --it;
        return *it >= to - 1 ? qint64(*it) + 1 : 0;
    }
    const RowId *rows = d->shown.data();
    const std::size_t count = d->shown.size();
    if (forward) {
        for (qint64 r = from; r <= to; ++r)
            if (d->findExpr->eval(d->store, rows, count, std::size_t(r - 1)))
                return r;
    } else {
        for (qint64 r = from; r >= to; --r)
            if (d->findExpr->eval(d->store, rows, count, std::size_t(r - 1)))
                return r;
    }
    return 0;
}

QString Grid::quote(const QString &value) {
    qsizetype escapes = 0;
    for (QChar c : value)
        escapes += c == u'~' || c == u'\'';
    QString s(value.size() + escapes + 2, Qt::Uninitialized);
    QChar *out = s.data();
    *out++ = u'\'';
    for (QChar c : value) {
        if (c == u'~' || c == u'\'')
            *out++ = u'~';
        *out++ = c;
    }
    *out = u'\'';
    return s;
}

// --- selection and current row ---

void Grid::selectRow(qint64 row, bool on) {
    if (row == 0) {
        for (RowId id : d->shown)
            d->selected[id] = on;
        d->selectedCount = on ? d->count() : 0;
    } else if (d->validRow(row)) {
        std::uint8_t &flag = d->selected[d->id(row)];
        if (flag == std::uint8_t(on))
            return;
        flag = on;
        d->selectedCount += on ? 1 : -1;
    } else {
        return;
    }
    if (d->redraw)
        emit selectionChanged();
}

bool Grid::isSelected(qint64 row) const {
    return d->validRow(row) && d->selected[d->id(row)];
}

qint64 Grid::selectedCount() const {
    return d->selectedCount;
}

QList<qint64> Grid::selectedRows() const {
    QList<qint64> rows;
    if (d->selectedCount == 0)
        return rows;
    for (std::size_t i = 0; i < d->shown.size(); ++i)
        if (d->selected[d->shown[i]])
            rows.append(qint64(i) + 1);
    return rows;
}

qint64 Grid::getRow() const {
    return d->current;
}

void Grid::setRow(qint64 row) {
    if (!d->validRow(row) || row == d->current)
        return;
    d->current = row;
    if (d->redraw)
        emit currentRowChanged(row);
}

// --- painting ---

void Grid::setRedraw(bool on) {
    const bool wasOff = !d->redraw;
    d->redraw = on;
    if (on && wasOff)
        emit modelReset();
}

bool Grid::redraw() const {
    return d->redraw;
}

} // namespace zorv
