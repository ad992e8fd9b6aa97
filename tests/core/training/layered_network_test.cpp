// The layered network: building with its draws, the forward pass, competition, investigation and
// the ensemble check.
#include "core/training/layered_network.h"
#include "core/training/packed_network.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace axolite::training;

namespace {

LayerConfiguration shape(int inputs, std::vector<int> hidden, int outputs) {
    LayerConfiguration c;
    c.inputNeurons = inputs;
    c.hiddenLayers = static_cast<int>(hidden.size());
    for (std::size_t h = 0; h < hidden.size(); ++h) {
        c.hiddenNeurons[h] = hidden[h];
    }
    c.outputNeurons = outputs;
    return c;
}

// The single-precision number nearest to k hundredths (k < 10), from its decimal text.
float hundredths(std::uint32_t k) {
    const std::string text = "0.0" + std::to_string(k);
    return std::strtof(text.c_str(), nullptr);
}

std::uint32_t bits(float value) {
    std::uint32_t b = 0;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

} // namespace

TEST(LayeredNetworkBuild, EveryDrawIsTheNearestSinglePrecisionNumberToItsHundredths) {
    // 0.05 and 0.09 are where float(k) * 0.01f lands one step off.
    for (std::uint32_t r = 0; r < 30; ++r) {
        EXPECT_EQ(bits(initialValue(r)), bits(hundredths(r % 10))) << "draw " << r;
    }
}

TEST(LayeredNetworkBuild, DrawsAreHundredthsBelowATenthAndZerosBeyondThePreviousLayer) {
    LayerConfiguration c = shape(3, {5, 18}, 2);
    c.inputTransfer = TransferCode::Step;
    c.outputTransfer = TransferCode::Gaussian;
    c.hiddenTransfer = TransferCode::Gaussian; // hidden layers take linear or sigmoid only
    RandomSource random(42);
    const LayeredNetwork n = LayeredNetwork::build(c, random);
    ASSERT_EQ(n.layerCount(), 4);
    EXPECT_EQ(n.layerSize(1), 5);
    EXPECT_EQ(n.layerSize(2), 18);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(n.neuron(0, i).bias, -3.0f);
        EXPECT_EQ(n.neuron(0, i).transfer, TransferCode::Step);
        for (float w : n.neuron(0, i).weights) {
            EXPECT_EQ(w, 0.0f);
        }
    }
    auto isDraw = [](float v) {
        for (std::uint32_t k = 0; k < 10; ++k) {
            if (v == hundredths(k)) {
                return true;
            }
        }
        return false;
    };
    for (int l = 1; l < 4; ++l) {
        for (int i = 0; i < n.layerSize(l); ++i) {
            const LayerNeuron& neuron = n.neuron(l, i);
            EXPECT_EQ(neuron.activity, 1.0f);
            EXPECT_EQ(neuron.transfer, l == 3 ? TransferCode::Gaussian : TransferCode::Sigmoid);
            EXPECT_TRUE(isDraw(neuron.bias));
            for (int k = 0; k < kMaxLayerNeurons; ++k) {
                if (k < n.layerSize(l - 1)) {
                    EXPECT_TRUE(isDraw(neuron.weights[k]));
                } else {
                    EXPECT_EQ(neuron.weights[k], 0.0f);
                }
            }
        }
    }
}

TEST(LayeredNetworkBuild, DrawsInOrderBiasThenWeightsPerNeuron) {
    const LayerConfiguration c = shape(2, {}, 2);
    RandomSource random(7);
    const LayeredNetwork n = LayeredNetwork::build(c, random);
    std::minstd_rand expected(7);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(n.neuron(1, i).bias, hundredths(expected() % 10));
        EXPECT_EQ(n.neuron(1, i).weights[0], hundredths(expected() % 10));
        EXPECT_EQ(n.neuron(1, i).weights[1], hundredths(expected() % 10));
    }
    // The same seed starts from the same weights.
    RandomSource again(7);
    const LayeredNetwork m = LayeredNetwork::build(c, again);
    EXPECT_EQ(m.neuron(1, 1).weights, n.neuron(1, 1).weights);
}

