// "Explain this value": how the simulation computed the activity of one neuron at one step, term
// by term with the engine's own numbers, the model's transfer function and the wait count.
#pragma once

#include "core/language/network_record.h"
#include "core/simulation/neuron_model.h"

#include <cstdint>
#include <string>
#include <vector>

namespace axolite::language {
struct CheckResult;
}

namespace axolite::simulation {

class Simulation;

// One term (input_k + activity_k)·w_nk of a net input: the values of step i − 1.
struct ExplanationTerm {
    std::int32_t source = 0; // sender k, zero-based
    double input = 0.0;      // external input of k at step i − 1
    double activity = 0.0;   // activity of k at step i − 1
    double weight = 0.0;     // w_nk as the run uses it
    double product = 0.0;    // (input + activity)·weight, as the step multiplied it
    std::int32_t line = 0;   // the description line whose NETWORKLAYOUT entry set the weight
};

// Where the value of the step came from.
enum class ValueOrigin {
    Initial,  // step 0: the INITSTATE value (or 0)
    Computed, // the transfer function of the net input
    Held,     // a wait count held the value of step i − 1
};

struct Explanation {
    std::int32_t neuron = 0; // zero-based
    std::int32_t step = 0;
    double x = 0.0; // t0 + step·h
    ValueOrigin origin = ValueOrigin::Initial;
    double value = 0.0; // the activity in the history

    // Steps ≥ 1: the senders whose weight is not 0 (and any whose product is no number, which
    // the sum takes in), in index order, and the net input summed over all senders in the order
    // the step sums them, so that net equals the run's own bit for bit.
    std::vector<ExplanationTerm> terms;
    double net = 0.0;

    // The model of the neuron: its code, the kind it computes with, its parameters, the line of
    // the MODEL entry that chose the code (0: the default model), and transfer(net).
    std::int64_t code = 0;
    ModelKind kind = ModelKind::Linear;
    ModelParameters parameters;
    std::int32_t modelLine = 0;
    double result = 0.0;

    // The wait count of the neuron (SUSPEND; line 0: none given) and its counter at the start
    // of the step: a counter other than 0 and −1 holds the value and counts down.
    std::int64_t waitCount = 0;
    std::int32_t waitLine = 0;
    std::int64_t waitCounter = 0;

    // Step 0: the line of the INITSTATE entry that set the value (0: none, the value is 0).
    std::int32_t initialLine = 0;
};

// The kind's name as the model dialog's tab shows it, lower case: "линейная", "ступенчатая",
// "сигмовидная", "гауссова".
std::string modelKindText(ModelKind kind);

// Which case of the transfer function gave the result, as text with "net" for the net input:
// e.g. "net < X1: 0", "net >= Y1: Y1", "net + Xt", "Y1 / (1 + exp(-net - Xt))".
std::string transferCaseText(ModelKind kind, const ModelParameters& parameters, double net);

// "Работа нейронной сети не промоделирована."
std::string notSimulatedText();
// "Нейрон <n> отсутствует в сети: нейроны от 1 до <N>." for the zero-based neuron, and the same
// for a neuron numbered from 1 (every number has one, the lowest integer too).
std::string neuronOutsideText(std::int64_t neuron, std::int32_t neurons);
std::string neuronNumberOutsideText(std::int64_t number, std::int32_t neurons);
// "Шаг <i> вне интервала моделирования: шаги от 0 до <S − 1>."
std::string stepOutsideText(std::int64_t step, std::int32_t steps);

// Explains the activity of neuron (zero-based) at step of the last completed run of simulation
// on record, whose description the check found correct. Throws AxoliteError (information icon)
// with the texts above when the record was not simulated or the neuron or the step lies outside
// the run, and the error of readNetworkStructure when the description changed its shape.
Explanation explainValue(const language::NetworkRecord& record, const language::CheckResult& check,
                         const Simulation& simulation, std::int64_t neuron, std::int64_t step);

} // namespace axolite::simulation
