// Files written from Qt's data through the engine's atomic writer.
#include "render/safe_file.h"

#include "core/platform/folder_settings.h"

namespace axolite::render {

namespace {

std::filesystem::path pathOf(const QString& path) {
    return platform::pathFromUtf8(path.toStdString());
}

} // namespace

std::optional<platform::FileWriteFailure> writeFile(const QString& path, const QByteArray& bytes) {
    return platform::writeFileAtomically(
        pathOf(path), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

platform::AtomicFile fileWriter(const QString& path) {
    return platform::AtomicFile(pathOf(path));
}

QString failureText(const platform::FileWriteFailure& failure) {
    return QString::fromStdString(platform::fileWriteMessage(failure).text);
}

} // namespace axolite::render
