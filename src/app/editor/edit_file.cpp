// The description editor.
#include "editor/edit_file.h"

#include "gui/command_ids.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QUrl>

#include <algorithm>
#include <cmath>

using axolite::editor::FindOptions;
using axolite::editor::TextRange;

QStringList droppedFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            files.append(url.toLocalFile());
        }
    }
    return files;
}

namespace {

constexpr int kMargin = 4;     // pixels left of the text
constexpr int kTabColumns = 8; // a tab reaches the next multiple of eight columns
constexpr int kAutoScrollMs = 50;
constexpr qsizetype kLayoutCacheLimit = 512;
// A line longer than this, of printable ASCII only, is laid out only around the columns in use
// (pattern files hold all their values on one line): a layout of millions of characters costs a
// tenth of a second per key and runs out of its coordinates. In a fixed-pitch font each of its
// columns is one step wide.
constexpr qsizetype kSteppedLine = 10000;
constexpr qsizetype kSliceMargin = 256; // columns laid out on either side of those in use

// A single-line layout of text, tabs every kTabColumns columns of the font. preedit, when not
// empty, is text an input method is composing, shown underlined at column preeditAt.
std::unique_ptr<QTextLayout> makeLayout(const QString& text, const QFont& font,
                                        const QList<QTextLayout::FormatRange>& formats = {},
                                        int preeditAt = 0, const QString& preedit = {}) {
    auto layout = std::make_unique<QTextLayout>(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) *
                              kTabColumns);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->setFormats(formats);
    if (!preedit.isEmpty()) {
        layout->setPreeditArea(preeditAt, preedit);
        QTextLayout::FormatRange composed;
        composed.start = preeditAt;
        composed.length = static_cast<int>(preedit.size());
        composed.format.setFontUnderline(true);
        layout->setFormats({composed});
    }
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
        line.setPosition(QPointF(0, 0));
    }
    layout->endLayout();
    return layout;
}

FindOptions findOptions(QTextDocument::FindFlags flags) {
    return FindOptions{flags.testFlag(QTextDocument::FindCaseSensitively),
                       flags.testFlag(QTextDocument::FindWholeWords),
                       flags.testFlag(QTextDocument::FindBackward)};
}

// What a line shows: separators that would break the layout's single line are drawn as a sign
// of the same length, so that columns stay those of the text. Control characters other than the
// tab (a carriage return, a form feed, NUL, ...) are drawn as their control pictures: the font
// gives most of them no width, and the caret would seem stuck on them.
QString shownLine(QStringView line) {
    QString shown = line.toString();
    for (QChar& c : shown) {
        const char16_t code = c.unicode();
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            c = QChar(0x21B5);
        } else if (code < 0x20 && code != u'\t') {
            c = QChar(0x2400 + code);
        } else if (code == 0x7F) {
            c = QChar(0x2421);
        }
    }
    return shown;
}

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// Keys the editor itself answers, so that no shortcut of the frame takes them first.
const QKeySequence::StandardKey kEditingKeys[] = {
    QKeySequence::MoveToNextChar,
    QKeySequence::MoveToPreviousChar,
    QKeySequence::MoveToNextWord,
    QKeySequence::MoveToPreviousWord,
    QKeySequence::MoveToNextLine,
    QKeySequence::MoveToPreviousLine,
    QKeySequence::MoveToNextPage,
    QKeySequence::MoveToPreviousPage,
    QKeySequence::MoveToStartOfLine,
    QKeySequence::MoveToEndOfLine,
    QKeySequence::MoveToStartOfBlock,
    QKeySequence::MoveToEndOfBlock,
    QKeySequence::MoveToStartOfDocument,
    QKeySequence::MoveToEndOfDocument,
    QKeySequence::SelectNextChar,
    QKeySequence::SelectPreviousChar,
    QKeySequence::SelectNextWord,
    QKeySequence::SelectPreviousWord,
    QKeySequence::SelectNextLine,
    QKeySequence::SelectPreviousLine,
    QKeySequence::SelectNextPage,
    QKeySequence::SelectPreviousPage,
    QKeySequence::SelectStartOfLine,
    QKeySequence::SelectEndOfLine,
    QKeySequence::SelectStartOfBlock,
    QKeySequence::SelectEndOfBlock,
    QKeySequence::SelectStartOfDocument,
    QKeySequence::SelectEndOfDocument,
    QKeySequence::SelectAll,
    QKeySequence::Undo,
    QKeySequence::Redo,
    QKeySequence::Cut,
    QKeySequence::Copy,
    QKeySequence::Paste,
    QKeySequence::Delete,
    QKeySequence::DeleteEndOfWord,
    QKeySequence::DeleteStartOfWord,
    QKeySequence::InsertParagraphSeparator,
    QKeySequence::InsertLineSeparator,
    QKeySequence::Backspace,
};

