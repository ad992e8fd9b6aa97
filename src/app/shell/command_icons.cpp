// Toolbar pictures of the frame's own commands (16 × 16 glyphs on a plain background); a tool's
// picture is drawn by its descriptor.
#include "app/shell/command_icons.h"

#include "app/shell/command_table.h"

#include "app/gui/command_glyphs.h"
#include "app/gui/tool_register.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace axolite::shell {

namespace {

using namespace axolite::gui;

// The editing and search commands' pictures; false for another command.
bool drawEditCommand(int id, QPainter& p);

void drawFrameCommand(int id, QPainter& p) {
    if (drawEditCommand(id, p)) {
        return;
    }
    switch (id) {
    case CmFileNew:
        glyphPage(p);
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
    case CmFolders:
        p.setPen(QColor(120, 90, 20));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(1, 6, 9, 7);
        p.drawRect(6, 3, 9, 7);
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
        glyphLetter(p, QStringLiteral("?"), QColor(30, 110, 200));
        break;
    default:
        glyphPage(p);
        glyphLines(p);
        break;
    }
}

bool drawEditCommand(int id, QPainter& p) {
    switch (id) {
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
    default:
        return false;
    }
    return true;
}

} // namespace

QIcon commandIcon(int id) {
    if (const ToolDescriptor* tool = findTool(id)) {
        return glyphIcon(tool->drawIcon);
    }
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawFrameCommand(id, p);
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
