// Placeholder until the command lands.
#include "commands.h"

namespace axolite::cli {

void addRunCommand(CLI::App& /*app*/, int& /*status*/) {}

} // namespace axolite::cli
