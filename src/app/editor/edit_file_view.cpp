// The description editor's view: where lines and columns stand on screen, scrolling, painting.
#include "app/editor/edit_file.h"

#include "app/editor/line_layout.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

using namespace axolite::editor;

namespace {
// The band behind a line the debugger marks: a pale yellow the selection stays readable on.
const QColor kMarkedLineColour{255, 240, 160};
} // namespace

// ---- geometry --------------------------------------------------------------------------------

int TAxoliteEditFile::lineHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

int TAxoliteEditFile::visibleLines() const {
    return std::max(1, viewport()->height() / lineHeight());
}

int TAxoliteEditFile::firstVisibleLine() const {
    return verticalScrollBar()->value();
}

void TAxoliteEditFile::updateScrollBars() {
    if (!widestKnown_) {
        widest_ = buffer_.widestLine(kTabColumns);
        widestKnown_ = true;
    }
    const int lines = visibleLines();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setPageStep(lines);
    vertical->setRange(0, std::max(0, lineCount() - lines));

    const qreal charWidth = QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '));
    const qreal widest = std::max(static_cast<qreal>(widest_) * charWidth, layouts_.measured());
    const int width = static_cast<int>(std::ceil(widest + charWidth)) + 2 * kMargin;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(static_cast<int>(std::ceil(charWidth)));
    horizontal->setRange(0, std::max(0, width - viewport()->width()));
}

QRect TAxoliteEditFile::caretRect() const {
    const qsizetype line = caret_.line();
    const qreal x = layouts_.columnX(line, caret_.caret() - buffer_.lineStart(line));
    const int left = static_cast<int>(x) + kMargin - horizontalScrollBar()->value();
    const int top = static_cast<int>(line - firstVisibleLine()) * lineHeight();
    return QRect(left - 1, top, 3, lineHeight());
}

void TAxoliteEditFile::ensureCaretVisible() {
    const qsizetype line = caret_.line();
    QScrollBar* vertical = verticalScrollBar();
    const int lines = visibleLines();
    if (line < vertical->value()) {
        vertical->setValue(static_cast<int>(line));
    } else if (line >= vertical->value() + lines) {
        vertical->setValue(static_cast<int>(line) - lines + 1);
    }
    const qreal measured = layouts_.measured();
    const QRect caret = caretRect();
    if (layouts_.measured() > measured) {
        updateScrollBars(); // the caret's line is wider than its columns made it seem
    }
    QScrollBar* horizontal = horizontalScrollBar();
    const int width = viewport()->width();
    if (caret.left() < 0) {
        horizontal->setValue(horizontal->value() + caret.left() - width / 3);
    } else if (caret.right() > width) {
        horizontal->setValue(horizontal->value() + caret.right() - width + width / 3);
    }
}

qsizetype TAxoliteEditFile::positionAt(const QPoint& point) const {
    const qsizetype line =
        std::clamp<qsizetype>(firstVisibleLine() + (point.y() >= 0 ? point.y() / lineHeight() : -1),
                              0, buffer_.lineCount() - 1);
    const qreal x = point.x() - kMargin + horizontalScrollBar()->value();
    return buffer_.lineStart(line) + layouts_.columnAt(line, x);
}

// ---- painting --------------------------------------------------------------------------------

void TAxoliteEditFile::setMarkedLines(std::vector<std::int32_t> lines) {
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    if (lines != marked_) {
        marked_ = std::move(lines);
        viewport()->update();
    }
}

void TAxoliteEditFile::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPalette& colours = palette();
    painter.fillRect(event->rect(), colours.base());
    painter.setPen(colours.text().color());
    const int height = lineHeight();
    const int firstLine = std::max(0, event->rect().top() / height) + firstVisibleLine();
    const qreal measured = layouts_.measured();
    for (qsizetype line = firstLine; line < buffer_.lineCount(); ++line) {
        const int top = static_cast<int>(line - firstVisibleLine()) * height;
        if (top > event->rect().bottom()) {
            break;
        }
        if (std::binary_search(marked_.begin(), marked_.end(), line + 1)) {
            painter.fillRect(QRect(0, top, viewport()->width(), height), kMarkedLineColour);
        }
        paintLine(painter, line, top);
    }
    if (layouts_.measured() > measured) {
        updateScrollBars(); // a line in view is wider than its columns made it seem
    }
}

