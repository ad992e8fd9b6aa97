// The Runge-Kutta solver: analytic cases, the defined counts, and the incremental integration
// against the restart from the initial values for every point.
#include "core/reference/runge_kutta.h"
#include "core/reference/runge_kutta_kernel.h"

#include "record_builder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace axolite::reference {
namespace {

using language::OperationCounters;
using language::SeriesFamily;
using test::CancelAfter;
using test::gridRecord;

LinearSystem system(std::array<std::array<double, 5>, 4> rows, RungeKuttaState initial) {
    LinearSystem s;
    s.rows = rows;
    s.initial = initial;
    return s;
}

TEST(RungeKutta, ExponentialGrowthAfterOneStep) {
    const double h = 0.1;
    const auto s = system({{{1, 0, 0, 0, 0}}}, {1, 0, 0, 0});
    const RungeKuttaState y = rungeKuttaStep(s, s.initial, h);
    EXPECT_TRUE(axolite::test::nearlyEqual(
        y[0], 1 + h + h * h / 2 + h * h * h / 6 + h * h * h * h / 24, 1e-15));
}

TEST(RungeKutta, ConstantRightHandSideGivesTheGrid) {
    auto record = gridRecord(0.0, 2.0, 0.125, 1); // S = 16
    SilentProgress progress;
    computeRungeKutta(record, system({{{0, 0, 0, 0, 1}}}, {0, 0, 0, 0}), progress);
    ASSERT_EQ(record.rungeKuttaSeries[0].size(), 17u);
    for (int j = 0; j <= 16; ++j) {
        EXPECT_TRUE(axolite::test::nearlyEqual(record.rungeKuttaSeries[0][j], j * 0.125)) << j;
    }
    EXPECT_EQ(record.rungeKuttaPresent, (std::array<std::uint8_t, 4>{1, 0, 0, 0}));
    // Index S (2.0) is computed but not part of the statistics.
    EXPECT_EQ(record.stats(SeriesFamily::RungeKutta, 0).minimum, 0.0);
    EXPECT_TRUE(
        axolite::test::nearlyEqual(record.stats(SeriesFamily::RungeKutta, 0).maximum, 1.875));
}

TEST(RungeKutta, AllZeroRowsStayAtTheirInitialValuesUnflagged) {
    auto record = gridRecord(0.0, 1.0, 0.25, 4);
    SilentProgress progress;
    computeRungeKutta(record,
                      system({{{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}}}, {2, -3, 1, 0}),
                      progress);
    EXPECT_EQ(record.rungeKuttaPresent, (std::array<std::uint8_t, 4>{0, 0, 1, 0}));
    for (double v : record.rungeKuttaSeries[0]) {
        EXPECT_EQ(v, 2.0);
    }
    for (double v : record.rungeKuttaSeries[1]) {
        EXPECT_EQ(v, -3.0);
    }
    EXPECT_EQ(record.stats(SeriesFamily::RungeKutta, 0).range, 1.0); // not flagged, not scanned
}

TEST(RungeKutta, CountsFollowTheDefinedMethodAndAccumulate) {
    SilentProgress progress;
    auto one = gridRecord(0.0, 1.0, 1.0, 1); // S = 1: one step
    one.counters = {100, 200, 300};
    computeRungeKutta(one, system({{{1, 0, 0, 0, 0}}}, {1, 0, 0, 0}), progress);
    EXPECT_EQ(one.counters, (OperationCounters{126, 223, 308}));

    auto four = gridRecord(0.0, 3.0, 1.0, 4); // S = 3: 1 + 2 + 3 = 6 steps
    computeRungeKutta(four, system({{{1, 0, 0, 0, 0}}}, {1, 0, 0, 0}), progress);
    EXPECT_EQ(four.counters, (OperationCounters{6 * 4 * 26, 6 * 4 * 23, 6 * 4 * 8}));

    auto big = gridRecord(0.0, 100000.0, 1.0, 2); // 5 000 050 000 steps: beyond 32 bits
    computeRungeKutta(big, system({{{-0.001, 0, 0, 0, 0}}}, {1, 0, 0, 0}), progress);
    EXPECT_EQ(big.counters.additions, 5000050000LL * 2 * 26);

    auto cancelled = gridRecord(0.0, 10.0, 1.0, 1);
    CancelAfter stop(3); // points 1, 2, 3 computed: 1 + 2 + 3 steps
    EXPECT_EQ(computeRungeKutta(cancelled, system({{{1, 0, 0, 0, 0}}}, {1, 0, 0, 0}), stop),
              ComputationOutcome::Cancelled);
    EXPECT_EQ(cancelled.counters, (OperationCounters{6 * 26, 6 * 23, 6 * 8}));
    EXPECT_EQ(cancelled.rungeKuttaSeries[0][4], 0.0);
    EXPECT_NE(cancelled.rungeKuttaSeries[0][3], 0.0);
}

TEST(RungeKutta, IncrementalIntegrationEqualsRestartingForEveryPoint) {
    const auto s = system({{{-0.5, 1.25, 0.1, 0, 0.3},
                            {-1.0, -0.2, 0, 0.7, 0},
                            {0.3, 0, -0.9, 0.1, -1},
                            {0, 0.4, 0.2, -0.05, 0.01}}},
                          {1, -2, 0.5, 3});
    auto record = gridRecord(0.0, 3.0, 0.0123, 4);
    SilentProgress progress;
    computeRungeKutta(record, s, progress);
    const auto points = static_cast<int>(record.rungeKuttaSeries[0].size()) - 1;
    ASSERT_EQ(points, 243);
    for (int j = 1; j <= points; ++j) {
        RungeKuttaState y = s.initial;
        for (int step = 0; step < j; ++step) {
            y = rungeKuttaStep(s, y, record.h);
        }
        for (int k = 0; k < 4; ++k) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(record.rungeKuttaSeries[k][j]),
                      std::bit_cast<std::uint64_t>(y[k]))
                << j << " " << k;
        }
    }
}

