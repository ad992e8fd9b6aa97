// The study tools: the step-size study against the runs it is made of (simulation, exact values,
// Runge-Kutta on each grid), and the explanation of one value of a dense 196-neuron network.
#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"
#include "core/platform/profile_file.h"
#include "core/reference/exact_values.h"
#include "core/reference/step_study.h"
#include "core/simulation/explain.h"
#include "core/simulation/simulation.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <stdexcept>

namespace {

using namespace axolite;

// Two oscillators, y1'' = −y1 and y3'' = −4·y3: four outputs with exact values. Six halvings of
// h = 0.0064 on [0, 10] end at h = 0.0001, 10^5 points.
reference::StepStudyRequest fourOutputStudy() {
    reference::StepStudyRequest r;
    r.system.rows[0] = {0, 1, 0, 0, 0};
    r.system.rows[1] = {-1, 0, 0, 0, 0};
    r.system.rows[2] = {0, 0, 0, 2, 0};
    r.system.rows[3] = {0, 0, -2, 0, 0};
    r.system.initial = {0, 1, 0, 1};
    r.outputs = 4;
    r.grid = {0, 10, 0.0064};
    r.halvings = 6;
    r.exact = {"sin(x)", "cos(x)", "sin(2*x)", "cos(2*x)"};
    return r;
}

// Argument 0: the grids in turn; 1: on two threads.
void BM_StepStudy(benchmark::State& state) {
    reference::StepStudyRequest request = fourOutputStudy();
    request.inParallel = state.range(0) != 0;
    for (auto _ : state) {
        SilentProgress silent;
        const reference::StepStudyResult result = reference::runStepStudy(request, silent);
        if (result.rows.size() != 7 || result.rows.back().steps != 100000) {
            throw std::runtime_error("unexpected study");
        }
        benchmark::DoNotOptimize(result.rows.back().networkError.value_or(0.0));
    }
}

// A description checked and prepared, with its model in memory.
struct Prepared {
    language::NetworkRecord record;
    language::CheckResult check;
    simulation::Simulation simulation;
};

// Reads and checks the description (the preparation of its arrays is left to the caller).
void check(const training::GeneratedDescription& description, Prepared& p) {
    if (language::lexDescription(language::decodeDescription(description.netText), p.record)) {
        throw std::runtime_error("lexer refused");
    }
    p.check = language::checkDescription(p.record);
    if (!p.check.correct) {
        throw std::runtime_error("check refused");
    }
    if (!description.models.empty()) {
        const auto profile = platform::ProfileFile::parse(description.models.front().text);
        p.simulation.setModelLoader([profile](const std::filesystem::path&, std::int64_t code) {
            return simulation::modelFromProfile(profile, code);
        });
    }
}

// The runs alone: the same grids, each run prepared (its arrays allocated), simulated, its
// references computed and its arrays released; generating, reading and checking the
// descriptions, the errors and the orders (the study's own work) are left out.
void BM_StepStudyRunsOnly(benchmark::State& state) {
    const reference::StepStudyRequest request = fourOutputStudy();
    for (auto _ : state) {
        double h = request.grid.h;
        for (int r = 0; r <= request.halvings; ++r, h /= 2) {
            state.PauseTiming();
            reference::EulerGrid grid = request.grid;
            grid.h = h;
            auto p = std::make_unique<Prepared>();
            check(reference::generateEulerNetwork(request.system, request.outputs, grid), *p);
            state.ResumeTiming();
            p->simulation.prepare(p->record, p->check);
            SilentProgress silent;
            p->simulation.run(p->record, p->check, silent, platform::FolderSettings{});
            reference::computeExactValues(p->record, request.exact, silent);
            reference::LinearSystem system = request.system;
            reference::computeRungeKutta(p->record, system, silent);
            benchmark::DoNotOptimize(p->record.rungeKuttaSeries[0].data());
            p.reset(); // a run's arrays are released, as the study releases them
        }
    }
}

// 196 neurons, every pair connected, 2000 steps, the default model (|values| stay small).
void BM_Explain196(benchmark::State& state) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> value(0.1, 1.0);
    std::bernoulli_distribution negative(0.5);
    // Never zero, which the language refuses.
    const auto number = [&](double scale) {
        char text[32];
        std::snprintf(text, sizeof text, "%.9g",
                      (negative(random) ? -scale : scale) * value(random));
        return std::string(text);
    };
    std::string text = "neurons 196;\nsimtime 0, 2000;\ntimestep 1;\n"
                       "outputlayer { neuron 1, weight 1; }\ninitstate {\n";
    for (int j = 1; j <= 196; ++j) {
        text += "neuron " + std::to_string(j) + ", " + number(1.0) + ";\n";
    }
    text += "}\nnetworklayout {\n";
    for (int k = 1; k <= 196; ++k) {
        for (int j = 1; j <= 196; ++j) {
            text += "neuron " + std::to_string(k) + ", neuron " + std::to_string(j) + ", weight " +
                    number(1.0 / 196) + ";\n";
        }
    }
    text += "}\nend\n";
    training::GeneratedDescription description;
    description.netText = text;
    description.models.push_back({0, "0.neu", "[Линейная]\nID=0\nY1=10\nX1=-10\nXt=0\n"});
    auto p = std::make_unique<Prepared>();
    check(description, *p);
    p->simulation.prepare(p->record, p->check);
    SilentProgress silent;
    if (p->simulation.run(p->record, p->check, silent, platform::FolderSettings{}).outcome !=
        simulation::Simulation::Outcome::Completed) {
        throw std::runtime_error("run failed");
    }
    for (auto _ : state) {
        const simulation::Explanation e =
            simulation::explainValue(p->record, p->check, p->simulation, 97, 1999);
        benchmark::DoNotOptimize(e.net);
    }
}

BENCHMARK(BM_StepStudy)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_StepStudyRunsOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_Explain196)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