TEST(LayeredNetworkForward, SumsInSinglePrecisionFromTheBiasInSenderOrder) {
    const LayerConfiguration c = shape(3, {}, 1);
    RandomSource random(1);
    LayeredNetwork n = LayeredNetwork::build(c, random);
    LayerNeuron& out = n.neuron(1, 0);
    out.bias = 1e8f;
    out.weights = {};
    out.weights[0] = 1.0f;
    out.weights[1] = 1.0f;
    out.weights[2] = -1e8f;
    const float inputs[3] = {4.0f, 4.0f, 1.0f};
    n.setInputs(inputs);
    n.forwardPass();
    // 1e8 + 4 rounds back to 1e8 twice; summed in double the result would be 8.
    EXPECT_EQ(n.outputs()[0], 0.0f);

    out.transfer = TransferCode::Sigmoid;
    out.bias = 0.0f;
    out.weights = {};
    n.forwardPass();
    EXPECT_EQ(n.outputs()[0], 0.5f);
    out.transfer = TransferCode::Gaussian;
    n.forwardPass();
    EXPECT_EQ(n.outputs()[0], 1.0f);
    out.transfer = TransferCode::Step;
    out.bias = -0.5f;
    n.forwardPass();
    EXPECT_EQ(n.outputs()[0], 0.0f);
    out.bias = 0.0f;
    n.forwardPass();
    EXPECT_EQ(n.outputs()[0], 1.0f);
}

TEST(LayeredNetworkCompetition, TheEarliestGreatestOfEachEnsembleWins) {
    const LayerConfiguration c = shape(1, {}, 6);
    RandomSource random(3);
    LayeredNetwork n = LayeredNetwork::build(c, random);
    const float activities[6] = {0.2f, 0.7f, 0.7f, NAN, 0.1f, 0.3f};
    for (int i = 0; i < 6; ++i) {
        n.neuron(1, i).activity = activities[i];
    }
    PackedNetwork packed(n);
    n.competeLayer(1, 3);
    EXPECT_EQ(n.outputs(), (std::vector<float>{0, 1, 0, 1, 0, 0}));
    packed.competeLayer(1, 3);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(packed.activity(1, i), n.outputs()[i]);
    }
}

TEST(LayeredNetworkInvestigation, LeavesTheNetworkUnchanged) {
    const LayerConfiguration c = shape(2, {3}, 1);
    RandomSource random(5);
    const LayeredNetwork n = LayeredNetwork::build(c, random);
    const LayeredNetwork before = n;
    const auto response = investigate(n, {1.0f, 2.0f, 99.0f});
    ASSERT_EQ(response.size(), 1u);
    LayeredNetwork copy = n;
    const float inputs[2] = {1.0f, 2.0f};
    copy.setInputs(inputs);
    copy.forwardPass();
    EXPECT_EQ(response, copy.outputs());
    EXPECT_EQ(n.neuron(1, 0).activity, before.neuron(1, 0).activity);
    EXPECT_EQ(n.neuron(2, 0).weights, before.neuron(2, 0).weights);
    // Missing inputs count as 0.0.
    const auto partial = investigate(n, {1.0f});
    const float padded[2] = {1.0f, 0.0f};
    copy.setInputs(padded);
    copy.forwardPass();
    EXPECT_EQ(partial, copy.outputs());
    EXPECT_TRUE(investigate(LayeredNetwork{}, {1.0f}).empty());
}

TEST(EnsembleCheck, NamesTheFirstLayerWhoseCountDoesNotDivideItsNeurons) {
    LayerConfiguration c = shape(1, {10}, 1);
    c.hiddenEnsembles[0] = 3;
    EXPECT_EQ(ensembleCountFailure(c),
              std::optional<std::string>("Число нейронных ансамблей для 1-го скрытого слоя "
                                         "введено неверно."));
    for (int good : {1, 2, 5, 10}) {
        c.hiddenEnsembles[0] = good;
        EXPECT_FALSE(ensembleCountFailure(c)) << good;
    }
    c = shape(1, {4, 4, 4, 4, 4, 4, 4, 4, 4, 4}, 1);
    for (int h = 0; h < 10; ++h) {
        c.hiddenEnsembles[h] = 2;
    }
    c.hiddenEnsembles[9] = 0;
    EXPECT_EQ(ensembleCountFailure(c),
              std::optional<std::string>("Число нейронных ансамблей для 10-го скрытого слоя "
                                         "введено неверно."));
    c.hiddenEnsembles[3] = 3;
    EXPECT_EQ(ensembleCountFailure(c),
              std::optional<std::string>("Число нейронных ансамблей для 4-го скрытого слоя "
                                         "введено неверно."));
    // Layers beyond the count are not checked.
    c.hiddenLayers = 3;
    EXPECT_FALSE(ensembleCountFailure(c));
}