TEST(RungeKutta, StepUsesExtendedPrecisionForTheSixth) {
    // y' = 1 over one step of h = 0.3: y = 0 + 6 · (h · 1/6). In double 0.3 · (1/6) · 6 would
    // not round back to 0.3 the same way.
    const auto s = system({{{0, 0, 0, 0, 1}}}, {0, 0, 0, 0});
    const double h = 0.3;
    const long double expected =
        static_cast<long double>(6.0) * (static_cast<long double>(h) * (1.0L / 6.0L));
    EXPECT_EQ(rungeKuttaStep(s, s.initial, h)[0], static_cast<double>(expected));
}

// One step exactly as the method is written, in scalar operations.
RungeKuttaState writtenStep(const LinearSystem& s, const RungeKuttaState& y, double h) {
    const auto f = [&](const RungeKuttaState& v) {
        RungeKuttaState out;
        for (int k = 0; k < 4; ++k) {
            const auto& r = s.rows[k];
            out[k] = (((r[0] * v[0] + r[1] * v[1]) + r[2] * v[2]) + r[3] * v[3]) + r[4];
        }
        return out;
    };
    const long double sixth = 1.0L / 6.0L;
    RungeKuttaState stage;
    const RungeKuttaState k1 = f(y);
    for (int k = 0; k < 4; ++k) {
        stage[k] = y[k] + (h * k1[k]) * 0.5;
    }
    const RungeKuttaState k2 = f(stage);
    for (int k = 0; k < 4; ++k) {
        stage[k] = y[k] + (h * k2[k]) * 0.5;
    }
    const RungeKuttaState k3 = f(stage);
    for (int k = 0; k < 4; ++k) {
        stage[k] = y[k] + h * k3[k];
    }
    const RungeKuttaState k4 = f(stage);
    RungeKuttaState next;
    for (int k = 0; k < 4; ++k) {
        const double weighted = ((k2[k] + k3[k]) * 2.0 + k1[k]) + k4[k];
        next[k] = static_cast<double>(y[k] + weighted * (h * sixth));
    }
    return next;
}

