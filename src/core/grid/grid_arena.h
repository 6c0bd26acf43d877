#pragma once
// A growable byte buffer for the grid's text. Unlike std::vector<char> it
// grows without zero-filling and, being malloc'd, large blocks grow by
// remapping pages rather than by copying them.

#include "core/grid/grid_memory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace zorv::gridimpl {

class Arena {
public:
    Arena() = default;
    Arena(const Arena &) = delete;
    Arena &operator=(const Arena &) = delete;
    Arena(Arena &&o) noexcept { swap(o); }
    Arena &operator=(Arena &&o) noexcept {
        Arena(std::move(o)).swap(*this);
        return *this;
    }
    ~Arena() { std::free(m_data); }

    void swap(Arena &o) noexcept {
        std::swap(m_data, o.m_data);
        std::swap(m_size, o.m_size);
        std::swap(m_capacity, o.m_capacity);
    }

    char *data() { return m_data; }
    const char *data() const { return m_data; }
    std::size_t size() const { return m_size; }

    void reserve(std::size_t capacity) {
        if (capacity <= m_capacity)
            return;
        void *p = std::realloc(m_data, capacity);
        if (!p)
            throw std::bad_alloc();
        m_data = static_cast<char *>(p);
        m_capacity = capacity;
        adviseHugePages(m_data, m_capacity);
    }
    // Grows by n bytes left uninitialised; returns the offset of the first.
    std::size_t grow(std::size_t n) {
        if (m_size + n > m_capacity)
            reserve(std::max(m_size + n, m_capacity + m_capacity / 2 + 64));
        const std::size_t at = m_size;
        m_size += n;
        return at;
    }
    void append(const char *p, std::size_t n) {
        // p may point into this arena, which growing can move: remember it
        // as an offset.
        const auto addr = reinterpret_cast<std::uintptr_t>(p);
        const auto base = reinterpret_cast<std::uintptr_t>(m_data);
        const bool inside = m_data && addr >= base && addr < base + m_size;
        const std::size_t from = inside ? std::size_t(addr - base) : 0;
        const std::size_t at = grow(n);
        if (n)
            std::memmove(m_data + at, inside ? m_data + from : p, n);
    }
    // Shrinks (or, within the capacity, grows) the used part.
    void resize(std::size_t n) {
        reserve(n);
        m_size = n;
    }

private:
    char *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace zorv::gridimpl