bool isTyping(const QKeyEvent* event) {
    const QString text = event->text();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool command =
        (modifiers & Qt::ControlModifier) != 0 ||
        ((modifiers & Qt::AltModifier) != 0 && (modifiers & Qt::KeypadModifier) == 0);
    if (text.isEmpty() || command || (modifiers & Qt::MetaModifier) != 0) {
        return false;
    }
    // The first character is judged by its code point: one outside the basic plane comes as a
    // surrogate pair, which is no printable QChar on its own.
    const char32_t first = text.size() >= 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate()
                               ? QChar::surrogateToUcs4(text[0], text[1])
                               : text[0].unicode();
    return QChar::isPrint(first) || text == QStringLiteral("\t");
}

} // namespace

TAxoliteEditFile::TAxoliteEditFile(QWidget* parent) : QAbstractScrollArea(parent) {
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(15);
    setFont(font);
    step_ = columnStep();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);
    updateScrollBars();
}

TAxoliteEditFile::~TAxoliteEditFile() = default;

// ---- text and state ------------------------------------------------------------------------

void TAxoliteEditFile::setFileText(QString text, std::vector<std::string> cp1251Lines) {
    const State before = state();
    buffer_.setText(std::move(text), std::move(cp1251Lines));
    caret_ = anchor_ = 0;
    preferredX_ = -1;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    changed(before, true);
}

QStringList TAxoliteEditFile::documentLines() const {
    QStringList lines;
    lines.reserve(buffer_.lineCount());
    for (qsizetype i = 0; i < buffer_.lineCount(); ++i) {
        lines.append(buffer_.line(i).toString());
    }
    return lines;
}

void TAxoliteEditFile::setModified(bool modified) {
    const State before = state();
    buffer_.setModified(modified);
    changed(before, false);
}

TAxoliteEditFile::State TAxoliteEditFile::state() const {
    return State{caret_, anchor_, buffer_.isModified(), buffer_.canUndo()};
}

void TAxoliteEditFile::changed(const State& before, bool textChanged) {
    // Never between the two halves of a surrogate pair: typing there would split the character.
    const auto valid = [this](qsizetype position) {
        position = std::clamp<qsizetype>(position, 0, buffer_.size());
        const QString& text = buffer_.text();
        return position > 0 && position < text.size() && text[position - 1].isHighSurrogate() &&
                       text[position].isLowSurrogate()
                   ? position - 1
                   : position;
    };
    caret_ = valid(caret_);
    anchor_ = valid(anchor_);
    if (textChanged) {
        colours_.changedFrom(buffer_.takeFirstChangedLine());
        forgetLayouts();
        measured_ = 0;
        widestKnown_ = false;
        updateScrollBars();
        emit contentsChanged();
    }
    if (before.modified != buffer_.isModified()) {
        emit modificationChanged(buffer_.isModified());
    }
    if (before.undo != buffer_.canUndo()) {
        emit undoAvailable(buffer_.canUndo());
    }
    const bool hadSelection = before.caret != before.anchor;
    if ((hadSelection || hasSelection()) &&
        (textChanged || before.caret != caret_ || before.anchor != anchor_)) {
        emit selectionChanged();
    }
    if (textChanged || before.caret != caret_) {
        emit cursorPositionChanged();
        ensureCaretVisible();
        restartBlink();
    }
    if (textChanged || before.caret != caret_ || before.anchor != anchor_) {
        viewport()->update();
    }
}

