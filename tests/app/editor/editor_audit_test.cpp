// The description editor inside the frame, used as a desktop text editor is used: the frame's
// keys beside the editor's own (also with the help cursor), the edit commands' enabling after
// every kind of change, the find and replace dialog, the check window's caret line, the caption
// and the results flag; the view kept on the caret when commands move it far or the view
// shrinks; odd texts (empty, one very long line, line ends only, control characters, separators
// and characters outside the basic plane inside a line).
#include "app/editor/edit_file.h"
#include "app/gui/calculation_progress.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/language/translate_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/command_table.h"
#include "app/shell/find_dialog.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"

#include "sample_texts.h"
#include "test_frame.h"
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace axolite::shell;

class EditorAuditTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TAxoliteApp> frame_;

    bool enabled(int id) {
        QAction* action = frame_->command(id);
        return action != nullptr && action->isEnabled();
    }
    // A new description window holding text, active, its editor focused in the active frame.
    TAxoliteEditFile* describe(const QString& text) {
        TAxoliteMDIChild* child = frame_->newDescription();
        child->editor()->setPlainText(text);
        frame_->client()->setActiveSubWindow(child);
        frame_->activateWindow();
        if (!QTest::qWaitForWindowActive(frame_.get())) {
            return nullptr;
        }
        child->editor()->setFocus();
        return child->editor();
    }
    TAxoliteMDIChild* child() { return frame_->activeChild(); }
    TFindDialog* findDialog() { return frame_->findChild<TFindDialog*>(QStringLiteral("find")); }
    QLineEdit* findField(const char* name) {
        return findDialog()->findChild<QLineEdit*>(QLatin1String(name));
    }
    static void key(TAxoliteEditFile* editor, Qt::Key k,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(editor, k, modifiers);
    }
    static int visibleLines(TAxoliteEditFile* editor) {
        return editor->viewport()->height() / editor->fontMetrics().lineSpacing();
    }
    static bool caretInView(TAxoliteEditFile* editor) {
        const int line = editor->caretLine();
        const int x = static_cast<QWidget*>(editor)
                          ->inputMethodQuery(Qt::ImCursorRectangle)
                          .toRect()
                          .center()
                          .x();
        return line >= editor->firstVisibleLine() &&
               line < editor->firstVisibleLine() + visibleLines(editor) && x >= 0 &&
               x <= editor->viewport()->width();
    }
    static int caretX(TAxoliteEditFile* editor) {
        return static_cast<QWidget*>(editor)->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    }

