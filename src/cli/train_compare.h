// `axolite-cli train --compare ... [--seeds N]`: variants of the settings run side by side from
// the same initial weights, listed, drawn and summarised as JSON.
#pragma once

#include "cli/train_command.h"

#ifdef AXOLITE_CLI_PLOT
#include "render/training_curve_painter.h"
#endif

namespace axolite::cli {

// Runs the comparison the options ask for; the exit status.
int runTrainComparison(const TrainOptions& options);

#ifdef AXOLITE_CLI_PLOT
// Draws the curves (each from its first iteration) over iterations 0 … iterations − 1 into the
// PNG or SVG file; false after the message when it could not be written.
bool drawComparison(const std::string& path, int iterations,
                    const std::vector<training_ui::ComparedCurve>& curves, bool logScale);
#endif

} // namespace axolite::cli
