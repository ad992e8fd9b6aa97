// The debugging session.
#include "core/debugger/debug_session.h"

#include "core/common/message.h"
#include "core/language/checker.h"
#include "core/simulation/simulation.h"

#include <algorithm>

namespace axolite::debugger {

DebugSession::DebugSession(const language::NetworkRecord& record,
                           const language::CheckResult& check,
                           const simulation::Simulation& simulation)
    : record_(record), check_(check), simulation_(simulation), run_(RunValues::of(record)) {
    if (record.simulated == 0 || run_.activity == nullptr || run_.steps < 1 ||
        simulation.codes().size() != static_cast<std::size_t>(run_.neurons) ||
        simulation.models().size() != static_cast<std::size_t>(run_.neurons)) {
        throw AxoliteError(MessageKind::Information, simulation::notSimulatedText());
    }
}

void DebugSession::goTo(std::int64_t step) {
    step_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(step, 0, steps() - 1));
}

std::size_t DebugSession::addCondition(std::string_view text) {
    conditions_.emplace_back();
    setConditionText(conditions_.size() - 1, text);
    return conditions_.size() - 1;
}

void DebugSession::setConditionText(std::size_t index, std::string_view text) {
    ConditionEntry& entry = conditions_.at(index);
    Condition::Parsed parsed = Condition::parse(text, run_.neurons, run_.outputCount);
    entry.text = std::string(text);
    entry.condition = std::move(parsed.condition);
    entry.error = std::move(parsed.error);
}

void DebugSession::setConditionActive(std::size_t index, bool active) {
    conditions_.at(index).active = active;
}

void DebugSession::removeCondition(std::size_t index) {
    if (index < conditions_.size()) {
        conditions_.erase(conditions_.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

std::vector<std::int32_t> DebugSession::namedNeurons(std::size_t index) const {
    std::vector<std::int32_t> neurons;
    const ConditionEntry& entry = conditions_.at(index);
    if (!entry.condition) {
        return neurons;
    }
    for (const ValueName& name : entry.condition->names()) {
        std::int32_t neuron = name.index;
        if (name.kind == ValueName::Kind::Output) {
            neuron = record_.outputIndices[static_cast<std::size_t>(name.index)];
        } else if (name.kind == ValueName::Kind::Step) {
            continue;
        }
        if (std::find(neurons.begin(), neurons.end(), neuron) == neurons.end()) {
            neurons.push_back(neuron);
        }
    }
    return neurons;
}

// Each active condition is scanned only up to the best step found so far; at equal steps the
// condition added first names the hit.
std::optional<ConditionHit> DebugSession::search(std::int32_t from, std::int32_t end,
                                                 bool forward) const {
    std::optional<ConditionHit> best;
    for (std::size_t k = 0; k < conditions_.size(); ++k) {
        const ConditionEntry& entry = conditions_[k];
        if (!entry.active || !entry.condition) {
            continue;
        }
        std::optional<std::int32_t> found;
        if (forward) {
            found = entry.condition->firstFrom(run_, from, best ? best->step : end);
        } else {
            found = entry.condition->lastBefore(run_, end, best ? best->step + 1 : from);
        }
        if (found) {
            best = ConditionHit{*found, k};
        }
    }
    return best;
}

std::optional<ConditionHit> DebugSession::firstHit(std::int32_t from) const {
    return search(from, steps(), true);
}

std::optional<ConditionHit> DebugSession::continueToCondition() {
    const auto hit = search(step_ + 1, steps(), true);
    if (hit) {
        step_ = hit->step;
    }
    return hit;
}

std::optional<ConditionHit> DebugSession::backToCondition() {
    const auto hit = search(0, step_, false);
    if (hit) {
        step_ = hit->step;
    }
    return hit;
}

void DebugSession::addWatch(std::int32_t neuron) {
    if (neuron < 0 || neuron >= run_.neurons) {
        throw AxoliteError(MessageKind::Information,
                           simulation::neuronOutsideText(neuron, run_.neurons));
    }
    if (std::find(watches_.begin(), watches_.end(), neuron) == watches_.end()) {
        watches_.push_back(neuron);
    }
}

void DebugSession::addOutputWatches() {
    for (int k = 0; k < run_.outputCount; ++k) {
        addWatch(record_.outputIndices[static_cast<std::size_t>(k)]);
    }
}

void DebugSession::removeWatch(std::int32_t neuron) {
    watches_.erase(std::remove(watches_.begin(), watches_.end(), neuron), watches_.end());
}

WatchRow DebugSession::watchRow(std::int32_t neuron, std::int32_t step) const {
    const auto n = static_cast<std::size_t>(neuron);
    return debugger::watchRow(run_, neuron, step, simulation_.codes()[n], simulation_.models()[n]);
}

std::vector<WatchRow> DebugSession::watchRows(std::int32_t step) const {
    std::vector<WatchRow> rows;
    rows.reserve(watches_.size());
    for (const std::int32_t neuron : watches_) {
        rows.push_back(watchRow(neuron, step));
    }
    return rows;
}

simulation::Explanation DebugSession::explain(std::int32_t neuron, std::int32_t step) const {
    return simulation::explainValue(record_, check_, simulation_, neuron, step);
}

} // namespace axolite::debugger
