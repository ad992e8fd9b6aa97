// The scales window's numbers: the scale 190 / range of every present series, as text.
#pragma once

#include "core/language/network_record.h"

#include <optional>
#include <string>

namespace axolite::views {

// What a scale that cannot be shown reads.
inline constexpr const char* kScaleUnavailable = "Недоступен";

// 190 / range of series k of the family. Nothing when the series is absent, or when its range is
// 0 (a series that is 0 throughout) or not a finite number: no finite scale exists then.
std::optional<double> seriesScale(const language::NetworkRecord& record,
                                  language::SeriesFamily family, int k);

// "%8.5f" of the scale (with a point whatever the locale), or "Недоступен".
std::string scaleText(std::optional<double> scale);

} // namespace axolite::views
