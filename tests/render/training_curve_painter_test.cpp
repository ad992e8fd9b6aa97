// The training curve: an end value of the vertical axis, however wide, is shown whole; the norm
// and the mean squared error share the axis, each in its colour.
#include "render/training_curve_painter.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

using axolite::training_ui::TrainingCurve;
using axolite::training_ui::TrainingCurvePainter;

bool dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

// Dark pixels of the rows [top, bottom) in the columns [0, right).
int darkPixels(const QImage& image, int right, int top, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < right; ++x) {
            count += dark(image, x, y) ? 1 : 0;
        }
    }
    return count;
}

TEST(TrainingCurvePainter, AWideTopValueIsShownWhole) {
    TrainingCurve curve;
    curve.norms = {2.6331e19f, 1.5e19f, 4.0e18f};
    curve.iterations = 3;
    QImage image(640, 400, QImage::Format_RGB32);
    QPainter painter(&image);
    TrainingCurvePainter::paint(painter, QRectF(image.rect()), curve);
    const QFont font = painter.font();
    painter.end();

    // The plot's frame: the first dark column of the middle row.
    int frame = 0;
    while (frame < image.width() && !dark(image, frame, 200)) {
        ++frame;
    }
    ASSERT_LT(frame, image.width());

    // The same text drawn freely, as the reference of what a whole label holds.
    const QString text = QString::asprintf("%g", static_cast<double>(2.6331e19f));
    ASSERT_EQ(text, QStringLiteral("2.6331e+19"));
    QImage alone(400, 40, QImage::Format_RGB32);
    alone.fill(Qt::white);
    QPainter free(&alone);
    free.setFont(font);
    free.setPen(Qt::black);
    free.drawText(QPointF(20, 25), text);
    free.end();
    const int whole = darkPixels(alone, alone.width(), 0, alone.height());
    ASSERT_GT(whole, 20);

    // The top label stands in the rows around the frame's top (12), left of the frame, clear of
    // the picture's edge, with (nearly: antialiasing) every pixel of the whole text.
    const int shown = darkPixels(image, frame - 1, 2, 24);
    EXPECT_GE(shown, whole * 9 / 10);
    for (int y = 2; y < 24; ++y) {
        EXPECT_FALSE(dark(image, 0, y)) << y;
    }
}

// Pixels of the colour's hue (blue: the norm; red: the mean squared error).
int pixelsLike(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.saturation() > 150 && std::abs(c.hue() - colour.hue()) < 20 ? 1 : 0;
        }
    }
    return count;
}

TEST(TrainingCurvePainter, TheNormAndTheErrorAreDrawnInTheirColours) {
    TrainingCurve curve;
    curve.iterations = 100;
    for (int t = 0; t < 100; ++t) {
        curve.norms.push_back(1.0f / static_cast<float>(t + 1));
        curve.errors.push_back(0.5 / (t + 1));
    }
    for (const bool logScale : {false, true}) {
        curve.logScale = logScale;
        for (const bool withErrors : {false, true}) {
            TrainingCurve drawn = curve;
            if (!withErrors) {
                drawn.errors.clear();
            }
            QImage image(640, 400, QImage::Format_RGB32);
            QPainter painter(&image);
            TrainingCurvePainter::paint(painter, QRectF(image.rect()), drawn);
            painter.end();
            EXPECT_GT(pixelsLike(image, QColor(0, 0, 255)), 300) << logScale;
            EXPECT_EQ(pixelsLike(image, QColor(200, 0, 0)) > 300, withErrors) << logScale;
        }
    }
    // The error alone: drawn, where the norm does not exist.
    curve.norms.assign(100, std::nanf(""));
    QImage image(640, 400, QImage::Format_RGB32);
    QPainter painter(&image);
    TrainingCurvePainter::paint(painter, QRectF(image.rect()), curve);
    painter.end();
    EXPECT_GT(pixelsLike(image, QColor(200, 0, 0)), 300);
    EXPECT_LT(pixelsLike(image, QColor(0, 0, 255)), 10);
}

} // namespace
