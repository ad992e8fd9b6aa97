// Exact values on a second thread beside the Runge-Kutta solution on the calling one.
#include "core/reference/exact_and_runge_kutta.h"

#include "core/reference/exact_values.h"
#include "core/reference/formula.h"
#include "core/reference/shared_progress.h"

#include <cstdint>
#include <future>

namespace axolite::reference {

ExactAndRungeKuttaOutcome
computeExactAndRungeKutta(language::NetworkRecord& record,
                          const std::array<std::string, language::kOutputCount>& formulas,
                          const LinearSystem& system, Progress& progress) {
    // The errors the exact values would throw before any point, thrown before either starts.
    requireGridPointCount(record);
    for (int k = 0; k < language::kOutputCount; ++k) {
        if (record.networkPresent[static_cast<std::size_t>(k)]) {
            parseDependency(formulas[static_cast<std::size_t>(k)], k + 1);
        }
    }
    // The exact values reset the counters, which the Runge-Kutta solution then accumulates. The
    // two write apart otherwise: each its own series, flags and statistics, and the exact values
    // their own cancel flag.
    record.counters = {};
    const double points = static_cast<double>(gridPointCount(record)) + 1.0;
    SharedProgress shared(progress, {points, points});
    std::uint8_t exactCancelled = 0;
    std::future<ComputationOutcome> exact = std::async(std::launch::async, [&] {
        return computeExactSeries(record, formulas, shared.part(0), exactCancelled);
    });
    ExactAndRungeKuttaOutcome outcome;
    try {
        outcome.rungeKutta = computeRungeKutta(record, system, shared.part(1));
    } catch (...) {
        shared.cancel();
        exact.wait();
        throw;
    }
    if (outcome.rungeKutta == ComputationOutcome::Cancelled) {
        shared.cancel();
    }
    outcome.exact = shared.wait(exact);
    record.cancelRequested = record.cancelRequested | exactCancelled;
    return outcome;
}

} // namespace axolite::reference
