// The description editor.
#include "shell/edit_file.h"

#include "platform/text_encoding.h"
#include "shell/command_table.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

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

namespace {

constexpr char kLineEnd = '\n';
constexpr char kNotAscii = '\x80';

// The text narrowed to one byte per character: ASCII as it is, the paragraph separator between
// blocks as '\n', any other character as a byte that marks its line for the code page
// conversion. A loop without branches, which the compiler vectorises.
std::string narrowed(QStringView text) {
    std::string bytes(static_cast<std::size_t>(text.size()), '\0');
    const char16_t* const chars = text.utf16();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char16_t c = chars[i];
        const char other = c == QChar::ParagraphSeparator ? kLineEnd : kNotAscii;
        bytes[i] = c < 0x80 ? static_cast<char>(c) : other;
    }
    return bytes;
}

bool isAscii(std::string_view bytes) {
    unsigned char any = 0;
    for (const char b : bytes) {
        any |= static_cast<unsigned char>(b);
    }
    return any < 0x80;
}

} // namespace

void TAxoliteEditFile::setFileText(const QString& text) {
    // A change of the editor's width after the text is in lays every line out again (a text
    // layout object per line: about ten milliseconds for a description of 38,000 lines). A text
    // taller than the window needs the vertical scroll bar anyway: it is put in place first, so
    // that its appearance does not narrow the text area under the full text.
    const int visibleLines = viewport()->height() / std::max(1, fontMetrics().lineSpacing());
    bool scrolls = true;
    for (qsizetype from = 0, lines = 0; lines <= visibleLines; ++lines) {
        from = text.indexOf(QLatin1Char('\n'), from);
        if (from < 0) {
            scrolls = false;
            break;
        }
        ++from;
    }
    const Qt::ScrollBarPolicy policy = verticalScrollBarPolicy();
    if (scrolls && policy == Qt::ScrollBarAsNeeded) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    // The document takes the text directly: the editor's own setPlainText adds a pass that
    // sets the character format of the whole text. Switching undo off and on empties its stack.
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false);
    doc->setPlainText(text);
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    moveCursor(QTextCursor::Start);
    setVerticalScrollBarPolicy(policy);
}

std::vector<std::string> TAxoliteEditFile::linesCp1251() const {
    // One pass over the raw text, straight into code page lines: converting the whole text to
    // UTF-8 and then to the code page would copy it three times more. Only the lines that hold
    // other characters than ASCII go through the conversion.
    const QString text = document()->toRawText();
    const std::string bytes = narrowed(text);
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(document()->blockCount()));
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(bytes.find(kLineEnd, start), bytes.size());
        const std::string_view line(bytes.data() + start, end - start);
        if (isAscii(line)) {
            lines.emplace_back(line);
        } else {
            const QByteArray utf8 =
                QStringView(text)
                    .sliced(static_cast<qsizetype>(start), static_cast<qsizetype>(line.size()))
                    .toUtf8();
            lines.push_back(axolite::platform::utf8ToCp1251(
                std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))));
        }
        if (end == bytes.size()) {
            return lines;
        }
        start = end + 1;
    }
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
