// The description editor.
#include "shell/edit_file.h"

#include "platform/text_encoding.h"
#include "shell/command_table.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
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

QStringList TAxoliteEditFile::documentLines() const {
    QStringList lines;
    const QTextDocument* doc = document();
    lines.reserve(doc->blockCount());
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        lines.append(block.text());
    }
    return lines;
}

std::vector<std::string> TAxoliteEditFile::linesCp1251() const {
    std::vector<std::string> lines;
    const QTextDocument* doc = document();
    lines.reserve(static_cast<std::size_t>(doc->blockCount()));
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        lines.push_back(axolite::platform::utf8ToCp1251(block.text().toStdString()));
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
