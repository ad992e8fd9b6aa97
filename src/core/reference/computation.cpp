// The time grid, percentages and series statistics of the reference computations.
#include "core/reference/computation.h"

#include "core/common/message.h"

#include <algorithm>
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

std::int64_t nextPercentIndex(std::int64_t index, double extent) {
    const int now = percentAt(index, extent);
    if (now >= 100 || !(extent > 0.0) || !(extent < 1e15)) {
        return now >= 100 ? std::numeric_limits<std::int64_t>::max() : index + 1;
    }
    // An estimate of the boundary, then moved onto it: the first index of a larger percentage.
    auto next = std::max(index + 1, static_cast<std::int64_t>((now + 1) * extent / 100.0));
    while (next > index + 1 && percentAt(next - 1, extent) > now) {
        --next;
    }
    while (percentAt(next, extent) <= now) {
        ++next;
    }
    return next;
}

SeriesDeviation largestDeviation(std::span<const double> a, std::span<const double> b,
                                 std::size_t count) {
    SeriesDeviation deviation;
    const std::size_t n = std::min({count, a.size(), b.size()});
    for (std::size_t j = 0; j < n; ++j) {
        const double d = std::fabs(a[j] - b[j]);
        deviation.noNumber |= d != d;
        deviation.largest = d > deviation.largest ? d : deviation.largest;
    }
    return deviation;
}

} // namespace axolite::reference
