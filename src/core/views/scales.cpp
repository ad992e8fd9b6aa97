// The scales window's numbers.
#include "core/views/scales.h"

#include "core/common/number_text.h"
#include "core/views/series.h"

#include <cmath>

namespace axolite::views {

std::optional<double> seriesScale(const language::NetworkRecord& record,
                                  language::SeriesFamily family, int k) {
    if (!seriesPresent(record, family, k)) {
        return std::nullopt;
    }
    const double scale = 190.0 / record.stats(family, k).range;
    if (!std::isfinite(scale)) {
        return std::nullopt;
    }
    return scale;
}

std::string scaleText(std::optional<double> scale) {
    return scale ? axolite::formatNumber("%8.5f", *scale) : kScaleUnavailable;
}

} // namespace axolite::views
