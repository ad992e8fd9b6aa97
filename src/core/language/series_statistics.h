// The statistics of one series of the record (the network's outputs, the Runge-Kutta solution,
// the exact values): what the simulation and the reference computations store and the views scale
// their pictures by.
#pragma once

#include <span>

namespace axolite::language {

// Minimum, maximum and range of one series. A series never computed keeps the range 1.0.
struct SeriesStatistics {
    double minimum = 0.0;
    double maximum = 0.0;
    double range = 1.0;
};

// Minimum and maximum over the values, both starting at 0.0 (so the minimum is never above 0 and
// the maximum never below), and the range between them. A value that is no number is passed over.
SeriesStatistics seriesStatistics(std::span<const double> values);

} // namespace axolite::language
