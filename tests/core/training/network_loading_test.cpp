// Continuing a training: a start network in memory, and a network read back from the description
// the training writes (weights exact, biases to the six characters of a model parameter), with
// the refusals of descriptions of other forms.
#include "core/training/network_description.h"
#include "core/training/network_loading.h"
#include "core/training/network_trainer.h"

#include "layer_shapes.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>

using namespace axolite;
using namespace axolite::training;

namespace {

TrainingParameters xorParameters(int iterations) {
    TrainingParameters p;
    p.patterns = 4;
    p.iterations = iterations;
    p.inputText = formatPatternValues({0, 0, 0, 1, 1, 0, 1, 1});
    p.targetText = formatPatternValues({0.1, 0.9, 0.9, 0.1});
    p.learningRate = "0.5";
    p.stopAtLocalMinimum = false;
    return p;
}

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The bias as the model parameter of its neuron gives it back: the shift Xt, the threshold X1
// of a step neuron (−bias), nothing for a step input neuron (which adds no bias to any sum).
float writtenBias(int layer, const LayerNeuron& neuron) {
    if (neuron.transfer != TransferCode::Step) {
        return static_cast<float>(std::stod(shortModelValue(neuron.bias)));
    }
    return layer == 0 ? -3.0f : static_cast<float>(-std::stod(shortModelValue(-neuron.bias)));
}

// Every weight (bit for bit) and bias of two networks of the same shape; biasesExact false
// compares the biases as the six characters of a model parameter give them.
void expectSameNetwork(const LayeredNetwork& a, const LayeredNetwork& b, bool biasesExact) {
    ASSERT_EQ(a.layerCount(), b.layerCount());
    for (int l = 0; l < a.layerCount(); ++l) {
        ASSERT_EQ(a.layerSize(l), b.layerSize(l));
        for (int i = 0; i < a.layerSize(l); ++i) {
            const LayerNeuron& x = a.neuron(l, i);
            const LayerNeuron& y = b.neuron(l, i);
            EXPECT_EQ(x.transfer, y.transfer);
            for (int k = 0; k < kMaxLayerNeurons; ++k) {
                EXPECT_TRUE(sameBits(x.weights[k], y.weights[k]) ||
                            (x.weights[k] == 0.0f && y.weights[k] == 0.0f))
                    << l << " " << i << " " << k << ": " << x.weights[k] << " " << y.weights[k];
            }
            EXPECT_TRUE(sameBits(y.bias, biasesExact ? x.bias : writtenBias(l, x))) << l << i;
        }
    }
}

LoadedNetwork roundTrip(const LayeredNetwork& network) {
    const GeneratedDescription description = generateDescription(network);
    std::map<int, std::string> models;
    for (const ModelFileText& model : description.models) {
        models[model.code] = model.text;
    }
    return parseNetworkDescription(
        description.netText, [&](int code) { return models.count(code) ? models[code] : ""; },
        "trained.net");
}

std::string refusalOf(const std::string& netText, const std::map<int, std::string>& models) {
    try {
        parseNetworkDescription(
            netText, [&](int code) { return models.count(code) ? models.at(code) : ""; }, "x.net");
    } catch (const AxoliteError& e) {
        return e.text();
    }
    return "no refusal";
}

} // namespace

TEST(TrainingContinuation, SplitOnlineRunEqualsOneRunBitForBit) {
    // Online back-propagation carries nothing from one iteration to the next but the weights:
    // 10 iterations continued by 25 are the 35 iterations of one run.
    const LayerConfiguration c = shape(2, {4}, 1, TransferCode::Sigmoid);
    NetworkTrainer whole(7);
    whole.train(c, xorParameters(35));
    NetworkTrainer split(7);
    split.train(c, xorParameters(10));
    const LayeredNetwork afterTen = split.network();
    split.setStartNetwork(afterTen);
    split.train(c, xorParameters(25));
    expectSameNetwork(whole.network(), split.network(), true);
    expectSameNetwork(split.initialNetwork(), afterTen, true);
}

TEST(TrainingContinuation, RefusesAStartNetworkOfOtherLayers) {
    NetworkTrainer trainer(1);
    trainer.train(shape(2, {4}, 1, TransferCode::Sigmoid), xorParameters(1));
    trainer.setStartNetwork(trainer.network());
    EXPECT_THROW(trainer.train(shape(2, {3}, 1), xorParameters(1)), AxoliteError);
    EXPECT_THROW(trainer.train(shape(2, {4}, 1, TransferCode::Linear), xorParameters(1)),
                 AxoliteError);
}

