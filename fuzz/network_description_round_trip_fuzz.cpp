// A trained layered network written as a description and read back: any shape the training dialog
// can form, with any weights and biases, gives a description the check finds correct whose
// structure holds every non-zero weight, from the neuron it leaves to the neuron it enters, as
// the single-precision number it was, and names for every neuron a model written beside it.
// Networks the language cannot hold (too many neurons, numbers that are not finite) are refused.
#include "core/common/message.h"
#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"
#include "core/platform/profile_file.h"
#include "core/simulation/network_structure.h"
#include "core/training/layered_network.h"
#include "core/training/network_description.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace axolite;
using namespace axolite::training;

// Bits from the input, often a small weight such as training leaves, sometimes any float at all.
float anyWeight(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) {
        const std::uint32_t bits = input.ConsumeIntegral<std::uint32_t>();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    return static_cast<float>(input.ConsumeIntegralInRange<int>(-100, 100)) * 0.01f;
}

LayerConfiguration anyShape(FuzzedDataProvider& input) {
    constexpr TransferCode kAnyCode[] = {TransferCode::Linear, TransferCode::Step,
                                         TransferCode::Sigmoid, TransferCode::Gaussian};
    LayerConfiguration shape;
    shape.inputNeurons = input.ConsumeIntegralInRange<int>(1, kMaxLayerNeurons);
    shape.inputTransfer = kAnyCode[input.ConsumeIntegralInRange<int>(0, 3)];
    shape.hiddenLayers = input.ConsumeIntegralInRange<int>(0, kMaxHiddenLayers);
    for (int l = 0; l < shape.hiddenLayers; ++l) {
        shape.hiddenNeurons[l] = input.ConsumeIntegralInRange<int>(1, kMaxLayerNeurons);
    }
    shape.hiddenTransfer = input.ConsumeBool() ? TransferCode::Sigmoid : TransferCode::Linear;
    shape.outputNeurons = input.ConsumeIntegralInRange<int>(1, kMaxLayerNeurons);
    shape.outputTransfer = kAnyCode[input.ConsumeIntegralInRange<int>(0, 3)];
    return shape;
}

// The description of the network, or nothing when the writer refused it.
std::optional<GeneratedDescription> describe(const LayeredNetwork& network) {
    try {
        return generateDescription(network);
    } catch (const AxoliteError&) {
        return std::nullopt;
    }
}

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    RandomSource random(input.ConsumeIntegral<std::uint32_t>());
    LayeredNetwork network = LayeredNetwork::build(anyShape(input), random);
    bool finite = true;
    int total = 0;
    for (int l = 0; l < network.layerCount(); ++l) {
        total += network.layerSize(l);
        for (int i = 0; i < network.layerSize(l) && l > 0; ++i) {
            LayerNeuron& neuron = network.neuron(l, i);
            if (input.ConsumeBool()) {
                neuron.bias = anyWeight(input);
            }
            for (int j = 0; j < network.layerSize(l - 1); ++j) {
                neuron.weights[j] = input.ConsumeBool() ? anyWeight(input) : 0.0f;
                finite = finite && std::isfinite(neuron.weights[j]);
            }
            finite = finite && std::isfinite(neuron.bias);
        }
    }

    const std::optional<GeneratedDescription> written = describe(network);
    if (!written) {
        if (finite && total <= kMaxDescriptionNeurons) {
            __builtin_trap(); // refused a network the language can hold
        }
        return 0;
    }
    if (!finite || total > kMaxDescriptionNeurons) {
        __builtin_trap(); // wrote what it cannot hold
    }

    language::NetworkRecord record;
    if (language::lexDescription(language::decodeDescription(written->netText), record)) {
        __builtin_trap();
    }
    const language::CheckResult check = language::checkDescription(record);
    if (!check.correct || check.errors() != 0 || check.neurons != total) {
        __builtin_trap();
    }
    const simulation::NetworkStructure structure =
        simulation::readNetworkStructure(record.tokens, check, check.neurons);

    // Every non-zero weight, in the order written: sender in layer l − 1, receiver in layer l.
    std::size_t c = 0;
    int first = 0;
    for (int l = 1; l < network.layerCount(); ++l) {
        const int previous = first;
        first += network.layerSize(l - 1);
        for (int j = 0; j < network.layerSize(l - 1); ++j) {
            for (int i = 0; i < network.layerSize(l); ++i) {
                const float weight = network.neuron(l, i).weights[j];
                if (weight == 0.0f) {
                    continue;
                }
                if (c >= structure.connections.size()) {
                    __builtin_trap();
                }
                const auto& connection = structure.connections[c++];
                if (connection.sender != previous + j || connection.receiver != first + i ||
                    !sameBits(static_cast<float>(connection.weight), weight)) {
                    __builtin_trap();
                }
            }
        }
    }
    // Without any weight the layout holds one connection too weak to count.
    if (c != structure.connections.size() &&
        !(c == 0 && structure.connections.size() == 1 &&
          static_cast<float>(structure.connections[0].weight) == 0.0f)) {
        __builtin_trap();
    }

    // Each neuron's model is one of the model files written, which carries its own code.
    std::vector<int> modelOf(static_cast<std::size_t>(total), -1);
    for (const auto& assignment : structure.models) {
        for (const std::int32_t neuron : assignment.neurons) {
            modelOf[static_cast<std::size_t>(neuron)] = static_cast<int>(assignment.value);
        }
    }
    for (const int code : modelOf) {
        bool found = false;
        for (const ModelFileText& model : written->models) {
            if (model.code == code) {
                const auto id = platform::ProfileFile::parse(model.text).sections();
                found = !id.empty() && platform::ProfileFile::parse(model.text).get(id[0], "ID") ==
                                           std::to_string(code);
            }
        }
        if (!found) {
            __builtin_trap();
        }
    }
    return 0;
}
