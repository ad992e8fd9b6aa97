// The memory a check takes: the token arrays (12 bytes per element of the capacity) and at most
// 4 bytes per byte of the file besides, whatever the file holds. Counted by replacing the global
// allocation functions: the peak of the bytes held, as the C library sizes the blocks.
#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"
#include "core/language/network_record.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <string>

namespace {

std::size_t held = 0;
std::size_t peak = 0;

void* allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    held += malloc_usable_size(block);
    peak = std::max(peak, held);
    return block;
}

void release(void* block) noexcept {
    if (block != nullptr) {
        held -= malloc_usable_size(block);
        std::free(block);
    }
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* block) noexcept {
    release(block);
}
void operator delete[](void* block) noexcept {
    release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    release(block);
}

namespace axolite::language {
namespace {

// Reads the file as the tool's check does, lexes and checks it; answers the most bytes held
// beyond the token arrays, per byte of the file.
double peakBeyondTokensPerByte(const std::filesystem::path& path, std::size_t fileBytes) {
    const std::size_t before = held;
    peak = held;
    std::size_t tokenBytes = 0;
    {
        const auto text = readDescriptionFile(path);
        EXPECT_TRUE(text.has_value());
        NetworkRecord record;
        EXPECT_FALSE(lexDescription(*text, record).has_value());
        // Token arrays on pages of their own are not the allocator's.
        if (!record.tokens.values.onOwnPages()) {
            tokenBytes += record.tokens.values.capacity() * sizeof(double);
        }
        if (!record.tokens.flags.onOwnPages()) {
            tokenBytes += record.tokens.flags.capacity() * sizeof(TokenFlag);
        }
        EXPECT_FALSE(checkDescription(record).correct);
    }
    EXPECT_EQ(held, before);
    return static_cast<double>(peak - before - tokenBytes) / static_cast<double>(fileBytes);
}

// Empty lines are the worst case of anything kept per line; short lines of words come next.
TEST(CheckMemory, AtMostFourBytesPerInputByteBeyondTheTokenArrays) {
    axolite::test::TempDir dir;
    const std::string empty(2'000'000, '\n');
    axolite::test::writeFile(dir / "empty.net", empty);
    EXPECT_LE(peakBeyondTokensPerByte(dir / "empty.net", empty.size()), 4.0);

    std::string words;
    while (words.size() < 2'000'000) {
        words += "x\r\n";
    }
    axolite::test::writeFile(dir / "words.net", words);
    EXPECT_LE(peakBeyondTokensPerByte(dir / "words.net", words.size()), 4.0);
}

} // namespace
} // namespace axolite::language