void TAxoliteEditFile::paintLine(QPainter& painter, qsizetype line, int top) const {
    const QPalette& colours = palette();
    const qreal left = kMargin - horizontalScrollBar()->value();
    const TextRange selected = caret_.selection();
    const qreal step = layouts_.step();
    qsizetype start = buffer_.lineStart(line);
    qsizetype end = buffer_.lineEnd(line);
    const qsizetype length = end - start;
    // A stepped line is drawn from the columns in view only: its layout starts at first.
    qsizetype first = 0;
    std::unique_ptr<QTextLayout> part;
    if (layouts_.isStepped(line)) {
        const qreal scrolled = horizontalScrollBar()->value();
        first = std::clamp<qsizetype>(static_cast<qsizetype>(scrolled / step) - 2, 0, length);
        const qsizetype last = std::clamp<qsizetype>(
            static_cast<qsizetype>((scrolled + viewport()->width()) / step) + 2, first, length);
        part = layouts_.slice(line, first, last);
        start += first;
        end = start + (last - first);
    }
    // The caret's line while an input method composes: the composed text shown at the caret.
    const bool caretLine = line == caret_.line();
    std::unique_ptr<QTextLayout> composing;
    if (caretLine && !preedit_.isEmpty() && !part) {
        composing = makeLayout(shownLine(buffer_.line(line)), font(), {},
                               static_cast<int>(caret_.caret() - start), preedit_);
    }
    QTextLayout& text = composing ? *composing : part ? *part : layouts_.layout(line);
    const QPointF at(left + static_cast<qreal>(first) * step, top);
    QList<QTextLayout::FormatRange> selections;
    if (!composing && selected.from < selected.to && selected.from <= end && selected.to > start) {
        QTextLayout::FormatRange selection;
        selection.format.setBackground(colours.highlight());
        selection.format.setForeground(colours.highlightedText());
        selection.start = static_cast<int>(std::max(selected.from, start) - start);
        selection.length = static_cast<int>(std::min(selected.to, end) - start) - selection.start;
        selections.append(selection);
    }
    const qsizetype lineEnd = buffer_.lineEnd(line);
    if (selected.from < selected.to && selected.from <= lineEnd && selected.to > lineEnd) {
        // The line end is selected too: a character's width after the text.
        const QTextLine textLine = text.lineAt(0);
        const qreal x = part ? static_cast<qreal>(length) * step
                             : (textLine.isValid() ? textLine.naturalTextWidth() : 0);
        const qreal charWidth = QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '));
        painter.fillRect(QRectF(left + x, top, charWidth, lineHeight()), colours.highlight());
    }
    text.draw(&painter, at, selections);
    const qsizetype caret = caret_.caret();
    if (caretLine && caretShown_ && hasFocus() && caret >= start && caret <= end) {
        const int composed = composing ? preeditCursor_ : 0;
        text.drawCursor(&painter, at, static_cast<int>(caret - start) + composed, 1);
    }
}

void TAxoliteEditFile::resizeEvent(QResizeEvent* event) {
    // A caret in view stays in view when the view becomes smaller: the window made smaller, or a
    // scroll bar appearing over the line being typed.
    const bool caretShown = caretWithin(shownSize_);
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    shownSize_ = viewport()->size();
    if (caretShown) {
        ensureCaretVisible();
    }
}

bool TAxoliteEditFile::caretWithin(QSize view) const {
    const qsizetype line = caret_.line();
    const int top = firstVisibleLine();
    if (line < top || line >= top + std::max(1, view.height() / lineHeight())) {
        return false;
    }
    const QRect caret = caretRect();
    return caret.left() >= 0 && caret.right() <= view.width();
}

void TAxoliteEditFile::scrollContentsBy(int, int) {
    viewport()->update();
}
