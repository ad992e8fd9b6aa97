// The file behind a description window.
#include "app/shell/description_document.h"

#include "core/platform/text_encoding.h"
#include "render/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using axolite::language::TextEncoding;

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

} // namespace

QString DescriptionDocument::shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString DescriptionDocument::displayName() const {
    return path_.isEmpty() ? QStringLiteral("Без имени") : shownPath(path_);
}

bool DescriptionDocument::readBytes(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

QString DescriptionDocument::take(const QString& path, QByteArray& bytes) {
    // The lexer's file reader chooses the encoding and gives the lines the lexer reads; the
    // editor reads "\r\n" as one line end and remembers each line's own, so the text goes in as
    // the file holds it.
    const std::string_view all(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    encoding_ = axolite::language::descriptionEncoding(all);
    byteOrderMark_ = encoding_ == TextEncoding::Utf8 && all.starts_with(kUtf8Bom);
    QString text;
    if (encoding_ == TextEncoding::Utf8) {
        const std::string_view body = byteOrderMark_ ? all.substr(kUtf8Bom.size()) : all;
        text = QString::fromUtf8(body.data(), static_cast<qsizetype>(body.size()));
        bytes.clear();
    } else {
        std::string utf8 = axolite::platform::cp1251ToUtf8(all);
        bytes.clear();
        text = QString::fromStdString(utf8);
    }
    path_ = QFileInfo(path).absoluteFilePath();
    return text;
}

QByteArray DescriptionDocument::encoded(const QString& text) {
    if (encoding_ == TextEncoding::Cp1251) {
        const std::string utf8 = text.toStdString();
        const std::string cp = axolite::platform::utf8ToCp1251(utf8);
        if (axolite::platform::cp1251ToUtf8(cp) == utf8) {
            return QByteArray::fromStdString(cp);
        }
        // A character typed in that code page 1251 has no code for would be lost: the
        // description is written in UTF-8 from now on.
        encoding_ = TextEncoding::Utf8;
    }
    // A file that began with a byte-order mark keeps it.
    QByteArray bytes = byteOrderMark_
                           ? QByteArray(kUtf8Bom.data(), static_cast<qsizetype>(kUtf8Bom.size()))
                           : QByteArray();
    bytes += text.toUtf8();
    return bytes;
}

bool DescriptionDocument::write(const QString& path, const QString& text) {
    if (axolite::render::writeFile(path, encoded(text))) {
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    return true;
}
