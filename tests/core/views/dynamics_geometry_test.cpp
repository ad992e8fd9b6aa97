// The dynamics view's geometry: projection, columns, vertical scale and the replay's frames.
#include "core/views/dynamics_geometry.h"
#include "core/views/scales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace axolite::views {
namespace {

using language::NetworkRecord;
using language::SeriesFamily;

NetworkRecord outputs(const std::vector<std::vector<double>>& series) {
    NetworkRecord record;
    record.t0 = 0.0;
    record.h = 1.0;
    record.t1 = static_cast<double>(series.front().size());
    for (std::size_t k = 0; k < series.size(); ++k) {
        record.networkPresent[k] = 1;
        record.outputSeries[k] = series[k];
    }
    return record;
}

TEST(DynamicsProjection, CornersOfTheBoxInLogicalUnits) {
    EXPECT_EQ(projectModelPoint({0, 0, 0}), (LogicalPoint{3645, 2610}));
    EXPECT_EQ(projectModelPoint({116, 0, 0}), (LogicalPoint{8165, 2610}));
    EXPECT_EQ(projectModelPoint({0, 78, 116}), (LogicalPoint{1035, 3908}));
    EXPECT_EQ(projectModelPoint({116, 78, 116}), (LogicalPoint{5555, 3908}));
    // The two lines of column 0 at half height lie 28 units (about one pixel) apart.
    EXPECT_EQ(projectModelPoint({4, 39, 4}), (LogicalPoint{3710, 4169}));
    EXPECT_EQ(projectModelPoint({4.7, 39, 4}), (LogicalPoint{3738, 4169}));
    // The grid's last lines stand at t = 112 and 72, inside the box.
    double largestX = 0.0;
    double largestY = 0.0;
    for (const ModelSegment& line : boxGrid()) {
        largestX = std::max({largestX, line.from.x, line.to.x});
        largestY = std::max({largestY, line.from.y, line.to.y});
    }
    EXPECT_EQ(largestX, 116.0);
    EXPECT_EQ(largestY, 78.0);
    EXPECT_EQ(columnBase(3).x, 28.0);
    EXPECT_EQ(columnBase(3).z, 4.0);
}

TEST(DynamicsColumns, CountFollowsThePresentPrefix) {
    NetworkRecord record;
    record.networkPresent = {1, 1, 1, 0};
    EXPECT_EQ(columnCount(record), 3);
    record.networkPresent = {1, 0, 1, 0};
    EXPECT_EQ(columnCount(record), 4);
    record.networkPresent = {0, 0, 0, 0};
    EXPECT_EQ(columnCount(record), 4);
}

TEST(DynamicsScale, SpreadOfTheOutputsAndItsFallbacks) {
    // Spread 4 over both series: c = 39 / 4; 0 stands at half height.
    NetworkRecord record = outputs({{0.0, 1.0, -2.0}, {2.0, 0.5, 0.0}});
    const VerticalScale scale = verticalScale(record);
    EXPECT_DOUBLE_EQ(scale.unitsPerValue, 9.75);
    EXPECT_EQ(scale.height(0.0), 39);
    EXPECT_EQ(scale.height(2.0), 58);
    EXPECT_EQ(scale.height(-2.0), 19);
    // The first neuron's activity at step 0 takes part even when it is no output.
    record.activity.allocate(1, 3);
    record.activity.at(0, 0) = -6.0;
    EXPECT_DOUBLE_EQ(verticalScale(record).unitsPerValue, 39.0 / 8.0);
    // Values that are not numbers take no part and draw no column.
    const double inf = std::numeric_limits<double>::infinity();
    const NetworkRecord wild = outputs({{0.0, inf, 1.0, std::nan("")}});
    EXPECT_DOUBLE_EQ(verticalScale(wild).unitsPerValue, 39.0);
    EXPECT_FALSE(verticalScale(wild).height(inf));
    EXPECT_EQ(verticalScale(wild).height(1e300), 10000);
    // No spread: a constant 0.5 reaches the top of the box, a constant −3 its floor, 0 the middle.
    EXPECT_EQ(verticalScale(outputs({{0.5, 0.5}})).height(0.5), 78);
    EXPECT_EQ(verticalScale(outputs({{-3.0, -3.0}})).height(-3.0), 0);
    EXPECT_EQ(verticalScale(outputs({{0.0, 0.0}})).height(0.0), 39);
}

TEST(DynamicsReplay, FramesOfTheFasterAndTheSlowerMode) {
    // N = 1000, k = 4, faster: steps 4, 8, ..., 996, the bar ending at 99 percent.
    const ReplaySchedule faster(1000, replayStride(true, 4));
    ASSERT_EQ(faster.frameCount(), 249);
    EXPECT_EQ(faster.frame(0), (ReplayFrame{0, 4, 0}));
    EXPECT_EQ(faster.frame(1), (ReplayFrame{4, 8, 0}));
    EXPECT_EQ(faster.frame(248), (ReplayFrame{992, 996, 99}));
    // Slower: stride 1 whatever k, and the pause grows with (k − 1)².
    const ReplaySchedule slower(1000, replayStride(false, 16));
    ASSERT_EQ(slower.frameCount(), 999);
    EXPECT_EQ(slower.frame(998), (ReplayFrame{998, 999, 99}));
    EXPECT_EQ(slowerModePause(1).count(), 0);
    EXPECT_EQ(slowerModePause(16).count(), 225 * slowerModePause(2).count());
    EXPECT_EQ(ReplaySchedule(4, 4).frameCount(), 0);
    EXPECT_EQ(ReplaySchedule(0, 1).frameCount(), 0);
}

TEST(Scales, OneHundredNinetyOverTheRange) {
    NetworkRecord record = outputs({{0.0, 0.5}, {0.0, 0.0}});
    record.stats(SeriesFamily::Network, 0).range = 0.5;
    record.stats(SeriesFamily::Network, 1).range = 0.0;
    record.rungeKuttaPresent[1] = 1;
    record.stats(SeriesFamily::RungeKutta, 1).range = 3.0;
    EXPECT_EQ(scaleText(seriesScale(record, SeriesFamily::Network, 0)), "380.00000");
    EXPECT_EQ(scaleText(seriesScale(record, SeriesFamily::RungeKutta, 1)), "63.33333");
    // A series that is 0 throughout has no finite scale; an absent one none at all.
    EXPECT_EQ(scaleText(seriesScale(record, SeriesFamily::Network, 1)), "Недоступен");
    EXPECT_EQ(scaleText(seriesScale(record, SeriesFamily::Exact, 0)), "Недоступен");
}

} // namespace
} // namespace axolite::views
