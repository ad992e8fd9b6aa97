// Toolbar pictures: 16 × 16 glyphs on a plain background, one per command.
#include "app/shell/command_icons.h"

#include "app/shell/command_table.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace axolite::shell {

namespace {

QPixmap blank() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void page(QPainter& p, QColor fill = Qt::white) {
    p.setPen(QColor(60, 60, 60));
    p.setBrush(fill);
    p.drawRect(3, 1, 10, 14);
}

void lines(QPainter& p) {
    p.setPen(QColor(90, 90, 160));
    for (int y = 4; y <= 12; y += 2) {
        p.drawLine(5, y, 11, y);
    }
}

void letter(QPainter& p, const QString& text, QColor colour) {
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

void network(QPainter& p, QColor node) {
    p.setPen(QColor(80, 80, 80));
    const QPoint a(3, 3), b(3, 12), c(12, 8);
    p.drawLine(a, c);
    p.drawLine(b, c);
    p.setBrush(node);
    p.drawEllipse(a, 2, 2);
    p.drawEllipse(b, 2, 2);
    p.drawEllipse(c, 3, 3);
}

void curve(QPainter& p, QColor colour) {
    p.setPen(QColor(60, 60, 60));
    p.drawLine(1, 14, 15, 14);
    p.drawLine(1, 1, 1, 14);
    QPainterPath path(QPointF(2, 12));
    path.cubicTo(6, 12, 6, 3, 14, 3);
    p.setPen(QPen(colour, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

} // namespace

QIcon commandIcon(int id) {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (id) {
    case CmFileNew:
        page(p);
        break;
    case CmFileOpen:
        p.setPen(QColor(120, 90, 20));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(1, 4, 14, 10);
        p.drawRect(1, 2, 6, 2);
        break;
    case CmFileSave:
        p.setPen(QColor(30, 30, 90));
        p.setBrush(QColor(70, 90, 190));
        p.drawRect(1, 1, 14, 14);
        p.setBrush(Qt::white);
        p.drawRect(4, 2, 8, 5);
        break;
    case CmTeachNetwork:
        network(p, QColor(220, 60, 60));
        break;
    case CmFolders:
        p.setPen(QColor(120, 90, 20));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(1, 6, 9, 7);
        p.drawRect(6, 3, 9, 7);
        break;
    case CmEditCut:
        p.setPen(QPen(QColor(40, 40, 40), 1.5));
        p.drawLine(4, 1, 11, 11);
        p.drawLine(12, 1, 5, 11);
        p.drawEllipse(QPoint(4, 13), 2, 2);
        p.drawEllipse(QPoint(12, 13), 2, 2);
        break;
    case CmEditCopy:
        p.setPen(QColor(60, 60, 60));
        p.setBrush(Qt::white);
        p.drawRect(1, 1, 8, 10);
        p.drawRect(6, 5, 8, 10);
        break;
    case CmEditPaste:
        p.setPen(QColor(90, 60, 20));
        p.setBrush(QColor(200, 150, 80));
        p.drawRect(2, 2, 11, 13);
        p.setBrush(Qt::white);
        p.drawRect(5, 5, 8, 9);
        break;
    case CmEditUndo: {
        QPainterPath path(QPointF(4, 8));
        path.cubicTo(6, 2, 14, 3, 13, 11);
        p.setPen(QPen(QColor(30, 90, 30), 2));
        p.drawPath(path);
        p.drawLine(4, 8, 2, 4);
        p.drawLine(4, 8, 8, 7);
        break;
    }
    case CmFind:
    case CmFindNext:
        p.setPen(QPen(QColor(40, 40, 40), 2));
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(QPoint(6, 6), 4, 4);
        p.drawLine(9, 9, 14, 14);
        if (id == CmFindNext) {
            p.setPen(QPen(QColor(30, 120, 30), 2));
            p.drawLine(12, 2, 15, 5);
            p.drawLine(12, 8, 15, 5);
        }
        break;
    case CmInputActivation:
        letter(p, QStringLiteral("x"), QColor(40, 130, 60));
        break;
    case CmNeuronModel:
        letter(p, QStringLiteral("f"), QColor(120, 60, 150));
        break;
    case CmCheck:
        page(p, QColor(255, 255, 220));
        p.setPen(QPen(QColor(20, 140, 20), 2));
        p.drawLine(5, 9, 8, 12);
        p.drawLine(8, 12, 13, 4);
        break;
    case CmRungeKutta:
        letter(p, QStringLiteral("RK"), QColor(30, 80, 170));
        break;
    case CmExactValues:
        letter(p, QStringLiteral("y"), QColor(170, 80, 30));
        break;
    case CmGraphs:
        curve(p, QColor(200, 30, 30));
        break;
    case CmNumeric:
        letter(p, QStringLiteral("12"), QColor(90, 90, 90));
        break;
    case CmDynamics:
        p.setPen(QColor(40, 40, 40));
        p.setBrush(QColor(60, 160, 220));
        p.drawRect(2, 8, 3, 7);
        p.drawRect(7, 4, 3, 11);
        p.drawRect(12, 1, 3, 14);
        break;
    case CmPrint:
    case CmPrintPreview:
        p.setPen(QColor(50, 50, 50));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(1, 6, 14, 6);
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 8, 5);
        p.drawRect(4, 11, 8, 4);
        if (id == CmPrintPreview) {
            p.setPen(QPen(QColor(30, 30, 140), 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPoint(10, 10), 3, 3);
        }
        break;
    case CmHelpContents:
        letter(p, QStringLiteral("?"), QColor(30, 110, 200));
        break;
    default:
        page(p);
        lines(p);
        break;
    }
    p.end();
    return QIcon(pixmap);
}

const QIcon& programIcon() {
    // Kept to the end of the process: its pictures must not be destroyed after the application
    // object that made them.
    static const QIcon* const icon = new QIcon(QStringLiteral(":/resources/axolite.svg"));
    return *icon;
}

} // namespace axolite::shell
