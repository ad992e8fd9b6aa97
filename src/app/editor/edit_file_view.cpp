// The description editor's view: where lines and columns stand on screen, and painting.
#include "app/editor/edit_file.h"

#include "app/editor/line_layout.h"

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

QTextLayout& TAxoliteEditFile::layout(qsizetype line) const {
    auto& slot = layouts_[line];
    if (!slot) {
        if (static_cast<qsizetype>(layouts_.size()) > kLayoutCacheLimit) {
            layouts_.clear();
            return layout(line);
        }
        slot = makeLayout(shownLine(buffer_.line(line)), font(), colours_.formats(buffer_, line));
        const QTextLine textLine = slot->lineAt(0);
        if (textLine.isValid()) {
            measured_ = std::max(measured_, textLine.naturalTextWidth());
        }
    }
    return *slot;
}

void TAxoliteEditFile::forgetLayouts() {
    layouts_.clear();
    stepped_.clear();
}

qreal TAxoliteEditFile::columnStep() const {
    // Every printable ASCII character as wide as a space: the font has a fixed pitch.
    const QFontMetricsF metrics(font());
    const qreal step = metrics.horizontalAdvance(QLatin1Char(' '));
    for (char16_t c = 0x21; c < 0x7F; ++c) {
        if (metrics.horizontalAdvance(QChar(c)) != step) {
            return 0;
        }
    }
    return step;
}

