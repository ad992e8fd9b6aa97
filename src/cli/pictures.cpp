// Finding the drawing functions: linked into the program, or the module loaded once.
#include "cli/pictures.h"

#include <dlfcn.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

// Defined by the drawing code (cli/pictures/module.cpp) where a program links it in; otherwise
// the reference stays empty and the module is looked up.
extern "C" const axolite::cli::PictureFunctions* axolite_cli_picture_functions()
    __attribute__((weak));

namespace axolite::cli {

namespace {

constexpr const char* kModuleName = "axolite-cli-pictures.so";

// Beside the tool (the build tree), then where the installation puts it.
std::vector<std::filesystem::path> modulePlaces() {
    std::error_code error;
    const std::filesystem::path tool = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    std::vector<std::filesystem::path> places{tool.parent_path() / kModuleName};
#ifdef AXOLITE_PICTURES_FROM_TOOL
    places.push_back(tool.parent_path() / AXOLITE_PICTURES_FROM_TOOL / kModuleName);
#endif
    return places;
}

const PictureFunctions* loadModule() {
    std::string reason = "not found";
    for (const std::filesystem::path& place : modulePlaces()) {
        std::error_code error;
        if (!std::filesystem::exists(place, error)) {
            continue;
        }
        void* module = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            reason = dlerror();
            continue;
        }
        using Entry = const PictureFunctions* (*)();
        if (const auto entry =
                reinterpret_cast<Entry>(dlsym(module, "axolite_cli_picture_functions"))) {
            return entry();
        }
        reason = place.string() + " has no drawing functions";
    }
    std::cerr << "cannot draw: the painters' module " << kModuleName << " could not be loaded ("
              << reason << ")\n";
    return nullptr;
}

} // namespace

const PictureFunctions* pictureFunctions() {
    if (axolite_cli_picture_functions != nullptr) {
        return axolite_cli_picture_functions();
    }
    static const PictureFunctions* const loaded = loadModule();
    return loaded;
}

} // namespace axolite::cli
