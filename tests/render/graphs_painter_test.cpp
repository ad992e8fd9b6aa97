// The graphs view's plot, rendered offscreen: rows of values, the display range, compress and
// stretch mode, the grid, the order of the curves, the cursor, and nothing outside the plot.
#include "render/graphs_painter.h"

#include "core/views/series.h"
#include "picture_checks.h"
#include "render/legend_swatches.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace axolite::render {
namespace {

using language::NetworkRecord;
using language::SeriesFamily;
using test::kBlack;
using test::kLightGrey;
using test::pixel;

NetworkRecord simulatedRecord(int steps) {
    NetworkRecord record;
    record.t0 = 0.0;
    record.h = 1.0;
    record.t1 = steps;
    record.simulated = 1;
    return record;
}

void setSeries(NetworkRecord& record, SeriesFamily family, int k, std::vector<double> values) {
    record.stats(family, k) = views::seriesStatistics(values);
    switch (family) {
    case SeriesFamily::Network:
        record.networkPresent[k] = 1;
        record.outputSeries[k] = std::move(values);
        break;
    case SeriesFamily::RungeKutta:
        record.rungeKuttaPresent[k] = 1;
        record.rungeKuttaSeries[k] = std::move(values);
        break;
    case SeriesFamily::Exact:
        record.exactPresent[k] = 1;
        record.exactSeries[k] = std::move(values);
        break;
    }
}

// 0 for steps 0..299, then 0.5: flat at the row of 0 up to column 305, at the row of 0.5 from 307.
std::vector<double> stepUpAt300(int steps) {
    std::vector<double> values(steps, 0.0);
    for (int j = 300; j < steps; ++j) {
        values[j] = 0.5;
    }
    return values;
}

QImage paintGraphs(const NetworkRecord* record, GraphsSettings& settings) {
    GraphsPainter painter;
    return test::paintClientArea([&](QPainter& p) { painter.paint(p, record, settings); });
}

// The rows of column x that hold the colour.
std::vector<int> rowsOf(const QImage& image, int x, const QColor& colour) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (pixel(image, x, y) == colour) {
            rows.push_back(y);
        }
    }
    return rows;
}

TEST(GraphsPainter, ValuesLieOnTheirRowsAndTheRangeOnlyGrows) {
    NetworkRecord record = simulatedRecord(2000);
    setSeries(record, SeriesFamily::Network, 0, stepUpAt300(2000));
    const QColor blue = seriesColor(SeriesFamily::Network, 0);
    GraphsSettings settings; // f = 0.9, R = 1.0
    QImage image = paintGraphs(&record, settings);
    // A two-pixel curve at row r covers rows r − 1 and r.
    EXPECT_EQ(rowsOf(image, 100, blue), (std::vector<int>{182, 183}));
    EXPECT_EQ(rowsOf(image, 500, blue), (std::vector<int>{117, 118}));
    EXPECT_EQ(settings.displayRange.value(), 1.0);

    // A series of range 3 makes R = 3 even with its box cleared: 0.5 drops to row 162.
    setSeries(record, SeriesFamily::Exact, 3, {3.0, 3.0});
    settings.curveShown[2][3] = false;
    image = paintGraphs(&record, settings);
    EXPECT_EQ(rowsOf(image, 500, blue), (std::vector<int>{161, 162}));
    EXPECT_EQ(rowsOf(image, 100, blue), (std::vector<int>{182, 183}));
    // A later, smaller range does not shrink R while the view is open...
    setSeries(record, SeriesFamily::Exact, 3, {0.25});
    image = paintGraphs(&record, settings);
    EXPECT_EQ(rowsOf(image, 500, blue), (std::vector<int>{161, 162}));
    // ... and a new view starts again from 1.0.
    GraphsSettings reopened;
    EXPECT_EQ(rowsOf(paintGraphs(&record, reopened), 500, blue), (std::vector<int>{117, 118}));
}

