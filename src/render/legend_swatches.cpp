// Series colours and legend swatches.
#include "render/legend_swatches.h"

#include "core/views/series.h"

#include <QPainter>

#include <cmath>

namespace axolite::render {

QColor seriesColor(language::SeriesFamily family, int k) {
    const views::SeriesColour c = views::seriesColour(family, k);
    return QColor(c.red, c.green, c.blue);
}

void paintSwatch(QPainter& painter, const QRect& rect, language::SeriesFamily family, int k) {
    painter.fillRect(rect, seriesColor(family, k));
}

QImage swatchImage(language::SeriesFamily family, int k, qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int side = static_cast<int>(std::ceil(kSwatchSize * ratio));
    QImage image(side, side, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(seriesColor(family, k));
    return image;
}

} // namespace axolite::render
