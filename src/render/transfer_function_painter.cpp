// The transfer-function pictures: the real functions of the simulation drawn over an interval
// that shows their shape.
#include "render/transfer_function_painter.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using axolite::simulation::ModelKind;
using axolite::simulation::ModelParameters;

namespace {

constexpr qreal kMargin = 4.0;

struct ValueRange {
    double low = 0.0;
    double high = 1.0;
};

// The interval of values the curve takes over the picture, always holding zero so the x axis
// is drawn, and widened a little so the curve does not touch the frame.
ValueRange valueRange(ModelKind kind, const TransferPictureSettings& s, int samples) {
    ValueRange range{0.0, 0.0};
    for (int i = 0; i <= samples; ++i) {
        const double x = s.xFrom + (s.xTo - s.xFrom) * i / samples;
        const double y = axolite::simulation::transfer(kind, s.parameters, x);
        if (std::isfinite(y)) {
            range.low = std::min(range.low, y);
            range.high = std::max(range.high, y);
        }
    }
    if (range.high - range.low <= 0.0) {
        range.high = range.low + 1.0;
    }
    const double pad = (range.high - range.low) * 0.08;
    range.low -= pad;
    range.high += pad;
    return range;
}

QRectF plotArea(const QRectF& area) {
    return area.adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

QPointF toPixels(const QRectF& plot, const ValueRange& r, const TransferPictureSettings& s,
                 double x, double y) {
    const double fx = (x - s.xFrom) / (s.xTo - s.xFrom);
    const double fy = (y - r.low) / (r.high - r.low);
    return {plot.left() + fx * plot.width(), plot.bottom() - fy * plot.height()};
}

constexpr int kRangeSamples = 400;

} // namespace

TransferPictureSettings TransferPictureSettings::forKind(ModelKind kind) {
    TransferPictureSettings s;
    switch (kind) {
    case ModelKind::Linear:
        s.parameters = ModelParameters{0.0, 1.0, -2.0, 0.0};
        s.xFrom = -2.6;
        s.xTo = 2.6;
        break;
    case ModelKind::Step:
        s.parameters = ModelParameters{201.0, 1.0, 0.0, 0.0};
        s.xFrom = -2.0;
        s.xTo = 2.0;
        break;
    case ModelKind::Sigmoid:
        s.parameters = ModelParameters{401.0, 1.0, -5.0, 0.0};
        s.xFrom = -6.5;
        s.xTo = 6.5;
        break;
    case ModelKind::Gaussian:
        s.parameters = ModelParameters{601.0, 1.0, -1.0, 0.0};
        s.xFrom = -1.5;
        s.xTo = 1.2;
        break;
    }
    return s;
}

QPointF TransferFunctionPainter::curvePoint(const QRectF& area, ModelKind kind,
                                            const TransferPictureSettings& settings, double x) {
    const ValueRange r = valueRange(kind, settings, kRangeSamples);
    return toPixels(plotArea(area), r, settings, x,
                    axolite::simulation::transfer(kind, settings.parameters, x));
}

void TransferFunctionPainter::paint(QPainter& painter, const QRectF& area, ModelKind kind,
                                    const TransferPictureSettings& settings) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(area, settings.background);
    if (settings.drawFrame) {
        painter.setPen(QPen(settings.frame, 1.0));
        painter.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    if (!(settings.xTo > settings.xFrom) || area.width() <= 2 * kMargin ||
        area.height() <= 2 * kMargin) {
        painter.restore();
        return;
    }
    const QRectF plot = plotArea(area);
    const ValueRange r = valueRange(kind, settings, kRangeSamples);

    // Axes through zero (the y axis only when zero lies in the interval shown).
    painter.setPen(QPen(settings.axes, 1.0));
    const QPointF origin = toPixels(plot, r, settings, 0.0, 0.0);
    painter.drawLine(QPointF(plot.left(), origin.y()), QPointF(plot.right(), origin.y()));
    if (settings.xFrom < 0.0 && settings.xTo > 0.0) {
        painter.drawLine(QPointF(origin.x(), plot.top()), QPointF(origin.x(), plot.bottom()));
    }

    // The curve, one sample per pixel column; a jump (threshold, step) shows as a vertical line.
    const int samples = std::max(2, static_cast<int>(plot.width()));
    QPainterPath path;
    for (int i = 0; i <= samples; ++i) {
        const double x = settings.xFrom + (settings.xTo - settings.xFrom) * i / samples;
        double y = axolite::simulation::transfer(kind, settings.parameters, x);
        y = std::clamp(std::isfinite(y) ? y : r.high, r.low, r.high);
        const QPointF p = toPixels(plot, r, settings, x, y);
        if (i == 0) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
    }
    painter.setPen(
        QPen(settings.curve, settings.curveWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
}
