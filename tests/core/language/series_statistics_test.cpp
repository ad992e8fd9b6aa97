// The statistics of a series: what the simulation and the reference computations store.
#include "core/language/series_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <vector>

using axolite::language::seriesStatistics;

TEST(SeriesStatistics, IgnoreNaNAndDoNotDependOnOrder) {
    const std::vector<double> values{3.0, std::nan(""), -0.0, -2.0, 7.5, -2.5, 1.0};
    const auto all = seriesStatistics(values);
    EXPECT_EQ(all.minimum, -2.5);
    EXPECT_EQ(all.maximum, 7.5);
    EXPECT_EQ(all.range, 10.0);
    std::vector<double> reversed(values.rbegin(), values.rend());
    const auto back = seriesStatistics(reversed);
    EXPECT_EQ(back.minimum, -2.5);
    EXPECT_EQ(back.maximum, 7.5);
    // Zeros never replace the starting +0.0.
    const std::vector<double> zeros{-0.0, -0.0, -0.0, -0.0, -0.0};
    EXPECT_FALSE(std::signbit(seriesStatistics(zeros).minimum));
    EXPECT_EQ(seriesStatistics(std::span<const double>(values.data(), 0)).range, 0.0);
}
