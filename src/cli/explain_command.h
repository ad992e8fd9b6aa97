// `axolite-cli explain`: the explanation of one neuron's value at one step of a simulated run.
#pragma once

#include "cli/explanation_output.h"
#include "cli/run_command.h"

#include "core/simulation/explain.h"

#include <cstdint>

namespace axolite::cli {

// The value of neuron (from 1) at step of the run, explained. AxoliteError for a neuron or step
// outside the run.
simulation::Explanation explainRun(const RunContext& context, std::int64_t neuron,
                                   std::int64_t step);

} // namespace axolite::cli
