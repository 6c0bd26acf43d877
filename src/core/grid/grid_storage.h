#pragma once
// Compact cell storage of the grid model, one array per column indexed by a
// row's storage id. Text is kept as UTF-8 in one arena shared by all text
// columns (a cell is a packed offset and length); numbers and date-times are
// doubles beside a null flag. A million rows of seven columns thus cost a few
// tens of bytes a row besides the text itself. Storage ids never move while a
// row lives; the display order lives in the grid's row buffers.

#include "core/grid/grid.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace zorv::gridimpl {

using RowId = std::uint32_t;

class Storage {
public:
    void init(const QList<Column> &columns);
    void clear();

    int columnCount() const { return int(m_cols.size()); }
    ColType type(int c) const { return m_cols[size_t(c)].type; }
    RowId rows() const { return m_rows; }

    RowId appendRow();

    // Text columns. An empty text is the column's null.
    std::string_view str(int c, RowId r) const;
    void setStr(int c, RowId r, std::string_view v);
    // Number and date-time columns.
    bool null(int c, RowId r) const;
    double num(int c, RowId r) const { return m_cols[size_t(c)].nums[r]; }
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
    struct Col {
        ColType type = ColType::String;
        std::vector<std::uint64_t> cells; // text: offset << 24 | length
        std::vector<double> nums;
        std::vector<std::uint8_t> nulls;
    };
    std::uint64_t store(std::string_view v);
    std::string_view load(std::uint64_t cell) const;
    static std::string_view loadFrom(const std::vector<char> &arena, std::uint64_t cell);
    std::size_t cellBytes(std::uint64_t cell) const;

    std::vector<Col> m_cols;
    std::vector<char> m_arena;
    std::size_t m_garbage = 0;
    RowId m_rows = 0;
};

} // namespace zorv::gridimpl
