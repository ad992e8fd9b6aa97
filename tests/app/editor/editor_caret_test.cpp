// The editor's caret model on its own, below any widget: moves over characters made of several
// UTF-16 units, the column kept by vertical moves, the line moves at the text's ends, and the
// layouts following an edit.
#include "app/editor/caret_model.h"
#include "app/editor/line_layout.h"
#include "app/editor/text_buffer.h"

#include <QtTest>

using axolite::editor::CaretModel;
using axolite::editor::CaretMove;
using axolite::editor::LineLayouts;
using axolite::editor::TextBuffer;
using axolite::editor::TextRange;

namespace {

const QString kFace = QString::fromUtf16(u"\U0001F600"); // two UTF-16 units

struct Editor {
    TextBuffer buffer;
    LineLayouts layouts{buffer};
    CaretModel caret{buffer, layouts};

    explicit Editor(const QString& text) {
        QFont font(QStringLiteral("Courier"));
        font.setStyleHint(QFont::Monospace);
        font.setPixelSize(15);
        layouts.setFont(font);
        buffer.setText(text);
    }
    qsizetype move(CaretMove move, bool keepAnchor = false) {
        caret.move(move, keepAnchor, 2);
        return caret.caret();
    }
};

} // namespace

class EditorCaretTest : public QObject {
    Q_OBJECT
private slots:
    // A character outside the basic plane and one with an accent are passed whole by the
    // arrows; Backspace's position takes one code point; a position inside a pair is moved
    // before it.
    void charactersOfSeveralUnits() {
        Editor e(QStringLiteral("a") + kFace + QStringLiteral("b\ne\u0301z"));
        QCOMPARE(e.move(CaretMove::NextCharacter), 1);
        QCOMPARE(e.move(CaretMove::NextCharacter), 3);
        QCOMPARE(e.caret.previousCodePoint(), 1);
        QCOMPARE(e.move(CaretMove::NextCharacter, true), 4);
        QCOMPARE(e.caret.selectedText(), QStringLiteral("b"));
        QCOMPARE(e.move(CaretMove::NextCharacter), 5); // over the line end
        QCOMPARE(e.move(CaretMove::NextCharacter), 7); // 'e' with its accent
        QCOMPARE(e.caret.previousCodePoint(), 6);      // the accent alone
        QCOMPARE(e.move(CaretMove::PreviousCharacter), 5);
        QCOMPARE(e.move(CaretMove::PreviousCharacter), 4);
        QCOMPARE(e.move(CaretMove::PreviousCharacter), 3);
        QCOMPARE(e.move(CaretMove::PreviousCharacter), 1);

        e.caret.select(2, 9);
        e.caret.keepValid();
        QCOMPARE(e.caret.anchor(), 1);
        QCOMPARE(e.caret.caret(), e.buffer.size()); // clamped to the text
        QCOMPARE(e.caret.selection(), (TextRange{1, e.buffer.size()}));

        Editor words(QStringLiteral("x1_y  (z)"));
        QCOMPARE(words.caret.wordAt(2), (TextRange{0, 4}));
        QCOMPARE(words.caret.wordAt(5), (TextRange{5, 5}));
    }

    // Up and down keep the column of the first vertical move across a shorter line; the first
    // line's up goes to the start, the last line's down to the end; a page moves pageLines.
    void verticalMovesKeepTheColumn() {
        Editor e(QStringLiteral("abcdef\nab\nabcdef\nabcdef"));
        e.caret.select(5, 5);
        QCOMPARE(e.move(CaretMove::LineDown), 9); // the end of "ab"
        QCOMPARE(e.move(CaretMove::LineDown), 15);
        QCOMPARE(e.move(CaretMove::LineUp), 9);
        QCOMPARE(e.move(CaretMove::PageDown), 22);
        QCOMPARE(e.move(CaretMove::LineDown), e.buffer.size());
        e.caret.select(3, 3);
        QCOMPARE(e.move(CaretMove::LineUp), 0);
        // Any other move forgets the column.
        e.caret.select(5, 5);
        QCOMPARE(e.move(CaretMove::LineDown), 9);
        QCOMPARE(e.move(CaretMove::PreviousCharacter), 8);
        QCOMPARE(e.move(CaretMove::LineDown), 11);
    }

    // The line moves at the ends of the text: none past the last line, the selection kept.
    void lineMovesAtTheEnds() {
        Editor e(QStringLiteral("ab\ncd"));
        e.caret.select(1, 4);
        QVERIFY(!e.caret.move(CaretMove::NextLineStart, false, 1));
        QCOMPARE(e.caret.selection(), (TextRange{1, 4}));
        QCOMPARE(e.move(CaretMove::PreviousLineStart), 0);
        QCOMPARE(e.move(CaretMove::PreviousLineStart), 0);
        QCOMPARE(e.move(CaretMove::NextLineStart), 3);
        QCOMPARE(e.move(CaretMove::LineEnd), 5);
        QCOMPARE(e.move(CaretMove::DocumentStart, true), 0);
        QCOMPARE(e.caret.selectedText(), QStringLiteral("ab\ncd"));
    }

    // After an edit the layouts are made from the new text once told where it changed.
    void layoutsFollowAnEdit() {
        Editor e(QStringLiteral("abc"));
        QCOMPARE(e.layouts.nextPosition(2, false), 3);
        e.buffer.replace(3, 3, QStringLiteral("de"));
        e.layouts.changedFrom(e.buffer.takeFirstChangedLine());
        QCOMPARE(e.layouts.nextPosition(3, false), 4);
        QVERIFY(e.layouts.columnX(0, 5) > e.layouts.columnX(0, 3));
    }
};

QTEST_MAIN(EditorCaretTest)
#include "editor_caret_test.moc"
