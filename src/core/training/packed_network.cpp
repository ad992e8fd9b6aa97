// The training kernel on contiguous arrays, four neurons to a vector. Each layer runs kernels
// chosen once for its number of blocks, so that their loops over the blocks are unrolled and
// keep their sums in registers.
#include "core/training/packed_network.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace axolite::training {

namespace {

constexpr int kStride = PackedNetwork::kStride;
constexpr int kLanes = 4;
constexpr int kMaxBlocks = kStride / kLanes;
static_assert(kStride % kLanes == 0);

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

int blocksOf(int neurons) {
    return (neurons + kLanes - 1) / kLanes;
}

// The activities of a layer from its weighted sums; B blocks hold its neurons. The kernels copy
// what they use of a layer into locals first: their vector stores could otherwise change it, as
// far as the compiler knows.
template <int B>
void transfer(TransferCode code, int size, const float* net, float* exponential, float* activity) {
    switch (code) {
    case TransferCode::Linear:
        for (int b = 0; b < B; ++b) {
            store(activity + kLanes * b, load(net + kLanes * b));
        }
        break;
    case TransferCode::Sigmoid:
        // 1 / (1 + e^(−net)): the exponentials one by one, the rest four neurons at once.
        for (int i = 0; i < size; ++i) {
            exponential[i] = std::exp(-net[i]);
        }
        for (int b = 0; b < B; ++b) {
            const Lanes one = splat(1.0f);
            store(activity + kLanes * b, one / (one + load(exponential + kLanes * b)));
        }
        break;
    case TransferCode::Step:
    case TransferCode::Gaussian:
        for (int i = 0; i < size; ++i) {
            activity[i] = transferActivity(code, net[i]);
        }
        break;
    }
}

// delta = the error term of each neuron for its error e, B blocks of them.
template <int B, TransferCode Code>
[[gnu::always_inline]] inline void storeErrorTerms(const Lanes* e, const float* activity,
                                                   const float* net, float* delta) {
    for (int b = 0; b < B; ++b) {
        const int i = kLanes * b;
        store(delta + i, errorTermOf(Code, e[b], load(activity + i), load(net + i)));
    }
}

template <int B>
[[gnu::always_inline]] inline void storeErrorTerms(TransferCode code, const Lanes* e,
                                                   const float* activity, const float* net,
                                                   float* delta) {
    switch (code) {
    case TransferCode::Sigmoid:
        storeErrorTerms<B, TransferCode::Sigmoid>(e, activity, net, delta);
        break;
    case TransferCode::Gaussian:
        storeErrorTerms<B, TransferCode::Gaussian>(e, activity, net, delta);
        break;
    case TransferCode::Linear:
    case TransferCode::Step:
        storeErrorTerms<B, TransferCode::Linear>(e, activity, net, delta);
        break;
    }
}

// net = bias + input[0] · row 0 + input[1] · row 1 + …, the receivers of B blocks side by side,
// each row holding one sender's weights to them.
template <int B> void forwardBySender(const PackedLayer& layer) {
    const int senders = layer.senders;
    const float* input = layer.input;
    const float* weights = layer.bySender;
    float* net = layer.net;
    Lanes sum[B];
    for (int b = 0; b < B; ++b) {
        sum[b] = load(layer.bias + kLanes * b);
    }
    for (int j = 0; j < senders; ++j) {
        const Lanes a = splat(input[j]);
        const float* row = weights + j * kStride;
        for (int b = 0; b < B; ++b) {
            sum[b] = sum[b] + a * load(row + kLanes * b);
        }
    }
    for (int b = 0; b < B; ++b) {
        store(net + kLanes * b, sum[b]);
    }
    transfer<B>(layer.code, layer.size, net, layer.exponential, layer.activity);
}

// The same sums receiver by receiver, each over the row of its own weights: the products four
// at a time (S blocks hold the senders), their sum one by one in sender order, then the
// activity. A vector load of values just stored one by one would wait for the stores, so the
// layer's transfer runs neuron by neuron here.
template <int S> void forwardByReceiver(const PackedLayer& layer) {
    const int size = layer.size;
    const int senders = layer.senders;
    const TransferCode code = layer.code;
    const float* input = layer.input;
    const float* bias = layer.bias;
    float* net = layer.net;
    float* activity = layer.activity;
    for (int i = 0; i < size; ++i) {
        const float* row = layer.byReceiver + i * kStride;
        float products[kLanes * S];
        for (int b = 0; b < S; ++b) {
            store(products + kLanes * b, load(input + kLanes * b) * load(row + kLanes * b));
        }
        float sum = bias[i];
        for (int j = 0; j < senders; ++j) {
            sum = sum + products[j];
        }
        net[i] = sum;
        activity[i] = transferActivity(code, sum);
    }
}

// The error terms of the output layer for the target, one by one (the target row has no room
// past its last value).
void outputErrorTerms(const PackedLayer& layer, const float* target) {
    const int size = layer.size;
    const TransferCode code = layer.code;
    const float* activity = layer.activity;
    const float* net = layer.net;
    float* delta = layer.delta;
    for (int i = 0; i < size; ++i) {
        delta[i] = errorTerm(code, target[i] - activity[i], activity[i], net[i]);
    }
}

// The error terms of a hidden layer from those of the next: each neuron's error is 0 + δ₀·w₀ +
// δ₁·w₁ + … over the next layer's neurons in order, four neurons at once along the rows of the
// next layer's weights in receiver order.
template <int B> void hiddenErrorTerms(const PackedLayer& layer) {
    const int receivers = layer.next->size;
    const float* next = layer.next->delta;
    const float* weights = layer.next->byReceiver;
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
    storeErrorTerms<B>(layer.code, sum, layer.activity, layer.net, layer.delta);
}

// b += rate · δ, then w += rate · (δ · a) for each order the layer keeps its weights in: R blocks
// hold the layer's neurons, S blocks the senders.
template <int R, int S> void update(const PackedLayer& layer, float rate) {
    const int receivers = layer.size;
    const int senders = layer.senders;
    const float* input = layer.input;
    const float* delta = layer.delta;
    float* bias = layer.bias;
    float* bySender = layer.bySender;
    float* byReceiver = layer.byReceiver;
    const Lanes r = splat(rate);
    Lanes d[R];
    for (int b = 0; b < R; ++b) {
        d[b] = load(delta + kLanes * b);
        store(bias + kLanes * b, load(bias + kLanes * b) + r * d[b]);
    }
    if (bySender != nullptr) {
        for (int j = 0; j < senders; ++j) {
            const Lanes a = splat(input[j]);
            float* row = bySender + j * kStride;
            for (int b = 0; b < R; ++b) {
                store(row + kLanes * b, load(row + kLanes * b) + r * (d[b] * a));
            }
        }
    }
    if (byReceiver != nullptr) {
        Lanes a[S];
        for (int b = 0; b < S; ++b) {
            a[b] = load(input + kLanes * b);
        }
        for (int i = 0; i < receivers; ++i) {
            const Lanes di = splat(delta[i]);
            float* row = byReceiver + i * kStride;
            for (int b = 0; b < S; ++b) {
                store(row + kLanes * b, load(row + kLanes * b) + r * (di * a[b]));
            }
        }
    }
}

// The instance of a kernel for a number of blocks (1 … kMaxBlocks) known only at run time:
// pick(BlockCount<B>()) answers the instance for B.
template <int B> using BlockCount = std::integral_constant<int, B>;
using Forward = void (*)(const PackedLayer&);
using Update = void (*)(const PackedLayer&, float);

template <class Pick> auto forBlocks(int blocks, Pick pick) {
    static_assert(kMaxBlocks == 5);
    switch (blocks) {
    case 1:
        return pick(BlockCount<1>());
    case 2:
        return pick(BlockCount<2>());
    case 3:
        return pick(BlockCount<3>());
    case 4:
        return pick(BlockCount<4>());
    default:
        assert(blocks == kMaxBlocks);
        return pick(BlockCount<kMaxBlocks>());
    }
}

// The storage: five arrays of kStride floats per layer, the two kept ones, then the weights in
// both orders.
constexpr std::size_t kLayerArray = static_cast<std::size_t>(PackedNetwork::kMaxLayers) * kStride;
constexpr std::size_t kWeightArray = static_cast<std::size_t>(PackedNetwork::kMaxLayers) *
                                     kMaxLayerNeurons * static_cast<std::size_t>(kStride);
enum Array : std::size_t {
    Activity,
    Net,
    Bias,
    Delta,
    Exponential,
    KeptActivity,
    KeptNet,
    Weights
};

} // namespace

