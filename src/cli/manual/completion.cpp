// The bash completion of axolite-cli: the commands after the tool's name, the options of the
// command typed, and file names elsewhere.
#include "cli/manual/manual.h"

#include <sstream>

namespace axolite::cli::manual {

namespace {

// The long names of the options of a command, separated by blanks.
std::string optionNames(const CLI::App& command) {
    std::string names;
    for (const CLI::Option* option : command.get_options()) {
        if (option->get_positional()) {
            continue;
        }
        for (const std::string& name : option->get_lnames()) {
            names += (names.empty() ? "--" : " --") + name;
        }
    }
    return names;
}

} // namespace

std::string bashCompletion(const CLI::App& tool) {
    std::ostringstream script;
    std::string commands;
    for (const CLI::App* command : tool.get_subcommands({})) {
        commands += (commands.empty() ? "" : " ") + command->get_name();
    }
    script << "# bash completion of axolite-cli (made from the tool's own table of options)\n"
           << "_axolite_cli() {\n"
           << "    local cur=${COMP_WORDS[COMP_CWORD]} command=\"\" i\n"
           << "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           << "        case ${COMP_WORDS[i]} in -*) ;; *) command=${COMP_WORDS[i]}; break ;; esac\n"
           << "    done\n"
           << "    local options\n"
           << "    case $command in\n"
           << "    \"\") options=\"" << optionNames(tool) << "\"\n"
           << "        if [[ $cur != -* ]]; then\n"
           << "            COMPREPLY=($(compgen -W \"" << commands << "\" -- \"$cur\"))\n"
           << "            return\n"
           << "        fi ;;\n";
    for (const CLI::App* command : tool.get_subcommands({})) {
        script << "    " << command->get_name() << ") options=\"" << optionNames(*command)
               << "\" ;;\n";
    }
    script << "    esac\n"
           << "    if [[ $cur == -* ]]; then\n"
           << "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           << "    else\n"
           << "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           << "    fi\n"
           << "}\n"
           << "complete -o filenames -F _axolite_cli axolite-cli\n";
    return script.str();
}

} // namespace axolite::cli::manual
