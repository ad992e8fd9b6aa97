// Evaluating a compiled condition: the names bound once to the run's arrays, then read in place at
// every step of a scan.
#include "core/debugger/condition.h"

#include <algorithm>
#include <array>
#include <span>

namespace axolite::debugger {

RunValues RunValues::of(const language::NetworkRecord& record) {
    RunValues run;
    run.activity = record.activity.allocated() ? record.activity.step(0) : nullptr;
    run.neurons = record.activity.neurons();
    run.steps = record.activity.steps();
    while (run.outputCount < language::kOutputCount &&
           record.networkPresent[static_cast<std::size_t>(run.outputCount)] != 0) {
        const auto& series = record.outputSeries[static_cast<std::size_t>(run.outputCount)];
        if (series.size() < static_cast<std::size_t>(run.steps)) {
            break;
        }
        run.outputs[static_cast<std::size_t>(run.outputCount)] = series.data();
        ++run.outputCount;
    }
    run.t0 = record.t0;
    run.h = record.h;
    return run;
}

std::string ConditionError::text() const {
    return "Позиция " + std::to_string(position) + ": " + reason;
}

namespace {

bool compare(Comparison comparison, double left, double right) {
    switch (comparison) {
    case Comparison::Less:
        return left < right;
    case Comparison::LessOrEqual:
        return left <= right;
    case Comparison::Greater:
        return left > right;
    case Comparison::GreaterOrEqual:
        return left >= right;
    case Comparison::Equal:
        return left == right;
    case Comparison::NotEqual:
        return left != right;
    }
    return false;
}

} // namespace

// The names of a condition bound to one run: the address of each name's value at step 0 and its
// stride. A scan reads the values of a block of steps first, in a loop of loads only, so that the
// memory fetches of many steps (a neuron's values lie a whole step row apart) overlap, and then
// evaluates the condition at each step of the block.
class Condition::Reader {
public:
    static constexpr std::int32_t kBlock = 64;

    Reader(const Condition& condition, const RunValues& run) : condition_(condition), run_(run) {
        for (const ValueName& name : condition.names_) {
            Source source;
            switch (name.kind) {
            case ValueName::Kind::Neuron:
                source.base = run.activity + name.index;
                source.stride = static_cast<std::size_t>(run.neurons);
                break;
            case ValueName::Kind::Output:
                source.base = run.outputs[static_cast<std::size_t>(name.index)];
                source.stride = 1;
                break;
            case ValueName::Kind::Step:
                break;
            }
            sources_.push_back(source);
        }
        values_.resize(sources_.size() * static_cast<std::size_t>(kBlock));
    }

    // The values of steps first .. first + count − 1 (count at most kBlock), step-major.
    void read(std::int32_t first, std::int32_t count) {
        const std::size_t slots = sources_.size();
        for (std::size_t k = 0; k < slots; ++k) {
            const Source& source = sources_[k];
            double* out = values_.data() + k;
            if (source.base == nullptr) {
                for (std::int32_t j = 0; j < count; ++j) {
                    out[static_cast<std::size_t>(j) * slots] = static_cast<double>(first + j);
                }
                continue;
            }
            const double* in = source.base + static_cast<std::size_t>(first) * source.stride;
            for (std::int32_t j = 0; j < count; ++j) {
                out[static_cast<std::size_t>(j) * slots] =
                    in[static_cast<std::size_t>(j) * source.stride];
            }
        }
        first_ = first;
    }

    // Whether the condition holds at step first + j of the block read last.
    bool holds(std::int32_t j) {
        return condition_.evaluate(values_.data() + static_cast<std::size_t>(j) * sources_.size(),
                                   run_.x(first_ + j), truths_);
    }

