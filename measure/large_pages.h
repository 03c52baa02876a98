// Advice on large memory of the measurement library.
#pragma once

#include <sys/mman.h>

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
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace vantrel::measure
