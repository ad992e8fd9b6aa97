// The text of a description editor.
#include "app/editor/text_buffer.h"

#include "core/platform/text_encoding.h"

#include <algorithm>
#include <iterator>

namespace axolite::editor {

namespace {

constexpr char16_t kLineEnd = u'\n';
// Lines per block of the line index: few enough that a line is found in a moment from its
// block's start, many enough that the index takes a fraction of a byte per line.
constexpr qsizetype kBlockLines = 64;

// Typed or pasted text with its line ends made '\n'.
QString withLineEnds(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == kLineEnd) {
                ++i;
            }
            out.append(QChar(kLineEnd));
        } else if (c == QChar::ParagraphSeparator) {
            out.append(QChar(kLineEnd));
        } else {
            out.append(c);
        }
    }
    return out;
}

// Per line end of a file's text ('\n'): whether "\r\n" ended the line.
std::vector<bool> fileLineEnds(QStringView text) {
    std::vector<bool> ends;
    for (qsizetype at = text.indexOf(kLineEnd); at >= 0; at = text.indexOf(kLineEnd, at + 1)) {
        ends.push_back(at > 0 && text[at - 1] == u'\r' ? 1 : 0);
    }
    return ends;
}

// "\r\n" made '\n' in place; every other character kept.
void dropCarriageReturns(QString& text) {
    qsizetype at = text.indexOf(u'\r');
    while (at >= 0 && (at + 1 == text.size() || text[at + 1] != kLineEnd)) {
        at = text.indexOf(u'\r', at + 1);
    }
    if (at < 0) {
        return;
    }
    QChar* const chars = text.data();
    qsizetype out = at;
    for (qsizetype i = at; i < text.size(); ++i) {
        if (!(chars[i] == u'\r' && i + 1 < text.size() && chars[i + 1] == kLineEnd)) {
            chars[out++] = chars[i];
        }
    }
    text.truncate(out);
}

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber();
}

} // namespace

