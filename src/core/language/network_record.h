// The network description record: the data of one description window that every tool shares
// (token stream, interval, histories, series, presence flags, statistics, counters, flags).
#pragma once

#include "core/language/series_statistics.h"
#include "core/language/token_stream.h"
#include "core/platform/zeroed_memory.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace axolite::language {

// Counts of additions, multiplications and divisions of the computations. 64-bit: a run of 196
// neurons over a million steps counts about 3.8·10^10 additions.
struct OperationCounters {
    std::int64_t additions = 0;
    std::int64_t multiplications = 0;
    std::int64_t divisions = 0;

    bool operator==(const OperationCounters&) const = default;
};

// The three families of series that the views show side by side.
enum class SeriesFamily : int { Network = 0, RungeKutta = 1, Exact = 2 };

constexpr int kOutputCount = 4;

// Per-neuron values over the steps of a run: N neurons × S steps. Stored step-major (all neurons
// of one step side by side), which is the order the simulation reads and writes them. A new
// history holds 0.0 everywhere without a pass over its memory: its pages are zeroed by the system
// when first touched, so a history the run writes through is written once, and one never written
// (the external input of a network without an input layer) takes no memory of its own.
class NeuronHistory {
public:
    // Throws std::bad_alloc when the memory cannot be had.
    void allocate(std::int32_t neurons, std::int32_t steps) {
        release(); // the old values go before the new are asked for (and nothing is written)
        data_ = platform::ZeroedDoubles(static_cast<std::size_t>(neurons) *
                                        static_cast<std::size_t>(steps));
        neurons_ = neurons;
        steps_ = steps;
    }
    void release() {
        data_ = {};
        neurons_ = 0;
        steps_ = 0;
        written_ = false;
    }
    // False while nothing has been given a way to write into the history since it was allocated
    // (every non-const access counts): it then holds 0.0 throughout.
    bool mayBeWritten() const { return written_; }
    bool allocated() const { return !data_.empty(); }
    std::int32_t neurons() const { return neurons_; }
    std::int32_t steps() const { return steps_; }

    // Value of neuron n (zero-based) at step i.
    double& at(std::int32_t n, std::int32_t i) {
        written_ = true;
        return data_[index(n, i)];
    }
    double at(std::int32_t n, std::int32_t i) const { return data_[index(n, i)]; }

    // The N values of step i, contiguous.
    double* step(std::int32_t i) {
        written_ = true;
        return data_.data() + static_cast<std::size_t>(i) * neurons_;
    }
    const double* step(std::int32_t i) const {
        return data_.data() + static_cast<std::size_t>(i) * neurons_;
    }

private:
    std::size_t index(std::int32_t n, std::int32_t i) const {
        return static_cast<std::size_t>(i) * static_cast<std::size_t>(neurons_) +
               static_cast<std::size_t>(n);
    }

    std::int32_t neurons_ = 0;
    std::int32_t steps_ = 0;
    bool written_ = false;
    platform::ZeroedDoubles data_;
};

struct NetworkRecord {
    // Written by the lexer at every check.
    TokenStream tokens;
    std::int32_t characterTotal = 0;

    // Written by the checker.
    double t0 = 0.0;
    double t1 = 0.0;
    double h = 0.0;
    std::int32_t errorCount = 0;
    std::int32_t warningCount = 0;
    // The input-layer list: N neuron numbers (0 for unused entries); absent until an
    // INPUTLAYER statement has been checked.
    std::optional<std::vector<double>> inputLayer;
    // Zero-based neuron numbers of the OUTPUTLAYER entries.
    std::array<std::int32_t, kOutputCount> outputIndices{};
    double defaultWaitCount = 0.0;

    // Copied from the check after it ran (and after the simulation was prepared).
    std::int32_t neurons = 0;
    std::int32_t steps = 0;

    // Written by the simulation.
    NeuronHistory activity;
    NeuronHistory externalInput;
    // Output activity series k: the activity of the neuron of OUTPUTLAYER entry k times that
    // entry's weight, one value per step.
    std::array<std::vector<double>, kOutputCount> outputSeries;

    // Reference series (one value per grid point; see the producers for their lengths).
    std::array<std::vector<double>, kOutputCount> rungeKuttaSeries;
    std::array<std::vector<double>, kOutputCount> exactSeries;

    // Presence flags: flag k raised means series k holds computed values for this description.
    std::array<std::uint8_t, kOutputCount> networkPresent{};
    std::array<std::uint8_t, kOutputCount> rungeKuttaPresent{};
    std::array<std::uint8_t, kOutputCount> exactPresent{};

    // Statistics of the 12 series, by family then component.
    std::array<std::array<SeriesStatistics, kOutputCount>, 3> statistics{};

    OperationCounters counters;

    std::uint8_t cancelRequested = 0;
    std::uint8_t simulated = 0;
    std::uint8_t inputLayerReady = 0;

    SeriesStatistics& stats(SeriesFamily family, int k) {
        return statistics[static_cast<int>(family)][k];
    }
    const SeriesStatistics& stats(SeriesFamily family, int k) const {
        return statistics[static_cast<int>(family)][k];
    }

    // What closing the description window does before the record is released.
    void clearPresenceAndSimulated() {
        networkPresent = {};
        rungeKuttaPresent = {};
        exactPresent = {};
        simulated = 0;
    }
};

} // namespace axolite::language
