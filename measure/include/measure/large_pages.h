// Advice on large memory of the measurement library.
#pragma once

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

#include <cstddef>
#include <cstdint>

namespace vantrel::measure {

// Memory for many patches, not yet touched, is better mapped in large pages where the system
// offers them on request: far fewer page faults as it fills. Only advice; ignored elsewhere.
inline void AdviseLargePages(const void* data, std::size_t bytes) {
    constexpr std::uintptr_t kLargePage = 2u << 20;
    const auto begin =
        (reinterpret_cast<std::uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kLargePage - 1);
#if defined(MADV_HUGEPAGE)
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)begin, (void)end;  // no such advice on this system (Windows)
#endif
}

}  // namespace vantrel::measure
