// Geometry of the graphs view's plot.
#include "core/views/plot_geometry.h"

#include "core/views/series.h"

#include <algorithm>
#include <cmath>

namespace axolite::views {

namespace {

constexpr double kFarRow = 1.0e6;

} // namespace

std::optional<double> heightFactorForPercent(int percent) {
    switch (percent) {
    case 100:
        return 0.9;
    case 80:
        return 0.8;
    case 60:
        return 0.6;
    case 40:
        return 0.4;
    default:
        return std::nullopt;
    }
}

std::optional<int> gridSpacingForSize(int size) {
    switch (size) {
    case 40:
        return 32;
    case 30:
        return 24;
    case 20:
        return 16;
    case 10:
        return 8;
    default:
        return std::nullopt;
    }
}

std::optional<int> CurveScale::row(double u) const {
    const double y = (minimum - u) * pixelsPerUnit + baseline;
    if (!std::isfinite(y)) {
        return std::nullopt;
    }
    return static_cast<int>(std::clamp(y, -kFarRow, kFarRow)); // truncation toward zero
}

CurveScale curveScale(double minimum, double heightFactor, double displayRange) {
    CurveScale scale;
    scale.minimum = minimum;
    scale.pixelsPerUnit = 145.0 * heightFactor / displayRange;
    scale.baseline = 191.0 - (1.0 - heightFactor) * 0.5 * 143.0;
    return scale;
}

void DisplayRange::grow(const language::NetworkRecord& record) {
    for (const language::SeriesFamily family : kCurveOrder) {
        for (int k = 0; k < language::kOutputCount; ++k) {
            const double range = record.stats(family, k).range;
            if (seriesPresent(record, family, k) && std::isfinite(range) && range > value_) {
                value_ = range;
            }
        }
    }
}

void plotSegments(PlotMode mode, int pointSpacing, std::int64_t firstStep, double extent,
                  std::vector<PlotSegment>& segments) {
    segments.clear();
    const std::int64_t k = pointSpacing;
    const std::int64_t s0 = firstStep;
    if (k < 1 || s0 < 0 || std::isnan(extent)) {
        return;
    }
    const double last = extent - 1.0;
    if (mode == PlotMode::Compress) {
        for (std::int64_t i = 0; i < plot::kColumns; ++i) {
            if (static_cast<double>(s0 + (i + 1) * k) < last) {
                segments.push_back({plot::kFirstColumn + static_cast<int>(i),
                                    plot::kFirstColumn + 1 + static_cast<int>(i), s0 + i * k,
                                    s0 + (i + 1) * k});
            }
        }
        return;
    }
    for (std::int64_t i = 0; i < plot::kColumns / k; ++i) {
        if (static_cast<double>(s0 + i + k) < last) {
            segments.push_back({plot::kFirstColumn + static_cast<int>(i * k),
                                plot::kFirstColumn + static_cast<int>((i + 1) * k), s0 + i,
                                s0 + i + 1});
        }
    }
}

std::vector<int> gridColumns(int spacing) {
    std::vector<int> columns;
    for (int x = plot::kLeft; spacing >= 1 && x < plot::kRight; x += spacing) {
        columns.push_back(x);
    }
    return columns;
}

std::vector<int> gridRows(int spacing) {
    std::vector<int> rows;
    for (int y = plot::kTop; spacing >= 1 && y < plot::kBottom; y += spacing) {
        rows.push_back(y);
    }
    return rows;
}

std::optional<CursorMark> markCursor(int x, int y, int pointSpacing, bool simulated, double extent,
                                     std::int64_t firstStep) {
    if (pointSpacing != 1 || !simulated) {
        return std::nullopt;
    }
    CursorMark mark;
    const bool onPlot =
        x >= plot::kFirstColumn && x <= plot::kRight && y >= plot::kTop + 1 && y <= plot::kBottom;
    if (onPlot && static_cast<double>(x) < extent + 5.0) {
        mark.lineColumn = x;
    }
    mark.step = static_cast<std::int64_t>(x) - plot::kFirstColumn + firstStep;
    return mark;
}

std::int32_t lastFirstStep(double extent) {
    if (!(extent >= 0.0)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::min(extent, 2147483647.0));
}

} // namespace axolite::views
