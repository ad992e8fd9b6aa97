// Online back-propagation: connection updates per second of the training command (packed kernel),
// of the plain loop over the neuron records it must match bit for bit, and of FANN's incremental
// training on the same shapes, 1000 patterns, 100 iterations. The command's weights are checked
// against the plain loop's before timing (`--smoke`: the check alone).
#include "core/training/network_trainer.h"
#include "core/training/reference_training.h"
#include "core/training/training_comparison.h"
#include "core/training/training_history.h"

#include "identity_check.h"

#include <benchmark/benchmark.h>

#if __has_include(<floatfann.h>)
#include <floatfann.h>
#define AXOLITE_HAVE_FANN 1
#endif

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

using namespace axolite::training;

namespace {

constexpr int kPatterns = 1000;
constexpr int kIterations = 100;

struct Shape {
    int input;
    int hidden;
    int hiddenLayers;
    int output;
    long long connections() const {
        long long total = 0;
        int previous = input;
        for (int h = 0; h < hiddenLayers; ++h) {
            total += static_cast<long long>(previous) * hidden;
            previous = hidden;
        }
        return total + static_cast<long long>(previous) * output;
    }
};

const Shape kShapes[] = {{18, 18, 2, 18}, {2, 10, 1, 1}};

LayerConfiguration configurationOf(const Shape& shape) {
    LayerConfiguration c;
    c.inputNeurons = shape.input;
    c.hiddenLayers = shape.hiddenLayers;
    for (int h = 0; h < shape.hiddenLayers; ++h) {
        c.hiddenNeurons[h] = shape.hidden;
    }
    c.hiddenTransfer = TransferCode::Sigmoid;
    c.outputNeurons = shape.output;
    c.outputTransfer = TransferCode::Linear;
    return c;
}

std::vector<double> values(int count, unsigned seed, double scale) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> value(-scale, scale);
    std::vector<double> result(static_cast<std::size_t>(count));
    for (double& v : result) {
        v = value(engine);
    }
    return result;
}

struct PatternFiles {
    std::filesystem::path input;
    std::filesystem::path target;
    explicit PatternFiles(const Shape& shape, int patterns = kPatterns) {
        const auto folder = std::filesystem::temp_directory_path();
        const std::string count = patterns == kPatterns ? "" : "_" + std::to_string(patterns);
        input = folder / ("axolite_bench_in_" + std::to_string(shape.input) + count + ".ptn");
        target = folder / ("axolite_bench_out_" + std::to_string(shape.output) + count + ".ptn");
        writePatternFile(input.string(), values(patterns * shape.input, 1, 1.0));
        writePatternFile(target.string(), values(patterns * shape.output, 2, 0.5));
    }
};

// The training command's parameters: online back-propagation at rate 0.01 over every pattern.
TrainingParameters commandParameters(const PatternFiles& files, bool meanSquaredError) {
    TrainingParameters parameters;
    parameters.patterns = kPatterns;
    parameters.iterations = kIterations;
    parameters.inputFile = files.input.string();
    parameters.targetFile = files.target.string();
    parameters.learningRate = "0.01";
    parameters.stopAtLocalMinimum = false;
    parameters.meanSquaredError = meanSquaredError;
    return parameters;
}

// The plain loop over the neuron records, from the network the command builds with seed 1. The
// reading of the pattern files is part of it, as it is of the command.
LayeredNetwork referenceNetwork(const Shape& shape, const PatternFiles& files, int iterations) {
    const auto in =
        readPatternFile(files.input.string(), kPatterns, shape.input, PatternRole::Input).table;
    const auto out =
        readPatternFile(files.target.string(), kPatterns, shape.output, PatternRole::Target).table;
    RandomSource random(1);
    LayeredNetwork network = LayeredNetwork::build(configurationOf(shape), random);
    for (int t = 0; t < iterations; ++t) {
        for (int p = 0; p < kPatterns; ++p) {
            referenceBackPropagation(network, in.row(p), out.row(p), 0.01f);
        }
    }
    return network;
}

