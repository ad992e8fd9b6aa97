// Lexing and checking a long description: a 196-neuron network whose NETWORKLAYOUT runs to the
// requested size. Measured against the capacity count alone (one pass over the characters), the
// least any lexer must do.
#include "core/language/checker.h"
#include "core/language/lexer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace axolite::language;

struct Description {
    std::vector<std::string> lines;
    std::size_t bytes = 0;
};

// About megabytes × 10^6 characters of description (counting one line break per line).
const Description& description(int megabytes) {
    static std::map<int, Description> cache;
    Description& d = cache[megabytes];
    if (!d.lines.empty()) {
        return d;
    }
    const auto add = [&](std::string line) {
        d.bytes += line.size() + 1;
        d.lines.push_back(std::move(line));
    };
    add("// A long layout of 196 neurons");
    add("neurons 196;");
    add("simtime 0, 10;");
    add("timestep 0.01;");
    add("inputlayer {neuron 1, neuron 2;}");
    add("outputlayer {neuron 195, weight 1; neuron 196, weight -0.5;}");
    add("networklayout {");
    const std::size_t target = static_cast<std::size_t>(megabytes) * 1000000;
    char line[128];
    for (unsigned i = 0; d.bytes < target; ++i) {
        const unsigned from = i % 196 + 1;
        const unsigned to = (i * 7) % 192 + 1;
        std::snprintf(line, sizeof line,
                      "  neuron %u, (neuron %u, neuron %u, neuron %u, neuron %u), weight 0.5, "
                      "-0.25, 1.125e-1, %u;",
                      from, to, to + 1, to + 2, to + 3, i % 9 + 1);
        add(line);
    }
    add("}");
    add("end");
    return d;
}

void lexAndCheck(benchmark::State& state) {
    const Description& d = description(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        NetworkRecord record;
        if (lexDescription(d.lines, record)) {
            state.SkipWithError("the description did not lex");
            break;
        }
        const CheckResult result = checkDescription(record);
        if (!result.correct) {
            state.SkipWithError("the description did not check correct");
            break;
        }
        benchmark::DoNotOptimize(result.linesAnalysed);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * d.bytes));
}

void lexOnly(benchmark::State& state) {
    const Description& d = description(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        NetworkRecord record;
        benchmark::DoNotOptimize(lexDescription(d.lines, record));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * d.bytes));
}

void capacityCountBaseline(benchmark::State& state) {
    const Description& d = description(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(streamCapacity(d.lines));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * d.bytes));
}

} // namespace

BENCHMARK(capacityCountBaseline)->Arg(5)->Arg(25)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(lexOnly)->Arg(5)->Arg(25)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(lexAndCheck)->Arg(5)->Arg(25)->Arg(50)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
