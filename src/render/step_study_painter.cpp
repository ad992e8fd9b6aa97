// The log-log plot of the step-size study's errors.
#include "render/step_study_painter.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace axolite::render {

namespace {

// A value the log axis shows: present, finite and above 0.
std::optional<double> plotted(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value) || *value <= 0.0) {
        return std::nullopt;
    }
    return std::log10(*value);
}

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    void take(double v) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    bool empty() const { return !(low <= high); }
    // Whole decades around the values, at least one decade wide.
    void widen() {
        low = std::floor(low);
        high = std::ceil(high);
        if (high - low < 1.0) {
            high = low + 1.0;
        }
    }
};

} // namespace

void StepStudyPainter::paint(QPainter& painter, const QRectF& area,
                             const std::vector<reference::StepStudyRow>& rows) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    Range hs;
    Range errors;
    for (const auto& row : rows) {
        const auto h = plotted(row.h);
        const auto network = plotted(row.networkError);
        const auto rk = plotted(row.rungeKuttaError);
        if (h && (network || rk)) {
            hs.take(*h);
            if (network) {
                errors.take(*network);
            }
            if (rk) {
                errors.take(*rk);
            }
        }
    }
    const QRectF plot = area.adjusted(70, 36, -20, -50);
    painter.setPen(Qt::black);
    if (hs.empty() || errors.empty() || plot.width() < 10 || plot.height() < 10) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("Нет данных"));
        painter.restore();
        return;
    }
    hs.widen();
    errors.widen();
    const auto point = [&](double lh, double le) {
        return QPointF(plot.left() + (lh - hs.low) / (hs.high - hs.low) * plot.width(),
                       plot.bottom() -
                           (le - errors.low) / (errors.high - errors.low) * plot.height());
    };

    // The decades: grid lines and labels.
    const QFontMetricsF metrics(painter.font());
    painter.setPen(QPen(QColor(220, 220, 220), 0));
    const int errorStep = std::max(1, static_cast<int>((errors.high - errors.low) / 10.0));
    for (double d = hs.low; d <= hs.high + 0.5; d += 1.0) {
        const QPointF p = point(d, errors.low);
        painter.setPen(QPen(QColor(220, 220, 220), 0));
        painter.drawLine(QPointF(p.x(), plot.top()), QPointF(p.x(), plot.bottom()));
        painter.setPen(Qt::black);
        const QString label = QStringLiteral("1e%1").arg(static_cast<int>(d));
        painter.drawText(QPointF(p.x() - metrics.horizontalAdvance(label) / 2,
                                 plot.bottom() + metrics.height() + 2),
                         label);
    }
    for (double d = errors.low; d <= errors.high + 0.5; d += errorStep) {
        const QPointF p = point(hs.low, d);
        painter.setPen(QPen(QColor(220, 220, 220), 0));
        painter.drawLine(QPointF(plot.left(), p.y()), QPointF(plot.right(), p.y()));
        painter.setPen(Qt::black);
        const QString label = QStringLiteral("1e%1").arg(static_cast<int>(d));
        painter.drawText(QPointF(plot.left() - metrics.horizontalAdvance(label) - 4,
                                 p.y() + metrics.ascent() / 2),
                         label);
    }
    painter.setPen(Qt::black);
    painter.drawRect(plot);
    painter.drawText(QRectF(plot.left(), plot.bottom() + metrics.height() + 4, plot.width(),
                            metrics.height() + 4),
                     Qt::AlignHCenter, QStringLiteral("h"));

    // The two series.
    const auto drawSeries = [&](const QColor& colour, bool squares,
                                std::optional<double> reference::StepStudyRow::*error) {
        painter.setPen(QPen(colour, 1.5));
        std::optional<QPointF> previous;
        for (const auto& row : rows) {
            const auto h = plotted(row.h);
            const auto e = plotted(row.*error);
            if (!h || !e) {
                previous.reset();
                continue;
            }
            const QPointF p = point(*h, *e);
            if (previous) {
                painter.drawLine(*previous, p);
            }
            const QRectF mark(p.x() - 3, p.y() - 3, 6, 6);
            squares ? painter.drawRect(mark) : painter.drawEllipse(mark);
            previous = p;
        }
    };
    drawSeries(QColor(0, 0, 200), false, &reference::StepStudyRow::networkError);
    drawSeries(QColor(200, 0, 0), true, &reference::StepStudyRow::rungeKuttaError);

    // The legend, above the plot.
    const QPointF legend(area.left() + 8, area.top() + metrics.height() + 4);
    const QString network = QStringLiteral("○ погрешность сети");
    painter.setPen(QColor(0, 0, 200));
    painter.drawText(legend, network);
    painter.setPen(QColor(200, 0, 0));
    painter.drawText(legend + QPointF(metrics.horizontalAdvance(network) + 16, 0),
                     QStringLiteral("□ погрешность Рунге-Кутта"));
    painter.restore();
}

} // namespace axolite::render
