// The exact values of the analytic dependencies on the grid.
#include "core/reference/exact_values.h"

#include "record_builder.h"

#include "core/common/message.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include <cmath>

namespace axolite::reference {
namespace {

using language::SeriesFamily;
using test::CancelAfter;
using test::gridRecord;

TEST(ExactValues, FormulasFollowTheGridOfEveryPresentOutput) {
    auto record = gridRecord(0.5, 3.0, 0.25, 2); // S = 10
    record.counters = {5, 6, 7};
    SilentProgress progress;
    const auto outcome = computeExactValues(record, {"x", "0.0", "x*x", "2x"}, progress);
    EXPECT_EQ(outcome, ComputationOutcome::Completed);
    ASSERT_EQ(record.exactSeries[0].size(), 10u);
    for (int l = 0; l < 10; ++l) {
        EXPECT_EQ(record.exactSeries[0][l], 0.5 + l * 0.25);
        EXPECT_EQ(record.exactSeries[1][l], 0.0);
    }
    // Outputs 3 and 4 do not exist: their formulas (even a wrong one) are never read.
    EXPECT_EQ((std::array<std::uint8_t, 4>{1, 1, 0, 0}), record.exactPresent);
    EXPECT_EQ(record.counters, language::OperationCounters{});
    // Statistics start at 0.0: an entirely positive series has minimum 0.
    const auto& stats = record.stats(SeriesFamily::Exact, 0);
    EXPECT_EQ(stats.minimum, 0.0);
    EXPECT_EQ(stats.maximum, 0.5 + 9 * 0.25);
    EXPECT_EQ(stats.range, stats.maximum);
    EXPECT_EQ(record.stats(SeriesFamily::Exact, 1).range, 0.0);
    EXPECT_EQ(record.stats(SeriesFamily::Exact, 2).range, 1.0); // never computed
}

TEST(ExactValues, NegativeSeriesKeepsMaximumZeroAndPartialIntervalAddsNoPoint) {
    auto record = gridRecord(0.0, 1.05, 0.1, 1); // R = 10.5 → 10 points
    SilentProgress progress;
    computeExactValues(record, {"-x-1", "0", "0", "0"}, progress);
    ASSERT_EQ(record.exactSeries[0].size(), 10u);
    EXPECT_EQ(record.stats(SeriesFamily::Exact, 0).maximum, 0.0);
    EXPECT_EQ(record.stats(SeriesFamily::Exact, 0).minimum, (0.0 - 0.9) - 1.0);
}

TEST(ExactValues, AWrongFormulaStopsWithItsMessageAndRaisesNoFlag) {
    auto record = gridRecord(0.0, 1.0, 0.1, 4);
    SilentProgress progress;
    try {
        computeExactValues(record, {"x", "sin(x)", "x*-1", "x"}, progress);
        FAIL();
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.kind(), MessageKind::Error);
        EXPECT_EQ(e.text(), "Функциональная зависимость y3 введена неверно.");
    }
    EXPECT_EQ((std::array<std::uint8_t, 4>{}), record.exactPresent);
}

TEST(ExactValues, CancelKeepsThePointsComputedSoFar) {
    auto record = gridRecord(0.0, 10.0, 1.0, 1);
    CancelAfter progress(3);
    EXPECT_EQ(computeExactValues(record, {"x+1", "", "", ""}, progress),
              ComputationOutcome::Cancelled);
    EXPECT_EQ(record.cancelRequested, 1);
    EXPECT_EQ(record.exactPresent[0], 1);
    EXPECT_EQ(record.exactSeries[0][2], 3.0);
    EXPECT_EQ(record.exactSeries[0][3], 0.0);
    EXPECT_EQ(progress.percents, (std::vector<int>{0, 10, 20}));
    EXPECT_EQ(record.stats(SeriesFamily::Exact, 0).maximum, 3.0);
}

TEST(ExactValues, PercentagesFollowTheGridPointsOfAPartialInterval) {
    auto record = gridRecord(0.0, 2.625, 0.25, 1); // R = 10.5: points 0 .. 9
    CancelAfter progress(1 << 30);
    EXPECT_EQ(computeExactValues(record, {"x", "", "", ""}, progress),
              ComputationOutcome::Completed);
    // trunc(l × 100 ÷ R): compared with R itself, so the last is 85, not 90.
    EXPECT_EQ(progress.percents, (std::vector<int>{0, 9, 19, 28, 38, 47, 57, 66, 76, 85}));
    EXPECT_EQ(record.cancelRequested, 0);
}

TEST(ExactValues, EmptyAndAbsurdGrids) {
    auto empty = gridRecord(0.0, 1.0, 2.0, 1); // S = 0
    SilentProgress progress;
    EXPECT_EQ(computeExactValues(empty, {"x", "", "", ""}, progress),
              ComputationOutcome::Completed);
    EXPECT_TRUE(empty.exactSeries[0].empty());
    EXPECT_EQ(empty.exactPresent[0], 0);

    auto zeroStep = gridRecord(0.0, 1.0, 0.0, 1);
    EXPECT_THROW(computeExactValues(zeroStep, {"x", "", "", ""}, progress), AxoliteError);
    auto backwards = gridRecord(1.0, 0.0, 0.1, 1);
    EXPECT_EQ(computeExactValues(backwards, {"x", "", "", ""}, progress),
              ComputationOutcome::Completed);
    EXPECT_TRUE(backwards.exactSeries[0].empty());
}

TEST(Computation, PercentagesAndGrid) {
    EXPECT_EQ(percentAt(3, 4.0), 75);
    EXPECT_EQ(percentAt(9, 10.5), 85);
    EXPECT_EQ(percentAt(0, 0.0), 0);
    auto record = gridRecord(0.0, 1.0, 0.25, 1);
    EXPECT_EQ(gridPointCount(record), 4);
    EXPECT_EQ(gridPoint(record, 3), 0.75);
    auto nan = gridRecord(0.0, 0.0, 0.0, 1);
    EXPECT_EQ(gridPointCount(nan), 0);
}

// The index where the percentage changes next, against a scan of every index.
TEST(Computation, NextPercentIndexIsWhereThePercentageChanges) {
    for (const double extent : {0.5, 3.0, 7.5, 100.0, 1000.0, 12345.678, 999999.0}) {
        const auto last = static_cast<std::int64_t>(extent) + 2;
        std::int64_t expected = 0;
        for (std::int64_t index = 0; index <= last; ++index) {
            if (index == expected || expected <= index) {
                expected = index + 1;
                while (expected <= last + 1 &&
                       percentAt(expected, extent) == percentAt(index, extent)) {
                    ++expected;
                }
            }
            const std::int64_t next = nextPercentIndex(index, extent);
            if (percentAt(index, extent) == 100) {
                EXPECT_EQ(next, std::numeric_limits<std::int64_t>::max()) << extent << " " << index;
            } else {
                ASSERT_EQ(next, expected) << extent << " " << index;
            }
        }
    }
}

} // namespace
} // namespace axolite::reference
