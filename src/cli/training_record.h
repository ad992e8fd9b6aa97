// The experiment record of a training run (`train --record`), and `axolite-cli replay`, which
// runs a record again and names what differs.
#pragma once

#include "cli/train_command.h"

#include "core/training/network_loading.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace axolite::cli {

// Weights and biases of every neuron, layer by layer, in full precision (every float exactly).
nlohmann::ordered_json networkJson(const training::LayeredNetwork& network);

// The network of networkJson with its layers (hidden layers of one ensemble each).
// TrainUsageError when it cannot be read.
training::LoadedNetwork networkFromJson(const nlohmann::json& json);

// The record of a finished run: program version, settings, seed, pattern files with their
// SHA-256, initial and final networks, the norm and error of every iteration, the results.
nlohmann::ordered_json trainingRecord(const TrainOptions& options, const TrainingRun& run);

// Writes the record of the run through the safe writer; false (the failure shown) when it could
// not be written.
bool writeTrainingRecord(const std::string& path, const TrainOptions& options,
                         const TrainingRun& run, const std::function<void(const Message&)>& show);

// The SHA-256 of a file's bytes (hexadecimal), none when it cannot be read.
std::optional<std::string> fileSha256(const std::filesystem::path& path);

// The final network of the record at path, for --from-record. TrainUsageError when the record
// cannot be read.
training::LoadedNetwork recordFinalNetwork(const std::string& path);

// What differs between a record and the record of its replay, one line each; empty when
// identical.
std::vector<std::string> recordDifferences(const nlohmann::json& recorded,
                                           const nlohmann::json& replayed);

void addReplayCommand(CLI::App& app, int& status); // replay

} // namespace axolite::cli
