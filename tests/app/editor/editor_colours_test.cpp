// The editor's colours: each line coloured as the lexer reads it, and every line after the one
// the lexer stops on shown as never read, also after edits that move, add or remove that line.
#include "app/editor/syntax_colours.h"
#include "app/editor/text_buffer.h"

#include <QRandomGenerator>
#include <QtTest>

using axolite::editor::SyntaxColours;
using axolite::editor::TextBuffer;

namespace {

const QColor kIgnored(140, 140, 140);

// Whether the whole line is shown as never read.
bool shownUnread(SyntaxColours& colours, const TextBuffer& buffer, qsizetype line) {
    const auto formats = colours.formats(buffer, line);
    return buffer.line(line).isEmpty() || (formats.size() == 1 && formats[0].start == 0 &&
                                           formats[0].length == buffer.line(line).size() &&
                                           formats[0].format.foreground().color() == kIgnored);
}

// The line the lexer stops on, counted afresh: the first line holding the terminator or too long.
qsizetype endingLine(const QStringList& lines) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const bool comment = line.startsWith(QLatin1String("//"));
        if ((i > 0 && line.size() > 126) ||
            (!comment && line.contains(QLatin1String("end"), Qt::CaseInsensitive))) {
            return i;
        }
    }
    return -1;
}

} // namespace

class EditorColoursTest : public QObject {
    Q_OBJECT
private slots:
    void keywordsNumbersAndUnknownWordsHaveTheirColours() {
        TextBuffer buffer;
        buffer.setText(QStringLiteral("neurons 2;\nweight{1,2 } ё 0.5x;\n// комментарий"));
        SyntaxColours colours;
        const auto first = colours.formats(buffer, 0);
        QCOMPARE(first.size(), 2); // "neurons", "2"; the semicolon keeps the text colour
        QCOMPARE(first[0].start, 0);
        QCOMPARE(first[0].length, 7);
        QCOMPARE(first[1].start, 8);
        const QColor keyword = first[0].format.foreground().color();
        const QColor number = first[1].format.foreground().color();
        QVERIFY(keyword != number);

        // "ё" is one byte for the lexer and one unit here; "0.5x" is no number.
        const auto second = colours.formats(buffer, 1);
        const auto unknown = std::find_if(second.begin(), second.end(), [](const auto& range) {
            return range.format.underlineStyle() == QTextCharFormat::WaveUnderline;
        });
        QVERIFY(unknown != second.end());
        QCOMPARE(buffer.line(1).mid(unknown->start, unknown->length), QStringLiteral("ё"));
        QCOMPARE(buffer.line(1).mid((unknown + 1)->start, (unknown + 1)->length),
                 QStringLiteral("0.5x"));

        const auto comment = colours.formats(buffer, 2);
        QCOMPARE(comment.size(), 1);
        QCOMPARE(comment[0].length, buffer.line(2).size());
    }

    void charactersOutsideTheBasicPlaneKeepTheColumnsAfterThem() {
        TextBuffer buffer;
        buffer.setText(QStringLiteral("x 😀 neurons 5;"));
        SyntaxColours colours;
        const auto formats = colours.formats(buffer, 0);
        const auto keyword = std::find_if(formats.begin(), formats.end(), [](const auto& range) {
            return range.format.foreground().color() == QColor(0, 0, 170);
        });
        QVERIFY(keyword != formats.end());
        QCOMPARE(buffer.line(0).mid(keyword->start, keyword->length), QStringLiteral("neurons"));
    }

    // Random edits that type, remove and move the terminator and long lines: what is shown as
    // never read always follows the text as it is now.
    void whatIsNeverReadFollowsEveryEdit() {
        const QStringList pieces{QStringLiteral("neurons 3;"),  QStringLiteral("end"),
                                 QStringLiteral("// the end"),  QString(130, u'1'),
                                 QStringLiteral("weight{1,2}"), QString()};
        QRandomGenerator random(11);
        TextBuffer buffer;
        SyntaxColours colours;
        QStringList lines;
        for (int i = 0; i < 40; ++i) {
            lines.append(pieces[random.bounded(pieces.size() - 3) == 0 ? 0 : 4]);
        }
        buffer.setText(lines.join(u'\n'));
        colours.changedFrom(buffer.takeFirstChangedLine());
        for (int round = 0; round < 300; ++round) {
            const auto line = static_cast<qsizetype>(random.bounded(buffer.lineCount()));
            const QString piece = pieces[random.bounded(pieces.size())];
            const int edit = random.bounded(3);
            const qsizetype start = buffer.lineStart(line);
            if (edit == 0) {
                buffer.replace(start, buffer.lineEnd(line), piece);
            } else if (edit == 1) {
                buffer.replace(start, start, piece + u'\n');
            } else if (buffer.lineCount() > 2) {
                buffer.replace(start, std::min(buffer.size(), buffer.lineEnd(line) + 1), {});
            }
            colours.changedFrom(buffer.takeFirstChangedLine());
            lines = buffer.text().split(u'\n');
            const qsizetype ending = endingLine(lines);
            // Look at the lines in an order a view would: from some line downwards.
            const auto from = static_cast<qsizetype>(random.bounded(buffer.lineCount()));
            for (qsizetype i = from; i < std::min(buffer.lineCount(), from + 12); ++i) {
                const bool expected = ending >= 0 && i > ending;
                if (lines[i].isEmpty() || lines[i].size() > 126 || i == ending) {
                    continue;
                }
                QVERIFY2(shownUnread(colours, buffer, i) == expected,
                         qPrintable(QStringLiteral("round %1 line %2 ending %3 edit %4 at %5: %6")
                                        .arg(round)
                                        .arg(i)
                                        .arg(ending)
                                        .arg(edit)
                                        .arg(line)
                                        .arg(lines.join(u'|'))));
            }
        }
    }
};

QTEST_GUILESS_MAIN(EditorColoursTest)
#include "editor_colours_test.moc"
