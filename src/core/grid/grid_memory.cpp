#include "core/grid/grid_memory.h"

#include <cstdint>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace zorv::gridimpl {

void adviseHugePages(void *p, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    if (bytes < 2 * kHuge)
        return;
    const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t to = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kHuge - 1);
    if (to > from)
        madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
#else
    (void)p;
    (void)bytes;
#endif
}

} // namespace zorv::gridimpl
