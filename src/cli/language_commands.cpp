// Placeholder until the command lands.
#include "commands.h"

namespace axolite::cli {

void addLanguageCommands(CLI::App& /*app*/, int& /*status*/) {}

} // namespace axolite::cli
