// Training runs side by side: variants of the settings from the same initial weights (the same
// seed), and seed sweeps summarised as a mean curve with a band of one standard deviation. The
// runs are independent and are spread over several threads.
#pragma once

#include "core/training/network_trainer.h"

#include <atomic>
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
    bool interrupted = false;           // stopped before its last iteration, or never started
    LayeredNetwork initialNetwork;
    LayeredNetwork finalNetwork;
};

// What a comparison running on other threads shares with its caller: the stop request and the
// progress. A stop takes effect after the iteration each run has in hand; the runs not started
// yet are not started (their results are marked interrupted).
struct ComparisonControl {
    std::atomic<bool> stop{false};
    std::atomic<long long> iterationsDone{0}; // over all runs; a run ended counts all its own
    std::atomic<int> runsDone{0};
};

// The iterations of all the runs, the whole of which iterationsDone reaches at the end.
long long totalIterations(const std::vector<ComparedRun>& runs);

// Runs every run with its own trainer (its own generator, seeded with the run's seed, so equal
// seeds start from bit-identical weights); the mean squared error is computed after every
// iteration. The local-minimum question is answered No. Up to `threads` runs at a time; the
// results are in the order of the runs and do not depend on the number of threads.
std::vector<ComparedResult> runComparison(const LayerConfiguration& configuration,
                                          const std::vector<ComparedRun>& runs, int threads = 1,
                                          ComparisonControl* control = nullptr);

// The mean and the standard deviation (of the population) of curves at every index, over the
// curves long enough to have it.
struct MeanCurve {
    std::vector<double> mean;
    std::vector<double> deviation;
};
MeanCurve meanCurve(const std::vector<std::vector<double>>& curves);

// A variant of the settings: its label, its parameters and the first seed of its runs.
struct ComparedVariant {
    std::string label;
    TrainingParameters parameters;
    std::uint32_t seed = 1;
};

// The runs of the variants: every variant with `seeds` consecutive seeds from its own, variant
// after variant.
std::vector<ComparedRun> sweepRuns(const std::vector<ComparedVariant>& variants, int seeds);

// A variant's curves over its runs (as sweepRuns ordered them): the mean error and the mean norm
// by iteration with their deviations, and their names in the legend ("Ошибка" for a variant
// without a label; a sweep's names say over how many runs). A norm's curve is empty when no run
// of the variant had one.
struct VariantCurves {
    std::string errorName;
    std::string normName;
    MeanCurve errors;
    MeanCurve norms;
};
std::vector<VariantCurves> variantCurves(const std::vector<ComparedVariant>& variants, int seeds,
                                         const std::vector<ComparedResult>& results);

// "<method>, η=<rate>" and ", <seed>" when with a seed (the method by its distinguishing word:
// "online", "randomized", "Hebbian", "competitive"): how a variant set on the desktop is named.
std::string variantLabel(const TrainingParameters& parameters, std::optional<std::uint32_t> seed);

} // namespace axolite::training
