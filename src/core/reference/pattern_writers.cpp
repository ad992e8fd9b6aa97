// The pattern files of the exact values, the Runge-Kutta solution and the input activations.
#include "core/reference/pattern_writers.h"

#include "core/reference/computation.h"
#include "core/reference/input_activation.h"
#include "core/training/pattern_file.h"

#include <algorithm>

namespace axolite::reference {

namespace {

using language::kOutputCount;
using Flags = std::array<std::uint8_t, kOutputCount>;
using Family = std::array<std::vector<double>, kOutputCount>;

int countRaised(const Flags& flags) {
    return static_cast<int>(
        std::count_if(flags.begin(), flags.end(), [](std::uint8_t flag) { return flag != 0; }));
}

// Patterns of the flagged series at points 0 .. S − 1, as far as every flagged series reaches.
std::vector<double> seriesPatterns(const language::NetworkRecord& record, const Family& series,
                                   const Flags& flags) {
    std::size_t points = static_cast<std::size_t>(gridPointCount(record));
    for (int k = 0; k < kOutputCount; ++k) {
        if (flags[k]) {
            points = std::min(points, series[k].size());
        }
    }
    std::vector<double> values;
    values.reserve(points * static_cast<std::size_t>(countRaised(flags)));
    for (std::size_t l = 0; l < points; ++l) {
        for (int k = 0; k < kOutputCount; ++k) {
            if (flags[k]) {
                values.push_back(series[k][l]);
            }
        }
    }
    return values;
}

} // namespace

std::vector<double> exactPatternValues(const language::NetworkRecord& record) {
    return seriesPatterns(record, record.exactSeries, record.exactPresent);
}

std::vector<double> rungeKuttaPatternValues(const language::NetworkRecord& record) {
    return seriesPatterns(record, record.rungeKuttaSeries, record.rungeKuttaPresent);
}

std::vector<double> inputActivationPatternValues(const language::NetworkRecord& record) {
    std::vector<double> values;
    if (!record.inputLayer) {
        return values;
    }
    std::vector<std::int32_t> neurons;
    for (std::size_t n = 0; n < record.inputLayer->size(); ++n) {
        const std::int32_t index = inputNeuronIndex(record, n);
        if (index >= 0) {
            neurons.push_back(index);
        }
    }
    const std::int32_t steps = activationStepCount(record);
    values.reserve(static_cast<std::size_t>(steps) * neurons.size());
    for (std::int32_t t = 0; t < steps; ++t) {
        for (const std::int32_t neuron : neurons) {
            values.push_back(record.externalInput.at(neuron, t));
        }
    }
    return values;
}

int exactPatternWidth(const language::NetworkRecord& record) {
    return countRaised(record.exactPresent);
}

int rungeKuttaPatternWidth(const language::NetworkRecord& record) {
    return countRaised(record.rungeKuttaPresent);
}

int inputActivationPatternWidth(const language::NetworkRecord& record) {
    if (!record.inputLayer) {
        return 0;
    }
    return static_cast<int>(std::count_if(record.inputLayer->begin(), record.inputLayer->end(),
                                          [](double number) { return number != 0.0; }));
}

void writeExactPatterns(const language::NetworkRecord& record, const std::string& path) {
    training::writePatternFile(path, exactPatternValues(record));
}

void writeRungeKuttaPatterns(const language::NetworkRecord& record, const std::string& path) {
    training::writePatternFile(path, rungeKuttaPatternValues(record));
}

void writeInputActivationPatterns(const language::NetworkRecord& record, const std::string& path) {
    training::writePatternFile(path, inputActivationPatternValues(record));
}

} // namespace axolite::reference
