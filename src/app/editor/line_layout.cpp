// The single-line layout of a line of the editor, and what a line shows.
#include "app/editor/line_layout.h"

#include <QFontMetricsF>

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
