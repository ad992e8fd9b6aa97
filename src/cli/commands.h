// The subcommands of axolite-cli. Each adds itself to the application and, when it runs, stores
// the process exit status: 0 done, 1 refused by the system (its message printed), 2 usage or
// file errors.
#pragma once

#include <CLI/CLI.hpp>

namespace axolite::cli {

enum ExitStatus : int { Done = 0, Refused = 1, UsageError = 2 };

void addLanguageCommands(CLI::App& app, int& status); // lex, check
void addRunCommand(CLI::App& app, int& status);       // run
void addTrainCommand(CLI::App& app, int& status);     // train
void addPlotCommand(CLI::App& app, int& status);      // plot (built with the painters only)
void addStudyCommands(CLI::App& app, int& status);    // netgen, study
void addExplainCommand(CLI::App& app, int& status);   // explain
void addDebugCommand(CLI::App& app, int& status);     // debug
void addReplayCommand(CLI::App& app, int& status);    // replay

// Every command and the tool's own options (help, version), as the command line and its manual
// pages and completion know them; status receives the chosen command's exit status.
void addCommands(CLI::App& app, int& status);

// Parses the arguments (argv[0] the program's name) and runs the command; the exit status.
int runCommandLine(int argc, char** argv);

} // namespace axolite::cli
