// The description editor driven as a user drives it, by keys and the mouse: typing and line
// ends, characters outside the basic plane and accents, selections, vertical moves and paging,
// undo of typing, the clipboard, clicks and drops, the scroll bars and the signals the frame
// listens to.
#include "app/editor/edit_file.h"

#include "sample_texts.h"
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

namespace {

const QString kFace = QString::fromUtf16(u"\U0001F600"); // two UTF-16 units

} // namespace

class EditorViewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TAxoliteEditFile> editor_;

    TAxoliteEditFile& editor() { return *editor_; }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(editor_.get(), k, modifiers);
    }
    // Types text one character at a time, as a keyboard does (letters outside ASCII too).
    void type(const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, editor_.get(), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }
    void keys(QKeySequence::StandardKey standard) {
        QTest::keySequence(editor_.get(), QKeySequence(standard));
    }
    // The point in the viewport just right of the boundary before column in a line in view.
    QPoint pointAt(int line, int column) {
        const QString text = editor().documentLines().at(line);
        const QFontMetricsF metrics(editor().font());
        const qreal x = 4 + metrics.horizontalAdvance(text.left(column)) + 1 -
                        editor().horizontalScrollBar()->value();
        const int height = editor().fontMetrics().lineSpacing();
        return QPoint(static_cast<int>(x),
                      (line - editor().firstVisibleLine()) * height + height / 2);
    }
    // Drags data over the text and drops it at point; answers whether the editor took it.
    bool drop(const QMimeData& data, QPoint point) {
        QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor().viewport(), &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor().viewport(), &drop);
        return drop.isAccepted();
    }
    int visibleLines() {
        return editor().viewport()->height() / editor().fontMetrics().lineSpacing();
    }
    bool caretInView() {
        const int line = editor().caretLine();
        return line >= editor().firstVisibleLine() &&
               line < editor().firstVisibleLine() + visibleLines();
    }