void reportRate(benchmark::State& state, const Shape& shape) {
    state.counters["updates/s"] =
        benchmark::Counter(static_cast<double>(shape.connections() * kPatterns * kIterations) *
                               static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

// Arg 0: the shape; arg 1: with the mean squared error after every iteration (its cost is the
// ratio of the two runs of one shape).
void BM_TrainingCommand(benchmark::State& state) {
    const Shape& shape = kShapes[state.range(0)];
    const PatternFiles files(shape);
    const TrainingParameters parameters = commandParameters(files, state.range(1) != 0);
    TrainingCallbacks callbacks;
    double error = 0.0;
    callbacks.errorComputed = [&error](int, double e) { error = e; };
    for (auto _ : state) {
        NetworkTrainer trainer(1);
        trainer.train(configurationOf(shape), parameters, callbacks);
        benchmark::DoNotOptimize(error);
        benchmark::DoNotOptimize(trainer.network().neuron(1, 0).weights[0]);
    }
    reportRate(state, shape);
}

// The history's cost: 18-18-18-18 over 30000 patterns, arg 0 iterations, arg 1 with the history
// of every iteration (the patterns are read from text already in memory, so the time is the
// training's). The goal is at most 1.10 of the time without it.
void BM_TrainingHistory(benchmark::State& state) {
    constexpr int kHistoryPatterns = 30000;
    const Shape& shape = kShapes[0];
    TrainingParameters parameters;
    parameters.patterns = kHistoryPatterns;
    parameters.iterations = static_cast<int>(state.range(0));
    parameters.inputText = formatPatternValues(values(kHistoryPatterns * shape.input, 1, 1.0));
    parameters.targetText = formatPatternValues(values(kHistoryPatterns * shape.output, 2, 0.5));
    parameters.learningRate = "0.01";
    parameters.stopAtLocalMinimum = false;
    TrainingHistory history;
    TrainingCallbacks callbacks;
    callbacks.history = state.range(1) != 0 ? &history : nullptr;
    for (auto _ : state) {
        NetworkTrainer trainer(1);
        trainer.train(configurationOf(shape), parameters, callbacks);
        benchmark::DoNotOptimize(trainer.network().neuron(1, 0).weights[0]);
    }
    state.counters["history_bytes"] = static_cast<double>(history.bytes());
}
BENCHMARK(BM_TrainingHistory)
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({10, 0})
    ->Args({10, 1})
    ->Unit(benchmark::kMillisecond);

// The training command's network after a few iterations on each shape's patterns against the
// plain loop's, every weight and bias bit for bit.
AXOLITE_IDENTITY_CHECK(trainingMatchesThePlainLoop) {
    constexpr int kCheckedIterations = 3;
    for (const Shape& shape : kShapes) {
        const PatternFiles files(shape);
        TrainingParameters parameters = commandParameters(files, false);
        parameters.iterations = kCheckedIterations;
        NetworkTrainer trainer(1);
        trainer.train(configurationOf(shape), parameters, TrainingCallbacks{});
        LayeredNetwork network = referenceNetwork(shape, files, kCheckedIterations);
        for (int l = 1; l < network.layerCount(); ++l) {
            for (int i = 0; i < network.layerSize(l); ++i) {
                const LayerNeuron& a = trainer.network().neuron(l, i);
                const LayerNeuron& b = network.neuron(l, i);
                if (std::memcmp(a.weights.data(), b.weights.data(), sizeof a.weights) != 0 ||
                    std::memcmp(&a.bias, &b.bias, sizeof a.bias) != 0) {
                    return "layer " + std::to_string(l) + ", neuron " + std::to_string(i + 1) +
                           " differs from the plain loop";
                }
            }
        }
    }
    return {};
}

void BM_ReferenceLoop(benchmark::State& state) {
    const Shape& shape = kShapes[state.range(0)];
    const PatternFiles files(shape);
    for (auto _ : state) {
        LayeredNetwork network = referenceNetwork(shape, files, kIterations);
        benchmark::DoNotOptimize(network.neuron(1, 0).weights[0]);
    }
    reportRate(state, shape);
}

// A seed sweep of 20 runs (18-18-18-18, 1000 patterns, 20 iterations each) on arg 0 threads:
// the runs are independent, so two threads should take at most 0.6 of one thread's time.
void BM_SeedSweep(benchmark::State& state) {
    const Shape& shape = kShapes[0];
    const PatternFiles files(shape);
    TrainingParameters parameters = commandParameters(files, false);
    parameters.iterations = 20;
    std::vector<ComparedRun> runs;
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        runs.push_back({"", parameters, seed});
    }
    for (auto _ : state) {
        const auto results =
            runComparison(configurationOf(shape), runs, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(results.back().finalError);
    }
}
BENCHMARK(BM_SeedSweep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef AXOLITE_HAVE_FANN
void BM_FannIncremental(benchmark::State& state) {
    const Shape& shape = kShapes[state.range(0)];
    fann_train_data* data = fann_create_train(kPatterns, static_cast<unsigned>(shape.input),
                                              static_cast<unsigned>(shape.output));
    const auto in = values(kPatterns * shape.input, 1, 1.0);
    const auto out = values(kPatterns * shape.output, 2, 0.5);
    for (int p = 0; p < kPatterns; ++p) {
        for (int j = 0; j < shape.input; ++j) {
            data->input[p][j] =
                static_cast<float>(in[static_cast<std::size_t>(p * shape.input + j)]);
        }
        for (int j = 0; j < shape.output; ++j) {
            data->output[p][j] =
                static_cast<float>(out[static_cast<std::size_t>(p * shape.output + j)]);
        }
    }
    std::vector<unsigned> layers;
    layers.push_back(static_cast<unsigned>(shape.input));
    for (int h = 0; h < shape.hiddenLayers; ++h) {
        layers.push_back(static_cast<unsigned>(shape.hidden));
    }
    layers.push_back(static_cast<unsigned>(shape.output));
    for (auto _ : state) {
        fann* ann = fann_create_standard_array(static_cast<unsigned>(layers.size()), layers.data());
        fann_set_activation_function_hidden(ann, FANN_SIGMOID);
        fann_set_activation_function_output(ann, FANN_LINEAR);
        fann_set_training_algorithm(ann, FANN_TRAIN_INCREMENTAL);
        fann_set_learning_rate(ann, 0.01f);
        for (int t = 0; t < kIterations; ++t) {
            benchmark::DoNotOptimize(fann_train_epoch(ann, data));
        }
        fann_destroy(ann);
    }
    fann_destroy_train(data);
    reportRate(state, shape);
}
BENCHMARK(BM_FannIncremental)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK(BM_TrainingCommand)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

AXOLITE_BENCHMARK_MAIN()
