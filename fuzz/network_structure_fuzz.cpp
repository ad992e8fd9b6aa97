// Any bytes as a description: when the check finds it correct, the structure the run reads from
// the token stream either is refused with a message or names only neurons of the network, one
// weight per connection and at most four outputs.
#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"
#include "core/simulation/network_structure.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace axolite;
    const language::DescriptionText text =
        language::decodeDescription(std::string_view(reinterpret_cast<const char*>(data), size));
    language::NetworkRecord record;
    if (language::lexDescription(text, record)) {
        return 0;
    }
    const language::CheckResult check = language::checkDescription(record);
    if (!check.correct) {
        return 0;
    }
    const std::int32_t n = check.neurons;
    const auto inside = [n](std::int32_t neuron) { return neuron >= 0 && neuron < n; };
    try {
        const simulation::NetworkStructure s =
            simulation::readNetworkStructure(record.tokens, check, n);
        for (const auto& c : s.connections) {
            if (!inside(c.sender) || !inside(c.receiver)) {
                __builtin_trap();
            }
        }
        for (const auto* list : {&s.models, &s.waits, &s.initialStates}) {
            for (const auto& entry : *list) {
                for (const std::int32_t neuron : entry.neurons) {
                    if (!inside(neuron)) {
                        __builtin_trap();
                    }
                }
            }
        }
        if (s.outputs.size() > 4) {
            __builtin_trap();
        }
        for (const auto& output : s.outputs) {
            if (!inside(output.neuron)) {
                __builtin_trap();
            }
        }
    } catch (const AxoliteError&) {
        // refused with a message: nothing read past the stream
    }
    return 0;
}
