// `axolite-cli train --compare ... [--seeds N]`: variants of the settings run side by side from
// the same initial weights, listed, drawn and summarised as JSON.
#pragma once

#include "cli/train_command.h"

#include "cli/pictures.h"

namespace axolite::cli {

// Runs the comparison the options ask for; the exit status.
int runTrainComparison(const TrainOptions& options);

// Draws the curves (each from its first iteration) over iterations 0 … iterations − 1 into the
// PNG or SVG file; false after the message when it could not be written.
bool drawComparison(const std::string& path, int iterations, const std::vector<CurveLine>& curves,
                    bool logScale);

} // namespace axolite::cli
