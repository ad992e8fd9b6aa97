// The statistics of a series, in four lanes side by side.
#include "core/language/series_statistics.h"

#include <array>
#include <cstddef>

namespace axolite::language {

SeriesStatistics seriesStatistics(std::span<const double> values) {
    const std::size_t count = values.size();
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
    SeriesStatistics statistics;
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

} // namespace axolite::language
