#include "core/lists/compare_table.h"

#include "core/grid/grid_index.h"

namespace zorv::lists {

namespace {

std::size_t slotsFor(std::size_t names) {
    std::size_t n = 16;
    while (n < names * 2)
        n *= 2;
    return n;
}

} // namespace

NameTable::NameTable(std::size_t expected) {
    m_slots.resize(slotsFor(expected));
    m_mask = m_slots.size() - 1;
    m_keys.reserve(expected);
}

std::uint32_t NameTable::insert(std::string_view key, bool *inserted) {
    if ((m_keys.size() + 1) * 2 > m_slots.size())
        grow();
    const std::uint64_t h = gridimpl::hashBytes(key);
    const auto tag = std::uint32_t(h >> 32);
    for (std::uint64_t s = h & m_mask;; s = (s + 1) & m_mask) {
        Slot &slot = m_slots[s];
        if (slot.index == kFree) {
            slot = {tag, std::uint32_t(m_keys.size())};
            m_keys.push_back(key);
            *inserted = true;
            return slot.index;
        }
        if (slot.tag == tag && m_keys[slot.index] == key) {
            *inserted = false;
            return slot.index;
        }
    }
}

std::int64_t NameTable::find(std::string_view key) const {
    const std::uint64_t h = gridimpl::hashBytes(key);
    const auto tag = std::uint32_t(h >> 32);
    for (std::uint64_t s = h & m_mask;; s = (s + 1) & m_mask) {
        const Slot &slot = m_slots[s];
        if (slot.index == kFree)
            return -1;
        if (slot.tag == tag && m_keys[slot.index] == key)
            return slot.index;
    }
}

void NameTable::grow() {
    std::vector<Slot> old(slotsFor(m_keys.size() + 1) * 2);
    old.swap(m_slots);
    m_mask = m_slots.size() - 1;
    for (const Slot &o : old) {
        if (o.index == kFree)
            continue;
        const std::uint64_t h = gridimpl::hashBytes(m_keys[o.index]);
        std::uint64_t s = h & m_mask;
        while (m_slots[s].index != kFree)
            s = (s + 1) & m_mask;
        m_slots[s] = o;
    }
}

} // namespace zorv::lists
