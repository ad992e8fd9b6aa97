// What the result views read from a description record: the twelve series (network output
// activity, Runge-Kutta and exact values of y1..y4) on one time grid, their presence, colours and
// statistics, and the estimates of the maximal absolute error.
#pragma once

#include "core/language/network_record.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace axolite::views {

using language::SeriesFamily;

// D = (t1 − t0) ÷ h, and N = trunc(D): index j (0 ≤ j < N) stands for x_j = t0 + j × h.
double gridExtent(const language::NetworkRecord& record);
std::int32_t gridPointCount(const language::NetworkRecord& record);

// Whether series k (0..3) of the family holds computed values.
bool seriesPresent(const language::NetworkRecord& record, SeriesFamily family, int k);
// Whether any series of the family is present.
bool anySeriesPresent(const language::NetworkRecord& record, SeriesFamily family);

// The values of series k that a view may read: at most N of them, and no more than the series
// holds (a cancelled computation can leave fewer). Empty when the series is absent.
std::span<const double> seriesValues(const language::NetworkRecord& record, SeriesFamily family,
                                     int k);

// value(family, k, j); nothing when the series is absent or j lies outside seriesValues.
std::optional<double> seriesValue(const language::NetworkRecord& record, SeriesFamily family, int k,
                                  std::int32_t j);

struct SeriesColour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    bool operator==(const SeriesColour&) const = default;
};

// The fixed colour of every curve and legend swatch of a series.
SeriesColour seriesColour(SeriesFamily family, int k);

// Minimum and maximum from 0.0 over the values, and the range between them.
using language::seriesStatistics;

// E(a, b): the largest |a_j − b_j| over j = 0 .. n − 2, starting from 0.0, where n is the grid's
// point count (the last point takes no part); never beyond the end of a or b.
double maximalAbsoluteError(std::span<const double> a, std::span<const double> b,
                            std::int32_t points);

// The network error: the largest E(output series k, exact series k) over the components with
// exact values. Nothing when no exact series is present.
std::optional<double> networkErrorEstimate(const language::NetworkRecord& record);

// The Runge-Kutta error: the largest E(Runge-Kutta series k, exact series k) over the components
// with both, starting from 0.0. Nothing when no exact series or no Runge-Kutta series is present.
std::optional<double> rungeKuttaErrorEstimate(const language::NetworkRecord& record);

// What the numeric view shows for an estimate: "%16.10E", or "       Недоступна" without one.
inline constexpr const char* kEstimateUnavailable = "       Недоступна";
std::string errorEstimateText(std::optional<double> estimate);

} // namespace axolite::views
