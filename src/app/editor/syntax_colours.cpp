// The editor's colours from the lexer's classes.
#include "app/editor/syntax_colours.h"

#include "core/language/lexer.h"

#include <QColor>

#include <algorithm>

namespace axolite::editor {

namespace {

using language::TokenClass;

QTextCharFormat formatOf(TokenClass kind) {
    QTextCharFormat format;
    switch (kind) {
    case TokenClass::Keyword:
        format.setForeground(QColor(0, 0, 170));
        break;
    case TokenClass::Number:
        format.setForeground(QColor(150, 0, 110));
        break;
    case TokenClass::Punctuation:
        break;
    case TokenClass::Comment:
        format.setForeground(QColor(0, 125, 0));
        break;
    case TokenClass::Unrecognised:
        format.setForeground(QColor(200, 0, 0));
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        format.setUnderlineColor(QColor(200, 0, 0));
        break;
    case TokenClass::Ignored:
        format.setForeground(QColor(140, 140, 140));
        break;
    }
    return format;
}

// A line the lexer may stop on: too long for it, or holding the letters of the terminator.
bool mayEndLexing(QStringView text) {
    return text.size() > static_cast<qsizetype>(language::kLineFits) ||
           text.contains(QLatin1String("end"), Qt::CaseInsensitive);
}

// The lexer's reading of a line: by code page 1251 bytes, one per character.
language::LineTokens classesOf(const TextBuffer& buffer, qsizetype line) {
    QStringView text = buffer.line(line);
    if (line > 0 && text.size() > 2 * static_cast<qsizetype>(language::kLineFits)) {
        // Too long for the lexer however its characters are counted: never read.
        return {{{0, static_cast<std::size_t>(text.size()), TokenClass::Ignored}}, true};
    }
    if (line == 0) {
        text = text.first(std::min<qsizetype>(text.size(), 2 * language::kFirstLineCopied));
    }
    return language::classifyLine(cp1251Line(text), line == 0);
}

} // namespace

bool SyntaxColours::endedBefore(const TextBuffer& buffer, qsizetype line) {
    while (endingLine_ < 0 && scannedUpTo_ < line) {
        const qsizetype at = scannedUpTo_++;
        if (mayEndLexing(buffer.line(at)) && classesOf(buffer, at).endsLexing) {
            endingLine_ = at;
        }
    }
    return endingLine_ >= 0 && endingLine_ < line;
}

void SyntaxColours::changedFrom(qsizetype line) {
    if (endingLine_ >= line) {
        endingLine_ = -1;
    }
    if (endingLine_ < 0) {
        scannedUpTo_ = std::min(scannedUpTo_, line);
    }
}

QList<QTextLayout::FormatRange> SyntaxColours::formats(const TextBuffer& buffer, qsizetype line,
                                                       qsizetype from, qsizetype to) {
    const QStringView text = buffer.line(line);
    to = to < 0 ? text.size() : to;
    QList<QTextLayout::FormatRange> formats;
    const auto add = [&](qsizetype start, qsizetype end, TokenClass kind) {
        start = std::max(start, from);
        end = std::min(end, to);
        if (start < end && kind != TokenClass::Punctuation) {
            formats.append(
                {static_cast<int>(start - from), static_cast<int>(end - start), formatOf(kind)});
        }
    };
    if (endedBefore(buffer, line)) {
        add(0, text.size(), TokenClass::Ignored);
        return formats;
    }
    // The lexer counts characters; the text counts UTF-16 units, two for a character outside
    // the basic plane.
    std::vector<qsizetype> unitOf;
    const bool pairs =
        std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
    if (pairs) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())) {
                unitOf.push_back(i);
            }
        }
    }
    const auto unit = [&](std::size_t character) {
        if (!pairs) {
            return std::min<qsizetype>(static_cast<qsizetype>(character), text.size());
        }
        return character < unitOf.size() ? unitOf[character] : text.size();
    };
    const language::LineTokens classes = classesOf(buffer, line);
    for (const language::TokenSpan& span : classes.spans) {
        // What is never read runs to the end of the line, however much of it was classified.
        const bool tail = span.kind == TokenClass::Ignored && &span == &classes.spans.back();
        add(unit(span.start), tail ? text.size() : unit(span.start + span.length), span.kind);
    }
    return formats;
}

} // namespace axolite::editor