private slots:
    void init() {
        editor_ = std::make_unique<TAxoliteEditFile>();
        editor_->resize(360, 240);
        editor_->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor_.get()));
        editor_->setFocus();
    }
    void cleanup() { editor_.reset(); }

    // Typing, Enter, Tab, and Backspace and Delete joining lines at their boundaries; keys that
    // have nothing to remove change nothing and say nothing.
    void typingAndLineBoundaries() {
        QSignalSpy contents(&editor(), &TAxoliteEditFile::contentsChanged);
        type(QStringLiteral("ab"));
        key(Qt::Key_Return);
        type(QStringLiteral("Сеть"));
        key(Qt::Key_Tab);
        type(QStringLiteral("x"));
        QCOMPARE(editor().toPlainText(), QStringLiteral("ab\nСеть\tx"));
        QCOMPARE(editor().lineCount(), 2);
        QCOMPARE(editor().caretPosition(), editor().toPlainText().size());

        key(Qt::Key_Home);
        QCOMPARE(editor().caretPosition(), 3);
        key(Qt::Key_Backspace); // joins the lines
        QCOMPARE(editor().toPlainText(), QStringLiteral("abСеть\tx"));
        QCOMPARE(editor().caretPosition(), 2);
        key(Qt::Key_Return);
        key(Qt::Key_Up);
        key(Qt::Key_End);
        key(Qt::Key_Delete); // joins them again
        QCOMPARE(editor().toPlainText(), QStringLiteral("abСеть\tx"));
        QCOMPARE(editor().lineCount(), 1);

        key(Qt::Key_End, Qt::ControlModifier);
        contents.clear();
        key(Qt::Key_Delete);
        key(Qt::Key_Home, Qt::ControlModifier);
        key(Qt::Key_Backspace);
        QCOMPARE(contents.count(), 0);
        QCOMPARE(editor().toPlainText(), QStringLiteral("abСеть\tx"));
        // The lexer's lines follow the typing.
        QCOMPARE(editor().linesCp1251(), (std::vector<std::string>{"ab\xD1\xE5\xF2\xFC\tx"}));
    }

    // The caret never stops inside a surrogate pair; Backspace takes one code point (an accent
    // alone), Delete and the arrows a whole character with its accents.
    void surrogatePairsAndAccents() {
        editor().setPlainText(QStringLiteral("a") + kFace + QStringLiteral("b\ne\u0301z"));
        key(Qt::Key_Right);
        key(Qt::Key_Right);
        QCOMPARE(editor().caretPosition(), 3);
        key(Qt::Key_Left);
        QCOMPARE(editor().caretPosition(), 1);
        key(Qt::Key_Delete);
        QCOMPARE(editor().documentLines().front(), QStringLiteral("ab"));
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor().documentLines().front(), QStringLiteral("a") + kFace + "b");
        editor().setSelection(3, 3);
        key(Qt::Key_Backspace);
        QCOMPARE(editor().documentLines().front(), QStringLiteral("ab"));

        // A character outside the basic plane typed in one key event, and one committed by an
        // input method.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, kFace);
        QApplication::sendEvent(&editor(), &press);
        QCOMPARE(editor().documentLines().front(), QStringLiteral("a") + kFace + "b");
        QInputMethodEvent commit;
        commit.setCommitString(kFace);
        QApplication::sendEvent(&editor(), &commit);
        QCOMPARE(editor().documentLines().front(), QStringLiteral("a") + kFace + kFace + "b");
        QCOMPARE(editor().caretPosition(), 5);

        // A position inside a pair, from the frame or left by a replace-all, is not kept.
        editor().setSelection(2, 4);
        QCOMPARE(editor().anchorPosition(), 1);
        QCOMPARE(editor().caretPosition(), 3);
        editor().setSelection(5, 5); // before "b"
        QCOMPARE(editor().replaceAll(QStringLiteral("a"), QStringLiteral("aa"), {}), 1);
        const QString text = editor().toPlainText();
        const qsizetype caret = editor().caretPosition();
        QVERIFY(!(text[caret - 1].isHighSurrogate() && text[caret].isLowSurrogate()));

        // A click anywhere on such characters lands between them, never inside one.
        editor().setPlainText(kFace + kFace + QStringLiteral("e\u0301") + kFace);
        for (int x = 0; x < 80; ++x) {
            QTest::mouseClick(editor().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 5));
            const qsizetype at = editor().caretPosition();
            QVERIFY2(at == 0 || at == 2 || at == 4 || at == 6 || at == 8,
                     qPrintable(QStringLiteral("x %1 caret %2").arg(x).arg(at)));
        }
        key(Qt::Key_Home);
        key(Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(editor().selectedText(), kFace);
        editor().setPlainText(QStringLiteral("a") + kFace + QStringLiteral("b\ne\u0301z"));

        // The accent: the arrow passes both, Backspace removes the accent alone.
        const qsizetype start = editor().toPlainText().indexOf(u'\n') + 1;
        editor().setSelection(start, start);
        key(Qt::Key_Right);
        QCOMPARE(editor().caretPosition(), start + 2);
        key(Qt::Key_Backspace);
        QCOMPARE(editor().documentLines().back(), QStringLiteral("ez"));
    }

    // Shift with the arrows, Home and End selects; Ctrl+A selects everything; typing replaces
    // the selection.
    void keyboardSelection() {
        editor().setPlainText(QStringLiteral("abc\ndef\nghi"));
        QSignalSpy selection(&editor(), &TAxoliteEditFile::selectionChanged);
        key(Qt::Key_Right);
        QCOMPARE(selection.count(), 0);
        key(Qt::Key_Right, Qt::ShiftModifier);
        key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(editor().selectedText(), QStringLiteral("bc\nde"));
        QCOMPARE(selection.count(), 2);
        key(Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(editor().selectedText(), QStringLiteral("bc\ndef"));
        key(Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(editor().selectedText(), QStringLiteral("bc"));
        key(Qt::Key_Home, Qt::ShiftModifier);
        QCOMPARE(editor().selectedText(), QStringLiteral("a"));
        key(Qt::Key_Right);
        QVERIFY(!editor().hasSelection());
        QCOMPARE(selection.count(), 6);

        // A selection over several lines, line ends and a tab is drawn without harm.
        editor().setSelection(1, 9);
        QVERIFY(!editor().grab().isNull());
        const auto ime = [this](Qt::InputMethodQuery query) {
            return static_cast<QWidget&>(editor()).inputMethodQuery(query);
        };
        QVERIFY(ime(Qt::ImCursorRectangle).toRect().isValid());
        QCOMPARE(ime(Qt::ImSurroundingText).toString(), QStringLiteral("ghi"));
        QCOMPARE(ime(Qt::ImCursorPosition).toInt(), 1);
        QCOMPARE(ime(Qt::ImAnchorPosition).toInt(), 0);

        keys(QKeySequence::SelectAll);
        QCOMPARE(editor().selectedText(), editor().toPlainText());
        type(QStringLiteral("xy"));
        QCOMPARE(editor().toPlainText(), QStringLiteral("xy"));
        key(Qt::Key_Z, Qt::ControlModifier); // one step: the selected text is back
        QCOMPARE(editor().toPlainText(), QStringLiteral("abc\ndef\nghi"));
    }

    // Up and Down keep the column a shorter line interrupted; at the first (last) line they go
    // to the start (end) of the text.
    void verticalMovesKeepTheColumn() {
        editor().setPlainText(QStringLiteral("abcdef\nab\n\nabcdefgh"));
        editor().setSelection(5, 5);
        key(Qt::Key_Down);
        QCOMPARE(editor().caretPosition(), 9); // end of "ab"
        key(Qt::Key_Down);
        QCOMPARE(editor().caretPosition(), 10); // the empty line
        key(Qt::Key_Down);
        QCOMPARE(editor().caretPosition(), 16); // column 5 again
        key(Qt::Key_Down);
        QCOMPARE(editor().caretPosition(), editor().toPlainText().size());
        key(Qt::Key_Up);
        QCOMPARE(editor().caretLine(), 2);
        editor().setSelection(3, 3);
        key(Qt::Key_Up);
        QCOMPARE(editor().caretPosition(), 0);
    }

    // Page Down moves a page and scrolls; Ctrl+End and Ctrl+Home keep the caret in view; the
    // vertical range is the lines that do not fit.
    void pagingAndScrollBars() {
        QScrollBar* vertical = editor().verticalScrollBar();
        QCOMPARE(vertical->maximum(), 0);
        editor().setPlainText(numberedLines(300));
        const int page = visibleLines();
        QVERIFY(page > 3);
        QCOMPARE(vertical->maximum(), 300 - page);
        QCOMPARE(vertical->value(), 0);

        key(Qt::Key_PageDown);
        QCOMPARE(editor().caretLine(), page);
        QVERIFY(vertical->value() > 0);
        QVERIFY(caretInView());
        key(Qt::Key_PageUp);
        QCOMPARE(editor().caretLine(), 0);
        QVERIFY(caretInView());

        key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(editor().caretLine(), 299);
        QCOMPARE(vertical->value(), vertical->maximum());
        QVERIFY(caretInView());
        key(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(vertical->value(), 0);

        // Lines removed: the range shrinks and the caret stays in view.
        editor().setSelection(editor().toPlainText().indexOf(QStringLiteral("line 250")),
                              editor().toPlainText().size());
        QVERIFY(caretInView());
        key(Qt::Key_Delete);
        QCOMPARE(editor().lineCount(), 251);
        QCOMPARE(vertical->maximum(), 251 - page);
        QVERIFY(caretInView());
        keys(QKeySequence::SelectAll);
        key(Qt::Key_Delete);
        QCOMPARE(vertical->maximum(), 0);
        QCOMPARE(vertical->value(), 0);

        // Selecting a place the view was scrolled away from brings it back into view.
        editor().setPlainText(numberedLines(300));
        const qsizetype at = editor().toPlainText().indexOf(QStringLiteral("line 200"));
        editor().setSelection(at, at);
        QVERIFY(caretInView());
        vertical->setValue(0);
        editor().setSelection(at, at);
        QVERIFY(caretInView());

        // A long line: End scrolls it sideways, Home back.
        editor().setPlainText(QString(400, u'w') + u'\n' + numberedLines(50));
        QScrollBar* horizontal = editor().horizontalScrollBar();
        QVERIFY(horizontal->maximum() > 0);
        QTRY_VERIFY(horizontal->isVisible());
        QCOMPARE(vertical->maximum(), 51 - visibleLines()); // the lines the bar leaves room for
        key(Qt::Key_End);
        QVERIFY(horizontal->value() > 0);
        QVERIFY(pointAt(0, 400).x() <= editor().viewport()->width());
        key(Qt::Key_Home);
        QCOMPARE(horizontal->value(), 0);

        // Characters wider than a column: the end of the line can still be scrolled into view.
        editor().setPlainText(QString(200, QChar(0x2103)) + QStringLiteral("\nabc"));
        key(Qt::Key_End);
        QVERIFY(pointAt(0, 200).x() <= editor().viewport()->width());
        QVERIFY(pointAt(0, 200).x() >= 0);
    }

    // Typed text is one undo step; the modified flag and the signals follow undo and the save.
    void undoAndSignals() {
        editor().setPlainText(QStringLiteral("net"));
        QSignalSpy contents(&editor(), &TAxoliteEditFile::contentsChanged);
        QSignalSpy modified(&editor(), &TAxoliteEditFile::modificationChanged);
        QSignalSpy undo(&editor(), &TAxoliteEditFile::undoAvailable);
        key(Qt::Key_End);
        type(QStringLiteral("work"));
        QCOMPARE(contents.count(), 4);
        QCOMPARE(modified.count(), 1);
        QCOMPARE(modified.front().front().toBool(), true);
        QCOMPARE(undo.count(), 1);

        keys(QKeySequence::Undo);
        QCOMPARE(editor().toPlainText(), QStringLiteral("net"));
        QCOMPARE(editor().caretPosition(), 3);
        QVERIFY(!editor().isModified());
        QCOMPARE(modified.count(), 2);
        QCOMPARE(modified.back().front().toBool(), false);
        QCOMPARE(undo.back().front().toBool(), false);
        keys(QKeySequence::Redo);
        QCOMPARE(editor().toPlainText(), QStringLiteral("network"));
        QVERIFY(editor().isModified());

        editor().setModified(false);
        QCOMPARE(modified.back().front().toBool(), false);
        type(QStringLiteral("s"));
        keys(QKeySequence::Undo); // the typing before the save is not undone with it
        QCOMPARE(editor().toPlainText(), QStringLiteral("network"));
        QVERIFY(!editor().isModified());
    }

    // Cut, copy and paste through the clipboard; pasted line ends become the text's own.
    void clipboard() {
        editor().setPlainText(QStringLiteral("alpha beta"));
        editor().setSelection(6, 10);
        keys(QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("beta"));
        editor().setSelection(0, 6);
        keys(QKeySequence::Cut);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("alpha "));
        QCOMPARE(editor().toPlainText(), QStringLiteral("beta"));
        key(Qt::Key_End);
        keys(QKeySequence::Paste);
        QCOMPARE(editor().toPlainText(), QStringLiteral("betaalpha "));
        QApplication::clipboard()->setText(QStringLiteral("1\r\n2\r3"));
        keys(QKeySequence::Paste);
        QCOMPARE(editor().documentLines(), (QStringList{"betaalpha 1", "2", "3"}));
        QCOMPARE(editor().caretPosition(), editor().toPlainText().size());
        keys(QKeySequence::Undo);
        QCOMPARE(editor().toPlainText(), QStringLiteral("betaalpha "));
        // Copy and cut without a selection leave the clipboard and the text alone.
        keys(QKeySequence::Cut);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1\r\n2\r3"));
        QCOMPARE(editor().toPlainText(), QStringLiteral("betaalpha "));
    }

    // A click puts the caret at the column clicked, Shift+click extends, a drag selects, a
    // double-click selects the word; below the last line means the last line.
    void mouse() {
        editor().setPlainText(QStringLiteral("neurons 12;\nlinks x_y;"));
        QWidget* viewport = editor().viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, pointAt(0, 3));
        QCOMPARE(editor().caretPosition(), 3);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, pointAt(1, 2));
        QCOMPARE(editor().selectedText(), QStringLiteral("rons 12;\nli"));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
        QCOMPARE(editor().caretPosition(), editor().toPlainText().size());

        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, pointAt(0, 1));
        QTest::mouseMove(viewport, pointAt(0, 5));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, pointAt(0, 5));
        QCOMPARE(editor().selectedText(), QStringLiteral("euro"));

        QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, pointAt(0, 9));
        QCOMPARE(editor().selectedText(), QStringLiteral("12"));
        QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, pointAt(1, 7));
        QCOMPARE(editor().selectedText(), QStringLiteral("x_y"));
    }

    // Dragging below the view scrolls it and extends the selection.
    void dragBelowTheViewScrolls() {
        editor().setPlainText(numberedLines(100));
        QWidget* viewport = editor().viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, pointAt(0, 0));
        QTest::mouseMove(viewport, QPoint(20, viewport->height() + 20));
        QTRY_VERIFY(editor().verticalScrollBar()->value() > 2);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier,
                            QPoint(20, viewport->height() + 20));
        QVERIFY(editor().caretLine() >= visibleLines());
        QCOMPARE(editor().anchorPosition(), 0);
        const int scrolled = editor().verticalScrollBar()->value();
        QTest::qWait(150);
        QCOMPARE(editor().verticalScrollBar()->value(), scrolled); // stopped with the button
    }

    // Dropped text goes in where it is dropped; dropped files go to the frame, not the text.
    void drops() {
        editor().setPlainText(QStringLiteral("abcd\nefgh"));
        QSignalSpy files(&editor(), &TAxoliteEditFile::filesDropped);
        QMimeData text;
        text.setText(QStringLiteral("XY"));
        QVERIFY(drop(text, pointAt(1, 2)));
        QCOMPARE(editor().toPlainText(), QStringLiteral("abcd\nefXYgh"));
        QCOMPARE(editor().caretPosition(), 9);
        QCOMPARE(files.count(), 0);

        QMimeData both;
        both.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.net")),
                      QUrl::fromLocalFile(QStringLiteral("/tmp/b.net"))});
        both.setText(QStringLiteral("/tmp/a.net"));
        QVERIFY(drop(both, pointAt(0, 1)));
        QCOMPARE(files.count(), 1);
        QCOMPARE(files.front().front().toStringList(), (QStringList{"/tmp/a.net", "/tmp/b.net"}));

        QMimeData nothing; // neither text nor files: refused
        nothing.setData(QStringLiteral("application/octet-stream"), "x");
        QVERIFY(!drop(nothing, pointAt(0, 1)));
        QCOMPARE(editor().toPlainText(), QStringLiteral("abcd\nefXYgh"));
    }

    // Tab types a tab in a window with other controls too, rather than moving the focus on.
    void tabIsTyped() {
        QWidget window;
        auto* field = new QLineEdit(&window);
        auto* editor = new TAxoliteEditFile(&window);
        editor->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::setActiveWindow(&window);
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(editor->toPlainText(), QStringLiteral("\t"));
        QVERIFY(editor->hasFocus());
        QVERIFY(!field->hasFocus());
    }

    // An empty text takes every key and click without harm.
    void emptyText() {
        editor().setPlainText(QString());
        const Qt::Key moves[] = {Qt::Key_Up,        Qt::Key_Down,  Qt::Key_Left,   Qt::Key_Right,
                                 Qt::Key_Home,      Qt::Key_End,   Qt::Key_PageUp, Qt::Key_PageDown,
                                 Qt::Key_Backspace, Qt::Key_Delete};
        for (const Qt::Key k : moves) {
            key(k);
            key(k, Qt::ShiftModifier);
            key(k, Qt::ControlModifier);
        }
        QTest::mouseClick(editor().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QTest::mouseDClick(editor().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        keys(QKeySequence::Undo);
        keys(QKeySequence::Cut);
        QVERIFY(editor().toPlainText().isEmpty());
        QCOMPARE(editor().caretPosition(), 0);
        QVERIFY(!editor().isModified());
        QVERIFY(!editor().find(QStringLiteral("a"), {}));
        editor().repaint();
    }

    // Find goes on from the selection and wraps around once; replace-and-find replaces only a
    // selection that matches.
    void findAndReplace() {
        editor().setPlainText(QStringLiteral("ab\nAB ab"));
        QVERIFY(editor().find(QStringLiteral("ab"), {}));
        QCOMPARE(editor().anchorPosition(), 0);
        QVERIFY(editor().find(QStringLiteral("ab"), {}));
        QCOMPARE(editor().anchorPosition(), 3);
        QVERIFY(editor().find(QStringLiteral("ab"), QTextDocument::FindCaseSensitively));
        QCOMPARE(editor().anchorPosition(), 6);
        QVERIFY(editor().find(QStringLiteral("ab"), QTextDocument::FindCaseSensitively));
        QCOMPARE(editor().anchorPosition(), 0); // wrapped
        QVERIFY(editor().find(QStringLiteral("ab"), QTextDocument::FindBackward));
        QCOMPARE(editor().anchorPosition(), 6); // wrapped backward
        QVERIFY(editor().replaceAndFind(QStringLiteral("AB"), QStringLiteral("x\ny"), {}));
        QCOMPARE(editor().toPlainText(), QStringLiteral("ab\nAB x\ny"));
        QCOMPARE(editor().selectedText(), QStringLiteral("ab"));
        QVERIFY(!editor().find(QStringLiteral("zz"), {}));
        QCOMPARE(editor().selectedText(), QStringLiteral("ab"));

        // Replacing backward with a text that holds the one searched for goes on to the match
        // before, not into the replacement.
        editor().setPlainText(QStringLiteral("a b a"));
        editor().setSelection(4, 5);
        QVERIFY(editor().replaceAndFind(QStringLiteral("a"), QStringLiteral("aa"),
                                        QTextDocument::FindBackward));
        QCOMPARE(editor().toPlainText(), QStringLiteral("a b aa"));
        QCOMPARE(editor().anchorPosition(), 0);
        QCOMPARE(editor().caretPosition(), 1);
        QVERIFY(editor().replaceAndFind(QStringLiteral("a"), QStringLiteral("aa"), {}));
        QCOMPARE(editor().toPlainText(), QStringLiteral("aa b aa"));
        QCOMPARE(editor().anchorPosition(), 5);
    }

    // Text an input method is composing is shown at the caret, underlined, and is no part of
    // the text until committed.
    void composedTextIsShownUntilCommitted() {
        editor().setPlainText(QStringLiteral("ab"));
        editor().setSelection(1, 1);
        const QImage plain = editor().viewport()->grab().toImage();
        QInputMethodEvent composing(QStringLiteral("ни"), {});
        QApplication::sendEvent(&editor(), &composing);
        QCOMPARE(editor().toPlainText(), QStringLiteral("ab"));
        QVERIFY(editor().viewport()->grab().toImage() != plain);

        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("ни"));
        QApplication::sendEvent(&editor(), &commit);
        QCOMPARE(editor().toPlainText(), QStringLiteral("aниb"));
        QCOMPARE(editor().caretPosition(), 3);
        // With nothing composed any more, the line is drawn as the text alone.
        editor().setPlainText(QStringLiteral("ab"));
        editor().setSelection(1, 1);
        QCOMPARE(editor().viewport()->grab().toImage(), plain);
    }
};

QTEST_MAIN(EditorViewTest)
#include "editor_view_test.moc"
