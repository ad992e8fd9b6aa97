// The command line of axolite-cli: every command added, the arguments parsed and the chosen
// command run. Callable in-process, so tests can run a command under their own conditions.
#include "cli/commands.h"

namespace axolite::cli {

void addCommands(CLI::App& app, int& status) {
    app.description("Axolite: simulator of artificial neural networks (command-line tool)");
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show the help of every command");
    app.set_version_flag("--version", std::string("axolite-cli ") + AXOLITE_VERSION,
                         "Print the version and exit");
    addLanguageCommands(app, status);
    addRunCommand(app, status);
    addTrainCommand(app, status);
    addReplayCommand(app, status);
    addStudyCommands(app, status);
    addExplainCommand(app, status);
    addDebugCommand(app, status);
#ifdef AXOLITE_CLI_PLOT
    addPlotCommand(app, status);
#endif
}

int runCommandLine(int argc, char** argv) {
    CLI::App app;
    int status = Done;
    addCommands(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return UsageError;
    }
    return status;
}

} // namespace axolite::cli
