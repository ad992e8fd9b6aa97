// The editor of a description window: plain text in "Courier", 15 pixels high, with the
// description's context menu and file drops handed to the frame.
#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <QTextDocument>

#include <string>
#include <vector>

class TAxoliteEditFile : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TAxoliteEditFile(QWidget* parent = nullptr);

    // The actions of the context menu (menu 101); the frame supplies its commands.
    void setContextActions(QList<QAction*> actions) { contextActions_ = std::move(actions); }

    // Puts the text of a file just opened in place of the whole text: nothing to undo, the text
    // unmodified, the caret at the start. "\r\n" counts as one line end, as '\n' does.
    void setFileText(const QString& text);

    // The text exactly as typed (no character replaced), lines separated by '\n'.
    QString rawText() const;
    // The text's lines exactly as typed, one per block.
    QStringList documentLines() const;
    // The lines as code page 1251 bytes, as the lexer reads them.
    std::vector<std::string> linesCp1251() const;

    // The caret's line, counted from 0.
    int caretLine() const { return textCursor().blockNumber(); }

    // Searches from the caret; wraps around once to the beginning (or end). Selects the match.
    bool find(const QString& text, QTextDocument::FindFlags flags);
    // Replaces the current selection when it matches text, then finds the next occurrence.
    bool replaceAndFind(const QString& text, const QString& replacement,
                        QTextDocument::FindFlags flags);
    // Replaces every occurrence (one undo step); returns the count.
    int replaceAll(const QString& text, const QString& replacement, QTextDocument::FindFlags flags);

signals:
    // Files were dropped on the editor; the frame opens them.
    void filesDropped(const QStringList& paths);
    // The context menu is about to show: the frame brings its commands' enabling up to date.
    void contextMenuAboutToShow();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    QList<QAction*> contextActions_;
};

// Local files named by dropped data (URLs), in order.
QStringList droppedFiles(const QMimeData* data);
