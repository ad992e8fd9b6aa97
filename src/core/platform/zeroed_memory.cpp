// Zeroed blocks: calloc for small ones, whole (large) pages mapped for the others.
#include "core/platform/zeroed_memory.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

#include <sys/mman.h>

namespace axolite::platform {

namespace {

// Below this size an array comes from the allocator; from it on, from pages of its own.
constexpr std::size_t kMappedFrom = std::size_t{1} << 20;
constexpr std::size_t kLargePage = std::size_t{2} << 20;

std::size_t roundedUp(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// Anonymous pages at a large-page boundary (the unaligned head and tail of a mapping one large
// page longer are given back), marked for large pages. Nothing when the system refuses.
void* mapZeroedPages(std::size_t bytes) {
    const std::size_t mapped = bytes + kLargePage;
    void* start = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED) {
        return nullptr;
    }
    const auto first = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t aligned = roundedUp(first, kLargePage);
    if (aligned > first) {
        munmap(start, aligned - first);
    }
    const std::size_t tail = mapped - (aligned - first) - bytes;
    if (tail > 0) {
        munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    }
    void* pages = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    madvise(pages, bytes, MADV_HUGEPAGE); // a hint: without large pages the array still works
#endif
    return pages;
}

} // namespace

ZeroedBytes::ZeroedBytes(std::size_t bytes) {
    if (bytes == 0) {
        return;
    }
    if (bytes > std::numeric_limits<std::size_t>::max() - 2 * kLargePage) {
        throw std::bad_alloc();
    }
    void* memory = nullptr;
    if (bytes >= kMappedFrom) {
        const std::size_t whole = roundedUp(bytes, kLargePage);
        memory = mapZeroedPages(whole);
        mappedBytes_ = memory != nullptr ? whole : 0;
    } else {
        memory = std::calloc(bytes, 1);
    }
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    data_ = memory;
}

void ZeroedBytes::release() noexcept {
    if (data_ != nullptr) {
        if (mappedBytes_ > 0) {
            munmap(data_, mappedBytes_);
        } else {
            std::free(data_);
        }
    }
    data_ = nullptr;
    mappedBytes_ = 0;
}

} // namespace axolite::platform
