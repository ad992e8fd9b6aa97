// The description editor.
#include "shell/edit_file.h"

#include "platform/text_encoding.h"
#include "shell/command_table.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

QStringList droppedFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            files.append(url.toLocalFile());
        }
    }
    return files;
}

TAxoliteEditFile::TAxoliteEditFile(QWidget* parent) : QPlainTextEdit(parent) {
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(15);
    setFont(font);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) * 8);
}

QString TAxoliteEditFile::rawText() const {
    // The raw text separates blocks by the paragraph separator and replaces nothing; one pass
    // over the document (reading block by block costs a search per block).
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

QStringList TAxoliteEditFile::documentLines() const {
    return rawText().split(QLatin1Char('\n'));
}

std::vector<std::string> TAxoliteEditFile::linesCp1251() const {
    // One conversion of the whole text: a description of tens of thousands of lines would spend
    // most of its check converting line by line. Block texts never hold '\n'.
    const std::string all = axolite::platform::utf8ToCp1251(rawText().toStdString());
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(document()->blockCount()));
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = all.find('\n', start);
        if (end == std::string::npos) {
            lines.emplace_back(all, start);
            break;
        }
        lines.emplace_back(all, start, end - start);
        start = end + 1;
    }
    return lines;
}

bool TAxoliteEditFile::find(const QString& text, QTextDocument::FindFlags flags) {
    if (text.isEmpty()) {
        return false;
    }
    if (QPlainTextEdit::find(text, flags)) {
        return true;
    }
    // Once more from the other end of the text.
    const QTextCursor saved = textCursor();
    QTextCursor from(document());
    from.movePosition((flags & QTextDocument::FindBackward) ? QTextCursor::End
                                                            : QTextCursor::Start);
    setTextCursor(from);
    if (QPlainTextEdit::find(text, flags)) {
        return true;
    }
    setTextCursor(saved);
    return false;
}

bool TAxoliteEditFile::replaceAndFind(const QString& text, const QString& replacement,
                                      QTextDocument::FindFlags flags) {
    QTextCursor cursor = textCursor();
    const Qt::CaseSensitivity cs =
        (flags & QTextDocument::FindCaseSensitively) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (cursor.hasSelection() && cursor.selectedText().compare(text, cs) == 0) {
        cursor.insertText(replacement);
        setTextCursor(cursor);
    }
    return find(text, flags);
}

int TAxoliteEditFile::replaceAll(const QString& text, const QString& replacement,
                                 QTextDocument::FindFlags flags) {
    if (text.isEmpty()) {
        return 0;
    }
    flags &= ~QTextDocument::FindBackward;
    int count = 0;
    QTextCursor edit(document());
    edit.beginEditBlock();
    QTextCursor found = document()->find(text, 0, flags);
    while (!found.isNull()) {
        found.insertText(replacement);
        ++count;
        found = document()->find(text, found.position(), flags);
    }
    edit.endEditBlock();
    return count;
}

void TAxoliteEditFile::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setObjectName(QString::number(axolite::shell::kContextMenuId));
    for (QAction* action : contextActions_) {
        menu.addAction(action);
    }
    if (menu.isEmpty()) {
        QPlainTextEdit::contextMenuEvent(event);
        return;
    }
    emit contextMenuAboutToShow();
    menu.exec(event->globalPos());
}

bool TAxoliteEditFile::canInsertFromMimeData(const QMimeData* source) const {
    return !droppedFiles(source).isEmpty() || QPlainTextEdit::canInsertFromMimeData(source);
}

void TAxoliteEditFile::insertFromMimeData(const QMimeData* source) {
    const QStringList files = droppedFiles(source);
    if (!files.isEmpty()) {
        emit filesDropped(files);
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}
