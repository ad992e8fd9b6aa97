// The training command and its four methods.
#include "core/training/network_trainer.h"

#include "core/common/number_text.h"
#include "core/training/packed_network.h"

#include <algorithm>
#include <cmath>

namespace axolite::training {

const char* trainingMethodName(TrainingMethod method) {
    switch (method) {
    case TrainingMethod::BackPropagationOnline:
        return "Back propagation online";
    case TrainingMethod::BackPropagationRandomized:
        return "Back propagation randomized";
    case TrainingMethod::Hebbian:
        return "Hebbian rule method";
    case TrainingMethod::Competitive:
        return "Competitive method";
    }
    return "";
}

std::string localMinimumQuestion() {
    return "Достигнут локальный минимум. Остановить \nпроцесс обучения нейронной сети?";
}

namespace {

constexpr const char* kNormUnavailable = "Недоступна";
// Pending events are let through this often within an iteration, so that a long iteration
// keeps the window alive; "Прервать " still takes effect only after the iteration.
constexpr int kPresentationsPerPoll = 1024;

bool isBackPropagation(TrainingMethod method) {
    return method == TrainingMethod::BackPropagationOnline ||
           method == TrainingMethod::BackPropagationRandomized;
}

std::string joined(const std::vector<float>& values, const char* format) {
    std::string text;
    for (float value : values) {
        text += formatNumber(format, static_cast<double>(value));
    }
    return text;
}

void emit(TrainingCallbacks& callbacks, TrainingOutcome& outcome, const Message& message) {
    outcome.warnings.push_back(message);
    if (callbacks.notify) {
        callbacks.notify(message);
    }
}

// Lets pending events through and answers whether "Прервать " has been pressed.
bool endOfIterationCancels(TrainingCallbacks& callbacks) {
    if (callbacks.progress == nullptr) {
        return false;
    }
    callbacks.progress->poll();
    return callbacks.progress->cancelRequested();
}

void pollWithinIteration(TrainingCallbacks& callbacks, int presentation) {
    if (callbacks.progress != nullptr &&
        presentation % kPresentationsPerPoll == kPresentationsPerPoll - 1) {
        callbacks.progress->poll();
    }
}

int iterationPercent(int iteration, int iterations) {
    return static_cast<int>(static_cast<long long>(iteration) * 100 / iterations);
}

// The patterns of one role: from the text already read when there is one, else from the file.
PatternReadResult readPatterns(const std::string& file, const std::optional<std::string>& text,
                               int patterns, int width, PatternRole role) {
    return text ? readPatternText(*text, patterns, width, role)
                : readPatternFile(file, patterns, width, role);
}

// A start network must have the configuration's layers: their sizes and transfer functions.
void requireSameLayers(const LayeredNetwork& network, const LayerConfiguration& configuration) {
    const std::vector<int> sizes = layerSizes(configuration);
    const LayeredNetwork shape = [&] {
        RandomSource unused(0);
        return LayeredNetwork::build(configuration, unused);
    }();
    bool same = network.layerCount() == static_cast<int>(sizes.size());
    for (int l = 0; same && l < network.layerCount(); ++l) {
        same = network.layerSize(l) == shape.layerSize(l) &&
               network.neuron(l, 0).transfer == shape.neuron(l, 0).transfer;
    }
    if (!same) {
        throw AxoliteError(MessageKind::Error,
                           "Слои продолжаемой сети не совпадают с заданными слоями сети.");
    }
}

} // namespace

std::string inputColumnText(const ResultRow& row) {
    return joined(row.input, " %g");
}
std::string targetColumnText(const ResultRow& row) {
    return joined(row.target, "  %g");
}
std::string responseColumnText(const ResultRow& row) {
    return joined(row.response, "  %g");
}
std::string errorColumnText(const ResultRow& row) {
    return joined(row.error, "  %6.3g%%");
}

void NetworkTrainer::restoreRun(LayeredNetwork initial, LayeredNetwork final, TrainingMethod method,
                                TrainingStatus status, std::vector<ResultRow> rows) {
    initial_ = std::move(initial);
    network_ = std::move(final);
    lastMethod_ = method;
    status_ = std::move(status);
    rows_ = std::move(rows);
    trained_ = true;
}

TrainingOutcome NetworkTrainer::train(const LayerConfiguration& configuration,
                                      const TrainingParameters& parameters,
                                      TrainingCallbacks callbacks) {
    // The ranges of the dialog's fields; the pattern tables are sized by P.
    if (parameters.patterns <= 0 || parameters.patterns > kMaxTrainingCount) {
        throw AxoliteError(MessageKind::Error, "Число эталонных образов введено неверно.");
    }
    if (parameters.iterations <= 0 || parameters.iterations > kMaxTrainingCount) {
        throw AxoliteError(MessageKind::Error, "Число итераций обучения введено неверно.");
    }
    status_.percent = 0;
    if (callbacks.progress != nullptr) {
        callbacks.progress->setPercent(0);
    }

    if (branch_) {
        requireSameLayers(branch_->network, configuration);
        network_ = branch_->network;
    } else if (start_) {
        requireSameLayers(*start_, configuration);
        network_ = *start_;
    } else {
        network_ = LayeredNetwork::build(configuration, random_);
    }
    initial_ = network_;

    float rate = 0.0f;
    parseFloatPrefix(parameters.learningRate.c_str(), rate);
    // Too large for single precision, or no number at all ("nan" reads as one): no rate.
    if (!std::isfinite(rate)) {
        throw AxoliteError(MessageKind::Information,
                           "Величина приращения весов межнейронных связей введена неверно.");
    }

    TrainingOutcome outcome;
    const PatternReadResult inputs =
        readPatterns(parameters.inputFile, parameters.inputText, parameters.patterns,
                     network_.inputCount(), PatternRole::Input);
    if (inputs.warning) {
        emit(callbacks, outcome, *inputs.warning);
    }
    std::optional<PatternReadResult> targets;
    if (isBackPropagation(parameters.method)) {
        targets = readPatterns(parameters.targetFile, parameters.targetText, parameters.patterns,
                               network_.outputCount(), PatternRole::Target);
        if (targets->warning) {
            emit(callbacks, outcome, *targets->warning);
        }
    }
    if (parameters.method == TrainingMethod::Competitive) {
        if (auto failure = ensembleCountFailure(configuration)) {
            throw AxoliteError(MessageKind::Information, *failure);
        }
    }

    lastMethod_ = parameters.method;
    if (callbacks.started) {
        callbacks.started();
    }
    if (callbacks.history != nullptr) {
        callbacks.history->clear();
    }
    if (isBackPropagation(parameters.method)) {
        runBackPropagation(parameters, inputs.table, targets->table, rate, callbacks, outcome);
        fillResults(inputs.table, &targets->table);
    } else {
        runUnsupervised(configuration, parameters, inputs.table, rate, callbacks, outcome);
        fillResults(inputs.table, nullptr);
    }
    trained_ = true;
    return outcome;
}

namespace {

// Every output neuron is compared with the last value of each target pattern, and with its
// response to the pattern presented last: the norm as it has always been computed.
float iterationNorm(const float* response, const PatternTable& targets, int patterns, int outputs) {
    const float count = static_cast<float>(patterns);
    const float size = static_cast<float>(outputs);
    float norm = 0.0f;
    for (int p = 0; p < patterns; ++p) {
        const float target = targets.at(p, outputs - 1);
        for (int s = 0; s < outputs; ++s) {
            const float difference = target - response[s];
            norm = norm + std::sqrt(((difference * difference) / count) * size);
        }
    }
    return norm;
}

// The Euclidean norm of the weights from the input layer into layer 1.
double firstLayerWeightNorm(const PackedNetwork& packed) {
    double sum = 0.0;
    for (int i = 0; packed.layerCount() > 1 && i < packed.layerSize(1); ++i) {
        for (int k = 0; k < packed.layerSize(0); ++k) {
            const double w = packed.weight(1, i, k);
            sum += w * w;
        }
    }
    return std::sqrt(sum);
}

} // namespace

// The norm of iteration t: shown when it differs from the previous one; otherwise, when asked
// for, the local-minimum question. True when the run stops there.
bool NetworkTrainer::stopsAtLocalMinimum(float norm, int t, float& previousNorm,
                                         const TrainingParameters& parameters,
                                         TrainingCallbacks& callbacks) {
    if (callbacks.normComputed) {
        callbacks.normComputed(t, norm);
    }
    if (norm < previousNorm || norm > previousNorm) {
        previousNorm = norm;
        status_.norm = norm;
        status_.normText = formatNumber("%g", static_cast<double>(norm));
        return false;
    }
    if (!parameters.stopAtLocalMinimum) {
        return false;
    }
    return callbacks.askStopAtLocalMinimum ? callbacks.askStopAtLocalMinimum() : true;
}

void NetworkTrainer::runBackPropagation(const TrainingParameters& parameters,
                                        const PatternTable& inputs, const PatternTable& targets,
                                        float rate, TrainingCallbacks& callbacks,
                                        TrainingOutcome& outcome) {
    PackedNetwork packed(network_);
    const int last = packed.layerCount() - 1;
    const int patterns = parameters.patterns;
    const int outputs = packed.layerSize(last);
    const bool randomized = parameters.method == TrainingMethod::BackPropagationRandomized;
    const bool normAvailable = network_.inputCount() == outputs;
    if (randomized) {
        if (branch_ && branch_->generator) {
            random_.continueFrom(*branch_->generator);
        } else {
            random_.seed();
        }
    }
    float previousNorm = -1.0f;
    TrainingHistory* history = callbacks.history;
    if (history != nullptr) {
        history->start(packed, network_, parameters.iterations, firstIteration(), random_);
    }
    int completed = 0;

    for (int t = 0; t < parameters.iterations; ++t) {
        status_.percent = iterationPercent(t, parameters.iterations);
        if (callbacks.progress != nullptr) {
            callbacks.progress->setPercent(status_.percent);
        }
        for (int q = 0; q < patterns; ++q) {
            int p = q;
            if (randomized) {
                p = patterns == 1 ? 0
                                  : static_cast<int>(random_.next() %
                                                     static_cast<std::uint32_t>(patterns - 1));
            }
            packed.trainPattern(inputs.row(p), targets.row(p), rate);
            status_.lastPattern = p;
            pollWithinIteration(callbacks, q);
        }
        status_.lastIteration = t;
        completed = t + 1;
        if (history != nullptr) {
            history->record(completed, packed, random_);
        }
        if (parameters.meanSquaredError && callbacks.errorComputed) {
            callbacks.errorComputed(t, packed.meanSquaredError(inputs.values.data(), inputs.width,
                                                               targets.values.data(), targets.width,
                                                               patterns));
        }

        if (normAvailable &&
            stopsAtLocalMinimum(iterationNorm(packed.activities(last), targets, patterns, outputs),
                                t, previousNorm, parameters, callbacks)) {
            outcome.stoppedAtLocalMinimum = true;
            if (callbacks.iterationDone) {
                callbacks.iterationDone(status_);
            }
            break;
        }
        if (callbacks.iterationDone) {
            callbacks.iterationDone(status_);
        }
        if (endOfIterationCancels(callbacks)) {
            outcome.interrupted = true;
            break;
        }
    }
    if (history != nullptr) {
        history->record(completed, packed, random_, true);
    }
    packed.storeInto(network_);
}

void NetworkTrainer::runUnsupervised(const LayerConfiguration& configuration,
                                     const TrainingParameters& parameters,
                                     const PatternTable& inputs, float rate,
                                     TrainingCallbacks& callbacks, TrainingOutcome& outcome) {
    status_.norm.reset();
    status_.normText = kNormUnavailable;
    const int layers = network_.layerCount();
    const bool competitive = parameters.method == TrainingMethod::Competitive;
    if (!competitive && layers > 2) {
        outcome.interrupted = true;
        outcome.refusal =
            Message{MessageKind::Warning,
                    "Должны быть сформированы только и входной и выходной слои сети."};
        emit(callbacks, outcome, *outcome.refusal);
        return;
    }
    // Ensemble size of every layer: the hidden layers by their ensemble counts (checked before
    // the run), the output layer as a single ensemble.
    std::vector<int> ensembleSize(static_cast<std::size_t>(layers), 1);
    for (int l = 1; l < layers; ++l) {
        ensembleSize[l] = network_.layerSize(l);
        if (l < layers - 1) {
            ensembleSize[l] = network_.layerSize(l) / configuration.hiddenEnsembles[l - 1];
        }
    }

    PackedNetwork packed(network_);
    TrainingHistory* history = callbacks.history;
    if (history != nullptr) {
        history->start(packed, network_, parameters.iterations, firstIteration(), random_);
    }
    int completed = 0;
    for (int t = 0; t < parameters.iterations; ++t) {
        status_.percent = iterationPercent(t, parameters.iterations);
        if (callbacks.progress != nullptr) {
            callbacks.progress->setPercent(status_.percent);
        }
        bool halved = false;
        for (int p = 0; p < parameters.patterns; ++p) {
            packed.setInputs(inputs.row(p));
            for (int l = 1; l < layers; ++l) {
                packed.forwardLayer(l);
                if (competitive) {
                    packed.competeLayer(l, ensembleSize[l]);
                    if (callbacks.competed) {
                        callbacks.competed(l, packed.activities(l), packed.layerSize(l));
                    }
                }
            }
            halved = packed.hebbianUpdate(rate) || halved;
            status_.lastPattern = p;
            pollWithinIteration(callbacks, p);
        }
        status_.lastIteration = t;
        completed = t + 1;
        if (history != nullptr) {
            history->record(completed, packed, random_);
        }
        if (callbacks.weightsUpdated) {
            callbacks.weightsUpdated(t, firstLayerWeightNorm(packed), halved);
        }
        if (callbacks.iterationDone) {
            callbacks.iterationDone(status_);
        }
        if (endOfIterationCancels(callbacks)) {
            outcome.interrupted = true;
            break;
        }
    }
    if (history != nullptr) {
        history->record(completed, packed, random_, true);
    }
    packed.storeInto(network_);
}

namespace {

// Row of the results list: the network's response to the input and, with a target, the relative
// errors and the marker.
ResultRow resultRow(LayeredNetwork& network, const float* input, int inputWidth,
                    const float* target) {
    network.setInputs(input);
    network.forwardPass();
    ResultRow row;
    row.input.assign(input, input + inputWidth);
    row.response = network.outputs();
    if (target != nullptr) {
        bool within = true;
        for (std::size_t s = 0; s < row.response.size(); ++s) {
            const float t = target[s];
            const float y = row.response[s];
            float error = (t - y) * 100.0f / y;
            // 0 / 0 gives a NaN with the sign bit set on this hardware; the column reads
            // "nan%", never "-nan%".
            if (std::isnan(error)) {
                error = std::fabs(error);
            }
            row.target.push_back(t);
            row.error.push_back(error);
            if (!(error >= -10.0f && error <= 10.0f)) {
                within = false;
            }
        }
        row.marker = within ? RowMarker::Violet : RowMarker::Yellow;
    }
    return row;
}

} // namespace

void NetworkTrainer::fillResults(const PatternTable& inputs, const PatternTable* targets) {
    rows_.clear();
    rows_.reserve(static_cast<std::size_t>(inputs.patterns));
    for (int p = 0; p < inputs.patterns; ++p) {
        rows_.push_back(resultRow(network_, inputs.row(p), inputs.width,
                                  targets != nullptr ? targets->row(p) : nullptr));
    }
}

std::vector<ResultRow> resultRowsOf(const LayeredNetwork& network,
                                    const std::vector<ResultRow>& rows) {
    LayeredNetwork answering = network;
    std::vector<float> input(static_cast<std::size_t>(std::max(network.inputCount(), 1)), 0.0f);
    std::vector<ResultRow> result;
    result.reserve(rows.size());
    for (const ResultRow& row : rows) {
        std::fill(input.begin(), input.end(), 0.0f);
        std::copy_n(row.input.begin(), std::min(row.input.size(), input.size()), input.begin());
        const bool hasTarget = row.target.size() == static_cast<std::size_t>(network.outputCount());
        result.push_back(resultRow(answering, input.data(), static_cast<int>(row.input.size()),
                                   hasTarget ? row.target.data() : nullptr));
        result.back().input = row.input;
    }
    return result;
}

} // namespace axolite::training
