// The training lint: after a run, the warnings a teacher would give about it, each with the
// iteration where it appeared and the help topic that says what to do.
//
// The rules and their thresholds (the constants in training_lint.cpp):
// - saturated-units (back-propagation): a sigmoid neuron of a hidden or the output layer whose
//   responses to the patterns lie within 0.02 of 0 or of 1 for more than 90 % of the patterns,
//   while the run has not learnt (the last error is above 0.01): its slope a × (1 − a) is almost
//   0 and it hardly learns. Judged on the trained network; reported at the last iteration.
// - competitive-never-won (competitive method): a neuron of a layer that won no competition in
//   the whole run. Reported at the last iteration.
// - hebbian-runaway (Hebbian update, both unsupervised methods): the weights into layer 1 grow
//   without bound: the first iteration in which their Euclidean norm passed 10 or in which a
//   weight passed 10 and the update halved them all.
// - oscillating-error (back-propagation): within 10 consecutive changes of the error at least 6
//   reversed direction (a rise after a fall or a fall after a rise), counting only changes of more
//   than 0.1 % of the error; reported at the iteration that completed the first such window.
// - growing-error (back-propagation): the error after iteration 3 (the fourth) is above the one
//   after iteration 0, or is no finite number by then; reported at the first of iterations 1 … 3
//   whose error is above iteration 0's.
// The error is the mean squared error of every iteration, or the norm where that was not
// computed; without either the two error rules are silent.
#pragma once

#include "core/training/network_trainer.h"

#include <string>
#include <vector>

namespace axolite::training {

struct LintWarning {
    std::string rule; // "saturated-units", "competitive-never-won", ...
    int iteration = 0; // where it appeared, counted from 0 as "Итерация обучения :" counts
    std::string text; // the warning, in Russian
    std::string help; // the help topic: "training-lint.html#<rule>"
};

// What a run shows only from inside: filled through the callbacks observeTraining sets.
struct TrainingTrace {
    // Per layer (index = layer), per neuron: the competitions it won.
    std::vector<std::vector<long long>> wins;
    // Per iteration of an unsupervised method: the norm of the weights into layer 1.
    std::vector<double> weightNorms;
    int firstHalving = -1; // the first iteration in which the Hebbian update halved the weights
};

// Sets the callbacks competed and weightsUpdated so that they fill the trace.
void observeTraining(TrainingCallbacks& callbacks, TrainingTrace& trace);

// The warnings about the trainer's last run, in the order of the rules above. norms and errors
// are those of every iteration (as normComputed and errorComputed reported them; either may be
// empty). Nothing for a run that did not get to an iteration.
std::vector<LintWarning> lintTraining(const NetworkTrainer& trainer,
                                      const std::vector<float>& norms,
                                      const std::vector<double>& errors,
                                      const TrainingTrace& trace);

} // namespace axolite::training