// ASCII is narrowed in a loop without branches; a line with any other character goes through
// the code page table.
std::string cp1251Line(QStringView line) {
    std::string bytes(static_cast<std::size_t>(line.size()), '\0');
    const char16_t* const chars = line.utf16();
    char16_t any = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        any |= chars[i];
        bytes[i] = static_cast<char>(chars[i]);
    }
    if (any < 0x80) {
        return bytes;
    }
    const QByteArray utf8 = line.toUtf8();
    return platform::utf8ToCp1251(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

TextBuffer::TextBuffer() {
    setText(QString());
}

void TextBuffer::setText(QString text) {
    crlf_ = fileLineEnds(text);
    const auto crlfCount = std::count(crlf_.begin(), crlf_.end(), true);
    crlfDominant_ = 2 * crlfCount > static_cast<std::ptrdiff_t>(crlf_.size());
    crlf_.push_back(false); // the last line has no line end
    dropCarriageReturns(text);
    text_ = std::move(text);
    blocks_.clear();
    lineCount_ = indexLines(0, 0, text_.size(), blocks_) + 1;
    foundLine_ = foundStart_ = 0;
    cp1251_ = {};
    cp1251Fresh_ = false;
    firstChanged_ = 0;
    steps_.clear();
    done_ = 0;
    clean_ = 0;
}

QString TextBuffer::fileText() const {
    if (std::find(crlf_.begin(), crlf_.end(), true) == crlf_.end()) {
        return text_;
    }
    QString out;
    out.reserve(text_.size() + static_cast<qsizetype>(crlf_.size()));
    for (qsizetype i = 0; i < lineCount(); ++i) {
        out.append(line(i));
        if (i + 1 < lineCount()) {
            out.append(crlf_[static_cast<std::size_t>(i)] ? QStringView(u"\r\n")
                                                          : QStringView(u"\n"));
        }
    }
    return out;
}

void TextBuffer::appendEnds(qsizetype from, qsizetype to, std::vector<char>& out) const {
    const qsizetype last = lineOf(to);
    for (qsizetype line = lineOf(from); line < last; ++line) {
        out.push_back(crlf_[static_cast<std::size_t>(line)] ? 1 : 0);
    }
}

qsizetype TextBuffer::indexLines(qsizetype firstLine, qsizetype start, qsizetype end,
                                 std::vector<Block>& out) const {
    out.push_back(Block{firstLine, start});
    const QStringView text(text_);
    qsizetype breaks = 0;
    for (qsizetype at = text.indexOf(kLineEnd, start); at >= 0 && at < end;
         at = text.indexOf(kLineEnd, at + 1)) {
        ++breaks;
        if (breaks % kBlockLines == 0 && at + 1 < end) {
            out.push_back(Block{firstLine + breaks, at + 1});
        }
    }
    return breaks;
}

qsizetype TextBuffer::lineStart(qsizetype line) const {
    if (line == foundLine_) {
        return foundStart_;
    }
    // The block holding the line; from the line found last when that lies in it, before it.
    const auto block =
        std::prev(std::upper_bound(blocks_.begin(), blocks_.end(), line,
                                   [](qsizetype l, const auto& b) { return l < b.line; }));
    qsizetype current = block->line;
    qsizetype start = block->start;
    if (foundLine_ < line && foundLine_ > current) {
        current = foundLine_;
        start = foundStart_;
    }
    const QStringView text(text_);
    while (current < line) {
        start = text.indexOf(kLineEnd, start) + 1;
        ++current;
    }
    foundLine_ = line;
    foundStart_ = start;
    return start;
}

qsizetype TextBuffer::lineEnd(qsizetype line) const {
    const qsizetype end = QStringView(text_).indexOf(kLineEnd, lineStart(line));
    return end < 0 ? text_.size() : end;
}

QStringView TextBuffer::line(qsizetype line) const {
    const qsizetype start = lineStart(line);
    return QStringView(text_).sliced(start, lineEnd(line) - start);
}

qsizetype TextBuffer::lineOf(qsizetype position) const {
    const auto block =
        std::prev(std::upper_bound(blocks_.begin(), blocks_.end(), position,
                                   [](qsizetype p, const auto& b) { return p < b.start; }));
    return block->line +
           QStringView(text_).sliced(block->start, position - block->start).count(QChar(kLineEnd));
}

qsizetype TextBuffer::widestLine(int tabColumns) const {
    if (tabColumns != widestTab_) {
        for (const Block& block : blocks_) {
            block.widest = -1;
        }
        widestTab_ = tabColumns;
    }
    // Each block's widest line is kept until an edit touches the block.
    const QStringView all(text_);
    qsizetype widest = 0;
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        const Block& block = blocks_[b];
        if (block.widest < 0) {
            const qsizetype end = b + 1 < blocks_.size() ? blocks_[b + 1].start - 1 : all.size();
            block.widest = 0;
            for (qsizetype start = block.start; start <= end;) {
                const qsizetype found = all.indexOf(kLineEnd, start);
                const qsizetype lineEnd = found < 0 || found > end ? end : found;
                const QStringView text = all.sliced(start, lineEnd - start);
                start = lineEnd + 1;
                qsizetype columns = text.size();
                if (text.contains(u'\t')) {
                    columns = 0;
                    for (const QChar c : text) {
                        columns =
                            c == u'\t' ? (columns / tabColumns + 1) * tabColumns : columns + 1;
                    }
                }
                block.widest = std::max(block.widest, columns);
            }
        }
        widest = std::max(widest, block.widest);
    }
    return widest;
}