TEST(GraphsPainter, LowerHeightsAndTheSeriesMinimum) {
    NetworkRecord record = simulatedRecord(2000);
    std::vector<double> values = stepUpAt300(2000);
    for (double& v : values) {
        v -= 0.5; // −0.5 then 0: the minimum −0.5 lies on the baseline
    }
    setSeries(record, SeriesFamily::Network, 1, values);
    const QColor red = seriesColor(SeriesFamily::Network, 1);
    GraphsSettings settings;
    settings.heightFactor = *views::heightFactorForPercent(40); // baseline 148.1, 58 px per unit
    const QImage image = paintGraphs(&record, settings);
    EXPECT_EQ(rowsOf(image, 100, red), (std::vector<int>{147, 148}));
    EXPECT_EQ(rowsOf(image, 500, red), (std::vector<int>{118, 119})); // trunc(148.1 − 29)
}

TEST(GraphsPainter, CompressAndStretchEndWhereTheGridEnds) {
    const QColor blue = seriesColor(SeriesFamily::Network, 0);
    NetworkRecord record = simulatedRecord(1000);
    setSeries(record, SeriesFamily::Network, 0, std::vector<double>(1000, 0.0));
    GraphsSettings settings;
    settings.pointSpacing = 4;
    // k = 4 over N = 1000: the last segment joins steps 992 and 996, columns 254 and 255.
    QImage image = paintGraphs(&record, settings);
    EXPECT_EQ(pixel(image, 255, 183), blue);
    EXPECT_EQ(pixel(image, 258, 183), kBlack);
    settings.firstStep = 10; // 247 segments: the last ends at column 253
    image = paintGraphs(&record, settings);
    EXPECT_EQ(pixel(image, 253, 183), blue);
    EXPECT_EQ(pixel(image, 256, 183), kBlack);

    // Stretch with k = 16 over D = 30: 13 steps of 16 columns end at column 214; compress with
    // k = 1 ends at column 34. Switching the mode back and forth gives the same pictures.
    NetworkRecord shortRun = simulatedRecord(30);
    setSeries(shortRun, SeriesFamily::Network, 0, std::vector<double>(30, 0.0));
    GraphsSettings view;
    const QImage compressed = paintGraphs(&shortRun, view);
    view.mode = views::PlotMode::Stretch;
    view.pointSpacing = 16;
    const QImage stretched = paintGraphs(&shortRun, view);
    EXPECT_EQ(pixel(stretched, 200, 183), blue);
    EXPECT_EQ(pixel(stretched, 218, 183), kBlack);
    EXPECT_EQ(pixel(compressed, 34, 183), blue);
    EXPECT_EQ(pixel(compressed, 38, 183), kBlack);
    view.mode = views::PlotMode::Compress;
    view.pointSpacing = 1;
    EXPECT_EQ(paintGraphs(&shortRun, view), compressed);
    view.mode = views::PlotMode::Stretch;
    view.pointSpacing = 16;
    EXPECT_EQ(paintGraphs(&shortRun, view), stretched);
}

TEST(GraphsPainter, StretchDrawsEachStepAcrossKColumns) {
    // Values alternate 0, 1, 0, 1: with k = 8 the curve climbs from column 6 to column 14.
    NetworkRecord record = simulatedRecord(200);
    std::vector<double> values(200);
    for (int j = 0; j < 200; ++j) {
        values[j] = j % 2;
    }
    setSeries(record, SeriesFamily::Network, 0, values);
    GraphsSettings settings;
    settings.mode = views::PlotMode::Stretch;
    settings.pointSpacing = 8;
    const QImage image = paintGraphs(&record, settings);
    const QColor blue = seriesColor(SeriesFamily::Network, 0);
    // Halfway, at column 10, the line passes row (183 + 53) / 2.
    const auto middle = rowsOf(image, 10, blue);
    EXPECT_TRUE(std::find(middle.begin(), middle.end(), 118) != middle.end());
    EXPECT_TRUE(rowsOf(image, 10, blue).size() < 40u);
    EXPECT_EQ(pixel(image, 14, 53), blue);
    EXPECT_EQ(pixel(image, 22, 183), blue);
}

