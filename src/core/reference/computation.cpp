// The time grid, percentages and series statistics of the reference computations.
#include "core/reference/computation.h"

#include "core/common/message.h"

#include <array>
#include <cmath>
#include <limits>

namespace axolite::reference {

double gridExtent(const language::NetworkRecord& record) {
    return (record.t1 - record.t0) / record.h;
}

std::int32_t gridPointCount(const language::NetworkRecord& record) {
    const double extent = gridExtent(record);
    if (!(extent >= 0.0)) {
        return 0; // NaN or negative
    }
    if (extent >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(std::trunc(extent));
}

std::int32_t requireGridPointCount(const language::NetworkRecord& record) {
    const std::int32_t points = gridPointCount(record);
    if (points > kMaxGridPoints) {
        throw AxoliteError(MessageKind::Information, "Слишком много шагов пересчета.");
    }
    return points;
}

void reportPercent(Progress& progress, std::int64_t index, double extent, int& lastPercent) {
    if (const int now = percentAt(index, extent); now != lastPercent) {
        lastPercent = now;
        progress.setPercent(now);
    }
}

int percentAt(std::int64_t index, double extent) {
    const double percent = static_cast<double>(index) * 100.0 / extent;
    if (!(percent >= 0.0)) {
        return 0;
    }
    if (percent >= 100.0) {
        return 100;
    }
    return static_cast<int>(percent);
}

language::SeriesStatistics seriesStatistics(const double* values, std::size_t count) {
    // Four running minima and maxima side by side. A value replaces only when it compares below
    // (above), so NaN never enters and a zero never replaces the starting 0.0: the result does not
    // depend on the order in which the values are compared.
    constexpr std::size_t kLanes = 4;
    std::array<double, kLanes> minimum{};
    std::array<double, kLanes> maximum{};
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            const double v = values[i + lane];
            minimum[lane] = v < minimum[lane] ? v : minimum[lane];
            maximum[lane] = v > maximum[lane] ? v : maximum[lane];
        }
    }
    for (; i < count; ++i) {
        minimum[0] = values[i] < minimum[0] ? values[i] : minimum[0];
        maximum[0] = values[i] > maximum[0] ? values[i] : maximum[0];
    }
    language::SeriesStatistics statistics;
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        if (minimum[lane] < statistics.minimum) {
            statistics.minimum = minimum[lane];
        }
        if (maximum[lane] > statistics.maximum) {
            statistics.maximum = maximum[lane];
        }
    }
    statistics.range = statistics.maximum - statistics.minimum;
    return statistics;
}

} // namespace axolite::reference
