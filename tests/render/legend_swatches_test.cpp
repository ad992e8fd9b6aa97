// The legend's swatches: one colour edge to edge, drawn at the screen's pixel ratio.
#include "render/legend_swatches.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace axolite::render {
namespace {

using language::SeriesFamily;

TEST(LegendSwatches, OneColourAtTheScreensPixelRatio) {
    const QImage dense = swatchImage(SeriesFamily::Exact, 3, 2.0);
    EXPECT_EQ(dense.size(), QSize(20, 20));
    EXPECT_EQ(dense.deviceIndependentSize(), QSizeF(10, 10));
    for (const QPoint corner : {QPoint(0, 0), QPoint(19, 19), QPoint(0, 19), QPoint(19, 0)}) {
        EXPECT_EQ(dense.pixelColor(corner), QColor(96, 255, 255));
    }
    // paintSwatch fills its rectangle and nothing beside it.
    QImage image(30, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintSwatch(painter, QRect(10, 10, kSwatchSize, kSwatchSize), SeriesFamily::Network, 0);
    painter.end();
    EXPECT_EQ(image.pixelColor(10, 10), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(19, 19), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(9, 15), QColor(Qt::white));
}

} // namespace
} // namespace axolite::render