TextRange TextBuffer::apply(qsizetype from, qsizetype to, QStringView text,
                            const std::vector<char>& ends, std::vector<char>* removedEnds) {
    const qsizetype first = lineOf(from);
    const qsizetype last = lineOf(to);
    firstChanged_ = std::min(firstChanged_, first);
    if (removedEnds != nullptr) {
        appendEnds(from, to, *removedEnds);
    }
    // The blocks of the lines the edit touched: their stretch of text is indexed anew, the
    // blocks after it move by the change in length and in lines.
    const auto firstBlock =
        std::prev(std::upper_bound(blocks_.begin(), blocks_.end(), first,
                                   [](qsizetype l, const auto& b) { return l < b.line; }));
    const auto nextBlock = std::upper_bound(firstBlock, blocks_.end(), last,
                                            [](qsizetype l, const auto& b) { return l < b.line; });
    const qsizetype stretchLine = firstBlock->line;
    const qsizetype stretchStart = firstBlock->start;
    const qsizetype shift = text.size() - (to - from);
    const bool lastStretch = nextBlock == blocks_.end();
    const qsizetype oldLines = (lastStretch ? lineCount_ : nextBlock->line) - stretchLine;
    text_.replace(from, to - from, text.data(), text.size());
    const qsizetype stretchEnd = lastStretch ? text_.size() : nextBlock->start + shift;
    std::vector<Block> stretch;
    const qsizetype newLines =
        indexLines(stretchLine, stretchStart, stretchEnd, stretch) + (lastStretch ? 1 : 0);
    const qsizetype lineShift = newLines - oldLines;
    for (auto it = nextBlock; it != blocks_.end(); ++it) {
        it->line += lineShift;
        it->start += shift;
    }
    const auto at = blocks_.erase(firstBlock, nextBlock);
    blocks_.insert(at, stretch.begin(), stretch.end());
    lineCount_ += lineShift;
    foundLine_ = foundStart_ = 0;
    cp1251Fresh_ = false;

    // The line ends inserted take the given kinds; the last line of the edit keeps its own.
    const auto addedLines = static_cast<std::size_t>(text.count(QChar(kLineEnd)));
    std::vector<bool> newEnds;
    for (std::size_t i = 0; i < addedLines; ++i) {
        newEnds.push_back(ends.size() == addedLines ? ends[i] != 0 : crlfDominant_);
    }
    newEnds.push_back(crlf_[static_cast<std::size_t>(last)]);
    if (static_cast<qsizetype>(newEnds.size()) == last - first + 1) {
        std::copy(newEnds.begin(), newEnds.end(), crlf_.begin() + first); // as many lines
    } else {
        crlf_.erase(crlf_.begin() + first, crlf_.begin() + last + 1);
        crlf_.insert(crlf_.begin() + first, newEnds.begin(), newEnds.end());
    }
    return {from, from + text.size()};
}

TextRange TextBuffer::replace(qsizetype from, qsizetype to, QStringView text, bool typing) {
    from = std::clamp<qsizetype>(from, 0, size());
    to = std::clamp<qsizetype>(to, from, size());
    const QString normal = withLineEnds(text);
    if (from == to && normal.isEmpty()) {
        return {from, from};
    }
    Edit edit{from, text_.sliced(from, to - from), normal, {}, {}};
    edit.insertedEnds.assign(static_cast<std::size_t>(normal.count(kLineEnd)),
                             crlfDominant_ ? 1 : 0);
    const TextRange range = apply(from, to, normal, edit.insertedEnds, &edit.removedEnds);

    // A typed character right after the previous typed one, with nothing undone or saved in
    // between, extends that step (also when that one replaced a selection: undoing the typing
    // brings the selected text back in one step).
    if (typing && from == to && done_ == steps_.size() && done_ > 0 && clean_ != done_) {
        Step& last = steps_.back();
        Edit& previous = last.edits.back();
        if (last.typing && previous.position + previous.inserted.size() == from) {
            previous.inserted += normal;
            previous.insertedEnds.insert(previous.insertedEnds.end(), edit.insertedEnds.begin(),
                                         edit.insertedEnds.end());
            return range;
        }
    }
    record(Step{{std::move(edit)}, typing});
    return range;
}

void TextBuffer::record(Step step) {
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
    if (clean_ && *clean_ > done_) {
        clean_.reset(); // the saved text can no longer be reached
    }
    steps_.push_back(std::move(step));
    ++done_;
}

std::optional<qsizetype> TextBuffer::undo() {
    if (!canUndo()) {
        return std::nullopt;
    }
    --done_;
    const Step& step = steps_[done_];
    qsizetype caret = 0;
    for (auto it = step.edits.rbegin(); it != step.edits.rend(); ++it) {
        apply(it->position, it->position + it->inserted.size(), it->removed, it->removedEnds);
        caret = it->position + it->removed.size();
    }
    return caret;
}

