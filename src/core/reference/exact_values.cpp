// The exact-values computation: formulas parsed once, evaluated at every grid point.
#include "core/reference/exact_values.h"

#include "core/reference/formula.h"

#include <algorithm>
#include <optional>
#include <span>

namespace axolite::reference {

namespace {

// The grid points evaluated between two passes over the progress.
constexpr std::size_t kChunk = 1024;

// Zeroes the exact values computed beyond a cancel: points first .. end − 1.
void clearAfter(language::NetworkRecord& record, std::size_t first, std::size_t end) {
    for (std::vector<double>& series : record.exactSeries) {
        if (series.size() >= end) {
            std::fill(series.begin() + static_cast<std::ptrdiff_t>(first),
                      series.begin() + static_cast<std::ptrdiff_t>(end), 0.0);
        }
    }
}

} // namespace

ComputationOutcome
computeExactValues(language::NetworkRecord& record,
                   const std::array<std::string, language::kOutputCount>& formulas,
                   Progress& progress) {
    record.counters = {};
    record.cancelRequested = 0;
    return computeExactSeries(record, formulas, progress, record.cancelRequested);
}

ComputationOutcome
computeExactSeries(language::NetworkRecord& record,
                   const std::array<std::string, language::kOutputCount>& formulas,
                   Progress& progress, std::uint8_t& cancelFlag) {
    using language::kOutputCount;
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

    // The formulas run over a chunk of grid points at a time; the percentage and the cancel
    // request are still taken point by point, and a cancel leaves the points after it as zero.
    ComputationOutcome outcome = ComputationOutcome::Completed;
    int percent = -1; // the percentage is passed on when it changes
    std::array<double, kChunk> xs{};
    for (std::int32_t from = 0; from < points && outcome == ComputationOutcome::Completed;
         from += static_cast<std::int32_t>(kChunk)) {
        const auto n = static_cast<std::size_t>(std::min<std::int32_t>(kChunk, points - from));
        for (std::size_t i = 0; i < n; ++i) {
            xs[i] = gridPoint(record, from + static_cast<std::int32_t>(i));
        }
        for (int k = 0; k < kOutputCount; ++k) {
            if (compiled[k]) {
                compiled[k]->evaluate(
                    std::span(xs.data(), n),
                    std::span(record.exactSeries[k]).subspan(static_cast<std::size_t>(from), n));
                record.exactPresent[k] = 1;
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            const std::int32_t l = from + static_cast<std::int32_t>(i);
            reportPercent(progress, l, extent, percent);
            if (pollCancelled(progress, cancelFlag)) {
                outcome = ComputationOutcome::Cancelled;
                clearAfter(record, static_cast<std::size_t>(l) + 1,
                           static_cast<std::size_t>(from) + n);
                break;
            }
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