QString TAxoliteEditFile::selectedText() const {
    const qsizetype from = std::min(caret_, anchor_);
    return buffer_.text().sliced(from, std::max(caret_, anchor_) - from);
}

void TAxoliteEditFile::setSelection(qsizetype anchor, qsizetype caret) {
    const State before = state();
    anchor_ = std::clamp<qsizetype>(anchor, 0, buffer_.size());
    caret_ = std::clamp<qsizetype>(caret, 0, buffer_.size());
    preferredX_ = -1;
    changed(before, false);
    ensureCaretVisible(); // also when the caret stays where it was but is scrolled out of view
}

void TAxoliteEditFile::setCaretLine(int line) {
    const qsizetype last = buffer_.lineCount() - 1;
    const qsizetype start = buffer_.lineStart(std::clamp<qsizetype>(line, 0, last));
    setSelection(start, start);
}

void TAxoliteEditFile::moveTo(qsizetype position, bool keepAnchor) {
    const State before = state();
    caret_ = position;
    if (!keepAnchor) {
        anchor_ = position;
    }
    preferredX_ = -1;
    changed(before, false);
}

void TAxoliteEditFile::edit(qsizetype from, qsizetype to, const QString& text, bool typing) {
    if (from == to && text.isEmpty()) {
        return; // nothing to remove (Delete at the end, Backspace at the start): no change
    }
    const State before = state();
    const axolite::editor::TextRange range = buffer_.replace(from, to, text, typing);
    caret_ = anchor_ = range.to;
    preferredX_ = -1;
    changed(before, true);
}

void TAxoliteEditFile::insertPlainText(const QString& text) {
    edit(std::min(caret_, anchor_), std::max(caret_, anchor_), text);
}

void TAxoliteEditFile::deleteSelection() {
    if (hasSelection()) {
        edit(std::min(caret_, anchor_), std::max(caret_, anchor_), QString());
    }
}

void TAxoliteEditFile::clearAll() {
    if (!buffer_.isEmpty()) {
        edit(0, buffer_.size(), QString());
    }
}

void TAxoliteEditFile::undo() {
    const State before = state();
    if (const auto caret = buffer_.undo()) {
        caret_ = anchor_ = *caret;
        changed(before, true);
    }
}

void TAxoliteEditFile::redo() {
    const State before = state();
    if (const auto caret = buffer_.redo()) {
        caret_ = anchor_ = *caret;
        changed(before, true);
    }
}

void TAxoliteEditFile::cut() {
    if (hasSelection()) {
        copy();
        deleteSelection();
    }
}

void TAxoliteEditFile::copy() {
    if (hasSelection()) {
        QApplication::clipboard()->setText(selectedText());
    }
}

void TAxoliteEditFile::paste() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data != nullptr && data->hasText()) {
        insertPlainText(data->text());
    }
}

void TAxoliteEditFile::selectAll() {
    setSelection(0, buffer_.size());
}

// ---- finding ---------------------------------------------------------------------------------

bool TAxoliteEditFile::find(const QString& text, QTextDocument::FindFlags flags) {
    if (text.isEmpty()) {
        return false;
    }
    return findFrom(text, flags,
                    flags.testFlag(QTextDocument::FindBackward) ? std::min(caret_, anchor_)
                                                                : std::max(caret_, anchor_));
}

bool TAxoliteEditFile::findFrom(const QString& text, QTextDocument::FindFlags flags,
                                qsizetype position) {
    const FindOptions options = findOptions(flags);
    auto match = buffer_.find(text, position, options);
    if (!match) {
        // Once more from the other end of the text.
        match = buffer_.find(text, options.backward ? buffer_.size() : 0, options);
    }
    if (!match) {
        return false;
    }
    setSelection(match->from, match->to);
    return true;
}