std::optional<qsizetype> TextBuffer::redo() {
    if (!canRedo()) {
        return std::nullopt;
    }
    const Step& step = steps_[done_];
    ++done_;
    qsizetype caret = 0;
    for (const Edit& edit : step.edits) {
        caret = apply(edit.position, edit.position + edit.removed.size(), edit.inserted,
                      edit.insertedEnds)
                    .to;
    }
    return caret;
}

void TextBuffer::setModified(bool modified) {
    if (modified) {
        clean_.reset();
    } else {
        clean_ = done_;
    }
}

bool TextBuffer::matchesAt(QStringView what, qsizetype at, const FindOptions& options) const {
    if (!options.wholeWords) {
        return true;
    }
    const qsizetype end = at + what.size();
    return (at == 0 || !isWordCharacter(text_[at - 1])) &&
           (end >= size() || !isWordCharacter(text_[end]));
}

std::optional<TextRange> TextBuffer::find(QStringView what, qsizetype position,
                                          const FindOptions& options) const {
    if (what.isEmpty()) {
        return std::nullopt;
    }
    const Qt::CaseSensitivity cs = options.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QStringView text(text_);
    position = std::clamp<qsizetype>(position, 0, size());
    if (options.backward) {
        for (qsizetype from = position - 1; from >= 0; --from) {
            from = text.lastIndexOf(what, from, cs);
            if (from < 0) {
                break;
            }
            if (matchesAt(what, from, options)) {
                return TextRange{from, from + what.size()};
            }
        }
        return std::nullopt;
    }
    for (qsizetype from = position; from <= size(); ++from) {
        from = text.indexOf(what, from, cs);
        if (from < 0) {
            break;
        }
        if (matchesAt(what, from, options)) {
            return TextRange{from, from + what.size()};
        }
    }
    return std::nullopt;
}

int TextBuffer::replaceAll(QStringView what, QStringView with, const FindOptions& options) {
    FindOptions forward = options;
    forward.backward = false;
    const QString replacement = withLineEnds(with);
    // The new text from the first match to the end of the last is built in one pass: the whole
    // change is one edit, which undo and redo leave with the caret at the last replacement.
    QString result;
    std::vector<char> ends; // the kinds of the line ends in result
    const auto replacementEnds = static_cast<std::size_t>(replacement.count(kLineEnd));
    int count = 0;
    qsizetype first = -1;
    qsizetype copied = 0;
    for (auto match = find(what, 0, forward); match; match = find(what, match->to, forward)) {
        if (first < 0) {
            first = copied = match->from;
        }
        result.append(QStringView(text_).sliced(copied, match->from - copied));
        appendEnds(copied, match->from, ends);
        result.append(replacement);
        ends.insert(ends.end(), replacementEnds, crlfDominant_ ? 1 : 0);
        copied = match->to;
        ++count;
    }
    if (count == 0) {
        return 0;
    }
    Edit edit{first, text_.sliced(first, copied - first), result, {}, std::move(ends)};
    apply(first, copied, result, edit.insertedEnds, &edit.removedEnds);
    record(Step{{std::move(edit)}, false});
    return count;
}

std::size_t TextBuffer::heldBytes() const {
    return static_cast<std::size_t>(text_.capacity()) * sizeof(QChar) +
           blocks_.capacity() * sizeof(blocks_[0]) + crlf_.capacity() / 8 +
           cp1251_.bytes.capacity();
}

qsizetype TextBuffer::takeFirstChangedLine() {
    const qsizetype first = std::min(firstChanged_, lineCount());
    firstChanged_ = lineCount();
    return first;
}

const language::DescriptionText& TextBuffer::textCp1251() {
    if (!cp1251Fresh_) {
        std::string& bytes = cp1251_.bytes;
        bytes.clear();
        bytes.shrink_to_fit(); // the old text goes before the new one is made
        bytes.reserve(static_cast<std::size_t>(text_.size()));
        const QStringView all(text_);
        for (qsizetype start = 0; start <= all.size();) {
            const qsizetype found = all.indexOf(kLineEnd, start);
            const qsizetype end = found < 0 ? all.size() : found;
            bytes += cp1251Line(all.sliced(start, end - start));
            if (found >= 0) {
                bytes.push_back('\n');
            }
            start = end + 1;
        }
        cp1251Fresh_ = true;
    }
    return cp1251_;
}

} // namespace axolite::editor
