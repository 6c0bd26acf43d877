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
    m_slots.assign(slotCount, 0);
    std::vector<std::uint32_t> groupOf(count);
    std::vector<std::uint32_t> sizes;
    for (std::size_t p = 0; p < count; ++p) {
        const std::string_view v = store.str(column, rows[p]);
        const std::uint64_t h = hashBytes(v);
        std::uint64_t s = h & m_mask;
        while (true) {
            const std::uint32_t g = m_slots[s];
            if (g == 0) {
                m_slots[s] = std::uint32_t(m_hash.size() + 1);
                groupOf[p] = std::uint32_t(m_hash.size());
                m_hash.push_back(h);
                m_sample.push_back(rows[p]);
                sizes.push_back(1);
                break;
            }
            if (m_hash[g - 1] == h && store.str(column, m_sample[g - 1]) == v) {
                groupOf[p] = g - 1;
                ++sizes[g - 1];
                break;
            }
            s = (s + 1) & m_mask;
        }
    }
    m_start.resize(sizes.size() + 1);
    std::uint32_t at = 0;
    for (std::size_t g = 0; g < sizes.size(); ++g) {
        m_start[g] = at;
        at += sizes[g];
    }
    m_start[sizes.size()] = at;
    m_pos.resize(count);
    std::vector<std::uint32_t> fill(m_start.begin(), m_start.end() - 1);
    for (std::size_t p = 0; p < count; ++p)
        m_pos[fill[groupOf[p]]++] = std::uint32_t(p);
}

std::span<const std::uint32_t> TextIndex::lookup(const Storage &store,
                                                 std::string_view value) const {
    const std::uint64_t h = hashBytes(value);
    std::uint64_t s = h & m_mask;
    while (true) {
        const std::uint32_t g = m_slots[s];
        if (g == 0)
            return {};
        if (m_hash[g - 1] == h && store.str(m_column, m_sample[g - 1]) == value)
            return {m_pos.data() + m_start[g - 1], m_start[g] - m_start[g - 1]};
        s = (s + 1) & m_mask;
    }
}

} // namespace zorv::gridimpl