bool TAxoliteEditFile::replaceAndFind(const QString& text, const QString& replacement,
                                      QTextDocument::FindFlags flags) {
    // The selection is replaced when it is a match under the options (a whole word, when only
    // whole words are sought).
    FindOptions forward = findOptions(flags);
    forward.backward = false;
    const qsizetype from = std::min(caret_, anchor_);
    const auto match = buffer_.find(text, from, forward);
    if (hasSelection() && match && *match == TextRange{from, std::max(caret_, anchor_)}) {
        insertPlainText(replacement);
        if (flags.testFlag(QTextDocument::FindBackward)) {
            // Backward from the replacement's start: a replacement holding the text searched
            // for is not found (and replaced) again and again.
            return findFrom(text, flags, from);
        }
    }
    return find(text, flags);
}

int TAxoliteEditFile::replaceAll(const QString& text, const QString& replacement,
                                 QTextDocument::FindFlags flags) {
    if (text.isEmpty()) {
        return 0;
    }
    const State before = state();
    const int count = buffer_.replaceAll(text, replacement, findOptions(flags));
    if (count > 0) {
        anchor_ = caret_ = std::min(caret_, buffer_.size());
        changed(before, true);
    }
    return count;
}

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

// ---- keyboard --------------------------------------------------------------------------------

