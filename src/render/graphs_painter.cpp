// The plot of the graphs view.
#include "render/graphs_painter.h"

#include "core/views/series.h"
#include "render/legend_swatches.h"

#include <QPainter>
#include <QPen>

namespace axolite::render {

namespace {

const QColor kGridColour(192, 192, 192);

// A one-pixel line with flat caps leaves its last point out: (x, 46) to (x, 191) covers rows
// 46..190.
void paintGrid(QPainter& painter, int spacing) {
    using namespace views::plot;
    painter.setPen(QPen(kGridColour, 1, Qt::SolidLine, Qt::FlatCap));
    for (const int x : views::gridColumns(spacing)) {
        painter.drawLine(x, kTop, x, kBottom);
    }
    for (const int y : views::gridRows(spacing)) {
        painter.drawLine(kLeft, y, kRight, y);
    }
}

void paintCursor(QPainter& painter, int column) {
    QPen pen(kGridColour, 1, Qt::CustomDashLine, Qt::FlatCap);
    pen.setDashPattern({1.0, 1.0});
    painter.setPen(pen);
    painter.drawLine(column, views::plot::kTop, column, views::plot::kBottom);
}

} // namespace

QRect GraphsPainter::plotRect() {
    using namespace views::plot;
    return QRect(QPoint(kLeft, kTop), QPoint(kRight - 1, kBottom - 1));
}

void GraphsPainter::paint(QPainter& painter, const language::NetworkRecord* record,
                          GraphsSettings& settings) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(plotRect(), Qt::IntersectClip);
    painter.fillRect(plotRect(), Qt::black);
    if (settings.gridShown) {
        paintGrid(painter, settings.gridSpacing);
    }
    if (record != nullptr && record->simulated != 0) {
        settings.displayRange.grow(*record);
        paintCurves(painter, *record, settings);
    }
    if (settings.cursorColumn) {
        paintCursor(painter, *settings.cursorColumn);
    }
    painter.restore();
}

void GraphsPainter::paintCurves(QPainter& painter, const language::NetworkRecord& record,
                                const GraphsSettings& settings) {
    views::plotSegments(settings.mode, settings.pointSpacing, settings.firstStep,
                        views::gridExtent(record), segments_);
    for (const language::SeriesFamily family : views::kCurveOrder) {
        for (int k = 0; k < language::kOutputCount; ++k) {
            if (!settings.curveShown[static_cast<std::size_t>(family)][k]) {
                continue;
            }
            const auto values = views::seriesValues(record, family, k);
            const views::CurveScale scale =
                views::curveScale(record.stats(family, k).minimum, settings.heightFactor,
                                  settings.displayRange.value());
            lines_.clear();
            for (const views::PlotSegment& s : segments_) {
                if (static_cast<std::uint64_t>(s.toStep) >= values.size()) {
                    continue;
                }
                const auto from = scale.row(values[static_cast<std::size_t>(s.fromStep)]);
                const auto to = scale.row(values[static_cast<std::size_t>(s.toStep)]);
                if (from && to) {
                    lines_.emplace_back(s.fromColumn, *from, s.toColumn, *to);
                }
            }
            if (!lines_.empty()) {
                // Square caps: Qt rasterises such lines directly; round caps would send each
                // through the general stroker, ten times slower.
                painter.setPen(QPen(seriesColor(family, k), 2, Qt::SolidLine, Qt::SquareCap));
                painter.drawLines(lines_.data(), static_cast<int>(lines_.size()));
            }
        }
    }
}

} // namespace axolite::render