TEST(RungeKutta, StepsFollowTheWrittenFormulaBitForBit) {
    // Every coefficient non-zero and a step that is no power of two, so that another grouping of
    // the sums (k1 + 2·k2 + 2·k3 + k4, say) or a sixth in double precision shows in the last bits;
    // then systems whose stages leave the normal range (h·k subnormal, h·k beyond the largest
    // double) or hold zeros, where (h·k)·0.5 and (h·0.5)·k differ.
    const std::array<std::array<double, 5>, 4> ordinary = {{{-0.5, 1.25, 0.1, 0.3, 0.3},
                                                            {-1.0, -0.2, 0.6, 0.7, -0.4},
                                                            {0.3, 0.9, -0.9, 0.1, -1},
                                                            {0.2, 0.4, 0.2, -0.05, 0.01}}};
    struct Case {
        double scale; // of the coefficients
        RungeKuttaState initial;
        double h;
    };
    for (const Case& c :
         {Case{1.0, {1, -2, 0.5, 3}, 0.0123}, Case{1.0, {0, 0, 0, 0}, 0.0123},
          Case{1e-300, {3e-9, -1e-9, 7e-10, 1}, 0.0123}, Case{1e300, {1e5, -3, 2, 1}, 0.0123},
          Case{1.0, {1, -2, 0.5, 3}, 1e300}, Case{1.0, {1, 2, 3, 4}, 1e-310}}) {
        auto rows = ordinary;
        for (auto& row : rows) {
            for (double& coefficient : row) {
                coefficient *= c.scale;
            }
        }
        const auto s = system(rows, c.initial);
        RungeKuttaState y = s.initial;
        for (int step = 0; step < 200; ++step) {
            const RungeKuttaState next = writtenStep(s, y, c.h);
            const RungeKuttaState actual = rungeKuttaStep(s, y, c.h);
            for (int k = 0; k < 4; ++k) {
                ASSERT_EQ(std::bit_cast<std::uint64_t>(actual[k]),
                          std::bit_cast<std::uint64_t>(next[k]))
                    << "scale " << c.scale << " h " << c.h << " step " << step << " component "
                    << k;
            }
            y = next;
        }
    }
}

TEST(RungeKutta, PercentagesFollowTheGridPoints) {
    auto record = gridRecord(0.0, 0.75, 0.25, 1); // R = 3: points 0, 1, 2
    CancelAfter progress(1 << 30);
    computeRungeKutta(record, system({{{1, 0, 0, 0, 0}}}, {1, 0, 0, 0}), progress);
    // The last percentage of S points is trunc((S − 1) × 100 ÷ S).
    EXPECT_EQ(progress.percents, (std::vector<int>{0, 33, 66}));
}

TEST(RungeKutta, ReadingTheFieldsAndAbsentOutputs) {
    std::array<std::string, kSystemTextCount> texts;
    texts.fill("0.0");
    texts[0] = "1.5";
    texts[4] = "-2";
    texts[6] = "abc";
    texts[8] = "3.25x";
    texts[13] = "7";
    texts[20] = "0.5";
    texts[21] = "+1";
    texts[24] = "9";
    LinearSystem s = readLinearSystem(texts);
    EXPECT_EQ(s.rows[0], (std::array<double, 5>{1.5, 0, 0, 0, -2}));
    EXPECT_EQ(s.rows[1], (std::array<double, 5>{0, 0, 0, 3.25, 0}));
    EXPECT_EQ(s.rows[2][3], 7.0);
    EXPECT_EQ(s.x0, 0.5);
    EXPECT_EQ(s.initial, (RungeKuttaState{1, 0, 0, 9}));
    EXPECT_TRUE(rowPresent(s, 1));
    clearAbsentOutputs(s, {1, 1, 1, 0});
    EXPECT_FALSE(rowPresent(s, 1)); // its y4 coefficient is gone
    EXPECT_EQ(s.rows[2][3], 0.0);
    EXPECT_EQ(s.initial[3], 0.0);
    EXPECT_EQ(s.rows[0][0], 1.5);
}

