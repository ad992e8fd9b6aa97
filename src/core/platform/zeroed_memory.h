// Arrays of doubles that read as 0.0 before they are written, taken from the system as fresh
// pages: the system hands a page out zeroed when it is first touched, so an allocation makes no
// pass over its memory, and whatever is fully written afterwards is written once. Arrays of
// several megabytes ask for large pages, so their first touch takes one fault per 2 MiB instead
// of one per 4 KiB (and reading a page never written maps the shared zero page).
#pragma once

#include <cstddef>

namespace axolite::platform {

class ZeroedDoubles {
public:
    ZeroedDoubles() = default;
    // count values, every one 0.0. Throws std::bad_alloc when the memory cannot be had.
    explicit ZeroedDoubles(std::size_t count);
    ZeroedDoubles(const ZeroedDoubles& other);
    ZeroedDoubles(ZeroedDoubles&& other) noexcept;
    ZeroedDoubles& operator=(const ZeroedDoubles& other);
    ZeroedDoubles& operator=(ZeroedDoubles&& other) noexcept;
    ~ZeroedDoubles();

    double* data() { return data_; }
    const double* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    double& operator[](std::size_t i) { return data_[i]; }
    double operator[](std::size_t i) const { return data_[i]; }

private:
    void release() noexcept;

    double* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mappedBytes_ = 0; // 0: the values came from calloc
};

} // namespace axolite::platform
