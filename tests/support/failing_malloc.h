#pragma once
// Include in exactly one file of a test executable: its malloc, calloc and
// realloc (through which operator new and Qt's containers allocate too) fail
// every request above a size while a FailLargeAllocations object lives, as
// a process short of memory fails its large requests first. Outside that
// they hand over to the C library's allocator.

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>

extern "C" void *__libc_malloc(std::size_t size);
extern "C" void *__libc_calloc(std::size_t count, std::size_t size);
extern "C" void *__libc_realloc(void *p, std::size_t size);

namespace zorv::test {

inline std::atomic<std::size_t> g_failAbove{SIZE_MAX};

inline bool refuseAllocation(std::size_t size) {
    if (size <= g_failAbove.load(std::memory_order_relaxed))
        return false;
    errno = ENOMEM;
    return true;
}

class FailLargeAllocations {
public:
    explicit FailLargeAllocations(std::size_t above) { g_failAbove = above; }
    ~FailLargeAllocations() { g_failAbove = SIZE_MAX; }
    FailLargeAllocations(const FailLargeAllocations &) = delete;
    FailLargeAllocations &operator=(const FailLargeAllocations &) = delete;
};

} // namespace zorv::test

extern "C" void *malloc(std::size_t size) {
    return zorv::test::refuseAllocation(size) ? nullptr : __libc_malloc(size);
}

extern "C" void *calloc(std::size_t count, std::size_t size) {
    if (size && count > SIZE_MAX / size)
        return nullptr;
    return zorv::test::refuseAllocation(count * size) ? nullptr : __libc_calloc(count, size);
}

extern "C" void *realloc(void *p, std::size_t size) {
    return zorv::test::refuseAllocation(size) ? nullptr : __libc_realloc(p, size);
}
