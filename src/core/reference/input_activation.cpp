// The input-layer activation computation.
#include "core/reference/input_activation.h"

#include "core/common/message.h"
#include "core/common/number_text.h"
#include "core/reference/formula.h"

#include <algorithm>
#include <optional>

namespace axolite::reference {

std::int32_t inputNeuronIndex(const language::NetworkRecord& record, std::size_t entry) {
    const double number = (*record.inputLayer)[entry];
    if (number == 0.0) {
        return -1;
    }
    // A description can name input neurons beyond its neuron count; such an entry has no history.
    if (!(number >= 1.0 && number < static_cast<double>(record.externalInput.neurons()) + 1.0)) {
        throw AxoliteError(MessageKind::Error, "Нейрон " + axolite::formatNumber("%g", number) +
                                                   " входного слоя отсутствует в сети.");
    }
    return static_cast<std::int32_t>(number) - 1;
}

std::int32_t activationStepCount(const language::NetworkRecord& record) {
    return std::min(gridPointCount(record), record.externalInput.steps());
}

ComputationOutcome computeInputActivation(language::NetworkRecord& record,
                                          const std::vector<std::string>& functions,
                                          Progress& progress) {
    record.counters = {};
    record.cancelRequested = 0;
    if (!record.inputLayer) {
        return ComputationOutcome::Completed;
    }
    const std::vector<double>& list = *record.inputLayer;
    const double extent = gridExtent(record);
    const std::int32_t steps = activationStepCount(record);

    std::vector<std::int32_t> neuron(list.size());
    std::vector<std::optional<Formula>> compiled(list.size());
    for (std::size_t n = 0; n < list.size(); ++n) {
        neuron[n] = inputNeuronIndex(record, n);
        if (neuron[n] >= 0) {
            compiled[n] = parseActivation(n < functions.size() ? functions[n] : "0", list[n]);
        }
    }

    int percent = -1; // the percentage is passed on when it changes
    for (std::int32_t t = 0; t < steps; ++t) {
        const double x = gridPoint(record, t);
        for (std::size_t n = 0; n < list.size(); ++n) {
            if (neuron[n] >= 0) {
                record.externalInput.at(neuron[n], t) = compiled[n]->evaluate(x);
            }
            if (pollCancelled(progress, record.cancelRequested)) {
                return ComputationOutcome::Cancelled;
            }
        }
        reportPercent(progress, t, extent, percent);
    }
    return ComputationOutcome::Completed;
}

} // namespace axolite::reference
