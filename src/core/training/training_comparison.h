// Training runs side by side: variants of the settings from the same initial weights (the same
// seed), and seed sweeps summarised as a mean curve with a band of one standard deviation. The
// runs are independent and are spread over several threads.
#pragma once

#include "core/training/network_trainer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace axolite::training {

struct ComparedRun {
    std::string label; // as the legend shows it
    TrainingParameters parameters;
    std::uint32_t seed = 1;
};

struct ComparedResult {
    std::vector<float> norms;   // after every iteration, when the norm is available
    std::vector<double> errors; // the mean squared error after every iteration (back-propagation)
    std::optional<double> finalError;
    int iterations = 0; // iterations done
    double seconds = 0.0;
    std::optional<std::string> refusal; // the message when the run was refused
    LayeredNetwork initialNetwork;
    LayeredNetwork finalNetwork;
};

// Runs every run with its own trainer (its own generator, seeded with the run's seed, so equal
// seeds start from bit-identical weights); the mean squared error is computed after every
// iteration. The local-minimum question is answered No. Up to `threads` runs at a time; the
// results are in the order of the runs and do not depend on the number of threads.
std::vector<ComparedResult> runComparison(const LayerConfiguration& configuration,
                                          const std::vector<ComparedRun>& runs, int threads = 1);

// The mean and the standard deviation (of the population) of curves at every index, over the
// curves long enough to have it.
struct MeanCurve {
    std::vector<double> mean;
    std::vector<double> deviation;
};
MeanCurve meanCurve(const std::vector<std::vector<double>>& curves);

} // namespace axolite::training
