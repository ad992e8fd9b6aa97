// The table of the numeric view as CSV text: one row per step of the grid with the step, x and
// the value of every present series, for export.
#pragma once

#include "core/language/network_record.h"

#include <cstdint>
#include <string>

namespace axolite::views {

// "i,x" and the present series: y1..y4 (network), rk1..rk4 (Runge-Kutta), exact1..exact4, each
// only when present; ends with a line end.
std::string seriesTableHeader(const language::NetworkRecord& record);

// Appends the rows of steps first .. first + count − 1 that lie on the grid (0 .. N − 1): the
// step, x_j = t0 + j·h and the values, each the shortest text that reads back as the same double
// ("nan", "inf", "-inf" for values that are not finite); a value a series does not hold (a
// computation that was cancelled) is an empty cell.
void appendSeriesTableRows(const language::NetworkRecord& record, std::int32_t first,
                           std::int32_t count, std::string& out);

} // namespace axolite::views
