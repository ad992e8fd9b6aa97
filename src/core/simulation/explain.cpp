// Explaining one value of a run: the structure read again, the sum of the step redone in the
// step's own order, the model and the wait counter followed from the first step.
#include "core/simulation/explain.h"

#include "core/common/message.h"
#include "core/language/checker.h"
#include "core/platform/profile_file.h"
#include "core/simulation/network_structure.h"
#include "core/simulation/simulation.h"

#include <cmath>
#include <limits>

namespace axolite::simulation {

std::string modelKindText(ModelKind kind) {
    return platform::lowerCase(modelSectionName(kind));
}

// The cases in the order the transfer functions test them.
std::string transferCaseText(ModelKind kind, const ModelParameters& p, double net) {
    if (net < p.x1) {
        return "net < X1: 0";
    }
    switch (kind) {
    case ModelKind::Linear:
        if (net >= p.y1) {
            return "net >= Y1: Y1";
        }
        if (net <= -p.y1) {
            return "net <= -Y1: -Y1";
        }
        return "net + Xt";
    case ModelKind::Step:
        return "net >= X1: Y1";
    case ModelKind::Sigmoid:
        return "Y1 / (1 + exp(-net - Xt))";
    case ModelKind::Gaussian:
        return "Y1 * exp((net + Xt)^2)";
    }
    return "net + Xt";
}

std::string notSimulatedText() {
    return "Работа нейронной сети не промоделирована.";
}

std::string neuronOutsideText(std::int64_t neuron, std::int32_t neurons) {
    // The number from 1 (the largest index has no successor and is shown as it is).
    const std::int64_t number =
        neuron < std::numeric_limits<std::int64_t>::max() ? neuron + 1 : neuron;
    return neuronNumberOutsideText(number, neurons);
}

std::string neuronNumberOutsideText(std::int64_t number, std::int32_t neurons) {
    return "Нейрон " + std::to_string(number) + " отсутствует в сети: нейроны от 1 до " +
           std::to_string(neurons) + ".";
}

std::string stepOutsideText(std::int64_t step, std::int32_t steps) {
    return "Шаг " + std::to_string(step) + " вне интервала моделирования: шаги от 0 до " +
           std::to_string(steps - 1) + ".";
}

namespace {

[[noreturn]] void refuse(const std::string& text) {
    throw AxoliteError(MessageKind::Information, text);
}

// The line of the last entry naming the neuron (later entries override earlier ones), 0 when
// none does.
std::int32_t lastLineNaming(const std::vector<NetworkStructure::Assignment>& entries,
                            std::int32_t neuron) {
    std::int32_t line = 0;
    for (const auto& entry : entries) {
        for (const std::int32_t n : entry.neurons) {
            if (n == neuron) {
                line = entry.line;
            }
        }
    }
    return line;
}

} // namespace

Explanation explainValue(const language::NetworkRecord& record, const language::CheckResult& check,
                         const Simulation& simulation, std::int64_t neuron, std::int64_t step) {
    const std::int32_t n = simulation.neurons();
    const std::int32_t s = simulation.steps();
    if (record.simulated == 0 || !check.correct || record.activity.neurons() != n ||
        record.activity.steps() != s || record.externalInput.neurons() != n ||
        record.externalInput.steps() != s ||
        static_cast<std::int32_t>(simulation.models().size()) != n) {
        refuse(notSimulatedText());
    }
    if (neuron < 0 || neuron >= n) {
        refuse(neuronOutsideText(neuron, n));
    }
    if (step < 0 || step >= s) {
        refuse(stepOutsideText(step, s));
    }
    const auto j = static_cast<std::int32_t>(neuron);
    const auto i = static_cast<std::int32_t>(step);
    const auto count = static_cast<std::size_t>(n);

    Explanation e;
    e.neuron = j;
    e.step = i;
    e.x = record.t0 + static_cast<double>(i) * record.h;
    e.value = record.activity.at(j, i);
    e.code = simulation.codes()[static_cast<std::size_t>(j)];
    e.kind = evaluationKindOfCode(e.code);
    e.parameters = simulation.models()[static_cast<std::size_t>(j)];
    e.waitCount = simulation.waitCounts()[static_cast<std::size_t>(j)];

    const NetworkStructure structure = readNetworkStructure(record.tokens, check, n);
    e.modelLine = lastLineNaming(structure.models, j);
    e.waitLine = lastLineNaming(structure.waits, j);
    if (i == 0) {
        e.origin = ValueOrigin::Initial;
        e.initialLine = lastLineNaming(structure.initialStates, j);
        return e;
    }

    // The row of the neuron; a later entry for the same pair overrides an earlier one.
    std::vector<double> weights(count, 0.0);
    std::vector<std::int32_t> lines(count, 0);
    for (const auto& c : structure.connections) {
        if (c.receiver == j) {
            weights[static_cast<std::size_t>(c.sender)] = c.weight;
            lines[static_cast<std::size_t>(c.sender)] = c.line;
        }
    }
    // The sum of the step: every sender in index order from 0.0, a product rounded before its
    // sum. A zero weight adds ±0 (which changes no sum) unless its sender holds no finite number.
    const double* previous = record.activity.step(i - 1);
    const double* input = record.externalInput.step(i - 1);
    double net = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        const double x = input[k] + previous[k];
        const double product = x * weights[k];
        net = net + product;
        if (weights[k] != 0.0 || std::isnan(product)) {
            e.terms.push_back({static_cast<std::int32_t>(k), input[k], previous[k], weights[k],
                               product, lines[k]});
        }
    }
    e.net = net;
    e.result = transfer(e.kind, e.parameters, net);

    // The wait counter as the run left it before step i: loaded at the start, then at every step
    // counted down while it holds, reloaded when the neuron computes.
    std::int64_t counter = e.waitCount;
    for (std::int32_t t = 1; t < i; ++t) {
        if (counter != 0 && counter != -1) {
            --counter;
        } else {
            counter = e.waitCount;
        }
    }
    e.waitCounter = counter;
    e.origin = counter != 0 && counter != -1 ? ValueOrigin::Held : ValueOrigin::Computed;
    return e;
}

} // namespace axolite::simulation