bool TAxoliteEditFile::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // Tab types a tab instead of moving the focus to the next control.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && (key->modifiers() & ~Qt::KeypadModifier) == 0) {
            keyPressEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool editing =
            std::any_of(std::begin(kEditingKeys), std::end(kEditingKeys),
                        [key](QKeySequence::StandardKey k) { return key->matches(k); });
        if (editing || isTyping(key)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

bool TAxoliteEditFile::handleStandardKey(QKeyEvent* event) {
    using K = QKeySequence;
    struct Move {
        K::StandardKey move;
        K::StandardKey select;
    };
    const qsizetype line = buffer_.lineOf(caret_);
    const auto moves = [&](const Move& keys, auto target) {
        if (event->matches(keys.move) || event->matches(keys.select)) {
            moveTo(target(), event->matches(keys.select));
            return true;
        }
        return false;
    };
    const auto vertical = [&](const Move& keys, int lines) {
        if (!event->matches(keys.move) && !event->matches(keys.select)) {
            return false;
        }
        const qsizetype target = verticalMove(caret_, lines);
        const qreal kept = preferredX_;
        if (std::abs(lines) > 1) {
            verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
        }
        moveTo(target, event->matches(keys.select));
        preferredX_ = kept;
        return true;
    };
    if (moves({K::MoveToNextChar, K::SelectNextChar},
              [&] { return nextPosition(caret_, false); }) ||
        moves({K::MoveToPreviousChar, K::SelectPreviousChar},
              [&] { return previousPosition(caret_, false); }) ||
        moves({K::MoveToNextWord, K::SelectNextWord}, [&] { return nextPosition(caret_, true); }) ||
        moves({K::MoveToPreviousWord, K::SelectPreviousWord},
              [&] { return previousPosition(caret_, true); }) ||
        moves({K::MoveToStartOfLine, K::SelectStartOfLine},
              [&] { return buffer_.lineStart(line); }) ||
        moves({K::MoveToStartOfBlock, K::SelectStartOfBlock},
              [&] { return buffer_.lineStart(line); }) ||
        moves({K::MoveToEndOfLine, K::SelectEndOfLine}, [&] { return buffer_.lineEnd(line); }) ||
        moves({K::MoveToEndOfBlock, K::SelectEndOfBlock}, [&] { return buffer_.lineEnd(line); }) ||
        moves({K::MoveToStartOfDocument, K::SelectStartOfDocument}, [] { return qsizetype{0}; }) ||
        moves({K::MoveToEndOfDocument, K::SelectEndOfDocument}, [&] { return buffer_.size(); }) ||
        vertical({K::MoveToNextLine, K::SelectNextLine}, 1) ||
        vertical({K::MoveToPreviousLine, K::SelectPreviousLine}, -1) ||
        vertical({K::MoveToNextPage, K::SelectNextPage}, visibleLines()) ||
        vertical({K::MoveToPreviousPage, K::SelectPreviousPage}, -visibleLines())) {
        return true;
    }
    if (event->matches(K::SelectAll)) {
        selectAll();
    } else if (event->matches(K::Undo)) {
        undo();
    } else if (event->matches(K::Redo)) {
        redo();
    } else if (event->matches(K::Cut)) {
        cut();
    } else if (event->matches(K::Copy)) {
        copy();
    } else if (event->matches(K::Paste)) {
        paste();
    } else if (event->matches(K::Delete)) {
        hasSelection() ? deleteSelection() : edit(caret_, nextPosition(caret_, false), QString());
    } else if (event->matches(K::Backspace) ||
               (event->key() == Qt::Key_Backspace &&
                (event->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier)) {
        if (hasSelection()) {
            deleteSelection();
        } else {
            // One code point back: a character and the accent after it are removed one by one.
            const qsizetype back = caret_ >= 2 && buffer_.text()[caret_ - 1].isLowSurrogate() &&
                                           buffer_.text()[caret_ - 2].isHighSurrogate()
                                       ? 2
                                       : 1;
            if (caret_ > 0) {
                edit(caret_ - back, caret_, QString());
            }
        }
    } else if (event->matches(K::DeleteEndOfWord)) {
        hasSelection() ? deleteSelection() : edit(caret_, nextPosition(caret_, true), QString());
    } else if (event->matches(K::DeleteStartOfWord)) {
        hasSelection() ? deleteSelection()
                       : edit(previousPosition(caret_, true), caret_, QString());
    } else if (event->matches(K::InsertParagraphSeparator) ||
               event->matches(K::InsertLineSeparator)) {
        edit(std::min(caret_, anchor_), std::max(caret_, anchor_), QStringLiteral("\n"), true);
    } else {
        return false;
    }
    return true;
}

void TAxoliteEditFile::keyPressEvent(QKeyEvent* event) {
    if (handleStandardKey(event)) {
        event->accept();
        return;
    }
    if (isTyping(event)) {
        edit(std::min(caret_, anchor_), std::max(caret_, anchor_), event->text(), true);
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TAxoliteEditFile::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty()) {
        edit(std::min(caret_, anchor_), std::max(caret_, anchor_), event->commitString(), true);
    }
    preedit_ = event->preeditString();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            preeditCursor_ = std::clamp(attribute.start, 0, static_cast<int>(preedit_.size()));
        }
    }
    viewport()->update();
    event->accept();
}

QVariant TAxoliteEditFile::inputMethodQuery(Qt::InputMethodQuery query) const {
    const qsizetype line = buffer_.lineOf(caret_);
    const qsizetype start = buffer_.lineStart(line);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return caretRect();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return static_cast<int>(caret_ - start);
    case Qt::ImAnchorPosition:
        return static_cast<int>(std::clamp(anchor_, start, buffer_.lineEnd(line)) - start);
    case Qt::ImSurroundingText:
        return buffer_.line(line).toString();
    case Qt::ImCurrentSelection:
        return selectedText();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// ---- mouse -----------------------------------------------------------------------------------

void TAxoliteEditFile::mousePressEvent(QMouseEvent* event) {
    QClipboard* clipboard = QApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        // The text selected last, in this program or another, goes in where the pointer is.
        const QString selected = clipboard->text(QClipboard::Selection);
        if (!selected.isEmpty()) {
            const qsizetype at = positionAt(event->position().toPoint());
            edit(at, at, selected);
        }
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    selecting_ = true;
    lastMouse_ = event->position().toPoint();
    moveTo(positionAt(lastMouse_), (event->modifiers() & Qt::ShiftModifier) != 0);
}

void TAxoliteEditFile::mouseMoveEvent(QMouseEvent* event) {
    if (!selecting_ || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    lastMouse_ = event->position().toPoint();
    if (viewport()->rect().contains(lastMouse_)) {
        autoScroll_.stop();
    } else if (!autoScroll_.isActive()) {
        autoScroll_.start(kAutoScrollMs, this);
    }
    moveTo(positionAt(lastMouse_), true);
}

void TAxoliteEditFile::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        stopSelecting();
        offerSelection();
    }
}

