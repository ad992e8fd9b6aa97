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

#include <vector>

namespace axolite::training {

class PackedNetwork {
public:
    // Room per layer: the neurons of a layer padded to a multiple of four floats.
    static constexpr int kStride = 20;
    static_assert(kStride >= kMaxLayerNeurons && kStride % 4 == 0);
    static constexpr int kMaxLayers = kMaxHiddenLayers + 2;
    // A layer with at most this many neurons sums each of them over a row of its own (a chain of
    // scalar additions) instead of adding the senders' terms to all of them at once.
    static constexpr int kMaxRowSummedLayer = 2;

    explicit PackedNetwork(const LayeredNetwork& network);

    // Writes weights, biases, activities and weighted sums back into the neuron records.
    void storeInto(LayeredNetwork& network) const;

    int layerCount() const { return layers_; }
    int layerSize(int layer) const { return sizes_[layer]; }
    float activity(int layer, int index) const { return activity_[slot(layer) + index]; }
    const float* activities(int layer) const { return &activity_[slot(layer)]; }
    float weight(int layer, int receiver, int sender) const;

    void setInputs(const float* values);
    void forwardLayer(int layer);
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
    static std::size_t slot(int layer) { return static_cast<std::size_t>(layer) * kStride; }
    static std::size_t weightSlot(int layer) {
        return static_cast<std::size_t>(layer) * kMaxLayerNeurons * kStride;
    }
    // Layer l's weights in sender order (row j: sender j, lane i: receiver i) are kept unless
    // the layer sums by rows; those in receiver order (row i: receiver i, lane j: sender j) when
    // it sums by rows or when it is past layer 1 (the previous layer's error terms need them).
    bool rowSummed(int layer) const { return sizes_[layer] <= kMaxRowSummedLayer; }
    bool keepsBySender(int layer) const { return !rowSummed(layer); }
    bool keepsByReceiver(int layer) const { return rowSummed(layer) || layer >= 2; }
    int blocks(int layer) const { return (sizes_[layer] + 3) / 4; }
    void hiddenErrorTerms(int layer);
    void updateLayer(int layer, float rate);

    int layers_ = 0;
    int sizes_[kMaxLayers] = {};
    TransferCode codes_[kMaxLayers] = {};
    std::vector<float> activity_;
    std::vector<float> net_;
    std::vector<float> bias_;
    std::vector<float> delta_;
    // e^(−net) of the sigmoid layers; +∞ in the lanes past the last neuron, which makes their
    // activity 0.0.
    std::vector<float> exponential_;
    std::vector<float> bySender_;
    std::vector<float> byReceiver_;
    // The activities and sums kept aside while meanSquaredError answers the patterns.
    std::vector<float> keptActivity_;
    std::vector<float> keptNet_;
};

} // namespace axolite::training
