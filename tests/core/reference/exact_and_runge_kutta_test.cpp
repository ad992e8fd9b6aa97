// The exact values beside the Runge-Kutta solution on two threads against the two in turn.
#include "core/reference/exact_and_runge_kutta.h"

#include "core/common/message.h"
#include "core/reference/exact_values.h"

#include "record_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace axolite::reference {
namespace {

using language::SeriesFamily;
using test::CancelAfter;
using test::gridRecord;

const std::array<std::string, 4> kFormulas = {"sin(x)*exp(-x/5)+2*x-1", "x", "0.0", "sqrt(x)"};

LinearSystem system3() {
    LinearSystem s;
    s.rows[0] = {-0.5, 1.25, 0.1, 0.0, 0.3};
    s.rows[1] = {-1.0, -0.2, 0.02, 0.0, 0.0};
    s.rows[2] = {0.3, 0.01, -0.9, 0.0, -1.0};
    s.initial = {1.0, -2.0, 0.5, 0.0};
    return s;
}

bool sameSeries(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::bit_cast<std::uint64_t>(a[i]) != std::bit_cast<std::uint64_t>(b[i])) {
            return false;
        }
    }
    return true;
}

TEST(ExactAndRungeKutta, TwoThreadsGiveWhatTheTwoInTurnGive) {
    auto expected = gridRecord(0.0, 30.0, 0.001, 4); // 30,000 points
    SilentProgress silent;
    computeExactValues(expected, kFormulas, silent);
    computeRungeKutta(expected, system3(), silent);

    auto actual = gridRecord(0.0, 30.0, 0.001, 4);
    actual.counters = {7, 7, 7}; // reset as the exact values reset them
    CancelAfter progress(1 << 30);
    const auto outcome = computeExactAndRungeKutta(actual, kFormulas, system3(), progress);
    EXPECT_EQ(outcome.exact, ComputationOutcome::Completed);
    EXPECT_EQ(outcome.rungeKutta, ComputationOutcome::Completed);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_TRUE(sameSeries(actual.exactSeries[k], expected.exactSeries[k])) << k;
        EXPECT_TRUE(sameSeries(actual.rungeKuttaSeries[k], expected.rungeKuttaSeries[k])) << k;
        for (const SeriesFamily family : {SeriesFamily::Exact, SeriesFamily::RungeKutta}) {
            const int c = static_cast<int>(k);
            EXPECT_EQ(actual.stats(family, c).maximum, expected.stats(family, c).maximum);
            EXPECT_EQ(actual.stats(family, c).minimum, expected.stats(family, c).minimum);
        }
    }
    EXPECT_EQ(actual.exactPresent, expected.exactPresent);
    EXPECT_EQ(actual.rungeKuttaPresent, expected.rungeKuttaPresent);
    EXPECT_EQ(actual.counters.additions, expected.counters.additions);
    EXPECT_EQ(actual.counters.multiplications, expected.counters.multiplications);
    EXPECT_EQ(actual.counters.divisions, expected.counters.divisions);
    EXPECT_EQ(actual.cancelRequested, 0);
    EXPECT_TRUE(std::is_sorted(progress.percents.begin(), progress.percents.end()));
    EXPECT_GE(progress.percents.back(), 99); // as far as each computation alone reports
}

TEST(ExactAndRungeKutta, AWrongFormulaStopsBothBeforeAnyPointAndACancelStopsBoth) {
    auto record = gridRecord(0.0, 30.0, 0.001, 2);
    SilentProgress silent;
    try {
        computeExactAndRungeKutta(record, {"x", "sin(x", "", ""}, system3(), silent);
        FAIL();
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.text(), "Функциональная зависимость y2 введена неверно.");
    }
    EXPECT_TRUE(record.rungeKuttaSeries[0].empty());

    // A million points: the exact values are far from done when the Runge-Kutta loop is cancelled.
    record.h = 0.00003;
    CancelAfter cancel(100);
    const auto outcome = computeExactAndRungeKutta(record, kFormulas, system3(), cancel);
    EXPECT_EQ(outcome.exact, ComputationOutcome::Cancelled);
    EXPECT_EQ(outcome.rungeKutta, ComputationOutcome::Cancelled);
    EXPECT_EQ(record.cancelRequested, 1);
    EXPECT_EQ(record.rungeKuttaSeries[0].back(), 0.0); // the last point was never reached
}

} // namespace
} // namespace axolite::reference
