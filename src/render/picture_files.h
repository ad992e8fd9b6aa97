// Pictures of the painters outside a window: an area of the view's client coordinates rendered
// into an image or written as a PNG or SVG file (through a temporary file and a rename).
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <functional>

class QPainter;

namespace axolite::render {

// Draws in the view's client coordinates (GraphsPainter::paint, DynamicsPainter::paintStill, ...).
using PaintFunction = std::function<void(QPainter&)>;

// The area of the client area as an image of area.size() logical pixels at the device pixel
// ratio (twice as many device pixels each way at ratio 2), its top-left corner at (0, 0).
QImage renderImage(const QRect& area, qreal devicePixelRatio, const PaintFunction& paint);

// Writes the image as PNG; false when the file cannot be written (an existing file then stays
// as it was).
bool savePng(const QImage& image, const QString& path);

// Writes the area as an SVG picture of area.size() pixels; false when the file cannot be written.
bool saveSvg(const QString& path, const QRect& area, const PaintFunction& paint);

} // namespace axolite::render
