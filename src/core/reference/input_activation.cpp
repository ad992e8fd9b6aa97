// The input-layer activation computation.
#include "core/reference/input_activation.h"

#include "core/common/message.h"
#include "core/common/number_text.h"
#include "core/reference/formula.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>

namespace axolite::reference {

namespace {

// The steps evaluated between two passes over the progress.
constexpr std::size_t kChunk = 256;

} // namespace

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

    // The functions run over a chunk of steps at a time into a buffer; the values are then written
    // entry by entry with the cancel request taken after each, as one step at a time would.
    int percent = -1; // the percentage is passed on when it changes
    std::array<double, kChunk> xs{};
    std::vector<double> values(list.size() * kChunk);
    for (std::int32_t from = 0; from < steps; from += static_cast<std::int32_t>(kChunk)) {
        const auto count = static_cast<std::size_t>(std::min<std::int32_t>(kChunk, steps - from));
        for (std::size_t i = 0; i < count; ++i) {
            xs[i] = gridPoint(record, from + static_cast<std::int32_t>(i));
        }
        for (std::size_t n = 0; n < list.size(); ++n) {
            if (neuron[n] >= 0) {
                compiled[n]->evaluate(std::span(xs.data(), count),
                                      std::span(values).subspan(n * kChunk, count));
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t t = from + static_cast<std::int32_t>(i);
            for (std::size_t n = 0; n < list.size(); ++n) {
                if (neuron[n] >= 0) {
                    record.externalInput.at(neuron[n], t) = values[n * kChunk + i];
                }
                if (pollCancelled(progress, record.cancelRequested)) {
                    return ComputationOutcome::Cancelled;
                }
            }
            reportPercent(progress, t, extent, percent);
        }
    }
    return ComputationOutcome::Completed;
}

} // namespace axolite::reference
