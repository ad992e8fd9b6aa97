// The editor of a description window: plain text in "Courier", 15 pixels high, without line
// wrapping, tabs every eight columns, with the description's context menu and file drops handed
// to the frame.
//
// The editor holds its text in a TextBuffer and lays out only the lines in view, so opening a
// long description costs one pass over its text.
#pragma once

#include "app/editor/syntax_colours.h"
#include "app/editor/text_buffer.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QMenu;
class QMimeData;
class QTextLayout;

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
    qsizetype caretPosition() const { return caret_; }
    qsizetype anchorPosition() const { return anchor_; }
    // The caret's line, counted from 0.
    int caretLine() const { return static_cast<int>(buffer_.lineOf(caret_)); }
    bool hasSelection() const { return caret_ != anchor_; }
    QString selectedText() const;
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
    // Replaces the selection (or [from, to)) by text as one edit, caret after it.
    void edit(qsizetype from, qsizetype to, const QString& text, bool typing = false);
    void moveTo(qsizetype position, bool keepAnchor);
    // Finds from position (wrapping around once) and selects the match.
    bool findFrom(const QString& text, QTextDocument::FindFlags flags, qsizetype position);
    void updateScrollBars();
    void ensureCaretVisible();
    // The caret is in a view of this size at the present scroll position.
    bool caretWithin(QSize view) const;
    void restartBlink();
    void offerSelection();
    void stopSelecting();
    bool handleStandardKey(QKeyEvent* event);

    // The layout of one line (tabs expanded), made on demand for the lines in view.
    QTextLayout& layout(qsizetype line) const;
    void forgetLayouts();
    // The width of every column when the font has a fixed pitch for printable ASCII, else 0.
    qreal columnStep() const;
    // A long line of printable ASCII, laid out only in slices: its columns are step_ wide.
    bool isStepped(qsizetype line) const;
    // The layout of columns [from, to) of a line.
    std::unique_ptr<QTextLayout> slice(qsizetype line, qsizetype from, qsizetype to) const;
    // The x of a column from the line's start, and the column nearest x.
    qreal columnX(qsizetype line, qsizetype column) const;
    qsizetype columnAt(qsizetype line, qreal x) const;
    int lineHeight() const;
    int visibleLines() const;
    qsizetype positionAt(const QPoint& point) const;
    qsizetype nextPosition(qsizetype position, bool word) const;
    qsizetype previousPosition(qsizetype position, bool word) const;
    qsizetype verticalMove(qsizetype position, int lines);
    QRect caretRect() const;

    mutable axolite::editor::SyntaxColours colours_; // worked out for the lines drawn
    axolite::editor::TextBuffer buffer_;
    qsizetype caret_ = 0;
    qsizetype anchor_ = 0;
    qreal preferredX_ = -1;
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
    mutable std::unordered_map<qsizetype, std::unique_ptr<QTextLayout>> layouts_;
    // The widest line laid out since the text last changed, in pixels: characters wider than a
    // column (or narrower) make the count of columns a poor measure of a line's width.
    mutable qreal measured_ = 0;
    qreal step_ = 0;
    mutable std::unordered_map<qsizetype, bool> stepped_; // per line laid out since the last edit
    QList<QAction*> contextActions_;
    std::vector<std::int32_t> marked_; // ascending, each once
};

// Local files named by dropped data (URLs), in order.
QStringList droppedFiles(const QMimeData* data);