PackedNetwork::PackedNetwork(const LayeredNetwork& network)
    : layers_(network.layerCount() < kMaxLayers ? network.layerCount() : kMaxLayers),
      storage_(new float[Weights * kLayerArray + 2 * kWeightArray]()) {
    float* base = storage_.get();
    std::fill(base + Exponential * kLayerArray, base + (Exponential + 1) * kLayerArray,
              std::numeric_limits<float>::infinity());
    keptActivity_ = base + KeptActivity * kLayerArray;
    keptNet_ = base + KeptNet * kLayerArray;
    float* bySender = base + Weights * kLayerArray;
    float* byReceiver = bySender + kWeightArray;
    for (int l = 0; l < layers_; ++l) {
        PackedLayer& layer = layer_[l];
        const std::size_t at = static_cast<std::size_t>(l) * kStride;
        const std::size_t weightsAt = static_cast<std::size_t>(l) * kMaxLayerNeurons * kStride;
        layer.size = network.layerSize(l);
        // A layer has at most kMaxLayerNeurons neurons, which the padded room holds.
        assert(layer.size >= 1 && layer.size <= kMaxLayerNeurons);
        layer.code = network.neuron(l, 0).transfer;
        layer.activity = base + Activity * kLayerArray + at;
        layer.net = base + Net * kLayerArray + at;
        layer.bias = base + Bias * kLayerArray + at;
        layer.delta = base + Delta * kLayerArray + at;
        layer.exponential = base + Exponential * kLayerArray + at;
        for (int i = 0; i < layer.size; ++i) {
            const LayerNeuron& neuron = network.neuron(l, i);
            layer.activity[i] = neuron.activity;
            layer.net[i] = neuron.net;
            layer.bias[i] = neuron.bias;
        }
        if (l == 0) {
            continue;
        }
        const PackedLayer& previous = layer_[l - 1];
        layer.senders = previous.size;
        layer.input = previous.activity;
        const bool rowSummed = layer.size <= kMaxRowSummedLayer;
        // The previous layer's error terms need this layer's weights in receiver order.
        if (rowSummed || l >= 2) {
            layer.byReceiver = byReceiver + weightsAt;
        }
        if (!rowSummed) {
            layer.bySender = bySender + weightsAt;
        }
        const int blocks = blocksOf(layer.size);
        const int senderBlocks = blocksOf(layer.senders);
        layer.forward =
            rowSummed
                ? forBlocks(senderBlocks,
                            [](auto s) -> Forward { return forwardByReceiver<decltype(s)::value>; })
                : forBlocks(blocks,
                            [](auto r) -> Forward { return forwardBySender<decltype(r)::value>; });
        layer.update = forBlocks(blocks, [&](auto r) {
            return forBlocks(senderBlocks, [](auto s) -> Update {
                return update<decltype(r)::value, decltype(s)::value>;
            });
        });
        layer_[l - 1].next = &layer;
        if (l >= 2) {
            layer_[l - 1].hiddenErrorTerms = forBlocks(senderBlocks, [](auto s) -> Forward {
                return hiddenErrorTerms<decltype(s)::value>;
            });
        }
        for (int i = 0; i < layer.size; ++i) {
            for (int j = 0; j < layer.senders; ++j) {
                const float w = network.neuron(l, i).weights[j];
                if (layer.bySender != nullptr) {
                    layer.bySender[j * kStride + i] = w;
                }
                if (layer.byReceiver != nullptr) {
                    layer.byReceiver[i * kStride + j] = w;
                }
            }
        }
    }
}

