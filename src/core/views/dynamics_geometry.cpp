// Geometry of the dynamics view.
#include "core/views/dynamics_geometry.h"

#include "core/views/series.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace axolite::views {

namespace {

constexpr double kFarHeight = 1.0e4;

double degrees(double angle) {
    return angle * std::numbers::pi / 180.0;
}

void addPolyline(std::vector<ModelSegment>& lines, ModelPoint a, ModelPoint b, ModelPoint c) {
    lines.push_back({a, b});
    lines.push_back({b, c});
}

} // namespace

LogicalPoint projectModelPoint(const ModelPoint& p) {
    static const double cos30 = std::cos(degrees(30.0));
    static const double sin30 = std::sin(degrees(30.0));
    static const double cos22 = std::cos(degrees(22.0));
    static const double sin22 = std::sin(degrees(22.0));
    const double x = (p.x * cos30 - p.z * sin30 + 81.0) * 45.0;
    const double y = (p.y * cos22 - p.z * sin22 + 58.0) * 45.0;
    return {static_cast<int>(x), static_cast<int>(y)};
}

std::vector<ModelSegment> boxGrid(int spacing) {
    using namespace dynamics;
    std::vector<ModelSegment> lines;
    if (spacing < 1) {
        return lines;
    }
    for (int t = 0; t <= kBoxWidth; t += spacing) {
        addPolyline(lines, {double(t), kBoxHeight, 0}, {double(t), 0, 0},
                    {double(t), 0, kBoxDepth});
    }
    for (int t = 0; t <= kBoxHeight; t += spacing) {
        addPolyline(lines, {kBoxWidth, double(t), 0}, {0, double(t), 0}, {0, double(t), kBoxDepth});
    }
    for (int t = 0; t <= kBoxDepth; t += spacing) {
        addPolyline(lines, {0, kBoxHeight, double(t)}, {0, 0, double(t)},
                    {kBoxWidth, 0, double(t)});
    }
    return lines;
}

int columnCount(const language::NetworkRecord& record) {
    int present = 0;
    while (present < language::kOutputCount && record.networkPresent[present] != 0) {
        ++present;
    }
    const bool exactlyPrefix =
        std::all_of(record.networkPresent.begin() + present, record.networkPresent.end(),
                    [](std::uint8_t flag) { return flag == 0; });
    return exactlyPrefix && present >= 1 && present <= 3 ? present : language::kOutputCount;
}

ModelPoint columnBase(int column, int spacing) {
    return {double(spacing * column + spacing / 2), 0.0, double(spacing / 2)};
}

std::optional<int> VerticalScale::height(double value) const {
    const double h = unitsPerValue * value + 0.5 * dynamics::kBoxHeight;
    if (!std::isfinite(h)) {
        return std::nullopt;
    }
    return static_cast<int>(std::clamp(h, -kFarHeight, kFarHeight));
}

VerticalScale verticalScale(const language::NetworkRecord& record) {
    std::optional<double> lowest;
    std::optional<double> highest;
    auto take = [&](double v) {
        if (std::isfinite(v)) {
            lowest = lowest ? std::min(*lowest, v) : v;
            highest = highest ? std::max(*highest, v) : v;
        }
    };
    const language::NeuronHistory& activity = record.activity;
    if (activity.neurons() > 0 && activity.steps() > 0) {
        take(activity.at(0, 0));
    }
    const int m = columnCount(record);
    for (int u = 0; u < m; ++u) {
        for (const double v : seriesValues(record, SeriesFamily::Network, u)) {
            take(v);
        }
    }
    double spread = lowest ? std::fabs(*highest - *lowest) : 0.0;
    if (spread == 0.0) {
        const double v = lowest.value_or(0.0);
        spread = v != 0.0 ? std::fabs(v) : 1.0;
    }
    VerticalScale scale;
    scale.unitsPerValue = 0.5 * dynamics::kBoxHeight / spread;
    return scale;
}

std::optional<double> columnValue(const language::NetworkRecord& record, int column,
                                  std::int32_t step) {
    return seriesValue(record, SeriesFamily::Network, column, step);
}

ReplaySchedule::ReplaySchedule(std::int32_t steps, int stride)
    : steps_(std::max(steps, 0)), stride_(std::max(stride, 1)),
      frames_(steps_ > stride_ ? (steps_ - 1) / stride_ : 0) {}

ReplayFrame ReplaySchedule::frame(std::int32_t index) const {
    const std::int64_t to = (static_cast<std::int64_t>(index) + 1) * stride_;
    ReplayFrame f;
    f.toStep = static_cast<std::int32_t>(to);
    f.fromStep = static_cast<std::int32_t>(to - stride_);
    f.percent = steps_ > 0 ? static_cast<int>(to * 100 / steps_) : 0;
    return f;
}

int replayStride(bool faster, int speedFactor) {
    return faster ? std::max(speedFactor, 1) : 1;
}

std::chrono::microseconds slowerModePause(int speedFactor) {
    const std::int64_t k = std::max(speedFactor, 1) - 1;
    return std::chrono::microseconds(100 * k * k);
}

} // namespace axolite::views
