#pragma once
// Hash index of one text column over the shown rows, for equality finds:
// built in one pass, answering each lookup with the ascending row positions
// holding that exact text. The grid drops it whenever the column or the row
// order changes, and builds it again on the next equality find.
//
// A slot holds the packed text cell itself, so a lookup touches the slot and
// the text bytes and nothing else; a text found on one row only (the usual
// case) keeps that row's position in the slot too.

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
    static constexpr std::uint32_t kFree = 0xFFFFFFFF;
    static constexpr std::uint32_t kRun = 0x80000000; // `first` names a run of positions
    struct Slot {
        std::uint64_t cell = 0;      // the text, as the column stores it
        std::uint32_t tag = 0;       // high half of the text's hash
        std::uint32_t first = kFree; // position, or kRun | run number
    };
    int m_column;
    std::uint64_t m_mask = 0;
    std::vector<Slot, BigAllocator<Slot>> m_slots;
    std::vector<std::uint32_t> m_runStart; // per run, plus one: its part of m_pos
    std::vector<std::uint32_t> m_pos;
};

} // namespace zorv::gridimpl
