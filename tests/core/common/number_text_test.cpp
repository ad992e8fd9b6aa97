// The shortest number text: it reads back as the same double, bit for bit.
#include "core/common/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

using axolite::shortestNumberText;

TEST(ShortestNumberText, ReadsBackAsTheSameDoubleAndIsNoLongerThanNeeded) {
    EXPECT_EQ(shortestNumberText(0.05), "0.05");
    EXPECT_EQ(shortestNumberText(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(shortestNumberText(1e308), "1e+308");
    EXPECT_EQ(shortestNumberText(-0.0), "-0");
    EXPECT_EQ(shortestNumberText(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(shortestNumberText(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(shortestNumberText(-std::nan("")), "nan");
    std::mt19937_64 bits(7);
    for (int i = 0; i < 100000; ++i) {
        double value = 0.0;
        const std::uint64_t pattern = bits();
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string text = shortestNumberText(value);
        const double back = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
    }
}
