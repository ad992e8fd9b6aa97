// What the editor's keys mean: the standard keys that move the caret (with or without extending
// the selection) or edit, and the keys that type text.
#pragma once

#include "app/editor/caret_model.h"

#include <optional>

class QKeyEvent;

namespace axolite::editor {

enum class EditCommand {
    SelectAll,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    DeleteNext,
    DeletePrevious, // one code point back
    DeleteNextWord,
    DeletePreviousWord,
    NewLine,
};

// A standard key's meaning: a caret move (select: extending the selection) or an edit.
struct KeyAction {
    std::optional<CaretMove> move;
    bool select = false;
    EditCommand command = EditCommand::SelectAll;
};

// The meaning of a key the editor answers itself, or nothing.
std::optional<KeyAction> keyAction(const QKeyEvent* event);

// A standard key the editor answers, so that no shortcut of the frame takes it first.
bool isEditingKey(const QKeyEvent* event);

// The key types its text: a printable character (or a tab) without a command modifier.
bool isTyping(const QKeyEvent* event);

} // namespace axolite::editor
