// Geometry of the graphs view's plot: the plot rectangle and its 601 curve columns, which steps
// each column joins in compress and stretch mode, the vertical scale of a curve, the display range
// that only grows, the grid lines and the cursor marked by a right click.
#pragma once

#include "core/language/network_record.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace axolite::views {

// The plot, in pixels of the graphs view's client area. The rectangle is filled from (kLeft, kTop)
// up to, not including, (kRight, kBottom): columns 4..608, rows 46..190.
namespace plot {
inline constexpr int kLeft = 4;
inline constexpr int kTop = 46;
inline constexpr int kRight = 609;
inline constexpr int kBottom = 191;
// Curves use the columns from kFirstColumn on: one segment per column in compress mode.
inline constexpr int kFirstColumn = 6;
inline constexpr int kColumns = 601;
inline constexpr int kDefaultGridSpacing = 36;
inline constexpr double kDefaultHeightFactor = 0.9;
} // namespace plot

enum class PlotMode {
    Compress, // each pixel column stands for k steps
    Stretch,  // each step spans k pixel columns
};

// The curves are drawn in this order, y1 to y4 within each family.
inline constexpr std::array<language::SeriesFamily, 3> kCurveOrder{
    language::SeriesFamily::RungeKutta, language::SeriesFamily::Network,
    language::SeriesFamily::Exact};

// The height list's items 100, 80, 60, 40 % give the height factor f = 0.9, 0.8, 0.6, 0.4.
std::optional<double> heightFactorForPercent(int percent);
// The grid-size list's items 40, 30, 20, 10 give a grid spacing of 32, 24, 16, 8 pixels.
std::optional<int> gridSpacingForSize(int size);

// The vertical scale of one curve: a = 145·f / R pixels per unit, baseline b = 191 − (1 − f)·71.5,
// and the series' own minimum m on the baseline.
struct CurveScale {
    double minimum = 0.0;
    double pixelsPerUnit = 0.0;
    double baseline = 0.0;

    // The pixel row of the value u: trunc((m − u)·a + b). Nothing when that is not a finite number
    // (a value or minimum that is NaN or infinite); rows far outside the plot are held at ±10^6 so
    // that the segment keeps its direction and the conversion stays defined.
    std::optional<int> row(double u) const;
};

CurveScale curveScale(double minimum, double heightFactor, double displayRange);

// The common vertical range R of all curves: starts at 1.0 and takes the range of every present
// series that exceeds it, whether its curve is shown or not; it never shrinks. A range that is not
// a finite number is passed over, so one infinite value does not flatten every curve for good.
class DisplayRange {
public:
    double value() const { return value_; }
    void grow(const language::NetworkRecord& record);

private:
    double value_ = 1.0;
};

// One segment of a curve: from column fromColumn at the value of step fromStep to column toColumn
// at the value of step toStep.
struct PlotSegment {
    int fromColumn = 0;
    int toColumn = 0;
    std::int64_t fromStep = 0;
    std::int64_t toStep = 0;
    bool operator==(const PlotSegment&) const = default;
};

// The segments every curve is drawn with, from the first visible step s0 with point spacing k over
// a grid of extent D (the real quotient, not its truncation):
// - compress: for i = 0..600 while s0 + (i + 1)·k < D − 1, column 6 + i at step s0 + i·k to
//   column 7 + i at step s0 + (i + 1)·k;
// - stretch: for i = 0..(601 div k) − 1 while s0 + i + k < D − 1, column 6 + i·k at step s0 + i to
//   column 6 + (i + 1)·k at step s0 + i + 1.
// At most 601 segments; none when D is not a number, k < 1 or s0 < 0. A caller must still not read
// past the values a series holds (see seriesValues).
void plotSegments(PlotMode mode, int pointSpacing, std::int64_t firstStep, double extent,
                  std::vector<PlotSegment>& segments);

// The grid: vertical lines at x = 4, 4 + g, ... while x < 609 (rows 46..190), horizontal lines at
// y = 46, 46 + g, ... while y < 191 (columns 4..608). None for a spacing below 1.
std::vector<int> gridColumns(int spacing);
std::vector<int> gridRows(int spacing);

// What a right click at client point (x, y) does, with k = 1 and a simulated window: the numeric
// view's current step becomes x − 6 + s0, and a cursor line is drawn at column x when the point
// lies on the plot (6 ≤ x ≤ 609, 47 ≤ y ≤ 191) and x < D + 5.
struct CursorMark {
    std::optional<int> lineColumn;
    std::int64_t step = 0;
};

// Nothing when k ≠ 1 or the window is not simulated: the click does nothing at all.
std::optional<CursorMark> markCursor(int x, int y, int pointSpacing, bool simulated, double extent,
                                     std::int64_t firstStep);

// The slider selects s0 from 0 to trunc(D) (0 when D is not a finite number ≥ 0).
std::int32_t lastFirstStep(double extent);

} // namespace axolite::views
