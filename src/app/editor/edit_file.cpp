// The description editor: its text and state, edits, the clipboard, finding.
#include "app/editor/edit_file.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>

using axolite::editor::CaretMove;
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

FindOptions findOptions(QTextDocument::FindFlags flags) {
    return FindOptions{flags.testFlag(QTextDocument::FindCaseSensitively),
                       flags.testFlag(QTextDocument::FindWholeWords),
                       flags.testFlag(QTextDocument::FindBackward)};
}

} // namespace

TAxoliteEditFile::TAxoliteEditFile(QWidget* parent) : QAbstractScrollArea(parent) {
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(15);
    setFont(font);
    layouts_.setFont(this->font());
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

void TAxoliteEditFile::setFileText(QString text) {
    const State before = state();
    buffer_.setText(std::move(text));
    caret_.select(0, 0);
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
    return State{caret_.caret(), caret_.anchor(), buffer_.isModified(), buffer_.canUndo()};
}

void TAxoliteEditFile::changed(const State& before, bool textChanged) {
    caret_.keepValid();
    if (textChanged) {
        layouts_.changedFrom(buffer_.takeFirstChangedLine());
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
    const bool caretMoved = before.caret != caret_.caret();
    const bool selectionMoved = caretMoved || before.anchor != caret_.anchor();
    const bool hadSelection = before.caret != before.anchor;
    if ((hadSelection || hasSelection()) && (textChanged || selectionMoved)) {
        emit selectionChanged();
    }
    if (textChanged || caretMoved) {
        emit cursorPositionChanged();
        ensureCaretVisible();
        restartBlink();
    }
    if (textChanged || selectionMoved) {
        viewport()->update();
    }
}

void TAxoliteEditFile::setSelection(qsizetype anchor, qsizetype caret) {
    const State before = state();
    caret_.select(anchor, caret);
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
    caret_.moveTo(position, keepAnchor);
    changed(before, false);
}

void TAxoliteEditFile::moveCaret(CaretMove move, bool keepAnchor) {
    const State before = state();
    if (caret_.move(move, keepAnchor, visibleLines())) {
        changed(before, false);
    }
}

void TAxoliteEditFile::moveCursor(QTextCursor::MoveOperation operation,
                                  QTextCursor::MoveMode mode) {
    const bool keep = mode == QTextCursor::KeepAnchor;
    switch (operation) {
    case QTextCursor::Start:
        return moveCaret(CaretMove::DocumentStart, keep);
    case QTextCursor::End:
        return moveCaret(CaretMove::DocumentEnd, keep);
    case QTextCursor::StartOfLine:
    case QTextCursor::StartOfBlock:
        return moveCaret(CaretMove::LineStart, keep);
    case QTextCursor::EndOfLine:
    case QTextCursor::EndOfBlock:
        return moveCaret(CaretMove::LineEnd, keep);
    case QTextCursor::Left:
    case QTextCursor::PreviousCharacter:
        return moveCaret(CaretMove::PreviousCharacter, keep);
    case QTextCursor::Right:
    case QTextCursor::NextCharacter:
        return moveCaret(CaretMove::NextCharacter, keep);
    case QTextCursor::WordLeft:
    case QTextCursor::PreviousWord:
        return moveCaret(CaretMove::PreviousWord, keep);
    case QTextCursor::WordRight:
    case QTextCursor::NextWord:
        return moveCaret(CaretMove::NextWord, keep);
    case QTextCursor::Up:
        return moveCaret(CaretMove::LineUp, keep);
    case QTextCursor::Down:
        return moveCaret(CaretMove::LineDown, keep);
    case QTextCursor::PreviousBlock:
        return moveCaret(CaretMove::PreviousLineStart, keep);
    case QTextCursor::NextBlock:
        return moveCaret(CaretMove::NextLineStart, keep);
    default:
        return;
    }
}

// ---- edits -----------------------------------------------------------------------------------

void TAxoliteEditFile::edit(qsizetype from, qsizetype to, const QString& text, bool typing) {
    if (from == to && text.isEmpty()) {
        return; // nothing to remove (Delete at the end, Backspace at the start): no change
    }
    const State before = state();
    const TextRange range = buffer_.replace(from, to, text, typing);
    caret_.select(range.to, range.to);
    changed(before, true);
}

void TAxoliteEditFile::replaceSelection(const QString& text, bool typing) {
    const TextRange selection = caret_.selection();
    edit(selection.from, selection.to, text, typing);
}

void TAxoliteEditFile::insertPlainText(const QString& text) {
    replaceSelection(text);
}

void TAxoliteEditFile::deleteSelection() {
    if (hasSelection()) {
        replaceSelection(QString());
    }
}

void TAxoliteEditFile::deleteTo(qsizetype target) {
    if (hasSelection()) {
        deleteSelection();
    } else {
        const qsizetype at = caret_.caret();
        edit(std::min(at, target), std::max(at, target), QString());
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
        caret_.select(*caret, *caret);
        changed(before, true);
    }
}

void TAxoliteEditFile::redo() {
    const State before = state();
    if (const auto caret = buffer_.redo()) {
        caret_.select(*caret, *caret);
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
    const TextRange selection = caret_.selection();
    return findFrom(text, flags,
                    flags.testFlag(QTextDocument::FindBackward) ? selection.from : selection.to);
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
    const TextRange selection = caret_.selection();
    const auto match = buffer_.find(text, selection.from, forward);
    if (hasSelection() && match && *match == selection) {
        insertPlainText(replacement);
        if (flags.testFlag(QTextDocument::FindBackward)) {
            // Backward from the replacement's start: a replacement holding the text searched
            // for is not found (and replaced) again and again.
            return findFrom(text, flags, selection.from);
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
        const qsizetype at = std::min(caret_.caret(), buffer_.size());
        caret_.select(at, at);
        changed(before, true);
    }
    return count;
}
