// The description editor's input: keys, the mouse, focus and the caret, the context menu, drag
// and drop.
#include "app/editor/edit_file.h"

#include "app/editor/line_layout.h"
#include "app/gui/command_ids.h"
#include "app/gui/computation_guard.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>
#include <cmath>

using namespace axolite::editor;

namespace {

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
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QString::number(axolite::gui::kContextMenuId));
    for (QAction* action : contextActions_) {
        menu->addAction(action);
    }
    emit contextMenuAboutToShow(menu.get());
    axolite::gui::showContextMenu(std::move(menu), event->globalPos());
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
