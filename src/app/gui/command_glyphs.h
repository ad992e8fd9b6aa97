// The pieces the 16 × 16 toolbar pictures of the commands are drawn from, shared by the frame and
// the tools, each of which draws its own command's picture.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

class QPainter;

namespace axolite::gui {

// A picture drawn by draw on a transparent 16 × 16 field (nullptr: a page of lines).
QIcon glyphIcon(void (*draw)(QPainter& painter));

// A sheet of paper, and lines of text on it.
void glyphPage(QPainter& p, QColor fill = Qt::white);
void glyphLines(QPainter& p);
// A rounded square of the colour with a short white text.
void glyphLetter(QPainter& p, const QString& text, QColor colour);
// Two inputs joined to one neuron.
void glyphNetwork(QPainter& p, QColor node);
// A curve over two axes.
void glyphCurve(QPainter& p, QColor colour);

} // namespace axolite::gui
