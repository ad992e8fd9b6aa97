// The fixed colours of the twelve series as Qt colours, and the legend's single-colour swatches.
#pragma once

#include "core/language/network_record.h"

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

namespace axolite::render {

// The colour of the curve and the swatch of series k (0..3) of a family.
QColor seriesColor(language::SeriesFamily family, int k);

// The size of a legend swatch, in logical pixels.
inline constexpr int kSwatchSize = 10;

// Fills the rectangle with exactly the colour of the series, and nothing else.
void paintSwatch(QPainter& painter, const QRect& rect, language::SeriesFamily family, int k);

// A 10 × 10 swatch as an image for a label, at the screen's device pixel ratio (sharp on a
// high-density screen: 20 × 20 device pixels at ratio 2). The legend shows all twelve, present
// or not.
QImage swatchImage(language::SeriesFamily family, int k, qreal devicePixelRatio = 1.0);

} // namespace axolite::render
