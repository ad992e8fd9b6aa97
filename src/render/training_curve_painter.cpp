// The training curve painter and its file writer.
#include "render/training_curve_painter.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

namespace axolite::training_ui {

namespace {

constexpr double kMarginLeft = 64.0;
constexpr double kMarginRight = 12.0;
constexpr double kMarginTop = 12.0;
constexpr double kMarginBottom = 30.0;

bool drawable(float norm, bool logScale) {
    return std::isfinite(norm) && (!logScale || norm > 0.0f);
}

double scaled(float norm, bool logScale) {
    return logScale ? std::log10(static_cast<double>(norm)) : static_cast<double>(norm);
}

QString axisText(double value, bool logScale) {
    return QString::asprintf("%g", logScale ? std::pow(10.0, value) : value);
}

} // namespace

void TrainingCurvePainter::paint(QPainter& painter, const QRectF& area,
                                 const TrainingCurve& curve) {
    painter.save();
    painter.fillRect(area, Qt::white);

    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (float norm : curve.norms) {
        if (drawable(norm, curve.logScale)) {
            const double y = scaled(norm, curve.logScale);
            low = std::min(low, y);
            high = std::max(high, y);
        }
    }
    const bool anyNorm = low <= high;
    if (anyNorm) {
        if (high - low < 1e-12 * std::max(1.0, std::fabs(high))) {
            // A flat curve: give it a band to lie in.
            const double pad = curve.logScale ? 0.5 : std::max(std::fabs(high) * 0.1, 1e-6);
            low -= pad;
            high += pad;
        } else if (!curve.logScale && low > 0.0) {
            low = 0.0; // linear norms are shown from 0
        }
    }
    // The end values of the norm axis stand left of the plot, which leaves them the room they
    // need: a wide value (2.6331e+19) is shown whole, never cut at the picture's edge.
    const QFontMetricsF metrics(painter.font());
    const QString highText = anyNorm ? axisText(high, curve.logScale) : QString();
    const QString lowText = anyNorm ? axisText(low, curve.logScale) : QString();
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
    painter.drawText(plot.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop,
                     curve.logScale ? QStringLiteral("Норма (лог. шкала)")
                                    : QStringLiteral("Норма"));
    if (!anyNorm) {
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("Норма : Недоступна"));
        painter.restore();
        return;
    }
    painter.drawText(QRectF(area.left(), plot.top() - 6, marginLeft - 4, 16),
                     Qt::AlignRight | Qt::AlignVCenter, highText);
    painter.drawText(QRectF(area.left(), plot.bottom() - 10, marginLeft - 4, 16),
                     Qt::AlignRight | Qt::AlignVCenter, lowText);

    const double width = plot.width();
    const double xScale = width / static_cast<double>(lastIteration);
    const double yScale = plot.height() / (high - low);
    auto yOf = [&](double value) { return plot.bottom() - (value - low) * yScale; };

    // One vertical run per pixel column: the smallest and largest norm that falls into it.
    const int columns = std::max(1, static_cast<int>(width) + 1);
    std::vector<double> columnLow(static_cast<std::size_t>(columns),
                                  std::numeric_limits<double>::infinity());
    std::vector<double> columnHigh(static_cast<std::size_t>(columns),
                                   -std::numeric_limits<double>::infinity());
    for (std::size_t t = 0; t < curve.norms.size(); ++t) {
        if (!drawable(curve.norms[t], curve.logScale)) {
            continue;
        }
        const int column =
            std::clamp(static_cast<int>(static_cast<double>(t) * xScale), 0, columns - 1);
        const double y = scaled(curve.norms[t], curve.logScale);
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
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    painter.setPen(QPen(QColor(0, 0, 255), 1.5));
    painter.drawPath(path);
    painter.restore();
}

QString writeTrainingCurve(const QString& path, const TrainingCurve& curve, int width, int height) {
    std::unique_ptr<QGuiApplication> application;
    static int argc = 1;
    static char name[] = "axolite";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        // A headless tool: the platform's notes on its run-time folder are of no interest.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg) {
                std::fprintf(stderr, "%s\n", qPrintable(text));
            }
        });
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("Невозможно создать файл ") + path;
    }
    const QRectF area(0, 0, width, height);
    bool written = true;
    if (QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(QSize(width, height));
        svg.setViewBox(area);
        svg.setTitle(QStringLiteral("Норма"));
        QPainter painter(&svg);
        TrainingCurvePainter::paint(painter, area, curve);
    } else {
        QImage image(width, height, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            TrainingCurvePainter::paint(painter, area, curve);
        }
        written = image.save(&file, "PNG");
    }
    if (!written || !file.commit()) {
        file.cancelWriting();
        return QStringLiteral("Невозможно создать файл ") + path;
    }
    return {};
}

} // namespace axolite::training_ui
