// The manual pages of axolite-cli and axolite, and the bash completion of axolite-cli, made from
// the tool's own table of commands and options, so that they cannot drift from it.
#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

namespace axolite::cli::manual {

enum class Language { English, Russian };

// The Russian text of an English description of a command or an option; nothing when the
// table has none (the build then stops, naming it).
std::optional<std::string> russianText(const std::string& english);

// The English descriptions of the tool's commands and options that have no Russian text.
std::vector<std::string> untranslatedTexts(const CLI::App& tool);

// The manual page axolite-cli(1) in roff.
std::string toolManualPage(const CLI::App& tool, Language language, const std::string& version);

// The manual page axolite(1) of the desktop program in roff.
std::string programManualPage(Language language, const std::string& version);

// The bash completion of axolite-cli: its commands, and the options of each.
std::string bashCompletion(const CLI::App& tool);

} // namespace axolite::cli::manual