TEST(NetworkLoading, WeightsComeBackExactlyAndBiasesAsWritten) {
    std::mt19937 engine(3);
    std::uniform_real_distribution<float> mantissa(-1.0f, 1.0f);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (const LayerConfiguration& c :
         {shape(2, {4}, 1, TransferCode::Sigmoid),
          shape(3, {5, 2}, 4, TransferCode::Gaussian, TransferCode::Step),
          shape(1, {}, 18, TransferCode::Step, TransferCode::Sigmoid),
          shape(18, {18, 18, 18}, 6, TransferCode::Linear, TransferCode::Gaussian)}) {
        RandomSource random(5);
        LayeredNetwork network = LayeredNetwork::build(c, random);
        for (int l = 1; l < network.layerCount(); ++l) {
            for (int i = 0; i < network.layerSize(l); ++i) {
                LayerNeuron& neuron = network.neuron(l, i);
                neuron.bias = std::ldexp(mantissa(engine), exponent(engine) / 4);
                for (int k = 0; k < network.layerSize(l - 1); ++k) {
                    neuron.weights[k] = std::ldexp(mantissa(engine), exponent(engine));
                }
            }
        }
        network.neuron(1, 0).weights[0] = 0.0f; // left out of the layout
        const LoadedNetwork loaded = roundTrip(network);
        EXPECT_EQ(layerSizes(loaded.configuration), layerSizes(c));
        EXPECT_EQ(loaded.configuration.inputTransfer, c.inputTransfer);
        EXPECT_EQ(loaded.configuration.outputTransfer, c.outputTransfer);
        expectSameNetwork(network, loaded.network, false);
    }
}

TEST(NetworkLoading, ContinuingFromTheFileDiffersOnlyByTheWrittenBiases) {
    // The trained biases are rounded to six characters, so the continued run is not that of
    // memory; from the loaded network itself it is.
    const LayerConfiguration c = shape(2, {4}, 1, TransferCode::Sigmoid);
    NetworkTrainer first(11);
    first.train(c, xorParameters(50));
    const LoadedNetwork loaded = roundTrip(first.network());
    NetworkTrainer fromFile(11);
    fromFile.setStartNetwork(loaded.network);
    fromFile.train(loaded.configuration, xorParameters(20));
    NetworkTrainer inMemory(11);
    inMemory.setStartNetwork(loaded.network);
    inMemory.train(c, xorParameters(20));
    expectSameNetwork(fromFile.network(), inMemory.network(), true);
    EXPECT_NE(first.network().neuron(1, 0).bias, loaded.network.neuron(1, 0).bias);
}

TEST(NetworkLoading, RefusesDescriptionsOfOtherForms) {
    RandomSource random(1);
    LayeredNetwork network = LayeredNetwork::build(shape(2, {3}, 1), random);
    for (int l = 1; l < network.layerCount(); ++l) {
        for (int i = 0; i < network.layerSize(l); ++i) {
            network.neuron(l, i).weights.fill(0.5f);
        }
    }
    const GeneratedDescription written = generateDescription(network);
    std::map<int, std::string> models;
    for (const ModelFileText& model : written.models) {
        models[model.code] = model.text;
    }
    auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    ASSERT_EQ(refusalOf(written.netText, models), "no refusal");
    const std::string prefix =
        "Файл x.net не является описанием многослойной сети в том виде, в котором его "
        "записывает обучение: ";
    const struct {
        std::string text;
        std::string reason;
    } cases[] = {
        {"neurons 2;\r\nend\r\n", "нет строки"},
        {replaced(written.netText, "2-3-1", "2-3-2"), "число нейронов"},
        {replaced(written.netText, "neuron 1, neuron 3,", "neuron 1, neuron 6,"),
         "не между соседними слоями"},
        {replaced(written.netText, "end\r\n", ""), "нет end"},
    };
    for (const auto& c : cases) {
        const std::string refusal = refusalOf(c.text, models);
        EXPECT_EQ(refusal.rfind(prefix, 0), 0u) << refusal;
        EXPECT_NE(refusal.find(c.reason), std::string::npos) << refusal;
    }
    std::map<int, std::string> missing = models;
    missing.erase(missing.begin());
    EXPECT_NE(refusalOf(written.netText, missing).find("нет файла модели"), std::string::npos);
    // A model of another form (a bounded linear output).
    std::map<int, std::string> bounded = models;
    for (auto& [code, text] : bounded) {
        if (text.find("Y1=1\r\n") != std::string::npos) {
            text = replaced(text, "Y1=1\r\n", "Y1=2\r\n");
            break;
        }
    }
    EXPECT_NE(refusalOf(written.netText, bounded).find("не из тех, что записывает обучение"),
              std::string::npos);
}
