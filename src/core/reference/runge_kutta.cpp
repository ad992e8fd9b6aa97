// The Runge-Kutta solver of the linear system.
#include "core/reference/runge_kutta.h"

#include "core/common/number_text.h"
#include "core/reference/runge_kutta_kernel.h"

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

ComputationOutcome computeRungeKutta(language::NetworkRecord& record, const LinearSystem& system,
                                     Progress& progress) {
    record.cancelRequested = 0;
    const std::int32_t points = requireGridPointCount(record);
    const double extent = gridExtent(record);
    const double h = record.h;
    for (int k = 0; k < kOutputCount; ++k) {
        if (rowPresent(system, k)) {
            record.rungeKuttaPresent[k] = 1;
        }
    }
    for (int k = 0; k < kOutputCount; ++k) {
        record.rungeKuttaSeries[k].assign(static_cast<std::size_t>(points) + 1, 0.0);
        record.rungeKuttaSeries[k][0] = system.initial[k];
    }
    const language::OperationCounters perStep = rungeKuttaStepCounts(record.networkPresent);

    ComputationOutcome outcome = ComputationOutcome::Completed;
    const RungeKuttaKernel kernel(system, h);
    std::array<double*, kOutputCount> series{};
    for (int k = 0; k < kOutputCount; ++k) {
        series[k] = record.rungeKuttaSeries[k].data();
    }
    int percent = -1;
    RungeKuttaState y = system.initial;
    for (std::int32_t j = 0; j < points; ++j) {
        y = kernel.step(y);
        const auto index = static_cast<std::size_t>(j) + 1;
        for (int k = 0; k < kOutputCount; ++k) {
            series[k][index] = y[k];
        }
        // The method as defined reaches point j + 1 with j + 1 steps from the initial values.
        const auto steps = static_cast<std::int64_t>(j) + 1;
        record.counters.additions += steps * perStep.additions;
        record.counters.multiplications += steps * perStep.multiplications;
        record.counters.divisions += steps * perStep.divisions;
        reportPercent(progress, j, extent, percent);
        if (pollCancelled(progress, record.cancelRequested)) {
            outcome = ComputationOutcome::Cancelled;
            break;
        }
    }

    for (int k = 0; k < kOutputCount; ++k) {
        if (record.rungeKuttaPresent[k]) {
            record.stats(language::SeriesFamily::RungeKutta, k) =
                language::seriesStatistics(std::span<const double>(
                    record.rungeKuttaSeries[k].data(), static_cast<std::size_t>(points)));
        }
    }
    return outcome;
}

} // namespace axolite::reference
