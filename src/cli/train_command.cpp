// Placeholder until the command lands.
#include "commands.h"

namespace axolite::cli {

void addTrainCommand(CLI::App& /*app*/, int& /*status*/) {}

} // namespace axolite::cli
