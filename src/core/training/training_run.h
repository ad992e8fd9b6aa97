// One training run as the experiment record sees it: its settings as texts (the tool's options
// and the dialog's fields map to them), what the trainer did, and the results as JSON.
#pragma once

#include "core/training/network_trainer.h"
#include "core/training/training_lint.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace axolite::training {

// Settings that cannot be read; the text names the setting as the tool's option
// ("--input-layer: ...").
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The settings of a run, as typed.
struct RunSettings {
    std::string input;  // input pattern file
    std::string target; // target pattern file (back-propagation)
    std::string patterns = "1";
    std::string inputLayer = "1";       // "N" or "N:kind" (linear, step, sigmoid, gaussian)
    std::string hidden;                 // "n/e,n/e,...": neurons and ensembles of each layer
    std::string hiddenKind = "sigmoid"; // linear or sigmoid
    std::string outputLayer = "1";      // as inputLayer
    std::string method = "online";      // online, randomized, hebbian, competitive
    std::string iterations = "200";
    std::string rate = "0.25";
    std::string localMinimum = "stop"; // stop (Yes), continue (No), off (no question)
    bool meanSquaredError = false;     // the results hold the error of every iteration
    std::vector<std::string> probes;   // inputs the trained network is investigated on
    std::string fromNet;               // the run continued the network of this description
    std::string fromRecord;            // the run continued the final network of this record
    bool lint = false;                 // the results hold the lint's warnings
};

// One training: what the settings asked for and what the trainer did.
struct TrainingRun {
    explicit TrainingRun(std::optional<std::uint32_t> seed) : trainer(seed) {}

    LayerConfiguration configuration;
    TrainingParameters parameters;
    std::vector<std::vector<float>> probes;
    NetworkTrainer trainer;
    TrainingOutcome outcome;
    std::vector<float> norms;   // the norm of every iteration
    std::vector<double> errors; // the mean squared error of every iteration, when computed
    TrainingTrace trace;        // what the lint observes inside the run
};

// The layers of the settings. SettingsError when a text cannot be read.
LayerConfiguration settingsConfiguration(const RunSettings& settings);
// The settings' layer texts of a configuration (the inverse of settingsConfiguration).
void setLayerTexts(const LayerConfiguration& configuration, RunSettings& settings);

// "linear", "step", "sigmoid", "gaussian".
const char* transferKey(TransferCode code);

// "online", "randomized", "hebbian", "competitive", and back; none for another name.
const char* methodKey(TrainingMethod method);
std::optional<TrainingMethod> methodOfKey(const std::string& key);

// The values of a probe ("0.5, 1 2"). SettingsError when one is no number.
std::vector<float> probeValues(const std::string& text);

// The whole number a count's text holds, 0 when it holds none (the training then refuses it).
int countOfText(const std::string& text);

// The run's configuration, parameters and probes of the settings (not fromNet or fromRecord).
// SettingsError when one cannot be read.
void applySettings(const RunSettings& settings, TrainingRun& run);

// method, iterations_done, last_pattern, norm, norm_text, (mse, mse_per_iteration), percent,
// interrupted, stopped_at_local_minimum, rows, probes, (lint).
nlohmann::ordered_json resultsJson(const RunSettings& settings, const TrainingRun& run);

// The training lint's warnings about the run.
std::vector<LintWarning> lintWarnings(const TrainingRun& run);

} // namespace axolite::training
