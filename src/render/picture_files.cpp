// Pictures of the painters as images, bytes and files.
#include "render/picture_files.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include <cmath>

namespace axolite::render {

QImage renderImage(const QRect& area, qreal devicePixelRatio, const PaintFunction& paint) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QImage image(static_cast<int>(std::ceil(area.width() * ratio)),
                 static_cast<int>(std::ceil(area.height() * ratio)), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.translate(-area.topLeft());
    paint(painter);
    painter.end();
    return image;
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray svgBytes(const QRect& area, const PaintFunction& paint, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(area.size());
    generator.setViewBox(QRect(QPoint(0, 0), area.size()));
    generator.setResolution(96);
    if (!title.isEmpty()) {
        generator.setTitle(title);
    }
    QPainter painter;
    if (painter.begin(&generator)) {
        painter.translate(-area.topLeft());
        paint(painter);
        painter.end();
    }
    return bytes;
}

std::optional<platform::FileWriteFailure> savePng(const QImage& image, const QString& path) {
    return writeFile(path, pngBytes(image));
}

std::optional<platform::FileWriteFailure> saveSvg(const QString& path, const QRect& area,
                                                  const PaintFunction& paint) {
    return writeFile(path, svgBytes(area, paint));
}

} // namespace axolite::render
