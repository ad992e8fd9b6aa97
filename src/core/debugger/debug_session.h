// A debugging session over the last completed run of a description: the current step and the
// moves between steps, the conditions to run to (forward and backward), the watched neurons and
// the explanation of a watched value. The session reads the record and the run; it never changes
// them. Whoever holds it ends it when the description is edited, checked again or closed.
#pragma once

#include "core/debugger/condition.h"
#include "core/debugger/explanation_rows.h"
#include "core/debugger/run_values.h"
#include "core/debugger/watch.h"
#include "core/language/network_record.h"
#include "core/simulation/explain.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace axolite::language {
struct CheckResult;
}
namespace axolite::simulation {
class Simulation;
}

namespace axolite::debugger {

// One condition as the user typed it: compiled when it reads, otherwise the reason it does not.
struct ConditionEntry {
    std::string text;
    bool active = true;
    std::optional<Condition> condition;
    std::optional<ConditionError> error;
};

// Where a run to a condition stopped: the step and the first active condition that holds there.
struct ConditionHit {
    std::int32_t step = 0;
    std::size_t condition = 0;

    bool operator==(const ConditionHit&) const = default;
};

class DebugSession {
public:
    // A session at step 0. Throws AxoliteError (information icon) with notSimulatedText() when
    // the record holds no completed run, or when the run has no steps.
    DebugSession(const language::NetworkRecord& record, const language::CheckResult& check,
                 const simulation::Simulation& simulation);

    const RunValues& run() const { return run_; }
    std::int32_t steps() const { return run_.steps; }
    std::int32_t step() const { return step_; }
    double x() const { return run_.x(step_); }

    // Moves; a step outside 0 .. steps − 1 is brought to the nearest end.
    void goTo(std::int64_t step);
    void first() { goTo(0); }
    void last() { goTo(steps() - 1); }
    void forward() { goTo(static_cast<std::int64_t>(step_) + 1); }
    void back() { goTo(static_cast<std::int64_t>(step_) - 1); }

    // Conditions, in the order added. Changing a text compiles it again.
    std::size_t addCondition(std::string_view text);
    void setConditionText(std::size_t index, std::string_view text);
    void setConditionActive(std::size_t index, bool active);
    void removeCondition(std::size_t index);
    const std::vector<ConditionEntry>& conditions() const { return conditions_; }
    // The neurons (zero-based) a condition that reads names, each once in the order of first
    // mention: nK names neuron K, yK the neuron of output entry K.
    std::vector<std::int32_t> namedNeurons(std::size_t index) const;

    // The first step after the current one where an active condition that reads holds (the
    // session moves there), or nothing (the session stays).
    std::optional<ConditionHit> continueToCondition();
    // The last step before the current one where one holds.
    std::optional<ConditionHit> backToCondition();
    // Without moving: the first step in [from, steps) where one holds.
    std::optional<ConditionHit> firstHit(std::int32_t from) const;

    // Watched neurons (zero-based), in the order added, each once. A neuron outside the network
    // throws AxoliteError with neuronOutsideText.
    void addWatch(std::int32_t neuron);
    // The neurons of the output layer's entries, in their order.
    void addOutputWatches();
    void removeWatch(std::int32_t neuron);
    const std::vector<std::int32_t>& watches() const { return watches_; }

    // The watch table at the current step (or at any step).
    std::vector<WatchRow> watchRows() const { return watchRows(step_); }
    std::vector<WatchRow> watchRows(std::int32_t step) const;
    WatchRow watchRow(std::int32_t neuron, std::int32_t step) const;

    // The explanation of a neuron's value at the current step (or at any step), its rows and the
    // description lines that fed it.
    simulation::Explanation explain(std::int32_t neuron) const { return explain(neuron, step_); }
    simulation::Explanation explain(std::int32_t neuron, std::int32_t step) const;

private:
    std::optional<ConditionHit> search(std::int32_t from, std::int32_t end, bool forward) const;

    const language::NetworkRecord& record_;
    const language::CheckResult& check_;
    const simulation::Simulation& simulation_;
    RunValues run_;
    std::int32_t step_ = 0;
    std::vector<ConditionEntry> conditions_;
    std::vector<std::int32_t> watches_;
};

} // namespace axolite::debugger
