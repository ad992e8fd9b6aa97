// Building, the forward pass and the ensemble competition of the layered network.
#include "core/training/layered_network.h"

#include <algorithm>
#include <ctime>

namespace axolite::training {

void RandomSource::seed() {
    const auto value = fixedSeed_ ? *fixedSeed_ : static_cast<std::uint32_t>(std::time(nullptr));
    engine_.seed(value);
}

std::vector<int> layerSizes(const LayerConfiguration& configuration) {
    std::vector<int> sizes;
    sizes.push_back(configuration.inputNeurons);
    for (int h = 0; h < configuration.hiddenLayers && h < kMaxHiddenLayers; ++h) {
        sizes.push_back(configuration.hiddenNeurons[h]);
    }
    sizes.push_back(configuration.outputNeurons);
    return sizes;
}

float initialValue(std::uint32_t draw) {
    // The single-precision numbers nearest to 0.00, 0.01, ... 0.09: the product
    // float(r mod 10) * 0.01f misses 0.05 and 0.09 by one step.
    static constexpr float kValues[10] = {0.00f, 0.01f, 0.02f, 0.03f, 0.04f,
                                          0.05f, 0.06f, 0.07f, 0.08f, 0.09f};
    return kValues[draw % 10u];
}

namespace {

float randomValue(RandomSource& random) {
    return initialValue(random.next());
}

int clampedSize(int size) {
    return size < 1 ? 1 : (size > kMaxLayerNeurons ? kMaxLayerNeurons : size);
}

} // namespace

LayeredNetwork LayeredNetwork::build(const LayerConfiguration& configuration,
                                     RandomSource& random) {
    random.seed();
    const std::vector<int> sizes = layerSizes(configuration);
    const int last = static_cast<int>(sizes.size()) - 1;
    LayeredNetwork network;
    network.layers_.resize(sizes.size());
    for (int l = 0; l <= last; ++l) {
        auto& layer = network.layers_[l];
        layer.resize(static_cast<std::size_t>(clampedSize(sizes[l])));
        for (LayerNeuron& neuron : layer) {
            neuron.activity = 1.0f;
            if (l == 0) {
                neuron.transfer = configuration.inputTransfer;
                neuron.bias = -3.0f;
                continue;
            }
            neuron.transfer = l == last ? configuration.outputTransfer
                                        : (configuration.hiddenTransfer == TransferCode::Linear
                                               ? TransferCode::Linear
                                               : TransferCode::Sigmoid);
            neuron.bias = randomValue(random);
            const int previous = network.layerSize(l - 1);
            for (int k = 0; k < kMaxLayerNeurons; ++k) {
                neuron.weights[k] = k < previous ? randomValue(random) : 0.0f;
            }
        }
    }
    return network;
}

void LayeredNetwork::setInputs(const float* values) {
    for (LayerNeuron& neuron : layers_[0]) {
        neuron.activity = *values++;
    }
}

void LayeredNetwork::forwardLayer(int layer) {
    const auto& previous = layers_[layer - 1];
    for (LayerNeuron& neuron : layers_[layer]) {
        float net = neuron.bias;
        for (std::size_t j = 0; j < previous.size(); ++j) {
            net = net + previous[j].activity * neuron.weights[j];
        }
        neuron.net = net;
        neuron.activity = transferActivity(neuron.transfer, net);
    }
}

void LayeredNetwork::forwardPass() {
    for (int l = 1; l < layerCount(); ++l) {
        forwardLayer(l);
    }
}

void LayeredNetwork::competeLayer(int layer, int ensembleSize) {
    auto& neurons = layers_[layer];
    const std::size_t size = ensembleSize >= 1 ? static_cast<std::size_t>(ensembleSize) : 1;
    for (std::size_t first = 0; first < neurons.size(); first += size) {
        const std::size_t end = std::min(first + size, neurons.size());
        std::size_t winner = first;
        for (std::size_t i = first + 1; i < end; ++i) {
            if (neurons[i].activity > neurons[winner].activity) {
                winner = i;
            }
        }
        for (std::size_t i = first; i < end; ++i) {
            neurons[i].activity = i == winner ? 1.0f : 0.0f;
        }
    }
}

std::vector<float> LayeredNetwork::outputs() const {
    std::vector<float> values;
    if (!layers_.empty()) {
        for (const LayerNeuron& neuron : layers_.back()) {
            values.push_back(neuron.activity);
        }
    }
    return values;
}

std::vector<float> investigate(const LayeredNetwork& network, const std::vector<float>& inputs) {
    if (network.empty()) {
        return {};
    }
    LayeredNetwork copy = network;
    std::vector<float> values(static_cast<std::size_t>(copy.inputCount()), 0.0f);
    for (std::size_t j = 0; j < values.size() && j < inputs.size(); ++j) {
        values[j] = inputs[j];
    }
    copy.setInputs(values.data());
    copy.forwardPass();
    return copy.outputs();
}

std::optional<std::string> ensembleCountFailure(const LayerConfiguration& configuration) {
    for (int h = 0; h < configuration.hiddenLayers && h < kMaxHiddenLayers; ++h) {
        const int neurons = configuration.hiddenNeurons[h];
        const int ensembles = configuration.hiddenEnsembles[h];
        if (ensembles < 1 || neurons % ensembles != 0) {
            return "Число нейронных ансамблей для " + std::to_string(h + 1) +
                   "-го скрытого слоя введено неверно.";
        }
    }
    return std::nullopt;
}

} // namespace axolite::training
