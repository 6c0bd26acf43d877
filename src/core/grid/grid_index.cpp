#include "core/grid/grid_index.h"

#include <bit>
#include <cstring>

namespace zorv::gridimpl {

namespace {

inline std::uint64_t mix(std::uint64_t k) {
    k *= 0xff51afd7ed558ccdULL;
    k ^= k >> 32;
    return k;
}

} // namespace

std::uint64_t hashBytes(std::string_view s) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ s.size();
    const char *p = s.data();
    std::size_t n = s.size();
    while (n >= 8) {
        std::uint64_t k;
        std::memcpy(&k, p, 8);
        h = (h ^ mix(k)) * 0xc4ceb9fe1a85ec53ULL;
        p += 8;
        n -= 8;
    }
    if (n) {
        std::uint64_t k = 0;
        std::memcpy(&k, p, n);
        h = (h ^ mix(k)) * 0xc4ceb9fe1a85ec53ULL;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 29;
    return h;
}

TextIndex::TextIndex(const Storage &store, int column, const RowId *rows, std::size_t count)
    : m_column(column) {
    const std::size_t slotCount = std::bit_ceil(std::max<std::size_t>(16, count + count / 2 + 1));
    m_mask = slotCount - 1;
    m_slots.resize(slotCount);
    // First pass: one slot per distinct text, remembering each row's slot and
    // counting the rows of texts found more than once.
    std::vector<std::uint32_t> slotOf(count);
    std::vector<std::uint32_t> runOfSlot;
    std::vector<std::uint32_t> runSize;
    for (std::size_t p = 0; p < count; ++p) {
        const std::uint64_t cell = store.cell(column, rows[p]);
        const std::string_view v = store.cellText(cell);
        const std::uint64_t h = hashBytes(v);
        const auto tag = std::uint32_t(h >> 32);
        std::uint64_t s = h & m_mask;
        while (true) {
            Slot &slot = m_slots[s];
            if (slot.first == kFree) {
                slot = {cell, tag, std::uint32_t(p)};
                break;
            }
            if (slot.tag == tag && store.cellText(slot.cell) == v) {
                if (!(slot.first & kRun)) {
                    slot.first = kRun | std::uint32_t(runSize.size());
                    runSize.push_back(1);
                }
                ++runSize[slot.first & ~kRun];
                break;
            }
            s = (s + 1) & m_mask;
        }
        slotOf[p] = std::uint32_t(s);
    }
    if (runSize.empty())
        return;
    // Second pass: the positions of each repeated text, in order.
    m_runStart.resize(runSize.size() + 1);
    std::uint32_t at = 0;
    for (std::size_t r = 0; r < runSize.size(); ++r) {
        m_runStart[r] = at;
        at += runSize[r];
    }
    m_runStart[runSize.size()] = at;
    m_pos.resize(at);
    std::vector<std::uint32_t> fill(m_runStart.begin(), m_runStart.end() - 1);
    for (std::size_t p = 0; p < count; ++p) {
        const std::uint32_t first = m_slots[slotOf[p]].first;
        if (first & kRun)
            m_pos[fill[first & ~kRun]++] = std::uint32_t(p);
    }
}

std::span<const std::uint32_t> TextIndex::lookup(const Storage &store,
                                                 std::string_view value) const {
    const std::uint64_t h = hashBytes(value);
    const auto tag = std::uint32_t(h >> 32);
    std::uint64_t s = h & m_mask;
    // The table always keeps free slots; the bound only keeps a damaged one
    // from being searched for ever.
    for (std::uint64_t probes = 0; probes <= m_mask; ++probes) {
        const Slot &slot = m_slots[s];
        if (slot.first == kFree)
            return {};
        if (slot.tag == tag && store.cellText(slot.cell) == value) {
            if (!(slot.first & kRun))
                return {&slot.first, 1};
            const std::uint32_t run = slot.first & ~kRun;
            return {m_pos.data() + m_runStart[run], m_runStart[run + 1] - m_runStart[run]};
        }
        s = (s + 1) & m_mask;
    }
    return {};
}

} // namespace zorv::gridimpl