TEST(GraphsPainter, GridLinesFollowTheSpacing) {
    GraphsSettings settings;
    settings.gridShown = true;
    settings.gridSpacing = 32;
    const QImage image = paintGraphs(nullptr, settings); // no window: field and grid only
    EXPECT_EQ(pixel(image, 36, 100), kLightGrey);
    EXPECT_EQ(pixel(image, 37, 100), kBlack);
    EXPECT_EQ(pixel(image, 580, 150), kLightGrey);
    EXPECT_EQ(pixel(image, 101, 78), kLightGrey);
    EXPECT_EQ(pixel(image, 101, 79), kBlack);
    EXPECT_EQ(pixel(image, 608, 174), kLightGrey);
    EXPECT_EQ(pixel(image, 4, 190), kLightGrey);
    settings.gridSpacing = 36; // the last row lies on the plot's last row, 190
    EXPECT_EQ(pixel(paintGraphs(nullptr, settings), 300, 190), kLightGrey);
    settings.gridShown = false;
    EXPECT_EQ(pixel(paintGraphs(nullptr, settings), 36, 100), kBlack);
}

TEST(GraphsPainter, CurveOrderColoursAndPresence) {
    // The same values in all three families of y1: the exact curve, drawn last, lies on top.
    NetworkRecord record = simulatedRecord(2000);
    for (const SeriesFamily family : views::kCurveOrder) {
        setSeries(record, family, 0, stepUpAt300(2000));
    }
    GraphsSettings settings;
    EXPECT_EQ(pixel(paintGraphs(&record, settings), 100, 183), seriesColor(SeriesFamily::Exact, 0));
    settings.curveShown[2][0] = false;
    EXPECT_EQ(pixel(paintGraphs(&record, settings), 100, 183),
              seriesColor(SeriesFamily::Network, 0));
    settings.curveShown[0][0] = false;
    EXPECT_EQ(pixel(paintGraphs(&record, settings), 100, 183),
              seriesColor(SeriesFamily::RungeKutta, 0));
    // An absent series is never drawn, ticked or not; nor is anything of a window not simulated.
    record.rungeKuttaPresent[0] = 0;
    EXPECT_EQ(pixel(paintGraphs(&record, settings), 100, 183), kBlack);
    settings = GraphsSettings();
    record.simulated = 0;
    EXPECT_EQ(pixel(paintGraphs(&record, settings), 100, 183), kBlack);
}

TEST(GraphsPainter, CursorLineIsDottedAcrossThePlot) {
    GraphsSettings settings;
    settings.cursorColumn = 100;
    const QImage image = paintGraphs(nullptr, settings);
    int grey = 0;
    for (int y = 46; y <= 190; ++y) {
        grey += pixel(image, 100, y) == kLightGrey ? 1 : 0;
        if (y > 46) {
            EXPECT_FALSE(pixel(image, 100, y) == kLightGrey &&
                         pixel(image, 100, y - 1) == kLightGrey)
                << "two grey pixels in a row at " << y;
        }
    }
    EXPECT_GE(grey, 70);
    EXPECT_EQ(pixel(image, 101, 100), kBlack);
}

TEST(GraphsPainter, NothingOutsideThePlotWhateverTheValues) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::nan("");
    NetworkRecord record = simulatedRecord(3000);
    std::vector<double> wild(3000);
    for (int j = 0; j < 3000; ++j) {
        const double kinds[] = {0.0, 1e300, -1e300, nan, inf, -inf, 0.5, -7.0};
        wild[j] = kinds[j % 8];
    }
    setSeries(record, SeriesFamily::Network, 0, wild);
    // Statistics that do not fit the values (a later computation wrote the series).
    setSeries(record, SeriesFamily::RungeKutta, 1, std::vector<double>(3000, 0.0));
    record.rungeKuttaSeries[1] = wild;
    setSeries(record, SeriesFamily::Exact, 2, std::vector<double>(3000, inf));
    // A series shorter than the grid (a cancelled computation) is read only as far as it goes.
    setSeries(record, SeriesFamily::Exact, 3, std::vector<double>(5, 0.75));
    for (const auto mode : {views::PlotMode::Compress, views::PlotMode::Stretch}) {
        for (const int k : {1, 4, 8, 16}) {
            GraphsSettings settings;
            settings.mode = mode;
            settings.pointSpacing = k;
            settings.gridShown = true;
            settings.gridSpacing = 8;
            settings.cursorColumn = 608;
            const QImage image = paintGraphs(&record, settings);
            EXPECT_TRUE(test::untouchedOutside(image, GraphsPainter::plotRect())) << "k = " << k;
            EXPECT_EQ(settings.displayRange.value(), 1.0); // the infinite ranges were passed over
        }
    }
}

} // namespace
} // namespace axolite::render
