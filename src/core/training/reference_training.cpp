// The reference loops of training.
#include "core/training/reference_training.h"

#include <vector>

namespace axolite::training {

void referenceBackPropagation(LayeredNetwork& network, const float* input, const float* target,
                              float rate) {
    network.setInputs(input);
    network.forwardPass();
    const int last = network.layerCount() - 1;
    std::vector<std::vector<float>> delta(static_cast<std::size_t>(network.layerCount()));
    for (int l = last; l >= 1; --l) {
        delta[l].resize(static_cast<std::size_t>(network.layerSize(l)));
        for (int j = 0; j < network.layerSize(l); ++j) {
            const LayerNeuron& neuron = network.neuron(l, j);
            float e = 0.0f;
            if (l == last) {
                e = target[j] - neuron.activity;
            } else {
                for (int k = 0; k < network.layerSize(l + 1); ++k) {
                    e = e + delta[l + 1][k] * network.neuron(l + 1, k).weights[j];
                }
            }
            delta[l][j] = errorTerm(neuron.transfer, e, neuron.activity, neuron.net);
        }
    }
    for (int l = 1; l <= last; ++l) {
        for (int j = 0; j < network.layerSize(l); ++j) {
            LayerNeuron& neuron = network.neuron(l, j);
            neuron.bias = neuron.bias + rate * delta[l][j];
            for (int k = 0; k < network.layerSize(l - 1); ++k) {
                neuron.weights[k] =
                    neuron.weights[k] + rate * (delta[l][j] * network.neuron(l - 1, k).activity);
            }
        }
    }
}

void referenceHebbianUpdate(LayeredNetwork& network, float rate) {
    if (network.layerCount() < 2) {
        return;
    }
    bool exceeded = false;
    for (int i = 0; i < network.layerSize(1); ++i) {
        LayerNeuron& neuron = network.neuron(1, i);
        if (!(neuron.activity > 0.0f)) {
            continue;
        }
        for (int k = 0; k < network.layerSize(0); ++k) {
            if (network.neuron(0, k).activity > 0.0f) {
                neuron.weights[k] = neuron.weights[k] + rate;
            }
            if (neuron.weights[k] > 10.0f) {
                exceeded = true;
            }
        }
    }
    if (exceeded) {
        for (int i = 0; i < network.layerSize(1); ++i) {
            for (int k = 0; k < network.layerSize(0); ++k) {
                network.neuron(1, i).weights[k] = network.neuron(1, i).weights[k] * 0.5f;
            }
        }
    }
}

} // namespace axolite::training
