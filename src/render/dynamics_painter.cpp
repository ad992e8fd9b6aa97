// The picture of the dynamics view.
#include "render/dynamics_painter.h"

#include "core/views/series.h"

#include <QLineF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <array>
#include <optional>

namespace axolite::render {

namespace {

using language::NetworkRecord;
using views::ModelPoint;

const QColor kGridColour(192, 192, 192);

QPointF logical(const ModelPoint& point) {
    const views::LogicalPoint p = views::projectModelPoint(point);
    return QPointF(p.x, p.y);
}

QPen surfacePen(const QColor& colour) {
    QPen pen(colour, 1, Qt::SolidLine, Qt::FlatCap);
    pen.setCosmetic(true); // one device pixel whatever the mapping
    return pen;
}

// Clips to the field and maps logical units to pixels: the model drawing surface.
void enterModelSurface(QPainter& painter) {
    using namespace views::dynamics;
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(DynamicsPainter::fieldRect(), Qt::IntersectClip);
    painter.translate(kOriginX, kOriginY);
    painter.scale(kPixelsPerLogicalUnit, -kPixelsPerLogicalUnit);
}

void paintGrid(QPainter& painter) {
    painter.setPen(surfacePen(kGridColour));
    for (const views::ModelSegment& line : views::boxGrid()) {
        painter.drawLine(QLineF(logical(line.from), logical(line.to)));
    }
}

// Moves column u from height p to height q: drawn with its pen when it rises, erased with black
// when it falls.
void moveColumn(QPainter& painter, int column, int p, int q, const QColor& colour) {
    if (p == q) {
        return;
    }
    const bool rises = q > p;
    painter.setPen(surfacePen(rises ? colour : QColor(Qt::black)));
    const int low = rises ? p : q;
    const int high = rises ? q : p;
    ModelPoint base = views::columnBase(column);
    for (int line = 0; line < 2; ++line) {
        ModelPoint bottom = base;
        ModelPoint top = base;
        bottom.y = low;
        top.y = high;
        painter.drawLine(QLineF(logical(bottom), logical(top)));
        base.x += views::dynamics::kColumnThickness;
    }
}

std::optional<int> heightAt(const NetworkRecord& record, const views::VerticalScale& scale,
                            int column, std::int32_t step) {
    const std::optional<double> value = views::columnValue(record, column, step);
    return value ? scale.height(*value) : std::nullopt;
}

} // namespace

QRect DynamicsPainter::fieldRect() {
    using namespace views::dynamics;
    return QRect(QPoint(kFieldLeft, kFieldTop), QPoint(kFieldRight - 1, kFieldBottom - 1));
}

QColor DynamicsPainter::columnColor(const NetworkRecord& record, int column, bool colourMarking) {
    static const std::array<QColor, language::kOutputCount> kMarked{
        QColor(0, 0, 255), QColor(255, 0, 0), QColor(0, 255, 0), QColor(255, 255, 0)};
    const bool marked = colourMarking && column >= 0 && column < language::kOutputCount &&
                        views::seriesPresent(record, language::SeriesFamily::Network, column);
    return marked ? kMarked[static_cast<std::size_t>(column)] : QColor(0, 255, 255);
}

void DynamicsPainter::paintStill(QPainter& painter, const NetworkRecord* record,
                                 const DynamicsSettings& settings) {
    std::int32_t step = 0;
    if (record != nullptr && settings.still == StillValues::Final) {
        step = views::gridPointCount(*record) - 1;
    } else if (record != nullptr && settings.still == StillValues::Step) {
        const std::int64_t last = std::max<std::int64_t>(0, views::gridPointCount(*record) - 1);
        step = static_cast<std::int32_t>(std::clamp<std::int64_t>(settings.stillStep, 0, last));
    }
    paintStep(painter, record, settings, step);
}

void DynamicsPainter::paintStep(QPainter& painter, const NetworkRecord* record,
                                const DynamicsSettings& settings, std::int32_t step) {
    painter.save();
    painter.fillRect(fieldRect(), Qt::black);
    enterModelSurface(painter);
    if (settings.gridShown) {
        paintGrid(painter);
    }
    if (record != nullptr && record->simulated != 0) {
        const views::VerticalScale scale = views::verticalScale(*record);
        for (int u = 0; u < views::columnCount(*record); ++u) {
            if (const auto height = heightAt(*record, scale, u, step)) {
                moveColumn(painter, u, 0, *height, columnColor(*record, u, settings.colourMarking));
            }
        }
    }
    painter.restore();
}

void DynamicsPainter::paintFrame(QPainter& painter, const NetworkRecord& record,
                                 const DynamicsSettings& settings,
                                 const views::VerticalScale& scale,
                                 const views::ReplayFrame& frame) {
    painter.save();
    enterModelSurface(painter);
    for (int u = 0; u < views::columnCount(record); ++u) {
        const auto from = heightAt(record, scale, u, frame.fromStep);
        const auto to = heightAt(record, scale, u, frame.toStep);
        if (from && to) {
            moveColumn(painter, u, *from, *to, columnColor(record, u, settings.colourMarking));
        }
    }
    if (settings.gridShown) {
        paintGrid(painter);
    }
    painter.restore();
}

} // namespace axolite::render
