// What the reference computations share: the time grid of the description, the percentage they
// report, the names the progress dialog shows for them, and the largest deviation of one series
// from another.
#pragma once

#include "core/common/progress.h"
#include "core/language/network_record.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace axolite::reference {

// How a computation ended. A formula error is not an outcome: it is thrown as AxoliteError.
enum class ComputationOutcome { Completed, Cancelled };

// The names of the computations, shown in the progress dialog while they run.
inline constexpr const char* kExactValuesTitle = "Вычисление точных значений...";
inline constexpr const char* kRungeKuttaTitle = "Решение системы дифференциальных уравнений...";
inline constexpr const char* kInputActivationTitle = "Вычисление значений функций активации ...";

// The texts of the status window while a pattern file is written.
inline constexpr const char* kExactPatternsStatus = "Формируется файл образов ...";
inline constexpr const char* kRungeKuttaPatternsStatus = "Формируется файл образов... ";
inline constexpr const char* kInputPatternsStatus = "Создается файл образов...";

// The most grid points a computation accepts (the simulation's own limit of steps).
constexpr std::int32_t kMaxGridPoints = 1000000;

// R = (t1 − t0) ÷ h: the interval measured in steps, not necessarily whole.
double gridExtent(const language::NetworkRecord& record);

// S = trunc(R), the number of grid points x_l = t0 + l × h, l = 0 .. S − 1. When R is not whole
// the partial last interval adds no point: every series, statistic and pattern file stops at
// S − 1, as the simulation does. 0 when R is not a finite number ≥ 0; saturates above the int
// range.
std::int32_t gridPointCount(const language::NetworkRecord& record);

// gridPointCount, refused with "Слишком много шагов пересчета." above kMaxGridPoints so that no
// computation tries to allocate an absurd grid.
std::int32_t requireGridPointCount(const language::NetworkRecord& record);

// x_l = t0 + l × h, formed by a product and a sum at every point (never accumulated).
inline double gridPoint(const language::NetworkRecord& record, std::int64_t l) {
    return record.t0 + static_cast<double>(l) * record.h;
}

// The largest |a_j − b_j| over j < count (never beyond the end of a or b), starting from 0.0. A
// difference that is no number is passed over, and noNumber tells that there was one.
struct SeriesDeviation {
    double largest = 0.0;
    bool noNumber = false;
};
SeriesDeviation largestDeviation(std::span<const double> a, std::span<const double> b,
                                 std::size_t count);

// trunc(index × 100 ÷ R), kept within 0..100.
int percentAt(std::int64_t index, double extent);

// Passes the percentage of point index on to the progress when it differs from the last one
// passed (lastPercent, which starts at −1).
void reportPercent(Progress& progress, std::int64_t index, double extent, int& lastPercent);

// The first index after `index` whose percentAt differs from index's (percentAt never decreases
// with the index); INT64_MAX when none does. A loop over the points can pass the percentage on
// only there, without a division at every point.
std::int64_t nextPercentIndex(std::int64_t index, double extent);

} // namespace axolite::reference
