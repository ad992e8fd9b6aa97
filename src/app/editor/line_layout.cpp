// The layouts of the editor's lines, and what a line shows.
#include "app/editor/line_layout.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace axolite::editor {

std::unique_ptr<QTextLayout> makeLayout(const QString& text, const QFont& font,
                                        const QList<QTextLayout::FormatRange>& formats,
                                        int preeditAt, const QString& preedit) {
    auto layout = std::make_unique<QTextLayout>(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) *
                              kTabColumns);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->setFormats(formats);
    if (!preedit.isEmpty()) {
        layout->setPreeditArea(preeditAt, preedit);
        QTextLayout::FormatRange composed;
        composed.start = preeditAt;
        composed.length = static_cast<int>(preedit.size());
        composed.format.setFontUnderline(true);
        layout->setFormats({composed});
    }
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
        line.setPosition(QPointF(0, 0));
    }
    layout->endLayout();
    return layout;
}

QString shownLine(QStringView line) {
    QString shown = line.toString();
    for (QChar& c : shown) {
        const char16_t code = c.unicode();
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            c = QChar(0x21B5);
        } else if (code < 0x20 && code != u'\t') {
            c = QChar(0x2400 + code);
        } else if (code == 0x7F) {
            c = QChar(0x2421);
        }
    }
    return shown;
}

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace axolite::editor

namespace axolite::editor {

namespace {

// Every printable ASCII character as wide as a space: the font has a fixed pitch.
qreal columnStep(const QFont& font) {
    const QFontMetricsF metrics(font);
    const qreal step = metrics.horizontalAdvance(QLatin1Char(' '));
    for (char16_t c = 0x21; c < 0x7F; ++c) {
        if (metrics.horizontalAdvance(QChar(c)) != step) {
            return 0;
        }
    }
    return step;
}

} // namespace

void LineLayouts::setFont(const QFont& font) {
    font_ = font;
    step_ = columnStep(font);
    layouts_.clear();
    measured_ = 0;
}

void LineLayouts::changedFrom(qsizetype line) {
    colours_.changedFrom(line);
    layouts_.clear();
    stepped_.clear();
    measured_ = 0;
}

QTextLayout& LineLayouts::layout(qsizetype line) const {
    auto& slot = layouts_[line];
    if (!slot) {
        if (static_cast<qsizetype>(layouts_.size()) > kLayoutCacheLimit) {
            layouts_.clear();
            return layout(line);
        }
        slot = makeLayout(shownLine(buffer_.line(line)), font_, colours_.formats(buffer_, line));
        const QTextLine textLine = slot->lineAt(0);
        if (textLine.isValid()) {
            measured_ = std::max(measured_, textLine.naturalTextWidth());
        }
    }
    return *slot;
}

bool LineLayouts::isStepped(qsizetype line) const {
    const QStringView text = buffer_.line(line);
    if (text.size() <= kSteppedLine || step_ <= 0) {
        return false;
    }
    const auto [it, added] = stepped_.try_emplace(line, false);
    if (added) {
        it->second = std::all_of(text.begin(), text.end(),
                                 [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
    }
    return it->second;
}

std::unique_ptr<QTextLayout> LineLayouts::slice(qsizetype line, qsizetype from,
                                                qsizetype to) const {
    return makeLayout(buffer_.line(line).sliced(from, to - from).toString(), font_,
                      colours_.formats(buffer_, line, from, to));
}

qreal LineLayouts::columnX(qsizetype line, qsizetype column) const {
    if (isStepped(line)) {
        return static_cast<qreal>(column) * step_;
    }
    const QTextLine textLine = layout(line).lineAt(0);
    return textLine.isValid() ? textLine.cursorToX(static_cast<int>(column)) : 0;
}

qsizetype LineLayouts::columnAt(qsizetype line, qreal x) const {
    if (isStepped(line)) {
        return std::clamp<qsizetype>(std::llround(x / step_), 0, buffer_.line(line).size());
    }
    const QTextLine textLine = layout(line).lineAt(0);
    return textLine.isValid() ? textLine.xToCursor(x) : 0;
}

qsizetype LineLayouts::nextPosition(qsizetype position, bool word) const {
    const qsizetype line = buffer_.lineOf(position);
    const qsizetype column = position - buffer_.lineStart(line);
    if (position >= buffer_.lineEnd(line)) {
        return line + 1 < buffer_.lineCount() ? buffer_.lineStart(line + 1) : position;
    }
    if (isStepped(line)) {
        if (!word) {
            return position + 1;
        }
        const qsizetype to = std::min(column + kSliceMargin, buffer_.line(line).size());
        return position + slice(line, column, to)->nextCursorPosition(0, QTextLayout::SkipWords);
    }
    return buffer_.lineStart(line) +
           layout(line).nextCursorPosition(static_cast<int>(column),
                                           word ? QTextLayout::SkipWords
                                                : QTextLayout::SkipCharacters);
}

qsizetype LineLayouts::previousPosition(qsizetype position, bool word) const {
    const qsizetype line = buffer_.lineOf(position);
    const qsizetype column = position - buffer_.lineStart(line);
    if (column == 0) {
        return line > 0 ? buffer_.lineEnd(line - 1) : 0;
    }
    if (isStepped(line)) {
        if (!word) {
            return position - 1;
        }
        const qsizetype from = std::max<qsizetype>(0, column - kSliceMargin);
        return buffer_.lineStart(line) + from +
               slice(line, from, column)
                   ->previousCursorPosition(static_cast<int>(column - from),
                                            QTextLayout::SkipWords);
    }
    return buffer_.lineStart(line) +
           layout(line).previousCursorPosition(static_cast<int>(column),
                                               word ? QTextLayout::SkipWords
                                                    : QTextLayout::SkipCharacters);
}

} // namespace axolite::editor
