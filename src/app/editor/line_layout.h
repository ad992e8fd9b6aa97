// How the editor lays out its lines: the fixed measures of the view, the single-line layout of a
// line of text, and the layouts of the lines in use with what is measured from them (the x of a
// column, the column at an x, the caret's next and previous positions).
#pragma once

#include "app/editor/syntax_colours.h"
#include "app/editor/text_buffer.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QStringView>
#include <QTextLayout>

#include <memory>
#include <unordered_map>

namespace axolite::editor {

inline constexpr int kMargin = 4;     // pixels left of the text
inline constexpr int kTabColumns = 8; // a tab reaches the next multiple of eight columns
inline constexpr int kAutoScrollMs = 50;
inline constexpr qsizetype kLayoutCacheLimit = 512;
// A line longer than this, of printable ASCII only, is laid out only around the columns in use
// (pattern files hold all their values on one line): a layout of millions of characters costs a
// tenth of a second per key and runs out of its coordinates. In a fixed-pitch font each of its
// columns is one step wide.
inline constexpr qsizetype kSteppedLine = 10000;
inline constexpr qsizetype kSliceMargin = 256; // columns laid out on either side of those in use

// A single-line layout of text, tabs every kTabColumns columns of the font. preedit, when not
// empty, is text an input method is composing, shown underlined at column preeditAt.
std::unique_ptr<QTextLayout> makeLayout(const QString& text, const QFont& font,
                                        const QList<QTextLayout::FormatRange>& formats = {},
                                        int preeditAt = 0, const QString& preedit = {});

// What a line shows: separators that would break the layout's single line are drawn as a sign
// of the same length, so that columns stay those of the text. Control characters other than the
// tab (a carriage return, a form feed, NUL, ...) are drawn as their control pictures: the font
// gives most of them no width, and the caret would seem stuck on them.
QString shownLine(QStringView line);

// A character of a word for a double click.
bool isWordCharacter(QChar c);

// The layouts of a buffer's lines in a font, made when a line is first asked for and kept until
// the text changes (at most kLayoutCacheLimit of them), coloured by the lexer's reading.
class LineLayouts {
public:
    explicit LineLayouts(const TextBuffer& buffer) : buffer_(buffer) {}

    void setFont(const QFont& font);
    const QFont& font() const { return font_; }

    // The text changed from this line on: every layout is made anew.
    void changedFrom(qsizetype line);

    // The layout of one line (tabs expanded).
    QTextLayout& layout(qsizetype line) const;
    // A long line of printable ASCII, laid out only in slices: its columns are step() wide.
    bool isStepped(qsizetype line) const;
    // The width of every column when the font has a fixed pitch for printable ASCII, else 0.
    qreal step() const { return step_; }
    // The layout of columns [from, to) of a line.
    std::unique_ptr<QTextLayout> slice(qsizetype line, qsizetype from, qsizetype to) const;

    // The x of a column from the line's start, and the column nearest x.
    qreal columnX(qsizetype line, qsizetype column) const;
    qsizetype columnAt(qsizetype line, qreal x) const;

    // The caret's next (previous) position from position: one character (a character and the
    // marks joined to it) or to the next word's start, across a line end too.
    qsizetype nextPosition(qsizetype position, bool word) const;
    qsizetype previousPosition(qsizetype position, bool word) const;

    // The widest line laid out since the text last changed, in pixels: characters wider than a
    // column (or narrower) make the count of columns a poor measure of a line's width.
    qreal measured() const { return measured_; }

private:
    const TextBuffer& buffer_;
    QFont font_;
    qreal step_ = 0;
    mutable SyntaxColours colours_; // worked out for the lines laid out
    mutable std::unordered_map<qsizetype, std::unique_ptr<QTextLayout>> layouts_;
    mutable std::unordered_map<qsizetype, bool> stepped_; // per line laid out since the last edit
    mutable qreal measured_ = 0;
};

} // namespace axolite::editor
