// The simulation: preparation, the reading of the structure, the steps and the output series.
#include "core/simulation/simulation.h"

#include "core/language/checker.h"
#include "core/simulation/network_structure.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>

namespace axolite::simulation {

namespace {

// Codes and wait counts are truncated toward zero; magnitudes beyond this bound (and values that
// are no numbers) are held at it, far outside every meaningful code or count, so the integers
// never overflow, not even when a negative wait counter counts down for a million steps.
constexpr double kIntegerBound = 1099511627776.0; // 2^40

std::int64_t truncatedInteger(double value) {
    if (std::isnan(value)) {
        return -static_cast<std::int64_t>(kIntegerBound);
    }
    const double bounded = std::clamp(value, -kIntegerBound, kIntegerBound);
    return static_cast<std::int64_t>(bounded);
}

// What one step adds to the operation counters. Every step does the same work, so it is counted
// once: every term of every net input is one addition and one multiplication; a sender of code
// 1..100 adds a multiplication and a division per term, one of code 201..300 an addition and a
// division.
language::OperationCounters countersPerStep(const std::vector<std::int64_t>& codes) {
    const std::int64_t n = static_cast<std::int64_t>(codes.size());
    std::int64_t low = 0;  // senders of code 1..100
    std::int64_t step = 0; // senders of code 201..300
    for (const std::int64_t code : codes) {
        if (code >= 1 && code <= 100) {
            ++low;
        } else if (code >= 201 && code <= 300) {
            ++step;
        }
    }
    return {n * n + n * step, n * n + n * low, n * (low + step)};
}

} // namespace

Message tooManyStepsMessage() {
    return {MessageKind::Information, "Слишком много шагов пересчета."};
}

Message outOfMemoryMessage() {
    return {MessageKind::Error, "Недостаточно памяти для моделирования работы нейронной сети."};
}

std::optional<std::int32_t> stepCountOf(double t0, double t1, double h) {
    const double quotient = (t1 - t0) / h;
    if (std::isnan(quotient)) {
        return std::nullopt;
    }
    if (quotient <= 0.0) {
        return 0; // an empty or reversed interval has no steps
    }
    if (quotient >= 2147483648.0) {
        return std::nullopt; // also infinite quotients
    }
    return static_cast<std::int32_t>(quotient);
}

void Simulation::release() {
    neurons_ = 0;
    steps_ = 0;
    prepared_ = false;
    models_ = {};
    codes_ = {};
    waitCounters_ = {};
    waitReloads_ = {};
    weights_ = {};
    senders_ = {};
    net_ = {};
    kernel_ = StepKernel{};
}

namespace {

// A preparation that fails leaves the record no arrays of an earlier size and no steps.
void releaseRecordArrays(language::NetworkRecord& record) {
    record.activity.release();
    record.externalInput.release();
    record.outputSeries = {};
    record.steps = 0;
}

} // namespace

// A failed allocation: nothing half-allocated stays behind, in the record or here.
void Simulation::outOfMemory(language::NetworkRecord& record) {
    releaseRecordArrays(record);
    release();
    const Message m = outOfMemoryMessage();
    throw AxoliteError(m.kind, m.text);
}

void Simulation::prepare(language::NetworkRecord& record, const language::CheckResult& check) {
    release();
    // Whatever happens below, the old series no longer belong to this description.
    record.networkPresent = {};
    record.simulated = 0;

    const std::optional<std::int32_t> steps = stepCountOf(record.t0, record.t1, record.h);
    if (!steps || *steps > kMaxSteps) {
        releaseRecordArrays(record);
        const Message m = tooManyStepsMessage();
        throw AxoliteError(m.kind, m.text);
    }
    const std::int32_t n = std::clamp<std::int32_t>(check.neurons, 0, language::kMaxNeurons);
    const std::int32_t s = *steps;
    const auto count = static_cast<std::size_t>(n);
    try {
        for (std::vector<double>& series : record.outputSeries) {
            series = {}; // release before allocating anew, so two never coexist
            series.assign(static_cast<std::size_t>(s), 0.0);
        }
        record.activity.release();
        record.activity.allocate(n, s);
        record.externalInput.release();
        record.externalInput.allocate(n, s);
        weights_.assign(count * count, 0.0);
        models_.assign(count, ModelParameters{});
        codes_.assign(count, 0);
        waitCounters_.assign(count, 0);
        waitReloads_.assign(count, 0);
        senders_.assign(count, 0.0);
        net_.assign(count, 0.0);
    } catch (const std::bad_alloc&) {
        outOfMemory(record);
    } catch (const std::length_error&) {
        outOfMemory(record);
    }
    neurons_ = n;
    steps_ = s;
    record.neurons = n;
    record.steps = s;
    prepared_ = true;
}

std::vector<std::filesystem::path>
modelSearchFolders(const platform::FolderSettings& folders,
                   const std::filesystem::path& descriptionFolder) {
    if (folders.set && !folders.models.empty()) {
        return {folders.modelsFolder()};
    }
    std::vector<std::filesystem::path> search{folders.modelsFolder()};
    if (descriptionFolder.empty()) {
        return search;
    }
    // The same folder under another name (relative, with "..", through a link) is searched once.
    auto sameAsEarlier = [&search](const std::filesystem::path& folder) {
        std::error_code ec;
        const std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, ec);
        return std::any_of(search.begin(), search.end(), [&](const std::filesystem::path& p) {
            std::error_code other;
            return !ec && std::filesystem::weakly_canonical(p, other) == canonical && !other;
        });
    };
    for (const std::filesystem::path& folder : {descriptionFolder, descriptionFolder / "models"}) {
        if (!sameAsEarlier(folder)) {
            search.push_back(folder);
        }
    }
    return search;
}

