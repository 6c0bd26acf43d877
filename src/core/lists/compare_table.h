#pragma once
// A flat open-addressing table of distinct names: each name gets a dense
// index on insertion. It stores views, so the bytes must outlive it.

#include <cstdint>
#include <string_view>
#include <vector>

namespace zorv::lists {

class NameTable {
public:
    explicit NameTable(std::size_t expected);

    // The index of key, inserting it when new (*inserted says which).
    std::uint32_t insert(std::string_view key, bool *inserted);
    // The index of key, or -1.
    std::int64_t find(std::string_view key) const;
    std::size_t size() const { return m_keys.size(); }
    std::string_view key(std::uint32_t index) const { return m_keys[index]; }

private:
    static constexpr std::uint32_t kFree = 0xFFFFFFFF;
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t index = kFree;
    };
    void grow();

    std::vector<Slot> m_slots;
    std::vector<std::string_view> m_keys;
    std::uint64_t m_mask = 0;
};

} // namespace zorv::lists
