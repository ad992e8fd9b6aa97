// The reference computations against their baselines: formulas against muParser and the
// re-splitting evaluator, the Runge-Kutta step against Boost.Odeint's runge_kutta4. The compiled
// formulas and the Runge-Kutta computation are checked bit for bit against the evaluator and the
// kernel's steps before timing (`--smoke`: the checks alone).
#include "core/reference/exact_and_runge_kutta.h"
#include "core/reference/exact_values.h"
#include "core/reference/formula.h"
#include "core/reference/runge_kutta.h"
#include "core/reference/runge_kutta_kernel.h"
#include "core/reference/splitting_evaluator.h"

#include "identity_check.h"

#include <benchmark/benchmark.h>
#include <boost/numeric/odeint.hpp>
#include <muParser.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using axolite::reference::Formula;
using axolite::reference::FormulaDialect;

constexpr int kPoints = 1000000;
constexpr double kStep = 1e-5;

const char* const kFormulas[] = {"sin(x)*exp(-x/5)+2*x-1", "x", "((x+1)*(x-1))/(x*x+1)"};
// The same formulas in muParser's syntax.
const char* const kMuParserFormulas[] = {"sin(x)*exp(-x/5)+2*x-1", "x", "((x+1)*(x-1))/(x*x+1)"};

Formula benchFormula(std::int64_t which) {
    auto formula = Formula::parse(kFormulas[which], FormulaDialect::Dependency);
    if (!formula) {
        throw std::runtime_error("formula refused");
    }
    return std::move(*formula);
}