Simulation::Result Simulation::run(language::NetworkRecord& record,
                                   const language::CheckResult& check, Progress& progress,
                                   const platform::FolderSettings& folders,
                                   const std::filesystem::path& descriptionFolder) {
    std::vector<std::filesystem::path> used;
    try {
        Result result = runPrepared(record, check, progress,
                                    modelSearchFolders(folders, descriptionFolder), used);
        if (result.outcome == Outcome::Completed || result.outcome == Outcome::Cancelled) {
            result.modelFolders = std::move(used);
        }
        return result;
    } catch (const std::bad_alloc&) {
        // What was computed up to here is no completed run.
        record.simulated = 0;
        record.networkPresent = {};
        return {Outcome::Refused, outOfMemoryMessage(), {}};
    }
}

Simulation::Result Simulation::runPrepared(language::NetworkRecord& record,
                                           const language::CheckResult& check, Progress& progress,
                                           const std::vector<std::filesystem::path>& search,
                                           std::vector<std::filesystem::path>& used) {
    record.inputLayerReady = 0;
    if (!check.correct || !prepared_ || record.activity.neurons() != neurons_ ||
        record.activity.steps() != steps_ || record.externalInput.steps() != steps_) {
        return {Outcome::NotRun, std::nullopt, {}};
    }
    NetworkStructure structure;
    try {
        structure = readNetworkStructure(record.tokens, check, neurons_);
    } catch (const AxoliteError& e) {
        return {Outcome::Refused, e.message(), {}};
    }
    assignCodesAndWaits(structure);
    std::vector<ModelKind> kinds(static_cast<std::size_t>(neurons_));
    if (std::optional<Message> failure = loadModels(search, used, kinds)) {
        return {Outcome::Refused, std::move(failure), {}};
    }
    configureWeights(structure);
    setInitialStates(record, structure);

    // The progress dialog opens here and lowers the cancel request of an earlier computation.
    record.cancelRequested = 0;
    progress.setPercent(0);
    const bool cancelled = !stepThrough(record, kinds, progress);
    writeOutputSeries(record, structure);
    return {cancelled ? Outcome::Cancelled : Outcome::Completed, std::nullopt, {}};
}

