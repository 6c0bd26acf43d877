#include "core/grid/grid_storage.h"

#include <cmath>
#include <cstring>

namespace zorv::gridimpl {

namespace {
constexpr std::uint64_t kLenBits = 24;
constexpr std::uint64_t kLenMask = (std::uint64_t(1) << kLenBits) - 1;
// A length field of all ones: the real length precedes the text in the arena.
constexpr std::uint64_t kLong = kLenMask;
} // namespace

void Storage::init(const QList<Column> &columns) {
    m_cols.clear();
    for (const Column &c : columns) {
        Col col;
        col.type = c.type;
        m_cols.push_back(std::move(col));
    }
    clear();
}

void Storage::clear() {
    for (Col &c : m_cols) {
        c.cells = {};
        c.nums = {};
    }
    m_arena = Arena();
    m_garbage = 0;
    m_rows = 0;
}

RowId Storage::appendRow() {
    for (int c = 0; c < columnCount(); ++c) {
        if (type(c) == ColType::String)
            pushStr(c, {});
        else
            pushNum(c, 0, true);
    }
    return m_rows++;
}

std::uint64_t Storage::store(std::string_view v) {
    if (v.empty())
        return 0;
    const std::uint64_t off = m_arena.size();
    if (v.size() >= kLong) {
        const std::uint64_t n = v.size();
        m_arena.append(reinterpret_cast<const char *>(&n), sizeof n);
        m_arena.append(v.data(), v.size());
        return off << kLenBits | kLong;
    }
    m_arena.append(v.data(), v.size());
    return off << kLenBits | v.size();
}

void Storage::growRows(RowId n) {
    for (Col &c : m_cols) {
        if (c.type == ColType::String) {
            c.cells.resize(m_rows + n, 0);
        } else {
            c.nums.resize(m_rows + n, kNull);
        }
    }
    m_rows += n;
}

std::size_t Storage::textSpace(std::size_t length) {
    return length >= kLong ? length + sizeof(std::uint64_t) : length;
}

std::size_t Storage::putLongText(int c, RowId r, std::size_t at, std::size_t length) {
    static_assert(kLongText == kLong);
    std::uint64_t &cell = m_cols[size_t(c)].cells[r];
    // The caller wrote the text at `at`; move it up to make room for its length.
    char *p = m_arena.data() + at;
    std::memmove(p + sizeof(std::uint64_t), p, length);
    const std::uint64_t n = length;
    std::memcpy(p, &n, sizeof n);
    cell = std::uint64_t(at) << kLenBits | kLong;
    return length + sizeof n;
}

std::size_t Storage::cellBytes(std::uint64_t cell) const {
    const std::uint64_t len = cell & kLenMask;
    return len == kLong ? load(cell).size() + sizeof(std::uint64_t) : std::size_t(len);
}

void Storage::setStr(int c, RowId r, std::string_view v) {
    std::uint64_t &cell = m_cols[size_t(c)].cells[r];
    m_garbage += cellBytes(cell);
    cell = store(v);
}

void Storage::setNum(int c, RowId r, double v) {
    m_cols[size_t(c)].nums[r] = v;
}

void Storage::setNull(int c, RowId r) {
    m_cols[size_t(c)].nums[r] = kNull;
}

bool Storage::empty(int c, RowId r) const {
    const Col &col = m_cols[size_t(c)];
    return col.type == ColType::String ? col.cells[r] == 0 : std::isnan(col.nums[r]);
}

void Storage::clearRow(RowId r) {
    for (int c = 0; c < columnCount(); ++c) {
        if (type(c) == ColType::String)
            setStr(c, r, {});
        else
            setNull(c, r);
    }
}

void Storage::pushStr(int c, std::string_view v) {
    m_cols[size_t(c)].cells.push_back(store(v));
}

void Storage::pushNum(int c, double v, bool isNull) {
    m_cols[size_t(c)].nums.push_back(isNull ? kNull : v);
}

void Storage::reserve(std::size_t rows, std::size_t textBytes) {
    for (Col &c : m_cols) {
        if (c.type == ColType::String) {
            c.cells.reserve(m_rows + rows);
        } else {
            c.nums.reserve(m_rows + rows);
        }
    }
    m_arena.reserve(m_arena.size() + textBytes);
}

void Storage::rollback(const Mark &m) {
    for (Col &c : m_cols) {
        if (c.type == ColType::String) {
            c.cells.resize(m.rows);
        } else {
            c.nums.resize(m.rows);
        }
    }
    m_arena.resize(m.arena);
    m_garbage = m.garbage;
    m_rows = m.rows;
}

Storage Storage::compacted(const std::vector<RowId> &keep) const {
    Storage out;
    out.m_cols.resize(m_cols.size());
    std::size_t bytes = 0;
    for (std::size_t c = 0; c < m_cols.size(); ++c) {
        out.m_cols[c].type = m_cols[c].type;
        if (m_cols[c].type == ColType::String)
            for (RowId r : keep)
                bytes += cellBytes(m_cols[c].cells[r]);
    }
    out.reserve(keep.size(), bytes);
    for (std::size_t c = 0; c < m_cols.size(); ++c) {
        const Col &from = m_cols[c];
        for (RowId r : keep) {
            if (from.type == ColType::String)
                out.pushStr(int(c), from.cells[r] ? load(from.cells[r]) : std::string_view());
            else
                out.m_cols[c].nums.push_back(from.nums[r]);
        }
    }
    out.m_rows = RowId(keep.size());
    return out;
}

void Storage::compactArenaIfWasteful() {
    if (m_garbage < (std::size_t(16) << 20) || m_garbage < m_arena.size() / 2)
        return;
    Arena old;
    old.swap(m_arena);
    m_arena.reserve(old.size() - m_garbage);
    m_garbage = 0;
    for (Col &c : m_cols) {
        if (c.type != ColType::String)
            continue;
        for (std::uint64_t &cell : c.cells)
            if (cell)
                cell = store(loadFrom(old.data(), cell));
    }
}

} // namespace zorv::gridimpl
