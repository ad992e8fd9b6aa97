// A simulated run held for Python: the tool's run context (record, check, simulation), shared by
// the handle and by every array that views its memory.
#pragma once

#include "cli/run_command.h"

#include <memory>

namespace axolite::python {

struct RunHandle {
    std::shared_ptr<const cli::RunContext> context;
    // The time the engine's stages took, without the GIL (the module's own cost is the rest).
    double engineSeconds = 0.0;
};

} // namespace axolite::python
