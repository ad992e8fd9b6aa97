// The plot of the graphs view: black field, optional grid, up to twelve curves of the output and
// reference series over 601 pixel columns, and the cursor line of a right click.
#pragma once

#include "core/language/network_record.h"
#include "core/views/plot_geometry.h"

#include <QLine>
#include <QRect>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

namespace axolite::render {

// What the graphs view's controls have set. The defaults are the view's state when it opens.
struct GraphsSettings {
    // The first visible step s0: the slider's position, 0 .. views::lastFirstStep(D).
    std::int64_t firstStep = 0;
    // "Наложить сетку", and the grid spacing in pixels (views::gridSpacingForSize maps the list).
    bool gridShown = false;
    int gridSpacing = views::plot::kDefaultGridSpacing;
    // The height factor f (views::heightFactorForPercent maps the list's 100/80/60/40 %).
    double heightFactor = views::plot::kDefaultHeightFactor;
    // The point spacing k: 1, 4, 8 or 16.
    int pointSpacing = 1;
    views::PlotMode mode = views::PlotMode::Compress;
    // The twelve check boxes, [family][k] with family as in language::SeriesFamily. A curve is
    // drawn when its box is ticked and its series is present.
    std::array<std::array<bool, language::kOutputCount>, 3> curveShown{
        {{true, true, true, true}, {true, true, true, true}, {true, true, true, true}}};
    // R: grows at every paint of a simulated record and never shrinks. Keep one settings object
    // for as long as the view is open; a new view starts from a new one (R = 1.0).
    views::DisplayRange displayRange;
    // The column of the dotted cursor line of a right click (views::markCursor). The line is not
    // part of the view's state: clear it at the next change that repaints the view.
    std::optional<int> cursorColumn;
};

// Draws the plot in the pixel coordinates of the graphs view's client area: everything it draws
// lies inside plotRect(), nothing outside it. It reads the series through views::seriesValues on
// every paint and keeps no copy; NaN and infinite values are not drawn (a segment with such an
// end is left out). One object may serve every repaint of a view: it reuses its buffers.
//
// Pens: the curves solid, two pixels wide, in the series' colour (render::seriesColor), in the
// order views::kCurveOrder; the grid solid light grey (192, 192, 192), one pixel; the cursor line
// dotted light grey, one pixel. A value's row is views::CurveScale::row, drawn at the row's
// integer coordinate, so a two-pixel curve at row r covers rows r − 1 and r.
class GraphsPainter {
public:
    // The plot rectangle: columns 4..608, rows 46..190 of the client area.
    static QRect plotRect();

    // The whole plot. With no record or a record not simulated only the black field and the grid
    // are drawn; otherwise settings.displayRange first grows to the ranges of the record.
    void paint(QPainter& painter, const language::NetworkRecord* record, GraphsSettings& settings);

private:
    void paintCurves(QPainter& painter, const language::NetworkRecord& record,
                     const GraphsSettings& settings);

    std::vector<views::PlotSegment> segments_;
    std::vector<QLine> lines_;
};

} // namespace axolite::render
