// The training kernel: the layered network held as contiguous per-layer arrays padded to whole
// blocks of four floats, so that every loop over the neurons of a layer runs over whole vectors.
// A layer's weights are kept in one or both of two orders: sender by sender (a row per neuron of
// the previous layer, the receivers side by side: the forward pass adds one sender's terms to
// all receivers at once) and receiver by receiver (a row per neuron of the layer, the senders
// side by side: the error terms of the previous layer, each summed over the receivers, run four
// senders at once). Every receiver still adds its terms in sender order and every error term its
// terms in receiver order, with the same operations, so each result is bit for bit the one of the
// plain loop over the neuron records (reference_training.h).
//
// The lanes past a layer's last neuron take part in the vector operations, but no result of a
// real neuron ever reads them: they stay 0.0 while the values are finite and are never looked at.
#pragma once

#include "core/training/layered_network.h"

#include <memory>

namespace axolite::training {

// One layer as its kernels see it: its arrays, those of the layers around it, and the kernels
// chosen for its size (the loops over its blocks of four neurons have a count fixed at compile
// time). Pointers of arrays a layer does not use are null.
struct PackedLayer {
    int size = 0;
    int senders = 0;
    TransferCode code = TransferCode::Linear;
    const float* input = nullptr; // the previous layer's activities
    float* net = nullptr;
    float* activity = nullptr;
    float* bias = nullptr;
    float* delta = nullptr;
    float* exponential = nullptr; // e^(−net) of a sigmoid layer, +∞ past the last neuron
    float* bySender = nullptr;    // row j: sender j, lane i: receiver i
    float* byReceiver = nullptr;  // row i: receiver i, lane j: sender j
    const PackedLayer* next = nullptr;

    void (*forward)(const PackedLayer&) = nullptr;
    void (*hiddenErrorTerms)(const PackedLayer&) = nullptr;
    // The bias and the weights in each order kept.
    void (*update)(const PackedLayer&, float rate) = nullptr;
};

class PackedNetwork {
public:
    // Room per layer: the neurons of a layer padded to a multiple of four floats.
    static constexpr int kStride = 20;
    static_assert(kStride >= kMaxLayerNeurons && kStride % 4 == 0);
    static constexpr int kMaxLayers = kMaxHiddenLayers + 2;
    // A layer with at most this many neurons sums each of them over a row of its own (a chain of
    // scalar additions) instead of adding the senders' terms to all of them at once, and keeps
    // its weights in receiver order only.
    static constexpr int kMaxRowSummedLayer = 2;

    explicit PackedNetwork(const LayeredNetwork& network);
    PackedNetwork(const PackedNetwork&) = delete;
    PackedNetwork& operator=(const PackedNetwork&) = delete;

    // Writes weights, biases, activities and weighted sums back into the neuron records.
    void storeInto(LayeredNetwork& network) const;

    int layerCount() const { return layers_; }
    int layerSize(int layer) const { return layer_[layer].size; }
    float activity(int layer, int index) const { return layer_[layer].activity[index]; }
    const float* activities(int layer) const { return layer_[layer].activity; }
    float weight(int layer, int receiver, int sender) const;

    // The number of weights and biases of layers 1 … L−1, and those values copied out layer by
    // layer, neuron by neuron: the bias, then the weights in sender order.
    std::size_t parameterCount() const;
    void copyParameters(float* out) const;

    void setInputs(const float* values);
    void forwardLayer(int layer) { layer_[layer].forward(layer_[layer]); }
    void competeLayer(int layer, int ensembleSize);
    // Back-propagation for the target of the pattern presented last: all error terms first,
    // then biases and weights of layers 1 … L−1.
    void backPropagate(const float* target, float rate);
    // One presentation of online back-propagation: the inputs, the forward pass through every
    // layer, then backPropagate(target, rate).
    void trainPattern(const float* input, const float* target, float rate);
    // The Hebbian update of the weights from the input layer into layer 1, halving them all
    // when one has grown past 10; true when they were halved.
    bool hebbianUpdate(float rate);

    // The mean over the patterns and the output neurons of (target − response)², each pattern
    // answered with the present weights (a forward pass of its own, in double precision for the
    // sum). inputs and targets hold the patterns row after row, inputWidth and targetWidth
    // values each; the network's activities and sums are left as they were, so the training
    // that goes on is not touched.
    double meanSquaredError(const float* inputs, int inputWidth, const float* targets,
                            int targetWidth, int patterns);

private:
    int layers_ = 0;
    PackedLayer layer_[kMaxLayers];
    // Every array of every layer, and the activities and sums kept aside while
    // meanSquaredError answers the patterns.
    std::unique_ptr<float[]> storage_;
    float* keptActivity_ = nullptr;
    float* keptNet_ = nullptr;
};

} // namespace axolite::training
