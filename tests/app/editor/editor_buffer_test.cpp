// The description editor's text: edits, the line index and the lexer's code page 1251 lines
// checked against a plain string model under random edits, undo and redo; the modified flag and
// the typing steps; finding and replacing.
#include "app/editor/text_buffer.h"
#include "core/language/description_text.h"
#include "core/platform/text_encoding.h"

#include <QRandomGenerator>
#include <QtTest>

#include <limits>

using axolite::editor::FindOptions;
using axolite::editor::TextBuffer;
using axolite::editor::TextRange;

namespace {

// A line as the lexer must receive it, converted afresh.
std::string freshCp1251(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    return axolite::platform::utf8ToCp1251(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString withNewLines(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

// Everything the buffer answers about its lines, compared with the model text.
void checkAgainst(TextBuffer& buffer, const QString& model, bool withCp1251) {
    QCOMPARE(buffer.text(), model);
    const QStringList lines = model.split(u'\n');
    QCOMPARE(buffer.lineCount(), lines.size());
    qsizetype start = 0;
    qsizetype widest = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QCOMPARE(buffer.lineStart(i), start);
        QCOMPARE(buffer.lineEnd(i), start + lines[i].size());
        QCOMPARE(buffer.line(i).toString(), lines[i]);
        QCOMPARE(buffer.lineOf(start), i);
        QCOMPARE(buffer.lineOf(start + lines[i].size()), i);
        widest = std::max(widest, lines[i].size());
        start += lines[i].size() + 1;
    }
    QCOMPARE(buffer.widestLine(8), widest); // the model's texts hold no tabs
    if (withCp1251) {
        const std::vector<std::string>& bytes = buffer.linesCp1251();
        QCOMPARE(static_cast<qsizetype>(bytes.size()), lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QCOMPARE(bytes[static_cast<std::size_t>(i)], freshCp1251(lines[i]));
        }
    }
}

} // namespace

class EditorBufferTest : public QObject {
    Q_OBJECT

private slots:
    // Random replaces, undos, redos, saves and replace-alls, from an empty text and from a long
    // one, with the text, every line start, the line of every line boundary and the code page
    // 1251 lines compared with the model after each one. The code page lines are read only now
    // and then, so that stale lines left by several edits in a row would show.
    void randomEditsFollowTheModel() {
        const QString pieces[] = {
            QStringLiteral("a"),       QStringLiteral("bc"),     QStringLiteral("\n"),
            QStringLiteral("\r\n"),    QStringLiteral("\r"),     QStringLiteral("Сеть"),
            QString(QChar(0x2029)),    QStringLiteral("x\n\ny"), QString::fromUtf16(u"\U0001F600"),
            QStringLiteral("e\u0301"), QStringLiteral("\n\n\n"), QStringLiteral("€")};
        for (quint32 seed = 1; seed <= 6; ++seed) {
            QRandomGenerator random(seed);
            TextBuffer buffer;
            QString model;
            if (seed > 4) {
                // Hundreds of lines: edits within and across the blocks of the line index.
                model = QStringLiteral("ab\n").repeated(400);
                buffer.setText(model);
            }
            std::vector<QString> history{model}; // the text after each done step
            std::size_t done = 0;
            constexpr std::size_t kUnreachable = std::numeric_limits<std::size_t>::max();
            std::size_t clean = 0; // done when the text was last saved
            qsizetype longest = 0;
            const auto pick = [&](qsizetype bound) {
                return static_cast<qsizetype>(random.bounded(static_cast<quint32>(bound + 1)));
            };
            for (int op = 0; op < 1500; ++op) {
                const quint32 kind = random.bounded(10u);
                if (kind < 6) {
                    qsizetype from = pick(model.size());
                    qsizetype to = std::min(model.size(), from + pick(kind == 0 ? 60 : 4));
                    QString text;
                    for (quint32 n = random.bounded(4u); n > 0; --n) {
                        text += pieces[random.bounded(static_cast<quint32>(std::size(pieces)))];
                    }
                    TextRange range;
                    if (random.bounded(8u) == 0) {
                        // A reversed range is read as the empty one at its start.
                        range = buffer.replace(to, from, text);
                        from = to;
                    } else {
                        range = buffer.replace(from, to, text);
                    }
                    const QString inserted = withNewLines(text);
                    QCOMPARE(range.from, from);
                    QCOMPARE(range.to, from + inserted.size());
                    if (from == to && inserted.isEmpty()) {
                        continue; // nothing changed, nothing to undo
                    }
                    model.replace(from, to - from, inserted);
                    history.resize(done + 1);
                    if (clean != kUnreachable && clean > done) {
                        clean = kUnreachable;
                    }
                    history.push_back(model);
                    ++done;
                } else if (kind == 6) {
                    const bool had = done > 0;
                    QCOMPARE(buffer.canUndo(), had);
                    QCOMPARE(buffer.undo().has_value(), had);
                    if (had) {
                        model = history[--done];
                    }
                } else if (kind == 7) {
                    const bool had = done + 1 < history.size();
                    QCOMPARE(buffer.canRedo(), had);
                    QCOMPARE(buffer.redo().has_value(), had);
                    if (had) {
                        model = history[++done];
                    }
                } else if (kind == 8) {
                    buffer.setModified(false);
                    clean = done;
                } else {
                    const QString what = pieces[random.bounded(3u)];
                    const QString with = pieces[random.bounded(12u)];
                    const int count = buffer.replaceAll(what, with, FindOptions{});
                    QCOMPARE(count, static_cast<int>(model.count(what, Qt::CaseInsensitive)));
                    if (count > 0) {
                        model.replace(what, withNewLines(with), Qt::CaseInsensitive);
                        history.resize(done + 1);
                        if (clean != kUnreachable && clean > done) {
                            clean = kUnreachable;
                        }
                        history.push_back(model);
                        ++done;
                    }
                }
                QCOMPARE(buffer.isModified(), clean != done);
                longest = std::max(longest, model.size());
                checkAgainst(buffer, model, random.bounded(3u) == 0);
                if (QTest::currentTestFailed()) {
                    qWarning() << "seed" << seed << "operation" << op;
                    return;
                }
            }
            checkAgainst(buffer, model, true);
            QVERIFY2(longest > 100, "the random edits built a text of some length");
        }
    }

    // Each line keeps the line end the file gave it through edits, undo and redo; a line end
    // typed or pasted takes the kind most of the file's lines had.
    void linesKeepTheirFileLineEnds() {
        const QString file = QStringLiteral("a\r\nb\nc\r\nd\r\ne");
        TextBuffer buffer;
        buffer.setText(file);
        QVERIFY(buffer.crlfDominant());
        QCOMPARE(buffer.fileText(), file);
        buffer.replace(3, 3, u"X");   // "bX", still ended by '\n'
        buffer.replace(1, 1, u"\n+"); // a new line after "a"
        buffer.replace(6, 7, u"");    // "bX" joined with "c": the joined line ends as "c" did
        QCOMPARE(buffer.fileText(), QStringLiteral("a\r\n+\r\nbXc\r\nd\r\ne"));
        QCOMPARE(buffer.replaceAll(u"d", u"D\nD", FindOptions{}), 1);
        QCOMPARE(buffer.fileText(), QStringLiteral("a\r\n+\r\nbXc\r\nD\r\nD\r\ne"));
        while (buffer.undo()) {
        }
        QCOMPARE(buffer.fileText(), file);
        while (buffer.redo()) {
        }
        QCOMPARE(buffer.fileText(), QStringLiteral("a\r\n+\r\nbXc\r\nD\r\nD\r\ne"));

        // Mostly '\n': a new line ends with '\n', the one "\r\n" stays.
        buffer.setText(QStringLiteral("a\nb\r\nc\n"));
        QVERIFY(!buffer.crlfDominant());
        buffer.replace(0, 0, u"0\n");
        QCOMPARE(buffer.fileText(), QStringLiteral("0\na\nb\r\nc\n"));
    }

    // Random edits on a file of mixed line ends: the file text is always the text with some line
    // ends as "\r\n", and every state undone or redone to gives back the file text it had.
    void randomEditsKeepTheLineEndsOfEveryState() {
        const QString pieces[] = {QStringLiteral("a"), QStringLiteral("\n"), QStringLiteral("\r\n"),
                                  QStringLiteral("x\n\ny"), QStringLiteral("\r")};
        QRandomGenerator random(7);
        TextBuffer buffer;
        QString start;
        for (int i = 0; i < 200; ++i) {
            start += QStringLiteral("line %1").arg(i) +
                     (random.bounded(3u) == 0 ? QStringLiteral("\n") : QStringLiteral("\r\n"));
        }
        buffer.setText(start);
        std::vector<QString> history{start};
        std::size_t done = 0;
        for (int op = 0; op < 1500; ++op) {
            const quint32 kind = random.bounded(8u);
            if (kind < 5) {
                const auto from =
                    static_cast<qsizetype>(random.bounded(static_cast<quint32>(buffer.size() + 1)));
                const qsizetype to =
                    std::min(buffer.size(), from + static_cast<qsizetype>(random.bounded(12u)));
                const QString& piece = pieces[random.bounded(5u)];
                buffer.replace(from, to, piece);
                history.resize(++done);
                history.push_back(buffer.fileText());
            } else if (kind == 5 && buffer.replaceAll(u"a", pieces[random.bounded(5u)], {}) > 0) {
                history.resize(++done);
                history.push_back(buffer.fileText());
            } else if (kind == 6 && buffer.undo()) {
                QCOMPARE(buffer.fileText(), history[--done]);
            } else if (kind == 7 && buffer.redo()) {
                QCOMPARE(buffer.fileText(), history[++done]);
            }
            QString file = buffer.fileText();
            QCOMPARE(file.replace(QLatin1String("\r\n"), QLatin1String("\n")), buffer.text());
        }
        while (buffer.undo()) {
        }
        QCOMPARE(buffer.fileText(), start);
    }

    // Many lines taken out and put back: the line index and the code page lines follow.
    void manyLinesRemovedAndRestored() {
        QString text;
        for (int i = 0; i < 1000; ++i) {
            text += QStringLiteral("строка %1\n").arg(i);
        }
        TextBuffer buffer;
        buffer.setText(text);
        checkAgainst(buffer, text, true);
        const qsizetype from = buffer.lineStart(100) + 3;
        const qsizetype to = buffer.lineStart(900) + 2;
        buffer.replace(from, to, u"X");
        QString model = text;
        model.replace(from, to - from, QStringLiteral("X"));
        QCOMPARE(buffer.lineCount(), 1001 - 800);
        QCOMPARE(buffer.lineOf(buffer.size()), 200);
        checkAgainst(buffer, model, true);
        QVERIFY(buffer.undo());
        checkAgainst(buffer, text, true);
        QCOMPARE(buffer.lineOf(buffer.lineStart(950) + 1), 950);
        QVERIFY(buffer.redo());
        checkAgainst(buffer, model, true);

        // The whole text replaced by one made of line ends only, and back again.
        buffer.replace(0, buffer.size(), u"\n\n\n\n");
        checkAgainst(buffer, QStringLiteral("\n\n\n\n"), true);
        buffer.replace(0, buffer.size(), QString());
        checkAgainst(buffer, QString(), true);
        QVERIFY(buffer.undo());
        QVERIFY(buffer.undo());
        checkAgainst(buffer, model, true);
    }

    // A file's line ends: "\r\n" and '\n' end a line, a lone '\r' is part of its line; an empty
    // text is one empty line that nothing breaks on.
    void fileTextAndEmptyText() {
        TextBuffer buffer;
        checkAgainst(buffer, QString(), true);
        QCOMPARE(buffer.lineOf(0), 0);
        QVERIFY(!buffer.undo());
        QVERIFY(!buffer.redo());
        QVERIFY(!buffer.find(u"a", 0, FindOptions{}));
        QCOMPARE(buffer.replaceAll(u"a", u"b", FindOptions{}), 0);
        QVERIFY(!buffer.isModified());

        buffer.setText(QStringLiteral("a\r\nb\rc\n\r\nСеть"));
        QCOMPARE(buffer.lineCount(), 4);
        QCOMPARE(buffer.line(1).toString(), QStringLiteral("b\rc"));
        QCOMPARE(buffer.line(2).toString(), QString());
        QCOMPARE(buffer.linesCp1251()[3], std::string("\xD1\xE5\xF2\xFC"));
        QVERIFY(!buffer.isModified());
        QVERIFY(!buffer.canUndo());

        // A tab reaches the next multiple of the tab width.
        buffer.setText(QStringLiteral("ab\tc\n\t\t"));
        QCOMPARE(buffer.widestLine(8), 16);
        QCOMPARE(buffer.widestLine(4), 8);
    }

    // The code page text is made when a check asks for it and made anew after every change.
    void codePageTextFollowsTheEdits() {
        TextBuffer buffer;
        buffer.setText(QStringLiteral("a\nb\nc"));
        QCOMPARE(buffer.linesCp1251(), (std::vector<std::string>{"a", "b", "c"}));
        buffer.replace(2, 3, u"бб\n\nx");
        QCOMPARE(buffer.linesCp1251(), (std::vector<std::string>{"a", "\xE1\xE1", "", "x", "c"}));
        QVERIFY(buffer.undo());
        QCOMPARE(buffer.linesCp1251(), (std::vector<std::string>{"a", "b", "c"}));
        buffer.replace(0, 2, QString());
        QCOMPARE(buffer.textCp1251().bytes, std::string("b\nc"));
        buffer.setText(QStringLiteral("x\r\ny"));
        QCOMPARE(buffer.textCp1251().bytes, std::string("x\ny"));
    }

    // Nothing is kept per line but its line end: a text of a million empty lines takes its
    // characters (two bytes each) and a fraction of a byte per line, and its code page text one
    // byte per character more; an edit amid the lines keeps it so.
    void aLineCostsAFractionOfAByte() {
        constexpr qsizetype kLines = 1'000'000;
        TextBuffer buffer;
        buffer.setText(QString(kLines, u'\n'));
        QCOMPARE(buffer.lineCount(), kLines + 1);
        QVERIFY(buffer.heldBytes() <= 3 * kLines);
        QCOMPARE(buffer.textCp1251().bytes.size(), static_cast<std::size_t>(kLines));
        QVERIFY(buffer.heldBytes() <= 4 * kLines);
        buffer.replace(kLines / 2, kLines / 2 + 10, u"a\nb");
        QCOMPARE(buffer.lineCount(), kLines + 1 - 9);
        QCOMPARE(buffer.line(kLines / 2).toString(), QStringLiteral("a"));
        QCOMPARE(buffer.lineOf(buffer.size()), kLines - 9);
        QVERIFY(buffer.heldBytes() <= 4 * kLines);
    }

    // The file reader and the editor split and convert a file alike, so that the lines kept
    // from the reader are the ones the editor would make.
    void fileReaderLinesAreTheEditorsLines() {
        const QByteArray files[] = {
            QByteArray(),
            QByteArray("\n"),
            QByteArray("neurons 2;\r\nend\r\n"),
            QByteArray("a\rb\r\n\r\n\rc\r"),
            QStringLiteral("\uFEFF// Сеть № 1 ✓\n\tx\u2028y\n").toUtf8(),
            QByteArray("// \xD1\xE5\xF2\xFC\r\nneurons 2;\nend\r"),
            QByteArray("\xEF\xBB\xBF\xFF\n"),
            QByteArray("a\0b\n", 5),
        };
        for (const QByteArray& bytes : files) {
            const std::string_view all(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            const axolite::language::DescriptionText decoded =
                axolite::language::decodeDescription(all);
            QString text;
            if (decoded.encoding == axolite::language::TextEncoding::Utf8) {
                text =
                    QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes);
            } else {
                text = QString::fromStdString(axolite::platform::cp1251ToUtf8(all));
            }
            TextBuffer buffer;
            buffer.setText(text);
            QCOMPARE(buffer.linesCp1251(), decoded.lineList());
        }
    }

    // Undoing back to the saved text makes it unmodified; a save with steps undone makes their
    // redo a change; a new edit after undoing past the saved text makes it unreachable.
    void modifiedFlagFollowsTheSavedText() {
        TextBuffer buffer;
        buffer.setText(QStringLiteral("abc"));
        buffer.replace(3, 3, u"d");
        QVERIFY(buffer.isModified());
        QCOMPARE(buffer.undo(), std::optional<qsizetype>(3));
        QVERIFY(!buffer.isModified());
        QCOMPARE(buffer.redo(), std::optional<qsizetype>(4));
        QVERIFY(buffer.isModified());

        buffer.replace(0, 1, u"X");
        QVERIFY(buffer.undo());
        buffer.setModified(false); // saved "abcd" with one step undone
        QVERIFY(buffer.redo());
        QVERIFY(buffer.isModified());
        QVERIFY(buffer.undo());
        QVERIFY(!buffer.isModified());
        QVERIFY(buffer.undo());
        QVERIFY(buffer.isModified());
        buffer.replace(0, 0, u"Y"); // the saved text can no longer be reached
        QVERIFY(buffer.isModified());
        QVERIFY(!buffer.canRedo());
        QVERIFY(buffer.undo());
        QCOMPARE(buffer.text(), QStringLiteral("abc"));
        QVERIFY(buffer.isModified());

        buffer.setModified(true);
        QVERIFY(buffer.isModified());
        buffer.setModified(false);
        QVERIFY(!buffer.isModified());
        QVERIFY(buffer.redo());
        QVERIFY(buffer.undo());
        QVERIFY(!buffer.isModified());
    }

    // Characters typed one after another are one undo step; a save, an undo or a move of the
    // caret starts a new one; typing over a selection is undone together with what follows.
    void typingSteps() {
        TextBuffer buffer;
        buffer.setText(QStringLiteral("0123"));
        for (const char16_t c : u"abc\n") {
            if (c != 0) {
                buffer.replace(buffer.size(), buffer.size(), QStringView(&c, 1), true);
            }
        }
        QCOMPARE(buffer.text(), QStringLiteral("0123abc\n"));
        QCOMPARE(buffer.undo(), std::optional<qsizetype>(4));
        QCOMPARE(buffer.text(), QStringLiteral("0123"));
        QVERIFY(!buffer.canUndo());
        QVERIFY(buffer.redo());
        QCOMPARE(buffer.text(), QStringLiteral("0123abc\n"));

        // Not across a save: the undo returns to the saved text.
        buffer.setText(QStringLiteral("x"));
        buffer.replace(1, 1, u"a", true);
        buffer.replace(2, 2, u"b", true);
        buffer.setModified(false);
        buffer.replace(3, 3, u"c", true);
        QVERIFY(buffer.undo());
        QCOMPARE(buffer.text(), QStringLiteral("xab"));
        QVERIFY(!buffer.isModified());
        QVERIFY(buffer.undo());
        QCOMPARE(buffer.text(), QStringLiteral("x"));
        QVERIFY(buffer.isModified());

        // Not after an undo: the new typing does not join the undone step.
        buffer.setText(QString());
        buffer.replace(0, 0, u"a", true);
        buffer.replace(1, 1, u"b", true);
        QVERIFY(buffer.undo());
        buffer.replace(0, 0, u"c", true);
        QVERIFY(!buffer.canRedo());
        QVERIFY(buffer.undo());
        QCOMPARE(buffer.text(), QString());

        // Not elsewhere in the text, nor after an edit that was not typed.
        buffer.setText(QStringLiteral("----"));
        buffer.replace(4, 4, u"a", true);
        buffer.replace(0, 0, u"b", true);
        buffer.replace(1, 1, u"c");
        buffer.replace(2, 2, u"d", true);
        QCOMPARE(buffer.text(), QStringLiteral("bcd----a"));
        QVERIFY(buffer.undo());
        QCOMPARE(buffer.text(), QStringLiteral("bc----a"));
        QVERIFY(buffer.undo());
        QCOMPARE(buffer.text(), QStringLiteral("b----a"));
        QVERIFY(buffer.undo());
        QCOMPARE(buffer.text(), QStringLiteral("----a"));

        // Typing over a selection: one undo step brings the selected text back.
        buffer.setText(QStringLiteral("one two"));
        buffer.replace(4, 7, u"t", true);
        buffer.replace(5, 5, u"e", true);
        buffer.replace(6, 6, u"n", true);
        QCOMPARE(buffer.text(), QStringLiteral("one ten"));
        QCOMPARE(buffer.undo(), std::optional<qsizetype>(7));
        QCOMPARE(buffer.text(), QStringLiteral("one two"));
        QVERIFY(!buffer.canUndo());
        QCOMPARE(buffer.redo(), std::optional<qsizetype>(7));
        QCOMPARE(buffer.text(), QStringLiteral("one ten"));
    }

    // Forward finds the first match from the position on, backward the last one that starts
    // before it; neither wraps. Whole words need no letter or digit on either side.
    void findRules() {
        TextBuffer buffer;
        buffer.setText(QStringLiteral("Сеть сеть\nсетьx xсеть 1сеть сеть"));
        FindOptions plain;
        QCOMPARE(buffer.find(u"СЕТЬ", 0, plain), std::optional(TextRange{0, 4}));
        QCOMPARE(buffer.find(u"сеть", 1, plain), std::optional(TextRange{5, 9}));
        FindOptions exact;
        exact.caseSensitive = true;
        QCOMPARE(buffer.find(u"Сеть", 1, exact), std::nullopt);
        QCOMPARE(buffer.find(u"", 0, plain), std::nullopt);
        QCOMPARE(buffer.find(u"ть\nсе", 0, plain), std::optional(TextRange{7, 12}));

        FindOptions words;
        words.wholeWords = true;
        QCOMPARE(buffer.find(u"сеть", 6, words), std::optional(TextRange{28, 32}));
        QCOMPARE(buffer.find(u"сеть", 29, words), std::nullopt);
        QCOMPARE(buffer.find(u"сеть", 0, words), std::optional(TextRange{0, 4}));

        FindOptions back;
        back.backward = true;
        QCOMPARE(buffer.find(u"сеть", buffer.size(), back), std::optional(TextRange{28, 32}));
        QCOMPARE(buffer.find(u"сеть", 28, back), std::optional(TextRange{23, 27}));
        QCOMPARE(buffer.find(u"сеть", 1, back), std::optional(TextRange{0, 4}));
        QCOMPARE(buffer.find(u"сеть", 0, back), std::nullopt);
        back.wholeWords = true;
        QCOMPARE(buffer.find(u"сеть", 28, back), std::optional(TextRange{5, 9}));
        QCOMPARE(buffer.find(u"сеть", 5, back), std::optional(TextRange{0, 4}));
        back.caseSensitive = true;
        QCOMPARE(buffer.find(u"Сеть", buffer.size(), back), std::optional(TextRange{0, 4}));
    }

    // Replace-all: every match once (a replacement holding the searched text is not searched
    // again), line ends in the replacement made '\n', one undo step, nothing recorded when
    // nothing matched.
    void replaceAllRules() {
        TextBuffer buffer;
        buffer.setText(QStringLiteral("a;A;b\na"));
        QCOMPARE(buffer.replaceAll(u"a", u"aa", FindOptions{}), 3);
        QCOMPARE(buffer.text(), QStringLiteral("aa;aa;b\naa"));
        QVERIFY(buffer.isModified());
        QCOMPARE(buffer.undo(), std::optional<qsizetype>(7)); // the caret after the last match
        QCOMPARE(buffer.text(), QStringLiteral("a;A;b\na"));
        QVERIFY(!buffer.isModified());
        QCOMPARE(buffer.redo(), std::optional<qsizetype>(10));
        QVERIFY(buffer.undo());

        // Only the lines from the first match to the last are changed.
        buffer.setText(QStringLiteral("x\ny a\nz a\nw"));
        (void)buffer.linesCp1251();
        QCOMPARE(buffer.replaceAll(u"a", u"Б", FindOptions{}), 2);
        QCOMPARE(buffer.undo(), std::optional<qsizetype>(9));
        QCOMPARE(buffer.redo(), std::optional<qsizetype>(9));
        QCOMPARE(buffer.linesCp1251(), (std::vector<std::string>{"x", "y \xC1", "z \xC1", "w"}));
        buffer.setText(QStringLiteral("a;A;b\na"));

        QCOMPARE(buffer.replaceAll(u";", u"\r\nСеть\r", FindOptions{}), 2);
        checkAgainst(buffer, QStringLiteral("a\nСеть\nA\nСеть\nb\na"), true);
        QVERIFY(buffer.undo());
        checkAgainst(buffer, QStringLiteral("a;A;b\na"), true);

        QCOMPARE(buffer.replaceAll(u"\n", u"", FindOptions{}), 1);
        checkAgainst(buffer, QStringLiteral("a;A;ba"), true);
        QVERIFY(buffer.undo());

        FindOptions options;
        options.caseSensitive = true;
        options.wholeWords = true;
        options.backward = true; // replace-all goes through the whole text regardless
        buffer.setText(QStringLiteral("ab Ab ab1 ab"));
        QCOMPARE(buffer.replaceAll(u"ab", u"x", options), 2);
        QCOMPARE(buffer.text(), QStringLiteral("x Ab ab1 x"));

        buffer.setText(QStringLiteral("abc"));
        QCOMPARE(buffer.replaceAll(u"z", u"y", FindOptions{}), 0);
        QVERIFY(!buffer.canUndo());
        QVERIFY(!buffer.isModified());
    }
};

QTEST_GUILESS_MAIN(EditorBufferTest)
#include "editor_buffer_test.moc"
