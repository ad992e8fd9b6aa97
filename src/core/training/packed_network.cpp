// The training kernel on contiguous arrays, four neurons to a vector.
#include "core/training/packed_network.h"

#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace axolite::training {

namespace {

constexpr int kLanes = 4;
constexpr int kMaxBlocks = PackedNetwork::kStride / kLanes;
static_assert(PackedNetwork::kStride % kLanes == 0);

// Four floats, one neuron to a lane: every operation on them is the float operation, lane by
// lane, rounded as the float operation is.
using Lanes = float __attribute__((vector_size(kLanes * sizeof(float))));

Lanes load(const float* p) {
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void store(float* p, Lanes v) {
    std::memcpy(p, &v, sizeof v);
}

Lanes splat(float x) {
    return Lanes{x, x, x, x};
}

template <int B> using BlockCount = std::integral_constant<int, B>;

// Calls body(BlockCount<blocks>()), so that the loops over the blocks of a layer have a count
// known to the compiler and keep their sums in registers.
template <class Body> void withBlocks(int blocks, Body&& body) {
    static_assert(kMaxBlocks == 5);
    switch (blocks) {
    case 1:
        body(BlockCount<1>());
        break;
    case 2:
        body(BlockCount<2>());
        break;
    case 3:
        body(BlockCount<3>());
        break;
    case 4:
        body(BlockCount<4>());
        break;
    default:
        assert(blocks == kMaxBlocks);
        body(BlockCount<kMaxBlocks>());
        break;
    }
}

// net = bias + input[0] · row 0 + input[1] · row 1 + …, the receivers of B blocks side by side,
// each row holding one sender's weights to them.
template <int B>
void sumBySender(int senders, const float* input, const float* weights, const float* bias,
                 float* net) {
    Lanes sum[B];
    for (int b = 0; b < B; ++b) {
        sum[b] = load(bias + kLanes * b);
    }
    for (int j = 0; j < senders; ++j) {
        const Lanes a = splat(input[j]);
        const float* row = weights + j * PackedNetwork::kStride;
        for (int b = 0; b < B; ++b) {
            sum[b] = sum[b] + a * load(row + kLanes * b);
        }
    }
    for (int b = 0; b < B; ++b) {
        store(net + kLanes * b, sum[b]);
    }
}

// The same sums receiver by receiver, each over the row of its own weights.
void sumByReceiver(int receivers, int senders, const float* input, const float* weights,
                   const float* bias, float* net) {
    for (int i = 0; i < receivers; ++i) {
        const float* row = weights + i * PackedNetwork::kStride;
        float sum = bias[i];
        for (int j = 0; j < senders; ++j) {
            sum = sum + input[j] * row[j];
        }
        net[i] = sum;
    }
}

} // namespace

PackedNetwork::PackedNetwork(const LayeredNetwork& network)
    : layers_(network.layerCount()), activity_(kMaxLayers * kStride, 0.0f),
      net_(kMaxLayers * kStride, 0.0f), bias_(kMaxLayers * kStride, 0.0f),
      delta_(kMaxLayers * kStride, 0.0f),
      exponential_(kMaxLayers * kStride, std::numeric_limits<float>::infinity()),
      bySender_(static_cast<std::size_t>(kMaxLayers) * kMaxLayerNeurons * kStride, 0.0f),
      byReceiver_(bySender_.size(), 0.0f) {
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
            for (int j = 0; l > 0 && j < sizes_[l - 1]; ++j) {
                bySender_[weightSlot(l) + j * kStride + i] = neuron.weights[j];
                byReceiver_[weightSlot(l) + i * kStride + j] = neuron.weights[j];
            }
        }
    }
}

float PackedNetwork::weight(int layer, int receiver, int sender) const {
    return keepsBySender(layer) ? bySender_[weightSlot(layer) + sender * kStride + receiver]
                                : byReceiver_[weightSlot(layer) + receiver * kStride + sender];
}

