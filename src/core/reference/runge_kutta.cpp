// The Runge-Kutta solver of the linear system.
#include "reference/runge_kutta.h"

#include "reference/number_text.h"

namespace axolite::reference {

namespace {

using language::kOutputCount;
using Row = std::array<double, 5>;

// The coefficients by column, so that the four components of the right-hand side are computed
// side by side (each component still as (((a·y1 + b·y2) + c·y3) + d·y4) + e).
struct Columns {
    RungeKuttaState a, b, c, d, e;
};

Columns columnsOf(const LinearSystem& system) {
    Columns columns;
    for (int k = 0; k < kOutputCount; ++k) {
        const Row& r = system.rows[k];
        columns.a[k] = r[0];
        columns.b[k] = r[1];
        columns.c[k] = r[2];
        columns.d[k] = r[3];
        columns.e[k] = r[4];
    }
    return columns;
}

inline RungeKuttaState rightHandSide(const Columns& m, const RungeKuttaState& y) {
    RungeKuttaState f;
    for (int k = 0; k < kOutputCount; ++k) {
        f[k] = (((m.a[k] * y[0] + m.b[k] * y[1]) + m.c[k] * y[2]) + m.d[k] * y[3]) + m.e[k];
    }
    return f;
}

// 1/6 in extended precision.
constexpr long double kSixth = 1.0L / 6.0L;

inline RungeKuttaState stepOf(const Columns& system, const RungeKuttaState& y, double h) {
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
    return stepOf(columnsOf(system), y, h);
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
    const Columns columns = columnsOf(system);
    std::array<double*, kOutputCount> series{};
    for (int k = 0; k < kOutputCount; ++k) {
        series[k] = record.rungeKuttaSeries[k].data();
    }
    int percent = -1;
    RungeKuttaState y = system.initial;
    for (std::int32_t j = 0; j < points; ++j) {
        y = stepOf(columns, y, h);
        const auto index = static_cast<std::size_t>(j) + 1;
        for (int k = 0; k < kOutputCount; ++k) {
            series[k][index] = y[k];
        }
        // The method as defined reaches point j + 1 with j + 1 steps from the initial values.
        const auto steps = static_cast<std::int64_t>(j) + 1;
        record.counters.additions += steps * perStep.additions;
        record.counters.multiplications += steps * perStep.multiplications;
        record.counters.divisions += steps * perStep.divisions;
        if (const int now = percentAt(j, extent); now != percent) {
            percent = now;
            progress.setPercent(percent);
        }
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
