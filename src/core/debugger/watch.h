// The rows of the debugger's watch table: a neuron's value at a step and at the step before, the
// change, its model, and the marks for a change of sign and a crossing of the model's limits.
#pragma once

#include "core/debugger/run_values.h"
#include "core/simulation/neuron_model.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace axolite::debugger {

// The levels a model's values keep to: the linear kind limits its input to ±Y1, the others give
// values between 0 and Y1 (the Gaussian grows beyond Y1: its values above Y1 lie outside).
struct ModelLimits {
    double low = 0.0;
    double high = 0.0;

    bool contain(double value) const { return value >= low && value <= high; }
};

ModelLimits modelLimits(simulation::ModelKind kind, const simulation::ModelParameters& parameters);

struct WatchRow {
    std::int32_t neuron = 0; // zero-based
    std::int32_t step = 0;
    double value = 0.0;
    // The step before (nothing at step 0) and value − previous.
    std::optional<double> previous;
    std::optional<double> change;
    std::int64_t code = 0;
    simulation::ModelKind kind = simulation::ModelKind::Linear;
    ModelLimits limits;
    // The value and the one before lie on opposite sides of 0 (neither is 0).
    bool signChanged = false;
    // One of the two lies within the model's limits and the other outside.
    bool limitsCrossed = false;
};

// The row of neuron (zero-based) at step of a run whose neurons have these codes and models.
WatchRow watchRow(const RunValues& run, std::int32_t neuron, std::int32_t step, std::int64_t code,
                  const simulation::ModelParameters& parameters);

// The table as CSV text: a header line and a line per row, numbers in their shortest text, neurons
// numbered from 1. The columns: "нейрон;шаг;значение;предыдущее;изменение;модель;вид;отметки".
std::string watchTableCsv(const std::vector<WatchRow>& rows);

// The marks of a row as the table shows them: "смена знака", "выход за пределы модели", joined by
// ", "; empty without marks.
std::string watchMarksText(const WatchRow& row);

} // namespace axolite::debugger
