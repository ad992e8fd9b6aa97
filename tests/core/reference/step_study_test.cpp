// The step-size study: the observed orders of Euler (1) and Runge-Kutta (4) on y' = −y and on the
// oscillator, the reference without exact values, a diverging network, the step limit, a wrong
// formula and a cancel.
#include "core/reference/step_study.h"

#include "core/common/message.h"

#include "record_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>

namespace axolite::reference {
namespace {

StepStudyRequest decay(int halvings) {
    StepStudyRequest r;
    r.system.rows[0] = {-1, 0, 0, 0, 0};
    r.system.initial[0] = 1;
    r.outputs = 1;
    r.grid = {0, 2, 0.1};
    r.halvings = halvings;
    r.exact[0] = "exp(-x)";
    return r;
}

StepStudyRequest oscillator(int halvings) {
    StepStudyRequest r;
    r.system.rows[0] = {0, 1, 0, 0, 0};
    r.system.rows[1] = {-1, 0, 0, 0, 0};
    r.system.initial = {0, 1, 0, 0};
    r.outputs = 2;
    r.grid = {0, 10, 0.1};
    r.halvings = halvings;
    r.exact = {"sin(x)", "cos(x)", "", ""};
    return r;
}

void expectOrders(const StepStudyResult& result, double network, double rk, double tolerance) {
    ASSERT_GE(result.rows.size(), 2u);
    EXPECT_FALSE(result.rows[0].networkOrder);
    EXPECT_FALSE(result.rows[0].rungeKuttaOrder);
    for (std::size_t r = 1; r < result.rows.size(); ++r) {
        const StepStudyRow& row = result.rows[r];
        EXPECT_EQ(row.steps, 2 * result.rows[r - 1].steps);
        EXPECT_EQ(row.h, result.rows[r - 1].h / 2);
        ASSERT_TRUE(row.networkOrder && row.rungeKuttaOrder);
        EXPECT_NEAR(*row.networkOrder, network, tolerance) << r;
        EXPECT_NEAR(*row.rungeKuttaOrder, rk, tolerance) << r;
    }
}

TEST(StepStudy, EulerShowsOrderOneAndRungeKuttaOrderFour) {
    SilentProgress silent;
    const StepStudyResult d = runStepStudy(decay(4), silent);
    EXPECT_TRUE(d.againstExact);
    EXPECT_EQ(d.rows.size(), 5u);
    expectOrders(d, 1.0, 4.0, 0.07);
    const StepStudyResult o = runStepStudy(oscillator(4), silent);
    expectOrders(o, 1.0, 4.0, 0.2);
    // The Euler network of the oscillator spirals out: at h = 0.1 its error is large.
    EXPECT_GT(*o.rows[0].networkError, 0.5);
}

TEST(StepStudy, WithoutExactValuesTheNetworkIsMeasuredAgainstRungeKuttaAndEmptyGridsHaveNoError) {
    StepStudyRequest r = decay(2);
    r.exact[0].clear();
    SilentProgress silent;
    const StepStudyResult result = runStepStudy(r, silent);
    EXPECT_FALSE(result.againstExact);
    ASSERT_EQ(result.rows.size(), 3u);
    for (const StepStudyRow& row : result.rows) {
        EXPECT_FALSE(row.rungeKuttaError);
        EXPECT_FALSE(row.rungeKuttaOrder);
    }
    EXPECT_NEAR(*result.rows[2].networkOrder, 1.0, 0.05);

    // A grid without steps compares nothing: no error, and no order after it.
    r.grid = {0, 1, 2};
    r.halvings = 2;
    const StepStudyResult coarse = runStepStudy(r, silent);
    ASSERT_EQ(coarse.rows.size(), 3u);
    EXPECT_EQ(coarse.rows[0].steps, 0);
    EXPECT_FALSE(coarse.rows[0].networkError);
    EXPECT_FALSE(coarse.rows[1].networkOrder);
    EXPECT_TRUE(coarse.rows[2].networkError);
}

TEST(StepStudy, ADivergingNetworkGivesInfiniteErrorsAndNoOrder) {
    // h·λ = −10: the Euler factor −9 overflows long before 10^4 steps.
    StepStudyRequest r = decay(5);
    r.system.rows[0][0] = -100;
    r.grid = {0, 100, 0.1};
    r.exact[0] = "exp(-100*x)";
    SilentProgress silent;
    const StepStudyResult result = runStepStudy(r, silent);
    ASSERT_EQ(result.rows.size(), 6u);
    for (int row = 0; row < 3; ++row) {
        EXPECT_TRUE(std::isinf(*result.rows[row].networkError)) << row;
        EXPECT_TRUE(result.rows[row].networkOutOfRange);
        EXPECT_FALSE(result.rows[row].networkOrder);
    }
    // h = 0.0125 and below: |1 − 100h| < 1, the network converges again.
    EXPECT_TRUE(std::isfinite(*result.rows[3].networkError));
    EXPECT_FALSE(result.rows[3].networkOrder); // no order against an infinite error
    EXPECT_TRUE(result.rows[4].networkOrder);
}

TEST(StepStudy, AGridBeyondTheStepLimitEndsTheStudyWithANote) {
    StepStudyRequest r = decay(5);
    r.grid = {0, 600, 0.001}; // 600 000 steps, then 1 200 000
    r.exact[0].clear();
    SilentProgress silent;
    const StepStudyResult result = runStepStudy(r, silent);
    EXPECT_EQ(result.rows.size(), 1u);
    ASSERT_TRUE(result.note);
    EXPECT_EQ(*result.note,
              "Шаг 0.0005 дал бы 1200000 шагов (не более 1000000): исследование остановлено.");
    r.grid = {0, 600, 0.0005};
    EXPECT_THROW(runStepStudy(r, silent), AxoliteError); // the first grid is already too fine
}

TEST(StepStudy, AWrongFormulaIsRefusedBeforeAnyRunAndACancelKeepsTheRowsDone) {
    StepStudyRequest r = decay(3);
    r.exact[0] = "exp(-x";
    test::CancelAfter never(1 << 30);
    try {
        runStepStudy(r, never);
        FAIL();
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.message().text, "Функциональная зависимость y1 введена неверно.");
    }
    EXPECT_TRUE(never.percents.empty());