float PackedNetwork::weight(int layer, int receiver, int sender) const {
    const PackedLayer& l = layer_[layer];
    return l.bySender != nullptr ? l.bySender[sender * kStride + receiver]
                                 : l.byReceiver[receiver * kStride + sender];
}

void PackedNetwork::storeInto(LayeredNetwork& network) const {
    for (int l = 0; l < layers_; ++l) {
        const PackedLayer& layer = layer_[l];
        for (int i = 0; i < layer.size; ++i) {
            LayerNeuron& neuron = network.neuron(l, i);
            neuron.activity = layer.activity[i];
            neuron.net = layer.net[i];
            neuron.bias = layer.bias[i];
            for (int j = 0; j < layer.senders; ++j) {
                neuron.weights[j] = weight(l, i, j);
            }
        }
    }
}

std::size_t PackedNetwork::parameterCount() const {
    std::size_t count = 0;
    for (int l = 1; l < layers_; ++l) {
        count += static_cast<std::size_t>(layer_[l].size) *
                 static_cast<std::size_t>(layer_[l].senders + 1);
    }
    return count;
}

void PackedNetwork::copyParameters(float* out) const {
    for (int l = 1; l < layers_; ++l) {
        const PackedLayer& layer = layer_[l];
        for (int i = 0; i < layer.size; ++i) {
            *out++ = layer.bias[i];
            for (int j = 0; j < layer.senders; ++j) {
                *out++ = weight(l, i, j);
            }
        }
    }
}

