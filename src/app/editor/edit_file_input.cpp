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

void TAxoliteEditFile::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        layouts_.setFont(font());
        widestKnown_ = false;
        updateScrollBars();
        viewport()->update();
    }
    QAbstractScrollArea::changeEvent(event);
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
        if (isEditingKey(key) || isTyping(key)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TAxoliteEditFile::run(EditCommand command) {
    switch (command) {
    case EditCommand::SelectAll:
        return selectAll();
    case EditCommand::Undo:
        return undo();
    case EditCommand::Redo:
        return redo();
    case EditCommand::Cut:
        return cut();
    case EditCommand::Copy:
        return copy();
    case EditCommand::Paste:
        return paste();
    case EditCommand::DeleteNext:
        return deleteTo(layouts_.nextPosition(caret_.caret(), false));
    case EditCommand::DeletePrevious:
        return deleteTo(caret_.previousCodePoint());
    case EditCommand::DeleteNextWord:
        return deleteTo(layouts_.nextPosition(caret_.caret(), true));
    case EditCommand::DeletePreviousWord:
        return deleteTo(layouts_.previousPosition(caret_.caret(), true));
    case EditCommand::NewLine:
        return replaceSelection(QStringLiteral("\n"), true);
    }
}

void TAxoliteEditFile::keyPressEvent(QKeyEvent* event) {
    if (const auto action = keyAction(event)) {
        if (action->move) {
            const int pageLines = visibleLines();
            if (*action->move == CaretMove::PageDown || *action->move == CaretMove::PageUp) {
                // The view scrolls by a page with the caret.
                const int by = *action->move == CaretMove::PageDown ? pageLines : -pageLines;
                verticalScrollBar()->setValue(verticalScrollBar()->value() + by);
            }
            moveCaret(*action->move, action->select);
        } else {
            run(action->command);
        }
        event->accept();
        return;
    }
    if (isTyping(event)) {
        replaceSelection(event->text(), true);
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TAxoliteEditFile::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty()) {
        replaceSelection(event->commitString(), true);
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
    const qsizetype line = caret_.line();
    const qsizetype start = buffer_.lineStart(line);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return caretRect();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return static_cast<int>(caret_.caret() - start);
    case Qt::ImAnchorPosition:
        return static_cast<int>(std::clamp(caret_.anchor(), start, buffer_.lineEnd(line)) - start);
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
    const TextRange word = caret_.wordAt(positionAt(event->position().toPoint()));
    setSelection(word.from, word.to);
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
