// `axolite-cli train`: forms a layered network, trains it on pattern files with one of the four
// methods, prints the status and the results list of the page "Работа сети", investigates the
// trained network on given inputs and writes it as a network description.
#include "cli/commands.h"
#include "cli/input_streams.h"

#include "core/common/number_text.h"
#include "core/training/network_description.h"
#include "core/training/network_trainer.h"
#include "core/training/pattern_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>

#ifdef AXOLITE_CLI_PLOT
#include "cli/headless_gui.h"
#include "render/training_curve_painter.h"
#endif

#include <cmath>
#include <functional>
#include <iostream>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace axolite::cli {

namespace {

using training::TransferCode;

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
};

const std::map<std::string, TransferCode> kKinds = {{"linear", TransferCode::Linear},
                                                    {"step", TransferCode::Step},
                                                    {"sigmoid", TransferCode::Sigmoid},
                                                    {"gaussian", TransferCode::Gaussian}};

const std::map<std::string, training::TrainingMethod> kMethods = {
    {"online", training::TrainingMethod::BackPropagationOnline},
    {"randomized", training::TrainingMethod::BackPropagationRandomized},
    {"hebbian", training::TrainingMethod::Hebbian},
    {"competitive", training::TrainingMethod::Competitive}};

class UsageFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

int wholeNumber(const std::string& text, int low, int high, const std::string& what) {
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < low || value > high) {
        throw UsageFailure(what + ": expected a whole number from " + std::to_string(low) + " to " +
                           std::to_string(high) + ", got '" + text + "'");
    }
    return value;
}

// A count typed into a field of the dialog: its whole number, 0 when the text holds none (the
// training command then refuses it with its own message).
int fieldNumber(const std::string& text) {
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

// "N" or "N:kind".
void parseLayer(const std::string& text, int& neurons, TransferCode& kind,
                const std::string& what) {
    const std::size_t colon = text.find(':');
    neurons = wholeNumber(text.substr(0, colon), 1, training::kMaxLayerNeurons, what);
    if (colon != std::string::npos) {
        const auto found = kKinds.find(text.substr(colon + 1));
        if (found == kKinds.end()) {
            throw UsageFailure(what + ": unknown transfer function '" + text.substr(colon + 1) +
                               "' (linear, step, sigmoid, gaussian)");
        }
        kind = found->second;
    }
}

training::LayerConfiguration configurationOf(const TrainOptions& options) {
    training::LayerConfiguration c;
    parseLayer(options.inputLayer, c.inputNeurons, c.inputTransfer, "--input-layer");
    parseLayer(options.outputLayer, c.outputNeurons, c.outputTransfer, "--output-layer");
    if (options.hiddenKind == "linear") {
        c.hiddenTransfer = TransferCode::Linear;
    } else if (options.hiddenKind == "sigmoid") {
        c.hiddenTransfer = TransferCode::Sigmoid;
    } else {
        throw UsageFailure("--hidden-kind: linear or sigmoid, got '" + options.hiddenKind + "'");
    }
    c.hiddenLayers = 0;
    if (!options.hidden.empty()) {
        std::stringstream list(options.hidden);
        std::string item;
        while (std::getline(list, item, ',')) {
            if (c.hiddenLayers == training::kMaxHiddenLayers) {
                throw UsageFailure("--hidden: at most 10 hidden layers");
            }
            const std::size_t slash = item.find('/');
            const int h = c.hiddenLayers++;
            c.hiddenNeurons[h] =
                wholeNumber(item.substr(0, slash), 1, training::kMaxLayerNeurons, "--hidden");
            // The ensemble count is checked by the training command itself (competitive method).
            c.hiddenEnsembles[h] =
                slash == std::string::npos
                    ? 1
                    : wholeNumber(item.substr(slash + 1), 0, training::kMaxLayerNeurons,
                                  "--hidden ensembles");
        }
    }
    return c;
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
            throw UsageFailure("--probe: not a number in '" + text + "'");
        }
        values.push_back(value);
        cursor += used;
    }
    return values;
}

const char* markerName(training::RowMarker marker) {
    switch (marker) {
    case training::RowMarker::Violet:
        return "violet";
    case training::RowMarker::Yellow:
        return "yellow";
    case training::RowMarker::None:
        break;
    }
    return "none";
}