private slots:
    void init() {
        frame_ = testFrame(dir_);
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }
    void cleanup() {
        for (TAxoliteMDIChild* window : frame_->client()->children()) {
            window->editor()->setModified(false);
        }
        frame_.reset();
        closeHelp();
    }

    // With the editor focused, each key of the frame and of the editor does its one thing: the
    // editor's Ctrl+Z/X/C/V/A are not taken by the frame's commands as well (undoing twice,
    // pasting twice), and the frame's Ctrl+F, Ctrl+H, F3, F1 and Alt+X are not eaten as text.
    void frameAndEditorKeysDoOneThingEach() {
        TAxoliteEditFile* editor = describe(QStringLiteral("ab ab ab"));
        QVERIFY(editor != nullptr);
        editor->moveCursor(QTextCursor::End);
        editor->insertPlainText(QStringLiteral("1"));
        editor->insertPlainText(QStringLiteral("2"));
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab ab ab1"));
        key(editor, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(editor->selectedText(), editor->toPlainText());
        key(editor, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ab ab ab1"));
        key(editor, Qt::Key_End, Qt::ControlModifier);
        key(editor, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab ab ab1ab ab ab1"));
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        editor->setSelection(0, 3);
        key(editor, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab ab1"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ab "));
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab ab ab1"));
        editor->setSelection(0, 0);
        key(editor, Qt::Key_Delete);
        QCOMPARE(editor->toPlainText(), QStringLiteral("b ab ab1"));
        key(editor, Qt::Key_Z, Qt::ControlModifier);

        // Ctrl+H and Ctrl+F open the dialog with the one-line selection as the text to find.
        editor->setSelection(0, 2);
        key(editor, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab ab ab1"));
        QVERIFY(findDialog() != nullptr && findDialog()->isVisible());
        QCOMPARE(findDialog()->windowTitle(), QStringLiteral("Заменить"));
        QCOMPARE(findDialog()->request().text, QStringLiteral("ab"));
        findDialog()->close();
        editor->setSelection(0, 5);
        findField("findText")->setText(QStringLiteral("b"));
        key(editor, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(findDialog()->windowTitle(), QStringLiteral("Найти"));
        QCOMPARE(findDialog()->request().text, QStringLiteral("ab ab"));
        editor->setSelection(0, 0);
        findField("findText")->setText(QStringLiteral("ab"));
        emit findDialog()->findNext();
        QCOMPARE(editor->anchorPosition(), 0);
        findDialog()->close();
        // The text selected over two lines is no text to find: the last one stays.
        editor->setPlainText(QStringLiteral("ab ab ab\nab"));
        editor->setSelection(1, 10);
        key(editor, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(findDialog()->request().text, QStringLiteral("ab"));
        findDialog()->close();
        editor->setSelection(0, 2);
        key(editor, Qt::Key_F3);
        QCOMPARE(editor->anchorPosition(), 3);
        key(editor, Qt::Key_F3);
        key(editor, Qt::Key_F3);
        key(editor, Qt::Key_F3);
        QCOMPARE(editor->anchorPosition(), 0); // wrapped around once
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab ab ab\nab"));

        key(editor, Qt::Key_F1);
        QVERIFY(helpWindow() != nullptr);
        QCOMPARE(helpWindow()->currentPage(), THelpWindow::topicUrl(0));
        closeHelp();
        frame_->activateWindow();
        editor->setFocus();
        key(editor, Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(frame_->helpCursorActive());
        key(editor, Qt::Key_Escape);
        QVERIFY(!frame_->helpCursorActive());
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab ab ab\nab"));

        key(editor, Qt::Key_X, Qt::AltModifier);
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab ab ab\nab"));
        QTRY_VERIFY(!frame_->isVisible());
    }

    // With the help cursor on, a command's key shows the command's topic and runs nothing, also
    // the keys the editor would otherwise answer itself.
    void helpCursorTakesTheEditorsCommandKeys() {
        TAxoliteEditFile* editor = describe(QStringLiteral("ab"));
        QVERIFY(editor != nullptr);
        editor->moveCursor(QTextCursor::End);
        editor->insertPlainText(QStringLiteral("c"));
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        const struct {
            Qt::Key key;
            int topic;
        } commands[] = {{Qt::Key_Z, CmEditUndo}, {Qt::Key_V, CmEditPaste}};
        for (const auto& command : commands) {
            key(editor, Qt::Key_F1, Qt::ShiftModifier);
            QVERIFY(frame_->helpCursorActive());
            key(editor, command.key, Qt::ControlModifier);
            QVERIFY(!frame_->helpCursorActive());
            QVERIFY(helpWindow() != nullptr);
            QCOMPARE(helpWindow()->currentPage(), THelpWindow::topicUrl(command.topic));
            QCOMPARE(editor->toPlainText(), QStringLiteral("abc"));
            frame_->activateWindow();
            editor->setFocus();
        }
        // Out of it the keys edit again.
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab"));
    }

    // Undo, Cut, Copy, Delete, Paste and Clear all follow the editor after typing, undo, a mouse
    // selection, select all, clear all and a find; the caption's " *" follows the text against
    // the saved one; only edits clear the simulated flag.
    void editCommandsCaptionAndResultsFollowTheEditor() {
        TAxoliteEditFile* editor = describe(QStringLiteral("ab\ncd ab"));
        QVERIFY(editor != nullptr);
        QVERIFY(!enabled(CmEditUndo));
        QVERIFY(!enabled(CmEditCut));
        QVERIFY(enabled(CmEditClear));
        key(editor, Qt::Key_X);
        QVERIFY(enabled(CmEditUndo));
        QVERIFY(child()->windowTitle().endsWith(QStringLiteral(" *")));
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!enabled(CmEditUndo));
        QVERIFY(!child()->windowTitle().endsWith(QStringLiteral(" *")));

        QWidget* viewport = editor->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QTest::mouseMove(viewport, QPoint(25, 5));
        QVERIFY(enabled(CmEditCut) && enabled(CmEditCopy) && enabled(CmEditDelete));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(25, 5));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(!enabled(CmEditCut) && !enabled(CmEditCopy) && !enabled(CmEditDelete));
        key(editor, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(enabled(CmEditDelete));
        frame_->command(CmEditClear)->trigger();
        QVERIFY(!enabled(CmEditClear));
        QVERIFY(!enabled(CmEditCut));
        QVERIFY(enabled(CmEditUndo));
        frame_->command(CmEditUndo)->trigger();
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab\ncd ab"));
        QVERIFY(enabled(CmEditClear));
        QVERIFY(!enabled(CmEditUndo));
        QVERIFY(!enabled(CmEditCut));
        QVERIFY(editor->find(QStringLiteral("cd"), {}));
        QVERIFY(enabled(CmEditCut));

        // Moves, selections and finds keep the results; a key that edits drops them.
        child()->record().simulated = 1;
        editor->selectAll();
        key(editor, Qt::Key_Right);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        frame_->execute(CmFindNext);
        editor->setModified(false);
        QCOMPARE(child()->record().simulated, 1);
        key(editor, Qt::Key_Q);
        QCOMPARE(child()->record().simulated, 0);

        QVERIFY(child()->saveTo(dir_.filePath(QStringLiteral("a.net"))));
        QVERIFY(!child()->windowTitle().endsWith(QStringLiteral(" *")));
        QVERIFY(!enabled(CmFileSave));
        key(editor, Qt::Key_W);
        QVERIFY(child()->windowTitle().endsWith(QStringLiteral(" *")));
        QVERIFY(enabled(CmFileSave));
        key(editor, Qt::Key_Z, Qt::ControlModifier); // back to the saved text
        QVERIFY(!child()->windowTitle().endsWith(QStringLiteral(" *")));
        QVERIFY(!enabled(CmFileSave));
    }

    // Replace replaces the selection only when it is a match under the options: with whole words
    // sought, a selected part of a word is not replaced, the next whole word is found instead.
    void replaceTakesOnlyAMatch() {
        TAxoliteEditFile* editor = describe(QStringLiteral("neurons 2;\nneuron 1;"));
        QVERIFY(editor != nullptr);
        editor->setSelection(0, 6); // "neuron" of "neurons"
        QVERIFY(editor->replaceAndFind(QStringLiteral("neuron"), QStringLiteral("cell"),
                                       QTextDocument::FindWholeWords));
        QCOMPARE(editor->toPlainText(), QStringLiteral("neurons 2;\nneuron 1;"));
        QCOMPARE(editor->anchorPosition(), 11);
        QVERIFY(!editor->replaceAndFind(QStringLiteral("neuron"), QStringLiteral("cell"),
                                        QTextDocument::FindWholeWords)); // none left
        QCOMPARE(editor->toPlainText(), QStringLiteral("neurons 2;\ncell 1;"));
        // Case: a selection differing in case is a match only when case does not count.
        editor->setSelection(0, 7);
        QVERIFY(!editor->replaceAndFind(QStringLiteral("NEURONS"), QStringLiteral("x"),
                                        QTextDocument::FindCaseSensitively));
        QCOMPARE(editor->toPlainText(), QStringLiteral("neurons 2;\ncell 1;"));
        editor->setSelection(0, 7);
        editor->replaceAndFind(QStringLiteral("NEURONS"), QStringLiteral("x"), {});
        QCOMPARE(editor->toPlainText(), QStringLiteral("x 2;\ncell 1;"));
    }

    // The check window shows the caret's line after clicks, keys, a find and undo; Replace and
    // Replace all through the frame's dialog replace, move that line and undo as one step each.
    void checkWindowLineAndReplaceThroughTheFrame() {
        TAxoliteEditFile* editor = describe(QString::fromUtf8(kCorrect));
        QVERIFY(editor != nullptr);
        frame_->execute(CmCheck);
        QVERIFY(child()->checkWindow() != nullptr);
        auto* line = child()->checkWindow()->findChild<QLabel*>(QStringLiteral("900"));
        QVERIFY(line != nullptr);
        const auto shown = [line] { return line->text().trimmed().toInt(); };
        frame_->activateWindow();
        editor->setFocus();
        const int height = editor->fontMetrics().lineSpacing();
        QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(10, 2 * height + 3));
        QCOMPARE(shown(), 3);
        key(editor, Qt::Key_Down);
        QCOMPARE(shown(), 4);
        QVERIFY(editor->find(QStringLiteral("end"), {}));
        QCOMPARE(shown(), 7);
        key(editor, Qt::Key_X);
        key(editor, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(shown(), 1);
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shown(), 7);

        editor->setSelection(0, 0);
        key(editor, Qt::Key_H, Qt::ControlModifier);
        findField("findText")->setText(QStringLiteral("neuron"));
        findField("replaceText")->setText(QStringLiteral("NEURON"));
        emit findDialog()->replace(); // nothing selected yet: finds the first
        QCOMPARE(editor->selectedText(), QStringLiteral("neuron"));
        QCOMPARE(editor->anchorPosition(), 0);
        emit findDialog()->replace();
        QVERIFY(editor->toPlainText().startsWith(QStringLiteral("NEURONs 2;")));
        QCOMPARE(shown(), 4); // the next one, in the input layer
        QCOMPARE(shown(), editor->caretLine() + 1);
        child()->record().simulated = 1;
        emit findDialog()->replaceAll();
        QCOMPARE(editor->toPlainText().count(QStringLiteral("neuron")), 0);
        QCOMPARE(child()->record().simulated, 0);
        QCOMPARE(shown(), editor->caretLine() + 1);
        QVERIFY(Notifier::instance().captured().empty());
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->toPlainText().count(QStringLiteral("neuron")), 4);
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->toPlainText(), QString::fromUtf8(kCorrect));
        findField("findText")->setText(QStringLiteral("synapse"));
        emit findDialog()->replaceAll();
        QCOMPARE(Notifier::instance().captured().size(), std::size_t{1});
        QCOMPARE(Notifier::instance().captured()[0].text,
                 std::string("Строка \"synapse\" не найдена."));
    }

    // Commands that move the caret far keep it in view: a find far below, undo far above, Ctrl+End,
    // a paste of many lines, replace all; Page Up and Down stop at the ends; the wheel scrolls.
    void viewFollowsTheCaret() {
        TAxoliteEditFile* editor = describe(numberedLines(500));
        QVERIFY(editor != nullptr);
        QScrollBar* vertical = editor->verticalScrollBar();
        QVERIFY(editor->find(QStringLiteral("line 450"), {}));
        QVERIFY(caretInView(editor));
        editor->setSelection(0, 0);
        editor->insertPlainText(QStringLiteral("x"));
        key(editor, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(caretInView(editor));
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(caretInView(editor));
        QCOMPARE(vertical->value(), 0);
        QApplication::clipboard()->setText(numberedLines(200));
        key(editor, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(editor->caretLine(), 199);
        QVERIFY(caretInView(editor));
        key(editor, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(editor->replaceAll(QStringLiteral("line"), QStringLiteral("LINE\n"), {}) > 0);
        QVERIFY(caretInView(editor));
        // Most of the text deleted: nothing left to scroll to.
        editor->setSelection(20, editor->toPlainText().size());
        key(editor, Qt::Key_Delete);
        QCOMPARE(vertical->maximum(), std::max(0, editor->lineCount() - visibleLines(editor)));
        QCOMPARE(editor->horizontalScrollBar()->maximum(), 0);

        editor->setPlainText(numberedLines(500));
        key(editor, Qt::Key_PageUp);
        QCOMPARE(editor->caretPosition(), 0);
        QCOMPARE(vertical->value(), 0);
        QWheelEvent wheel(QPointF(20, 20), editor->viewport()->mapToGlobal(QPointF(20, 20)),
                          QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(editor->viewport(), &wheel);
        QVERIFY(vertical->value() > 0);
        QCOMPARE(editor->caretPosition(), 0); // the wheel moves the view, not the caret
        key(editor, Qt::Key_PageDown);
        key(editor, Qt::Key_PageDown);
        QVERIFY(caretInView(editor));
        key(editor, Qt::Key_End, Qt::ControlModifier);
        key(editor, Qt::Key_PageDown);
        QCOMPARE(editor->caretPosition(), editor->toPlainText().size());
        QCOMPARE(vertical->value(), vertical->maximum());
        key(editor, Qt::Key_PageUp);
        QVERIFY(caretInView(editor));
    }

    // A caret in view stays in view when the view shrinks under it: the horizontal scroll bar
    // appearing while the last line is typed long, a maximised window made normal again.
    void caretStaysInViewWhenTheViewShrinks() {
        TAxoliteEditFile* editor = describe(numberedLines(100));
        QVERIFY(editor != nullptr);
        key(editor, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(caretInView(editor));
        QVERIFY(!editor->horizontalScrollBar()->isVisible());
        for (int i = 0; i < 80; ++i) {
            key(editor, Qt::Key_W);
        }
        QTRY_VERIFY(editor->horizontalScrollBar()->isVisible());
        QVERIFY(caretInView(editor));
        // The bar goes again: the view shows the last lines, with nothing below them.
        key(editor, Qt::Key_Home, Qt::ShiftModifier);
        key(editor, Qt::Key_Delete);
        QTRY_VERIFY(!editor->horizontalScrollBar()->isVisible());
        QCOMPARE(editor->verticalScrollBar()->value(), editor->verticalScrollBar()->maximum());
        QVERIFY(caretInView(editor));

        child()->showMaximized();
        QTRY_VERIFY(child()->isMaximized());
        key(editor, Qt::Key_End, Qt::ControlModifier);
        child()->showNormal();
        QTRY_VERIFY(!child()->isMaximized());
        QVERIFY(caretInView(editor));
        // A caret the user scrolled away from is not brought back by a resize.
        editor->verticalScrollBar()->setValue(0);
        child()->resize(child()->width(), child()->height() - 40);
        QCOMPARE(editor->verticalScrollBar()->value(), 0);
    }

    // A drag that scrolls the view stops when its button goes up elsewhere (a window came up in
    // the middle of it): the view does not run on by itself.
    void dragEndedElsewhereStopsScrolling() {
        TAxoliteEditFile* editor = describe(numberedLines(300));
        QVERIFY(editor != nullptr);
        QWidget* viewport = editor->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QTest::mouseMove(viewport, QPoint(20, viewport->height() + 20));
        QTRY_VERIFY(editor->verticalScrollBar()->value() > 2);
        QWidget box;
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseRelease(&box, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        box.close();
        QTest::qWait(20);
        const int scrolled = editor->verticalScrollBar()->value();
        const qsizetype caret = editor->caretPosition();
        QTest::qWait(200);
        QCOMPARE(editor->verticalScrollBar()->value(), scrolled);
        QCOMPARE(editor->caretPosition(), caret);
    }

    // Control characters inside a line are shown and take room: the caret visibly moves over
    // each of them, and a click past the end of the line lands at its end.
    void controlCharactersAreShownInTheirLine() {
        const QString line = QStringLiteral("a\rb\x0c") + QChar(0) +
                             QStringLiteral("c\x01\x1b\x7f"
                                            "d");
        TAxoliteEditFile* editor = describe(line + QStringLiteral("\nend"));
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->documentLines().front(), line);
        int x = caretX(editor);
        for (qsizetype at = 1; at <= line.size(); ++at) {
            key(editor, Qt::Key_Right);
            QCOMPARE(editor->caretPosition(), at);
            QVERIFY2(caretX(editor) > x, qPrintable(QStringLiteral("column %1").arg(at)));
            x = caretX(editor);
        }
        QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x + 40, 5));
        QCOMPARE(editor->caretPosition(), line.size());
    }

    // Texts a description editor may meet: separators, controls, characters outside the basic
    // plane, accents and right-to-left letters stay in their line and are saved as they came;
    // a text of line ends only; every command on an empty text.
    void oddTextsAndTheEmptyText() {
        const QString odd = QStringLiteral("a\u2028b\u2029c\td") + QChar(0) +
                            QStringLiteral("e\x0b\rf") + QString::fromUtf16(u"\U0001F600") +
                            QStringLiteral("e\u0301 \u05D0\u05D1\u05D2 x");
        const QString path = dir_.filePath(QStringLiteral("odd.net"));
        const QByteArray bytes = (odd + QStringLiteral("\n\n\n")).toUtf8();
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        TAxoliteMDIChild* window = frame_->openDescription(path);
        QVERIFY(window != nullptr);
        TAxoliteEditFile* editor = window->editor();
        QCOMPARE(editor->lineCount(), 4);
        QCOMPARE(editor->documentLines().front(), odd);
        editor->setFocus();
        key(editor, Qt::Key_End);
        QCOMPARE(editor->caretPosition(), odd.size());
        for (int x = 0; x < 400; x += 3) {
            QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 5));
            QVERIFY(editor->caretLine() == 0 && editor->caretPosition() <= odd.size());
        }
        editor->selectAll();
        QVERIFY(!editor->grab().isNull());
        key(editor, Qt::Key_C, Qt::ControlModifier);
        key(editor, Qt::Key_V, Qt::ControlModifier);
        editor->insertPlainText(QStringLiteral("x"));
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!editor->isModified());
        QVERIFY(window->saveTo(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);

        editor->setPlainText(QStringLiteral("\n\n\n\n"));
        QCOMPARE(editor->lineCount(), 5);
        key(editor, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(editor->caretLine(), 4);
        key(editor, Qt::Key_Up);
        key(editor, Qt::Key_Backspace);
        QCOMPARE(editor->toPlainText(), QStringLiteral("\n\n\n"));
        QCOMPARE(editor->caretLine(), 2);

        // The empty text: each command is greyed out or does nothing harmful.
        editor = describe(QString());
        QVERIFY(editor != nullptr);
        QApplication::clipboard()->setText(QStringLiteral("xyz"));
        QTRY_VERIFY(enabled(CmEditPaste));
        for (int id : {CmEditUndo, CmEditCut, CmEditCopy, CmEditDelete, CmEditClear}) {
            QVERIFY2(!enabled(id), qPrintable(QString::number(id)));
        }
        Notifier::instance().clearCaptured();
        frame_->execute(CmFind);
        findField("findText")->setText(QStringLiteral("q"));
        emit findDialog()->findNext();
        emit findDialog()->replace();
        emit findDialog()->replaceAll();
        QCOMPARE(Notifier::instance().captured().size(), std::size_t{3});
        findDialog()->close();
        frame_->execute(CmFindNext);
        frame_->execute(CmCheck);
        QVERIFY(editor->isEmpty());
        QVERIFY(!editor->isModified());
        frame_->execute(CmEditPaste);
        QCOMPARE(editor->toPlainText(), QStringLiteral("xyz"));
        QVERIFY(enabled(CmEditUndo) && enabled(CmEditClear));
    }

    // A UTF-8 file that begins with a byte-order mark keeps it when saved: only what was edited
    // changes in the file.
    void byteOrderMarkIsKeptOnSave() {
        const QString path = dir_.filePath(QStringLiteral("bom.net"));
        const QByteArray mark("\xEF\xBB\xBF");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(mark + QStringLiteral("// Сеть\nend\n").toUtf8());
        }
        TAxoliteMDIChild* window = frame_->openDescription(path);
        QVERIFY(window != nullptr);
        QCOMPARE(window->editor()->documentLines().front(), QStringLiteral("// Сеть"));
        window->editor()->moveCursor(QTextCursor::End);
        window->editor()->insertPlainText(QStringLiteral("// ещё"));
        QVERIFY(window->saveTo(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), mark + QStringLiteral("// Сеть\nend\n// ещё").toUtf8());
        file.close();
        // Without a mark none is added.
        window->editor()->setModified(false);
        window->close();
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("end\n");
        file.close();
        window = frame_->openDescription(path);
        QVERIFY(window != nullptr);
        QVERIFY(window->saveTo(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("end\n"));
    }

    // Random keys, clicks, typing and the frame's edits never leave the caret outside the text
    // or inside a character, nor the view past its range; undoing everything gives back the
    // opened text, unmodified.
    void randomUseKeepsTheEditorSound() {
        const QString opened = QStringLiteral("neurons 2;\n\tab\u0301 ") +
                               QString::fromUtf16(u"\U0001F600") +
                               QStringLiteral("\u05D0\u05D1\r\x0c\u2028x\n\n");
        TAxoliteEditFile* editor = describe(opened);
        QVERIFY(editor != nullptr);
        const Qt::Key keys[] = {Qt::Key_Left,      Qt::Key_Right,  Qt::Key_Up,     Qt::Key_Down,
                                Qt::Key_Home,      Qt::Key_End,    Qt::Key_PageUp, Qt::Key_PageDown,
                                Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Tab,
                                Qt::Key_Z,         Qt::Key_Y,      Qt::Key_X,      Qt::Key_V,
                                Qt::Key_C};
        const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ShiftModifier,
                                                   Qt::ControlModifier,
                                                   Qt::ControlModifier | Qt::ShiftModifier};
        const QString pieces[] = {
            QStringLiteral("a"),      QStringLiteral("\n"),     QString::fromUtf16(u"\U0001F600"),
            QStringLiteral("\u0301"), QStringLiteral("\u05D0"), QStringLiteral("\t"),
            QStringLiteral("\r\n"),   QStringLiteral("ё")};
        const auto piece = [&pieces](QRandomGenerator& random) {
            return pieces[random.bounded(static_cast<int>(std::size(pieces)))];
        };
        for (quint32 seed = 1; seed <= 3; ++seed) {
            QRandomGenerator random(seed);
            for (int i = 0; i < 3000; ++i) {
                const int action = random.bounded(12);
                if (action < 6) {
                    key(editor, keys[random.bounded(static_cast<int>(std::size(keys)))],
                        modifiers[random.bounded(4)]);
                } else if (action == 6) {
                    QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, piece(random),
                                        Qt::NoModifier);
                } else if (action == 7) {
                    QTest::mouseClick(editor->viewport(), Qt::LeftButton,
                                      random.bounded(2) ? Qt::ShiftModifier : Qt::NoModifier,
                                      QPoint(random.bounded(600), random.bounded(400)));
                } else if (action == 8) {
                    QTest::mouseDClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier,
                                       QPoint(random.bounded(400), random.bounded(300)));
                } else if (action == 9) {
                    editor->replaceAll(QStringLiteral("a"), piece(random), {});
                    editor->find(QStringLiteral("\u05D0"), QTextDocument::FindBackward);
                    editor->replaceAndFind(QStringLiteral("ё"), QStringLiteral("a\n"), {});
                    editor->viewport()->repaint();
                } else {
                    editor->insertPlainText(QStringLiteral("ab\ncd") + piece(random));
                }
                const QString& text = editor->rawText();
                for (const qsizetype at : {editor->caretPosition(), editor->anchorPosition()}) {
                    QVERIFY(at >= 0 && at <= text.size());
                    QVERIFY(at == 0 || at == text.size() || !text[at].isLowSurrogate());
                }
                QCOMPARE(editor->lineCount(), text.count(u'\n') + 1);
                QVERIFY(editor->verticalScrollBar()->value() <=
                        editor->verticalScrollBar()->maximum());
            }
            while (editor->isUndoAvailable()) {
                editor->undo();
            }
            QCOMPARE(editor->rawText(), opened);
            QVERIFY(!editor->isModified());
        }
    }

    // A pattern file holds all its values on one line, millions of characters long: its end is
    // reached and shown, clicks land where the caret is drawn, word moves stop where they stop
    // on a short line, the selection is drawn, typing goes in at the caret.
    void patternFileOnOneLine() {
        QByteArray values;
        while (values.size() < 4200000) {
            values += "0.125 -1.5e-05 42 ";
        }
        const QString path = dir_.filePath(QStringLiteral("values.ptn"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(values + "\nend");
        }
        TAxoliteMDIChild* window = frame_->openDescription(path);
        QVERIFY(window != nullptr);
        TAxoliteEditFile* editor = window->editor();
        editor->setFocus();
        const qsizetype length = values.size();
        key(editor, Qt::Key_End);
        QCOMPARE(editor->caretPosition(), length);
        QVERIFY(caretInView(editor));

        // The same steps on a short line holding the end of the long one.
        TAxoliteEditFile reference;
        reference.setPlainText(QString::fromLatin1(values.right(60)));
        reference.moveCursor(QTextCursor::End);
        for (int i = 0; i < 4; ++i) {
            key(editor, Qt::Key_Left, Qt::ControlModifier);
            reference.moveCursor(QTextCursor::PreviousWord);
            QCOMPARE(length - editor->caretPosition(), 60 - reference.caretPosition());
        }
        key(editor, Qt::Key_Right, Qt::ControlModifier);
        reference.moveCursor(QTextCursor::NextWord);
        QCOMPARE(length - editor->caretPosition(), 60 - reference.caretPosition());
        key(editor, Qt::Key_Left);
        QVERIFY(caretInView(editor));

        // A click just right of where the caret is drawn puts it there again.
        const qsizetype caret = editor->caretPosition();
        const QRect drawn =
            static_cast<QWidget*>(editor)->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        key(editor, Qt::Key_End);
        QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(drawn.center().x() + 1, drawn.center().y()));
        QCOMPARE(editor->caretPosition(), caret);

        // A selection at the caret is drawn in the highlight colour.
        QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          QPoint(drawn.center().x() - 40, drawn.center().y()));
        QVERIFY(editor->hasSelection());
        const QImage image = editor->viewport()->grab().toImage();
        QCOMPARE(image.pixelColor(drawn.center().x() - 20, drawn.center().y()),
                 editor->palette().color(QPalette::Highlight));

        key(editor, Qt::Key_End);
        QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QStringLiteral("7"),
                            Qt::NoModifier);
        QCOMPARE(editor->documentLines().front().right(4), QStringLiteral("42 7"));
        QVERIFY(caretInView(editor));
        // Down and up keep the column across the short line.
        editor->setSelection(2, 2);
        key(editor, Qt::Key_Down);
        QCOMPARE(editor->caretPosition(), length + 2 + 2);
        key(editor, Qt::Key_Up);
        QCOMPARE(editor->caretPosition(), 2);
        window->editor()->setModified(false);
    }

    // One line of 200,000 characters: opened, its end reached and scrolled to, typed at, found
    // in and cleared; the view and its ranges stay right throughout.
    void veryLongLine() {
        const QString path = dir_.filePath(QStringLiteral("long.net"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(200000, 'w') + "\nend\n");
        }
        TAxoliteMDIChild* window = frame_->openDescription(path);
        QVERIFY(window != nullptr);
        TAxoliteEditFile* editor = window->editor();
        editor->setFocus();
        key(editor, Qt::Key_End);
        QCOMPARE(editor->caretPosition(), 200000);
        QVERIFY(editor->horizontalScrollBar()->value() > 0);
        QVERIFY(caretInView(editor));
        for (int i = 0; i < 5; ++i) {
            key(editor, Qt::Key_Q);
        }
        QVERIFY(caretInView(editor));
        QVERIFY(!editor->grab().isNull());
        key(editor, Qt::Key_Down);
        QCOMPARE(editor->caretLine(), 1);
        QVERIFY(caretInView(editor));
        QCOMPARE(editor->horizontalScrollBar()->value(), 0);
        QVERIFY(editor->find(QStringLiteral("wq"), {}));
        QCOMPARE(editor->anchorPosition(), 199999);
        QVERIFY(caretInView(editor));
        frame_->execute(CmEditClear);
        QCOMPARE(editor->horizontalScrollBar()->maximum(), 0);
        key(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->documentLines().front().size(), 200005);
    }
};

QTEST_MAIN(EditorAuditTest)
#include "editor_audit_test.moc"
