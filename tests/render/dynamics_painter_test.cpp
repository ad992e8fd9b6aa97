// The dynamics view's picture, rendered offscreen: columns at their heights and in their colours,
// the replay's frames against the still picture, the grid, sharpness at a pixel ratio of 2, and
// nothing outside the black field.
#include "render/dynamics_painter.h"

#include "picture_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace axolite::render {
namespace {

using language::NetworkRecord;
using test::kBlack;
using test::kLightGrey;
using test::pixel;

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kCyan(0, 255, 255);

// N steps of `outputs` network series, series k at step j given by value(k, j).
template <typename Value> NetworkRecord record(int steps, int outputs, Value value) {
    NetworkRecord r;
    r.t0 = 0.0;
    r.h = 1.0;
    r.t1 = steps;
    r.simulated = 1;
    for (int k = 0; k < outputs; ++k) {
        r.networkPresent[k] = 1;
        r.outputSeries[k].resize(steps);
        for (int j = 0; j < steps; ++j) {
            r.outputSeries[k][j] = value(k, j);
        }
    }
    return r;
}

// The device pixel of a model point at a pixel ratio.
QPoint devicePixel(views::ModelPoint point, qreal ratio = 1.0) {
    using namespace views::dynamics;
    const views::LogicalPoint p = views::projectModelPoint(point);
    return QPoint(static_cast<int>((kOriginX + p.x * kPixelsPerLogicalUnit) * ratio),
                  static_cast<int>((kOriginY - p.y * kPixelsPerLogicalUnit) * ratio));
}

// The number of pixels of a colour in a row near the device pixel, within ± reach.
int colouredAround(const QImage& image, QPoint at, int reach, const QColor& colour) {
    int count = 0;
    for (int x = at.x() - reach; x <= at.x() + reach; ++x) {
        count += pixel(image, x, at.y()) == colour ? 1 : 0;
    }
    return count;
}

QImage still(const NetworkRecord* r, const DynamicsSettings& settings, qreal ratio = 1.0) {
    return test::paintClientArea([&](QPainter& p) { DynamicsPainter::paintStill(p, r, settings); },
                                 ratio);
}

TEST(DynamicsPainter, ColumnsStandAtTheirValuesInTheirColours) {
    // Two outputs from 0 to 1 and from 0 to −1: the spread is 2, c = 19.5.
    const NetworkRecord r = record(10, 2, [](int k, int j) { return j == 9 ? 1.0 - 2 * k : 0.0; });
    DynamicsSettings settings;
    settings.gridShown = false;
    // Initial values: both at 0, height 39.
    QImage image = still(&r, settings);
    EXPECT_EQ(colouredAround(image, devicePixel({4, 20, 4}), 2, kBlue), 2);
    EXPECT_EQ(colouredAround(image, devicePixel({12, 20, 4}), 2, kRed), 2);
    EXPECT_EQ(colouredAround(image, devicePixel({4, 45, 4}), 2, kBlue), 0);
    // Final values: column 0 at 58 (trunc 58.5), column 1 at 19.
    settings.still = StillValues::Final;
    image = still(&r, settings);
    EXPECT_EQ(colouredAround(image, devicePixel({4, 55, 4}), 2, kBlue), 2);
    EXPECT_EQ(colouredAround(image, devicePixel({4, 62, 4}), 2, kBlue), 0);
    EXPECT_EQ(colouredAround(image, devicePixel({12, 15, 4}), 2, kRed), 2);
    EXPECT_EQ(colouredAround(image, devicePixel({12, 25, 4}), 2, kRed), 0);
    // Without colour marking every column is cyan.
    settings.colourMarking = false;
    image = still(&r, settings);
    EXPECT_EQ(colouredAround(image, devicePixel({4, 55, 4}), 2, kCyan), 2);
    EXPECT_EQ(colouredAround(image, devicePixel({12, 15, 4}), 2, kCyan), 2);
    // Three outputs draw three columns, not four.
    const NetworkRecord three = record(10, 3, [](int, int) { return 1.0; });
    settings.colourMarking = true;
    settings.still = StillValues::Initial;
    image = still(&three, settings);
    EXPECT_EQ(colouredAround(image, devicePixel({28, 20, 4}), 3, kCyan), 0);
    EXPECT_EQ(colouredAround(image, devicePixel({20, 20, 4}), 3, QColor(0, 255, 0)), 2);
}

TEST(DynamicsPainter, ReplayFramesEndOnThePictureOfTheirLastStep) {
    // N = 1000, k = 4: frames 4, 8, ..., 996 moving up and down inside the box. Painted over the
    // initial picture, they leave exactly the picture of step 996.
    const NetworkRecord r = record(1000, 4, [](int k, int j) { return std::sin(0.05 * j + k); });
    DynamicsSettings settings;
    settings.gridShown = false;
    const views::ReplaySchedule schedule(1000, views::replayStride(true, 4));
    const views::VerticalScale scale = views::verticalScale(r);
    const QImage replayed = test::paintClientArea([&](QPainter& p) {
        DynamicsPainter::paintStill(p, &r, settings);
        for (std::int32_t i = 0; i < schedule.frameCount(); ++i) {
            DynamicsPainter::paintFrame(p, r, settings, scale, schedule.frame(i));
        }
    });
    const QImage last = test::paintClientArea(
        [&](QPainter& p) { DynamicsPainter::paintStep(p, &r, settings, 996); });
    EXPECT_EQ(schedule.frame(schedule.frameCount() - 1).toStep, 996);
    EXPECT_EQ(replayed, last);
    const QImage before = test::paintClientArea(
        [&](QPainter& p) { DynamicsPainter::paintStep(p, &r, settings, 992); });
    EXPECT_NE(replayed, before);
}

TEST(DynamicsPainter, AFallingColumnIsErasedAndTheGridDrawnAgain) {
    // Column 0 falls from the top of the box (value 1) to its floor (value −1).
    const NetworkRecord r = record(3, 1, [](int, int j) { return j == 0 ? 1.0 : -1.0; });
    DynamicsSettings settings;
    const QImage gridOnly = still(nullptr, settings);
    const QImage image = test::paintClientArea([&](QPainter& p) {
        DynamicsPainter::paintStill(p, &r, settings);
        DynamicsPainter::paintFrame(p, r, settings, views::verticalScale(r), {0, 1, 33});
    });
    EXPECT_EQ(colouredAround(image, devicePixel({4, 50, 4}), 2, kBlue), 0);
    for (int y = 36; y < 272; ++y) {
        for (int x = 8; x < 356; ++x) {
            if (pixel(gridOnly, x, y) == kLightGrey) {
                ASSERT_EQ(pixel(image, x, y), kLightGrey) << x << ", " << y;
            }
        }
    }
}

TEST(DynamicsPainter, SharpAtPixelRatioTwo) {
    const NetworkRecord r = record(10, 1, [](int, int) { return 1.0; });
    const DynamicsSettings settings;
    const QImage single = still(&r, settings, 1.0);
    const QImage dense = still(&r, settings, 2.0);
    ASSERT_EQ(dense.width(), 1280);
    // At ratio 1 the column's two lines, 1.06 pixels apart, are adjacent pixels; at ratio 2 they
    // are two lines one device pixel wide with a gap, not a column enlarged to four pixels.
    EXPECT_EQ(colouredAround(single, devicePixel({4, 30, 4}), 3, kBlue), 2);
    const QPoint at = devicePixel({4, 30, 4}, 2.0);
    EXPECT_EQ(colouredAround(dense, at, 4, kBlue), 2);
    EXPECT_NE(pixel(dense, at.x() + 1, at.y()), kBlue);
    // A grid line is one device pixel wide too.
    const QPoint wall = devicePixel({112, 44, 0}, 2.0);
    EXPECT_EQ(colouredAround(dense, wall, 3, kLightGrey), 1);
}

TEST(DynamicsPainter, NothingOutsideTheFieldWhateverTheValues) {
    const double inf = std::numeric_limits<double>::infinity();
    const NetworkRecord r = record(8, 4, [&](int k, int j) {
        const double kinds[] = {1e300, -1e300, std::nan(""), inf, -inf, 0.0, 5.0, -5.0};
        return kinds[(j + 3 * k) % 8];
    });
    for (const qreal ratio : {1.0, 2.0}) {
        for (std::int32_t step = 0; step < 8; ++step) {
            const QImage image = test::paintClientArea(
                [&](QPainter& p) { DynamicsPainter::paintStep(p, &r, DynamicsSettings(), step); },
                ratio);
            const QRect field = DynamicsPainter::fieldRect();
            const QRect device(field.topLeft() * ratio, field.size() * ratio);
            EXPECT_TRUE(test::untouchedOutside(image, device)) << step;
        }
    }
}

} // namespace
} // namespace axolite::render
