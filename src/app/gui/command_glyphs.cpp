// The pieces of the toolbar pictures.
#include "app/gui/command_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace axolite::gui {

QIcon glyphIcon(void (*draw)(QPainter& painter)) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (draw != nullptr) {
        draw(p);
    } else {
        glyphPage(p);
        glyphLines(p);
    }
    p.end();
    return QIcon(pixmap);
}

void glyphPage(QPainter& p, QColor fill) {
    p.setPen(QColor(60, 60, 60));
    p.setBrush(fill);
    p.drawRect(3, 1, 10, 14);
}

void glyphLines(QPainter& p) {
    p.setPen(QColor(90, 90, 160));
    for (int y = 4; y <= 12; y += 2) {
        p.drawLine(5, y, 11, y);
    }
}

void glyphLetter(QPainter& p, const QString& text, QColor colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(0, 0, 16, 16, 3, 3);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(text.size() > 1 ? 8 : 12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, text);
}

void glyphNetwork(QPainter& p, QColor node) {
    p.setPen(QColor(80, 80, 80));
    const QPoint a(3, 3), b(3, 12), c(12, 8);
    p.drawLine(a, c);
    p.drawLine(b, c);
    p.setBrush(node);
    p.drawEllipse(a, 2, 2);
    p.drawEllipse(b, 2, 2);
    p.drawEllipse(c, 3, 3);
}

void glyphCurve(QPainter& p, QColor colour) {
    p.setPen(QColor(60, 60, 60));
    p.drawLine(1, 14, 15, 14);
    p.drawLine(1, 1, 1, 14);
    QPainterPath path(QPointF(2, 12));
    path.cubicTo(6, 12, 6, 3, 14, 3);
    p.setPen(QPen(colour, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

} // namespace axolite::gui
