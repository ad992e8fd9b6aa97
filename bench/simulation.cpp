// The simulation step: the net inputs of every neuron and their transfer, at N = 196, 50 and 10,
// for the engine's kernel against the plain loop it replaces and against OpenBLAS dgemv (one
// thread) followed by the same transfer function; plus whole runs of the engine per step, and the
// whole process `axolite-cli run` against the plain loop's steps.
// Every variant's activities are checked bit for bit against the plain loop before timing
// (`--smoke`: the check alone).
#include "core/simulation/simulation.h"
#include "core/language/checker.h"
#include "core/language/lexer.h"
#include "core/simulation/neuron_model.h"
#include "core/simulation/step_kernel.h"

#include "identity_check.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if __has_include(<cblas.h>)
#include <cblas.h>
#define AXOLITE_HAVE_CBLAS 1
extern "C" void openblas_set_num_threads(int) __attribute__((weak));
#endif

namespace {

using namespace axolite;
using namespace axolite::simulation;

// A network of n neurons, dense, with weights small enough that the linear neurons stay inside
// their limits for a long time.
struct Network {
    int n = 0;
    std::vector<double> weights; // W[j][k]
    std::vector<double> activity;
    ModelParameters model{0, 10.0, -10.0, 0.0};

    explicit Network(int size)
        : n(size), weights(static_cast<std::size_t>(size) * size),
          activity(static_cast<std::size_t>(size)) {
        std::mt19937_64 random(42);
        std::uniform_real_distribution<double> value(-1.0, 1.0);
        for (double& w : weights) {
            w = value(random) / n;
        }
        for (double& a : activity) {
            a = value(random);
        }
    }
};

void transferAll(const Network& network, const double* net, double* out) {
    for (int j = 0; j < network.n; ++j) {
        out[j] = linearTransfer(network.model, net[j]);
    }
}

// One step with each method: next = f(W · current).
void plainStep(const Network& network, const double* current, double* net, double* next) {
    plainNetInputs(network.n, network.weights.data(), current, net);
    transferAll(network, net, next);
}

void kernelStep(const Network& network, const StepKernel& kernel, const double* current,
                double* net, double* next) {
    kernel.netInputs(current, net);
    transferAll(network, net, next);
}

#ifdef AXOLITE_HAVE_CBLAS
void blasStep(const Network& network, const double* current, double* net, double* next) {
    cblas_dgemv(CblasRowMajor, CblasNoTrans, network.n, network.n, 1.0, network.weights.data(),
                network.n, current, 1, 0.0, net, 1);
    transferAll(network, net, next);
}
#endif

template <typename Step> void runSteps(benchmark::State& state, Step&& step) {
    const Network network(static_cast<int>(state.range(0)));
    std::vector<double> a = network.activity;
    std::vector<double> b(a.size());
    std::vector<double> net(a.size());
    for (auto _ : state) {
        step(network, a.data(), net.data(), b.data());
        std::swap(a, b);
        benchmark::DoNotOptimize(a.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_StepPlain(benchmark::State& state) {
    runSteps(state, plainStep);
}

// The step split across the two cores: the receivers 0 .. N/2 − 1 on this thread, the others on a
// helper that spins on a step counter, both meeting at the end of every step (the network's next
// step needs all of this step's activities). Argument 1 does the halves' plain rows; argument 0
// does no work, so that it measures the meeting alone; argument 2 does all rows on this thread
// (the same loop, timed the same way, for the ratio).
class SplitSteps {
public:
    SplitSteps(const Network& network, int mode)
        : network_(network), work_(mode != 0), whole_(mode == 2) {
        if (!whole_) {
            helper_ = std::thread([this] { help(); });
        }
    }
    ~SplitSteps() {
        stop_.store(true, std::memory_order_release);
        if (helper_.joinable()) {
            helper_.join();
        }
    }

    void step(const double* current, double* net, double* next) {
        current_ = current;
        net_ = net;
        next_ = next;
        if (whole_) {
            rows(0, network_.n);
            return;
        }
        const int step = ++issued_;
        started_.store(step, std::memory_order_release);
        rows(0, network_.n / 2);
        while (finished_.load(std::memory_order_acquire) != step) {
        }
    }

private:
    void rows(int from, int to) const {
        if (!work_) {
            return;
        }
        const int n = network_.n;
        for (int j = from; j < to; ++j) {
            const double* row = network_.weights.data() + static_cast<std::size_t>(j) * n;
            double sum = 0.0;
            for (int k = 0; k < n; ++k) {
                sum += current_[k] * row[k];
            }
            net_[j] = sum;
            next_[j] = linearTransfer(network_.model, sum);
        }
    }

    void help() {
        int seen = 0;
        while (!stop_.load(std::memory_order_acquire)) {
            const int step = started_.load(std::memory_order_acquire);
            if (step == seen) {
                continue;
            }
            seen = step;
            rows(network_.n / 2, network_.n);
            finished_.store(step, std::memory_order_release);
        }
    }

    const Network& network_;
    bool work_;
    bool whole_;
    const double* current_ = nullptr;
    double* net_ = nullptr;
    double* next_ = nullptr;
    int issued_ = 0;
    std::atomic<int> started_{0};
    std::atomic<int> finished_{0};
    std::atomic<bool> stop_{false};
    std::thread helper_;
};

void BM_StepPlainSplit(benchmark::State& state) {
    const Network network(static_cast<int>(state.range(0)));
    SplitSteps split(network, static_cast<int>(state.range(1)));
    std::vector<double> a = network.activity;
    std::vector<double> b(a.size());
    std::vector<double> net(a.size());
    for (auto _ : state) {
        split.step(a.data(), net.data(), b.data());
        std::swap(a, b);
        benchmark::DoNotOptimize(a.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

// The kernel's activities after 100 steps against the plain loop's, bit for bit.
std::string kernelDifference(int n, KernelVariant variant) {
    const Network network(n);
    StepKernel kernel;
    kernel.configure(network.n, network.weights, variant);
    std::vector<double> p = network.activity, q = network.activity, t(p.size()), net(p.size());
    for (int i = 0; i < 100; ++i) {
        plainStep(network, p.data(), net.data(), t.data());
        std::swap(p, t);
        kernelStep(network, kernel, q.data(), net.data(), t.data());
        std::swap(q, t);
    }
    for (std::size_t j = 0; j < p.size(); ++j) {
        if (std::bit_cast<std::uint64_t>(p[j]) != std::bit_cast<std::uint64_t>(q[j])) {
            return std::string(kernelVariantName(kernel.variant())) + " differs from the plain " +
                   "loop at N = " + std::to_string(n) + ", neuron " + std::to_string(j + 1);
        }
    }
    return {};
}

AXOLITE_IDENTITY_CHECK(kernelMatchesThePlainLoop) {
    for (const int n : {196, 50, 10}) {
        for (const KernelVariant variant : {bestKernelVariant(), KernelVariant::Avx2}) {
            if (std::string difference = kernelDifference(n, variant); !difference.empty()) {
                return difference;
            }
        }
    }
    return {};
}

void kernelSteps(benchmark::State& state, KernelVariant variant) {
    const Network network(static_cast<int>(state.range(0)));
    StepKernel kernel;
    kernel.configure(network.n, network.weights, variant);
    state.SetLabel(kernelVariantName(kernel.variant()));
    runSteps(state, [&kernel](const Network& nw, const double* c, double* n, double* x) {
        kernelStep(nw, kernel, c, n, x);
    });
}

#ifdef AXOLITE_HAVE_CBLAS
void BM_StepOpenBlas(benchmark::State& state) {
    if (openblas_set_num_threads != nullptr) {
        openblas_set_num_threads(1);
    }
    runSteps(state, blasStep);
}
BENCHMARK(BM_StepOpenBlas)->Arg(196)->Arg(50)->Arg(10);
#endif

// The engine's choice for this processor, and the AVX2 variant for processors without AVX-512.
void BM_StepKernel(benchmark::State& state) {
    kernelSteps(state, bestKernelVariant());
}
void BM_StepKernelAvx2(benchmark::State& state) {
    kernelSteps(state, KernelVariant::Avx2);
}

BENCHMARK(BM_StepPlain)->Arg(196)->Arg(50)->Arg(10);
BENCHMARK(BM_StepKernel)->Arg(196)->Arg(50)->Arg(10);
BENCHMARK(BM_StepKernelAvx2)->Arg(196);
BENCHMARK(BM_StepPlainSplit)->Args({196, 2})->Args({196, 1})->Args({196, 0})->UseRealTime();

// The dense description of a network: its initial activities and every weight, one linear model
// of code 0 (written into `folder` as 0.neu), the first neuron as the output.
std::vector<std::string> denseDescription(const Network& network, int steps,
                                          const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "0.neu", std::ios::binary)
        << "[\xcb\xe8\xed\xe5\xe9\xed\xe0\xff]\r\nID=0\r\nY1=10\r\nX1=-10\r\nXt=0\r\n";
    const int n = network.n;
    std::vector<std::string> lines{"neurons " + std::to_string(n) + ";",
                                   "simtime 0, " + std::to_string(steps) + ";", "timestep 1;",
                                   "outputlayer { neuron 1, weight 1; }", "initstate {"};
    char number[64];
    for (int j = 0; j < n; ++j) {
        std::snprintf(number, sizeof number, "%.17g",
                      network.activity[static_cast<std::size_t>(j)]);
        lines.push_back("neuron " + std::to_string(j + 1) + ", " + number + ";");
    }
    lines.push_back("}");
    lines.push_back("networklayout {");
    for (int k = 0; k < n; ++k) {
        for (int j = 0; j < n; ++j) {
            std::snprintf(number, sizeof number, "%.17g",
                          network.weights[static_cast<std::size_t>(j) * n + k]);
            lines.push_back("neuron " + std::to_string(k + 1) + ", neuron " +
                            std::to_string(j + 1) + ", weight " + number + ";");
        }
    }
    lines.push_back("}");
    lines.push_back("end");
    return lines;
}

// The engine's whole run of a dense description, per step (structure, models and the output
// series included).
void BM_SimulationRun(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int steps = static_cast<int>(state.range(1));
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("axolite-bench-" + std::to_string(n));
    const std::vector<std::string> lines = denseDescription(Network(n), steps, folder);
    language::NetworkRecord record;
    if (language::lexDescription(lines, record)) {
        state.SkipWithError("lexer refused");
        return;
    }
    const language::CheckResult check = language::checkDescription(record);
    if (!check.correct) {
        state.SkipWithError("check refused");
        return;
    }
    Simulation simulation;
    simulation.prepare(record, check);
    const platform::FolderSettings folders{folder.string(), "", "", true};
    SilentProgress progress;
    for (auto _ : state) {
        const auto result = simulation.run(record, check, progress, folders);
        benchmark::DoNotOptimize(result.outcome);
    }
    state.SetItemsProcessed(state.iterations() * (steps - 1));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SimulationRun)->Args({196, 20000})->Args({10, 200000})->Unit(benchmark::kMillisecond);

#ifdef AXOLITE_CLI
// The whole process `axolite-cli run FILE --models DIR` on the dense description of 196 neurons
// and 20,000 steps (its report to /dev/null), against the plain loop's 19,999 steps of the same
// network in this process: the time of each is its processor time (user and system, the child's
// from wait4), so that the ratio holds on a loaded machine. AXOLITE_BENCH_CLI names another build
// of the tool to start instead.
constexpr int kProcessSteps = 20000;

double processorSeconds(const rusage& usage) {
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_RunProcess(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "axolite-bench-process";
    const std::filesystem::path file = folder / "dense.net";
    const std::vector<std::string> lines = denseDescription(Network(196), kProcessSteps, folder);
    {
        std::ofstream out(file, std::ios::binary);
        for (const std::string& line : lines) {
            out << line << '\n';
        }
    }
    const std::string path = file.string(), models = folder.string();
    // Another build of the tool (an earlier one, for a comparison) may be named here.
    const char* const variable = std::getenv("AXOLITE_BENCH_CLI");
    const std::string cli = variable != nullptr ? variable : AXOLITE_CLI;
    for (auto _ : state) {
        // Spawned, not forked: a fork's copy of this process's mappings would be torn down in
        // the child's exec and counted as the tool's system time.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        const char* const argv[] = {cli.c_str(), "run",          path.c_str(),
                                    "--models",  models.c_str(), nullptr};
        pid_t child = -1;
        if (posix_spawn(&child, cli.c_str(), &actions, nullptr, const_cast<char* const*>(argv),
                        environ) != 0) {
            child = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        rusage usage{};
        if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError("axolite-cli run failed");
            break;
        }
        state.SetIterationTime(processorSeconds(usage));
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_RunProcess)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_RunPlainLoop(benchmark::State& state) {
    const Network network(196);
    std::vector<double> a(network.activity), b(a.size()), net(a.size());
    for (auto _ : state) {
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        a = network.activity;
        for (int i = 1; i < kProcessSteps; ++i) {
            plainStep(network, a.data(), net.data(), b.data());
            std::swap(a, b);
            benchmark::DoNotOptimize(a.data());
        }
        getrusage(RUSAGE_SELF, &after);
        state.SetIterationTime(processorSeconds(after) - processorSeconds(before));
    }
}
BENCHMARK(BM_RunPlainLoop)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
#endif

} // namespace

AXOLITE_BENCHMARK_MAIN()
