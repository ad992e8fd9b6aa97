// What the editor's view and its input handling share: the fixed measures of the view and the
// single-line layout of a line of text.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QTextLayout>

#include <memory>

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

} // namespace axolite::editor
