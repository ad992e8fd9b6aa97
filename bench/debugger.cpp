// Running to a condition over a run of 196 neurons and 10^6 steps (the largest run there is): a
// scan of a one-comparison condition on a neuron (read with a stride of 196 values), on an output
// series (contiguous), and of a condition of two comparisons with arithmetic; the baseline is the
// plain loop of the first comparison written by hand. The condition never holds, so every step is
// evaluated; items per second are condition evaluations per second. The history (1.5 GB) is
// filled directly, not simulated. Run: build/bench/bench_debugger --benchmark_repetitions=5
// --benchmark_report_aggregates_only=true
#include "core/debugger/condition.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using axolite::debugger::Condition;
using axolite::debugger::RunValues;

constexpr std::int32_t kNeurons = 196;
constexpr std::int32_t kSteps = 1000000;

// Values in [-0.5, 0.5): no condition of the benchmarks holds at any step.
struct LargeRun {
    std::vector<double> activity;
    std::vector<double> output;
    RunValues run;

    LargeRun() {
        activity.resize(static_cast<std::size_t>(kNeurons) * kSteps);
        for (std::size_t j = 0; j < activity.size(); ++j) {
            activity[j] = static_cast<double>((j * 7919) % 1000) / 1000.0 - 0.5;
        }
        output.resize(kSteps);
        for (std::size_t j = 0; j < output.size(); ++j) {
            output[j] = static_cast<double>((j * 31) % 1000) / 1000.0 - 0.5;
        }
        run.activity = activity.data();
        run.neurons = kNeurons;
        run.steps = kSteps;
        run.outputs[0] = output.data();
        run.outputCount = 1;
        run.t0 = 0.0;
        run.h = 1e-6;
    }
};

const LargeRun& largeRun() {
    static const LargeRun run;
    return run;
}

Condition compiled(const std::string& text) {
    auto parsed = Condition::parse(text, kNeurons, 1);
    if (!parsed.condition) {
        throw std::runtime_error(parsed.error->text());
    }
    return std::move(*parsed.condition);
}

void scan(benchmark::State& state, const std::string& text) {
    const LargeRun& large = largeRun();
    const Condition condition = compiled(text);
    for (auto _ : state) {
        std::optional<std::int32_t> found = condition.firstFrom(large.run, 0, kSteps);
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}

void BM_NeuronComparison(benchmark::State& state) {
    scan(state, "n97 > 0.9");
}

void BM_OutputComparison(benchmark::State& state) {
    scan(state, "y1 > 0.9");
}

void BM_TwoComparisonsWithArithmetic(benchmark::State& state) {
    scan(state, "abs(n2 - n7) > 1.5 или x < -1");
}

// The baseline: the first comparison as a plain loop over the history.
void BM_PlainLoopBaseline(benchmark::State& state) {
    const LargeRun& large = largeRun();
    const double* history = large.activity.data() + 96;
    for (auto _ : state) {
        std::optional<std::int32_t> found;
        for (std::int32_t i = 0; i < kSteps; ++i) {
            if (history[static_cast<std::size_t>(i) * kNeurons] > 0.9) {
                found = i;
                break;
            }
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}

} // namespace

BENCHMARK(BM_NeuronComparison)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutputComparison)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoComparisonsWithArithmetic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLoopBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
