// The training curve painter and its file writer.
#include "render/training_curve_painter.h"

#include "core/training/training_history.h"

#include "render/picture_files.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>

namespace axolite::training_ui {

namespace {

constexpr double kMarginLeft = 64.0;
constexpr double kMarginRight = 12.0;
constexpr double kMarginTop = 12.0;
constexpr double kMarginBottom = 30.0;

bool drawable(double value, bool logScale) {
    return std::isfinite(value) && (!logScale || value > 0.0);
}

double scaled(double value, bool logScale) {
    return logScale ? std::log10(value) : value;
}

QString axisText(double value, bool logScale) {
    return QString::asprintf("%g", logScale ? std::pow(10.0, value) : value);
}

// One curve of the picture: its values by iteration, its colour and its name.
struct Series {
    std::vector<double> values;
    QColor colour;
    QString name;
    std::vector<double> deviation; // the band of ± one deviation, when there is one
    int first = 0;                 // the iteration of values[0]
};

// Colours of the compared curves, in turn.
QColor comparedColour(std::size_t index) {
    static const QColor kColours[] = {QColor(0, 0, 255),   QColor(200, 0, 0),   QColor(0, 140, 0),
                                      QColor(230, 130, 0), QColor(140, 0, 160), QColor(0, 150, 160),
                                      QColor(120, 80, 40), QColor(90, 90, 90)};
    return kColours[index % std::size(kColours)];
}

std::vector<Series> seriesOf(const TrainingCurve& curve) {
    std::vector<Series> series;
    const auto anyDrawable = [&](const auto& values) {
        return std::any_of(values.begin(), values.end(), [&](auto v) {
            return drawable(static_cast<double>(v), curve.logScale);
        });
    };
    if (anyDrawable(curve.norms)) {
        series.push_back({std::vector<double>(curve.norms.begin(), curve.norms.end()),
                          QColor(0, 0, 255),
                          normName(curve.firstIteration),
                          {},
                          curve.firstIteration});
    }
    if (anyDrawable(curve.errors)) {
        series.push_back({curve.errors,
                          QColor(200, 0, 0),
                          QStringLiteral("Среднеквадратичная ошибка"),
                          {},
                          curve.firstIteration});
    }
    for (const ComparedCurve& compared : curve.compared) {
        series.push_back({compared.values, comparedColour(series.size()), compared.name,
                          compared.deviation, compared.firstIteration});
    }
    return series;
}

// The smallest and largest scaled value of the series, with a band around a flat curve and 0 at
// the bottom of a linear axis of positive values.
std::pair<double, double> rangeOf(const std::vector<Series>& series, bool logScale) {
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    const auto take = [&](double value) {
        if (drawable(value, logScale)) {
            const double y = scaled(value, logScale);
            low = std::min(low, y);
            high = std::max(high, y);
        }
    };
    for (const Series& s : series) {
        for (std::size_t t = 0; t < s.values.size(); ++t) {
            take(s.values[t]);
            if (t < s.deviation.size()) {
                take(s.values[t] - s.deviation[t]);
                take(s.values[t] + s.deviation[t]);
            }
        }
    }
    if (high - low < 1e-12 * std::max(1.0, std::fabs(high))) {
        // A flat curve: give it a band to lie in.
        const double pad = logScale ? 0.5 : std::max(std::fabs(high) * 0.1, 1e-6);
        low -= pad;
        high += pad;
    } else if (!logScale && low > 0.0) {
        low = 0.0; // linear values are shown from 0
    }
    return {low, high};
}

// The names of the curves in their colours at the top left of the plot.
void paintNames(QPainter& painter, const QRectF& plot, const std::vector<Series>& series,
                bool logScale) {
    const QFontMetricsF metrics(painter.font());
    if (series.size() > 2) {
        // A legend, one curve a line, at the top right.
        double width = 0.0;
        for (const Series& s : series) {
            width = std::max(width, metrics.horizontalAdvance(s.name));
        }
        const double line = metrics.height();
        const QRectF box(plot.right() - width - 34, plot.top() + 4, width + 30,
                         line * static_cast<double>(series.size()) + 6);
        painter.fillRect(box, QColor(255, 255, 255, 220));
        for (std::size_t i = 0; i < series.size(); ++i) {
            const double y = box.top() + 3 + line * static_cast<double>(i);
            painter.setPen(QPen(series[i].colour, 2));
            painter.drawLine(QPointF(box.left() + 4, y + line / 2),
                             QPointF(box.left() + 20, y + line / 2));
            painter.drawText(QRectF(box.left() + 24, y, width + 4, line),
                             Qt::AlignLeft | Qt::AlignVCenter, series[i].name);
        }
        painter.setPen(Qt::black);
        return;
    }
    double x = plot.left() + 6;
    for (std::size_t i = 0; i < series.size(); ++i) {
        QString text = series[i].name;
        if (i + 1 < series.size()) {
            text += QStringLiteral(", ");
        } else if (logScale) {
            text += QStringLiteral(" (лог. шкала)");
        }
        painter.setPen(series[i].colour);
        painter.drawText(QRectF(x, plot.top() + 4, plot.right() - x, 16),
                         Qt::AlignLeft | Qt::AlignTop, text);
        x += metrics.horizontalAdvance(text);
    }
    painter.setPen(Qt::black);
}

// One vertical run per pixel column: the smallest and largest value that falls into it.
void paintSeries(QPainter& painter, const QRectF& plot, const Series& series, bool logScale,
                 double xScale, const std::function<double(double)>& yOf) {
    const int columns = std::max(1, static_cast<int>(plot.width()) + 1);
    std::vector<double> columnLow(static_cast<std::size_t>(columns),
                                  std::numeric_limits<double>::infinity());
    std::vector<double> columnHigh(static_cast<std::size_t>(columns),
                                   -std::numeric_limits<double>::infinity());
    for (std::size_t t = 0; t < series.values.size(); ++t) {
        if (!drawable(series.values[t], logScale)) {
            continue;
        }
        const int column = std::clamp(
            static_cast<int>(static_cast<double>(series.first + static_cast<int>(t)) * xScale), 0,
            columns - 1);
        const double y = scaled(series.values[t], logScale);
        columnLow[column] = std::min(columnLow[column], y);
        columnHigh[column] = std::max(columnHigh[column], y);
    }
    QPainterPath path;
    bool started = false;
    for (int c = 0; c < columns; ++c) {
        if (!(columnLow[c] <= columnHigh[c])) {
            continue;
        }
        const double x = plot.left() + c;
        const QPointF top(x, yOf(columnHigh[c]));
        const QPointF bottom(x, yOf(columnLow[c]));
        if (!started) {
            path.moveTo(bottom);
            started = true;
        } else {
            path.lineTo(bottom);
        }
        if (top != bottom) {
            path.lineTo(top);
        }
    }
    painter.save();
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    painter.setPen(QPen(series.colour, 1.5));
    painter.drawPath(path);
    painter.restore();
}

// The band of ± one deviation around the values, filled in the series' colour, lightened.
void paintBand(QPainter& painter, const QRectF& plot, const Series& series, bool logScale,
               double xScale, const std::function<double(double)>& yOf) {
    QPolygonF upper;
    QPolygonF lower;
    for (std::size_t t = 0; t < series.values.size() && t < series.deviation.size(); ++t) {
        const double high = series.values[t] + series.deviation[t];
        const double low = series.values[t] - series.deviation[t];
        if (!drawable(high, logScale) || !drawable(low, logScale)) {
            continue;
        }
        const double x =
            plot.left() + static_cast<double>(series.first + static_cast<int>(t)) * xScale;
        upper << QPointF(x, yOf(scaled(high, logScale)));
        lower.prepend(QPointF(x, yOf(scaled(low, logScale))));
    }
    if (upper.isEmpty()) {
        return;
    }
    QColor fill = series.colour;
    fill.setAlpha(50);
    painter.save();
    painter.setClipRect(plot);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPolygon(upper + lower);
    painter.restore();
}

// The cursor: a dashed vertical line at its iteration.
void paintCursor(QPainter& painter, const QRectF& plot, double iteration, double xScale) {
    const double x = std::clamp(plot.left() + iteration * xScale, plot.left(), plot.right());
    painter.save();
    painter.setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    painter.restore();
}

} // namespace

QString normName(int firstIteration) {
    return QString::fromStdString(training::branchNormName(firstIteration));
}

void TrainingCurvePainter::paint(QPainter& painter, const QRectF& area,
                                 const TrainingCurve& curve) {
    painter.save();
    painter.fillRect(area, Qt::white);
    const std::vector<Series> series = seriesOf(curve);
    const bool anyCurve = !series.empty();
    const std::pair<double, double> range =
        anyCurve ? rangeOf(series, curve.logScale) : std::pair{0.0, 0.0};
    const double low = range.first;
    const double high = range.second;
    // The end values of the vertical axis stand left of the plot, which leaves them the room
    // they need: a wide value (2.6331e+19) is shown whole, never cut at the picture's edge.
    const QFontMetricsF metrics(painter.font());
    const QString highText = anyCurve ? axisText(high, curve.logScale) : QString();
    const QString lowText = anyCurve ? axisText(low, curve.logScale) : QString();
    const double labelWidth =
        std::max(metrics.horizontalAdvance(highText), metrics.horizontalAdvance(lowText));
    const double marginLeft = std::max(kMarginLeft, std::ceil(labelWidth) + 8.0);
    const QRectF plot = area.adjusted(marginLeft, kMarginTop, -kMarginRight, -kMarginBottom);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(plot);
    const int lastIteration = std::max(curve.iterations - 1, 1);
    // The ends of the iteration axis below it; the axis' name between them when there is room.
    const QString first = QStringLiteral("0");
    const QString last = QString::number(lastIteration);
    const QRectF below(plot.left(), plot.bottom() + 2, plot.width(), kMarginBottom - 4);
    painter.drawText(below, Qt::AlignLeft | Qt::AlignTop, first);
    painter.drawText(below, Qt::AlignRight | Qt::AlignTop, last);
    const QString axis = QStringLiteral("Итерация обучения");
    if (metrics.horizontalAdvance(first + last + axis) + 24 < plot.width()) {
        painter.drawText(below, Qt::AlignHCenter | Qt::AlignTop, axis);
    }
    if (!anyCurve) {
        painter.drawText(plot.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop,
                         curve.logScale ? QStringLiteral("Норма (лог. шкала)")
                                        : QStringLiteral("Норма"));
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("Норма : Недоступна"));
        painter.restore();
        return;
    }
    // The legend of a comparison goes over the curves, which would otherwise hide its lines.
    const bool legendBox = series.size() > 2;
    if (!legendBox) {
        paintNames(painter, plot, series, curve.logScale);
    }
    painter.drawText(QRectF(area.left(), plot.top() - 6, marginLeft - 4, 16),
                     Qt::AlignRight | Qt::AlignVCenter, highText);
    painter.drawText(QRectF(area.left(), plot.bottom() - 10, marginLeft - 4, 16),
                     Qt::AlignRight | Qt::AlignVCenter, lowText);

