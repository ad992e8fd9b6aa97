// The Runge-Kutta solver of the linear system.
#include "reference/runge_kutta.h"

#include "reference/number_text.h"

namespace axolite::reference {

namespace {

using language::kOutputCount;
using Row = std::array<double, 5>;

inline RungeKuttaState rightHandSide(const LinearSystem& system, const RungeKuttaState& y) {
    RungeKuttaState f;
    for (int k = 0; k < kOutputCount; ++k) {
        const Row& r = system.rows[k];
        f[k] = (((r[0] * y[0] + r[1] * y[1]) + r[2] * y[2]) + r[3] * y[3]) + r[4];
    }
    return f;
}

// 1/6 in extended precision.
constexpr long double kSixth = 1.0L / 6.0L;

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
    RungeKuttaState stage;
    const RungeKuttaState k1 = rightHandSide(system, y);
    for (int k = 0; k < kOutputCount; ++k) {
        stage[k] = y[k] + (h * k1[k]) * 0.5;
    }
    const RungeKuttaState k2 = rightHandSide(system, stage);
    for (int k = 0; k < kOutputCount; ++k) {
        stage[k] = y[k] + (h * k2[k]) * 0.5;
    }
    const RungeKuttaState k3 = rightHandSide(system, stage);
    for (int k = 0; k < kOutputCount; ++k) {
        stage[k] = y[k] + h * k3[k];
    }
    const RungeKuttaState k4 = rightHandSide(system, stage);
    const long double sixthOfStep = static_cast<long double>(h) * kSixth;
    RungeKuttaState next;
    for (int k = 0; k < kOutputCount; ++k) {
        const double weighted = ((k2[k] + k3[k]) * 2.0 + k1[k]) + k4[k];
        next[k] = static_cast<double>(static_cast<long double>(y[k]) +
                                      static_cast<long double>(weighted) * sixthOfStep);
    }
    return next;
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
    RungeKuttaState y = system.initial;
    for (std::int32_t j = 0; j < points; ++j) {
        y = rungeKuttaStep(system, y, h);
        const auto index = static_cast<std::size_t>(j) + 1;
        for (int k = 0; k < kOutputCount; ++k) {
            record.rungeKuttaSeries[k][index] = y[k];
        }
        // The method as defined reaches point j + 1 with j + 1 steps from the initial values.
        const auto steps = static_cast<std::int64_t>(j) + 1;
        record.counters.additions += steps * perStep.additions;
        record.counters.multiplications += steps * perStep.multiplications;
        record.counters.divisions += steps * perStep.divisions;
        progress.setPercent(percentAt(j, extent));
        if (pollCancelled(progress, record.cancelRequested)) {
            outcome = ComputationOutcome::Cancelled;
            break;
        }
    }

    for (int k = 0; k < kOutputCount; ++k) {
        if (record.rungeKuttaPresent[k]) {
            record.stats(language::SeriesFamily::RungeKutta, k) = seriesStatistics(
                record.rungeKuttaSeries[k].data(), static_cast<std::size_t>(points));
        }
    }
    return outcome;
}

} // namespace axolite::reference