void PackedNetwork::storeInto(LayeredNetwork& network) const {
    for (int l = 0; l < layers_; ++l) {
        for (int i = 0; i < sizes_[l]; ++i) {
            LayerNeuron& neuron = network.neuron(l, i);
            neuron.activity = activity_[slot(l) + i];
            neuron.net = net_[slot(l) + i];
            neuron.bias = bias_[slot(l) + i];
            for (int j = 0; l > 0 && j < sizes_[l - 1]; ++j) {
                neuron.weights[j] = weight(l, i, j);
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
    float* net = &net_[slot(layer)];
    float* activity = &activity_[slot(layer)];
    const float* input = &activity_[slot(layer - 1)];
    const float* bias = &bias_[slot(layer)];
    if (rowSummed(layer)) {
        sumByReceiver(receivers, senders, input, &byReceiver_[weightSlot(layer)], bias, net);
    } else {
        withBlocks(blocks(layer), [&](auto count) {
            sumBySender<decltype(count)::value>(senders, input, &bySender_[weightSlot(layer)], bias,
                                                net);
        });
    }
    const int lanes = kLanes * blocks(layer);
    const TransferCode code = codes_[layer];
    switch (code) {
    case TransferCode::Linear:
        for (int i = 0; i < lanes; i += kLanes) {
            store(activity + i, load(net + i));
        }
        break;
    case TransferCode::Sigmoid: {
        // 1 / (1 + e^(−net)): the exponentials one by one, the rest four neurons at once.
        float* exponential = &exponential_[slot(layer)];
        for (int i = 0; i < receivers; ++i) {
            exponential[i] = std::exp(-net[i]);
        }
        for (int i = 0; i < lanes; i += kLanes) {
            store(activity + i, splat(1.0f) / (splat(1.0f) + load(exponential + i)));
        }
        break;
    }
    case TransferCode::Step:
    case TransferCode::Gaussian:
        for (int i = 0; i < receivers; ++i) {
            activity[i] = transferActivity(code, net[i]);
        }
        break;
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

// The error terms of layer l from those of layer l + 1: each neuron's error is 0 + δ₀·w₀ + δ₁·w₁
// + … over the receivers in order, four neurons at once along the rows of the next layer's
// weights in receiver order.
void PackedNetwork::hiddenErrorTerms(int layer) {
    const int receivers = sizes_[layer + 1];
    const float* next = &delta_[slot(layer + 1)];
    const float* weights = &byReceiver_[weightSlot(layer + 1)];
    const float* activity = &activity_[slot(layer)];
    const float* net = &net_[slot(layer)];
    float* delta = &delta_[slot(layer)];
    const TransferCode code = codes_[layer];
    withBlocks(blocks(layer), [&](auto count) {
        constexpr int B = decltype(count)::value;
        Lanes sum[B];
        for (int b = 0; b < B; ++b) {
            sum[b] = splat(0.0f);
        }
        for (int k = 0; k < receivers; ++k) {
            const Lanes d = splat(next[k]);
            const float* row = weights + k * kStride;
            for (int b = 0; b < B; ++b) {
                sum[b] = sum[b] + d * load(row + kLanes * b);
            }
        }
        for (int b = 0; b < B; ++b) {
            const int i = kLanes * b;
            store(delta + i, errorTermOf(code, sum[b], load(activity + i), load(net + i)));
        }
    });
}

// Bias and weights of layer l: b += rate · δ and w += rate · (δ · a) for each of the layer's
// weight orders.
void PackedNetwork::updateLayer(int layer, float rate) {
    const int receivers = sizes_[layer];
    const int senders = sizes_[layer - 1];
    const int receiverBlocks = blocks(layer);
    const int senderBlocks = blocks(layer - 1);
    const bool bySender = keepsBySender(layer);
    const bool byReceiver = keepsByReceiver(layer);
    const Lanes r = splat(rate);
    const float* delta = &delta_[slot(layer)];
    const float* input = &activity_[slot(layer - 1)];
    float* bias = &bias_[slot(layer)];
    for (int i = 0; i < kLanes * receiverBlocks; i += kLanes) {
        store(bias + i, load(bias + i) + r * load(delta + i));
    }
    if (bySender) {
        float* weights = &bySender_[weightSlot(layer)];
        withBlocks(receiverBlocks, [&](auto count) {
            constexpr int B = decltype(count)::value;
            Lanes d[B];
            for (int b = 0; b < B; ++b) {
                d[b] = load(delta + kLanes * b);
            }
            for (int j = 0; j < senders; ++j) {
                const Lanes a = splat(input[j]);
                float* row = weights + j * kStride;
                for (int b = 0; b < B; ++b) {
                    store(row + kLanes * b, load(row + kLanes * b) + r * (d[b] * a));
                }
            }
        });
    }
    if (byReceiver) {
        float* weights = &byReceiver_[weightSlot(layer)];
        withBlocks(senderBlocks, [&](auto count) {
            constexpr int B = decltype(count)::value;
            Lanes a[B];
            for (int b = 0; b < B; ++b) {
                a[b] = load(input + kLanes * b);
            }
            for (int i = 0; i < receivers; ++i) {
                const Lanes d = splat(delta[i]);
                float* row = weights + i * kStride;
                for (int b = 0; b < B; ++b) {
                    store(row + kLanes * b, load(row + kLanes * b) + r * (d * a[b]));
                }
            }
        });
    }
}

void PackedNetwork::backPropagate(const float* target, float rate) {
    const int last = layers_ - 1;
    {
        const int size = sizes_[last];
        const int lanes = kLanes * blocks(last);
        const TransferCode code = codes_[last];
        const float* activity = &activity_[slot(last)];
        const float* net = &net_[slot(last)];
        float* delta = &delta_[slot(last)];
        for (int i = 0; i < size; ++i) {
            delta[i] = target[i] - activity[i];
        }
        for (int i = 0; i < lanes; i += kLanes) {
            store(delta + i, errorTermOf(code, load(delta + i), load(activity + i), load(net + i)));
        }
    }
    for (int l = last - 1; l >= 1; --l) {
        hiddenErrorTerms(l);
    }
    for (int l = 1; l <= last; ++l) {
        updateLayer(l, rate);
    }
}

void PackedNetwork::trainPattern(const float* input, const float* target, float rate) {
    setInputs(input);
    for (int l = 1; l < layers_; ++l) {
        forwardLayer(l);
    }
    backPropagate(target, rate);
}

bool PackedNetwork::hebbianUpdate(float rate) {
    if (layers_ < 2) {
        return false;
    }
    // Layer 1 keeps its weights in one order only.
    assert(keepsBySender(1) != keepsByReceiver(1));
    const int receivers = sizes_[1];
    const int senders = sizes_[0];
    const bool bySender = keepsBySender(1);
    float* weights = bySender ? &bySender_[weightSlot(1)] : &byReceiver_[weightSlot(1)];
    const int senderStep = bySender ? kStride : 1;
    const int receiverStep = bySender ? 1 : kStride;
    const float* input = &activity_[slot(0)];
    const float* activity = &activity_[slot(1)];
    bool exceeded = false;
    for (int i = 0; i < receivers; ++i) {
        if (!(activity[i] > 0.0f)) {
            continue;
        }
        for (int k = 0; k < senders; ++k) {
            float& w = weights[k * senderStep + i * receiverStep];
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
                float& w = weights[k * senderStep + i * receiverStep];
                w = w * 0.5f;
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
