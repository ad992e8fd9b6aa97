// `axolite-cli train`: its options, and the forming and training of the network they describe,
// for callers that report in their own way.
#pragma once

#include "core/common/message.h"
#include "core/common/progress.h"
#include "core/training/network_loading.h"
#include "core/training/network_trainer.h"
#include "core/training/training_lint.h"
#include "core/training/training_run.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace axolite::cli {

// The settings a record keeps, and what only the tool does with a run.
struct TrainOptions : training::RunSettings {
    std::optional<std::uint32_t> seed;
    std::string writeNet;
    std::string curve;
    bool curveLog = false;
    bool json = false;
    std::string record;               // write the experiment record here
    std::vector<std::string> compare; // "key=v1,v2,...": axes of a comparison of runs
    int seeds = 0;                    // a seed sweep of this many seeds per variant
    std::optional<int> branchFrom;    // then a branch from this kept iteration of the history
    std::string branch;               // "key=value,...": the branch's changed settings
};

// An option of `train` that cannot be read; the text names the option.
class TrainUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using training::lintWarnings;
using training::TrainingRun;

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

// The results of the run as JSON (training::resultsJson).
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

} // namespace axolite::cli
