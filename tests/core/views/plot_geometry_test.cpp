// The graphs view's geometry: rows of values, the display range, the columns of compress and
// stretch mode, the grid and the cursor.
#include "core/views/plot_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace axolite::views {
namespace {

using language::NetworkRecord;
using language::SeriesFamily;

std::vector<PlotSegment> segmentsOf(PlotMode mode, int k, std::int64_t s0, double extent) {
    std::vector<PlotSegment> segments;
    plotSegments(mode, k, s0, extent, segments);
    return segments;
}

TEST(CurveScale, RowsAtFullHeightAndForValuesThatAreNotNumbers) {
    const CurveScale scale = curveScale(0.0, *heightFactorForPercent(100), 1.0);
    EXPECT_DOUBLE_EQ(scale.baseline, 183.85);
    EXPECT_EQ(scale.row(0.0), 183);
    EXPECT_EQ(scale.row(0.5), 118); // trunc(183.85 − 65.25)
    EXPECT_EQ(scale.row(1.0), 53);
    // The series' own minimum lies on the baseline, whatever its value.
    EXPECT_EQ(curveScale(-2.0, 0.9, 4.0).row(-2.0), 183);
    // Lower heights move the baseline up: f = 0.4 puts it at 148.1.
    EXPECT_EQ(curveScale(0.0, *heightFactorForPercent(40), 1.0).row(0.0), 148);
    EXPECT_FALSE(heightFactorForPercent(90));
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(scale.row(std::nan("")));
    EXPECT_FALSE(scale.row(inf));
    EXPECT_FALSE(curveScale(-inf, 0.9, 1.0).row(0.0));
    // Far values keep their side of the plot and a defined conversion.
    EXPECT_LT(*scale.row(1e300), -1000);
    EXPECT_GT(*scale.row(-1e300), 1000);
}

TEST(DisplayRange, GrowsWithEveryPresentSeriesAndNeverShrinks) {
    NetworkRecord record;
    record.networkPresent = {1, 0, 0, 0};
    record.stats(SeriesFamily::Network, 0).range = 0.5;
    DisplayRange range;
    range.grow(record);
    EXPECT_EQ(range.value(), 1.0); // values within 0 .. 0.5 leave R at 1.0
    record.exactPresent[2] = 1;
    record.stats(SeriesFamily::Exact, 2).range = 3.0;
    record.stats(SeriesFamily::RungeKutta, 1).range = 9.0; // absent: no part
    range.grow(record);
    EXPECT_EQ(range.value(), 3.0);
    record.stats(SeriesFamily::Exact, 2).range = 2.0;
    range.grow(record);
    EXPECT_EQ(range.value(), 3.0);
    record.stats(SeriesFamily::Network, 0).range = std::numeric_limits<double>::infinity();
    range.grow(record);
    EXPECT_EQ(range.value(), 3.0);
}

TEST(PlotSegments, CompressJoinsEveryKthStepUpToTheEndOfTheGrid) {
    // 601 columns cover 2404 steps with k = 4.
    const auto wide = segmentsOf(PlotMode::Compress, 4, 0, 1e6);
    ASSERT_EQ(wide.size(), 601u);
    EXPECT_EQ(wide.front(), (PlotSegment{6, 7, 0, 4}));
    EXPECT_EQ(wide.back(), (PlotSegment{606, 607, 2400, 2404}));
    // N = 1000: the curve ends where s0 + (i + 1)·4 reaches D − 1 = 999.
    const auto short1 = segmentsOf(PlotMode::Compress, 4, 0, 1000.0);
    ASSERT_EQ(short1.size(), 249u);
    EXPECT_EQ(short1.back(), (PlotSegment{254, 255, 992, 996}));
    const auto shifted = segmentsOf(PlotMode::Compress, 4, 10, 1000.0);
    ASSERT_EQ(shifted.size(), 247u);
    EXPECT_EQ(shifted.back().toStep, 998);
    // The comparison is with the real D: D = 10.5 reaches index 9, D = 10 only index 8.
    EXPECT_EQ(segmentsOf(PlotMode::Compress, 1, 0, 10.5).back().toStep, 9);
    EXPECT_EQ(segmentsOf(PlotMode::Compress, 1, 0, 10.0).back().toStep, 8);
    EXPECT_TRUE(segmentsOf(PlotMode::Compress, 1, 0, 1.5).empty());
    EXPECT_TRUE(segmentsOf(PlotMode::Compress, 1, 0, std::nan("")).empty());
    EXPECT_TRUE(segmentsOf(PlotMode::Compress, 0, 0, 100.0).empty());
}

TEST(PlotSegments, StretchSpansKColumnsPerStep) {
    const auto wide = segmentsOf(PlotMode::Stretch, 4, 7, 1e6);
    ASSERT_EQ(wide.size(), 150u); // 601 div 4
    EXPECT_EQ(wide.front(), (PlotSegment{6, 10, 7, 8}));
    EXPECT_EQ(wide.back(), (PlotSegment{602, 606, 156, 157}));
    EXPECT_EQ(segmentsOf(PlotMode::Stretch, 1, 0, 1e6).back(), (PlotSegment{606, 607, 600, 601}));
    EXPECT_EQ(segmentsOf(PlotMode::Stretch, 16, 0, 1e6).size(), 37u);
    // The test is s0 + i + k < D − 1: with k = 16 and D = 30 the steps stop at 13.
    const auto few = segmentsOf(PlotMode::Stretch, 16, 0, 30.0);
    ASSERT_EQ(few.size(), 13u);
    EXPECT_EQ(few.back(), (PlotSegment{198, 214, 12, 13}));
}

TEST(PlotGrid, LinesStartAtTheCornerAndStayInsideThePlot) {
    const auto columns = gridColumns(32);
    ASSERT_EQ(columns.size(), 19u);
    EXPECT_EQ(columns.front(), 4);
    EXPECT_EQ(columns.back(), 580);
    EXPECT_EQ(gridRows(32), (std::vector<int>{46, 78, 110, 142, 174}));
    EXPECT_EQ(gridRows(36), (std::vector<int>{46, 82, 118, 154, 190}));
    EXPECT_EQ(gridSpacingForSize(10), 8);
    EXPECT_TRUE(gridColumns(0).empty());
}

TEST(PlotCursor, RightClickMarksAColumnAndAStep) {
    EXPECT_FALSE(markCursor(100, 100, 16, true, 2000.0, 0)); // k = 16: nothing at all
    EXPECT_FALSE(markCursor(100, 100, 1, false, 2000.0, 0));
    const auto mark = markCursor(100, 100, 1, true, 2000.0, 50);
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->lineColumn, 100);
    EXPECT_EQ(mark->step, 144);
    // Left of column 6: no line, but the step still moves (to one the numeric view ignores).
    const auto left = markCursor(3, 100, 1, true, 2000.0, 0);
    ASSERT_TRUE(left);
    EXPECT_FALSE(left->lineColumn);
    EXPECT_EQ(left->step, -3);
    EXPECT_FALSE(markCursor(100, 46, 1, true, 2000.0, 0)->lineColumn);
    // Beyond the data: x must stay below D + 5.
    EXPECT_TRUE(markCursor(14, 100, 1, true, 10.0, 0)->lineColumn);
    EXPECT_FALSE(markCursor(15, 100, 1, true, 10.0, 0)->lineColumn);
    EXPECT_EQ(lastFirstStep(10.5), 10);
    EXPECT_EQ(lastFirstStep(std::nan("")), 0);
}

} // namespace
} // namespace axolite::views
