// Geometry of the dynamics view: the model box and its grid, the output columns and their
// heights, the projection of model points to logical units, and the replay's frames.
#pragma once

#include "core/language/network_record.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace axolite::views {

namespace dynamics {
// The model box: x across, y up (activity), z in depth.
inline constexpr int kBoxWidth = 116;
inline constexpr int kBoxHeight = 78;
inline constexpr int kBoxDepth = 116;
// Distance between columns and between grid lines, in model units.
inline constexpr int kSpacing = 8;
// The second line of a column stands this far right of the first, in model units.
inline constexpr double kColumnThickness = 0.7;
// The black field, in pixels of the view's client area: from (kFieldLeft, kFieldTop) up to, not
// including, (kFieldRight, kFieldBottom).
inline constexpr int kFieldLeft = 8;
inline constexpr int kFieldTop = 36;
inline constexpr int kFieldRight = 356;
inline constexpr int kFieldBottom = 272;
// Logical unit (0, 0) lies at this pixel; logical Y grows upward.
inline constexpr int kOriginX = 8;
inline constexpr int kOriginY = 272;
// A logical unit is 0.01 mm; at the standard 96 pixels per inch that is 96 / 2540 pixel.
inline constexpr double kPixelsPerLogicalUnit = 96.0 / 2540.0;
} // namespace dynamics

struct ModelPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// A point of the drawing surface, in logical units of 0.01 mm with Y growing upward.
struct LogicalPoint {
    int x = 0;
    int y = 0;
    bool operator==(const LogicalPoint&) const = default;
};

// X = trunc((x·cos 30° − z·sin 30° + 81)·45), Y = trunc((y·cos 22° − z·sin 22° + 58)·45).
LogicalPoint projectModelPoint(const ModelPoint& point);

struct ModelSegment {
    ModelPoint from;
    ModelPoint to;
};

// The box grid: for t = 0, s, 2s, ... the lines (t,78,0)–(t,0,0)–(t,0,116) while t ≤ 116,
// (116,t,0)–(0,t,0)–(0,t,116) while t ≤ 78 and (0,78,t)–(0,0,t)–(116,0,t) while t ≤ 116.
std::vector<ModelSegment> boxGrid(int spacing = dynamics::kSpacing);

// The number m of columns: 1, 2 or 3 when exactly the first 1, 2 or 3 network series are
// present, otherwise 4.
int columnCount(const language::NetworkRecord& record);

// Column u stands at x = s·u + s/2 (integer half) and z = s/2.
ModelPoint columnBase(int column, int spacing = dynamics::kSpacing);

// The vertical scale c: a value v stands at height trunc(c·v + 39), so 0 is at half the box
// height and the values within half their spread of 0 stay inside the box.
struct VerticalScale {
    double unitsPerValue = 1.0;

    // Nothing for a value that is not a finite number (its column is not drawn); heights far
    // outside the box are held at ±10^4 model units.
    std::optional<int> height(double value) const;
};

// c = 0.5·78 / |highest − lowest| over steps 0..N − 1 of the first m network series, both
// starting from the first neuron's activity at step 0; values that are not finite numbers take
// no part. Without spread (every value the same v) the spread is taken as |v|, so a constant
// column reaches exactly the top of the box (v > 0) or its floor (v < 0), and as 1 when v is 0,
// so a constant 0 stands at half height.
VerticalScale verticalScale(const language::NetworkRecord& record);

// The value of column u at step j: nothing when its series is absent or j is outside it.
std::optional<double> columnValue(const language::NetworkRecord& record, int column,
                                  std::int32_t step);

// One frame of the replay: each column moves from its height at fromStep to its height at
// toStep; the progress bar shows percent = toStep·100 div N.
struct ReplayFrame {
    std::int32_t fromStep = 0;
    std::int32_t toStep = 0;
    int percent = 0;
    bool operator==(const ReplayFrame&) const = default;
};

// The frames of a replay over N steps with a stride: toStep = stride, 2·stride, ... while < N.
class ReplaySchedule {
public:
    ReplaySchedule(std::int32_t steps, int stride);
    std::int32_t frameCount() const { return frames_; }
    ReplayFrame frame(std::int32_t index) const;

private:
    std::int32_t steps_;
    std::int32_t stride_;
    std::int32_t frames_;
};

// The stride of the replay: k in the faster mode, 1 in the slower one.
int replayStride(bool faster, int speedFactor);

// The pause after each frame in the slower mode; it grows with (k − 1)², and k = 1 adds none.
std::chrono::microseconds slowerModePause(int speedFactor);

} // namespace axolite::views
