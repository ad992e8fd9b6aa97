// The weights and biases of a run after every k-th iteration.
#include "core/training/training_history.h"

#include "core/common/message.h"
#include "core/training/packed_network.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace axolite::training {

namespace {

// What one kept iteration costs: its values, its generator and its number.
std::size_t snapshotBytes(long long parameters) {
    return static_cast<std::size_t>(parameters) * sizeof(float) + sizeof(RandomSource) +
           sizeof(int);
}

long long connectionWeights(const LayeredNetwork& network) {
    long long weights = 0;
    for (int l = 1; l < network.layerCount(); ++l) {
        weights += static_cast<long long>(network.layerSize(l)) * network.layerSize(l - 1);
    }
    return weights;
}

std::string sizeText(std::size_t bytes) {
    char text[64];
    if (bytes < (std::size_t{1} << 20)) {
        std::snprintf(text, sizeof text, "%zu КБ", (bytes + 1023) / 1024);
    } else {
        std::snprintf(text, sizeof text, "%zu МБ", (bytes + (std::size_t{1} << 20) - 1) >> 20);
    }
    return text;
}

} // namespace

int TrainingHistory::strideFor(long long weights, long long parameters, int iterations,
                               std::size_t byteLimit) {
    if (weights > kMaxWeights || parameters <= 0 || iterations < 0) {
        return 0;
    }
    const std::size_t most = byteLimit / snapshotBytes(parameters);
    if (most < 3) {
        return 0;
    }
    // Kept: 0, k, 2k, … ≤ T and the last iteration, at most T / k + 2 networks.
    const long long room = static_cast<long long>(most) - 2;
    return iterations <= room ? 1 : static_cast<int>(iterations / (room + 1) + 1);
}

void TrainingHistory::clear() {
    start_ = LayeredNetwork();
    stride_ = 0;
    first_ = 0;
    parameters_ = 0;
    kept_.clear();
    values_.clear();
    generators_.clear();
    unavailable_.clear();
}

void TrainingHistory::start(const PackedNetwork& packed, const LayeredNetwork& network,
                            int iterations, int firstIteration, const RandomSource& generator) {
    clear();
    // The vectors give their memory back: a long history of the last run is not held twice.
    std::vector<float>().swap(values_);
    std::vector<RandomSource>().swap(generators_);
    std::vector<int>().swap(kept_);
    start_ = network;
    first_ = firstIteration;
    parameters_ = packed.parameterCount();
    stride_ = strideFor(connectionWeights(network), static_cast<long long>(parameters_), iterations,
                        byteLimit_);
    if (stride_ == 0) {
        unavailable_ = connectionWeights(network) > kMaxWeights
                           ? "История не ведётся: в сети больше 100000 весов."
                           : "История не ведётся: недостаточно памяти.";
        return;
    }
    const std::size_t count = static_cast<std::size_t>(iterations / stride_) + 2;
    try {
        values_.reserve(count * parameters_);
        generators_.reserve(count);
        kept_.reserve(count);
    } catch (const std::bad_alloc&) {
        // The run goes on without a history.
        clear();
        unavailable_ = "История не ведётся: недостаточно памяти.";
        return;
    }
    record(0, packed, generator);
}

void TrainingHistory::record(int completed, const PackedNetwork& packed,
                             const RandomSource& generator, bool last) {
    if (stride_ == 0 || (completed % stride_ != 0 && !last)) {
        return;
    }
    const int iteration = first_ + completed;
    if (!kept_.empty() && kept_.back() == iteration) {
        return;
    }
    const std::size_t at = values_.size();
    values_.resize(at + parameters_);
    packed.copyParameters(values_.data() + at);
    generators_.push_back(generator);
    kept_.push_back(iteration);
}

std::size_t TrainingHistory::bytes() const {
    return values_.size() * sizeof(float) + generators_.size() * sizeof(RandomSource) +
           kept_.size() * sizeof(int);
}

int TrainingHistory::nearestKept(int iteration) const {
    if (kept_.empty()) {
        return -1;
    }
    const auto after = std::lower_bound(kept_.begin(), kept_.end(), iteration);
    if (after == kept_.end()) {
        return kept_.back();
    }
    if (after == kept_.begin() || *after - iteration <= iteration - *(after - 1)) {
        return *after;
    }
    return *(after - 1);
}

bool TrainingHistory::kept(int iteration) const {
    return std::binary_search(kept_.begin(), kept_.end(), iteration);
}

std::size_t TrainingHistory::indexOf(int iteration) const {
    const auto at = std::lower_bound(kept_.begin(), kept_.end(), iteration);
    if (at == kept_.end() || *at != iteration) {
        throw AxoliteError(MessageKind::Error,
                           "Итерация " + std::to_string(iteration) + " не сохранена в истории.");
    }
    return static_cast<std::size_t>(at - kept_.begin());
}

LayeredNetwork TrainingHistory::networkAt(int iteration) const {
    const float* value = values_.data() + indexOf(iteration) * parameters_;
    LayeredNetwork network = start_;
    for (int l = 1; l < network.layerCount(); ++l) {
        for (int i = 0; i < network.layerSize(l); ++i) {
            LayerNeuron& neuron = network.neuron(l, i);
            neuron.bias = *value++;
            for (int j = 0; j < network.layerSize(l - 1); ++j) {
                neuron.weights[j] = *value++;
            }
        }
    }
    return network;
}

BranchPoint TrainingHistory::branchPoint(int iteration, bool keepGenerator) const {
    BranchPoint point;
    point.iteration = iteration;
    point.network = networkAt(iteration);
    if (keepGenerator) {
        point.generator = generators_[indexOf(iteration)];
    }
    return point;
}

std::string TrainingHistory::summary() const {
    if (!unavailable_.empty()) {
        return unavailable_;
    }
    if (kept_.empty()) {
        return {};
    }
    const std::string every =
        stride_ == 1 ? "каждая итерация" : "каждая " + std::to_string(stride_) + "-я итерация";
    return "История: " + every + ", " + sizeText(bytes());
}

std::string branchNormName(int firstIteration) {
    return firstIteration > 0 ? "Норма (ветвь от " + std::to_string(firstIteration) + ")"
                              : std::string("Норма");
}

} // namespace axolite::training
