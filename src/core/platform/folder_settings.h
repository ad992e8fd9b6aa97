// The three working folders the user names (neuron models, descriptions, patterns). They last for
// the run only; the paths count only once the folders have been set.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace axolite::platform {

struct FolderSettings {
    std::string models;   // UTF-8
    std::string networks; // UTF-8
    std::string patterns; // UTF-8
    bool set = false;     // raised when the folder dialog was accepted

    // Where neuron-model files are looked up: the models folder once the folders have been set
    // and it is not empty, the current working directory otherwise.
    std::filesystem::path modelsFolder() const;
    std::filesystem::path networksFolder() const;
    std::filesystem::path patternsFolder() const;
};

// A UTF-8 text as a path, and back.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8FromPath(const std::filesystem::path& path);

} // namespace axolite::platform
