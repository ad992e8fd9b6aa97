// The training kernel on contiguous arrays.
#include "core/training/packed_network.h"

#include <cassert>

namespace axolite::training {

PackedNetwork::PackedNetwork(const LayeredNetwork& network)
    : layers_(network.layerCount()), activity_(kMaxLayers * kStride, 0.0f),
      net_(kMaxLayers * kStride, 0.0f), bias_(kMaxLayers * kStride, 0.0f),
      delta_(kMaxLayers * kStride, 0.0f),
      weights_(static_cast<std::size_t>(kMaxLayers) * kMaxLayerNeurons * kStride, 0.0f) {
    if (layers_ > kMaxLayers) {
        layers_ = kMaxLayers;
    }
    for (int l = 0; l < layers_; ++l) {
        sizes_[l] = network.layerSize(l);
        // A layer has at most kMaxLayerNeurons neurons, which the padded room holds.
        assert(sizes_[l] >= 1 && sizes_[l] <= kMaxLayerNeurons);
        codes_[l] = network.neuron(l, 0).transfer;
        for (int i = 0; i < sizes_[l]; ++i) {
            const LayerNeuron& neuron = network.neuron(l, i);
            activity_[slot(l) + i] = neuron.activity;
            net_[slot(l) + i] = neuron.net;
            bias_[slot(l) + i] = neuron.bias;
            if (l > 0) {
                for (int j = 0; j < sizes_[l - 1]; ++j) {
                    weights_[weightSlot(l) + j * kStride + i] = neuron.weights[j];
                }
            }
        }
    }
}

void PackedNetwork::storeInto(LayeredNetwork& network) const {
    for (int l = 0; l < layers_; ++l) {
        for (int i = 0; i < sizes_[l]; ++i) {
            LayerNeuron& neuron = network.neuron(l, i);
            neuron.activity = activity_[slot(l) + i];
            neuron.net = net_[slot(l) + i];
            neuron.bias = bias_[slot(l) + i];
            if (l > 0) {
                for (int j = 0; j < sizes_[l - 1]; ++j) {
                    neuron.weights[j] = weights_[weightSlot(l) + j * kStride + i];
                }
            }
        }
    }
}

std::size_t PackedNetwork::parameterCount() const {
    std::size_t count = 0;
    for (int l = 1; l < layers_; ++l) {
        count += static_cast<std::size_t>(sizes_[l]) * static_cast<std::size_t>(sizes_[l - 1] + 1);
    }
    return count;
}

void PackedNetwork::copyParameters(float* out) const {
    for (int l = 1; l < layers_; ++l) {
        const float* weights = &weights_[weightSlot(l)];
        for (int i = 0; i < sizes_[l]; ++i) {
            *out++ = bias_[slot(l) + i];
            for (int j = 0; j < sizes_[l - 1]; ++j) {
                *out++ = weights[j * kStride + i];
            }
        }
    }
}

void PackedNetwork::setInputs(const float* values) {
    float* activity = &activity_[0];
    for (int j = 0; j < sizes_[0]; ++j) {
        activity[j] = values[j];
    }
}

void PackedNetwork::forwardLayer(int layer) {
    const int receivers = sizes_[layer];
    const int senders = sizes_[layer - 1];
    float* __restrict net = &net_[slot(layer)];
    float* __restrict activity = &activity_[slot(layer)];
    const float* __restrict input = &activity_[slot(layer - 1)];
    const float* __restrict bias = &bias_[slot(layer)];
    const float* __restrict weights = &weights_[weightSlot(layer)];
    for (int i = 0; i < receivers; ++i) {
        net[i] = bias[i];
    }
    for (int j = 0; j < senders; ++j) {
        const float a = input[j];
        const float* __restrict row = weights + j * kStride;
        for (int i = 0; i < receivers; ++i) {
            net[i] = net[i] + a * row[i];
        }
    }
    const TransferCode code = codes_[layer];
    if (code == TransferCode::Linear) {
        for (int i = 0; i < receivers; ++i) {
            activity[i] = net[i];
        }
    } else {
        for (int i = 0; i < receivers; ++i) {
            activity[i] = transferActivity(code, net[i]);
        }
    }
}

void PackedNetwork::competeLayer(int layer, int ensembleSize) {
    float* activity = &activity_[slot(layer)];
    const int size = sizes_[layer];
    const int step = ensembleSize >= 1 ? ensembleSize : 1;
    for (int first = 0; first < size; first += step) {
        const int end = first + step < size ? first + step : size;
        int winner = first;
        for (int i = first + 1; i < end; ++i) {
            if (activity[i] > activity[winner]) {
                winner = i;
            }
        }
        for (int i = first; i < end; ++i) {
            activity[i] = i == winner ? 1.0f : 0.0f;
        }
    }
}

void PackedNetwork::backPropagate(const float* target, float rate) {
    const int last = layers_ - 1;
    {
        const TransferCode code = codes_[last];
        const float* activity = &activity_[slot(last)];
        const float* net = &net_[slot(last)];
        float* delta = &delta_[slot(last)];
        for (int i = 0; i < sizes_[last]; ++i) {
            delta[i] = errorTerm(code, target[i] - activity[i], activity[i], net[i]);
        }
    }
    for (int l = last - 1; l >= 1; --l) {
        const TransferCode code = codes_[l];
        const int receivers = sizes_[l + 1];
        const float* __restrict next = &delta_[slot(l + 1)];
        const float* __restrict weights = &weights_[weightSlot(l + 1)];
        const float* __restrict activity = &activity_[slot(l)];
        const float* __restrict net = &net_[slot(l)];
        float* __restrict delta = &delta_[slot(l)];
        for (int j = 0; j < sizes_[l]; ++j) {
            const float* __restrict row = weights + j * kStride;
            float e = 0.0f;
            for (int k = 0; k < receivers; ++k) {
                e = e + next[k] * row[k];
            }
            delta[j] = errorTerm(code, e, activity[j], net[j]);
        }
    }
    for (int l = 1; l <= last; ++l) {
        const int receivers = sizes_[l];
        const int senders = sizes_[l - 1];
        const float* __restrict delta = &delta_[slot(l)];
        const float* __restrict input = &activity_[slot(l - 1)];
        float* __restrict bias = &bias_[slot(l)];
        float* __restrict weights = &weights_[weightSlot(l)];
        for (int i = 0; i < receivers; ++i) {
            bias[i] = bias[i] + rate * delta[i];
        }
        for (int j = 0; j < senders; ++j) {
            const float a = input[j];
            float* __restrict row = weights + j * kStride;
            for (int i = 0; i < receivers; ++i) {
                row[i] = row[i] + rate * (delta[i] * a);
            }
        }
    }
}

bool PackedNetwork::hebbianUpdate(float rate) {
    if (layers_ < 2) {
        return false;
    }
    const int receivers = sizes_[1];
    const int senders = sizes_[0];
    const float* input = &activity_[slot(0)];
    const float* activity = &activity_[slot(1)];
    float* weights = &weights_[weightSlot(1)];
    bool exceeded = false;
    for (int i = 0; i < receivers; ++i) {
        if (!(activity[i] > 0.0f)) {
            continue;
        }
        for (int k = 0; k < senders; ++k) {
            float& w = weights[k * kStride + i];
            if (input[k] > 0.0f) {
                w = w + rate;
            }
            if (w > 10.0f) {
                exceeded = true;
            }
        }
    }
    if (exceeded) {
        for (int k = 0; k < senders; ++k) {
            for (int i = 0; i < receivers; ++i) {
                weights[k * kStride + i] = weights[k * kStride + i] * 0.5f;
            }
        }
    }
    return exceeded;
}

double PackedNetwork::meanSquaredError(const float* inputs, int inputWidth, const float* targets,
                                       int targetWidth, int patterns) {
    keptActivity_ = activity_;
    keptNet_ = net_;
    const int last = layers_ - 1;
    const int outputs = sizes_[last];
    double sum = 0.0;
    for (int p = 0; p < patterns; ++p) {
        setInputs(inputs + static_cast<std::size_t>(p) * static_cast<std::size_t>(inputWidth));
        for (int l = 1; l < layers_; ++l) {
            forwardLayer(l);
        }
        const float* target =
            targets + static_cast<std::size_t>(p) * static_cast<std::size_t>(targetWidth);
        const float* response = &activity_[slot(last)];
        for (int s = 0; s < outputs; ++s) {
            const double difference =
                static_cast<double>(target[s]) - static_cast<double>(response[s]);
            sum += difference * difference;
        }
    }
    activity_.swap(keptActivity_);
    net_.swap(keptNet_);
    return patterns > 0 && outputs > 0 ? sum / (static_cast<double>(patterns) * outputs) : 0.0;
}

} // namespace axolite::training
