// Watch rows and their CSV text.
#include "core/debugger/watch.h"

#include "core/common/number_text.h"
#include "core/simulation/explain.h"

#include <algorithm>
#include <cmath>

namespace axolite::debugger {

ModelLimits modelLimits(simulation::ModelKind kind, const simulation::ModelParameters& parameters) {
    const double y1 = parameters.y1;
    if (kind == simulation::ModelKind::Linear) {
        return {-std::fabs(y1), std::fabs(y1)};
    }
    return {std::min(0.0, y1), std::max(0.0, y1)};
}

WatchRow watchRow(const RunValues& run, std::int32_t neuron, std::int32_t step, std::int64_t code,
                  const simulation::ModelParameters& parameters) {
    WatchRow row;
    row.neuron = neuron;
    row.step = step;
    row.value = run.neuron(neuron, step);
    row.code = code;
    row.kind = simulation::evaluationKindOfCode(code);
    row.limits = modelLimits(row.kind, parameters);
    if (step > 0) {
        const double previous = run.neuron(neuron, step - 1);
        row.previous = previous;
        row.change = row.value - previous;
        row.signChanged =
            (previous < 0.0 && row.value > 0.0) || (previous > 0.0 && row.value < 0.0);
        row.limitsCrossed = row.limits.contain(previous) != row.limits.contain(row.value);
    }
    return row;
}

std::string watchMarksText(const WatchRow& row) {
    std::string marks;
    if (row.signChanged) {
        marks = "смена знака";
    }
    if (row.limitsCrossed) {
        marks += marks.empty() ? "" : ", ";
        marks += "выход за пределы модели";
    }
    return marks;
}

std::string watchTableCsv(const std::vector<WatchRow>& rows) {
    std::string csv = "нейрон;шаг;значение;предыдущее;изменение;модель;вид;отметки\n";
    const auto optional = [](const std::optional<double>& value) {
        return value ? shortestNumberText(*value) : std::string();
    };
    for (const WatchRow& row : rows) {
        csv += std::to_string(row.neuron + 1) + ';' + std::to_string(row.step) + ';' +
               shortestNumberText(row.value) + ';' + optional(row.previous) + ';' +
               optional(row.change) + ';' + std::to_string(row.code) + ';' +
               simulation::modelKindText(row.kind) + ';' + watchMarksText(row) + '\n';
    }
    return csv;
}

} // namespace axolite::debugger