TEST(RungeKutta, EmptyGridKeepsOnlyTheInitialValues) {
    auto record = gridRecord(0.0, 1.0, 5.0, 1);
    SilentProgress progress;
    computeRungeKutta(record, system({{{1, 0, 0, 0, 0}}}, {4, 0, 0, 0}), progress);
    EXPECT_EQ(record.rungeKuttaSeries[0], std::vector<double>{4.0});
    EXPECT_EQ(record.stats(SeriesFamily::RungeKutta, 0).range, 0.0);
    EXPECT_EQ(record.counters, OperationCounters{});
}

// The update computed in double and proven, against the extended-precision form: random steps,
// values over the whole range, sums within a few units of the last place of a midpoint between
// two doubles (where double rounding decides), zeros, infinities and NaN.
TEST(RungeKutta, ProvenUpdateEqualsTheExtendedFormBitForBit) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-1100, 1100);
    const auto same = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double specials[] = {0.0, -0.0, 1.0, -1.0, 4.9e-324, 2.2e-308, 1.7e308, inf, -inf, nan};
    long proven = 0, randomCases = 0;
    // The last three steps are beyond the range the proof works in: always the extended form.
    for (const double h : {0.0123, 1e-5, 0.3, 1.0, -0.7, 1e-300, 1e300, 0.0}) {
        const bool ordinaryStep = std::fabs(h) > 1e-200 && std::fabs(h) < 1e200;
        const long double s = static_cast<long double>(h) * (1.0L / 6.0L);
        const ExtendedUpdate update(s);
        const auto check = [&](double y, double w) {
            const DoublePair ys = {y, -y}, ws = {w, -w};
            const DoublePair r = update.candidate(ys, ws);
            const BitsPair accepted = update.proves(ys, ws, r);
            for (int lane = 0; lane < 2; ++lane) {
                const double expected = update.extended(ys[lane], ws[lane]);
                if (accepted[lane] != 0) {
                    EXPECT_TRUE(same(r[lane], expected))
                        << std::hexfloat << "h " << h << " y " << ys[lane] << " w " << ws[lane]
                        << " r " << r[lane] << " " << expected;
                }
            }
            return accepted[0] != 0;
        };
        for (const double y : specials) {
            for (const double w : specials) {
                check(y, w);
                check(-y, w);
            }
        }
        for (int i = 0; i < 20000; ++i) {
            // Ordinary steps: y changes by at most 1/4096 of itself (a step much larger
            // than that leaves fewer bits to round, and ties of y + w·sHigh, which need the
            // extended form, become frequent).
            const double y = unit(random) * std::ldexp(1.0, exponent(random) / 8);
            const double w = unit(random) * std::fabs(y) / (std::fabs(h) + 1e-300) / 4096.0;
            const bool accepted = check(y, w);
            proven += ordinaryStep && accepted ? 1 : 0;
            randomCases += ordinaryStep ? 1 : 0;
            // Any magnitudes at all.
            check(std::ldexp(unit(random), exponent(random)),
                  std::ldexp(unit(random), exponent(random)));
            // y + w·s within a few 2^-64 of the midpoint above y.
            const long double gap = std::nextafter(std::fabs(y), inf) - std::fabs(y);
            const long double target = static_cast<long double>(gap) / 2 +
                                       std::ldexp(static_cast<long double>(gap), -60) *
                                           static_cast<long double>(unit(random) * 4.0);
            if (s != 0.0L) {
                const double tie = static_cast<double>((y < 0 ? -target : target) / s);
                check(y, tie);
                check(y, std::nextafter(tie, inf));
                check(y, std::nextafter(tie, -inf));
            }
        }
    }
    // The proof is what makes the update fast: it must accept almost every ordinary step.
    EXPECT_GT(proven, randomCases * 97 / 100);
}

} // namespace
} // namespace axolite::reference
