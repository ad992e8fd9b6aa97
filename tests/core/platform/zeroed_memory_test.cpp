// Zeroed arrays: zero before written, both ways of taking memory (allocator and mapped pages),
// copies that own their values, and a size the system cannot give.
#include "core/platform/zeroed_memory.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <new>
#include <utility>

namespace axolite::platform {
namespace {

TEST(ZeroedDoubles, ZeroUntilWrittenAndCopiesOwnTheirValues) {
    // Below and above the size that maps pages of its own, and one not a whole number of pages.
    for (const std::size_t count : {std::size_t{2}, std::size_t{1000}, std::size_t{300001}}) {
        ZeroedDoubles values(count);
        ASSERT_EQ(values.size(), count);
        for (std::size_t i = 0; i < count; i += 997) {
            ASSERT_EQ(values[i], 0.0) << count << " " << i;
        }
        EXPECT_EQ(values[count - 1], 0.0);
        values[count - 1] = 2.5;
        values[0] = -1.0;

        ZeroedDoubles copy(values);
        copy[0] = 7.0;
        EXPECT_EQ(values[0], -1.0);
        EXPECT_EQ(copy[count - 1], 2.5);

        ZeroedDoubles moved(std::move(copy));
        EXPECT_TRUE(copy.empty()); // NOLINT(bugprone-use-after-move): moved-from is empty
        EXPECT_EQ(moved[0], 7.0);
        values = moved;
        EXPECT_EQ(values[0], 7.0);
        values = ZeroedDoubles(count);
        EXPECT_EQ(values[0], 0.0);
        EXPECT_EQ(values[count - 1], 0.0);
    }
    EXPECT_TRUE(ZeroedDoubles(0).empty());
}

TEST(ZeroedDoubles, ImpossibleSizeThrowsBadAlloc) {
    EXPECT_THROW(ZeroedDoubles(std::numeric_limits<std::size_t>::max() / 4), std::bad_alloc);
    EXPECT_THROW(ZeroedDoubles(std::size_t{1} << 60), std::bad_alloc);
}

TEST(ReservedArray, CopiesKeepTheRoomAndTheValuesAppended) {
    for (const std::size_t capacity : {std::size_t{3}, std::size_t{400000}}) {
        ReservedArray<int> values;
        values.reserve(capacity);
        values.push_back(4);
        values.push_back(-2);
        ReservedArray<int> copy(values);
        copy.push_back(9);
        EXPECT_EQ(copy.capacity(), capacity);
        EXPECT_EQ(copy.size(), 3U);
        EXPECT_EQ(copy[1], -2);
        EXPECT_EQ(values.size(), 2U);
        EXPECT_EQ(values[2], 0); // the original's room is untouched by the copy
        values.reserve(capacity);
        EXPECT_TRUE(values.empty());
        EXPECT_EQ(values[0], 0); // fresh room
    }
}

} // namespace
} // namespace axolite::platform
