// Folder settings: which folder a file of each kind is looked up in.
#include "core/platform/folder_settings.h"

#include <system_error>

namespace axolite::platform {

std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path FolderSettings::modelsFolder() const {
    if (set && !models.empty()) {
        return pathFromUtf8(models);
    }
    std::error_code ec;
    std::filesystem::path current = std::filesystem::current_path(ec);
    return ec ? std::filesystem::path(".") : current;
}

// Descriptions and patterns: the empty path when not set, so file dialogs start in their own
// default folder.
std::filesystem::path FolderSettings::networksFolder() const {
    return set ? pathFromUtf8(networks) : std::filesystem::path{};
}

std::filesystem::path FolderSettings::patternsFolder() const {
    return set ? pathFromUtf8(patterns) : std::filesystem::path{};
}

} // namespace axolite::platform
