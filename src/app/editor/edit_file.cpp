// The description editor: its text, the caret and selection, edits, the clipboard, finding.
#include "app/editor/edit_file.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>

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

void TAxoliteEditFile::setFileText(QString text) {
    const State before = state();
    buffer_.setText(std::move(text));
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
