// Zeroed arrays: calloc for small ones, whole (large) pages mapped for the others.
#include "core/platform/zeroed_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

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

ZeroedDoubles::ZeroedDoubles(std::size_t count) {
    if (count == 0) {
        return;
    }
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(double) - kLargePage) {
        throw std::bad_alloc();
    }
    const std::size_t bytes = count * sizeof(double);
    void* memory = nullptr;
    if (bytes >= kMappedFrom) {
        const std::size_t whole = roundedUp(bytes, kLargePage);
        memory = mapZeroedPages(whole);
        mappedBytes_ = memory != nullptr ? whole : 0;
    } else {
        memory = std::calloc(count, sizeof(double));
    }
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    data_ = static_cast<double*>(memory);
    size_ = count;
}

ZeroedDoubles::ZeroedDoubles(const ZeroedDoubles& other) : ZeroedDoubles(other.size_) {
    if (size_ > 0) {
        std::memcpy(data_, other.data_, size_ * sizeof(double));
    }
}

ZeroedDoubles::ZeroedDoubles(ZeroedDoubles&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      mappedBytes_(std::exchange(other.mappedBytes_, 0)) {}

ZeroedDoubles& ZeroedDoubles::operator=(const ZeroedDoubles& other) {
    if (this != &other) {
        ZeroedDoubles copy(other);
        *this = std::move(copy);
    }
    return *this;
}

ZeroedDoubles& ZeroedDoubles::operator=(ZeroedDoubles&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mappedBytes_ = std::exchange(other.mappedBytes_, 0);
    }
    return *this;
}

ZeroedDoubles::~ZeroedDoubles() {
    release();
}

void ZeroedDoubles::release() noexcept {
    if (data_ != nullptr) {
        if (mappedBytes_ > 0) {
            munmap(data_, mappedBytes_);
        } else {
            std::free(data_);
        }
    }
    data_ = nullptr;
    size_ = 0;
    mappedBytes_ = 0;
}

} // namespace axolite::platform
