// `axolite-cli train --compare ... [--seeds N]`: variants of the settings run side by side from
// the same initial weights, listed, drawn and summarised as JSON.
#pragma once

#include "cli/train_command.h"

namespace axolite::cli {

// Runs the comparison the options ask for; the exit status.
int runTrainComparison(const TrainOptions& options);

} // namespace axolite::cli
