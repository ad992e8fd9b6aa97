// Runs axolite-cli as a user runs it, for the command-line tests.
#pragma once

#include <filesystem>
#include <string>

namespace axolite::test {

struct CliRun {
    int status = -1; // exit status, -1 when the tool did not exit normally
    std::string out; // what it printed on standard output

    bool operator==(const CliRun&) const = default;
};

// Runs a command line through the shell: its standard output and exit status.
CliRun runShell(const std::string& command);

// Runs `axolite-cli <arguments>` through the shell (standard error discarded).
CliRun runCli(const std::string& arguments);

// The arguments that name an example description and the examples' models folder, quoted.
std::string exampleWithModels(const std::string& name);

// A path quoted for the shell.
std::string quoted(const std::filesystem::path& path);

} // namespace axolite::test
