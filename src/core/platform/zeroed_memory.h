// Arrays that read as zero before they are written, taken from the system as fresh pages: the
// system hands a page out zeroed when it is first touched, so an allocation makes no pass over
// its memory, and whatever is fully written afterwards is written once. Arrays of several
// megabytes ask for large pages, so their first touch takes one fault per 2 MiB instead of one per
// 4 KiB (and reading a page never written maps the shared zero page).
#pragma once

#include <cstddef>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

namespace axolite::platform {

// A block of bytes, every one zero. Throws std::bad_alloc when the memory cannot be had.
class ZeroedBytes {
public:
    ZeroedBytes() = default;
    explicit ZeroedBytes(std::size_t bytes);
    ZeroedBytes(const ZeroedBytes&) = delete;
    ZeroedBytes& operator=(const ZeroedBytes&) = delete;
    ZeroedBytes(ZeroedBytes&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          mappedBytes_(std::exchange(other.mappedBytes_, 0)) {}
    ZeroedBytes& operator=(ZeroedBytes&& other) noexcept {
        if (this != &other) {
            release();
            data_ = std::exchange(other.data_, nullptr);
            mappedBytes_ = std::exchange(other.mappedBytes_, 0);
        }
        return *this;
    }
    ~ZeroedBytes() { release(); }

    void* data() const { return data_; }
    // True when the block is pages of its own rather than the allocator's memory.
    bool onOwnPages() const { return mappedBytes_ > 0; }

private:
    void release() noexcept;

    void* data_ = nullptr;
    std::size_t mappedBytes_ = 0; // 0: the bytes came from calloc
};

// count values of a trivially copyable type, every one zero until written.
template <typename T> class ZeroedArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    ZeroedArray() = default;
    explicit ZeroedArray(std::size_t count) : memory_(bytesFor(count)), size_(count) {}
    ZeroedArray(const ZeroedArray& other) : ZeroedArray(other.size_) {
        if (size_ > 0) {
            std::memcpy(data(), other.data(), size_ * sizeof(T));
        }
    }
    ZeroedArray(ZeroedArray&& other) noexcept
        : memory_(std::move(other.memory_)), size_(std::exchange(other.size_, 0)) {}
    ZeroedArray& operator=(const ZeroedArray& other) {
        if (this != &other) {
            ZeroedArray copy(other);
            *this = std::move(copy);
        }
        return *this;
    }
    ZeroedArray& operator=(ZeroedArray&& other) noexcept {
        if (this != &other) {
            memory_ = std::move(other.memory_);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    ~ZeroedArray() = default;

    T* data() { return static_cast<T*>(memory_.data()); }
    const T* data() const { return static_cast<const T*>(memory_.data()); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    bool onOwnPages() const { return memory_.onOwnPages(); }

    T& operator[](std::size_t i) { return data()[i]; }
    const T& operator[](std::size_t i) const { return data()[i]; }

private:
    static std::size_t bytesFor(std::size_t count) {
        if (count > std::numeric_limits<std::size_t>::max() / 2 / sizeof(T)) {
            throw std::bad_alloc();
        }
        return count * sizeof(T);
    }

    ZeroedBytes memory_;
    std::size_t size_ = 0;
};

using ZeroedDoubles = ZeroedArray<double>;

// An array whose room is reserved once, for a count known in advance, and then appended to within
// that room. The room is a zeroed array: the part never appended to is never touched, so a large
// reservation costs only the pages written.
template <typename T> class ReservedArray {
public:
    ReservedArray() = default;
    ReservedArray(const ReservedArray& other) : room_(other.room_.size()), size_(other.size_) {
        if (size_ > 0) {
            std::memcpy(room_.data(), other.room_.data(), size_ * sizeof(T));
        }
    }
    ReservedArray(ReservedArray&& other) noexcept
        : room_(std::move(other.room_)), size_(std::exchange(other.size_, 0)) {}
    ReservedArray& operator=(const ReservedArray& other) {
        if (this != &other) {
            ReservedArray copy(other);
            *this = std::move(copy);
        }
        return *this;
    }
    ReservedArray& operator=(ReservedArray&& other) noexcept {
        if (this != &other) {
            room_ = std::move(other.room_);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    ~ReservedArray() = default;

    // Drops the elements and takes fresh room for capacity of them (the old room goes first).
    void reserve(std::size_t capacity) {
        room_ = {};
        size_ = 0;
        room_ = ZeroedArray<T>(capacity);
    }
    std::size_t capacity() const { return room_.size(); }
    bool onOwnPages() const { return room_.onOwnPages(); }

    // The caller keeps the count within the capacity.
    void push_back(T value) { room_[size_++] = value; }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T* data() const { return room_.data(); }
    const T& operator[](std::size_t i) const { return room_[i]; }
    T& operator[](std::size_t i) { return room_[i]; }
    const T* begin() const { return room_.data(); }
    const T* end() const { return room_.data() + size_; }

private:
    ZeroedArray<T> room_;
    std::size_t size_ = 0;
};

} // namespace axolite::platform
