// The editor of a description window: plain text in "Courier", 15 pixels high, without line
// wrapping, tabs every eight columns, with the description's context menu and file drops handed
// to the frame.
//
// The widget is thin: its text is a TextBuffer, its lines are laid out by LineLayouts (only the
// lines in view, so opening a long description costs one pass over its text), the caret and the
// selection are a CaretModel and the keys' meanings come from keyAction(). The widget turns
// events into their calls, scrolls, paints and tells the frame what changed.
#pragma once

#include "app/editor/caret_model.h"
#include "app/editor/editor_keys.h"
#include "app/editor/line_layout.h"
#include "app/editor/text_buffer.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <string>
#include <vector>

class QMenu;
class QMimeData;
class QPainter;

class TAxoliteEditFile : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TAxoliteEditFile(QWidget* parent = nullptr);
    ~TAxoliteEditFile() override;

    // The actions of the context menu (menu 101); the frame supplies its commands.
    void setContextActions(QList<QAction*> actions) { contextActions_ = std::move(actions); }

    // Puts the text of a file just opened in place of the whole text: nothing to undo, the text
    // unmodified, the caret at the start. "\r\n" counts as one line end, as '\n' does.
    void setFileText(QString text);
    // The same for text from elsewhere.
    void setPlainText(const QString& text) { setFileText(text); }

    // The text exactly as typed (no character replaced), lines separated by '\n'.
    const QString& rawText() const { return buffer_.text(); }
    QString toPlainText() const { return buffer_.text(); }
    // The text as the file holds it, each line with its own line end.
    QString fileText() const { return buffer_.fileText(); }
    bool crlfDominant() const { return buffer_.crlfDominant(); }
    // The text's lines exactly as typed.
    QStringList documentLines() const;
    // The lines as code page 1251 bytes, as the lexer reads them.
    const axolite::language::DescriptionText& textCp1251() { return buffer_.textCp1251(); }
    std::vector<std::string> linesCp1251() { return buffer_.linesCp1251(); }
    int lineCount() const { return static_cast<int>(buffer_.lineCount()); }
    bool isEmpty() const { return buffer_.isEmpty(); }

    bool isModified() const { return buffer_.isModified(); }
    void setModified(bool modified);
    bool isUndoAvailable() const { return buffer_.canUndo(); }

    // The caret and the selection (from the anchor to the caret), as positions in the text.
    qsizetype caretPosition() const { return caret_.caret(); }
    qsizetype anchorPosition() const { return caret_.anchor(); }
    // The caret's line, counted from 0.
    int caretLine() const { return static_cast<int>(caret_.line()); }
    bool hasSelection() const { return caret_.hasSelection(); }
    QString selectedText() const { return caret_.selectedText(); }
    // Selects from anchor to caret (both clamped to the text) and shows the caret.
    void setSelection(qsizetype anchor, qsizetype caret);
    // Puts the caret at the start of the line (counted from 0, clamped to the text) and shows it.
    void setCaretLine(int line);
    // Moves the caret as the keys do; KeepAnchor extends the selection.
    void moveCursor(QTextCursor::MoveOperation operation,
                    QTextCursor::MoveMode mode = QTextCursor::MoveAnchor);

    // Edits at the caret, each one undo step.
    void insertPlainText(const QString& text);
    void deleteSelection();
    void clearAll();
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void selectAll();

    // Searches from the caret; wraps around once to the beginning (or end). Selects the match.
    bool find(const QString& text, QTextDocument::FindFlags flags);
    // Replaces the current selection when it matches text, then finds the next occurrence.
    bool replaceAndFind(const QString& text, const QString& replacement,
                        QTextDocument::FindFlags flags);
    // Replaces every occurrence (one undo step); returns the count.
    int replaceAll(const QString& text, const QString& replacement, QTextDocument::FindFlags flags);

    // The first line shown at the top.
    int firstVisibleLine() const;

    // Lines (counted from 1) drawn on a tinted band, in place of those marked before; the marks
    // stay until replaced, whatever is edited.
    void setMarkedLines(std::vector<std::int32_t> lines);
    const std::vector<std::int32_t>& markedLines() const { return marked_; }

signals:
    // The text changed.
    void contentsChanged();
    void modificationChanged(bool modified);
    void undoAvailable(bool available);
    void selectionChanged();
    void cursorPositionChanged();
    // Files were dropped on the editor; the frame opens them.
    void filesDropped(const QStringList& paths);
    // The context menu is about to show: the frame brings its commands' enabling up to date and
    // watches the menu (F1 on an item shows its topic).
    void contextMenuAboutToShow(QMenu* menu);

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct State {
        qsizetype caret;
        qsizetype anchor;
        bool modified;
        bool undo;
    };
    State state() const;
    // Emits what changed since before, brings the scroll bars up to date, shows the caret.
    void changed(const State& before, bool textChanged);
    // Replaces [from, to) by text as one edit, caret after it.
    void edit(qsizetype from, qsizetype to, const QString& text, bool typing = false);
    // Replaces the selection by text as one edit.
    void replaceSelection(const QString& text, bool typing = false);
    void moveTo(qsizetype position, bool keepAnchor);
    void moveCaret(axolite::editor::CaretMove move, bool keepAnchor);
    // Finds from position (wrapping around once) and selects the match.
    bool findFrom(const QString& text, QTextDocument::FindFlags flags, qsizetype position);
    void run(axolite::editor::EditCommand command);
    // Deletes the selection, or else from the caret to target.
    void deleteTo(qsizetype target);
    void updateScrollBars();
    void ensureCaretVisible();
    // The caret is in a view of this size at the present scroll position.
    bool caretWithin(QSize view) const;
    void restartBlink();
    void offerSelection();
    void stopSelecting();
    void paintLine(QPainter& painter, qsizetype line, int top) const;

    int lineHeight() const;
    int visibleLines() const;
    qsizetype positionAt(const QPoint& point) const;
    QRect caretRect() const;

    axolite::editor::TextBuffer buffer_;
    axolite::editor::LineLayouts layouts_{buffer_};
    axolite::editor::CaretModel caret_{buffer_, layouts_};
    bool caretShown_ = false;
    bool selecting_ = false;
    qsizetype widest_ = 0;
    bool widestKnown_ = true;
    QBasicTimer blink_;
    QBasicTimer autoScroll_;
    QPoint lastMouse_;
    QSize shownSize_;       // the viewport's size when it was last laid out
    QString preedit_;       // text an input method is composing at the caret
    int preeditCursor_ = 0; // the caret within it
    QList<QAction*> contextActions_;
    std::vector<std::int32_t> marked_; // ascending, each once
};

// Local files named by dropped data (URLs), in order.
QStringList droppedFiles(const QMimeData* data);
