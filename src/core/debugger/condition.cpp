// Evaluating a compiled condition: the names bound once to the run's arrays, then read in place at
// every step of a scan.
#include "core/debugger/condition.h"

#include <algorithm>

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

// The names of a condition bound to one run: the address of each name's value at step 0 and its
// stride, and the values of the step being evaluated.
class Condition::Reader {
public:
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
        values_.resize(sources_.size());
    }

    bool holds(std::int32_t step) {
        for (std::size_t k = 0; k < sources_.size(); ++k) {
            const Source& source = sources_[k];
            values_[k] = source.base != nullptr
                             ? source.base[static_cast<std::size_t>(step) * source.stride]
                             : static_cast<double>(step);
        }
        return condition_.evaluate(values_.data(), run_.x(step), truths_);
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
};

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

bool Condition::holds(const RunValues& run, std::int32_t step) const {
    Reader reader(*this, run);
    return reader.holds(step);
}

std::optional<std::int32_t> Condition::firstFrom(const RunValues& run, std::int32_t from,
                                                 std::int32_t end) const {
    Reader reader(*this, run);
    for (std::int32_t step = std::max(from, 0); step < std::min(end, run.steps); ++step) {
        if (reader.holds(step)) {
            return step;
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> Condition::lastBefore(const RunValues& run, std::int32_t before,
                                                  std::int32_t begin) const {
    Reader reader(*this, run);
    for (std::int32_t step = std::min(before, run.steps) - 1; step >= std::max(begin, 0); --step) {
        if (reader.holds(step)) {
            return step;
        }
    }
    return std::nullopt;
}

} // namespace axolite::debugger
