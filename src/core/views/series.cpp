// Series access, statistics and error estimates of the result views.
#include "core/views/series.h"

#include "core/common/number_text.h"
#include "core/reference/computation.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace axolite::views {

namespace {

using language::kOutputCount;
using language::NetworkRecord;

const std::array<std::uint8_t, kOutputCount>& presenceFlags(const NetworkRecord& record,
                                                            SeriesFamily family) {
    switch (family) {
    case SeriesFamily::Network:
        return record.networkPresent;
    case SeriesFamily::RungeKutta:
        return record.rungeKuttaPresent;
    case SeriesFamily::Exact:
        break;
    }
    return record.exactPresent;
}

const std::vector<double>& storedSeries(const NetworkRecord& record, SeriesFamily family, int k) {
    switch (family) {
    case SeriesFamily::Network:
        return record.outputSeries[k];
    case SeriesFamily::RungeKutta:
        return record.rungeKuttaSeries[k];
    case SeriesFamily::Exact:
        break;
    }
    return record.exactSeries[k];
}

bool anyExact(const NetworkRecord& record) {
    return anySeriesPresent(record, SeriesFamily::Exact);
}

bool anyRungeKutta(const NetworkRecord& record) {
    return anySeriesPresent(record, SeriesFamily::RungeKutta);
}

// The largest E(series k of the family, exact series k) over the components with exact values;
// an absent series of the family compares no point.
double largestErrorAgainstExact(const NetworkRecord& record, SeriesFamily family) {
    const std::int32_t points = gridPointCount(record);
    double largest = 0.0;
    for (int k = 0; k < kOutputCount; ++k) {
        if (seriesPresent(record, SeriesFamily::Exact, k)) {
            const double error =
                maximalAbsoluteError(seriesValues(record, family, k),
                                     seriesValues(record, SeriesFamily::Exact, k), points);
            largest = std::max(largest, error);
        }
    }
    return largest;
}

} // namespace

bool anySeriesPresent(const NetworkRecord& record, SeriesFamily family) {
    for (int k = 0; k < kOutputCount; ++k) {
        if (seriesPresent(record, family, k)) {
            return true;
        }
    }
    return false;
}

double gridExtent(const NetworkRecord& record) {
    return reference::gridExtent(record);
}

std::int32_t gridPointCount(const NetworkRecord& record) {
    return reference::gridPointCount(record);
}

bool seriesPresent(const NetworkRecord& record, SeriesFamily family, int k) {
    return k >= 0 && k < kOutputCount && presenceFlags(record, family)[k] != 0;
}

std::span<const double> seriesValues(const NetworkRecord& record, SeriesFamily family, int k) {
    if (!seriesPresent(record, family, k)) {
        return {};
    }
    const std::vector<double>& series = storedSeries(record, family, k);
    const auto points = static_cast<std::size_t>(gridPointCount(record));
    return {series.data(), std::min(points, series.size())};
}

std::optional<double> seriesValue(const NetworkRecord& record, SeriesFamily family, int k,
                                  std::int32_t j) {
    const std::span<const double> values = seriesValues(record, family, k);
    if (j < 0 || static_cast<std::size_t>(j) >= values.size()) {
        return std::nullopt;
    }
    return values[static_cast<std::size_t>(j)];
}

SeriesColour seriesColour(SeriesFamily family, int k) {
    static constexpr std::array<std::array<SeriesColour, kOutputCount>, 3> kColours{{
        {{{0, 0, 255}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}}},
        {{{96, 128, 255}, {255, 96, 0}, {255, 32, 255}, {160, 32, 255}}},
        {{{0, 128, 0}, {255, 160, 64}, {255, 160, 255}, {96, 255, 255}}},
    }};
    return kColours[static_cast<std::size_t>(family)][static_cast<std::size_t>(k)];
}

double maximalAbsoluteError(std::span<const double> a, std::span<const double> b,
                            std::int32_t points) {
    if (points < 2) {
        return 0.0;
    }
    return reference::largestDeviation(a, b, static_cast<std::size_t>(points) - 1).largest;
}

std::optional<double> networkErrorEstimate(const NetworkRecord& record) {
    if (!anyExact(record)) {
        return std::nullopt;
    }
    return largestErrorAgainstExact(record, SeriesFamily::Network);
}

std::optional<double> rungeKuttaErrorEstimate(const NetworkRecord& record) {
    if (!anyExact(record) || !anyRungeKutta(record)) {
        return std::nullopt;
    }
    return largestErrorAgainstExact(record, SeriesFamily::RungeKutta);
}

std::string errorEstimateText(std::optional<double> estimate) {
    if (!estimate) {
        return kEstimateUnavailable;
    }
    return axolite::formatNumber("%16.10E", *estimate); // "." whatever the user's locale
}

} // namespace axolite::views