void Simulation::assignCodesAndWaits(const NetworkStructure& structure) {
    // Model codes and wait counts: 0 unless an entry names the neuron.
    std::fill(codes_.begin(), codes_.end(), 0);
    for (const auto& entry : structure.models) {
        for (const std::int32_t neuron : entry.neurons) {
            codes_[static_cast<std::size_t>(neuron)] = truncatedInteger(entry.value);
        }
    }
    std::fill(waitReloads_.begin(), waitReloads_.end(), 0);
    for (const auto& entry : structure.waits) {
        for (const std::int32_t neuron : entry.neurons) {
            waitReloads_[static_cast<std::size_t>(neuron)] = truncatedInteger(entry.value);
        }
    }
    waitCounters_ = waitReloads_;
}

std::optional<Message> Simulation::loadModels(const std::vector<std::filesystem::path>& search,
                                              std::vector<std::filesystem::path>& used,
                                              std::vector<ModelKind>& kinds) {
    // The file of each code, read once for all the neurons of that code; the first neuron whose
    // file fails refuses the run, naming the file it was looked up as.
    ModelFiles files(search, modelLoader_);
    for (std::size_t j = 0; j < kinds.size(); ++j) {
        const std::optional<ModelParameters>& model = files.model(codes_[j]);
        if (!model) {
            return modelFileFailure(files.file(codes_[j]));
        }
        const std::filesystem::path folder = files.file(codes_[j]).parent_path();
        if (std::find(used.begin(), used.end(), folder) == used.end()) {
            used.push_back(folder);
        }
        models_[j] = *model;
        kinds[j] = evaluationKindOfCode(codes_[j]);
    }
    return std::nullopt;
}

void Simulation::configureWeights(const NetworkStructure& structure) {
    // W[receiver][sender]; a later entry for the same pair overrides an earlier one.
    const auto count = static_cast<std::size_t>(neurons_);
    std::fill(weights_.begin(), weights_.end(), 0.0);
    for (const auto& c : structure.connections) {
        weights_[static_cast<std::size_t>(c.receiver) * count +
                 static_cast<std::size_t>(c.sender)] = c.weight;
    }
    kernel_.configure(neurons_, weights_);
}

void Simulation::setInitialStates(language::NetworkRecord& record,
                                  const NetworkStructure& structure) const {
    // Step 0 exists only when there is at least one step.
    if (steps_ > 0) {
        double* initial = record.activity.step(0);
        std::fill(initial, initial + neurons_, 0.0);
        for (const auto& entry : structure.initialStates) {
            for (const std::int32_t neuron : entry.neurons) {
                initial[neuron] = entry.value;
            }
        }
    }
}

namespace {

// The transfer of every neuron of a step: the kind's function for all of them when they share a
// kind (the usual case, `uniform`), per neuron otherwise.
void transferAll(const std::vector<ModelKind>& kinds, bool uniform,
                 const std::vector<ModelParameters>& models, const double* net, double* current) {
    const std::size_t count = kinds.size();
    const auto each = [&](auto function) {
        for (std::size_t j = 0; j < count; ++j) {
            current[j] = function(models[j], net[j]);
        }
    };
    switch (uniform ? kinds.front() : static_cast<ModelKind>(-1)) {
    case ModelKind::Linear:
        return linearTransferAll(models.data(), net, current, count);
    case ModelKind::Step:
        return each(stepTransfer);
    case ModelKind::Sigmoid:
        return each(sigmoidTransfer);
    case ModelKind::Gaussian:
        return each(gaussianTransfer);
    }
    for (std::size_t j = 0; j < count; ++j) {
        current[j] = transfer(kinds[j], models[j], net[j]);
    }
}

// A counter of 0 or −1 lets its neuron compute; a network whose counters and reloads are all such
// computes every neuron at every step.
bool everyNeuronComputes(const std::vector<std::int64_t>& counters,
                         const std::vector<std::int64_t>& reloads) {
    const auto computes = [](std::int64_t wait) { return wait == 0 || wait == -1; };
    return std::all_of(counters.begin(), counters.end(), computes) &&
           std::all_of(reloads.begin(), reloads.end(), computes);
}

} // namespace

