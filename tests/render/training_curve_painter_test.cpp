// The training curve's labels: an end value of the norm axis, however wide, is shown whole.
#include "render/training_curve_painter.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

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

} // namespace