    const double xScale = plot.width() / static_cast<double>(lastIteration);
    const double yScale = plot.height() / (high - low);
    const auto yOf = [&](double value) { return plot.bottom() - (value - low) * yScale; };
    for (const Series& s : series) {
        paintBand(painter, plot, s, curve.logScale, xScale, yOf);
    }
    for (const Series& s : series) {
        paintSeries(painter, plot, s, curve.logScale, xScale, yOf);
    }
    if (curve.cursor) {
        paintCursor(painter, plot, *curve.cursor, xScale);
    }
    if (legendBox) {
        paintNames(painter, plot, series, curve.logScale);
    }
    painter.restore();
}

QByteArray trainingCurveBytes(const TrainingCurve& curve, bool svg, int width, int height) {
    const QRectF area(0, 0, width, height);
    if (svg) {
        return render::svgBytes(
            QRect(0, 0, width, height),
            [&](QPainter& painter) { TrainingCurvePainter::paint(painter, area, curve); },
            QStringLiteral("Норма"));
    }
    QImage image(width, height, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        TrainingCurvePainter::paint(painter, area, curve);
    }
    return render::pngBytes(image);
}

std::optional<platform::FileWriteFailure>
writeTrainingCurve(const QString& path, const TrainingCurve& curve, int width, int height) {
    const bool svg =
        QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0;
    return render::writeFile(path, trainingCurveBytes(curve, svg, width, height));
}

} // namespace axolite::training_ui
