// The series that the views share: presence, bounds, colours, statistics and error estimates.
#include "core/views/series.h"

#include <gtest/gtest.h>

#include <cmath>

namespace axolite::views {
namespace {

using language::NetworkRecord;

// D = 10.5, N = 10; two network outputs.
NetworkRecord tenPointRecord() {
    NetworkRecord record;
    record.t0 = 0.0;
    record.t1 = 1.05;
    record.h = 0.1;
    record.networkPresent = {1, 1, 0, 0};
    for (int k = 0; k < 2; ++k) {
        record.outputSeries[k].assign(10, 0.0);
        record.exactSeries[k].assign(10, 0.0);
    }
    return record;
}

TEST(Series, PresenceAndBoundsOfTheTwelveSeries) {
    NetworkRecord record = tenPointRecord();
    EXPECT_EQ(gridPointCount(record), 10);
    EXPECT_DOUBLE_EQ(gridExtent(record), 10.5);
    EXPECT_TRUE(seriesPresent(record, SeriesFamily::Network, 1));
    EXPECT_FALSE(seriesPresent(record, SeriesFamily::Network, 2));
    EXPECT_FALSE(seriesPresent(record, SeriesFamily::Exact, 0));
    EXPECT_FALSE(seriesPresent(record, SeriesFamily::Exact, 7));
    EXPECT_EQ(seriesValues(record, SeriesFamily::Network, 0).size(), 10u);
    EXPECT_FALSE(seriesValue(record, SeriesFamily::Network, 0, 10).has_value());
    EXPECT_FALSE(seriesValue(record, SeriesFamily::Network, 0, -1).has_value());
    EXPECT_FALSE(seriesValue(record, SeriesFamily::Exact, 0, 0).has_value());
    // A Runge-Kutta series holds S + 1 values; the views see S.
    record.rungeKuttaSeries[0].assign(11, 1.0);
    record.rungeKuttaPresent[0] = 1;
    EXPECT_EQ(seriesValues(record, SeriesFamily::RungeKutta, 0).size(), 10u);
    // A shorter series (a cancelled computation) is read only as far as it goes.
    record.outputSeries[1].resize(4);
    EXPECT_EQ(seriesValues(record, SeriesFamily::Network, 1).size(), 4u);
}

TEST(Series, FixedColours) {
    const SeriesColour network[4] = {{0, 0, 255}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}};
    const SeriesColour rungeKutta[4] = {
        {96, 128, 255}, {255, 96, 0}, {255, 32, 255}, {160, 32, 255}};
    const SeriesColour exact[4] = {{0, 128, 0}, {255, 160, 64}, {255, 160, 255}, {96, 255, 255}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(seriesColour(SeriesFamily::Network, k), network[k]) << k;
        EXPECT_EQ(seriesColour(SeriesFamily::RungeKutta, k), rungeKutta[k]) << k;
        EXPECT_EQ(seriesColour(SeriesFamily::Exact, k), exact[k]) << k;
    }
}

TEST(Series, StatisticsIncludeZero) {
    const std::vector<double> positive{2.0, 5.0, 3.0};
    const auto p = seriesStatistics(positive);
    EXPECT_EQ(p.minimum, 0.0);
    EXPECT_EQ(p.maximum, 5.0);
    EXPECT_EQ(p.range, 5.0);
    const std::vector<double> negative{-2.0, -1.0};
    const auto n = seriesStatistics(negative);
    EXPECT_EQ(n.maximum, 0.0);
    EXPECT_EQ(n.range, 2.0);
    EXPECT_EQ(seriesStatistics({}).range, 0.0);
}

TEST(ErrorEstimates, TheLastPointTakesNoPart) {
    NetworkRecord record = tenPointRecord();
    record.exactPresent = {1, 0, 0, 0};
    record.outputSeries[0][8] = 0.25; // index N − 2: compared
    record.outputSeries[0][9] = 7.0;  // index N − 1: not compared
    EXPECT_EQ(networkErrorEstimate(record), 0.25);
    EXPECT_EQ(maximalAbsoluteError(record.outputSeries[0], record.exactSeries[0], 10), 0.25);
    EXPECT_EQ(maximalAbsoluteError(record.outputSeries[0], record.exactSeries[0], 1), 0.0);
    EXPECT_EQ(maximalAbsoluteError(record.outputSeries[0], {}, 10), 0.0);
}

TEST(ErrorEstimates, OverComponentsWithTheirFlags) {
    NetworkRecord record = tenPointRecord();
    // Without exact values neither estimate exists.
    EXPECT_FALSE(networkErrorEstimate(record).has_value());
    EXPECT_FALSE(rungeKuttaErrorEstimate(record).has_value());
    EXPECT_EQ(errorEstimateText(rungeKuttaErrorEstimate(record)), "       Недоступна");

    record.exactPresent = {1, 1, 0, 0};
    record.exactSeries[0][3] = -1.5;
    record.outputSeries[1][2] = 0.5;
    // Runge-Kutta row 1 all zero, row 2 present: only component 2 counts.
    record.rungeKuttaPresent = {0, 1, 0, 0};
    record.rungeKuttaSeries[0].assign(11, 100.0);
    record.rungeKuttaSeries[1].assign(11, 0.0);
    record.rungeKuttaSeries[1][5] = -0.75;
    EXPECT_EQ(networkErrorEstimate(record), 1.5);
    EXPECT_EQ(rungeKuttaErrorEstimate(record), 0.75);
    EXPECT_EQ(errorEstimateText(1.5), "1.5000000000E+00");
    EXPECT_EQ(errorEstimateText(0.0), "0.0000000000E+00");

    // Exact values present but no component with both flags: the estimate is 0.
    record.rungeKuttaPresent = {0, 0, 1, 0};
    EXPECT_EQ(rungeKuttaErrorEstimate(record), 0.0);
    // No Runge-Kutta series at all: no estimate (the numeric view disables its row).
    record.rungeKuttaPresent = {0, 0, 0, 0};
    EXPECT_FALSE(rungeKuttaErrorEstimate(record).has_value());
}

} // namespace
} // namespace axolite::views