    // Whether the condition holds at each step of the block read last (of count steps), at
    // holds()[j]: each formula over the whole block, then each comparison and each and/or.
    // Every test is computed at every step, as at one step, so the truths are the same.
    const std::vector<char>& holdsOverBlock(std::int32_t count) {
        const auto n = static_cast<std::size_t>(count);
        for (std::size_t j = 0; j < n; ++j) {
            xs_[j] = run_.x(first_ + static_cast<std::int32_t>(j));
        }
        const std::span<const double> xs(xs_.data(), n);
        constexpr auto kSteps = static_cast<std::size_t>(kBlock);
        // The postfix logic over a stack of truth rows, one row per pending operand.
        truths_.resize(condition_.logic_.size() * kSteps);
        std::size_t top = 0;
        for (const Step& step : condition_.logic_) {
            if (step.node == Node::Test) {
                const Test& test = condition_.tests_[step.test];
                test.left.evaluate(xs, std::span(left_.data(), n), values_.data(), sources_.size());
                test.right.evaluate(xs, std::span(right_.data(), n), values_.data(),
                                    sources_.size());
                char* row = truths_.data() + top++ * kSteps;
                for (std::size_t j = 0; j < n; ++j) {
                    row[j] = compare(test.comparison, left_[j], right_[j]) ? 1 : 0;
                }
                continue;
            }
            --top;
            char* row = truths_.data() + (top - 1) * kSteps;
            const char* right = truths_.data() + top * kSteps;
            for (std::size_t j = 0; j < n; ++j) {
                row[j] = step.node == Node::And ? (row[j] & right[j]) : (row[j] | right[j]);
            }
        }
        truths_.resize(n); // the bottom row
        return truths_;
    }

private:
    struct Source {
        const double* base = nullptr; // nothing: the step number itself
        std::size_t stride = 0;
    };
    const Condition& condition_;
    const RunValues& run_;
    std::vector<Source> sources_;
    std::vector<double> values_;
    std::vector<char> truths_;
    std::array<double, kBlock> xs_{};
    std::array<double, kBlock> left_{};
    std::array<double, kBlock> right_{};
    std::int32_t first_ = 0;
};

bool Condition::evaluate(const double* values, double x, std::vector<char>& truths) const {
    const auto test = [&](const Test& t) {
        return compare(t.comparison, t.left.evaluate(x, values), t.right.evaluate(x, values));
    };
    if (logic_.size() == 1) {
        return test(tests_.front());
    }
    // Postfix logic over a stack of truths as deep as the text's nesting.
    truths.clear();
    for (const Step& step : logic_) {
        if (step.node == Node::Test) {
            truths.push_back(test(tests_[step.test]) ? 1 : 0);
            continue;
        }
        const char right = truths.back();
        truths.pop_back();
        truths.back() = step.node == Node::And ? (truths.back() & right) : (truths.back() | right);
    }
    return truths.back() != 0;
}

// The comparison with its sides exchanged: a < b is b > a.
static Comparison mirrored(Comparison comparison) {
    switch (comparison) {
    case Comparison::Less:
        return Comparison::Greater;
    case Comparison::LessOrEqual:
        return Comparison::GreaterOrEqual;
    case Comparison::Greater:
        return Comparison::Less;
    case Comparison::GreaterOrEqual:
        return Comparison::LessOrEqual;
    default:
        return comparison;
    }
}

std::optional<Condition::NameAgainstNumber> Condition::nameAgainstNumber() const {
    using Op = reference::Formula::Op;
    if (logic_.size() != 1) {
        return std::nullopt;
    }
    const Test& test = tests_.front();
    const auto* left = test.left.lone();
    const auto* right = test.right.lone();
    if (left == nullptr || right == nullptr) {
        return std::nullopt;
    }
    if (left->op == Op::Name && right->op == Op::Constant) {
        return NameAgainstNumber{left->slot, test.comparison, right->value};
    }
    if (left->op == Op::Constant && right->op == Op::Name) {
        return NameAgainstNumber{right->slot, mirrored(test.comparison), left->value};
    }
    return std::nullopt;
}

// The values of the name at the steps in the order steps gives them, compared in a loop chosen
// once for the comparison. The step number is no value read from the run.
template <typename Steps>
std::optional<std::int32_t> Condition::scanNameAgainstNumber(const NameAgainstNumber& simple,
                                                             const RunValues& run,
                                                             Steps steps) const {
    const ValueName& name = names_[simple.slot];
    if (name.kind == ValueName::Kind::Step) {
        return steps([&](std::int32_t i) { return static_cast<double>(i); }, simple);
    }
    const bool neuron = name.kind == ValueName::Kind::Neuron;
    const double* base =
        neuron ? run.activity + name.index : run.outputs[static_cast<std::size_t>(name.index)];
    const std::size_t stride = neuron ? static_cast<std::size_t>(run.neurons) : 1;
    return steps(
        [base, stride](std::int32_t i) { return base[static_cast<std::size_t>(i) * stride]; },
        simple);
}

namespace {

// The first (or, backward, the last) step of [begin, end) where value(step) compares true.
template <bool Forward, typename Value>
std::optional<std::int32_t> scanSteps(Value value, Comparison comparison, double number,
                                      std::int32_t begin, std::int32_t end) {
    const auto scan = [&](auto holds) -> std::optional<std::int32_t> {
        if constexpr (Forward) {
            for (std::int32_t i = begin; i < end; ++i) {
                if (holds(value(i))) {
                    return i;
                }
            }
        } else {
            for (std::int32_t i = end - 1; i >= begin; --i) {
                if (holds(value(i))) {
                    return i;
                }
            }
        }
        return std::nullopt;
    };
    switch (comparison) {
    case Comparison::Less:
        return scan([number](double v) { return v < number; });
    case Comparison::LessOrEqual:
        return scan([number](double v) { return v <= number; });
    case Comparison::Greater:
        return scan([number](double v) { return v > number; });
    case Comparison::GreaterOrEqual:
        return scan([number](double v) { return v >= number; });
    case Comparison::Equal:
        return scan([number](double v) { return v == number; });
    case Comparison::NotEqual:
        return scan([number](double v) { return v != number; });
    }
    return std::nullopt;
}

} // namespace

bool Condition::holds(const RunValues& run, std::int32_t step) const {
    Reader reader(*this, run);
    reader.read(step, 1);
    return reader.holds(0);
}

std::optional<std::int32_t> Condition::firstFrom(const RunValues& run, std::int32_t from,
                                                 std::int32_t end) const {
    const std::int32_t last = std::min(end, run.steps);
    if (const auto simple = nameAgainstNumber()) {
        return scanNameAgainstNumber(*simple, run, [&](auto value, const NameAgainstNumber& s) {
            return scanSteps<true>(value, s.comparison, s.number, std::max(from, 0), last);
        });
    }
    Reader reader(*this, run);
    for (std::int32_t first = std::max(from, 0); first < last; first += Reader::kBlock) {
        const std::int32_t count = std::min(Reader::kBlock, last - first);
        reader.read(first, count);
        const std::vector<char>& holds = reader.holdsOverBlock(count);
        for (std::int32_t j = 0; j < count; ++j) {
            if (holds[static_cast<std::size_t>(j)] != 0) {
                return first + j;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> Condition::lastBefore(const RunValues& run, std::int32_t before,
                                                  std::int32_t begin) const {
    const std::int32_t lowest = std::max(begin, 0);
    if (const auto simple = nameAgainstNumber()) {
        return scanNameAgainstNumber(*simple, run, [&](auto value, const NameAgainstNumber& s) {
            return scanSteps<false>(value, s.comparison, s.number, lowest,
                                    std::min(before, run.steps));
        });
    }
    Reader reader(*this, run);
    for (std::int32_t after = std::min(before, run.steps); after > lowest;
         after -= Reader::kBlock) {
        const std::int32_t count = std::min(Reader::kBlock, after - lowest);
        reader.read(after - count, count);
        const std::vector<char>& holds = reader.holdsOverBlock(count);
        for (std::int32_t j = count - 1; j >= 0; --j) {
            if (holds[static_cast<std::size_t>(j)] != 0) {
                return after - count + j;
            }
        }
    }
    return std::nullopt;
}

} // namespace axolite::debugger
