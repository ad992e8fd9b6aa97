// Pictures of the painters as images and files.
#include "render/picture_files.h"

#include <QPainter>
#include <QSaveFile>
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

bool savePng(const QImage& image, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG")) {
        return false;
    }
    return file.commit();
}

bool saveSvg(const QString& path, const QRect& area, const PaintFunction& paint) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setSize(area.size());
    generator.setViewBox(QRect(QPoint(0, 0), area.size()));
    generator.setResolution(96);
    QPainter painter;
    if (!painter.begin(&generator)) {
        return false;
    }
    painter.translate(-area.topLeft());
    paint(painter);
    painter.end();
    return file.commit();
}

} // namespace axolite::render
