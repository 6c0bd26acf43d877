#pragma once
// Compact cell storage of the grid model, one array per column indexed by a
// row's storage id. Text is kept as UTF-8 in one arena shared by all text
// columns (a cell is a packed offset and length); numbers and date-times are
// doubles, NaN standing for an empty cell. A million rows of seven columns thus cost a few
// tens of bytes a row besides the text itself. Storage ids never move while a
// row lives; the display order lives in the grid's row buffers.

#include "core/grid/grid.h"
#include "core/grid/grid_arena.h"
#include "core/grid/grid_value.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace zorv::gridimpl {

using RowId = std::uint32_t;
// Most rows a grid holds: positions among the shown rows are 32-bit numbers
// whose top bit the equality index keeps for itself.
inline constexpr RowId kMaxRowCount = 0x7FFFFFFF;

class Storage {
public:
    void init(const QList<Column> &columns);
    void clear();

    int columnCount() const { return int(m_cols.size()); }
    ColType type(int c) const { return m_cols[size_t(c)].type; }
    RowId rows() const { return m_rows; }

    RowId appendRow();

    // Text columns. An empty text is the column's null.
    std::string_view str(int c, RowId r) const { return cellText(m_cols[size_t(c)].cells[r]); }
    // A text cell as stored, and the text of such a stored cell.
    std::uint64_t cell(int c, RowId r) const { return m_cols[size_t(c)].cells[r]; }
    std::string_view cellText(std::uint64_t cell) const {
        return cell ? load(cell) : std::string_view();
    }
    void setStr(int c, RowId r, std::string_view v);
    // Number and date-time columns.
    bool null(int c, RowId r) const { return std::isnan(m_cols[size_t(c)].nums[r]); }
    // 0 for an empty cell.
    double num(int c, RowId r) const {
        const double v = m_cols[size_t(c)].nums[r];
        return v == v ? v : 0;
    }
    void setNum(int c, RowId r, double v);
    void setNull(int c, RowId r);
    // True when the cell holds nothing, whatever the column's type.
    bool empty(int c, RowId r) const;
    void clearRow(RowId r);

    // Bulk append: push one cell for every column, then endRow().
    void pushStr(int c, std::string_view v);
    void pushNum(int c, double v, bool isNull);
    void endRow() { ++m_rows; }
    void reserve(std::size_t rows, std::size_t textBytes);

    // Bulk fill by several threads at once: growRows adds n rows of empty
    // cells and growArena n bytes of text space; then each thread fills its
    // own rows and its own part of the text with putText and putNum.
    void growRows(RowId n);
    std::size_t growArena(std::size_t n) { return m_arena.grow(n); }
    char *arenaData() { return m_arena.data(); }
    // Stores the text at arena offset `at` (written by the caller) into a
    // cell; returns the bytes the text takes from `at` on, which for a text
    // of 16 MiB or more includes a length written here in front of it.
    std::size_t putText(int c, RowId r, std::size_t at, std::size_t length) {
        if (length < kLongText) {
            m_cols[size_t(c)].cells[r] = length ? std::uint64_t(at) << 24 | length : 0;
            return length;
        }
        return putLongText(c, r, at, length);
    }
    static std::size_t textSpace(std::size_t length);
    void putNum(int c, RowId r, double v, bool isNull) {
        m_cols[size_t(c)].nums[r] = isNull ? kNull : v;
    }
    // Ends a bulk fill: the arena ends at `end`; `unused` bytes before it
    // were left unfilled.
    void endFill(std::size_t end, std::size_t unused) {
        m_arena.resize(end);
        m_garbage += unused;
    }

    // Everything appended after a mark can be dropped again.
    struct Mark {
        RowId rows = 0;
        std::size_t arena = 0;
        std::size_t garbage = 0;
    };
    Mark mark() const { return {m_rows, m_arena.size(), m_garbage}; }
    void rollback(const Mark &m);

    // A copy holding only the given rows, renumbered 0, 1, 2 ... in that order.
    Storage compacted(const std::vector<RowId> &keep) const;
    // Drops the text of overwritten cells when it has piled up.
    void compactArenaIfWasteful();

private:
    static constexpr double kNull = std::numeric_limits<double>::quiet_NaN();
    static constexpr std::size_t kLongText = (std::size_t(1) << 24) - 1;
    std::size_t putLongText(int c, RowId r, std::size_t at, std::size_t length);
    struct Col {
        ColType type = ColType::String;
        std::vector<std::uint64_t, BigAllocator<std::uint64_t>>
            cells;                                      // text: offset << 24 | length
        std::vector<double, BigAllocator<double>> nums; // NaN for an empty cell
    };
    std::uint64_t store(std::string_view v);
    std::string_view load(std::uint64_t cell) const { return loadFrom(m_arena.data(), cell); }
    static std::string_view loadFrom(const char *arena, std::uint64_t cell) {
        const std::uint64_t len = cell & kLongText;
        const std::uint64_t off = cell >> 24;
        if (len != kLongText)
            return {arena + off, std::size_t(len)};
        std::uint64_t n;
        std::memcpy(&n, arena + off, sizeof n);
        return {arena + off + sizeof n, std::size_t(n)};
    }
    std::size_t cellBytes(std::uint64_t cell) const;

    std::vector<Col> m_cols;
    Arena m_arena;
    std::size_t m_garbage = 0;
    RowId m_rows = 0;
};

// A cell as text, as Grid::getItemString gives it: text as stored, numbers and
// date-times written into `buf`, an empty cell as an empty view.
inline std::string_view cellAsText(const Storage &store, int c, RowId r, std::string &buf) {
    const ColType type = store.type(c);
    if (type == ColType::String)
        return store.str(c, r);
    if (store.null(c, r))
        return {};
    buf.clear();
    if (type == ColType::Number)
        appendNumber(store.num(c, r), buf);
    else
        appendDateTime(store.num(c, r), buf);
    return buf;
}

} // namespace zorv::gridimpl
