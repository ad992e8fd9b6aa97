// axolite-cli: the engine of the simulator without a display.
#include "commands.h"

#include <iostream>

int main(int argc, char** argv) {
    CLI::App app{"Axolite: simulator of artificial neural networks (command-line tool)"};
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show the help of every command");

    int status = axolite::cli::Done;
    axolite::cli::addLanguageCommands(app, status);
    axolite::cli::addRunCommand(app, status);
    axolite::cli::addTrainCommand(app, status);
#ifdef AXOLITE_CLI_PLOT
    axolite::cli::addPlotCommand(app, status);
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return axolite::cli::UsageError;
    }
    return status;
}