const char* markerText(training::RowMarker marker) {
    switch (marker) {
    case training::RowMarker::Violet:
        return "фиолетовый";
    case training::RowMarker::Yellow:
        return "желтый";
    case training::RowMarker::None:
        break;
    }
    return "-";
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

std::string joined(const std::vector<float>& values, const char* format) {
    std::string text;
    for (float v : values) {
        text += axolite::formatNumber(format, static_cast<double>(v));
    }
    return text;
}

// Pattern files given as "-" or as pipes are read here, once each (input and target may be the
// same stream), as far as the reader would read them: P rows of the widest layer.
bool readPatternStreams(training::TrainingParameters& parameters) {
    const std::size_t rows =
        static_cast<std::size_t>(std::clamp(parameters.patterns, 1, training::kMaxTrainingCount));
    const std::size_t values = rows * training::kMaxLayerNeurons;
    const bool targetUsed =
        parameters.method == training::TrainingMethod::BackPropagationOnline ||
        parameters.method == training::TrainingMethod::BackPropagationRandomized;
    auto read = [&](const std::string& path, std::optional<std::string>& text) {
        if (path.empty() || !isStreamPath(path)) {
            return true;
        }
        text = readPatternStream(path, values);
        if (!text) {
            std::cerr << training::patternFileMissingText(path) << '\n';
        }
        return text.has_value();
    };
    if (!read(parameters.inputFile, parameters.inputText)) {
        return false;
    }
    if (!targetUsed) {
        return true;
    }
    if (parameters.targetFile == parameters.inputFile && parameters.inputText) {
        parameters.targetText = parameters.inputText;
        return true;
    }
    return read(parameters.targetFile, parameters.targetText);
}

// Draws the norm of every iteration into a PNG or SVG file; false when it could not be written.
bool writeCurve(const TrainOptions& options, const std::vector<float>& norms,
                const std::vector<double>& errors, int iterations,
                const std::function<void(const Message&)>& show) {
#ifdef AXOLITE_CLI_PLOT
    training_ui::TrainingCurve curve;
    curve.norms = norms;
    curve.errors = errors;
    curve.iterations = iterations;
    curve.logScale = options.curveLog;
    const HeadlessGui gui;
    const auto failure =
        training_ui::writeTrainingCurve(QString::fromStdString(options.curve), curve);
    if (!failure) {
        return true;
    }
    show(platform::fileWriteMessage(*failure));
#else
    (void)norms;
    (void)errors;
    (void)iterations;
    show(Message{MessageKind::Error,
                 "--curve: this build has no painter (built without the desktop program) for " +
                     options.curve});
#endif
    return false;
}

// What a run trains: the layers, the parameters with the pattern streams read, the probes.
struct TrainingRequest {
    training::LayerConfiguration configuration;
    training::TrainingParameters parameters;
    std::vector<std::vector<float>> probes;
};

// The request of the options; nothing when they are not valid (the usage failure is printed).
std::optional<TrainingRequest> requestOf(const TrainOptions& options) {
    TrainingRequest request;
    try {
        request.configuration = configurationOf(options);
        const auto method = kMethods.find(options.method);
        if (method == kMethods.end()) {
            throw UsageFailure("--method: online, randomized, hebbian or competitive");
        }
        request.parameters.method = method->second;
        if (options.localMinimum != "stop" && options.localMinimum != "continue" &&
            options.localMinimum != "off") {
            throw UsageFailure("--local-minimum: stop, continue or off");
        }
        for (const std::string& probe : options.probes) {
            request.probes.push_back(probeValues(probe));
        }
    } catch (const UsageFailure& failure) {
        std::cerr << failure.what() << '\n';
        return std::nullopt;
    }
    training::TrainingParameters& parameters = request.parameters;
    parameters.patterns = fieldNumber(options.patterns);
    parameters.iterations = fieldNumber(options.iterations);
    parameters.inputFile = options.input;
    parameters.targetFile = options.target;
    if (!readPatternStreams(parameters)) {
        return std::nullopt;
    }
    parameters.learningRate = options.rate;
    parameters.stopAtLocalMinimum = options.localMinimum != "off";
    parameters.meanSquaredError = options.meanSquaredError;
    return request;
}

// The messages of a run: printed as they come, or gathered for the JSON object.
class MessageSink {
public:
    explicit MessageSink(bool json) : json_(json) {}

    void show(const Message& message) {
        if (json_) {
            messages_.push_back({{"icon", messageKindName(message.kind)}, {"text", message.text}});
        } else {
            std::cout << message.text << '\n';
        }
    }
    const nlohmann::json& messages() const { return messages_; }

    // A run refused before it trained: with --json, an object holding the messages alone.
    int refused() const {
        if (json_) {
            nlohmann::ordered_json json;
            json["messages"] = messages_;
            std::cout << json.dump(1) << '\n';
        }
        return Refused;
    }

private:
    bool json_;
    nlohmann::json messages_ = nlohmann::json::array();
};

// The norm and the mean squared error of every iteration, as the trainer reports them.
struct TrainingSeries {
    std::vector<float> norms;
    std::vector<double> errors;
};

training::TrainingCallbacks callbacksOf(const TrainOptions& options, MessageSink& sink,
                                        TrainingSeries& series) {
    training::TrainingCallbacks callbacks;
    callbacks.notify = [&sink](const Message& message) { sink.show(message); };
    const bool answerYes = options.localMinimum == "stop";
    const bool json = options.json;
    callbacks.askStopAtLocalMinimum = [&sink, answerYes, json] {
        sink.show(Message{MessageKind::Question, training::localMinimumQuestion()});
        if (!json) {
            std::cout << (answerYes ? "Да" : "Нет") << '\n';
        }
        return answerYes;
    };
    callbacks.normComputed = [&series](int iteration, float norm) {
        series.norms.resize(static_cast<std::size_t>(iteration) + 1);
        series.norms.back() = norm;
    };
    callbacks.errorComputed = [&series](int iteration, double error) {
        series.errors.resize(static_cast<std::size_t>(iteration) + 1);
        series.errors.back() = error;
    };
    return callbacks;
}

// Writes the description (--write-net) and the curve (--curve) of a finished run; false when one
// of them was not written.
bool writeResults(const TrainOptions& options, const training::NetworkTrainer& trainer,
                  const training::TrainingOutcome& outcome, const TrainingSeries& series,
                  int iterations, MessageSink& sink) {
    const auto show = [&sink](const Message& message) { sink.show(message); };
    bool written = true;
    if (!options.writeNet.empty()) {
        if (outcome.interrupted) {
            show(Message{MessageKind::Error,
                         "Обучение прервано: файл описания нейронной сети не записан."});
            written = false;
        } else {
            try {
                training::writeDescription(trainer.network(), options.writeNet);
            } catch (const AxoliteError& failure) {
                show(failure.message());
                written = false;
            }
        }
    }
    if (!options.curve.empty() &&
        !writeCurve(options, series.norms, series.errors, iterations, show)) {
        written = false;
    }
    return written;
}

void printJson(const TrainOptions& options, const TrainingRequest& request,
               const training::NetworkTrainer& trainer, const training::TrainingOutcome& outcome,
               const TrainingSeries& series, const MessageSink& sink) {
    const training::TrainingStatus& status = trainer.status();
    nlohmann::ordered_json json;
    json["method"] = training::trainingMethodName(request.parameters.method);
    json["iterations_done"] = status.lastIteration + 1;
    json["last_pattern"] = status.lastPattern;
    json["norm"] = status.norm && std::isfinite(*status.norm)
                       ? nlohmann::json(static_cast<double>(*status.norm))
                       : nlohmann::json(nullptr);
    json["norm_text"] = status.normText;
    if (options.meanSquaredError) {
        json["mse"] =
            series.errors.empty() ? nlohmann::json(nullptr) : nlohmann::json(series.errors.back());
        json["mse_per_iteration"] = series.errors;
    }
    json["percent"] = status.percent;
    json["interrupted"] = outcome.interrupted;
    json["stopped_at_local_minimum"] = outcome.stoppedAtLocalMinimum;
    nlohmann::json rows = nlohmann::json::array();
    for (const training::ResultRow& row : trainer.rows()) {
        rows.push_back({{"input", numbers(row.input)},
                        {"target", numbers(row.target)},
                        {"response", numbers(row.response)},
                        {"error", numbers(row.error)},
                        {"marker", markerName(row.marker)}});
    }
    json["rows"] = std::move(rows);
    nlohmann::json probeList = nlohmann::json::array();
    for (const auto& probe : request.probes) {
        probeList.push_back(
            {{"input", numbers(probe)},
             {"response", numbers(training::investigate(trainer.network(), probe))}});
    }
    json["probes"] = std::move(probeList);
    json["messages"] = sink.messages();
    std::cout << json.dump(1) << '\n';
}

void printText(const TrainOptions& options, const TrainingRequest& request,
               const training::NetworkTrainer& trainer, const TrainingSeries& series) {
    const training::TrainingStatus& status = trainer.status();
    std::cout << "Образ : " << (status.lastPattern >= 0 ? std::to_string(status.lastPattern) : "")
              << '\n';
    std::cout << "Итерация обучения : "
              << (status.lastIteration >= 0 ? std::to_string(status.lastIteration) : "") << '\n';
    std::cout << "Норма : " << status.normText << '\n';
    if (options.meanSquaredError && !series.errors.empty()) {
        std::cout << "Среднеквадратичная ошибка : "
                  << axolite::formatNumber("%g", series.errors.back()) << '\n';
    }
    std::cout << '\n' << "Маркер\tВходной образ\tВыходной образ\tОтклик сети\tПогрешность\n";
    for (const training::ResultRow& row : trainer.rows()) {
        std::cout << markerText(row.marker) << '\t' << training::inputColumnText(row) << '\t'
                  << training::targetColumnText(row) << '\t' << training::responseColumnText(row)
                  << '\t' << training::errorColumnText(row) << '\n';
    }
    for (const auto& probe : request.probes) {
        std::cout << "\nВходной образ :" << joined(probe, " %g") << '\n'
                  << "Выходной образ :"
                  << joined(training::investigate(trainer.network(), probe), "  %g") << '\n';
    }
}

int runTraining(const TrainOptions& options) {
    const std::optional<TrainingRequest> request = requestOf(options);
    if (!request) {
        return UsageError;
    }
    MessageSink sink(options.json);
    TrainingSeries series;
    training::NetworkTrainer trainer(options.seed);
    training::TrainingOutcome outcome;
    try {
        outcome = trainer.train(request->configuration, request->parameters,
                                callbacksOf(options, sink, series));
    } catch (const AxoliteError& refusal) {
        sink.show(refusal.message());
        return sink.refused();
    } catch (const std::exception&) { // the pattern tables could not be allocated
        sink.show(Message{MessageKind::Error, "Недостаточно памяти для обучения нейронной сети."});
        return sink.refused();
    }
    const bool written =
        writeResults(options, trainer, outcome, series, request->parameters.iterations, sink);
    if (options.json) {
        printJson(options, *request, trainer, outcome, series, sink);
    } else {
        printText(options, *request, trainer, series);
    }
    return outcome.refusal || !written ? Refused : Done;
}

} // namespace

void addTrainCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<TrainOptions>();
    CLI::App* command =
        app.add_subcommand("train", "Form and train a layered network on pattern files");
    command->add_option("--input", options->input, "Input pattern file (.ptn)");
    command->add_option("--target", options->target,
                        "Target pattern file (.ptn), for the back-propagation methods");
    command->add_option("--patterns", options->patterns, "Number of patterns P")->required();
    command->add_option("--input-layer", options->inputLayer,
                        "Input layer: N[:linear|step|sigmoid|gaussian]");
    command->add_option("--hidden", options->hidden,
                        "Hidden layers: \"n/e,n/e,...\" (neurons/ensembles, ensembles default 1)");
    command->add_option("--hidden-kind", options->hiddenKind, "Hidden layers: linear or sigmoid");
    command->add_option("--output-layer", options->outputLayer,
                        "Output layer: N[:linear|step|sigmoid|gaussian]");
    command->add_option("--method", options->method, "online, randomized, hebbian or competitive");
    command->add_option("--iterations", options->iterations, "Number of iterations T")->required();
    command->add_option("--rate", options->rate, "Learning rate");
    command->add_option("--local-minimum", options->localMinimum,
                        "At a local minimum: stop (Yes), continue (No) or off (no question)");
    command->add_option("--seed", options->seed,
                        "Seed of the generator (default: the current time in seconds)");
    command->add_option("--probe", options->probes,
                        "Investigate the trained network on these inputs (repeatable)");
    command->add_option("--write-net", options->writeNet,
                        "Write the trained network as a description and its .neu files");
    command->add_option("--curve", options->curve,
                        "Draw the norm of every iteration into this PNG or SVG file");
    command->add_flag("--curve-log", options->curveLog, "Draw the curve on a log scale");
    command->add_flag("--mse", options->meanSquaredError,
                      "After every iteration, the mean squared error over all patterns (a "
                      "forward pass of its own; drawn on the curve)");
    command->add_flag("--json", options->json, "Print one JSON object");
    command->callback([options, &status] { status = runTraining(*options); });
}

} // namespace axolite::cli