void BM_FormulaCompiled(benchmark::State& state) {
    const Formula formula = benchFormula(state.range(0));
    for (auto _ : state) {
        double sum = 0.0;
        for (int l = 0; l < kPoints; ++l) {
            sum += formula.evaluate(0.5 + l * kStep);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    state.SetLabel(kFormulas[state.range(0)]);
}

// The floor: the formulas written as plain C++, in the order of operations that the language gives
// them (the sum of "sin(x)*exp(-x/5)+2*x-1" splits at its "+", and "-x" is 0 - x), so their values
// are the evaluator's bit for bit.
double plainFormula(int which, double x) {
    switch (which) {
    case 0:
        return std::sin(x) * std::exp(0.0 - x / 5.0) + (2.0 * x - 1.0);
    case 1:
        return x;
    default:
        return ((x + 1.0) * (x - 1.0)) / (x * x + 1.0);
    }
}

template <int Which> void BM_FormulaPlainCpp(benchmark::State& state) {
    for (auto _ : state) {
        double sum = 0.0;
        for (int l = 0; l < kPoints; ++l) {
            sum += plainFormula(Which, 0.5 + l * kStep);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    state.SetLabel(kFormulas[Which]);
}

// The evaluator over blocks of points, summed in the same order as the per-point loops.
void BM_FormulaBlock(benchmark::State& state) {
    const Formula formula = benchFormula(state.range(0));
    std::array<double, Formula::kBlock> xs{};
    std::array<double, Formula::kBlock> values{};
    for (auto _ : state) {
        double sum = 0.0;
        for (int l = 0; l < kPoints; l += static_cast<int>(Formula::kBlock)) {
            const auto n = std::min<std::size_t>(Formula::kBlock, kPoints - l);
            for (std::size_t i = 0; i < n; ++i) {
                xs[i] = 0.5 + (l + static_cast<int>(i)) * kStep;
            }
            formula.evaluate(std::span(xs.data(), n), std::span(values.data(), n));
            for (std::size_t i = 0; i < n; ++i) {
                sum += values[i];
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    state.SetLabel(kFormulas[state.range(0)]);
}

// The same formulas stored into a series of the grid, as the exact values are: the floor writes
// each value as it computes it, the evaluator fills the series a block of points at a time.
template <int Which> void BM_FormulaPlainCppSeries(benchmark::State& state) {
    std::vector<double> series(kPoints);
    for (auto _ : state) {
        for (int l = 0; l < kPoints; ++l) {
            series[static_cast<std::size_t>(l)] = plainFormula(Which, 0.5 + l * kStep);
        }
        benchmark::DoNotOptimize(series.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    state.SetLabel(kFormulas[Which]);
}

void BM_FormulaBlockSeries(benchmark::State& state) {
    const Formula formula = benchFormula(state.range(0));
    std::vector<double> series(kPoints);
    std::array<double, 1024> xs{};
    for (auto _ : state) {
        for (std::size_t l = 0; l < series.size(); l += xs.size()) {
            const std::size_t n = std::min(xs.size(), series.size() - l);
            for (std::size_t i = 0; i < n; ++i) {
                xs[i] = 0.5 + static_cast<int>(l + i) * kStep;
            }
            formula.evaluate(std::span(xs.data(), n), std::span(series).subspan(l, n));
        }
        benchmark::DoNotOptimize(series.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    state.SetLabel(kFormulas[state.range(0)]);
}

void BM_FormulaMuParser(benchmark::State& state) {
    mu::Parser parser;
    double x = 0.0;
    parser.DefineVar("x", &x);
    parser.SetExpr(kMuParserFormulas[state.range(0)]);
    parser.Eval();
    for (auto _ : state) {
        double sum = 0.0;
        for (int l = 0; l < kPoints; ++l) {
            x = 0.5 + l * kStep;
            sum += parser.Eval();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    state.SetLabel(kFormulas[state.range(0)]);
}

void BM_FormulaSplitting(benchmark::State& state) {
    const char* text = kFormulas[state.range(0)];
    constexpr int kFewerPoints = kPoints / 10;
    for (auto _ : state) {
        double sum = 0.0;
        bool valid = true;
        for (int l = 0; l < kFewerPoints; ++l) {
            sum += axolite::reference::evaluateBySplitting(text, FormulaDialect::Dependency,
                                                           0.5 + l * kStep, valid);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kFewerPoints);
    state.SetLabel(text);
}

// The block evaluation and the plain C++ against the evaluation at one point, bit for bit.
AXOLITE_IDENTITY_CHECK(blockFormulasAndPlainCppMatchTheEvaluator) {
    std::vector<double> xs(1000);
    for (std::size_t l = 0; l < xs.size(); ++l) {
        xs[l] = 0.5 + static_cast<int>(l) * kStep;
    }
    for (int which = 0; which < 3; ++which) {
        const Formula formula = benchFormula(which);
        std::vector<double> block(xs.size());
        formula.evaluate(xs, block);
        for (std::size_t l = 0; l < xs.size(); ++l) {
            const auto bits = std::bit_cast<std::uint64_t>(formula.evaluate(xs[l]));
            if (std::bit_cast<std::uint64_t>(block[l]) != bits ||
                std::bit_cast<std::uint64_t>(plainFormula(which, xs[l])) != bits) {
                return std::string(kFormulas[which]) + " differs at point " + std::to_string(l);
            }
        }
    }
    return {};
}

// The compiled formulas against the re-splitting evaluator, bit for bit on the first 1000 points.
AXOLITE_IDENTITY_CHECK(compiledFormulasMatchTheSplittingEvaluator) {
    for (const char* text : kFormulas) {
        const auto formula = Formula::parse(text, FormulaDialect::Dependency);
        if (!formula) {
            return std::string("formula refused: ") + text;
        }
        for (int l = 0; l < 1000; ++l) {
            const double x = 0.5 + l * kStep;
            bool valid = true;
            const double expected =
                axolite::reference::evaluateBySplitting(text, FormulaDialect::Dependency, x, valid);
            if (std::bit_cast<std::uint64_t>(formula->evaluate(x)) !=
                std::bit_cast<std::uint64_t>(expected)) {
                return std::string(text) + " differs at x = " + std::to_string(x);
            }
        }
    }
    return {};
}

BENCHMARK(BM_FormulaPlainCpp<0>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaPlainCpp<1>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaPlainCpp<2>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaCompiled)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaBlock)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaPlainCppSeries<0>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaPlainCppSeries<1>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaPlainCppSeries<2>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaBlockSeries)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaMuParser)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaSplitting)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// A full system: every row and every coefficient in use.
axolite::reference::LinearSystem benchSystem() {
    axolite::reference::LinearSystem system;
    system.rows = {{{-0.5, 1.25, 0.1, 0.05, 0.3},
                    {-1.0, -0.2, 0.02, 0.7, 0.0},
                    {0.3, 0.01, -0.9, 0.1, -1.0},
                    {0.02, 0.4, 0.2, -0.05, 0.01}}};
    system.initial = {1.0, -2.0, 0.5, 3.0};
    return system;
}

// A record of the grid of `points` steps of kStep with all four outputs present.
axolite::language::NetworkRecord benchRecord(int points) {
    axolite::language::NetworkRecord record;
    record.t0 = 0.0;
    record.t1 = points * kStep;
    record.h = kStep;
    record.networkPresent = {1, 1, 1, 1};
    return record;
}

void BM_RungeKuttaSteps(benchmark::State& state) {
    const auto system = benchSystem();
    const axolite::reference::RungeKuttaKernel kernel(system, kStep);
    for (auto _ : state) {
        axolite::reference::RungeKuttaState y = system.initial;
        for (int j = 0; j < kPoints; ++j) {
            y = kernel.step(y);
        }
        benchmark::DoNotOptimize(y);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void BM_RungeKuttaComputation(benchmark::State& state) {
    const auto system = benchSystem();
    axolite::language::NetworkRecord record = benchRecord(kPoints);
    axolite::SilentProgress progress;
    for (auto _ : state) {
        axolite::reference::computeRungeKutta(record, system, progress);
        benchmark::DoNotOptimize(record.rungeKuttaSeries[0].data());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void BM_RungeKuttaOdeint(benchmark::State& state) {
    using State = std::array<double, 4>;
    const auto system = benchSystem();
    const auto rhs = [&system](const State& y, State& f, double /*x*/) {
        for (int k = 0; k < 4; ++k) {
            const auto& r = system.rows[k];
            f[k] = (((r[0] * y[0] + r[1] * y[1]) + r[2] * y[2]) + r[3] * y[3]) + r[4];
        }
    };
    boost::numeric::odeint::runge_kutta4<State> stepper;
    for (auto _ : state) {
        State y = system.initial;
        double x = 0.0;
        for (int j = 0; j < kPoints; ++j) {
            stepper.do_step(rhs, y, x, kStep);
            x += kStep;
        }
        benchmark::DoNotOptimize(y);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

// The exact values of the first benchmark formula on all four outputs and the Runge-Kutta solution
// of the same million points: argument 0 one after the other, 1 at once on two threads.
void BM_ExactAndRungeKutta(benchmark::State& state) {
    const auto system = benchSystem();
    axolite::language::NetworkRecord record = benchRecord(kPoints);
    const std::array<std::string, 4> formulas = {kFormulas[0], kFormulas[0], kFormulas[0],
                                                 kFormulas[0]};
    axolite::SilentProgress progress;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            axolite::reference::computeExactValues(record, formulas, progress);
            axolite::reference::computeRungeKutta(record, system, progress);
        } else {
            axolite::reference::computeExactAndRungeKutta(record, formulas, system, progress);
        }
        benchmark::DoNotOptimize(record.exactSeries[0].data());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

// The Runge-Kutta computation's series against the kernel's steps, bit for bit on 1000 points.
AXOLITE_IDENTITY_CHECK(rungeKuttaComputationMatchesTheKernel) {
    const auto system = benchSystem();
    axolite::language::NetworkRecord record = benchRecord(1000);
    axolite::SilentProgress progress;
    axolite::reference::computeRungeKutta(record, system, progress);
    const axolite::reference::RungeKuttaKernel kernel(system, kStep);
    axolite::reference::RungeKuttaState y = system.initial;
    const std::size_t points = record.rungeKuttaSeries[0].size();
    for (std::size_t i = 0; i < points; ++i) {
        for (std::size_t k = 0; k < 4; ++k) {
            if (std::bit_cast<std::uint64_t>(record.rungeKuttaSeries[k][i]) !=
                std::bit_cast<std::uint64_t>(y[k])) {
                return "output " + std::to_string(k + 1) + " differs at point " + std::to_string(i);
            }
        }
        y = kernel.step(y);
    }
    return points < 1000 ? "only " + std::to_string(points) + " points computed" : "";
}

BENCHMARK(BM_RungeKuttaSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RungeKuttaComputation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RungeKuttaOdeint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactAndRungeKutta)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

AXOLITE_BENCHMARK_MAIN()