void TAxoliteEditFile::stopSelecting() {
    selecting_ = false;
    autoScroll_.stop();
}

void TAxoliteEditFile::offerSelection() {
    // Where the system keeps a selection apart from the clipboard, text selected with the mouse
    // becomes it, for a middle click elsewhere.
    QClipboard* clipboard = QApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection()) {
        clipboard->setText(selectedText(), QClipboard::Selection);
    }
}

void TAxoliteEditFile::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // The word under the pointer.
    const qsizetype at = positionAt(event->position().toPoint());
    const qsizetype line = buffer_.lineOf(at);
    const QString& text = buffer_.text();
    qsizetype from = at;
    qsizetype to = at;
    while (from > buffer_.lineStart(line) && isWordCharacter(text[from - 1])) {
        --from;
    }
    while (to < buffer_.lineEnd(line) && isWordCharacter(text[to])) {
        ++to;
    }
    setSelection(from, to);
    offerSelection();
}

void TAxoliteEditFile::timerEvent(QTimerEvent* event) {
    if (event->timerId() == blink_.timerId()) {
        caretShown_ = !caretShown_;
        viewport()->update(caretRect());
    } else if (event->timerId() == autoScroll_.timerId()) {
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
            // The button went up where this editor did not see it (a message box came up in
            // the middle of the drag): the selecting is over.
            stopSelecting();
            return;
        }
        const QRect area = viewport()->rect();
        QScrollBar* vertical = verticalScrollBar();
        if (lastMouse_.y() < area.top()) {
            vertical->setValue(vertical->value() - 1);
        } else if (lastMouse_.y() > area.bottom()) {
            vertical->setValue(vertical->value() + 1);
        }
        moveTo(positionAt(lastMouse_), true);
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

// ---- focus, caret ------------------------------------------------------------------------------

void TAxoliteEditFile::restartBlink() {
    if (!hasFocus()) {
        return;
    }
    caretShown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0) {
        blink_.start(flash / 2, this);
    } else {
        blink_.stop();
    }
    viewport()->update(caretRect());
}

void TAxoliteEditFile::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
}

void TAxoliteEditFile::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    stopSelecting();
    blink_.stop();
    caretShown_ = false;
    viewport()->update(caretRect());
}

// ---- context menu, drag and drop ---------------------------------------------------------------

void TAxoliteEditFile::contextMenuEvent(QContextMenuEvent* event) {
    if (contextActions_.isEmpty()) {
        event->ignore();
        return;
    }
    QMenu menu(this);
    menu.setObjectName(QString::number(axolite::gui::kContextMenuId));
    for (QAction* action : contextActions_) {
        menu.addAction(action);
    }
    emit contextMenuAboutToShow(&menu);
    menu.exec(event->globalPos());
}

void TAxoliteEditFile::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (!droppedFiles(data).isEmpty() || (data != nullptr && data->hasText())) {
        event->acceptProposedAction();
    }
}

void TAxoliteEditFile::dragMoveEvent(QDragMoveEvent* event) {
    event->acceptProposedAction();
}

void TAxoliteEditFile::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    const QStringList files = droppedFiles(data);
    if (!files.isEmpty()) {
        event->acceptProposedAction();
        emit filesDropped(files);
        return;
    }
    if (data != nullptr && data->hasText()) {
        event->acceptProposedAction();
        const qsizetype at = positionAt(event->position().toPoint());
        edit(at, at, data->text());
    }
}