void PackedNetwork::setInputs(const float* values) {
    const PackedLayer& inputs = layer_[0];
    for (int j = 0; j < inputs.size; ++j) {
        inputs.activity[j] = values[j];
    }
}

void PackedNetwork::competeLayer(int layer, int ensembleSize) {
    float* activity = layer_[layer].activity;
    const int size = layer_[layer].size;
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
    if (last < 1) {
        return;
    }
    outputErrorTerms(layer_[last], target);
    for (int l = last - 1; l >= 1; --l) {
        layer_[l].hiddenErrorTerms(layer_[l]);
    }
    for (int l = 1; l <= last; ++l) {
        layer_[l].update(layer_[l], rate);
    }
}

void PackedNetwork::trainPattern(const float* input, const float* target, float rate) {
    setInputs(input);
    for (int l = 1; l < layers_; ++l) {
        layer_[l].forward(layer_[l]);
    }
    backPropagate(target, rate);
}

bool PackedNetwork::hebbianUpdate(float rate) {
    if (layers_ < 2) {
        return false;
    }
    const PackedLayer& layer = layer_[1];
    // Layer 1 keeps its weights in one order only.
    assert((layer.bySender == nullptr) != (layer.byReceiver == nullptr));
    const bool bySender = layer.bySender != nullptr;
    float* weights = bySender ? layer.bySender : layer.byReceiver;
    const int senderStep = bySender ? kStride : 1;
    const int receiverStep = bySender ? 1 : kStride;
    bool exceeded = false;
    for (int i = 0; i < layer.size; ++i) {
        if (!(layer.activity[i] > 0.0f)) {
            continue;
        }
        for (int k = 0; k < layer.senders; ++k) {
            float& w = weights[k * senderStep + i * receiverStep];
            if (layer.input[k] > 0.0f) {
                w = w + rate;
            }
            if (w > 10.0f) {
                exceeded = true;
            }
        }
    }
    if (exceeded) {
        for (int k = 0; k < layer.senders; ++k) {
            for (int i = 0; i < layer.size; ++i) {
                float& w = weights[k * senderStep + i * receiverStep];
                w = w * 0.5f;
            }
        }
    }
    return exceeded;
}

double PackedNetwork::meanSquaredError(const float* inputs, int inputWidth, const float* targets,
                                       int targetWidth, int patterns) {
    float* activity = storage_.get() + Activity * kLayerArray;
    float* net = storage_.get() + Net * kLayerArray;
    std::memcpy(keptActivity_, activity, kLayerArray * sizeof(float));
    std::memcpy(keptNet_, net, kLayerArray * sizeof(float));
    const int last = layers_ - 1;
    const int outputs = layer_[last].size;
    double sum = 0.0;
    for (int p = 0; p < patterns; ++p) {
        setInputs(inputs + static_cast<std::size_t>(p) * static_cast<std::size_t>(inputWidth));
        for (int l = 1; l < layers_; ++l) {
            forwardLayer(l);
        }
        const float* target =
            targets + static_cast<std::size_t>(p) * static_cast<std::size_t>(targetWidth);
        const float* response = layer_[last].activity;
        for (int s = 0; s < outputs; ++s) {
            const double difference =
                static_cast<double>(target[s]) - static_cast<double>(response[s]);
            sum += difference * difference;
        }
    }
    std::memcpy(activity, keptActivity_, kLayerArray * sizeof(float));
    std::memcpy(net, keptNet_, kLayerArray * sizeof(float));
    return patterns > 0 && outputs > 0 ? sum / (static_cast<double>(patterns) * outputs) : 0.0;
}

} // namespace axolite::training
