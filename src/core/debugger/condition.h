// Conditions of the debugger: typed expressions over the values of a run, such as "y3 > 0.9",
// "abs(n2 - n7) > 0.1 или step = 100". Compiled once, then evaluated at any step by reading the
// histories in place. The arithmetic is the formula language of the analytic dependencies (its
// split rules, numbers and functions, and abs), with the names of a run's values besides x.
#pragma once

#include "core/debugger/run_values.h"
#include "core/reference/formula.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace axolite::debugger {

// Why a text is no condition: the reason and the position (in characters, from 1) it refers to.
struct ConditionError {
    std::size_t position = 1;
    std::string reason;

    // "Позиция <p>: <reason>"
    std::string text() const;
};

enum class Comparison { Less, LessOrEqual, Greater, GreaterOrEqual, Equal, NotEqual };

// A value a condition reads besides x: nK, the activity of neuron K; yK, output series K; step.
struct ValueName {
    enum class Kind { Neuron, Output, Step };
    Kind kind = Kind::Neuron;
    std::int32_t index = 0; // zero-based neuron or output

    bool operator==(const ValueName&) const = default;
};

class Condition {
public:
    // The condition of text for a run of that many neurons and present outputs, or the error.
    struct Parsed;
    static Parsed parse(std::string_view text, std::int32_t neurons, int outputs);

    // Whether the condition holds at step (0 .. steps − 1) of the run.
    bool holds(const RunValues& run, std::int32_t step) const;

    // The first step in [from, end) where the condition holds, nothing when there is none.
    std::optional<std::int32_t> firstFrom(const RunValues& run, std::int32_t from,
                                          std::int32_t end) const;
    // The last step in [begin, before) where the condition holds, nothing when there is none.
    std::optional<std::int32_t> lastBefore(const RunValues& run, std::int32_t before,
                                           std::int32_t begin = 0) const;

    // The values the text reads besides x, in the order of their first mention.
    const std::vector<ValueName>& names() const { return names_; }

private:
    friend class ConditionParser;
    class Reader;

    struct Test {
        reference::Formula left;
        reference::Formula right;
        Comparison comparison;
    };
    // The logic in postfix: a test pushes its truth, and/or combine the two topmost.
    enum class Node : std::uint8_t { Test, And, Or };
    struct Step {
        Node node;
        std::uint32_t test;
    };

    bool evaluate(const double* values, double x, std::vector<char>& truths) const;
    // A condition of one comparison between a name and a number, read as "name <comparison>
    // number": scanned by a loop of its own.
    struct NameAgainstNumber {
        std::uint32_t slot;
        Comparison comparison;
        double number;
    };
    std::optional<NameAgainstNumber> nameAgainstNumber() const;
    template <typename Steps>
    std::optional<std::int32_t> scanNameAgainstNumber(const NameAgainstNumber& simple,
                                                      const RunValues& run, Steps steps) const;

    std::vector<Test> tests_;
    std::vector<Step> logic_;
    std::vector<ValueName> names_; // the slots of the formulas' names
};

struct Condition::Parsed {
    std::optional<Condition> condition;
    std::optional<ConditionError> error;
};

} // namespace axolite::debugger
