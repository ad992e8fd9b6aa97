// The settings of a training run as texts, and its results as JSON.
#include "core/training/training_run.h"

#include "core/common/number_text.h"

#include <cmath>
#include <limits>
#include <map>
#include <sstream>

namespace axolite::training {

namespace {

const std::map<std::string, TransferCode> kKinds = {{"linear", TransferCode::Linear},
                                                    {"step", TransferCode::Step},
                                                    {"sigmoid", TransferCode::Sigmoid},
                                                    {"gaussian", TransferCode::Gaussian}};

constexpr const char* kMethodKeys[] = {"online", "randomized", "hebbian", "competitive"};

int wholeNumber(const std::string& text, int low, int high, const std::string& what) {
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < low || value > high) {
        throw SettingsError(what + ": expected a whole number from " + std::to_string(low) +
                            " to " + std::to_string(high) + ", got '" + text + "'");
    }
    return value;
}

// "N" or "N:kind".
void parseLayer(const std::string& text, int& neurons, TransferCode& kind,
                const std::string& what) {
    const std::size_t colon = text.find(':');
    neurons = wholeNumber(text.substr(0, colon), 1, kMaxLayerNeurons, what);
    if (colon != std::string::npos) {
        const auto found = kKinds.find(text.substr(colon + 1));
        if (found == kKinds.end()) {
            throw SettingsError(what + ": unknown transfer function '" + text.substr(colon + 1) +
                                "' (linear, step, sigmoid, gaussian)");
        }
        kind = found->second;
    }
}

std::string layerText(int neurons, TransferCode kind) {
    const std::string count = std::to_string(neurons);
    return kind == TransferCode::Linear ? count : count + ":" + transferKey(kind);
}

const char* markerName(RowMarker marker) {
    switch (marker) {
    case RowMarker::Violet:
        return "violet";
    case RowMarker::Yellow:
        return "yellow";
    case RowMarker::None:
        break;
    }
    return "none";
}

nlohmann::json numbers(const std::vector<float>& values) {
    nlohmann::json list = nlohmann::json::array();
    for (float v : values) {
        if (std::isfinite(v)) {
            list.push_back(static_cast<double>(v));
        } else {
            list.push_back(nullptr);
        }
    }
    return list;
}

} // namespace

LayerConfiguration settingsConfiguration(const RunSettings& settings) {
    LayerConfiguration c;
    parseLayer(settings.inputLayer, c.inputNeurons, c.inputTransfer, "--input-layer");
    parseLayer(settings.outputLayer, c.outputNeurons, c.outputTransfer, "--output-layer");
    if (settings.hiddenKind == "linear") {
        c.hiddenTransfer = TransferCode::Linear;
    } else if (settings.hiddenKind == "sigmoid") {
        c.hiddenTransfer = TransferCode::Sigmoid;
    } else {
        throw SettingsError("--hidden-kind: linear or sigmoid, got '" + settings.hiddenKind + "'");
    }
    c.hiddenLayers = 0;
    if (!settings.hidden.empty()) {
        std::stringstream list(settings.hidden);
        std::string item;
        while (std::getline(list, item, ',')) {
            if (c.hiddenLayers == kMaxHiddenLayers) {
                throw SettingsError("--hidden: at most 10 hidden layers");
            }
            const std::size_t slash = item.find('/');
            const int h = c.hiddenLayers++;
            c.hiddenNeurons[h] =
                wholeNumber(item.substr(0, slash), 1, kMaxLayerNeurons, "--hidden");
            // The ensemble count is checked by the training command itself (competitive method).
            c.hiddenEnsembles[h] = slash == std::string::npos
                                       ? 1
                                       : wholeNumber(item.substr(slash + 1), 0, kMaxLayerNeurons,
                                                     "--hidden ensembles");
        }
    }
    return c;
}

void setLayerTexts(const LayerConfiguration& c, RunSettings& settings) {
    settings.inputLayer = layerText(c.inputNeurons, c.inputTransfer);
    settings.outputLayer = layerText(c.outputNeurons, c.outputTransfer);
    settings.hiddenKind = c.hiddenTransfer == TransferCode::Linear ? "linear" : "sigmoid";
    settings.hidden.clear();
    for (int h = 0; h < c.hiddenLayers; ++h) {
        settings.hidden += (h == 0 ? "" : ",") + std::to_string(c.hiddenNeurons[h]) + "/" +
                           std::to_string(c.hiddenEnsembles[h]);
    }
}

const char* transferKey(TransferCode code) {
    for (const auto& [name, kind] : kKinds) {
        if (kind == code) {
            return name.c_str();
        }
    }
    return "linear";
}

