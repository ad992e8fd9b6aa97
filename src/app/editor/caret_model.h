// The caret and the selection of the description editor: where they stand in the text, how the
// keys move them (by characters, words, lines and pages), and the column kept while the caret
// moves up and down.
#pragma once

#include "app/editor/line_layout.h"
#include "app/editor/text_buffer.h"

#include <QString>

namespace axolite::editor {

enum class CaretMove {
    NextCharacter,
    PreviousCharacter,
    NextWord,
    PreviousWord,
    LineStart,
    LineEnd,
    DocumentStart,
    DocumentEnd,
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    PreviousLineStart, // the start of the line above (of the first line on the first)
    NextLineStart,     // the start of the line below; none on the last line
};

class CaretModel {
public:
    CaretModel(const TextBuffer& buffer, const LineLayouts& layouts)
        : buffer_(buffer), layouts_(layouts) {}

    qsizetype caret() const { return caret_; }
    qsizetype anchor() const { return anchor_; }
    bool hasSelection() const { return caret_ != anchor_; }
    // From the selection's start to its end, whichever way it was made.
    TextRange selection() const;
    QString selectedText() const;
    // The caret's line, counted from 0.
    qsizetype line() const { return buffer_.lineOf(caret_); }

    // Selects from anchor to caret, both clamped to the text.
    void select(qsizetype anchor, qsizetype caret);
    // Moves the caret to position; keepAnchor extends the selection, else it is dropped.
    void moveTo(qsizetype position, bool keepAnchor);
    // Moves the caret as a key does; pageLines is the count of lines a page key moves. Answers
    // false when the move goes nowhere and leaves everything as it was.
    bool move(CaretMove move, bool keepAnchor, int pageLines);

    // After the text changed: neither end stays between the two halves of a surrogate pair
    // (typing there would split the character) or past the text's end.
    void keepValid();

    // The position one code point before the caret: a character and the accent after it are
    // removed one by one.
    qsizetype previousCodePoint() const;
    // The word (letters, digits, '_') around position on its line; empty between two non-word
    // characters.
    TextRange wordAt(qsizetype position) const;

private:
    // The position lines below (above, when negative) position at the column kept for moving
    // up and down, which the first such move takes from position.
    qsizetype verticalTarget(qsizetype position, int lines);

    const TextBuffer& buffer_;
    const LineLayouts& layouts_;
    qsizetype caret_ = 0;
    qsizetype anchor_ = 0;
    qreal preferredX_ = -1; // the x kept while moving up and down; -1: none
};

} // namespace axolite::editor
