#pragma once
// Memory for the grid's big arrays. Blocks of several megabytes ask the
// kernel for huge pages, so that filling a million-row column costs a few
// hundred page faults instead of tens of thousands.

#include <cstddef>
#include <cstdlib>
#include <new>

namespace zorv::gridimpl {

// Marks the 2 MiB-aligned interior of a block as wanting huge pages.
void adviseHugePages(void *p, std::size_t bytes);

template <typename T> struct BigAllocator {
    using value_type = T;
    BigAllocator() = default;
    template <typename U> BigAllocator(const BigAllocator<U> &) {}

    T *allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        void *p = std::malloc(bytes ? bytes : 1);
        if (!p)
            throw std::bad_alloc();
        adviseHugePages(p, bytes);
        return static_cast<T *>(p);
    }
    void deallocate(T *p, std::size_t) { std::free(p); }
    template <typename U> bool operator==(const BigAllocator<U> &) const { return true; }
};

} // namespace zorv::gridimpl