const char* methodKey(TrainingMethod method) {
    return kMethodKeys[static_cast<int>(method)];
}

std::optional<TrainingMethod> methodOfKey(const std::string& key) {
    for (int m = 0; m < 4; ++m) {
        if (key == kMethodKeys[m]) {
            return static_cast<TrainingMethod>(m);
        }
    }
    return std::nullopt;
}

std::vector<float> probeValues(const std::string& text) {
    std::vector<float> values;
    const char* cursor = text.c_str();
    while (*cursor != '\0') {
        while (*cursor == ' ' || *cursor == '\t' || *cursor == ',') {
            ++cursor;
        }
        if (*cursor == '\0') {
            break;
        }
        float value = 0.0f;
        const std::size_t used = axolite::parseFloatPrefix(cursor, value);
        if (used == 0) {
            throw SettingsError("--probe: not a number in '" + text + "'");
        }
        values.push_back(value);
        cursor += used;
    }
    return values;
}

int countOfText(const std::string& text) {
    try {
        std::size_t used = 0;
        const long long value = std::stoll(text, &used);
        if (used != text.size() || value > std::numeric_limits<int>::max()) {
            return 0;
        }
        return value < std::numeric_limits<int>::min() ? 0 : static_cast<int>(value);
    } catch (const std::exception&) {
        return 0;
    }
}

void applySettings(const RunSettings& settings, TrainingRun& run) {
    run.configuration = settingsConfiguration(settings);
    const std::optional<TrainingMethod> method = methodOfKey(settings.method);
    if (!method) {
        throw SettingsError("--method: online, randomized, hebbian or competitive");
    }
    run.parameters.method = *method;
    if (settings.localMinimum != "stop" && settings.localMinimum != "continue" &&
        settings.localMinimum != "off") {
        throw SettingsError("--local-minimum: stop, continue or off");
    }
    for (const std::string& probe : settings.probes) {
        run.probes.push_back(probeValues(probe));
    }
    run.parameters.patterns = countOfText(settings.patterns);
    run.parameters.iterations = countOfText(settings.iterations);
    run.parameters.inputFile = settings.input;
    run.parameters.targetFile = settings.target;
    run.parameters.learningRate = settings.rate;
    run.parameters.stopAtLocalMinimum = settings.localMinimum != "off";
    run.parameters.meanSquaredError = settings.meanSquaredError;
}

nlohmann::ordered_json resultsJson(const RunSettings& settings, const TrainingRun& run) {
    const TrainingStatus& status = run.trainer.status();
    nlohmann::ordered_json json;
    json["method"] = trainingMethodName(run.parameters.method);
    json["iterations_done"] = status.lastIteration + 1;
    json["last_pattern"] = status.lastPattern;
    json["norm"] = status.norm && std::isfinite(*status.norm)
                       ? nlohmann::json(static_cast<double>(*status.norm))
                       : nlohmann::json(nullptr);
    json["norm_text"] = status.normText;
    if (settings.meanSquaredError) {
        json["mse"] =
            run.errors.empty() ? nlohmann::json(nullptr) : nlohmann::json(run.errors.back());
        json["mse_per_iteration"] = run.errors;
    }
    json["percent"] = status.percent;
    json["interrupted"] = run.outcome.interrupted;
    json["stopped_at_local_minimum"] = run.outcome.stoppedAtLocalMinimum;
    nlohmann::json rows = nlohmann::json::array();
    for (const ResultRow& row : run.trainer.rows()) {
        rows.push_back({{"input", numbers(row.input)},
                        {"target", numbers(row.target)},
                        {"response", numbers(row.response)},
                        {"error", numbers(row.error)},
                        {"marker", markerName(row.marker)}});
    }
    json["rows"] = std::move(rows);
    nlohmann::json probeList = nlohmann::json::array();
    for (const auto& probe : run.probes) {
        probeList.push_back({{"input", numbers(probe)},
                             {"response", numbers(investigate(run.trainer.network(), probe))}});
    }
    json["probes"] = std::move(probeList);
    if (settings.lint) {
        nlohmann::json lint = nlohmann::json::array();
        for (const LintWarning& warning : lintWarnings(run)) {
            lint.push_back({{"rule", warning.rule},
                            {"iteration", warning.iteration},
                            {"text", warning.text},
                            {"help", warning.help}});
        }
        json["lint"] = std::move(lint);
    }
    return json;
}

std::vector<LintWarning> lintWarnings(const TrainingRun& run) {
    return lintTraining(run.trainer, run.norms, run.errors, run.trace);
}

} // namespace axolite::training
