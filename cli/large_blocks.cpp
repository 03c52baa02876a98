// The vantrel program's allocation of large blocks. A compare of two files of 100,000 spectra
// holds some 80 MB of patches, spectra, colours and table text; filled page by page, that is
// 20,000 page faults, and on virtual machines a fault costs more than reading the numbers that
// fill the page. Blocks of 256 KiB or more are therefore mapped on their own, at a boundary of
// 2 MiB, with the advice to back them with large pages where the system offers them on request
// (Linux's transparent huge pages in "madvise" mode): some 40 faults for the same memory.
// Clearing a large page costs about as much as 64 to 256 faults of small ones, hence the
// threshold; the few blocks of that size waste at most a large page each. Smaller blocks, and
// everything where the advice is not offered, go to malloc as before; a failed mapping falls
// back to malloc too.
//
// Only the program replaces the global allocation functions; the libraries and the tests,
// which run the subcommands in-process, keep the C++ library's. Builds under a sanitizer keep
// them as well, so that its own allocator checks every block.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define VANTREL_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VANTREL_SANITIZED 1
#endif

#if defined(__linux__) && !defined(VANTREL_SANITIZED)
#include <sys/mman.h>

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kLargeBlock = std::size_t{256} << 10;  // and more: mapped on its own
// The block's length is kept in front of it, in a header that keeps the alignment malloc
// gives; a mapped block therefore begins kHeader bytes past a large-page boundary.
constexpr std::size_t kHeader = 64;

// The mapped blocks, so that operator delete can tell them from malloc's without reading
// memory it does not own. A block that finds no free slot is left to malloc.
constexpr int kSlots = 256;
std::atomic<std::uintptr_t> mapped[kSlots];

void* MapLargeBlock(std::size_t size) {
    if (size > SIZE_MAX - kHeader - 2 * kLargePage) return nullptr;
    const std::size_t length = (size + kHeader + kLargePage - 1) & ~(kLargePage - 1);
    // Mapped a large page longer than needed, then trimmed to a large-page boundary.
    void* area = ::mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t aligned = (start + kLargePage - 1) & ~(kLargePage - 1);
    if (aligned > start) ::munmap(area, aligned - start);
    const std::uintptr_t end = start + length + kLargePage;
    if (end > aligned + length)
        ::munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
    auto* base = reinterpret_cast<void*>(aligned);
    ::madvise(base, length, MADV_HUGEPAGE);
    for (auto& slot : mapped) {
        std::uintptr_t empty = 0;
        if (slot.compare_exchange_strong(empty, aligned)) {
            *static_cast<std::size_t*>(base) = length;
            return static_cast<char*>(base) + kHeader;
        }
    }
    ::munmap(base, length);
    return nullptr;
}

// Unmaps `block` and returns true when it is a mapped block.
bool UnmapLargeBlock(void* block) {
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    if ((address & (kLargePage - 1)) != kHeader) return false;
    const std::uintptr_t base = address - kHeader;
    for (auto& slot : mapped) {
        std::uintptr_t expected = base;
        if (slot.compare_exchange_strong(expected, 0)) {
            ::munmap(reinterpret_cast<void*>(base), *reinterpret_cast<std::size_t*>(base));
            return true;
        }
    }
    return false;
}

void* TryAllocate(std::size_t size) {
    if (size >= kLargeBlock)
        if (void* block = MapLargeBlock(size)) return block;
    return std::malloc(size ? size : 1);
}

void* Allocate(std::size_t size) {
    while (true) {
        if (void* block = TryAllocate(size)) return block;
        const std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

void Release(void* block) noexcept {
    if (block && !UnmapLargeBlock(block)) std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void operator delete(void* block) noexcept {
    Release(block);
}
void operator delete[](void* block) noexcept {
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    Release(block);
}

#endif
