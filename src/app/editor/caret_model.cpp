// The editor's caret and selection.
#include "app/editor/caret_model.h"

#include <algorithm>
#include <cstdlib>

namespace axolite::editor {

TextRange CaretModel::selection() const {
    return TextRange{std::min(caret_, anchor_), std::max(caret_, anchor_)};
}

QString CaretModel::selectedText() const {
    const TextRange range = selection();
    return buffer_.text().sliced(range.from, range.to - range.from);
}

void CaretModel::select(qsizetype anchor, qsizetype caret) {
    anchor_ = std::clamp<qsizetype>(anchor, 0, buffer_.size());
    caret_ = std::clamp<qsizetype>(caret, 0, buffer_.size());
    preferredX_ = -1;
}

void CaretModel::moveTo(qsizetype position, bool keepAnchor) {
    caret_ = position;
    if (!keepAnchor) {
        anchor_ = position;
    }
    preferredX_ = -1;
}

bool CaretModel::move(CaretMove move, bool keepAnchor, int pageLines) {
    const qsizetype line = buffer_.lineOf(caret_);
    qsizetype target = caret_;
    switch (move) {
    case CaretMove::NextCharacter:
    case CaretMove::NextWord:
        target = layouts_.nextPosition(caret_, move == CaretMove::NextWord);
        break;
    case CaretMove::PreviousCharacter:
    case CaretMove::PreviousWord:
        target = layouts_.previousPosition(caret_, move == CaretMove::PreviousWord);
        break;
    case CaretMove::LineStart:
        target = buffer_.lineStart(line);
        break;
    case CaretMove::LineEnd:
        target = buffer_.lineEnd(line);
        break;
    case CaretMove::DocumentStart:
        target = 0;
        break;
    case CaretMove::DocumentEnd:
        target = buffer_.size();
        break;
    case CaretMove::PreviousLineStart:
        target = line > 0 ? buffer_.lineStart(line - 1) : 0;
        break;
    case CaretMove::NextLineStart:
        if (line + 1 >= buffer_.lineCount()) {
            return false;
        }
        target = buffer_.lineStart(line + 1);
        break;
    case CaretMove::LineUp:
    case CaretMove::LineDown:
    case CaretMove::PageUp:
    case CaretMove::PageDown: {
        const int lines = move == CaretMove::LineUp     ? -1
                          : move == CaretMove::LineDown ? 1
                          : move == CaretMove::PageUp   ? -pageLines
                                                        : pageLines;
        target = verticalTarget(caret_, lines);
        const qreal kept = preferredX_;
        moveTo(target, keepAnchor);
        preferredX_ = kept;
        return true;
    }
    }
    moveTo(target, keepAnchor);
    return true;
}

qsizetype CaretModel::verticalTarget(qsizetype position, int lines) {
    const qsizetype line = buffer_.lineOf(position);
    if (preferredX_ < 0) {
        preferredX_ = layouts_.columnX(line, position - buffer_.lineStart(line));
    }
    const qsizetype target = std::clamp<qsizetype>(line + lines, 0, buffer_.lineCount() - 1);
    if (target == line) {
        return lines < 0 ? 0 : (line + 1 == buffer_.lineCount() ? buffer_.size() : position);
    }
    return buffer_.lineStart(target) + layouts_.columnAt(target, preferredX_);
}

void CaretModel::keepValid() {
    const auto valid = [this](qsizetype position) {
        position = std::clamp<qsizetype>(position, 0, buffer_.size());
        const QString& text = buffer_.text();
        return position > 0 && position < text.size() && text[position - 1].isHighSurrogate() &&
                       text[position].isLowSurrogate()
                   ? position - 1
                   : position;
    };
    caret_ = valid(caret_);
    anchor_ = valid(anchor_);
}

qsizetype CaretModel::previousCodePoint() const {
    const QString& text = buffer_.text();
    const bool pair =
        caret_ >= 2 && text[caret_ - 1].isLowSurrogate() && text[caret_ - 2].isHighSurrogate();
    return std::max<qsizetype>(0, caret_ - (pair ? 2 : 1));
}

TextRange CaretModel::wordAt(qsizetype position) const {
    const qsizetype line = buffer_.lineOf(position);
    const QString& text = buffer_.text();
    qsizetype from = position;
    qsizetype to = position;
    while (from > buffer_.lineStart(line) && isWordCharacter(text[from - 1])) {
        --from;
    }
    while (to < buffer_.lineEnd(line) && isWordCharacter(text[to])) {
        ++to;
    }
    return TextRange{from, to};
}

} // namespace axolite::editor
