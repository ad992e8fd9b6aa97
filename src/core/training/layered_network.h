// The layered feed-forward network of the training dialog: an input layer, up to ten hidden
// layers and an output layer of at most 18 neurons each, its building with random initial
// weights, the forward pass and the ensemble competition. All arithmetic in single precision.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace axolite::training {

constexpr int kMaxLayerNeurons = 18;
constexpr int kMaxHiddenLayers = 10;

// The transfer code of a layer's neurons.
enum class TransferCode : int { Linear = 0, Step = 1, Sigmoid = 2, Gaussian = 3 };

// The layer configuration of the page "Описание сети".
struct LayerConfiguration {
    int inputNeurons = 1;
    TransferCode inputTransfer = TransferCode::Linear;
    int hiddenLayers = 0;
    std::array<int, kMaxHiddenLayers> hiddenNeurons{10, 10, 10, 10, 10, 10, 10, 10, 10, 10};
    std::array<int, kMaxHiddenLayers> hiddenEnsembles{10, 10, 10, 10, 10, 10, 10, 10, 10, 10};
    TransferCode hiddenTransfer = TransferCode::Sigmoid; // linear or sigmoid only
    int outputNeurons = 1;
    TransferCode outputTransfer = TransferCode::Linear;
};

// The source of the initial weights and of the randomized pattern order: the minimal standard
// linear congruential generator (multiplier 48271, modulus 2^31 − 1), whose values are the
// non-negative integers 1 … 2^31 − 2. Seeded with the current time in seconds unless a seed is
// given.
class RandomSource {
public:
    explicit RandomSource(std::optional<std::uint32_t> fixedSeed = std::nullopt)
        : fixedSeed_(fixedSeed) {}

    // Restarts the sequence: from the fixed seed when one was given, else from the current time.
    void seed();
    std::uint32_t next() { return static_cast<std::uint32_t>(engine_()); }
    // Goes on from where the other generator stands (its fixed seed is not taken).
    void continueFrom(const RandomSource& other) { engine_ = other.engine_; }
    // Whether both would draw the same values from now on.
    bool sameState(const RandomSource& other) const { return engine_ == other.engine_; }

private:
    std::optional<std::uint32_t> fixedSeed_;
    std::minstd_rand engine_;
};

// The initial weight or bias of the draw r: the single-precision number nearest to
// (r mod 10) × 0.01, so one of 0.00, 0.01, … 0.09.
float initialValue(std::uint32_t draw);

// One neuron of a layer.
struct LayerNeuron {
    float activity = 1.0f;
    // Weight k belongs to the connection from neuron k of the previous layer; entries beyond the
    // previous layer's size are 0.0, and all are 0.0 in the input layer.
    std::array<float, kMaxLayerNeurons> weights{};
    float bias = 0.0f;
    TransferCode transfer = TransferCode::Linear;
    // The weighted sum of the last forward pass (the Gaussian error term needs it).
    float net = 0.0f;
};

// The activity of a neuron for its weighted sum. Step neurons give 1.0 when the sum is at least
// 0 and 0.0 otherwise (a threshold at the bias), which the generated description can express.
inline float transferActivity(TransferCode code, float net) {
    switch (code) {
    case TransferCode::Linear:
        return net;
    case TransferCode::Step:
        return net >= 0.0f ? 1.0f : 0.0f;
    case TransferCode::Sigmoid:
        return 1.0f / (1.0f + std::exp(-net));
    case TransferCode::Gaussian:
        return std::exp(-net * net);
    }
    return net;
}

// The back-propagation error term of a neuron of the given code, for its error e, activity a
// and weighted sum net: e for linear and step neurons (the step neuron learns as a perceptron),
// (1 − a) × (e × a) for sigmoid ones, (e × a) × (−2 × net) for Gaussian ones, the derivative of
// e^(−net²) being −2 × net × e^(−net²). Value is float, or a vector of floats whose lanes are
// neurons side by side: each lane then goes through the same operations as a float would.
template <class Value> inline Value errorTermOf(TransferCode code, Value e, Value a, Value net) {
    switch (code) {
    case TransferCode::Sigmoid:
        return (1.0f - a) * (e * a);
    case TransferCode::Gaussian:
        return (e * a) * (-2.0f * net);
    case TransferCode::Linear:
    case TransferCode::Step:
        break;
    }
    return e;
}

inline float errorTerm(TransferCode code, float e, float a, float net) {
    return errorTermOf(code, e, a, net);
}

class LayeredNetwork {
public:
    LayeredNetwork() = default;

    // Builds the network of the configuration and initialises it with draws from random, which
    // is seeded first: activities 1.0; input neurons with bias −3.0 and no weights; every other
    // neuron a random bias, then random weights for the previous layer's neurons, each draw
    // (r mod 10) × 0.01.
    static LayeredNetwork build(const LayerConfiguration& configuration, RandomSource& random);

    int layerCount() const { return static_cast<int>(layers_.size()); }
    int layerSize(int layer) const { return static_cast<int>(layers_[layer].size()); }
    int inputCount() const { return layers_.empty() ? 0 : layerSize(0); }
    int outputCount() const { return layers_.empty() ? 0 : layerSize(layerCount() - 1); }
    bool empty() const { return layers_.empty(); }

    LayerNeuron& neuron(int layer, int index) { return layers_[layer][index]; }
    const LayerNeuron& neuron(int layer, int index) const { return layers_[layer][index]; }

    // Sets the activities of the input layer (inputCount() values).
    void setInputs(const float* values);
    // Forward pass of layer l (1 ≤ l < layerCount()): the bias, then each activity of layer l−1
    // times its weight added in order, rounded after each addition; then the transfer function.
    void forwardLayer(int layer);
    // Forward pass of layers 1 … L−1.
    void forwardPass();
    // In each ensemble of ensembleSize consecutive neurons of the layer only the most active
    // (the earliest of equals) keeps an activity, 1.0; the others get 0.0.
    void competeLayer(int layer, int ensembleSize);
    // The activities of the output layer.
    std::vector<float> outputs() const;

private:
    std::vector<std::vector<LayerNeuron>> layers_;
};

// The layer sizes of a configuration: input, hidden 1 … hiddenLayers, output.
std::vector<int> layerSizes(const LayerConfiguration& configuration);

// The response of the network to the inputs, computed on a copy: the network is not changed.
// Missing inputs count as 0.0, extra ones are ignored.
std::vector<float> investigate(const LayeredNetwork& network, const std::vector<float>& inputs);

// The ensemble check of the competitive method: the message for the first hidden layer whose
// ensemble count is below 1 or does not divide its neuron count.
std::optional<std::string> ensembleCountFailure(const LayerConfiguration& configuration);

} // namespace axolite::training
