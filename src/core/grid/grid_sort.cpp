#include "core/grid/grid_sort.h"

#include "core/grid/grid_value.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace zorv::gridimpl {

namespace {

int compareKey(const Storage &store, const SortKey &k, RowId a, RowId b) {
    int c;
    if (store.type(k.column) == ColType::String) {
        c = store.str(k.column, a).compare(store.str(k.column, b));
    } else {
        const bool an = store.null(k.column, a), bn = store.null(k.column, b);
        if (an || bn) {
            c = an == bn ? 0 : (an ? -1 : 1);
        } else {
            const double x = store.num(k.column, a), y = store.num(k.column, b);
            c = x < y ? -1 : (x > y ? 1 : 0);
        }
    }
    return k.descending ? -c : c;
}

// The first eight bytes of a text, big-endian, so that comparing the
// integers orders texts as their leading bytes do.
std::uint64_t textPrefix(std::string_view s) {
    unsigned char buf[8] = {};
    if (!s.empty())
        std::memcpy(buf, s.data(), std::min<std::size_t>(8, s.size()));
    std::uint64_t v = 0;
    for (unsigned char b : buf)
        v = v << 8 | b;
    return v;
}

} // namespace

bool parseSortSpec(const QString &spec, const ColumnNames &names, int columnCount,
                   std::vector<SortKey> &keys, QString *error) {
    keys.clear();
    static const QRegularExpression blanks(u"\\s+"_s);
    const QStringList words = QString(spec).replace(u',', u' ').split(blanks, Qt::SkipEmptyParts);
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        keys.clear();
        return false;
    };
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &w = words[i];
        SortKey key;
        if (w.startsWith(u'#')) {
            bool ok = false;
            key.column = w.mid(1).toInt(&ok) - 1;
            if (!ok || key.column < 0 || key.column >= columnCount)
                return fail(u"排序中的列号“"_s + w + u"”不存在"_s);
        } else {
            const auto it = names.constFind(w.toLower());
            if (it == names.cend())
                return fail(u"排序中没有名为“"_s + w + u"”的列"_s);
            key.column = it.value();
        }
        if (i + 1 < words.size()) {
            const QString d = words[i + 1].toLower();
            if (d == u"a"_s || d == u"asc"_s || d == u"d"_s || d == u"desc"_s) {
                key.descending = d.startsWith(u'd');
                ++i;
            }
        }
        keys.push_back(key);
    }
    return true;
}

int compareRows(const Storage &store, const std::vector<SortKey> &keys, RowId a, RowId b) {
    for (const SortKey &k : keys)
        if (const int c = compareKey(store, k, a, b))
            return c;
    return 0;
}

void sortRows(const Storage &store, const std::vector<SortKey> &keys, std::vector<RowId> &rows) {
    if (keys.empty() || rows.size() < 2)
        return;
    // Most comparisons are settled by a 64-bit image of the first key held
    // beside the row, without touching the cells.
    struct Item {
        std::uint64_t prefix;
        RowId row;
    };
    const SortKey &first = keys.front();
    const bool text = store.type(first.column) == ColType::String;
    std::vector<Item> items(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RowId r = rows[i];
        std::uint64_t p;
        if (text)
            p = textPrefix(store.str(first.column, r));
        else
            p = store.null(first.column, r) ? 0 : orderKey(store.num(first.column, r));
        items[i] = {first.descending ? ~p : p, r};
    }
    const std::size_t from = text ? 0 : 1; // a number's image settles its key
    std::stable_sort(items.begin(), items.end(), [&](const Item &a, const Item &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        for (std::size_t k = from; k < keys.size(); ++k)
            if (const int c = compareKey(store, keys[k], a.row, b.row))
                return c < 0;
        return false;
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = items[i].row;
}

} // namespace zorv::gridimpl