bool Simulation::stepThrough(language::NetworkRecord& record, const std::vector<ModelKind>& kinds,
                             Progress& progress) {
    const std::int32_t s = steps_;
    const auto count = static_cast<std::size_t>(neurons_);
    const language::OperationCounters perStep = countersPerStep(codes_);
    const bool noneWaits = everyNeuronComputes(waitCounters_, waitReloads_);
    const bool uniform = std::all_of(kinds.begin(), kinds.end(),
                                     [&kinds](ModelKind kind) { return kind == kinds.front(); });
    // An external input that nothing wrote is 0.0 throughout: adding the constant gives the same
    // senders without reading the history.
    const language::NeuronHistory& input = record.externalInput;
    const bool withInput = input.mayBeWritten();
    for (std::int32_t i = 1; i < s; ++i) {
        const double* previous = record.activity.step(i - 1);
        double* current = record.activity.step(i);
        if (withInput) {
            const double* external = input.step(i - 1);
            for (std::size_t k = 0; k < count; ++k) {
                senders_[k] = external[k] + previous[k];
            }
        } else {
            for (std::size_t k = 0; k < count; ++k) {
                senders_[k] = 0.0 + previous[k];
            }
        }
        kernel_.netInputs(senders_.data(), net_.data());
        record.counters.additions += perStep.additions;
        record.counters.multiplications += perStep.multiplications;
        record.counters.divisions += perStep.divisions;
        if (noneWaits) {
            // The counters start at their reloads, all 0 or −1: every neuron computes, and
            // reloading changes no counter.
            transferAll(kinds, uniform, models_, net_.data(), current);
        } else {
            for (std::size_t j = 0; j < count; ++j) {
                std::int64_t& wait = waitCounters_[j];
                if (wait != 0 && wait != -1) {
                    current[j] = previous[j];
                    --wait;
                } else {
                    current[j] = transfer(kinds[j], models_[j], net_[j]);
                    wait = waitReloads_[j];
                }
            }
        }
        progress.setPercent(static_cast<int>(static_cast<std::int64_t>(i) * 100 / s));
        if (pollCancelled(progress, record.cancelRequested)) {
            record.simulated = 0;
            return false;
        }
        record.simulated = 1;
    }
    return true;
}

void Simulation::writeOutputSeries(language::NetworkRecord& record,
                                   const NetworkStructure& structure) const {
    // The weighted activity of each entry's neuron; the history stays as it is.
    const std::int32_t s = steps_;
    record.networkPresent = {};
    for (std::size_t k = 0; k < structure.outputs.size(); ++k) {
        const auto& output = structure.outputs[k];
        std::vector<double>& series = record.outputSeries[k];
        series.resize(static_cast<std::size_t>(s));
        for (std::int32_t i = 0; i < s; ++i) {
            series[static_cast<std::size_t>(i)] =
                record.activity.at(output.neuron, i) * output.weight;
        }
        // An empty series holds no values: its flag stays down so no view reads index 0.
        if (s > 0) {
            record.networkPresent[k] = 1;
        }
    }
    // Statistics of the present series; minimum and maximum start at 0.
    for (int k = 0; k < language::kOutputCount; ++k) {
        if (record.networkPresent[static_cast<std::size_t>(k)] != 0) {
            record.stats(language::SeriesFamily::Network, k) =
                language::seriesStatistics(record.outputSeries[static_cast<std::size_t>(k)]);
        }
    }
}

} // namespace axolite::simulation