    // Grids of 20, 40, 80, 160 points: each polls after every simulated step (S − 1), every exact
    // value and every Runge-Kutta point. A cancel in the third grid keeps the first two rows.
    test::CancelAfter cancel((19 + 20 + 20) + (39 + 40 + 40) + 50);
    const StepStudyResult result = runStepStudy(decay(3), cancel);
    EXPECT_EQ(result.outcome, ComputationOutcome::Cancelled);
    EXPECT_EQ(result.rows.size(), 2u);
}

bool sameRow(const StepStudyRow& a, const StepStudyRow& b) {
    const auto same = [](const std::optional<double>& x, const std::optional<double>& y) {
        return x.has_value() == y.has_value() &&
               (!x || std::bit_cast<std::uint64_t>(*x) == std::bit_cast<std::uint64_t>(*y));
    };
    return a.h == b.h && a.steps == b.steps && same(a.networkError, b.networkError) &&
           same(a.rungeKuttaError, b.rungeKuttaError) && same(a.networkOrder, b.networkOrder) &&
           same(a.rungeKuttaOrder, b.rungeKuttaOrder) && a.networkOutOfRange == b.networkOutOfRange;
}

// A study large enough for two threads gives the rows of the grids in turn, bit for bit, and its
// percentages rise to 100; a cancel keeps only whole rows from the first grid on.
TEST(StepStudy, GridsOnTwoThreadsGiveTheRowsOfTheGridsInTurn) {
    StepStudyRequest request = oscillator(5); // 1000 .. 32000 steps
    request.grid.h = 0.01;
    request.inParallel = false;
    test::CancelAfter inTurn(1 << 30);
    const StepStudyResult expected = runStepStudy(request, inTurn);
    request.inParallel = true;
    test::CancelAfter parallel(1 << 30);
    const StepStudyResult actual = runStepStudy(request, parallel);
    ASSERT_EQ(actual.rows.size(), expected.rows.size());
    for (std::size_t r = 0; r < expected.rows.size(); ++r) {
        EXPECT_TRUE(sameRow(actual.rows[r], expected.rows[r])) << r;
    }
    EXPECT_EQ(actual.outcome, ComputationOutcome::Completed);
    EXPECT_TRUE(std::is_sorted(parallel.percents.begin(), parallel.percents.end()));
    EXPECT_EQ(parallel.percents.back(), 100);

    for (const int polls : {1, 2000, 20000}) {
        test::CancelAfter cancel(polls);
        const StepStudyResult cut = runStepStudy(request, cancel);
        EXPECT_EQ(cut.outcome, ComputationOutcome::Cancelled) << polls;
        ASSERT_LT(cut.rows.size(), expected.rows.size()) << polls;
        for (std::size_t r = 0; r < cut.rows.size(); ++r) {
            EXPECT_TRUE(sameRow(cut.rows[r], expected.rows[r])) << polls << " " << r;
        }
    }
}

} // namespace
} // namespace axolite::reference
