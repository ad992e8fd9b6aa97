// `axolite-cli train ... --branch-from K [--branch 'key=value,...']`: the run with its history,
// then a branch from its kept iteration K with the settings changed as listed; both runs'
// results, the history's stride and memory, and both curves.
#pragma once

#include "cli/train_command.h"

namespace CLI {
class App;
}

namespace axolite::cli {

// --branch-from and --branch on the train command.
void addBranchOptions(CLI::App& command, TrainOptions& options);

// Runs the training and its branch; the exit status.
int runTrainBranch(const TrainOptions& options);

} // namespace axolite::cli
