// The time grid, percentages and series statistics of the reference computations.
#include "reference/computation.h"

#include "common/message.h"

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
    language::SeriesStatistics statistics;
    for (std::size_t i = 0; i < count; ++i) {
        if (values[i] < statistics.minimum) {
            statistics.minimum = values[i];
        }
        if (values[i] > statistics.maximum) {
            statistics.maximum = values[i];
        }
    }
    statistics.range = statistics.maximum - statistics.minimum;
    return statistics;
}

} // namespace axolite::reference
