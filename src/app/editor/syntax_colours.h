// The colours of the description editor: keywords, numbers, punctuation, comments, words the
// lexer does not recognise, and the text it never reads, taken from the lexer's own reading of
// each line so that they never disagree with the check.
#pragma once

#include "app/editor/text_buffer.h"

#include <QList>
#include <QTextLayout>

namespace axolite::editor {

class SyntaxColours {
public:
    // The formats of one line, in the columns of the buffer's text (UTF-16 units), for the
    // columns [from, to) of the line (to < 0: to its end) shifted to start at from.
    QList<QTextLayout::FormatRange> formats(const TextBuffer& buffer, qsizetype line,
                                            qsizetype from = 0, qsizetype to = -1);

    // The text changed from this line on.
    void changedFrom(qsizetype line);

private:
    // True when the lexer stops on a line before this one (the terminator, or a line too long).
    bool endedBefore(const TextBuffer& buffer, qsizetype line);

    qsizetype scannedUpTo_ = 0; // no line before it ends lexing, unless endingLine_ says so
    qsizetype endingLine_ = -1; // the line the lexer stops on, once found
};

} // namespace axolite::editor
