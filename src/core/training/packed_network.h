// The training kernel: the layered network held as contiguous per-layer arrays, the weights of a
// layer stored sender by sender so that the loops over the receivers run over consecutive
// floats. Every receiver still adds its terms in sender order, so each result is bit for bit the
// one of the plain loop over the neuron records (reference_training.h).
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

    explicit PackedNetwork(const LayeredNetwork& network);

    // Writes weights, biases, activities and weighted sums back into the neuron records.
    void storeInto(LayeredNetwork& network) const;

    int layerCount() const { return layers_; }
    int layerSize(int layer) const { return sizes_[layer]; }
    float activity(int layer, int index) const { return activity_[slot(layer) + index]; }
    const float* activities(int layer) const { return &activity_[slot(layer)]; }
    float weight(int layer, int receiver, int sender) const {
        return weights_[weightSlot(layer) + sender * kStride + receiver];
    }

    // The number of weights and biases of layers 1 … L−1, and those values copied out layer by
    // layer, neuron by neuron: the bias, then the weights in sender order.
    std::size_t parameterCount() const;
    void copyParameters(float* out) const;

    void setInputs(const float* values);
    void forwardLayer(int layer);
    void competeLayer(int layer, int ensembleSize);
    // Back-propagation for the target of the pattern presented last: all error terms first,
    // then biases and weights of layers 1 … L−1.
    void backPropagate(const float* target, float rate);
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

    int layers_ = 0;
    int sizes_[kMaxLayers] = {};
    TransferCode codes_[kMaxLayers] = {};
    std::vector<float> activity_;
    std::vector<float> net_;
    std::vector<float> bias_;
    std::vector<float> delta_;
    // Layer l: row j (neuron j of layer l−1) holds the weights of its connections to the
    // neurons of layer l.
    std::vector<float> weights_;
    // The activities and sums kept aside while meanSquaredError answers the patterns.
    std::vector<float> keptActivity_;
    std::vector<float> keptNet_;
};

} // namespace axolite::training
