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

// The plot's rectangle and the decades it spans in h and in the errors.
struct LogPlot {
    QRectF rect;
    Range hs;
    Range errors;

    QPointF point(double lh, double le) const {
        return QPointF(rect.left() + (lh - hs.low) / (hs.high - hs.low) * rect.width(),
                       rect.bottom() -
                           (le - errors.low) / (errors.high - errors.low) * rect.height());
    }
};

using Rows = std::vector<reference::StepStudyRow>;

// The decades of the rows' plotted values; nothing when there is no point to draw or no room.
std::optional<LogPlot> logPlotOf(const QRectF& area, const Rows& rows) {
    LogPlot plot;
    for (const auto& row : rows) {
        const auto h = plotted(row.h);
        const auto network = plotted(row.networkError);
        const auto rk = plotted(row.rungeKuttaError);
        if (h && (network || rk)) {
            plot.hs.take(*h);
            if (network) {
                plot.errors.take(*network);
            }
            if (rk) {
                plot.errors.take(*rk);
            }
        }
    }
    plot.rect = area.adjusted(70, 36, -20, -50);
    if (plot.hs.empty() || plot.errors.empty() || plot.rect.width() < 10 ||
        plot.rect.height() < 10) {
        return std::nullopt;
    }
    plot.hs.widen();
    plot.errors.widen();
    return plot;
}

// The decades: grid lines and labels, the frame and the axis name.
void drawDecades(QPainter& painter, const LogPlot& plot) {
    const QRectF& rect = plot.rect;
    const QFontMetricsF metrics(painter.font());
    const Range& errors = plot.errors;
    const int errorStep = std::max(1, static_cast<int>((errors.high - errors.low) / 10.0));
    for (double d = plot.hs.low; d <= plot.hs.high + 0.5; d += 1.0) {
        const QPointF p = plot.point(d, errors.low);
        painter.setPen(QPen(QColor(220, 220, 220), 0));
        painter.drawLine(QPointF(p.x(), rect.top()), QPointF(p.x(), rect.bottom()));
        painter.setPen(Qt::black);
        const QString label = QStringLiteral("1e%1").arg(static_cast<int>(d));
        painter.drawText(QPointF(p.x() - metrics.horizontalAdvance(label) / 2,
                                 rect.bottom() + metrics.height() + 2),
                         label);
    }
    for (double d = errors.low; d <= errors.high + 0.5; d += errorStep) {
        const QPointF p = plot.point(plot.hs.low, d);
        painter.setPen(QPen(QColor(220, 220, 220), 0));
        painter.drawLine(QPointF(rect.left(), p.y()), QPointF(rect.right(), p.y()));
        painter.setPen(Qt::black);
        const QString label = QStringLiteral("1e%1").arg(static_cast<int>(d));
        painter.drawText(QPointF(rect.left() - metrics.horizontalAdvance(label) - 4,
                                 p.y() + metrics.ascent() / 2),
                         label);
    }
    painter.setPen(Qt::black);
    painter.drawRect(rect);
    painter.drawText(QRectF(rect.left(), rect.bottom() + metrics.height() + 4, rect.width(),
                            metrics.height() + 4),
                     Qt::AlignHCenter, QStringLiteral("h"));
}

// One series of errors: its points joined, each marked by a circle or a square.
void drawSeries(QPainter& painter, const LogPlot& plot, const Rows& rows, const QColor& colour,
                bool squares, std::optional<double> reference::StepStudyRow::*error) {
    painter.setPen(QPen(colour, 1.5));
    std::optional<QPointF> previous;
    for (const auto& row : rows) {
        const auto h = plotted(row.h);
        const auto e = plotted(row.*error);
        if (!h || !e) {
            previous.reset();
            continue;
        }
        const QPointF p = plot.point(*h, *e);
        if (previous) {
            painter.drawLine(*previous, p);
        }
        const QRectF mark(p.x() - 3, p.y() - 3, 6, 6);
        squares ? painter.drawRect(mark) : painter.drawEllipse(mark);
        previous = p;
    }
}

// The legend, above the plot.
void drawLegend(QPainter& painter, const QRectF& area) {
    const QFontMetricsF metrics(painter.font());
    const QPointF legend(area.left() + 8, area.top() + metrics.height() + 4);
    const QString network = QStringLiteral("○ погрешность сети");
    painter.setPen(QColor(0, 0, 200));
    painter.drawText(legend, network);
    painter.setPen(QColor(200, 0, 0));
    painter.drawText(legend + QPointF(metrics.horizontalAdvance(network) + 16, 0),
                     QStringLiteral("□ погрешность Рунге-Кутта"));
}

} // namespace

void StepStudyPainter::paint(QPainter& painter, const QRectF& area, const Rows& rows) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    const std::optional<LogPlot> plot = logPlotOf(area, rows);
    painter.setPen(Qt::black);
    if (!plot) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("Нет данных"));
        painter.restore();
        return;
    }
    painter.setPen(QPen(QColor(220, 220, 220), 0));
    drawDecades(painter, *plot);
    drawSeries(painter, *plot, rows, QColor(0, 0, 200), false,
               &reference::StepStudyRow::networkError);
    drawSeries(painter, *plot, rows, QColor(200, 0, 0), true,
               &reference::StepStudyRow::rungeKuttaError);
    drawLegend(painter, area);
    painter.restore();
}

} // namespace axolite::render
