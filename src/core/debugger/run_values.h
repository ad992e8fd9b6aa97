// The values of a completed run that the debugger reads, in place: the neurons' activity history
// (step-major), the present output activity series, the grid of x.
#pragma once

#include "core/language/network_record.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace axolite::debugger {

struct RunValues {
    const double* activity = nullptr; // neurons × steps, all neurons of one step side by side
    std::int32_t neurons = 0;
    std::int32_t steps = 0;
    // The present output series y1..y<outputCount>, one value per step.
    std::array<const double*, language::kOutputCount> outputs{};
    int outputCount = 0;
    double t0 = 0.0;
    double h = 0.0;

    // The values of the record's last run (its histories and present output series).
    static RunValues of(const language::NetworkRecord& record);

    // x of a step as every tool forms it: t0 + step·h, never by accumulation.
    double x(std::int32_t step) const { return t0 + static_cast<double>(step) * h; }
    double neuron(std::int32_t n, std::int32_t step) const {
        return activity[static_cast<std::size_t>(step) * static_cast<std::size_t>(neurons) +
                        static_cast<std::size_t>(n)];
    }
};

} // namespace axolite::debugger
