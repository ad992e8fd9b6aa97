// What the painters' tests look at in a picture: colours of pixels, and images painted in the
// views' client coordinates over a background that shows anything drawn outside the plot.
#pragma once

#include "render/picture_files.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <functional>

namespace axolite::render::test {

inline const QColor kMarker(255, 0, 255); // never a colour the painters use
inline const QColor kBlack(0, 0, 0);
inline const QColor kLightGrey(192, 192, 192);

// The client area of a view, 640 × 300 logical pixels, filled with the marker before painting.
inline QImage paintClientArea(const PaintFunction& paint, qreal ratio = 1.0) {
    QImage image(static_cast<int>(640 * ratio), static_cast<int>(300 * ratio),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(kMarker);
    QPainter painter(&image);
    paint(painter);
    painter.end();
    return image;
}

inline QColor pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// True when every pixel outside the rectangle (in device pixels) still has the marker colour.
inline bool untouchedOutside(const QImage& image, const QRect& inside) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!inside.contains(x, y) && image.pixelColor(x, y) != kMarker) {
                return false;
            }
        }
    }
    return true;
}

} // namespace axolite::render::test
