// `axolite-cli train`: its options, and the forming and training of the network they describe,
// for callers that report in their own way.
#pragma once

#include "core/common/message.h"
#include "core/common/progress.h"
#include "core/training/network_loading.h"
#include "core/training/network_trainer.h"
#include "core/training/training_lint.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace axolite::cli {

struct TrainOptions {
    std::string input;
    std::string target;
    std::string patterns = "1";
    std::string inputLayer = "1";
    std::string hidden;
    std::string hiddenKind = "sigmoid";
    std::string outputLayer = "1";
    std::string method = "online";
    std::string iterations = "200";
    std::string rate = "0.25";
    std::string localMinimum = "stop";
    std::optional<std::uint32_t> seed;
    std::vector<std::string> probes;
    std::string writeNet;
    std::string curve;
    bool curveLog = false;
    bool meanSquaredError = false;
    bool json = false;
    std::string fromNet;    // continue from this description (its layers replace the options')
    std::string fromRecord; // continue, exactly, from the final weights of this record
    std::string record;     // write the experiment record here
    std::vector<std::string> compare; // "key=v1,v2,...": axes of a comparison of runs
    int seeds = 0;                    // a seed sweep of this many seeds per variant
    bool lint = false;                // the training lint's warnings after the results
    std::optional<int> branchFrom;    // then a branch from this kept iteration of the history
    std::string branch;               // "key=value,...": the branch's changed settings
};

// An option of `train` that cannot be read; the text names the option.
class TrainUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One training: what the options asked for and what the trainer did.
struct TrainingRun {
    explicit TrainingRun(std::optional<std::uint32_t> seed) : trainer(seed) {}

    training::LayerConfiguration configuration;
    training::TrainingParameters parameters;
    std::vector<std::vector<float>> probes;
    training::NetworkTrainer trainer;
    training::TrainingOutcome outcome;
    std::vector<float> norms;      // the norm of every iteration
    std::vector<double> errors;    // the mean squared error of every iteration (--mse)
    training::TrainingTrace trace; // what the lint observes inside the run (--lint)
};

struct TrainingHooks {
    std::function<void(const Message&)> show; // every message as it comes
    std::function<void(bool yes)> answered;   // the answer given to the local-minimum question
    Progress* progress = nullptr;
    training::TrainingHistory* history = nullptr; // kept when given
};

// The configuration, parameters and probes of the options, and the start network of --from-net
// or --from-record. TrainUsageError when one cannot be read.
void readTrainOptions(const TrainOptions& options, TrainingRun& run);

// Makes the run continue from the network: its layers replace the options' (which must then
// leave the layers at their defaults; --hidden may give the ensembles, with the network's sizes).
// TrainUsageError otherwise.
void continueFrom(const TrainOptions& options, TrainingRun& run, training::LoadedNetwork loaded);

// Forms and trains the network. AxoliteError when the training refuses to start.
void trainNetwork(const TrainOptions& options, TrainingRun& run, const TrainingHooks& hooks);

// method, iterations_done, last_pattern, norm, norm_text, (mse, mse_per_iteration), percent,
// interrupted, stopped_at_local_minimum, rows, probes, (lint).
nlohmann::ordered_json trainingJson(const TrainOptions& options, const TrainingRun& run);

// Pattern files given as "-" or as pipes, read into the parameters' texts once each; false after
// the message when one cannot be read.
bool readPatternStreams(training::TrainingParameters& parameters);

// The status, the results list, the probes and (--lint) the lint's warnings, as text.
void printTrainingText(const TrainOptions& options, const TrainingRun& run);

// The hooks of a run on the console: messages printed, or gathered into messages for --json,
// and the answer to the local-minimum question printed. options and messages outlive the hooks.
TrainingHooks consoleHooks(const TrainOptions& options, nlohmann::json& messages);
// A refused run: its message shown and, for --json, the messages printed; Refused.
int reportRefusal(const TrainOptions& options, const TrainingHooks& hooks, const Message& message,
                  const nlohmann::json& messages);

// The training lint's warnings about the run.
std::vector<training::LintWarning> lintWarnings(const TrainingRun& run);

} // namespace axolite::cli
