// The exact-values computation: formulas parsed once, evaluated at every grid point.
#include "core/reference/exact_values.h"

#include "core/reference/formula.h"

#include <optional>

namespace axolite::reference {

ComputationOutcome
computeExactValues(language::NetworkRecord& record,
                   const std::array<std::string, language::kOutputCount>& formulas,
                   Progress& progress) {
    using language::kOutputCount;
    record.counters = {};
    record.cancelRequested = 0;
    record.exactPresent = {};
    const std::int32_t points = requireGridPointCount(record);
    const double extent = gridExtent(record);

    std::array<std::optional<Formula>, kOutputCount> compiled;
    for (int k = 0; k < kOutputCount; ++k) {
        if (record.networkPresent[k]) {
            compiled[k] = parseDependency(formulas[k], k + 1);
        }
    }
    // Fresh storage for every series; outputs the network lacks get none (they are never read).
    for (int k = 0; k < kOutputCount; ++k) {
        record.exactSeries[k].assign(compiled[k] ? static_cast<std::size_t>(points) : 0, 0.0);
    }

    ComputationOutcome outcome = ComputationOutcome::Completed;
    int percent = -1; // the percentage is passed on when it changes
    for (std::int32_t l = 0; l < points; ++l) {
        const double x = gridPoint(record, l);
        for (int k = 0; k < kOutputCount; ++k) {
            if (compiled[k]) {
                record.exactSeries[k][static_cast<std::size_t>(l)] = compiled[k]->evaluate(x);
                record.exactPresent[k] = 1;
            }
        }
        reportPercent(progress, l, extent, percent);
        if (pollCancelled(progress, record.cancelRequested)) {
            outcome = ComputationOutcome::Cancelled;
            break;
        }
    }

    for (int k = 0; k < kOutputCount; ++k) {
        if (record.exactPresent[k]) {
            record.stats(language::SeriesFamily::Exact, k) =
                language::seriesStatistics(record.exactSeries[k]);
        }
    }
    return outcome;
}

} // namespace axolite::reference
