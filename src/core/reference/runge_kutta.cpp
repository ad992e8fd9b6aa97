// The Runge-Kutta solver of the linear system.
#include "core/reference/runge_kutta.h"

#include "core/common/number_text.h"
#include "core/reference/runge_kutta_kernel.h"

#include <algorithm>

namespace axolite::reference {

namespace {

using language::kOutputCount;
using Row = std::array<double, 5>;

} // namespace

LinearSystem readLinearSystem(const std::array<std::string, kSystemTextCount>& texts) {
    LinearSystem system;
    for (int k = 0; k < kOutputCount; ++k) {
        for (int c = 0; c < 5; ++c) {
            system.rows[k][c] = readLeadingNumber(texts[static_cast<std::size_t>(k * 5 + c)]);
        }
    }
    system.x0 = readLeadingNumber(texts[20]);
    for (int k = 0; k < kOutputCount; ++k) {
        system.initial[k] = readLeadingNumber(texts[static_cast<std::size_t>(21 + k)]);
    }
    return system;
}

void clearAbsentOutputs(LinearSystem& system,
                        const std::array<std::uint8_t, kOutputCount>& networkPresent) {
    for (int k = 0; k < kOutputCount; ++k) {
        if (networkPresent[k]) {
            continue;
        }
        system.rows[k] = {};
        for (Row& row : system.rows) {
            row[k] = 0.0;
        }
        system.initial[k] = 0.0;
    }
}

bool rowPresent(const LinearSystem& system, int k) {
    for (const double coefficient : system.rows[k]) {
        if (coefficient != 0.0) {
            return true;
        }
    }
    return false;
}

RungeKuttaState rungeKuttaStep(const LinearSystem& system, const RungeKuttaState& y, double h) {
    return RungeKuttaKernel(system, h).step(y);
}

language::OperationCounters
rungeKuttaStepCounts(const std::array<std::uint8_t, kOutputCount>& networkPresent) {
    std::int64_t outputs = 0;
    for (const std::uint8_t flag : networkPresent) {
        outputs += flag ? 1 : 0;
    }
    // Four right-hand sides of 4 additions and 4 multiplications each, and the step's own
    // 10 additions, 7 multiplications and 8 divisions.
    return {26 * outputs, 23 * outputs, 8 * outputs};
}

namespace {

using Pairs = RungeKuttaKernel::Pairs;

// What the loop of the solution writes: the series, and the extremes of indices 0 .. S − 1 (a
// value replaces a minimum (maximum) only when it compares below (above), as in
// seriesStatistics, two components at a time).
struct Solution {
    std::array<double*, kOutputCount> series{};
    std::size_t points = 0;
    Pairs minimum{};
    Pairs maximum{};
    bool cancelled = false;

    void store(std::size_t index, const Pairs& y) {
        const RungeKuttaState values = RungeKuttaKernel::stateOf(y);
        for (int k = 0; k < kOutputCount; ++k) {
            series[k][index] = values[k];
        }
        if (index < points) {
            minimum.first = y.first < minimum.first ? y.first : minimum.first;
            minimum.second = y.second < minimum.second ? y.second : minimum.second;
            maximum.first = y.first > maximum.first ? y.first : maximum.first;
            maximum.second = y.second > maximum.second ? y.second : maximum.second;
        }
    }
};

// The points 1 .. S from the initial values, the progress and the cancel request after each;
// the number of values stored (the initial one included), and whether a cancel request ended it.
// Built twice, the processor choosing: with AVX2 the same operations take three-operand
// instructions and half the register copies (the loop is bound by the number of instructions more
// than by the chain of the steps).
__attribute__((target_clones("avx2", "default"))) std::size_t
solve(const RungeKuttaKernel& kernel, Pairs y, Solution& solution, double extent,
      Progress& progress, std::uint8_t& cancelRequested) {
    int percent = -1;
    std::int64_t nextPercent = 0; // the percentage changes first there
    solution.store(0, y);
    std::size_t stored = 1;
    for (std::size_t j = 0; j < solution.points; ++j) {
        y = kernel.step(y);
        solution.store(stored++, y);
        if (const auto point = static_cast<std::int64_t>(j); point >= nextPercent) {
            reportPercent(progress, point, extent, percent);
            nextPercent = nextPercentIndex(point, extent);
        }
        if (pollCancelled(progress, cancelRequested)) {
            solution.cancelled = true;
            break;
        }
    }
    return stored;
}

} // namespace

ComputationOutcome computeRungeKutta(language::NetworkRecord& record, const LinearSystem& system,
                                     Progress& progress) {
    record.cancelRequested = 0;
    const std::int32_t points = requireGridPointCount(record);
    const double extent = gridExtent(record);
    for (int k = 0; k < kOutputCount; ++k) {
        if (rowPresent(system, k)) {
            record.rungeKuttaPresent[k] = 1;
        }
    }
    // Every value of a series is written below (the ones after a cancel as 0.0), so a series of
    // the right length is not cleared first.
    const auto length = static_cast<std::size_t>(points) + 1;
    Solution solution;
    solution.points = static_cast<std::size_t>(points);
    for (int k = 0; k < kOutputCount; ++k) {
        record.rungeKuttaSeries[k].resize(length);
        solution.series[k] = record.rungeKuttaSeries[k].data();
    }
    const RungeKuttaKernel kernel(system, record.h);
    const std::size_t stored = solve(kernel, RungeKuttaKernel::pairsOf(system.initial), solution,
                                     extent, progress, record.cancelRequested);

    // The method as defined reaches point j with j steps from the initial values: the points
    // computed took 1 + 2 + … + n steps.
    const language::OperationCounters perStep = rungeKuttaStepCounts(record.networkPresent);
    const auto computed = static_cast<std::int64_t>(stored) - 1;
    const std::int64_t steps = computed * (computed + 1) / 2;
    record.counters.additions += steps * perStep.additions;
    record.counters.multiplications += steps * perStep.multiplications;
    record.counters.divisions += steps * perStep.divisions;
    const RungeKuttaState low = RungeKuttaKernel::stateOf(solution.minimum);
    const RungeKuttaState high = RungeKuttaKernel::stateOf(solution.maximum);
    for (int k = 0; k < kOutputCount; ++k) {
        std::fill(solution.series[k] + stored, solution.series[k] + length, 0.0);
        if (record.rungeKuttaPresent[k]) {
            record.stats(language::SeriesFamily::RungeKutta, k) = {low[k], high[k],
                                                                   high[k] - low[k]};
        }
    }
    return solution.cancelled ? ComputationOutcome::Cancelled : ComputationOutcome::Completed;
}

} // namespace axolite::reference