bool TAxoliteEditFile::isStepped(qsizetype line) const {
    const QStringView text = buffer_.line(line);
    if (text.size() <= kSteppedLine || step_ <= 0) {
        return false;
    }
    const auto [it, added] = stepped_.try_emplace(line, false);
    if (added) {
        it->second = std::all_of(text.begin(), text.end(),
                                 [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
    }
    return it->second;
}

std::unique_ptr<QTextLayout> TAxoliteEditFile::slice(qsizetype line, qsizetype from,
                                                     qsizetype to) const {
    return makeLayout(buffer_.line(line).sliced(from, to - from).toString(), font(),
                      colours_.formats(buffer_, line, from, to));
}

qreal TAxoliteEditFile::columnX(qsizetype line, qsizetype column) const {
    if (isStepped(line)) {
        return static_cast<qreal>(column) * step_;
    }
    const QTextLine textLine = layout(line).lineAt(0);
    return textLine.isValid() ? textLine.cursorToX(static_cast<int>(column)) : 0;
}

qsizetype TAxoliteEditFile::columnAt(qsizetype line, qreal x) const {
    if (isStepped(line)) {
        return std::clamp<qsizetype>(std::llround(x / step_), 0, buffer_.line(line).size());
    }
    const QTextLine textLine = layout(line).lineAt(0);
    return textLine.isValid() ? textLine.xToCursor(x) : 0;
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
    const qreal widest = std::max(static_cast<qreal>(widest_) * charWidth, measured_);
    const int width = static_cast<int>(std::ceil(widest + charWidth)) + 2 * kMargin;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(static_cast<int>(std::ceil(charWidth)));
    horizontal->setRange(0, std::max(0, width - viewport()->width()));
}

QRect TAxoliteEditFile::caretRect() const {
    const qsizetype line = buffer_.lineOf(caret_);
    const qreal x = columnX(line, caret_ - buffer_.lineStart(line));
    const int left = static_cast<int>(x) + kMargin - horizontalScrollBar()->value();
    const int top = static_cast<int>(line - firstVisibleLine()) * lineHeight();
    return QRect(left - 1, top, 3, lineHeight());
}

void TAxoliteEditFile::ensureCaretVisible() {
    const qsizetype line = buffer_.lineOf(caret_);
    QScrollBar* vertical = verticalScrollBar();
    const int lines = visibleLines();
    if (line < vertical->value()) {
        vertical->setValue(static_cast<int>(line));
    } else if (line >= vertical->value() + lines) {
        vertical->setValue(static_cast<int>(line) - lines + 1);
    }
    const qreal measured = measured_;
    const QRect caret = caretRect();
    if (measured_ > measured) {
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
    return buffer_.lineStart(line) + columnAt(line, x);
}

qsizetype TAxoliteEditFile::nextPosition(qsizetype position, bool word) const {
    const qsizetype line = buffer_.lineOf(position);
    const qsizetype column = position - buffer_.lineStart(line);
    if (position >= buffer_.lineEnd(line)) {
        return line + 1 < buffer_.lineCount() ? buffer_.lineStart(line + 1) : position;
    }
    if (isStepped(line)) {
        if (!word) {
            return position + 1;
        }
        const qsizetype to = std::min(column + kSliceMargin, buffer_.line(line).size());
        return position + slice(line, column, to)->nextCursorPosition(0, QTextLayout::SkipWords);
    }
    return buffer_.lineStart(line) +
           layout(line).nextCursorPosition(static_cast<int>(column),
                                           word ? QTextLayout::SkipWords
                                                : QTextLayout::SkipCharacters);
}

qsizetype TAxoliteEditFile::previousPosition(qsizetype position, bool word) const {
    const qsizetype line = buffer_.lineOf(position);
    const qsizetype column = position - buffer_.lineStart(line);
    if (column == 0) {
        return line > 0 ? buffer_.lineEnd(line - 1) : 0;
    }
    if (isStepped(line)) {
        if (!word) {
            return position - 1;
        }
        const qsizetype from = std::max<qsizetype>(0, column - kSliceMargin);
        return buffer_.lineStart(line) + from +
               slice(line, from, column)
                   ->previousCursorPosition(static_cast<int>(column - from),
                                            QTextLayout::SkipWords);
    }
    return buffer_.lineStart(line) +
           layout(line).previousCursorPosition(static_cast<int>(column),
                                               word ? QTextLayout::SkipWords
                                                    : QTextLayout::SkipCharacters);
}

qsizetype TAxoliteEditFile::verticalMove(qsizetype position, int lines) {
    const qsizetype line = buffer_.lineOf(position);
    if (preferredX_ < 0) {
        preferredX_ = columnX(line, position - buffer_.lineStart(line));
    }
    const qsizetype target = std::clamp<qsizetype>(line + lines, 0, buffer_.lineCount() - 1);
    if (target == line) {
        return lines < 0 ? 0 : (line + 1 == buffer_.lineCount() ? buffer_.size() : position);
    }
    return buffer_.lineStart(target) + columnAt(target, preferredX_);
}

void TAxoliteEditFile::moveCursor(QTextCursor::MoveOperation operation,
                                  QTextCursor::MoveMode mode) {
    const bool keep = mode == QTextCursor::KeepAnchor;
    const qsizetype line = buffer_.lineOf(caret_);
    switch (operation) {
    case QTextCursor::Start:
        moveTo(0, keep);
        break;
    case QTextCursor::End:
        moveTo(buffer_.size(), keep);
        break;
    case QTextCursor::StartOfLine:
    case QTextCursor::StartOfBlock:
        moveTo(buffer_.lineStart(line), keep);
        break;
    case QTextCursor::EndOfLine:
    case QTextCursor::EndOfBlock:
        moveTo(buffer_.lineEnd(line), keep);
        break;
    case QTextCursor::Left:
    case QTextCursor::PreviousCharacter:
        moveTo(previousPosition(caret_, false), keep);
        break;
    case QTextCursor::Right:
    case QTextCursor::NextCharacter:
        moveTo(nextPosition(caret_, false), keep);
        break;
    case QTextCursor::WordLeft:
    case QTextCursor::PreviousWord:
        moveTo(previousPosition(caret_, true), keep);
        break;
    case QTextCursor::WordRight:
    case QTextCursor::NextWord:
        moveTo(nextPosition(caret_, true), keep);
        break;
    case QTextCursor::Up:
    case QTextCursor::Down: {
        const qsizetype target = verticalMove(caret_, operation == QTextCursor::Up ? -1 : 1);
        const qreal kept = preferredX_;
        moveTo(target, keep);
        preferredX_ = kept;
        break;
    }
    case QTextCursor::PreviousBlock:
        moveTo(line > 0 ? buffer_.lineStart(line - 1) : 0, keep);
        break;
    case QTextCursor::NextBlock:
        if (line + 1 < buffer_.lineCount()) {
            moveTo(buffer_.lineStart(line + 1), keep);
        }
        break;
    default:
        break;
    }
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
    const qreal left = kMargin - horizontalScrollBar()->value();
    const qsizetype selectionFrom = std::min(caret_, anchor_);
    const qsizetype selectionTo = std::max(caret_, anchor_);
    const qsizetype caretLine = buffer_.lineOf(caret_);
    const qreal charWidth = QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '));

    QTextLayout::FormatRange selection;
    selection.format.setBackground(colours.highlight());
    selection.format.setForeground(colours.highlightedText());
    const int firstLine = std::max(0, event->rect().top() / height) + firstVisibleLine();
    const qreal measured = measured_;
    for (qsizetype line = firstLine; line < buffer_.lineCount(); ++line) {
        const int top = static_cast<int>(line - firstVisibleLine()) * height;
        if (top > event->rect().bottom()) {
            break;
        }
        if (std::binary_search(marked_.begin(), marked_.end(), line + 1)) {
            painter.fillRect(QRect(0, top, viewport()->width(), height), kMarkedLineColour);
        }
        qsizetype start = buffer_.lineStart(line);
        qsizetype end = buffer_.lineEnd(line);
        const qsizetype length = end - start;
        // A stepped line is drawn from the columns in view only: its layout starts at first.
        qsizetype first = 0;
        std::unique_ptr<QTextLayout> part;
        if (isStepped(line)) {
            const qreal scrolled = horizontalScrollBar()->value();
            first = std::clamp<qsizetype>(static_cast<qsizetype>(scrolled / step_) - 2, 0, length);
            const qsizetype last = std::clamp<qsizetype>(
                static_cast<qsizetype>((scrolled + viewport()->width()) / step_) + 2, first,
                length);
            part = slice(line, first, last);
            start += first;
            end = start + (last - first);
        }
        // The caret's line while an input method composes: the composed text shown at the caret.
        std::unique_ptr<QTextLayout> composing;
        if (line == caretLine && !preedit_.isEmpty() && !part) {
            composing = makeLayout(shownLine(buffer_.line(line)), font(), {},
                                   static_cast<int>(caret_ - start), preedit_);
        }
        QTextLayout& text = composing ? *composing : part ? *part : layout(line);
        const QPointF at(left + static_cast<qreal>(first) * step_, top);
        QList<QTextLayout::FormatRange> selections;
        if (!composing && selectionFrom < selectionTo && selectionFrom <= end &&
            selectionTo > start) {
            selection.start = static_cast<int>(std::max(selectionFrom, start) - start);
            selection.length =
                static_cast<int>(std::min(selectionTo, end) - start) - selection.start;
            selections.append(selection);
        }
        if (selectionFrom < selectionTo && selectionFrom <= buffer_.lineEnd(line) &&
            selectionTo > buffer_.lineEnd(line)) {
            // The line end is selected too: a character's width after the text.
            const QTextLine textLine = text.lineAt(0);
            const qreal x = part ? static_cast<qreal>(length) * step_
                                 : (textLine.isValid() ? textLine.naturalTextWidth() : 0);
            painter.fillRect(QRectF(left + x, top, charWidth, height), colours.highlight());
        }
        text.draw(&painter, at, selections);
        if (line == caretLine && caretShown_ && hasFocus() && caret_ >= start && caret_ <= end) {
            const int composed = composing ? preeditCursor_ : 0;
            text.drawCursor(&painter, at, static_cast<int>(caret_ - start) + composed, 1);
        }
    }
    if (measured_ > measured) {
        updateScrollBars(); // a line in view is wider than its columns made it seem
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
    const qsizetype line = buffer_.lineOf(caret_);
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
