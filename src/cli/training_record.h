// The experiment record of a training run written by `train --record`, the start network of
// `--from-record`, and `axolite-cli replay`, which runs a record again and names what differs.
#pragma once

#include "cli/train_command.h"

#include "core/training/network_loading.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

namespace axolite::cli {

// Writes the record of the run through the safe writer; false (the failure shown) when it could
// not be written.
bool writeTrainingRecord(const std::string& path, const TrainOptions& options,
                         const TrainingRun& run, const std::function<void(const Message&)>& show);

// The final network of the record at path, for --from-record. TrainUsageError when the record
// cannot be read.
training::LoadedNetwork recordFinalNetwork(const std::string& path);

void addReplayCommand(CLI::App& app, int& status); // replay

} // namespace axolite::cli
