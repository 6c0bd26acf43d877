#pragma once
// Hash index of one text column over the shown rows, for equality finds:
// built in one pass, answering each lookup with the ascending row positions
// holding that exact text. The grid drops it whenever the column or the row
// order changes, and builds it again on the next equality find.

#include "core/grid/grid_storage.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace zorv::gridimpl {

std::uint64_t hashBytes(std::string_view s);

class TextIndex {
public:
    TextIndex(const Storage &store, int column, const RowId *rows, std::size_t count);
    // 0-based positions in the shown rows, ascending.
    std::span<const std::uint32_t> lookup(const Storage &store, std::string_view value) const;
    int column() const { return m_column; }

private:
    int m_column;
    std::uint64_t m_mask = 0;
    std::vector<std::uint32_t> m_slots; // group + 1, 0 when free
    std::vector<std::uint64_t> m_hash;  // per group
    std::vector<RowId> m_sample;        // per group: a row holding the group's text
    std::vector<std::uint32_t> m_start; // per group, plus one: its run in m_pos
    std::vector<std::uint32_t> m_pos;
};

} // namespace zorv::gridimpl
