// The file behind a description window: its path, the encoding it came in (UTF-8, with or without
// a byte-order mark, or code page 1251), reading it into text and writing text back in the same
// encoding through the safe writer. No widget: the window shows what the document reads.
#pragma once

#include "core/language/description_text.h"

#include <QByteArray>
#include <QString>

class DescriptionDocument {
public:
    // The file's absolute path; empty for a description never saved.
    const QString& path() const { return path_; }
    // Its path for messages and captions, or "Без имени" for a new description.
    QString displayName() const;
    axolite::language::TextEncoding encoding() const { return encoding_; }

    // The bytes of the file at path; false when it is not a regular file or cannot be read.
    static bool readBytes(const QString& path, QByteArray& bytes);
    // The text of the bytes just read from path, which become the document's file: UTF-8 when the
    // bytes after a byte-order mark are valid UTF-8, code page 1251 otherwise. The bytes are
    // released before the text is complete, so at most one copy of the text is held beside them
    // (std::bad_alloc when it does not fit).
    QString take(const QString& path, QByteArray& bytes);
    // Writes text to path in the document's encoding; a text with a character code page 1251 has
    // no code for is written in UTF-8 from then on. On success path becomes the document's file.
    // False when the file could not be written (the file there is left as it was).
    bool write(const QString& path, const QString& text);

    static QString shownPath(const QString& path);

private:
    QByteArray encoded(const QString& text);

    QString path_;
    axolite::language::TextEncoding encoding_ = axolite::language::TextEncoding::Utf8;
    bool byteOrderMark_ = false; // the UTF-8 file began with one
};
