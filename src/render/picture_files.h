// Pictures of the painters outside a window: an area of the view's client coordinates rendered
// into an image, PNG or SVG bytes made in memory, and files written through the safe writer.
#pragma once

#include "render/safe_file.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace axolite::render {

// Draws in the view's client coordinates (GraphsPainter::paint, DynamicsPainter::paintStill, ...).
using PaintFunction = std::function<void(QPainter&)>;

// The area of the client area as an image of area.size() logical pixels at the device pixel
// ratio (twice as many device pixels each way at ratio 2), its top-left corner at (0, 0).
QImage renderImage(const QRect& area, qreal devicePixelRatio, const PaintFunction& paint);

// The image as the bytes of a PNG file.
QByteArray pngBytes(const QImage& image);

// The area as the bytes of an SVG picture of area.size() pixels, with the title when one is given.
QByteArray svgBytes(const QRect& area, const PaintFunction& paint, const QString& title = {});

// The image as a PNG file, or the area as an SVG file; as writeFile.
std::optional<platform::FileWriteFailure> savePng(const QImage& image, const QString& path);
std::optional<platform::FileWriteFailure> saveSvg(const QString& path, const QRect& area,
                                                  const PaintFunction& paint);

} // namespace axolite::render
