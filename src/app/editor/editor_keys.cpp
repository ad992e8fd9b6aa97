// The editor's keys and what they mean.
#include "app/editor/editor_keys.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <algorithm>
#include <iterator>

namespace axolite::editor {

namespace {

using K = QKeySequence;

struct MoveKeys {
    K::StandardKey move;
    K::StandardKey select;
    CaretMove caret;
};

// In the order they are tried: a key matching several means the first.
constexpr MoveKeys kMoveKeys[] = {
    {K::MoveToNextChar, K::SelectNextChar, CaretMove::NextCharacter},
    {K::MoveToPreviousChar, K::SelectPreviousChar, CaretMove::PreviousCharacter},
    {K::MoveToNextWord, K::SelectNextWord, CaretMove::NextWord},
    {K::MoveToPreviousWord, K::SelectPreviousWord, CaretMove::PreviousWord},
    {K::MoveToStartOfLine, K::SelectStartOfLine, CaretMove::LineStart},
    {K::MoveToStartOfBlock, K::SelectStartOfBlock, CaretMove::LineStart},
    {K::MoveToEndOfLine, K::SelectEndOfLine, CaretMove::LineEnd},
    {K::MoveToEndOfBlock, K::SelectEndOfBlock, CaretMove::LineEnd},
    {K::MoveToStartOfDocument, K::SelectStartOfDocument, CaretMove::DocumentStart},
    {K::MoveToEndOfDocument, K::SelectEndOfDocument, CaretMove::DocumentEnd},
    {K::MoveToNextLine, K::SelectNextLine, CaretMove::LineDown},
    {K::MoveToPreviousLine, K::SelectPreviousLine, CaretMove::LineUp},
    {K::MoveToNextPage, K::SelectNextPage, CaretMove::PageDown},
    {K::MoveToPreviousPage, K::SelectPreviousPage, CaretMove::PageUp},
};

struct CommandKey {
    K::StandardKey key;
    EditCommand command;
};

constexpr CommandKey kCommandKeys[] = {
    {K::SelectAll, EditCommand::SelectAll},
    {K::Undo, EditCommand::Undo},
    {K::Redo, EditCommand::Redo},
    {K::Cut, EditCommand::Cut},
    {K::Copy, EditCommand::Copy},
    {K::Paste, EditCommand::Paste},
    {K::Delete, EditCommand::DeleteNext},
    {K::Backspace, EditCommand::DeletePrevious},
    {K::DeleteEndOfWord, EditCommand::DeleteNextWord},
    {K::DeleteStartOfWord, EditCommand::DeletePreviousWord},
    {K::InsertParagraphSeparator, EditCommand::NewLine},
    {K::InsertLineSeparator, EditCommand::NewLine},
};

// Backspace with Shift (or nothing) deletes back wherever the platform's key table says less.
bool isPlainBackspace(const QKeyEvent* event) {
    return event->key() == Qt::Key_Backspace &&
           (event->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier;
}

} // namespace

std::optional<KeyAction> keyAction(const QKeyEvent* event) {
    for (const MoveKeys& keys : kMoveKeys) {
        if (event->matches(keys.move) || event->matches(keys.select)) {
            return KeyAction{keys.caret, event->matches(keys.select)};
        }
    }
    for (const CommandKey& key : kCommandKeys) {
        if (event->matches(key.key) ||
            (key.command == EditCommand::DeletePrevious && isPlainBackspace(event))) {
            return KeyAction{std::nullopt, false, key.command};
        }
    }
    return std::nullopt;
}

bool isEditingKey(const QKeyEvent* event) {
    const auto matches = [event](K::StandardKey key) { return event->matches(key); };
    return std::any_of(
               std::begin(kMoveKeys), std::end(kMoveKeys),
               [&](const MoveKeys& keys) { return matches(keys.move) || matches(keys.select); }) ||
           std::any_of(std::begin(kCommandKeys), std::end(kCommandKeys),
                       [&](const CommandKey& key) { return matches(key.key); });
}

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

} // namespace axolite::editor
