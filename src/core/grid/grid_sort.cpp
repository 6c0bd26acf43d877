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

// The first fifteen bytes of a text, big-endian and zero-padded, then its
// length (16 for "16 or more"), in two integers that order texts as the
// texts do. Equal images with a length below 16 mean equal texts.
void textImage(std::string_view s, std::uint64_t &hi, std::uint64_t &lo) {
    unsigned char buf[16] = {};
    if (!s.empty())
        std::memcpy(buf, s.data(), std::min<std::size_t>(15, s.size()));
    buf[15] = static_cast<unsigned char>(std::min<std::size_t>(16, s.size()));
    hi = lo = 0;
    for (int i = 0; i < 8; ++i) {
        hi = hi << 8 | buf[i];
        lo = lo << 8 | buf[8 + i];
    }
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
    // Most comparisons are settled by a 128-bit image of the first key held
    // beside the row, without touching the cells.
    struct Item {
        std::uint64_t hi;
        std::uint64_t lo;
        RowId row;
    };
    const SortKey &first = keys.front();
    const bool text = store.type(first.column) == ColType::String;
    std::vector<Item> items(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RowId r = rows[i];
        std::uint64_t hi, lo = 0;
        if (text)
            textImage(store.str(first.column, r), hi, lo);
        else
            hi = store.null(first.column, r) ? 0 : orderKey(store.num(first.column, r));
        if (first.descending) {
            hi = ~hi;
            lo = ~lo;
        }
        items[i] = {hi, lo, r};
    }
    const std::uint64_t lengthMask = first.descending ? 0xFF : 0;
    std::stable_sort(items.begin(), items.end(), [&](const Item &a, const Item &b) {
        if (a.hi != b.hi)
            return a.hi < b.hi;
        if (a.lo != b.lo)
            return a.lo < b.lo;
        // Same image: a number's settles its key, a short text's too.
        const bool settled = !text || ((a.lo ^ lengthMask) & 0xFF) < 16;
        for (std::size_t k = settled ? 1 : 0; k < keys.size(); ++k)
            if (const int c = compareKey(store, keys[k], a.row, b.row))
                return c < 0;
        return false;
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = items[i].row;
}

} // namespace zorv::gridimpl
