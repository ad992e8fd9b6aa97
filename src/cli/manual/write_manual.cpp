// axolite_manual OUTPUT_FOLDER: writes the manual pages (axolite-cli.1, axolite.1 and their
// Russian versions under ru/) and the bash completion of axolite-cli, made from the tool's own
// table of commands. Stops with the names of descriptions that have no Russian text.
#include "cli/commands.h"
#include "cli/manual/manual.h"
#include "core/platform/atomic_file.h"

#include <iostream>

using namespace axolite::cli::manual;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: axolite_manual OUTPUT_FOLDER\n";
        return 2;
    }
    CLI::App tool;
    int status = 0;
    axolite::cli::addCommands(tool, status);
    const auto missing = untranslatedTexts(tool);
    for (const std::string& text : missing) {
        std::cerr << "no Russian text for \"" << text << "\" (src/cli/manual/russian_texts.cpp)\n";
    }
    if (!missing.empty()) {
        return 1;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder / "ru");
    const std::string version = AXOLITE_VERSION;
    const std::pair<std::filesystem::path, std::string> files[] = {
        {folder / "axolite-cli.1", toolManualPage(tool, Language::English, version)},
        {folder / "ru" / "axolite-cli.1", toolManualPage(tool, Language::Russian, version)},
        {folder / "axolite.1", programManualPage(Language::English, version)},
        {folder / "ru" / "axolite.1", programManualPage(Language::Russian, version)},
        {folder / "axolite-cli.bash", bashCompletion(tool)},
    };
    for (const auto& [path, text] : files) {
        if (const auto failure = axolite::platform::writeFileAtomically(path, text)) {
            std::cerr << axolite::platform::fileWriteMessage(*failure).text << '\n';
            return 1;
        }
    }
    return 0;
}
