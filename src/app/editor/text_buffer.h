// The text of a description editor: one string with '\n' between lines and an index of its
// lines, edits with their undo and redo steps, the modified flag, searching, and the lines as
// code page 1251 bytes for the lexer. Nothing is kept per line but one bit (its line end): the
// index holds the start of every block of lines, so a text of short lines takes little more
// than its characters.
//
// Positions count UTF-16 units from the start of the text; a line end counts as one unit. Each
// line remembers whether the file ended it with "\r\n" or '\n', so a saved file keeps them.
#pragma once

#include "core/language/description_text.h"

#include <QString>
#include <QStringView>

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace axolite::editor {

struct FindOptions {
    bool caseSensitive = false;
    bool wholeWords = false; // the match is neither preceded nor followed by a letter or digit
    bool backward = false;
};

struct TextRange {
    qsizetype from = 0;
    qsizetype to = 0;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

class TextBuffer {
public:
    TextBuffer();

    // Puts text in place of the whole text, as a file holds it: "\r\n" and '\n' end a line, any
    // other character (a lone '\r' too) belongs to its line, as for the lexer's file reader.
    // Nothing to undo afterwards, and the text is unmodified.
    void setText(QString text);

    const QString& text() const { return text_; }
    // The text as a file holds it: each line with the line end it came with; a line end typed
    // or pasted is the one most lines of the opened text had ('\n' for a new text).
    QString fileText() const;
    // Most line ends of the opened text were "\r\n".
    bool crlfDominant() const { return crlfDominant_; }
    qsizetype size() const { return text_.size(); }
    bool isEmpty() const { return text_.isEmpty(); }
    qsizetype lineCount() const { return lineCount_; }
    // Found from the start of the line's block, or from the line last asked for: lines asked for
    // one after another cost one step each.
    qsizetype lineStart(qsizetype line) const;
    qsizetype lineEnd(qsizetype line) const;
    QStringView line(qsizetype line) const;
    // The line holding position (0 <= position <= size()).
    qsizetype lineOf(qsizetype position) const;
    // The longest line's length in characters, a tab counting up to the next multiple of
    // tabColumns.
    qsizetype widestLine(int tabColumns) const;

    // Replaces [from, to) by text, whose line ends ("\r\n", '\r', '\n', U+2029) become '\n'.
    // A typed character (typing = true) right after the previous typed one joins its undo step.
    // Answers the range the new text occupies.
    TextRange replace(qsizetype from, qsizetype to, QStringView text, bool typing = false);

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // Undoes (redoes) one step; answers where the caret goes, or nothing when there was no step.
    std::optional<qsizetype> undo();
    std::optional<qsizetype> redo();

    // Modified: the text differs from the one last opened or saved (undoing back to it makes
    // it unmodified again).
    bool isModified() const { return clean_ != done_; }
    void setModified(bool modified);

    // The first match from position on (backward: the last one that starts before position);
    // wraps around nothing.
    std::optional<TextRange> find(QStringView what, qsizetype position,
                                  const FindOptions& options) const;
    // Replaces every match as one undo step; answers their count.
    int replaceAll(QStringView what, QStringView with, const FindOptions& options);

    // The lines as code page 1251 bytes: ASCII as it is, other characters as code page 1251
    // encodes them, '?' where it has no code. Made when asked for after a change, one byte per
    // character, and kept until the next change.
    const language::DescriptionText& textCp1251();
    std::vector<std::string> linesCp1251() { return textCp1251().lineList(); }

    // The bytes the text and what is kept of it take by the capacities of their arrays: the
    // characters, the line index, the line ends and the code page text (not the undo steps).
    std::size_t heldBytes() const;

    // The first line that an edit touched since the last call (lineCount() when none), so that
    // what is worked out line by line from the top is worked out again from there.
    qsizetype takeFirstChangedLine();

private:
    // A block of the line index: at most kBlockLines lines.
    struct Block {
        qsizetype line = 0;            // its first line
        qsizetype start = 0;           // that line's start
        mutable qsizetype widest = -1; // its widest line in columns of widestTab_; -1: not known
    };
    struct Edit {
        qsizetype position = 0;
        QString removed;
        QString inserted;
        // Per line end in removed and in inserted: 1 for "\r\n", 0 for '\n'.
        std::vector<char> removedEnds;
        std::vector<char> insertedEnds;
    };
    struct Step {
        std::vector<Edit> edits;
        bool typing = false;
    };

    // The edit itself, without undo bookkeeping; answers the inserted range. ends: the kinds of
    // the line ends in text (the dominant kind when their count differs); removedEnds receives
    // those of the line ends replaced.
    TextRange apply(qsizetype from, qsizetype to, QStringView text, const std::vector<char>& ends,
                    std::vector<char>* removedEnds = nullptr);
    // Appends the kinds of the line ends in [from, to).
    void appendEnds(qsizetype from, qsizetype to, std::vector<char>& out) const;
    // The blocks of the lines that start in [start, end), from firstLine on, appended to out
    // (a line break at end − 1 starts no block: the block after the stretch starts there).
    // Answers the number of line breaks in the stretch.
    qsizetype indexLines(qsizetype firstLine, qsizetype start, qsizetype end,
                         std::vector<Block>& out) const;
    void record(Step step);
    bool matchesAt(QStringView what, qsizetype at, const FindOptions& options) const;

    QString text_;
    std::vector<Block> blocks_;
    mutable int widestTab_ = 0;
    qsizetype lineCount_ = 1;
    mutable qsizetype foundLine_ = 0; // the line lineStart found last, and its start
    mutable qsizetype foundStart_ = 0;
    language::DescriptionText cp1251_;
    bool cp1251Fresh_ = false; // cp1251_ holds the current text
    std::vector<bool> crlf_;   // per line: it ends with "\r\n" in the file
    bool crlfDominant_ = false;
    std::vector<Step> steps_;
    std::size_t done_ = 0;                 // steps_[0, done_) are done, the rest undone
    std::optional<std::size_t> clean_ = 0; // done_ when the text was last unmodified
    qsizetype firstChanged_ = 0;
};

// One line as code page 1251 bytes, as the lexer reads it: ASCII as it is, other characters as
// code page 1251 encodes them, '?' where it has no code.
std::string cp1251Line(QStringView line);

} // namespace axolite::editor
