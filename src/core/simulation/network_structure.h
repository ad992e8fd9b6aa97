// The structure of a checked description as the run needs it, read again from the token stream:
// connections with their weights, models, wait counts, initial states and output entries.
#pragma once

#include "core/language/token_stream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace axolite::language {
struct CheckResult;
}

namespace axolite::simulation {

struct NetworkStructure {
    // One connection per receiver of a NETWORKLAYOUT entry, in the order written; zero-based.
    // line: the description line (from 1) of its weight.
    struct Connection {
        std::int32_t sender = 0;
        std::int32_t receiver = 0;
        double weight = 0.0;
        std::int32_t line = 0;
    };
    // An INITSTATE, SUSPEND or MODEL entry: its neurons (zero-based), its value and the line of
    // the value.
    struct Assignment {
        std::vector<std::int32_t> neurons;
        double value = 0.0;
        std::int32_t line = 0;
    };
    // An OUTPUTLAYER entry: its neuron (zero-based) and its weight.
    struct Output {
        std::int32_t neuron = 0;
        double weight = 0.0;
    };

    std::vector<Connection> connections;
    std::vector<Assignment> models;
    std::vector<Assignment> waits;
    std::vector<Assignment> initialStates;
    std::vector<Output> outputs; // at most four
};

// Reads the structure of a description the check found correct, walking its statements the way
// the check did: every occurrence of NETWORKLAYOUT, MODEL, SUSPEND and INITSTATE in order (so a
// later entry overrides an earlier one), and the last OUTPUTLAYER (the one whose neurons the
// check stored). Every read is bounded by the stream. Throws AxoliteError (error icon) when the
// description cannot be simulated although it passed the check: a neuron number outside 1..N,
// an entry whose receivers and weights differ in number, a keyword, a mark or a number too large
// where a number belongs (the check takes any token there), or a statement that ends early.
NetworkStructure readNetworkStructure(const language::TokenStream& tokens,
                                      const language::CheckResult& check, std::int32_t neurons);

// "Номер нейрона <k> в строке <line> лежит вне диапазона от 1 до <N>. Моделирование невозможно."
std::string neuronOutOfRangeText(double number, std::int32_t line, std::int32_t neurons);
// "В строке <line> вместо числа стоит служебное слово или знак. Моделирование невозможно."
std::string notANumberText(std::int32_t line);
// "В строке <line> слишком большое или слишком малое числовое выражение. Моделирование
// невозможно." (a number beyond the range of a double, which the check takes as a number)
std::string numberTooLargeText(std::int32_t line);
// "Число нейронов и весов не совпадает в строке <line>. Моделирование невозможно."
std::string weightsDoNotMatchText(std::int32_t line);

} // namespace axolite::simulation
